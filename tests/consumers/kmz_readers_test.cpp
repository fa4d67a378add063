// The self-contained maps of every corpus file and of hostile texts, opened
// by the programs users read them with: libkml (the reference reader of KML
// 2.2), GDAL's LIBKML driver and xmllint. A test whose reader is missing
// skips with the package to install (make check-consumers installs them).
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "cachelist/cache_list.h"
#include "consumers/readers.h"
#include "input/waypoints.h"
#include "output/kmz_writer.h"
#include "support/test_support.h"

#ifdef KORVELO_HAVE_LIBKML
#include "kml/dom.h"
#include "kml/engine.h"
#endif

namespace korvelo {
namespace {

namespace fs = std::filesystem;

struct MapFile {
  std::string source;  // the corpus file or case it was written from
  std::string path;    // the .kmz
};

// The placemarks of the caches in `list`, written as KMZ into `folder`.
void WriteMaps(const CacheList& list, const std::string& folder,
               const std::string& source, std::vector<MapFile>& maps) {
  ConversionSettings settings;
  settings.OutputKmlDirFileMode = 2;
  fs::create_directories(folder);
  WriteKmz(list, folder + "/pq.kml", 1, settings);
  for (const auto& entry : fs::directory_iterator(folder)) {
    maps.push_back({source, entry.path().string()});
  }
}

CacheList HostileList() {
  static const char* const kTexts[] = {
      "a ]]> b",
      "x</description><b>",
      "<![CDATA[<i>]]>]]>",
      "bell\x07\x1F",
      "latin1 \xE4 and \xC3",
      "&amp;lt; &bogus; &#228; &",
      "surrogate \xED\xA0\x80 and U+FFFE \xEF\xBF\xBE"};
  CacheList list;
  list.titles = {"pq"};
  int i = 0;
  for (const char* text : kTexts) {
    CacheRecord record("<wpt lat=\"50.1\" lon=\"8.2\"><name>GC" +
                       std::to_string(++i) +
                       "</name><groundspeak:type>Lab Cache</groundspeak:type>");
    record.urlname = text;
    record.raw_description = text;
    record.url = std::string("https://x.example/?a=1&amp;b=") + text;
    record.file = "pq";
    list.Append(std::move(record));
  }
  return list;
}

class KmzReaders : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir_ = new testing::TempDir();
    maps_ = new std::vector<MapFile>();
    WriteMaps(HostileList(), *dir_ / "hostile", "hostile texts", *maps_);
    int index = 0;
    for (const fs::path& path : testing::CorpusInputs()) {
      CacheList list(path.string(), nullptr, "");
      if (list.records.empty()) continue;
      for (size_t i = 0; i < list.records.size(); ++i)
        list.records[i].moved = i % 3 == 0;
      WriteMaps(list, *dir_ / std::to_string(++index),
                fs::relative(path, testing::CorpusPath()).string(), *maps_);
    }
  }
  static void TearDownTestSuite() {
    delete maps_;
    delete dir_;
  }

  static testing::TempDir* dir_;
  static std::vector<MapFile>* maps_;
};

testing::TempDir* KmzReaders::dir_ = nullptr;
std::vector<MapFile>* KmzReaders::maps_ = nullptr;

// Placemarks in the doc.kml of a map, counted on the raw text.
size_t PlacemarkCount(const std::string& kmz) {
  const testing::ToolRun unzip =
      testing::RunTool("unzip -p " + testing::ShellWord(kmz) + " doc.kml");
  EXPECT_EQ(unzip.status, 0) << kmz;
  return testing::CountOf(unzip.output, "<Placemark>");
}

#ifdef KORVELO_HAVE_LIBKML
// Every placemark of the tree below `feature`.
void CollectPlacemarks(const kmldom::FeaturePtr& feature,
                       std::vector<kmldom::FeaturePtr>& placemarks) {
  if (kmldom::AsPlacemark(feature)) placemarks.push_back(feature);
  if (const kmldom::ContainerPtr container = kmldom::AsContainer(feature)) {
    for (size_t i = 0; i < container->get_feature_array_size(); ++i) {
      CollectPlacemarks(container->get_feature_array_at(i), placemarks);
    }
  }
}
#endif

TEST_F(KmzReaders, LibkmlParsesEveryMapAndFindsEveryIconInside) {
#ifndef KORVELO_HAVE_LIBKML
  GTEST_SKIP() << "libkml not found when configuring (package libkml-dev)";
#else
  for (const MapFile& map : *maps_) {
    SCOPED_TRACE(map.source + ": " + map.path);
    const kmlengine::KmzFilePtr kmz(
        kmlengine::KmzFile::OpenFromFile(map.path.c_str()));
    ASSERT_TRUE(kmz) << "not a KMZ";
    std::string kml;
    ASSERT_TRUE(kmz->ReadKml(&kml));
    std::string errors;
    const kmlengine::KmlFilePtr file =
        kmlengine::KmlFile::CreateFromParse(kml, &errors);
    ASSERT_TRUE(file) << errors;
    EXPECT_EQ(errors, "");
    const kmldom::KmlPtr root = kmldom::AsKml(file->get_root());
    ASSERT_TRUE(root);
    std::vector<kmldom::FeaturePtr> placemarks;
    CollectPlacemarks(root->get_feature(), placemarks);
    EXPECT_EQ(placemarks.size(), PlacemarkCount(map.path));
    for (const kmldom::FeaturePtr& placemark : placemarks) {
      const kmldom::StylePtr style = kmlengine::CreateResolvedStyle(
          placemark, file, kmldom::STYLESTATE_NORMAL);
      ASSERT_TRUE(style && style->has_iconstyle()) << placemark->get_name();
      if (!style->get_iconstyle()->has_icon()) {
        // The classic KML gives it no icon either (a type spelt in another
        // letter case than the table's).
        EXPECT_EQ(placemark->get_styleurl(), "#icon_none");
        continue;
      }
      const std::string href = style->get_iconstyle()->get_icon()->get_href();
      std::string png;
      EXPECT_TRUE(kmz->ReadFile(href.c_str(), &png)) << href;
      EXPECT_EQ(png.substr(0, 4), "\x89PNG") << href;
    }
    kmlengine::href_vector_t links;
    ASSERT_TRUE(kmlengine::GetLinks(kml, &links));
    for (const std::string& href : links) {
      if (href.starts_with("#")) continue;  // a style of the document
      std::string data;
      EXPECT_TRUE(kmz->ReadFile(href.c_str(), &data)) << href;
    }
    std::printf("libkml: %s: %zu placemarks, %zu links, all inside\n",
                map.source.c_str(), placemarks.size(), links.size());
  }
#endif
}

TEST_F(KmzReaders, GdalListsEveryPlacemark) {
  if (!testing::HaveTool("ogrinfo") || !testing::HaveTool("unzip")) {
    GTEST_SKIP() << "ogrinfo or unzip not installed (packages gdal-bin, unzip)";
  }
  for (const MapFile& map : *maps_) {
    SCOPED_TRACE(map.source + ": " + map.path);
    const testing::ToolRun run =
        testing::RunTool("ogrinfo -ro -al -so " + testing::ShellWord(map.path));
    ASSERT_EQ(run.status, 0) << run.output;
    EXPECT_NE(run.output.find("using driver `LIBKML' successful"),
              std::string::npos)
        << run.output;
    const int features = testing::FeatureCount(run.output);
    EXPECT_EQ(features, static_cast<int>(PlacemarkCount(map.path)))
        << run.output;
    std::printf("ogrinfo: %s: %d features\n", map.source.c_str(), features);
  }
}

TEST_F(KmzReaders, XmllintAcceptsEveryDocument) {
  if (!testing::HaveTool("xmllint") || !testing::HaveTool("unzip")) {
    GTEST_SKIP()
        << "xmllint or unzip not installed (packages libxml2-utils, unzip)";
  }
  for (const MapFile& map : *maps_) {
    SCOPED_TRACE(map.source + ": " + map.path);
    const testing::ToolRun run =
        testing::RunTool("unzip -p " + testing::ShellWord(map.path) +
                         " doc.kml | xmllint --noout -");
    EXPECT_EQ(run.status, 0) << run.output;
  }
}

}  // namespace
}  // namespace korvelo
