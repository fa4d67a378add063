#include "output/kml_writer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "gpx_lists.h"
#include "input/text.h"
#include "output/asc_writer.h"
#include "output/cache_types.h"
#include "output/icons.h"

namespace korvelo {
namespace {

using testing::ReadFileOrFail;
using testing::TempDir;

const std::string kReference = KORVELO_REFERENCE_DIR "/";

struct KmlCase {
  int function, mode;
  bool smallIcons, showDisabled;
  std::string reference;  // the expected file, or the start of their names
};

// Complete input in mode 0 reads two files under three titles, one of them
// twice and one without caches; all other cases read small.gpx, of which
// GC1002 (Multi), GC1004 (Traditional) and GC1008 (Unknown) count as moved.
CacheList ListFor(bool perTitle) {
  CacheList list;
  if (perTitle) {
    testing::AppendGpxFile(list, kReference + "mode0-ost.gpx", "ost");
    list.titles.insert(list.titles.end(), {"leer", "ost"});
    testing::AppendGpxFile(list, kReference + "mode0-west.gpx", "west");
  } else {
    testing::AppendGpxFile(list, kReference + "small.gpx", "pq");
    for (int i : {1, 3, 7}) list.records[i].moved = true;
  }
  return list;
}

TEST(KmlWriter, ReferenceCasesMatchByteForByte) {
  std::vector<KmlCase> cases = {
      {1, 2, false, true, "small~all-mode2"},
      {1, 2, true, false, "small~all-mode2-small"},
      {1, 7, false, true, "small~all-mode2"},
      {1, 1, false, true, "small~all-mode1"},
      {1, 1, true, false, "small~all-mode1-small"},
      {1, 0, false, true, "mode0"},
      {1, 0, true, false, "mode0-small"},
      {9, 1, false, true, "small~none"},
  };
  const std::string roles[] = {"none", "",         "found",
                               "mine", "disabled", "marked"};
  for (int function : {0, 2, 3, 4, 5}) {
    for (int mode : {0, 1, 2}) {
      cases.push_back(
          {function, mode, false, true, "small~" + roles[function]});
      cases.push_back(
          {function, mode, true, true, "small~" + roles[function] + "-small"});
    }
  }
  for (const KmlCase& c : cases) {
    // Complete input gives one file per title in mode 0 and one per type
    // row in mode 1; everything else one file named after the path.
    const bool perTitle = c.function == 1 && c.mode == 0;
    std::vector<std::string> parts = {""};
    if (perTitle) parts = {"~ost", "~leer", "~west"};
    if (c.function == 1 && c.mode == 1) {
      parts = {"_CITO",      "_Earth",  "_Event",  "_Letterbox",
               "_MegaEvent", "_Multi",  "_Tradi",  "_Unknown",
               "_Virtual",   "_Webcam", "_Wherigo"};
    }
    TempDir dir;
    ConversionSettings settings;
    settings.OutputKmlDirFileMode = c.mode;
    settings.bSmallIcons = c.smallIcons;
    settings.bShowDisable = c.showDisabled;
    WriteKml(ListFor(perTitle), dir.path() + "/small.kml", c.function,
             settings);
    auto written = testing::FilesBelow(dir.path());
    for (const std::string& part : parts) {
      const std::string name = perTitle ? part.substr(1) : "small" + part;
      // The references name the default hosts; a build may configure others.
      const std::string expected = ReplaceAll(
          ReplaceAll(ReadFileOrFail(kReference + c.reference + part + ".kml"),
                     "https://www.geocaching.com", kStandardIconBase),
          "https://icons.korvelo.org", kExtraIconBase);
      EXPECT_EQ(written[name + ".kml"], expected)
          << c.reference << part << ", function " << c.function << ", mode "
          << c.mode;
      written.erase(name + ".kml");
    }
    for (const auto& [name, bytes] : written) ADD_FAILURE() << "also " << name;
  }
}

// Every real pocket query as one KML file and both ASC file sets, written
// twice: the KML is well-formed with one placemark per cache of a known
// type, and both runs give the same bytes. Every third cache counts as
// moved, so that solved Unknown Caches reach the ASC files.
TEST(KmlWriter, CorpusConversionIsWellFormedCompleteAndReproducible) {
  KORVELO_REQUIRE_CORPUS();
  if (std::system("xmllint --version >/dev/null 2>&1") != 0) {
    GTEST_SKIP() << "xmllint not installed (package libxml2-utils)";
  }
  ConversionSettings settings;
  settings.OutputKmlDirFileMode = 2;
  settings.bSmallIcons = false;
  for (const auto& entry :
       std::filesystem::recursive_directory_iterator(testing::CorpusPath())) {
    if (entry.path().extension() != ".gpx") continue;
    SCOPED_TRACE(entry.path());
    CacheList list;
    testing::AppendGpxFile(list, entry.path(), "pq");
    size_t known = 0;
    for (size_t i = 0; i < list.records.size(); ++i) {
      list.records[i].moved = i % 3 == 0;
      known += std::any_of(std::begin(kCacheTypes), std::end(kCacheTypes),
                           [&](const CacheTypeRow& row) {
                             return IsOfType(list.records[i].type, row);
                           });
    }
    TempDir first, second;
    for (const TempDir* dir : {&first, &second}) {
      WriteKml(list, dir->path() + "/pq.kml", 1, settings);
      WriteAsc(list, dir->path() + "/pq_all_%s.asc", false);
      WriteAsc(list, dir->path() + "/pq_highway_%s.asc", true);
    }
    EXPECT_TRUE(testing::FilesBelow(first.path()) ==
                testing::FilesBelow(second.path()));
    const std::string kml = ReadFileOrFail(first / "pq.kml");
    EXPECT_EQ(kml.size() - ReplaceAll(kml, "<Placemark>", "").size(),
              known * std::string_view("<Placemark>").size());
    const std::string check = "xmllint --noout '" + (first / "pq.kml") + "'";
    EXPECT_EQ(std::system(check.c_str()), 0) << check;
  }
}

}  // namespace
}  // namespace korvelo
