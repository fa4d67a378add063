// The two writers for maps: KML for Google Earth and ASC for POI warners.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "gpx_lists.h"
#include "input/text.h"
#include "output/asc_writer.h"
#include "output/cache_types.h"
#include "output/icons.h"
#include "output/kml_writer.h"

namespace korvelo {
namespace {

using testing::ReadFileOrFail;
using testing::TempDir;
using testing::Wpt;

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

// Every real pocket query, every third cache moved: the KML is well-formed
// with one placemark per cache of a known type. (That two runs give the same
// bytes is checked by the window's run against the program's.)
TEST(KmlWriter, CorpusConversionIsWellFormedAndComplete) {
  KORVELO_REQUIRE_CORPUS();
  if (std::system("xmllint --version >/dev/null 2>&1") != 0) {
    GTEST_SKIP() << "xmllint not installed (package libxml2-utils)";
  }
  ConversionSettings settings;
  settings.OutputKmlDirFileMode = 2;
  settings.bSmallIcons = false;
  for (const auto& path : testing::CorpusInputs(false)) {
    SCOPED_TRACE(path);
    CacheList list;
    testing::AppendGpxFile(list, path, "pq");
    int known = 0;
    for (size_t i = 0; i < list.records.size(); ++i) {
      list.records[i].moved = i % 3 == 0;
      known += std::any_of(std::begin(kCacheTypes), std::end(kCacheTypes),
                           [&](const CacheTypeRow& row) {
                             return IsOfType(list.records[i].type, row);
                           });
    }
    TempDir first;
    WriteKml(list, first.path() + "/pq.kml", 1, settings);
    const std::string kml = ReadFileOrFail(first / "pq.kml");
    EXPECT_EQ(testing::CountOf(kml, "<Placemark>"), known);
    const std::string check = "xmllint --noout '" + (first / "pq.kml") + "'";
    EXPECT_EQ(std::system(check.c_str()), 0) << check;
  }
}

// Types compare ignoring ASCII case only, never by prefix; only the last "%s"
// of a pattern is filled; a file of an older run is left alone; a missing
// folder is named with the first file (in type row order) that has lines.
TEST(AscWriter, AllAndHighwaySetsHoldOneFilePerTypeWithLines) {
  CacheList list;
  list.records = {
      Wpt("GC1A2B3", "Alte M\303\274hle", "Traditional Cache"),
      Wpt("GC12", "Der \"Stein\"", "traditional cache"),
      Wpt("GC", "Kurz an der A1", "Traditional Cache"),
      Wpt("GC21", "Autobahn Runde", "Multi-cache"),
      Wpt("GC31", "Autobahnraetsel", "Unknown Cache"),
      Wpt("GC32", "Loesung an der A1", "Unknown Cache"),
      Wpt("GC41", "Treffen", "Mega-Event cache"),
      Wpt("GC51", "Autobahn ueberall", "Locationless (Reverse) Cache"),
  };
  const std::string odd[] = {
      "Traditional Cache ", "Letterbox", {"Earthcache\0", 11}};
  for (const std::string& type : odd) {
    list.records.push_back(Wpt("GC52", "Autobahn", ""));
    list.records.back().type = type;
  }
  list.records[0].lon = "8.12345";
  list.records[0].lat = "50.12300";
  list.records[5].moved = true;
  TempDir dir;
  testing::WriteFileOrFail(dir / "100%s/p%s_all_Webcam.asc", "older run");
  WriteAsc(list, dir.path() + "/100%s/p%s_all_%s.asc", false);
  WriteAsc(list, dir.path() + "/100%s/p%s_highway_%s.asc", true);
  const std::string p = "100%s/p%s_", at = "8.20000, 50.10000, \"";
  EXPECT_EQ(testing::FilesBelow(dir.path()),
            (std::map<std::string, std::string>{
                {p + "all_MegaEvent.asc", at + "41 Treffen\"\r\n"},
                {p + "all_Multi.asc", at + "21 Autobahn Runde\"\r\n"},
                {p + "all_Tradi.asc",
                 "8.12345, 50.12300, \"1A2B3 Alte M\374hle\"\r\n" + at +
                     "12 Der \"Stein\"\"\r\n" + at + " Kurz an der A1\"\r\n"},
                {p + "all_Unknown.asc", at + "32 Loesung an der A1\"\r\n"},
                {p + "all_Webcam.asc", "older run"},
                {p + "highway_Multi.asc", at + "21 Autobahn Runde\"\r\n"},
                {p + "highway_Tradi.asc", at + " Kurz an der A1\"\r\n"},
                {p + "highway_Unknown.asc", at + "32 Loesung an der A1\"\r\n"},
            }));
  const std::string no = dir.path() + "/no/";
  EXPECT_TRUE(testing::ThrowsFileError(
      [&] { WriteAsc(list, no + "pq_all_%s.asc", false); },
      FileCause::kInvalidFile, no + "pq_all_MegaEvent.asc"));
}

}  // namespace
}  // namespace korvelo
