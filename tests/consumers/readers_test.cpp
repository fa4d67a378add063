// Real readers of what the program writes for every corpus file. The
// classic KML and the GPX for devices: xmllint of both, GDAL's two KML
// drivers, and GPSBabel as the usual converter, which must see every written
// cache with the cache fields it sees in the pocket query itself. The
// self-contained maps, of hostile texts too: libkml (the reference reader of
// KML 2.2, whose parser refuses a document that is not well-formed) and
// GDAL's LIBKML driver; the output tests parse them with libxml2, as
// xmllint would. A reader that is not installed
// skips its test with the package to install; `make check-consumers`
// installs them all.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <regex>
#include <string>
#include <utility>
#include <vector>

#include "cachelist/cache_list.h"
#include "input/input_files.h"
#include "input/waypoints.h"
#include "input/zip_archive.h"
#include "output/kmz_writer.h"
#include "output/xml_text.h"
#include "support/test_support.h"

#ifdef KORVELO_HAVE_LIBKML
#include "kml/dom.h"
#include "kml/engine.h"
#endif

namespace korvelo::testing {
namespace {

namespace fs = std::filesystem;

struct ToolRun {
  int status = -1;     // exit status; -1 when killed or not started
  std::string output;  // standard output and error together
};

// Runs `command` (shell text) with no input and a limit of two minutes.
ToolRun RunTool(const std::string& command) {
  static TempDir captures;
  const std::string out = captures / "output";
  const int status = std::system(("timeout 120 sh -c " + ShellWord(command) +
                                  " </dev/null >" + ShellWord(out) + " 2>&1")
                                     .c_str());
  ToolRun run;
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  run.output = ReadFileOrFail(out);
  return run;
}

bool HaveTool(std::string_view program) {
  return RunTool("command -v " + ShellWord(program)).status == 0;
}

bool XmllintAccepts(const std::string& path) {
  return RunTool("xmllint --noout " + ShellWord(path)).status == 0;
}

// Sum of the "Feature Count: N" lines of an `ogrinfo -so -al` listing.
int FeatureCount(const std::string& listing) {
  static const std::regex line("Feature Count: ([0-9]+)");
  int total = 0;
  for (std::sregex_iterator it(listing.begin(), listing.end(), line), end;
       it != end; ++it) {
    total += std::stoi((*it)[1]);
  }
  return total;
}

// One corpus file and what the program wrote for it with /all and the GPX
// for devices switched on.
struct CorpusConversion {
  std::string input;              // path of the pocket query or archive
  std::vector<std::string> kmls;  // paths of the KML files it wrote, sorted
  std::vector<std::string> gpx_outputs;  // and of the GPX for devices
  // The GPX documents the input holds (the file itself, or each GPX entry
  // of an archive unpacked beside the output): what a reader of the input
  // reads.
  std::vector<std::string> gpx_documents;
};

// True when xmllint accepts every GPX document the input holds (false when
// it holds none). The program copies the owners' texts as they stand, so
// only such an input promises well-formed output.
bool InputWellFormed(const CorpusConversion& file) {
  return !file.gpx_documents.empty() &&
         std::all_of(file.gpx_documents.begin(), file.gpx_documents.end(),
                     XmllintAccepts);
}

// The .gpx entries of an archive, unpacked into `folder`.
std::vector<std::string> UnpackGpxEntries(const std::string& archive,
                                          const std::string& folder) {
  std::vector<std::string> documents;
  std::string bytes;
  if (!LoadFileBytes(archive, bytes)) return documents;
  try {
    const ZipArchive zip(std::move(bytes), archive, 1);
    for (size_t i = 0; i < zip.entries().size(); ++i) {
      if (!zip.entries()[i].name.ends_with(".gpx")) continue;
      const std::string path = folder + "/entry-" + std::to_string(i) + ".gpx";
      WriteFileOrFail(path, zip.ReadEntry(static_cast<int>(i)));
      documents.push_back(path);
    }
  } catch (const CZipException&) {
    // A broken archive holds no document a reader could read.
  }
  return documents;
}

CorpusConversion Convert(const fs::path& input, const TempDir& root, int n) {
  CorpusConversion done;
  done.input = input.string();
  const std::string work = root / std::to_string(n);
  fs::create_directories(work + "/config/Brannoc");
  WriteFileOrFail(work + "/config/Brannoc/Korvelo.conf",
                  "[General]\nbOutputKml=1\nOutputKmlDir=" + work +
                      "/out\nbOutputGpx=1\nOutputGpxDir=" + work + "/out\n");
  fs::create_directories(work + "/out");
  fs::create_directories(work + "/tmp");
  std::system(("cd " + ShellWord(work) +
               " && env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "
               "XDG_CONFIG_HOME=" +
               ShellWord(work + "/config") +
               " TMPDIR=" + ShellWord(work + "/tmp") + " timeout 120 " +
               ShellWord(KORVELO_BINARY) + " /all " + ShellWord(done.input) +
               " </dev/null >/dev/null 2>&1")
                  .c_str());
  for (const auto& entry : fs::directory_iterator(work + "/out")) {
    if (entry.path().extension() == ".kml") {
      done.kmls.push_back(entry.path());
    } else if (entry.path().string().ends_with("_gps.gpx")) {
      done.gpx_outputs.push_back(entry.path());
    }
  }
  std::sort(done.kmls.begin(), done.kmls.end());
  std::sort(done.gpx_outputs.begin(), done.gpx_outputs.end());
  if (input.extension() == ".zip") {
    done.gpx_documents = UnpackGpxEntries(done.input, work);
  } else {
    done.gpx_documents = {done.input};
  }
  return done;
}

// Every .gpx and .zip below the corpus folder converted once, in a folder
// that lives as long as the test program; empty without a corpus.
const std::vector<CorpusConversion>& ConvertedCorpus() {
  static TempDir root;
  static const std::vector<CorpusConversion> all = [] {
    const std::vector<fs::path> inputs = CorpusInputs();
    std::vector<CorpusConversion> converted;
    for (size_t i = 0; i < inputs.size(); ++i)
      converted.push_back(Convert(inputs[i], root, static_cast<int>(i)));
    return converted;
  }();
  return all;
}

using Row = std::map<std::string, std::string>;  // column name -> value

// The fields of one line of GPSBabel's unicsv: separated by commas, quoted
// ones may hold commas and doubled quotes.
std::vector<std::string> CsvFields(const std::string& line) {
  std::vector<std::string> fields(1);
  bool quoted = false;
  for (size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (quoted && c == '"' && i + 1 < line.size() && line[i + 1] == '"') {
      fields.back() += '"';
      ++i;
    } else if (c == '"') {
      quoted = !quoted;
    } else if (c == ',' && !quoted) {
      fields.emplace_back();
    } else if (c != '\r') {
      fields.back() += c;
    }
  }
  return fields;
}

// GPSBabel's rows of a GPX file by waypoint name (the first of a name).
std::map<std::string, Row> GpsbabelRows(const std::string& path) {
  const ToolRun run = RunTool("gpsbabel -i gpx -f " + ShellWord(path) +
                              " -o unicsv -F - 2>/dev/null");
  std::map<std::string, Row> rows;
  std::vector<std::string> header;
  size_t start = 0;
  while (start < run.output.size()) {
    size_t end = run.output.find('\n', start);
    if (end == std::string::npos) end = run.output.size();
    const std::vector<std::string> fields =
        CsvFields(run.output.substr(start, end - start));
    start = end + 1;
    if (header.empty()) {
      header = fields;
      continue;
    }
    Row row;
    for (size_t i = 0; i < header.size() && i < fields.size(); ++i)
      row[header[i]] = fields[i];
    rows.emplace(row["Name"], row);
  }
  return rows;
}

// The names of the written caches (waypoints with a cache element), decoded
// as an XML reader gives them.
std::vector<std::string> WrittenCaches(const std::string& gpx) {
  std::vector<std::string> codes;
  for (size_t at = gpx.find("<wpt"); at != std::string::npos;
       at = gpx.find("<wpt", at + 1)) {
    const size_t end = gpx.find("</wpt>", at);
    if (gpx.substr(at, end - at).find("<groundspeak:cache") ==
        std::string::npos) {
      continue;
    }
    const size_t name = gpx.find("<name>", at) + 6;
    codes.push_back(
        DecodeXmlContent(gpx.substr(name, gpx.find("</name>", name) - name)));
  }
  return codes;
}

const char* const kCacheFields[] = {"Type", "Container", "Difficulty",
                                    "Terrain", "Placer"};

// Skips the test, naming the Debian package to install, unless `tool` is.
#define REQUIRE_TOOL(tool, package) \
  if (!HaveTool(tool)) GTEST_SKIP() << tool " is not installed (" package ")"

TEST(GpxReaders, GpsbabelReadsEveryCacheWithItsCacheFields) {
  KORVELO_REQUIRE_CORPUS();
  REQUIRE_TOOL("gpsbabel", "gpsbabel");
  int files = 0, caches_with_fields = 0;
  for (const CorpusConversion& file : ConvertedCorpus()) {
    if (file.gpx_outputs.empty()) continue;
    SCOPED_TRACE(file.input);
    ASSERT_EQ(file.gpx_outputs.size(), 1u);
    std::map<std::string, Row> in_input;
    for (const std::string& document : file.gpx_documents)
      in_input.merge(GpsbabelRows(document));
    const std::map<std::string, Row> read = GpsbabelRows(file.gpx_outputs[0]);
    const std::vector<std::string> caches =
        WrittenCaches(ReadFileOrFail(file.gpx_outputs[0]));
    int with_fields = 0;
    for (const std::string& code : caches) {
      const auto got = read.find(code);
      ASSERT_NE(got, read.end()) << code << " not read";
      const auto expected = in_input.find(code);
      if (expected == in_input.end()) continue;
      for (const char* field : kCacheFields) {
        const auto want = expected->second.find(field);
        if (want == expected->second.end()) continue;
        const auto have = got->second.find(field);
        ASSERT_NE(have, got->second.end()) << code << " " << field;
        EXPECT_EQ(have->second, want->second) << code << " " << field;
      }
      with_fields += expected->second.count("Type") != 0 &&
                     !expected->second.at("Type").empty();
    }
    std::printf("gpsbabel %s: %zu caches read, %d with cache fields\n",
                fs::relative(file.input, CorpusPath()).c_str(), caches.size(),
                with_fields);
    caches_with_fields += with_fields;
    ++files;
  }
  EXPECT_GT(files, 30);
  EXPECT_GT(caches_with_fields, 2000);
}

// Both copy the owners' texts as they stand, so only a well-formed input
// promises a well-formed KML (the corpus's truncated query writes none) and,
// with the additional waypoints beside it well-formed too, GPX.
TEST(Xmllint, AcceptsTheKmlAndTheGpxOfEveryWellFormedInput) {
  KORVELO_REQUIRE_CORPUS();
  REQUIRE_TOOL("xmllint", "libxml2-utils");
  int kmls = 0, gpxs = 0;
  for (const CorpusConversion& file : ConvertedCorpus()) {
    if (!InputWellFormed(file)) continue;
    const std::string beside =
        file.input.substr(0, file.input.size() - 4) + "-wpts.gpx";
    std::vector<std::string> outputs = file.kmls;
    if (!fs::exists(beside) || XmllintAccepts(beside)) {
      outputs.insert(outputs.end(), file.gpx_outputs.begin(),
                     file.gpx_outputs.end());
    }
    for (const std::string& output : outputs) {
      const ToolRun run = RunTool("xmllint --noout " + ShellWord(output));
      EXPECT_EQ(run.status, 0) << output << ":\n" << run.output;
      std::printf("xmllint %s: %s %s\n",
                  fs::relative(file.input, CorpusPath()).c_str(),
                  fs::path(output).filename().c_str(),
                  run.status == 0 ? "accepted" : "REFUSED");
      ++(output.ends_with(".kml") ? kmls : gpxs);
    }
  }
  EXPECT_GT(kmls, 40);
  EXPECT_GT(gpxs, 30);
}

class GdalDriver : public ::testing::TestWithParam<const char*> {
 protected:
  // ogrinfo with this driver alone: the other KML driver is skipped.
  std::string Ogrinfo(const std::string& path) const {
    const std::string other =
        std::string(GetParam()) == "KML" ? "LIBKML" : "KML";
    return "ogrinfo --config GDAL_SKIP " + other + " -ro -so -al " +
           ShellWord(path);
  }
};

// Each driver opens every KML with itself and lists every placemark the
// program wrote, spread over the folders it reads as layers.
TEST_P(GdalDriver, ListsEveryPlacemarkOfEveryCorpusKml) {
  KORVELO_REQUIRE_CORPUS();
  REQUIRE_TOOL("ogrinfo", "gdal-bin");
  const std::string driver = GetParam();
  if (RunTool("ogrinfo --formats").output.find(" " + driver + " -vector-") ==
      std::string::npos) {
    GTEST_SKIP() << "this GDAL has no " << driver << " driver";
  }
  int placemarks = 0;
  for (const CorpusConversion& file : ConvertedCorpus()) {
    for (const std::string& kml : file.kmls) {
      const int written = CountOf(ReadFileOrFail(kml), "<Placemark>");
      const ToolRun run = RunTool(Ogrinfo(kml));
      EXPECT_EQ(run.status, 0) << file.input << ":\n" << run.output;
      EXPECT_NE(run.output.find("using driver `" + driver + "' successful"),
                std::string::npos)
          << file.input << ":\n"
          << run.output;
      EXPECT_EQ(FeatureCount(run.output), written) << file.input;
      placemarks += written;
    }
  }
  EXPECT_GT(placemarks, 5000);
}

INSTANTIATE_TEST_SUITE_P(KmlAndLibkml, GdalDriver,
                         ::testing::Values("KML", "LIBKML"));

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
    dir_ = new TempDir();
    maps_ = new std::vector<MapFile>();
    WriteMaps(HostileList(), *dir_ / "hostile", "hostile texts", *maps_);
    int index = 0;
    for (const fs::path& path : CorpusInputs()) {
      CacheList list(path.string(), nullptr, "");
      if (list.records.empty()) continue;
      for (size_t i = 0; i < list.records.size(); ++i)
        list.records[i].moved = i % 3 == 0;
      WriteMaps(list, *dir_ / std::to_string(++index),
                fs::relative(path, CorpusPath()).string(), *maps_);
    }
  }
  static void TearDownTestSuite() {
    delete maps_;
    delete dir_;
  }

  static TempDir* dir_;
  static std::vector<MapFile>* maps_;
};

TempDir* KmzReaders::dir_ = nullptr;
std::vector<MapFile>* KmzReaders::maps_ = nullptr;

// Placemarks in the doc.kml of a map, counted on the raw text.
size_t PlacemarkCount(const std::string& kmz) {
  const ToolRun unzip = RunTool("unzip -p " + ShellWord(kmz) + " doc.kml");
  EXPECT_EQ(unzip.status, 0) << kmz;
  return CountOf(unzip.output, "<Placemark>");
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
  REQUIRE_TOOL("ogrinfo", "gdal-bin");
  REQUIRE_TOOL("unzip", "unzip");
  for (const MapFile& map : *maps_) {
    SCOPED_TRACE(map.source + ": " + map.path);
    const ToolRun run = RunTool("ogrinfo -ro -al -so " + ShellWord(map.path));
    ASSERT_EQ(run.status, 0) << run.output;
    EXPECT_NE(run.output.find("using driver `LIBKML' successful"),
              std::string::npos)
        << run.output;
    const int features = FeatureCount(run.output);
    EXPECT_EQ(features, static_cast<int>(PlacemarkCount(map.path)))
        << run.output;
    std::printf("ogrinfo: %s: %d features\n", map.source.c_str(), features);
  }
}

}  // namespace
}  // namespace korvelo::testing
