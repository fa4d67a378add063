// ExcludeCaches and ExcludeOwners: which records go, and that the others keep
// their order.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cachelist/cache_list.h"

namespace korvelo {
namespace {

struct Entry {
  std::string code;
  std::string owner;
};

// A list filled the way the loader fills one: every record indexed, duplicate
// codes allowed. Each record's urlname is its position, to tell twins apart.
CacheList MakeList(const std::vector<Entry>& entries) {
  CacheList list;
  for (size_t i = 0; i < entries.size(); ++i) {
    CacheRecord record;
    record.name = entries[i].code;
    record.owner = entries[i].owner;
    record.urlname = std::to_string(i);
    list.records.push_back(record);
    list.AddCode(record.name);
  }
  return list;
}

CacheList MakeCodes(const std::vector<std::string>& codes) {
  std::vector<Entry> entries;
  for (const std::string& code : codes) entries.push_back({code, ""});
  return MakeList(entries);
}

// Positions of the records left, joined by commas ("0,2").
std::string Remaining(const CacheList& list) {
  std::string positions;
  for (const CacheRecord& record : list.records) {
    if (!positions.empty()) positions += ",";
    positions += record.urlname;
  }
  return positions;
}

struct CodeRow {
  const char* what;
  std::vector<std::string> codes;
  std::vector<std::string> excluded;
  std::string remaining;
};

TEST(ExcludeCaches, RemovesTheRecordsOfTheExcludedCodes) {
  const CodeRow rows[] = {
      {"one code", {"GC1", "GC2", "GC3"}, {"GC2"}, "0,2"},
      {"order of the rest kept",
       {"GC1", "GC2", "GC3", "GC4", "GC5"},
       {"GC4", "GC2"},
       "0,2,4"},
      {"code excluded twice removes the one record once",
       {"GC1", "GC2", "GC3"},
       {"GC2", "GC2"},
       "0,2"},
      {"letter case differs: nothing", {"GC1AB", "GC2"}, {"gc1ab"}, "0,1"},
      {"code not in the list: nothing", {"GC1", "GC2"}, {"GC9"}, "0,1"},
      {"empty exclusion list", {"GC1", "GC2"}, {}, "0,1"},
      {"empty code", {"GC1", "", "GC3"}, {""}, "0,2"},
      {"everything", {"GC1", "GC2"}, {"GC2", "GC1"}, ""},
      // A loader's list may hold a code twice: each excluded entry takes the
      // first record still carrying it.
      {"twin, excluded once: first goes",
       {"GC1", "GC7", "GC7"},
       {"GC7"},
       "0,2"},
      {"twin, excluded twice: both go",
       {"GC7", "GC1", "GC7"},
       {"GC7", "GC7"},
       "1"},
  };
  for (const CodeRow& row : rows) {
    CacheList list = MakeCodes(row.codes);
    list.ExcludeCaches(MakeCodes(row.excluded));
    EXPECT_EQ(Remaining(list), row.remaining) << row.what;
  }
}

TEST(ExcludeCaches, KeepsRemovedCodesInTheIndex) {
  CacheList list = MakeCodes({"GC1", "GC2"});
  list.ExcludeCaches(MakeCodes({"GC1"}));
  EXPECT_TRUE(list.Contains("GC1"));
  // So a later merge cannot bring the excluded cache back.
  list.Merge(MakeCodes({"GC1"}));
  EXPECT_EQ(Remaining(list), "1");
}

TEST(ExcludeCaches, IgnoresRecordsMissingFromTheCodeIndex) {
  CacheList list = MakeCodes({"GC1"});
  CacheRecord unindexed;
  unindexed.name = "GC2";
  unindexed.urlname = "1";
  list.records.push_back(unindexed);
  list.ExcludeCaches(MakeCodes({"GC2"}));
  EXPECT_EQ(Remaining(list), "0,1");
}

struct OwnerRow {
  const char* what;
  std::vector<std::string> owners;
  std::vector<std::string> names;
  std::string remaining;
};

TEST(ExcludeOwners, RemovesEveryCacheOfTheNamedOwners) {
  const OwnerRow rows[] = {
      {"ASCII case ignored", {"Anna", "Bert", "anna", "ANNA"}, {"aNNa"}, "1"},
      {"all caches of two owners, order kept",
       {"Anna", "Bert", "Carl", "Bert", "Anna", "Dora"},
       {"Bert", "Anna"},
       "2,5"},
      {"whole field only: team not matched",
       {"Anna & Bert", "Anna"},
       {"Anna"},
       "0"},
      {"trailing blank in the file does not match",
       {"Anna", "Anna "},
       {"Anna "},
       "0"},
      {"empty name removes empty owners", {"", "Anna", ""}, {""}, "1"},
      {"no names: nothing", {"Anna", ""}, {}, "0,1"},
      {"duplicate names", {"Anna", "Bert"}, {"anna", "ANNA"}, "1"},
      {"unknown name", {"Anna"}, {"Otto"}, "0"},
      {"Latin-1 capitals fold",
       {"J\xD6RG", "\xC9MILE"},
       {"j\xF6rg", "\xE9mile"},
       ""},
      {"multiplication sign is no letter", {"a\xD7"}, {"a\xF7"}, "0"},
      {"S caron and Y diaeresis fold",
       {"\x8A"
        "A\x9F"},
       {"\x9A"
        "a\xFF"},
       ""},
      // UTF-8 letters beyond ASCII are compared as the bytes they are.
      {"UTF-8 same bytes", {"J\xC3\xB6rg"}, {"j\xC3\xB6rg"}, ""},
      {"UTF-8 other case", {"J\xC3\x96RG"}, {"j\xC3\xB6rg"}, "0"},
  };
  for (const OwnerRow& row : rows) {
    std::vector<Entry> entries;
    for (const std::string& owner : row.owners) entries.push_back({"GC", owner});
    CacheList list = MakeList(entries);
    list.ExcludeOwners(row.names);
    EXPECT_EQ(Remaining(list), row.remaining) << row.what;
  }
}

TEST(ExcludeOwners, HandlesManyCachesAndNames) {
  std::vector<Entry> entries;
  std::vector<std::string> names;
  for (int i = 0; i < 20000; ++i) {
    entries.push_back({"GC" + std::to_string(i), "owner" + std::to_string(i)});
    if (i % 2 == 0) names.push_back("OWNER" + std::to_string(i));
  }
  CacheList list = MakeList(entries);
  list.ExcludeOwners(names);
  ASSERT_EQ(list.GetSize(), 10000);
  EXPECT_EQ(list[0].owner, "owner1");
  EXPECT_EQ(list[9999].owner, "owner19999");
}

}  // namespace
}  // namespace korvelo
