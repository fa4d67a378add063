// The two writers for maps: KML for Google Earth and ASC for POI warners;
// which icon a placemark gets, and the icon files built into the program.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "gpx_lists.h"
#include "input/text.h"
#include "output/asc_writer.h"
#include "output/embedded_icons.h"
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

enum Keyword { kNoTest, kMotorway, kChurch, kNight, kHotel, kRailway };

TEST(Icons, EveryKeywordMakesExactlyItsTestHold) {
  // The UTF-8 a-umlaut is two bytes; "Hbf." ends in two blanks.
  const std::pair<Keyword, std::vector<std::string>> groups[] = {
      {kMotorway,
       {"Am Rasthof Nord", "RASTST\xC4TTE Sued", "Rast BAB 15", "Rast A 95"}},
      {kChurch, {"Old churches of York", "Die Kirchen in Bonn"}},
      {kNight, {"Spuk at night", "Die Nachtschicht"}},
      {kHotel, {"Travelbug Depot", "TB Airporthotel", "TB-Hotel"}},
      {kRailway, {"Alter Bahnhof", "Koeln Hbf", "Dorf Bf"}},
      {kNoTest,
       {"Rastst\xC3\xA4tte Sued", "Stadtkirche", "Nightcache", "Koeln Hbf.",
        "Bf Nord", "Rast an der a 7", "Rast an der A0"}},
  };
  for (const auto& [holds, titles] : groups) {
    for (const std::string& title : titles) {
      const CacheRecord record = Wpt("GC1", title, "");
      SCOPED_TRACE(title);
      EXPECT_EQ(IsMotorwayCache(record), holds == kMotorway);
      EXPECT_EQ(IsChurchCache(record), holds == kChurch);
      EXPECT_EQ(IsNightCache(record), holds == kNight);
      EXPECT_EQ(IsTravelBugHotel(record), holds == kHotel);
      EXPECT_EQ(IsRailwayStation(record), holds == kRailway);
    }
  }
}

// Which rule wins, beyond what the reference KML files show. Flags: m moved,
// u unavailable, s showDisabled. Icon: the file name under the extra base
// ("icon_...") or the standard base, or none.
TEST(Icons, HrefFollowsRoleTypeKeywordsAndFlagsInThisOrder) {
  const std::string tradi = "Traditional Cache", multi = "Multi-cache",
                    odd = "Locationless (Reverse) Cache";
  const struct {
    std::string type, title;
    int function;
    std::string flags, icon;
  } cases[] = {
      {"Unknown Cache", "Alte Kirche", 1, "", "8.png"},
      {odd, "X", 1, "", ""},
      {tradi, "Kirche an der Autobahn", 1, "", "icon_autobahn.png"},
      {tradi, "Gotteshaus TB Hotel", 1, "", "icon_church.png"},
      {tradi, "TB Hotel am Bahnhof", 1, "", "icon_tbhotel.png"},
      {multi, "Kirche an der Autobahn", 1, "", "3.png"},
      {multi, "Runde", 1, "mus", "icon_unavailable.png"},
      {odd, "X", kFunctionFound, "us", "icon_found.png"},
      {tradi, "X", -1, "", ""},
  };
  for (const auto& c : cases) {
    CacheRecord record = Wpt("GC1", c.title, c.type);
    record.moved = c.flags.find('m') != std::string::npos;
    record.unavailable = c.flags.find('u') != std::string::npos;
    const bool show = c.flags.find('s') != std::string::npos;
    std::string expected;
    if (c.icon.starts_with("icon_")) {
      expected = std::string(kExtraIconBase) + "/geocaching/icons/" + c.icon;
    } else if (!c.icon.empty()) {
      expected = std::string(kStandardIconBase) + "/images/kml/" + c.icon;
    }
    EXPECT_EQ(IconHref(record, c.function, show), expected)
        << c.type << " / " << c.title << " / " << c.function << c.flags;
  }
}

// Looked up by their whole names only: no part, no longer name, no folder.
TEST(EmbeddedIcons, HoldEveryPngOfTheIconFolderByteForByte) {
  std::set<std::string> names, embedded;
  for (const auto& item :
       std::filesystem::directory_iterator(KORVELO_MAP_ICON_DIR)) {
    if (item.path().extension() != ".png") continue;
    const std::string name = item.path().filename().string();
    names.insert(name);
    const std::optional<std::string_view> bytes = EmbeddedIcon(name);
    ASSERT_TRUE(bytes) << name;
    EXPECT_EQ(*bytes, testing::ReadFileOrFail(item.path().string())) << name;
    for (const std::string& other :
         {name.substr(1), name.substr(0, name.size() - 1), name + "x",
          "icons/" + name}) {
      EXPECT_FALSE(EmbeddedIcon(other)) << other;
    }
  }
  for (const EmbeddedFile& file : EmbeddedIcons()) {
    embedded.insert(std::string(file.name));
  }
  EXPECT_EQ(embedded, names);
  EXPECT_FALSE(EmbeddedIcon(""));
}
}  // namespace
}  // namespace korvelo
