#include "cachelist/cache_list.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace korvelo {
namespace {

struct HashRow {
  std::string code;
  uint16_t hash;
};

class CodeHashTest : public ::testing::TestWithParam<HashRow> {};

TEST_P(CodeHashTest, RotatesLeftByNineAndXorsEachByte) {
  EXPECT_EQ(CodeHash(GetParam().code), GetParam().hash);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, CodeHashTest,
    ::testing::Values(HashRow{"", 0x0000}, HashRow{"G", 0x0047},
                      HashRow{"GC", 0x8E43}, HashRow{"GC1234", 0x0AC5},
                      HashRow{"GC12345", 0x8A20},
                      // 0x80 << 9 rotates into bit 0.
                      HashRow{std::string("\x80\x00", 2), 0x0001},
                      HashRow{"\xFF", 0x00FF}));

CacheRecord Record(const std::string& code, const std::string& title = "") {
  CacheRecord record;
  record.name = code;
  record.urlname = title;
  return record;
}

// A list as the loader builds it: every record indexed, duplicates too.
CacheList Loaded(const std::string& name,
                 const std::vector<std::string>& titles,
                 const std::vector<CacheRecord>& records) {
  CacheList list;
  list.name = name;
  list.titles = titles;
  for (const CacheRecord& record : records) {
    list.records.push_back(record);
    list.AddCode(record.name);
  }
  return list;
}

std::vector<std::string> Codes(const CacheList& list) {
  std::vector<std::string> codes;
  for (int i = 0; i < list.GetSize(); ++i) codes.push_back(list[i].name);
  return codes;
}

TEST(CacheList, NewListIsEmptyAndContainsNothing) {
  const CacheList list;
  EXPECT_EQ(list.GetSize(), 0);
  EXPECT_EQ(list.name, "");
  EXPECT_TRUE(list.titles.empty());
  EXPECT_FALSE(list.Contains(""));
  EXPECT_FALSE(list.Contains("GC1"));
}

TEST(CacheList, ContainsComparesCodesExactly) {
  CacheList list;
  list.AddCode("GC1ABC");
  EXPECT_TRUE(list.Contains("GC1ABC"));
  EXPECT_FALSE(list.Contains("gc1abc"));
  EXPECT_FALSE(list.Contains("GC1AB"));
  EXPECT_FALSE(list.Contains("GC1ABC "));
}

TEST(CacheList, TellsApartCodesThatShareABucket) {
  // A second code in the bucket of GC1234, found among GC0 to GC99999.
  const unsigned bucket = CodeHash("GC1234") & 0xFFF;
  std::string twin;
  for (int n = 0; n < 100000 && twin.empty(); ++n) {
    const std::string code = "GC" + std::to_string(n);
    if (code != "GC1234" && (CodeHash(code) & 0xFFF) == bucket) twin = code;
  }
  ASSERT_FALSE(twin.empty());
  CacheList list;
  list.AddCode("GC1234");
  EXPECT_FALSE(list.Contains(twin));
  list.AddCode(twin);
  EXPECT_TRUE(list.Contains("GC1234"));
  EXPECT_TRUE(list.Contains(twin));
}

TEST(CacheListMerge, KeepsTheFirstRecordOfEachCodeInOrder) {
  CacheList run;
  run.Merge(Loaded("a.gpx", {"a"},
                   {Record("GC2", "first"), Record("GC1"), Record("GC2", "x"),
                    Record("gc1")}));
  run.Merge(Loaded("b.gpx", {"b"}, {Record("GC3"), Record("GC2", "late")}));
  EXPECT_EQ(Codes(run), (std::vector<std::string>{"GC2", "GC1", "gc1", "GC3"}));
  EXPECT_EQ(run[0].urlname, "first");
  EXPECT_TRUE(run.Contains("GC3"));
}

TEST(CacheListMerge, KeepsEveryFieldOfTheSurvivingRecord) {
  CacheRecord first = Record("GC1", "title");
  first.lat = "50.00000";
  first.unavailable = true;
  CacheRecord second = Record("GC1", "other");
  second.moved = true;
  CacheList run;
  run.Merge(Loaded("", {}, {first}));
  run.Merge(Loaded("", {}, {second}));
  ASSERT_EQ(run.GetSize(), 1);
  EXPECT_EQ(run[0].urlname, "title");
  EXPECT_EQ(run[0].lat, "50.00000");
  EXPECT_TRUE(run[0].unavailable);
  EXPECT_FALSE(run[0].moved);
}

TEST(CacheListMerge, OnlyTheFirstRecordWithAnEmptyCodeSurvives) {
  CacheList run;
  run.Merge(Loaded("", {}, {Record("", "one"), Record("", "two")}));
  ASSERT_EQ(run.GetSize(), 1);
  EXPECT_EQ(run[0].urlname, "one");
}

TEST(CacheListMerge, AdoptsTheFirstNonEmptyNameAndAppendsAllTitles) {
  CacheList run;
  run.Merge(Loaded("", {"empty"}, {}));
  EXPECT_EQ(run.name, "");
  run.Merge(Loaded("first", {"t1", "t2"}, {}));  // no records: still named
  run.Merge(Loaded("second", {"t1"}, {Record("GC1")}));
  run.Merge(Loaded("third", {"t3"}, {Record("GC1")}));  // all duplicates
  EXPECT_EQ(run.name, "first");
  EXPECT_EQ(run.titles,
            (std::vector<std::string>{"empty", "t1", "t2", "t1", "t3"}));
  EXPECT_EQ(run.GetSize(), 1);
}

TEST(CacheListMerge, MergingAListIntoItsCopyAddsNothing) {
  CacheList run;
  const CacheList input = Loaded("p", {"p"}, {Record("GC1"), Record("GC2")});
  run.Merge(input);
  run.Merge(input);
  EXPECT_EQ(Codes(run), (std::vector<std::string>{"GC1", "GC2"}));
  EXPECT_EQ(run.titles, (std::vector<std::string>{"p", "p"}));
}

}  // namespace
}  // namespace korvelo
