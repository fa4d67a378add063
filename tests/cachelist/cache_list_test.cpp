// The code index, Merge, the exclusions, the moves, and every waypoint of the
// real pocket queries, loaded.
#include "cachelist/cache_list.h"

#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "cachelist/moves.h"
#include "support/test_support.h"

namespace korvelo {
namespace {

using ::korvelo::testing::CorpusInputs;
using Texts = std::vector<std::string>;
using Rows = std::vector<std::tuple<Texts, Texts, std::string>>;

// A list as the loader fills one (duplicates too) with `values` in `field`;
// each record's urlname is the list's name and the record's position in it.
CacheList MakeList(const Texts& values, const std::string& name = "",
                   RecordText CacheRecord::*field = &CacheRecord::name) {
  CacheList list;
  list.name = name;
  list.titles = {name};
  for (const std::string& value : values) {
    CacheRecord record;
    record.*field = value;
    record.urlname = name + std::to_string(list.GetSize());
    list.Append(std::move(record));
  }
  return list;
}

// The urlnames of the records, joined by commas ("0,2").
std::string Left(const CacheList& list) {
  std::string urlnames;
  for (const CacheRecord& record : list.records)
    urlnames += (urlnames.empty() ? "" : ",") + record.urlname;
  return urlnames;
}

// The first records into an empty list lose their duplicates (case matters),
// later ones add only codes not seen; the first name not empty names the run.
TEST(CacheListMerge, KeepsFirstRecordPerCodeFirstNameAndEveryTitle) {
  CacheList run;
  run.Merge(MakeList({}));
  run.Merge(MakeList({}, "first"));  // no records, but a name
  run.Merge(MakeList({"GC2", "GC1", "GC2", "gc1", "", ""}, "a"));
  run.Merge(MakeList({"GC3", "GC2", ""}, "first"));
  run.Merge(MakeList({"GC1"}, "c"));  // nothing new
  EXPECT_EQ(Left(run), "a0,a1,a3,a4,first0");
  EXPECT_TRUE(run.Contains("GC3") && !run.Contains("GC9"));
  EXPECT_EQ(run.name, "first");
  EXPECT_EQ(run.titles, (Texts{"", "first", "a", "first", "c"}));
}

// A first list with unique codes hands over its index too; one whose removal
// left a code in its index loses its duplicate and not that code.
TEST(CacheListMerge, FirstListHandedOverWholeStillKeepsCodesUnique) {
  CacheList run;
  run.Merge(MakeList({"GC1", "GC2"}, "a"));
  run.Merge(MakeList({"GC2", "GC3", "GC1"}, "b"));
  EXPECT_EQ(Left(run), "a0,a1,b1");
  CacheList excluded = MakeList({"GC1", "GC1", "GC2"});
  excluded.ExcludeCaches(MakeList({"GC2"}));  // GC2 stays indexed
  CacheList other;
  other.Merge(std::move(excluded));
  EXPECT_EQ(Left(other), "0");
  EXPECT_TRUE(other.Contains("GC1") && !other.Contains("GC2"));
}

// Each excluded code, exact in case, takes the first record left with it.
TEST(ExcludeCaches, RemovesTheRecordsOfTheExcludedCodes) {
  for (const auto& [codes, excluded, left] :
       Rows{{{"GC1", "GC2", "GC3", "GC4", "GC5"}, {"GC4", "GC2"}, "0,2,4"},
            {{"GC1AB", "GC2"}, {"gc1ab", "GC9"}, "0,1"},
            {{"GC7", "GC1", "GC7"}, {"GC7", "GC7"}, "1"}}) {
    CacheList list = MakeList(codes);
    list.ExcludeCaches(MakeList(excluded));
    EXPECT_EQ(Left(list), left) << ::testing::PrintToString(codes);
    for (const std::string& code : codes) EXPECT_TRUE(list.Contains(code));
  }
}

// Whole fields compared, letter case ignored, Latin-1 letters included.
TEST(ExcludeOwners, RemovesEveryCacheOfTheNamedOwners) {
  for (const auto& [owners, names, left] :
       Rows{{{"A", "B", "C", "B", "A", "D"}, {"B", "A"}, "2,5"},
            {{"Anna & Bert", "anna"}, {"ANNA"}, "0"},
            {{"", "Anna", ""}, {""}, "1"},
            {{"J\xD6RG", "\xC9MILE"}, {"j\xF6rg", "\xE9mile"}, ""}}) {
    CacheList list = MakeList(owners, "", &CacheRecord::placed_by);
    list.ExcludeOwners(names);
    EXPECT_EQ(Left(list), left) << ::testing::PrintToString(owners);
  }
}

TEST(CorpusParse, EveryWaypointOfEveryFileKeepsTheInvariants) {
  KORVELO_REQUIRE_CORPUS();
  static const std::regex kMinutes(R"(\d\d\.\d\d\d)");
  static const std::regex kDecimal(R"([^.]*\..{5})");
  size_t files = 0, waypoints = 0;
  for (const auto& path : CorpusInputs(false)) {
    ++files;
    for (const CacheRecord& r : CacheList(path.string(), nullptr, "").records) {
      SCOPED_TRACE(path.string() + " " + r.name);
      EXPECT_TRUE(std::regex_match(r.lat_minutes.begin(), r.lat_minutes.end(), kMinutes) &&
                  std::regex_match(r.lon_minutes.begin(), r.lon_minutes.end(), kMinutes) &&
                  std::regex_match(r.lat.begin(), r.lat.end(), kDecimal) &&
                  std::regex_match(r.lon.begin(), r.lon.end(), kDecimal))
          << r.lat_minutes << " " << r.lon_minutes << " " << r.lat << " "
          << r.lon;
      ++waypoints;
    }
  }
  EXPECT_GE(files, 30u);
  EXPECT_GE(waypoints, 2000u);
}

CacheRecord Unmoved() {
  CacheRecord record;
  record.name = "G";
  record.unavailable = true;
  record.lat = record.lon = "0.00000";
  return record;
}

// The degree and minute texts, lat and lon, joined by "|"; "-" when the
// record was not moved and none of them changed.
std::string Coordinates(const CacheRecord& r) {
  const std::string all = r.lat_degrees + "|" + r.lat_minutes + "|" +
                          r.lon_degrees + "|" + r.lon_minutes + "|" + r.lat +
                          "|" + r.lon;
  return r.moved || all != "||||0.00000|0.00000" ? all : "-";
}

// Minutes are read like atol as thousandths and turned into 1e-5 degrees:
// 12.345 -> 12345 * 10 / 6 = 20575. Malformed lines change nothing.
TEST(MoveTo, SetsTheCoordinatesOfAWellFormedLineOnly) {
  const std::pair<std::string, std::string> rows[] = {
      {"G;S3\xC2\xB0 6;W1\xB0 6", "-3| 6|-1| 6|-3.00010|-1.00010"},
      {"G;N5\xB0.5;E8\xB0 abc", "5|.5|8| abc|5.00008|8.00000"},
      {"G;N1\xB0 12.345x;E2\xB0 1 2.3", "1| 12.345x|2| 1 2.3|1.20575|2.00001"},
      {"G;N5\xB0 6;E8\xB0 6;", "-"},
      {"G;N5 6;E8\xB0 6", "-"}};
  for (const auto& [line, expected] : rows) {
    CacheRecord record = Unmoved();
    MoveTo(record, line);
    EXPECT_EQ(Coordinates(record), expected) << line;
    EXPECT_TRUE(record.name == "G" && record.unavailable) << line;
  }
  // An absurd digit run must not overflow into a negative fraction.
  CacheRecord record = Unmoved();
  MoveTo(record, "G;N1\xB0 99999999999999999999999999;E2\xB0 0.000");
  EXPECT_EQ(record.lat.find('-'), std::string::npos) << record.lat;
}

// The longitude minutes of each record after the moves ("-" for a record not
// moved) tell which line was applied last.
TEST(MoveCaches, AppliesEveryMatchingLineInFileOrder) {
  const std::string a = ";N1\xB0 1.000;E1\xB0 1", b = ";N1\xB0 1.000;E1\xB0 2";
  const Texts rows[][3] = {
      {{"GC1AB", "gc2cd"}, {"gc1aB" + a, "GC2CD" + b}, {" 1", " 2"}},
      {{"GC1", "GC2"},
       {"GC1" + a, "GC2" + a, "GC1" + b, "GC2" + b + ";"},
       {" 2", " 1"}},
      {{"GC123", "GC1234", "GC12345"}, {"GC1234" + a}, {" 1", " 1", "-"}},
      {{"GC1", "GC2"}, {"//GC1" + a, "GC2 // " + a}, {"-", "-"}}};
  for (const auto& [codes, lines, expected] : rows) {
    CacheList list = MakeList(codes);
    Texts stripped = lines, minutes;
    list.MoveCaches(stripped);
    for (const CacheRecord& r : list.records)
      minutes.emplace_back(r.moved ? r.lon_minutes.view() : "-");
    EXPECT_EQ(minutes, expected) << ::testing::PrintToString(lines);
  }
}

}  // namespace
}  // namespace korvelo
