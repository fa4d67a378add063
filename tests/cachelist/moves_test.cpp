// Moves lines: parsing of one line, matching lines to caches, and the
// helpers StripComment and SplitAt.
#include "cachelist/moves.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cachelist/cache_list.h"

namespace korvelo {
namespace {

CacheRecord Unmoved(const std::string& code = "GC1") {
  CacheRecord record;
  record.name = code;
  record.lat_degrees = "1";
  record.lat_minutes = "01.000";
  record.lon_degrees = "2";
  record.lon_minutes = "02.000";
  record.lat = "1.01666";
  record.lon = "2.03333";
  return record;
}

struct MoveRow {
  const char* line;
  // Expected fields; a null lat_degrees means "line ignored".
  const char* lat_degrees = nullptr;
  const char* lat_minutes = nullptr;
  const char* lon_degrees = nullptr;
  const char* lon_minutes = nullptr;
  const char* lat = nullptr;
  const char* lon = nullptr;
};

// 12.345 min = 12345 thousandths -> 12345 * 10 / 6 = 20575 (1e-5 degrees);
// 45.678 -> 76130; 52.000 -> 86666; 12.000 -> 20000; 1.5 -> 15 -> 25.
TEST(MoveTo, ParsesOrIgnoresTheLine) {
  const MoveRow rows[] = {
      {"GC1;N50\xB0 12.345;E008\xB0 45.678", "50", " 12.345", "008", " 45.678",
       "50.20575", "008.76130"},
      {"GC1;S33\xB0 52.000;W151\xB0 12.000", "-33", " 52.000", "-151",
       " 12.000", "-33.86666", "-151.20000"},
      {"GC1;N50\xC2\xB0 12.345;E008\xC2\xB0 45.678", "50", " 12.345", "008",
       " 45.678", "50.20575", "008.76130"},
      {"GC1;n50\xB0 12.345;e008\xB0 45.678", "n50", " 12.345", "e008",
       " 45.678", "n50.20575", "e008.76130"},
      {"GC1;-33\xB0 52.000;151\xB0 12.000", "-33", " 52.000", "151", " 12.000",
       "-33.86666", "151.20000"},
      {"GC1;N50\xB0"
       "12.345;E8\xB0"
       "1.5",
       "50", "12.345", "8", "1.5", "50.20575", "8.00025"},
      {"GC1;N50\xB0 abc;E8\xB0", "50", " abc", "8", "", "50.00000", "8.00000"},
      {"GC1;W5\xB0 1.000;S5\xB0 1.000", "W5", " 1.000", "S5", " 1.000",
       "W5.01666", "S5.01666"},
      {"GC1;N50\xB0 12.345;E008\xB0 45.678;"},
      {"GC1;N50\xB0 12.345"},
      {"GC1 N50\xB0 12.345 E008\xB0 45.678"},
      {"GC1;N50 12.345;E008\xB0 45.678"},
      {"GC1;N50\xB0 12.345;E008 45.678"},
      {"GC1;N50\xB0\xB0 12.345;E008\xB0 45.678"},
      {"GC1;N50\xB0 12.345;E008\xC2\xB0\xB0 45.678"},
      {""},
  };
  for (const MoveRow& row : rows) {
    CacheRecord record = Unmoved();
    MoveTo(record, row.line);
    if (row.lat_degrees == nullptr) {
      const CacheRecord before = Unmoved();
      EXPECT_FALSE(record.moved) << row.line;
      EXPECT_EQ(record.lat, before.lat) << row.line;
      EXPECT_EQ(record.lon_minutes, before.lon_minutes) << row.line;
      continue;
    }
    EXPECT_TRUE(record.moved) << row.line;
    EXPECT_EQ(record.lat_degrees, row.lat_degrees) << row.line;
    EXPECT_EQ(record.lat_minutes, row.lat_minutes) << row.line;
    EXPECT_EQ(record.lon_degrees, row.lon_degrees) << row.line;
    EXPECT_EQ(record.lon_minutes, row.lon_minutes) << row.line;
    EXPECT_EQ(record.lat, row.lat) << row.line;
    EXPECT_EQ(record.lon, row.lon) << row.line;
  }
}

TEST(MoveTo, KeepsEveryOtherField) {
  CacheRecord record = Unmoved();
  record.urlname = "Title";
  record.unavailable = true;
  MoveTo(record, "GC1;N50\xB0 12.345;E008\xB0 45.678");
  EXPECT_EQ(record.name, "GC1");
  EXPECT_EQ(record.urlname, "Title");
  EXPECT_TRUE(record.unavailable);
}

TEST(MoveTo, ReadsMinutesLikeAtol) {
  const struct {
    const char* minutes;
    const char* fraction;
  } rows[] = {
      {"  -12.345", "-20575"},  // blanks skipped, sign kept: 5 digits + sign
      {"+0.006", "00010"},
      {"12.345abc", "20575"},
      {"1 2.345", "00001"},  // digits end at the blank: 1 -> 10 / 6 = 1
      {"99999999999999999999999999", "1537228672809129300"},  // capped
  };
  for (const auto& row : rows) {
    CacheRecord record = Unmoved();
    MoveTo(record, std::string("GC1;N1\xB0") + row.minutes + ";E2\xB0 0.000");
    EXPECT_EQ(record.lat, std::string("1.") + row.fraction) << row.minutes;
  }
}

struct CacheMoveRow {
  const char* what;
  std::vector<std::string> codes;
  std::vector<std::string> lines;
  // Expected lat per record; "" means not moved.
  std::vector<std::string> lats;
};

TEST(MoveCaches, AppliesEveryMatchingLineInFileOrder) {
  const std::string a = ";N10\xB0 06.000;E1\xB0 0.000";  // lat 10.10000
  const std::string b = ";N20\xB0 06.000;E1\xB0 0.000";  // lat 20.10000
  const std::string bad = ";N30\xB0 06.000;E1\xB0 0.000;";
  const CacheMoveRow rows[] = {
      {"exact code", {"GC1", "GC2"}, {"GC2" + a}, {"", "10.10000"}},
      {"letters in any case", {"GC1AB"}, {"gc1aB" + a}, {"10.10000"}},
      {"record in lower case", {"gc1ab"}, {"GC1AB" + a}, {"10.10000"}},
      {"non-ASCII letters exact", {"GC\xC4"}, {"GC\xE4" + a}, {""}},
      {"later line wins", {"GC1"}, {"GC1" + a, "GC1" + b}, {"20.10000"}},
      {"malformed later line leaves earlier",
       {"GC1"},
       {"GC1" + a, "GC1" + bad},
       {"10.10000"}},
      {"prefix of the line matches the shorter code",
       {"GC1234", "GC12345"},
       {"GC12345" + a},
       {"10.10000", "10.10000"}},
      {"line shorter than the code", {"GC12345"}, {"GC1" + a}, {""}},
      {"empty code matches every line",
       {"", "GC9"},
       {"GC1" + a, "GC2" + b},
       {"20.10000", ""}},
      {"unknown code", {"GC1"}, {"GC7" + a}, {""}},
      {"whole-line comment", {"GC1"}, {"//GC1" + a}, {""}},
      {"comment holding a separator",
       {"GC1"},
       {"GC1" + a + " // x;y"},
       {"10.10000"}},
      {"comment before the coordinates", {"GC1"}, {"GC1 // " + a}, {""}},
      {"no lines", {"GC1"}, {}, {""}},
  };
  for (const CacheMoveRow& row : rows) {
    CacheList list;
    for (const std::string& code : row.codes) {
      list.records.push_back(Unmoved(code));
    }
    std::vector<std::string> lines = row.lines;
    list.MoveCaches(lines);
    for (size_t i = 0; i < row.lats.size(); ++i) {
      const bool moved = !row.lats[i].empty();
      EXPECT_EQ(list[i].moved, moved) << row.what << " record " << i;
      if (moved) {
        EXPECT_EQ(list[i].lat, row.lats[i]) << row.what;
      }
    }
  }
}

TEST(MoveCaches, StripsCommentsFromTheLinesItWasGiven) {
  CacheList list;
  list.records.push_back(Unmoved("GC1"));
  std::vector<std::string> lines = {
      "GC1;N50\xB0 12.345;E008\xB0 45.678   // solved 2008", "// note"};
  list.MoveCaches(lines);
  EXPECT_EQ(lines[0], "GC1;N50\xB0 12.345;E008\xB0 45.678   ");
  EXPECT_EQ(lines[1], "");
  // The blanks before the comment stay in the longitude minutes.
  EXPECT_EQ(list[0].lon_minutes, " 45.678   ");
  EXPECT_EQ(list[0].lon, "008.76130");
}

TEST(StripComment, CutsAtTheFirstDoubleSlash) {
  EXPECT_EQ(StripComment("a//b//c"), "a");
  EXPECT_EQ(StripComment("abc"), "abc");
  EXPECT_EQ(StripComment("//x"), "");
  EXPECT_EQ(StripComment("a/b/c"), "a/b/c");
  EXPECT_EQ(StripComment(""), "");
}

TEST(SplitAt, AppendsEveryPieceAndReturnsTheNewSize) {
  const struct {
    const char* text;
    std::vector<std::string> pieces;
  } rows[] = {
      {"a;b;c", {"a", "b", "c"}},
      {"", {""}},
      {";", {"", ""}},
      {"a;", {"a", ""}},
      {";;b", {"", "", "b"}},
  };
  for (const auto& row : rows) {
    std::vector<std::string> pieces = {"old"};
    const int size = SplitAt(';', row.text, pieces);
    EXPECT_EQ(size, static_cast<int>(row.pieces.size()) + 1) << row.text;
    pieces.erase(pieces.begin());
    EXPECT_EQ(pieces, row.pieces) << row.text;
  }
}

}  // namespace
}  // namespace korvelo
