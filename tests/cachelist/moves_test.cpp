// Moves lines: the parsing of one line and the matching of lines to caches.
#include "cachelist/moves.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "cachelist/cache_list.h"

namespace korvelo {
namespace {

using Texts = std::vector<std::string>;

CacheRecord Unmoved(const std::string& code = "G") {
  CacheRecord record;
  record.name = code;
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
      {"G;N50\xB0 12.345;E8\xC2\xB0 6", "50| 12.345|8| 6|50.20575|8.00010"},
      {"G;S3\xC2\xB0 6;W1\xB0 6", "-3| 6|-1| 6|-3.00010|-1.00010"},
      {"G;n5\xB0 6;e8\xB0 6", "n5| 6|e8| 6|n5.00010|e8.00010"},
      {"G;W5\xB0 1.000;-1\xB0 6", "W5| 1.000|-1| 6|W5.01666|-1.00010"},
      {"G;-3\xB0 6;S5\xB0 1.000", "-3| 6|S5| 1.000|-3.00010|S5.01666"},
      {"G;N5\xB0.5;E8\xB0 abc", "5|.5|8| abc|5.00008|8.00000"},
      {"G;N1\xB0  -1.2;E2\xB0+0.006", "1|  -1.2|2|+0.006|1.-0020|2.00010"},
      {"G;N1\xB0 12.345x;E2\xB0 1 2.3", "1| 12.345x|2| 1 2.3|1.20575|2.00001"},
      {"G;N5\xB0 6;E8\xB0 6;", "-"},
      {"G;N5\xB0 6", "-"},
      {"", "-"},
      {"G;N5 6;E8\xB0 6", "-"},
      {"G;N5\xB0 6;E8 6", "-"},
      {"G;N5\xB0\xB0 6;E8\xB0 6", "-"},
      {"G;N5\xB0 6;E8\xC2\xB0\xB0 6", "-"}};
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
// moved) tell which line was applied last; blanks before a comment stay.
TEST(MoveCaches, AppliesEveryMatchingLineInFileOrder) {
  const std::string a = ";N1\xB0 1.000;E1\xB0 1", b = ";N1\xB0 1.000;E1\xB0 2";
  const Texts rows[][3] = {
      {{"GC1", "GC2"}, {"GC2" + a, "GC7" + b}, {"-", " 1"}},
      {{"GC1AB", "gc2cd"}, {"gc1aB" + a, "GC2CD" + b}, {" 1", " 2"}},
      {{"GC\xC4"}, {"GC\xE4" + a}, {"-"}},  // only A to Z ignore their case
      {{"GC1", "GC2"},
       {"GC1" + a, "GC2" + a, "GC1" + b, "GC2" + b + ";"},
       {" 2", " 1"}},
      {{"GC123", "GC1234", "GC12345"}, {"GC1234" + a}, {" 1", " 1", "-"}},
      {{"", "GC9"}, {"GC1" + a, "GC2" + b}, {" 2", "-"}},
      {{"GC1", "GC2"}, {"//GC1" + a, "GC2 // " + a}, {"-", "-"}},
      {{"G/1"}, {"G/1" + a + "  // x;y"}, {" 1  "}}};
  for (const auto& [codes, lines, expected] : rows) {
    CacheList list;
    for (const std::string& code : codes) list.Append(Unmoved(code));
    Texts stripped = lines, minutes;
    list.MoveCaches(stripped);
    for (const CacheRecord& r : list.records)
      minutes.push_back(r.moved ? r.lon_minutes : "-");
    EXPECT_EQ(minutes, expected) << ::testing::PrintToString(lines);
  }
}

}  // namespace
}  // namespace korvelo
