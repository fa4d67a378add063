// Parse on worked examples and hostile texts (the real pocket queries are
// parsed through the loader, cachelist/cache_list_test.cpp); the record's
// texts: what each kind of text survives, and what a record costs in bytes
// and allocations, the bound that lets a small file unpack into millions of
// waypoints.
#include "input/cache_record.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <new>
#include <string>
#include <utility>
#include <vector>

#include "input/record_block_pool.h"
#include "input/record_text.h"
#include "input/text.h"

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

// Degrees, minutes and decimal text of the latitude, then of the longitude.
std::string Coordinates(const std::string& wpt) {
  const CacheRecord r(wpt);
  return r.lat_degrees + " " + r.lat_minutes + " " + r.lat + " | " +
         r.lon_degrees + " " + r.lon_minutes + " " + r.lon;
}

TEST(CacheRecordCoordinates, AttributesByNameGiveDegreesMinutesAndDecimals) {
  const std::pair<std::string, std::string> rows[] = {
      {"50.123456", "50 07.407 50.12345"},
      {"-0.5", "-0 30.000 -0.50000"},
      {"7.99999999", "7 59.999 7.99999"},
      {"", " 00.000 .00000"},
      {"1.5e999", "1 00.000 1.5e999"}};  // the exponent must not overflow
  for (const auto& [value, fields] : rows) {
    EXPECT_EQ(Coordinates("<wpt lat=\"" + value + "\" lon=\"" + value + "\">"),
              fields + " | " + fields);
  }
  // Both derivations find the attributes by name, in any order.
  EXPECT_EQ(Coordinates("<wpt lon=\"8.5\" lat=\"-0.5\">"),
            "-0 30.000 -0.50000 | 8 30.000 8.50000");
}

// Eight punctuation bytes become blanks; Windows-1252 capitals fold,
// including those at 0x8A to 0x9F, while the signs between them do not.
TEST(CacheRecordTitles, BlanksEightPunctuationBytesAndLowersWithWindows1252) {
  EXPECT_EQ(PaddedTitle("a,b.c:d-e\"f(g)h!i;j"), " a b c d e f g h i;j ");
  EXPECT_EQ(LowerAnsiText("AZ@[\x8A\x8C\x8E\x9F\xC0\xD6\xD7\xD8\xDE\xDF\xFF"),
            "az@[\x9A\x9C\x9E\xFF\xE0\xF6\xD7\xF8\xFE\xDF\xFF");
}

const std::string kFullWpt =
    "<wpt lat=\"1\" lon=\"2\">\r\n<name>GC1A</name><desc>D</desc>"
    "<url>U</url><urlname>T</urlname><groundspeak:cache available=\"True\">"
    "<groundspeak:placed_by>P</groundspeak:placed_by>"
    "<groundspeak:owner id=\"1\">O</groundspeak:owner>"
    "<groundspeak:type>Multi-cache</groundspeak:type>"
    "<groundspeak:container>Small</groundspeak:container>"
    "<groundspeak:difficulty>1.5</groundspeak:difficulty>"
    "<groundspeak:terrain>2</groundspeak:terrain>"
    "<groundspeak:long_description html=\"True\">L</groundspeak:long_"
    "description><groundspeak:encoded_hints>H</groundspeak:encoded_hints>"
    "<groundspeak:logs><groundspeak:log id=\"2\">x</groundspeak:log>"
    "</groundspeak:logs></groundspeak:cache>\r\n";

// A load that writes no sheets leaves their texts behind, and a load of
// codes keeps the code alone; a parse leaves the file and the moved flag.
// Unavailable is the exact text anywhere in the waypoint, a log included.
TEST(CacheRecordParse, FillsTheFieldsItsLoadKeeps) {
  const auto fields = [](const CacheRecord& r) {
    return r.name + "|" + r.desc + "|" + r.url + "|" + r.urlname + "|" +
           r.type + "|" + r.placed_by + "|" + r.container + "|" + r.difficulty +
           "|" + r.terrain + "|" + r.raw_description + "|" + r.encoded_hints +
           "|" + r.logs + "|" + r.lat;
  };
  CacheRecord record;
  record.file = "12345";
  record.moved = true;
  record.Parse(kFullWpt);
  EXPECT_EQ(fields(record),
            "GC1A|D|U|T|Multi-cache|P|Small|1.5|2|L|H|"
            "<groundspeak:log id=\"2\">x</groundspeak:log>|1.00000");
  EXPECT_TRUE(record.file == "12345" && record.moved && !record.unavailable);
  EXPECT_EQ(fields(CacheRecord(kFullWpt, RecordTexts::kNoSheetTexts)),
            "GC1A||U|T|Multi-cache|P|Small|1.5|2|L|||1.00000");
  EXPECT_EQ(fields(CacheRecord(kFullWpt, RecordTexts::kCodeOnly)),
            "GC1A||||||||||||");
  EXPECT_TRUE(CacheRecord("<wpt><log>available=\"False\"</log>").unavailable);
  EXPECT_FALSE(CacheRecord("<wpt><c available=\"false\">").unavailable);
  EXPECT_FALSE(CacheRecord("<wpt><c archived=\"True\">").unavailable);
}

// Texts a broken or hostile file can hand to the parser: none may crash it
// or make it read outside its text (the sanitizer build checks the latter).
TEST(CacheRecordParse, KeepsTheInvariantsOnBrokenWaypoints) {
  const char kZeroBytes[] = "<wpt lat=\"\0\" lon=\"\xFF.\xFF\"><name>\0</name>";
  const std::string rows[] = {
      "", "<wpt lat=\"", "<wpt><groundspeak:long_description>&lt;b",
      "<wpt><groundspeak:long_description>&lt;style&gt;x<![CDATA[x"
      "</groundspeak:long_description>",
      std::string(kZeroBytes, sizeof kZeroBytes - 1)};
  for (const std::string& wpt : rows) {
    const CacheRecord record(wpt);
    EXPECT_EQ(record.lat_minutes.size() + record.lon_minutes.size(), 12u);
  }
}

const std::string kEveryTextWpt =
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
  } rows[] = {{"<wpt></wpt>", 0}, {"<wpt lat=\"1\">", 1}, {kEveryTextWpt, 1}};
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
    CacheRecord record(kEveryTextWpt);
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
  CacheRecord record(kEveryTextWpt);
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
