// The self-contained maps of every corpus file and of hostile texts, opened
// by the programs users read them with: libkml (the reference reader of KML
// 2.2), GDAL's LIBKML driver and xmllint. A test whose reader is missing
// skips with the package to install (make check-consumers installs them).
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <regex>
#include <string>
#include <vector>

#include "cachelist/cache_list.h"
#include "input/text.h"
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
      "a ]]> b", "x</description><b>", "<![CDATA[<i>]]>]]>",
      "bell\x07\x1F", "latin1 \xE4 and \xC3", "&amp;lt; &bogus; &#228; &",
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
    if (!fs::is_directory(KORVELO_CORPUS_DIR)) return;
    int index = 0;
    for (const auto& entry : fs::recursive_directory_iterator(testing::CorpusPath())) {
      const std::string extension = entry.path().extension();
      if (extension != ".gpx" && extension != ".zip") continue;
      CacheList list(entry.path().string(), nullptr, "");
      if (list.records.empty()) continue;
      for (size_t i = 0; i < list.records.size(); ++i) list.records[i].moved = i % 3 == 0;
      WriteMaps(list, *dir_ / std::to_string(++index),
                fs::relative(entry.path(), testing::CorpusPath()).string(), *maps_);
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

bool Installed(const std::string& command) {
  return std::system(("command -v " + command + " >/dev/null 2>&1").c_str()) == 0;
}

// Standard output of a command, and its exit status.
std::pair<std::string, int> RunCommand(const std::string& command) {
  std::string out;
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return {out, -1};
  char buffer[4096];
  while (const size_t got = fread(buffer, 1, sizeof buffer, pipe)) out.append(buffer, got);
  return {out, pclose(pipe)};
}

std::string Quoted(const std::string& path) { return "'" + path + "'"; }

// Placemarks in the doc.kml of a map, counted on the raw text.
size_t PlacemarkCount(const std::string& kmz) {
  const auto [doc, status] = RunCommand("unzip -p " + Quoted(kmz) + " doc.kml");
  EXPECT_EQ(status, 0) << kmz;
  return (doc.size() - ReplaceAll(doc, "<Placemark>", "").size()) / 11;
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
    const kmlengine::KmzFilePtr kmz(kmlengine::KmzFile::OpenFromFile(map.path.c_str()));
    ASSERT_TRUE(kmz) << "not a KMZ";
    std::string kml;
    ASSERT_TRUE(kmz->ReadKml(&kml));
    std::string errors;
    const kmlengine::KmlFilePtr file = kmlengine::KmlFile::CreateFromParse(kml, &errors);
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
  if (!Installed("ogrinfo") || !Installed("unzip")) {
    GTEST_SKIP() << "ogrinfo or unzip not installed (packages gdal-bin, unzip)";
  }
  const std::regex count("Feature Count: ([0-9]+)");
  for (const MapFile& map : *maps_) {
    SCOPED_TRACE(map.source + ": " + map.path);
    const auto [out, status] =
        RunCommand("ogrinfo -ro -al -so " + Quoted(map.path) + " 2>&1");
    ASSERT_EQ(status, 0) << out;
    EXPECT_NE(out.find("using driver `LIBKML' successful"), std::string::npos) << out;
    size_t features = 0;
    for (auto it = std::sregex_iterator(out.begin(), out.end(), count);
         it != std::sregex_iterator(); ++it) {
      features += std::stoul((*it)[1]);
    }
    EXPECT_EQ(features, PlacemarkCount(map.path)) << out;
    std::printf("ogrinfo: %s: %zu features\n", map.source.c_str(), features);
  }
}

TEST_F(KmzReaders, XmllintAcceptsEveryDocument) {
  if (!Installed("xmllint") || !Installed("unzip")) {
    GTEST_SKIP() << "xmllint or unzip not installed (packages libxml2-utils, unzip)";
  }
  for (const MapFile& map : *maps_) {
    SCOPED_TRACE(map.source + ": " + map.path);
    const auto [out, status] = RunCommand("unzip -p " + Quoted(map.path) +
                                   " doc.kml | xmllint --noout - 2>&1");
    EXPECT_EQ(status, 0) << out;
  }
}

}  // namespace
}  // namespace korvelo
