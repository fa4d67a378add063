// The code index, Merge, the exclusions, and every waypoint of the real
// pocket queries, loaded.
#include "cachelist/cache_list.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <string>
#include <tuple>
#include <vector>

#include "input/text.h"
#include "support/test_support.h"

namespace korvelo {
namespace {

using ::korvelo::testing::CorpusPath;
using Texts = std::vector<std::string>;
using Rows = std::vector<std::tuple<Texts, Texts, std::string>>;

TEST(CodeHash, RotatesLeftByNineAndXorsEachByte) {
  EXPECT_EQ(CodeHash(""), 0x0000);
  EXPECT_EQ(CodeHash("G\xFF"), 0x8EFF);  // 0x47 rotated left by 9, then 0xFF
  EXPECT_EQ(CodeHash("GC12345"), 0x8A20);
  EXPECT_EQ(CodeHash(std::string("\x80\x00", 2)), 0x0001);  // bit 15 to bit 0
}

// A list as the loader fills one, every record indexed, duplicates too, with
// `values` in `field`; each record's urlname is the list's name and the
// record's position in it.
CacheList MakeList(const Texts& values, const std::string& name = "",
                   std::string CacheRecord::*field = &CacheRecord::name) {
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

// The second merge into an empty list takes the first's array and drops its
// duplicates (case matters); later ones add only codes not seen; every title
// stays, and the first name that is not empty names the run.
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

// The first list merged into an empty one hands over its array and, when
// its codes are unique, its index; later merges still see every code. A list
// whose removal left a code in its index is merged record by record: its
// duplicate goes, and the removed code is not taken over.
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

// Each excluded entry takes the first record still carrying its code, exact
// in letter case (a loader's list may hold a code twice); the codes stay in
// the index.
TEST(ExcludeCaches, RemovesTheRecordsOfTheExcludedCodes) {
  for (const auto& [codes, excluded, left] :
       Rows{{{"GC1", "GC2", "GC3", "GC4", "GC5"}, {"GC4", "GC2"}, "0,2,4"},
            {{"GC1", "GC2", "GC3"}, {"GC2", "GC2"}, "0,2"},
            {{"GC1AB", "GC2"}, {"gc1ab", "GC9"}, "0,1"},
            {{"GC1", "", "GC3"}, {""}, "0,2"},
            {{"GC1", "GC2"}, {"GC2", "GC1"}, ""},
            {{"GC7", "GC1", "GC7"}, {"GC7", "GC7"}, "1"}}) {
    CacheList list = MakeList(codes);
    list.ExcludeCaches(MakeList(excluded));
    EXPECT_EQ(Left(list), left) << ::testing::PrintToString(codes);
    for (const std::string& code : codes) EXPECT_TRUE(list.Contains(code));
  }
}

// Whole fields compared, letter case ignored for ASCII and the Latin-1 and
// Windows-1252 letters; other bytes, UTF-8 included, compare as they are.
TEST(ExcludeOwners, RemovesEveryCacheOfTheNamedOwners) {
  for (const auto& [owners, names, left] :
       Rows{{{"Anna", "Bert", "anna", "ANNA"}, {"aNNa"}, "1"},
            {{"A", "B", "C", "B", "A", "D"}, {"B", "A"}, "2,5"},
            {{"Anna & Bert", "Anna"}, {"Anna"}, "0"},
            {{"Anna", "Anna "}, {"Anna "}, "0"},
            {{"", "Anna", ""}, {""}, "1"},
            {{"Anna", ""}, {}, "0,1"},
            {{"J\xD6RG", "\xC9MILE"}, {"j\xF6rg", "\xE9mile"}, ""},
            {{"a\xD7"}, {"a\xF7"}, "0"},
            {{"\x8A\x9F"}, {"\x9A\xFF"}, ""},
            {{"J\xC3\xB6rg", "J\xC3\x96RG"}, {"j\xC3\xB6rg"}, "1"}}) {
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
  for (const auto& entry :
       std::filesystem::recursive_directory_iterator(CorpusPath())) {
    if (entry.path().extension() != ".gpx") continue;
    ++files;
    for (const CacheRecord& r :
         CacheList(entry.path().string(), nullptr, "").records) {
      SCOPED_TRACE(entry.path().string() + " " + r.name);
      EXPECT_TRUE(std::regex_match(r.lat_minutes, kMinutes) &&
                  std::regex_match(r.lon_minutes, kMinutes) &&
                  std::regex_match(r.lat, kDecimal) &&
                  std::regex_match(r.lon, kDecimal))
          << r.lat_minutes << " " << r.lon_minutes << " " << r.lat << " "
          << r.lon;
      ++waypoints;
    }
  }
  EXPECT_GE(files, 30u);
  EXPECT_GE(waypoints, 2000u);
}

TEST(CorpusParse, ReadsThreeRealCachesExactly) {
  KORVELO_REQUIRE_CORPUS();
  const struct {
    const char* file;
    int index;           // of the cache in its file
    std::string fields;  // code, title, type, owner, size D/T, coordinates
    std::string text;    // a passage of the plain-text description
  } rows[] = {
      {"cgeo/gc31j2h.gpx", 0,
       "GC31J2H|Hockenheimer City-Brunnen|Multi-cache|vptsz|Small 2/1|"
       "49.31870 8.54565|49 19.122 8 32.739",
       // LF line ends vanish; the degree sign (C2 B0) is no umlaut and stays.
       "Kraichbachbruecke (N 49\u00B0 19.122 E 008\u00B0 32.739)Der"},
      {"gpsbabel/GCGCA8.gpx", 0,
       "GCGCA8|Oozy rat in a sanitary zoo|Unknown Cache|robertlipe|"
       "Not chosen 3/2|35.92166 -86.86166|35 55.300 -86 51.700",
       "where is it?     Too bad I hid a boot Too hot to hoot"},
      {"cachebox3/6004539_HomeZone.gpx", 2,
       "GC1BK0B|Der Rasende Roland|Unknown Cache|Risou|Other 1/1.5|"
       "52.58083 13.40883|52 34.849 13 24.529",
       "&ldquo;Seit 1895 verbindet eine Schmalspurbahn die Orte Putbus"}};
  for (const auto& row : rows) {
    const CacheList list(CorpusPath(row.file), nullptr, "");
    ASSERT_GT(list.GetSize(), row.index);
    const CacheRecord& r = list[row.index];
    EXPECT_EQ(r.name + "|" + r.urlname + "|" + r.type + "|" + r.placed_by +
                  "|" + r.container + " " + r.difficulty + "/" + r.terrain +
                  "|" + r.lat + " " + r.lon + "|" + r.lat_degrees + " " +
                  r.lat_minutes + " " + r.lon_degrees + " " + r.lon_minutes,
              row.fields);
    EXPECT_NE(TextDescription(r.raw_description).find(row.text),
              std::string::npos)
        << r.name;
    EXPECT_FALSE(r.unavailable) << r.name;
  }
}

}  // namespace
}  // namespace korvelo
