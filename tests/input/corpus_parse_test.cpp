// Parses every waypoint of the real pocket queries and checks the record
// invariants, then compares three real caches field by field with values
// read off their files.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <regex>
#include <string>
#include <vector>

#include "input/cache_record.h"
#include "support/test_support.h"

namespace korvelo {
namespace {

using ::korvelo::testing::CorpusPath;
using ::korvelo::testing::ReadFileOrFail;

// Waypoint texts cut the way the loader cuts them: from "<wpt" up to, not
// including, the next "</wpt>"; the file's text ends at its first zero byte.
std::vector<std::string> CutWaypoints(std::string text) {
  text.resize(std::min(text.size(), text.find('\0')));
  std::vector<std::string> waypoints;
  size_t at = 0;
  for (;;) {
    const size_t start = text.find("<wpt", at);
    if (start == std::string::npos) break;
    const size_t end = text.find("</wpt>", start);
    if (end == std::string::npos) break;
    waypoints.push_back(text.substr(start, end - start));
    at = end;
  }
  return waypoints;
}

std::vector<std::string> CorpusGpxFiles() {
  std::vector<std::string> files;
  for (const auto& entry :
       std::filesystem::recursive_directory_iterator(CorpusPath())) {
    std::string extension = entry.path().extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return std::tolower(c); });
    if (entry.is_regular_file() && extension == ".gpx") {
      files.push_back(entry.path().string());
    }
  }
  std::sort(files.begin(), files.end());
  return files;
}

// Windows-1252 capitals and their small letters, as two aligned lists.
const std::string kCapitals =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZ\x8A\x8C\x8E\x9F"
    "\xC0\xC1\xC2\xC3\xC4\xC5\xC6\xC7\xC8\xC9\xCA\xCB\xCC\xCD\xCE\xCF"
    "\xD0\xD1\xD2\xD3\xD4\xD5\xD6\xD8\xD9\xDA\xDB\xDC\xDD\xDE";
const std::string kSmall =
    "abcdefghijklmnopqrstuvwxyz\x9A\x9C\x9E\xFF"
    "\xE0\xE1\xE2\xE3\xE4\xE5\xE6\xE7\xE8\xE9\xEA\xEB\xEC\xED\xEE\xEF"
    "\xF0\xF1\xF2\xF3\xF4\xF5\xF6\xF8\xF9\xFA\xFB\xFC\xFD\xFE";

std::string ExpectedLower(const std::string& text) {
  std::string lower = text;
  for (char& c : lower) {
    const size_t capital = kCapitals.find(c);
    if (capital != std::string::npos) c = kSmall[capital];
  }
  return lower;
}

// The decimal text holds a point followed by exactly five characters.
bool HasFiveDecimals(const std::string& decimal) {
  const size_t point = decimal.find('.');
  return point != std::string::npos && decimal.size() == point + 6;
}

void ExpectInvariants(const std::string& wpt, const CacheRecord& record) {
  static const std::regex kMinutes(R"(^\d\d\.\d\d\d$)");
  EXPECT_EQ(record.owner, record.placed_by);
  EXPECT_EQ(record.search_title, ExpectedLower(record.padded_title));
  EXPECT_TRUE(std::regex_match(record.lat_minutes, kMinutes))
      << record.lat_minutes;
  EXPECT_TRUE(std::regex_match(record.lon_minutes, kMinutes))
      << record.lon_minutes;
  if (wpt.find("lat=\"") != std::string::npos) {
    EXPECT_TRUE(HasFiveDecimals(record.lat)) << record.lat;
  } else {
    EXPECT_EQ(record.lat, "");
  }
  if (wpt.find("lon=\"") != std::string::npos) {
    EXPECT_TRUE(HasFiveDecimals(record.lon)) << record.lon;
  } else {
    EXPECT_EQ(record.lon, "");
  }
}

TEST(CorpusParse, EveryWaypointOfEveryFileKeepsTheInvariants) {
  KORVELO_REQUIRE_CORPUS();
  const std::vector<std::string> files = CorpusGpxFiles();
  ASSERT_GE(files.size(), 30u);
  size_t waypoints = 0;
  for (const std::string& file : files) {
    SCOPED_TRACE(file);
    for (const std::string& wpt : CutWaypoints(ReadFileOrFail(file))) {
      const CacheRecord record(wpt);
      SCOPED_TRACE(record.name);
      ExpectInvariants(wpt, record);
      ++waypoints;
    }
  }
  EXPECT_GE(waypoints, 2000u);
}

// The record with the code `name` from the corpus file `relative`.
CacheRecord FindCache(const std::string& relative, const std::string& name) {
  for (const std::string& wpt :
       CutWaypoints(ReadFileOrFail(CorpusPath(relative)))) {
    CacheRecord record(wpt);
    if (record.name == name) return record;
  }
  ADD_FAILURE() << name << " not found in " << relative;
  return CacheRecord();
}

TEST(CorpusParse, ReadsAGermanPlainTextMultiCache) {
  KORVELO_REQUIRE_CORPUS();
  const CacheRecord record = FindCache("cgeo/gc31j2h.gpx", "GC31J2H");
  EXPECT_EQ(record.urlname, "Hockenheimer City-Brunnen");
  EXPECT_EQ(record.search_title, " hockenheimer city brunnen ");
  EXPECT_EQ(record.type, "Multi-cache");
  EXPECT_EQ(record.owner, "vptsz");
  EXPECT_EQ(record.container, "Small");
  EXPECT_EQ(record.lat, "49.31870");
  EXPECT_EQ(record.lon, "8.54565");
  EXPECT_EQ(record.lat_degrees + " " + record.lat_minutes, "49 19.122");
  EXPECT_EQ(record.lon_degrees + " " + record.lon_minutes, "8 32.739");
  EXPECT_FALSE(record.unavailable);
  // LF line ends vanish; the degree sign (C2 B0) is no umlaut and stays.
  EXPECT_NE(record.text_description.find(
                "sehenswerte Brunnen. 1. Station: Brunnen an der "
                "Kraichbachbruecke (N 49\xC2\xB0 19.122 E 008\xC2\xB0 "
                "32.739)Der Kraichbach fliesst, bewacht von den Blicken des "
                "Brueckenheiligen Nepomuk"),
            std::string::npos);
}

TEST(CorpusParse, ReadsAnEscapedHtmlListWithCrLfLineEnds) {
  KORVELO_REQUIRE_CORPUS();
  const CacheRecord record = FindCache("gpsbabel/GCGCA8.gpx", "GCGCA8");
  EXPECT_EQ(record.urlname, "Oozy rat in a sanitary zoo");
  EXPECT_EQ(record.type, "Unknown Cache");
  EXPECT_EQ(record.owner, "robertlipe");
  EXPECT_EQ(record.difficulty, "3");
  EXPECT_EQ(record.terrain, "2");
  EXPECT_EQ(record.lat, "35.92166");
  EXPECT_EQ(record.lon, "-86.86166");
  EXPECT_EQ(record.lat_degrees + " " + record.lat_minutes, "35 55.300");
  EXPECT_EQ(record.lon_degrees + " " + record.lon_minutes, "-86 51.700");
  EXPECT_EQ(record.text_description.rfind(
                "So if the cache isn't at the above coordinates, where is "
                "it?     Too bad I hid a boot Too hot to hoot Never odd or "
                "even Do geese see God? \"Do nine men interpret?\" \"Nine "
                "men,\" I nod",
                0),
            0u);
}

TEST(CorpusParse, ReadsAPocketQueryCacheWithDoublyEscapedEntities) {
  KORVELO_REQUIRE_CORPUS();
  const CacheRecord record =
      FindCache("cachebox3/6004539_HomeZone.gpx", "GC1BK0B");
  EXPECT_EQ(record.urlname, "Der Rasende Roland");
  EXPECT_EQ(record.type, "Unknown Cache");
  EXPECT_EQ(record.owner, "Risou");
  EXPECT_EQ(record.terrain, "1.5");
  EXPECT_EQ(record.lat, "52.58083");
  EXPECT_EQ(record.lon, "13.40883");
  EXPECT_EQ(record.lat_degrees + " " + record.lat_minutes, "52 34.849");
  EXPECT_EQ(record.lon_degrees + " " + record.lon_minutes, "13 24.529");
  EXPECT_EQ(record.text_description.rfind(
                "&bdquo;Der Rasende Roland&ldquo;Seit 1895 verbindet eine "
                "Schmalspurbahn die Orte Putbus und Binzauf Ruegen.Mit der "
                "Eroeffnung dieses 24,1 km langen Teilstueckes begann "
                "dieGeschichte der Schmalspurbahn auf Ruegen.Noch heute",
                0),
            0u);
}

}  // namespace
}  // namespace korvelo
