// The record's texts: what each kind of text survives, and what a record
// costs in bytes and allocations, the bound that lets a small file unpack
// into millions of waypoints.
#include "input/record_text.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <new>
#include <string>
#include <utility>
#include <vector>

#include "input/cache_record.h"
#include "input/record_block_pool.h"

namespace {
thread_local long allocations = 0;
}  // namespace

// Every allocation of this test program is counted on its thread.
void* operator new(size_t size) {
  ++allocations;
  if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
  throw std::bad_alloc();
}
void* operator new[](size_t size) { return operator new(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, size_t) noexcept { std::free(p); }
void operator delete[](void* p, size_t) noexcept { std::free(p); }

namespace korvelo {
namespace {

const std::string kFullWpt =
    "<wpt lat=\"50.123456\" lon=\"8.5\"><name>GC1A</name><desc>D</desc>"
    "<url>U</url><urlname>T</urlname><groundspeak:type>Multi-cache"
    "</groundspeak:type><groundspeak:long_description>L"
    "</groundspeak:long_description><groundspeak:logs>x</groundspeak:logs>";

// Heap allocations and record blocks made by `step`.
struct Cost {
  long allocations = 0;
  long blocks = 0;
  bool operator==(const Cost&) const = default;
};
template <typename Step>
Cost CostOf(Step step) {
  const long before = allocations;
  const auto blocks_before = static_cast<long>(RecordBlocksInUse());
  step();
  return {allocations - before,
          static_cast<long>(RecordBlocksInUse()) - blocks_before};
}

// The sanitizer build takes every block from the heap, so that it sees them.
#if defined(__SANITIZE_ADDRESS__)
constexpr long kHeapPerBlock = 1;
#else
constexpr long kHeapPerBlock = 0;
#endif

// An empty waypoint with its file name costs the record alone; a full one
// one block for all of its texts, and so does a copy; a move costs nothing.
TEST(RecordCost, OneBlockPerWaypointAndNoneForAnEmptyOne) {
  static_assert(sizeof(CacheRecord) <= 168);
  const RecordText file("pocket query");
  std::vector<CacheRecord> records;
  records.reserve(8);
  const struct {
    std::string wpt;
    long blocks;
  } rows[] = {{"<wpt></wpt>", 0}, {"<wpt lat=\"1\">", 1}, {kFullWpt, 1}};
  for (const auto& row : rows) {
    const Cost block{kHeapPerBlock * row.blocks, row.blocks};
    EXPECT_EQ(CostOf([&] {
                records.emplace_back(row.wpt);
                records.back().file = file;
              }),
              block)
        << row.wpt;
    EXPECT_EQ(CostOf([&] { records.push_back(records.back()); }), block)
        << row.wpt;
    EXPECT_EQ(CostOf([&] {
                CacheRecord moved = std::move(records.back());
                records.back() = std::move(moved);
              }),
              Cost{})
        << row.wpt;
  }
  const long blocks = static_cast<long>(RecordBlocksInUse());
  records.clear();
  EXPECT_EQ(static_cast<long>(RecordBlocksInUse()), blocks - 4);
}

// Every text of a record outlives it in a copy of the record or of the
// field, whether it lives in the block, is shared or is a constant; and a
// copied record owns its own block.
TEST(RecordText, CopiesOutliveTheRecordTheyCameFrom) {
  std::vector<RecordText> fields;
  std::vector<CacheRecord> copies;
  {
    CacheRecord record(kFullWpt);
    record.file = "12345";
    record.desc = record.desc.substr(0, 0);  // empty again
    CacheRecord no_coordinates("<wpt>");
    for (const RecordText* text :
         {&record.name, &record.lat_minutes, &record.file,
          &no_coordinates.lat_minutes, &record.desc}) {
      fields.push_back(*text);
    }
    copies.push_back(record);
    copies.emplace_back();
    copies.back() = record;
    record.Parse("<wpt><name>GC2</name>");
    EXPECT_EQ(record.file, "12345");  // a parse keeps the file
  }
  std::vector<std::string> texts(fields.begin(), fields.end());
  EXPECT_EQ(texts, (std::vector<std::string>{"GC1A", "07.407", "12345",
                                             "00.000", ""}));
  for (const CacheRecord& copy : copies) {
    EXPECT_EQ(copy.name + "|" + copy.lat + "|" + copy.lon_minutes + "|" +
                  copy.file + "|" + copy.logs + "|" + copy.desc,
              "GC1A|50.12345|30.000|12345|x|");
  }
}

// Assigning a field from a view of itself, and comparing fields with texts
// of every kind.
TEST(RecordText, AssignsFromItselfAndComparesLikeAView) {
  CacheRecord record(kFullWpt);
  record.urlname = record.urlname;
  record.type = record.type.substr(0, 5);
  record.name = std::string(record.name) + "B";
  record.name = record.name.substr(2);
  EXPECT_EQ(record.urlname, "T");
  EXPECT_EQ(record.type, std::string("Multi"));
  EXPECT_EQ("1AB", record.name);
  EXPECT_TRUE(record.name < "1B" && record.name > "1A" && record.name != "");
  EXPECT_EQ(record.type.find('t'), 3u);
  EXPECT_TRUE(RecordText().empty() && RecordText("").data()[0] == '\0');
}

}  // namespace
}  // namespace korvelo
