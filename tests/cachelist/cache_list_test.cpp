// Code index, Merge, and every waypoint of the real pocket queries, loaded.
#include "cachelist/cache_list.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <string>
#include <vector>

#include "input/text.h"
#include "support/test_support.h"

namespace korvelo {
namespace {

using ::korvelo::testing::CorpusPath;
using Texts = std::vector<std::string>;

TEST(CodeHash, RotatesLeftByNineAndXorsEachByte) {
  EXPECT_EQ(CodeHash(""), 0x0000);
  EXPECT_EQ(CodeHash("G\xFF"), 0x8EFF);  // 0x47 rotated left by 9, then 0xFF
  EXPECT_EQ(CodeHash("GC12345"), 0x8A20);
  EXPECT_EQ(CodeHash(std::string("\x80\x00", 2)), 0x0001);  // bit 15 to bit 0
}

// A list as the loader builds it: every record indexed, duplicates too;
// each record's title is its code behind the list's name.
CacheList Loaded(const std::string& name, const Texts& titles,
                 const Texts& codes) {
  CacheList list;
  list.name = name;
  list.titles = titles;
  for (const std::string& code : codes) {
    CacheRecord record;
    record.name = code;
    record.urlname = name + ":" + code;
    list.Append(std::move(record));
  }
  return list;
}

TEST(CacheList, ContainsComparesCodesExactlyAlsoWhenTheirHashesCollide) {
  // A second code with the low 12 hash bits of GC1234, among GC0 to GC99999.
  std::string twin;
  for (int n = 0; n < 100000 && twin.empty(); ++n) {
    const std::string code = "GC" + std::to_string(n);
    if (code != "GC1234" &&
        (CodeHash(code) & 0xFFF) == (CodeHash("GC1234") & 0xFFF)) {
      twin = code;
    }
  }
  ASSERT_FALSE(twin.empty());
  const CacheList list = Loaded("", {}, {"GC1234"});
  for (const std::string& other :
       {twin, std::string("gc1234"), std::string("GC123"), std::string("")}) {
    EXPECT_FALSE(list.Contains(other)) << other;
  }
  const CacheList both = Loaded("", {}, {"GC1234", twin});
  EXPECT_TRUE(both.Contains("GC1234") && both.Contains(twin));
}

TEST(CacheListMerge, KeepsFirstRecordPerCodeFirstNameAndEveryTitle) {
  CacheList run;
  run.Merge(Loaded("", {"empty"}, {}));
  EXPECT_EQ(run.name, "");
  run.Merge(Loaded("first", {"t1"}, {}));  // no records, but a name
  run.Merge(Loaded("a", {"t2", "t1"}, {"GC2", "GC1", "GC2", "gc1", "", ""}));
  run.Merge(Loaded("b", {"t3"}, {"GC3", "GC2", ""}));
  run.Merge(Loaded("c", {"t4"}, {"GC1"}));  // nothing new
  Texts titles;
  for (int i = 0; i < run.GetSize(); ++i) titles.push_back(run[i].urlname);
  EXPECT_EQ(titles, (Texts{"a:GC2", "a:GC1", "a:gc1", "a:", "b:GC3"}));
  EXPECT_TRUE(run.Contains("GC3"));
  EXPECT_EQ(run.name, "first");
  EXPECT_EQ(run.titles, (Texts{"empty", "t1", "t2", "t1", "t3", "t4"}));
}

// The first list merged into an empty one hands over its array and, when
// its codes are unique, its index; later merges still see every code. A list
// whose removal left a code in its index is merged record by record: its
// duplicate goes, and the removed code is not taken over.
TEST(CacheListMerge, FirstListHandedOverWholeStillKeepsCodesUnique) {
  CacheList run;
  run.Merge(Loaded("a", {"t1"}, {"GC1", "GC2"}));
  run.Merge(Loaded("b", {"t2"}, {"GC2", "GC3", "GC1"}));
  Texts kept;
  for (int i = 0; i < run.GetSize(); ++i) kept.push_back(run[i].urlname);
  EXPECT_EQ(kept, (Texts{"a:GC1", "a:GC2", "b:GC3"}));

  CacheList excluded = Loaded("x", {"t"}, {"GC1", "GC1", "GC2"});
  excluded.ExcludeCaches(Loaded("", {}, {"GC2"}));  // GC2 stays indexed
  CacheList other;
  other.Merge(std::move(excluded));
  EXPECT_EQ(other.GetSize(), 1);
  EXPECT_TRUE(other.Contains("GC1") && !other.Contains("GC2"));
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
