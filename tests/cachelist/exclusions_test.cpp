// ExcludeCaches and ExcludeOwners: which records go, and that the others keep
// their order.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "cachelist/cache_list.h"

namespace korvelo {
namespace {

using Texts = std::vector<std::string>;
using Rows = std::vector<std::tuple<Texts, Texts, std::string>>;

// A list filled the way the loader fills one, every record indexed, with
// `values` in `field`. Each record's urlname is its position.
CacheList MakeList(const Texts& values,
                   std::string CacheRecord::*field = &CacheRecord::name) {
  CacheList list;
  for (const std::string& value : values) {
    CacheRecord record;
    record.*field = value;
    record.urlname = std::to_string(list.GetSize());
    list.Append(std::move(record));
  }
  return list;
}

// Positions of the records left, joined by commas ("0,2").
std::string Left(const CacheList& list) {
  std::string positions;
  for (const CacheRecord& record : list.records)
    positions += (positions.empty() ? "" : ",") + record.urlname;
  return positions;
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
    CacheList list = MakeList(owners, &CacheRecord::placed_by);
    list.ExcludeOwners(names);
    EXPECT_EQ(Left(list), left) << ::testing::PrintToString(owners);
  }
}

}  // namespace
}  // namespace korvelo
