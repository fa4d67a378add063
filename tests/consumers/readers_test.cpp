// Real readers of what the program writes, for every corpus file: xmllint
// of the KML and the GPX for devices, GPSBabel, which must see every written
// cache with the cache fields it sees in the pocket query itself, GDAL of
// the classic KML and of the self-contained maps, hostile texts' too, and
// libkml of the maps. A reader that is not installed skips its test with the
// package to install; `make check-consumers` installs them all.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <regex>
#include <string>
#include <utility>
#include <vector>

#include "cachelist/cache_list.h"
#include "input/input_files.h"
#include "input/zip_archive.h"
#include "output/gpx_lists.h"
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
      ++(output.ends_with(".kml") ? kmls : gpxs);
    }
  }
  EXPECT_GT(kmls, 40);
  EXPECT_GT(gpxs, 30);
}

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

// The maps of the hostile texts and of every corpus file with caches,
// written once into a folder that lives as long as the test program.
const std::vector<MapFile>& Maps() {
  static TempDir dir;
  static const std::vector<MapFile> maps = [] {
    std::vector<MapFile> all;
    WriteMaps(HostileList("Lab Cache"), dir / "hostile", "hostile texts", all);
    int index = 0;
    for (const fs::path& path : CorpusInputs()) {
      CacheList list(path.string(), nullptr, "");
      if (list.records.empty()) continue;
      for (size_t i = 0; i < list.records.size(); ++i)
        list.records[i].moved = i % 3 == 0;
      WriteMaps(list, dir / std::to_string(++index),
                fs::relative(path, CorpusPath()).string(), all);
    }
    return all;
  }();
  return maps;
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

TEST(KmzReaders, LibkmlParsesEveryMapAndFindsEveryIconInside) {
#ifndef KORVELO_HAVE_LIBKML
  GTEST_SKIP() << "libkml not found when configuring (package libkml-dev)";
#else
  for (const MapFile& map : Maps()) {
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
    EXPECT_EQ(static_cast<int>(placemarks.size()), CountOf(kml, "<Placemark>"));
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
  }
#endif
}

// GDAL's KML driver opens every classic KML, its LIBKML driver every map,
// and each lists every placemark written, spread over the folders it reads
// as layers.
TEST(GdalReaders, ListEveryPlacemarkOfTheKmlAndOfTheMaps) {
  REQUIRE_TOOL("ogrinfo", "gdal-bin");
  int placemarks = 0;
  const auto expect_listed = [&](const std::string& path,
                                 const std::string& driver,
                                 const std::string& kml) {
    const std::string other = driver == "KML" ? "LIBKML" : "KML";
    const ToolRun run = RunTool("ogrinfo --config GDAL_SKIP " + other +
                                " -ro -so -al " + ShellWord(path));
    EXPECT_EQ(run.status, 0) << path << ":\n" << run.output;
    EXPECT_NE(run.output.find("using driver `" + driver + "' successful"),
              std::string::npos)
        << path << ":\n"
        << run.output;
    EXPECT_EQ(FeatureCount(run.output), CountOf(kml, "<Placemark>")) << path;
    placemarks += CountOf(kml, "<Placemark>");
  };
  for (const MapFile& map : Maps()) {
    expect_listed(
        map.path, "LIBKML",
        ZipArchive(ReadFileOrFail(map.path), map.path, 1).ReadEntry(0));
  }
  KORVELO_REQUIRE_CORPUS();
  for (const CorpusConversion& file : ConvertedCorpus()) {
    for (const std::string& kml : file.kmls)
      expect_listed(kml, "KML", ReadFileOrFail(kml));
  }
  EXPECT_GT(placemarks, 5000);
}

}  // namespace
}  // namespace korvelo::testing
