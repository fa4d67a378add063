// Parse on worked examples and hostile texts; the real pocket queries are
// parsed through the loader (cachelist/cache_list_test.cpp).
#include "input/cache_record.h"

#include <gtest/gtest.h>

#include <string>

#include "input/text.h"

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
}

// The exact text anywhere in the waypoint, a log included.
TEST(CacheRecordParse, LooksForTheExactAvailabilityText) {
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

}  // namespace
}  // namespace korvelo
