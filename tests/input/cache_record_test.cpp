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
      {"8.5", "8 30.000 8.50000"},
      {"-33.9", "-33 54.000 -33.90000"},
      {"-0.5", "-0 30.000 -0.50000"},
      {"12", "12 00.000 12.00000"},
      {"7.99999999", "7 59.999 7.99999"},
      {"0.0083", "0 00.498 0.00830"},
      {"008.25", "008 15.000 008.25000"},
      {"", " 00.000 .00000"},
      {"x.y", "x 00.000 x.y0000"},
      {"1.5e999", "1 00.000 1.5e999"}};  // the exponent must not overflow
  for (const auto& [value, fields] : rows) {
    EXPECT_EQ(Coordinates("<wpt lat=\"" + value + "\" lon=\"" + value + "\">"),
              fields + " | " + fields);
  }
  // Both derivations find the attributes by name, in any order and behind a
  // namespace; a missing one gives empty texts and the minutes 00.000.
  EXPECT_EQ(Coordinates("<wpt lon=\"8.5\" lat=\"50.123456\">"),
            "50 07.407 50.12345 | 8 30.000 8.50000");
  EXPECT_EQ(Coordinates("<wpt xmlns=\"http://www.topografix.com/GPX/1/0\" "
                        "lat=\"50.5\" lon=\"-8.25\">"),
            "50 30.000 50.50000 | -8 15.000 -8.25000");
  EXPECT_EQ(Coordinates("<wpt><name>GC1</name>"), " 00.000  |  00.000 ");
  EXPECT_EQ(Coordinates("<wpt lon=\"1\" lat=\"50.12"),  // cut by the text end
            "50 07.200 50.12000 | 1 00.000 1.00000");
}

// Windows-1252 capitals and, at the same places, their small letters.
const std::string kCapitals =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZ\x8A\x8C\x8E\x9F\xC0\xC1\xC2\xC3\xC4\xC5\xC6"
    "\xC7\xC8\xC9\xCA\xCB\xCC\xCD\xCE\xCF\xD0\xD1\xD2\xD3\xD4\xD5\xD6\xD8"
    "\xD9\xDA\xDB\xDC\xDD\xDE";
const std::string kSmall =
    "abcdefghijklmnopqrstuvwxyz\x9A\x9C\x9E\xFF\xE0\xE1\xE2\xE3\xE4\xE5\xE6"
    "\xE7\xE8\xE9\xEA\xEB\xEC\xED\xEE\xEF\xF0\xF1\xF2\xF3\xF4\xF5\xF6\xF8"
    "\xF9\xFA\xFB\xFC\xFD\xFE";

TEST(CacheRecordTitles, BlanksEightPunctuationBytesAndLowersWithWindows1252) {
  std::string title;  // every byte value, at index 1 + value once padded
  for (int b = 0; b < 256; ++b) title.push_back(static_cast<char>(b));
  const CacheRecord record("<wpt><urlname>" + title + "</urlname>");
  ASSERT_EQ(record.urlname, title);
  std::string padded = " " + title + " ";
  for (unsigned char c : std::string(",.:-\"()!")) padded[1 + c] = ' ';
  std::string lower = padded;
  for (size_t i = 0; i < kCapitals.size(); ++i) {
    lower[1 + static_cast<unsigned char>(kCapitals[i])] = kSmall[i];
  }
  EXPECT_EQ(PaddedTitle(record.urlname), padded);
  EXPECT_EQ(LowerAnsiText(PaddedTitle(record.urlname)), lower);
}

// Worked examples; input/text_test.cpp holds the conversion to its steps.
TEST(CacheRecordDescription, TurnsTheHtmlDescriptionIntoPlainText) {
  const std::pair<std::string, std::string> rows[] = {
      {"Line one\r\nLine two<br>Three<BR> four</p>",
       "Line one Line two\r\nThree\r\nfour\r\n"},
      {"See &lt;a href='x'&gt;map&lt;/a&gt;.", "See [[map]]."},
      {"Gr\u00FC\u00DFe &amp;#228; &#246;", "Gruesse ae oe"},
      {"&amp;lt;b&amp;gt; x&amp;nbsp;y &quot;z&quot;",
       "&lt;b&gt; x y &quot;z&quot;"},
      {"<![CDATA[<p>Hallo</p>]]>", " Hallo\r\n"}};
  for (const auto& [raw, text] : rows) {
    const CacheRecord record(
        "<wpt><groundspeak:long_description html=\"True\">" + raw +
        "</groundspeak:long_description>");
    EXPECT_EQ(record.raw_description, raw);
    EXPECT_EQ(TextDescription(record.raw_description), text) << raw;
  }
}

TEST(CacheRecordDescription, TenMegabyteDescriptionParsesWhole) {
  std::string raw, expected;
  while (raw.size() < 10 * 1024 * 1024) {
    raw += "&lt;p&gt;Gr\u00FC\u00DFe&lt;br&gt;";
    expected += " Gruesse\r\n";
  }
  const CacheRecord record("<wpt><groundspeak:long_description>" + raw +
                           "</groundspeak:long_description>");
  EXPECT_EQ(TextDescription(record.raw_description), expected);
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

TEST(CacheRecordParse, FillsEveryElementFieldButLeavesFileAndMovedAlone) {
  CacheRecord record;
  record.file = "12345";
  record.moved = true;
  record.Parse(kFullWpt);
  EXPECT_EQ(record.name + "|" + record.desc + "|" + record.url + "|" +
                record.urlname + "|" + record.type + "|" + record.container +
                "|" + record.difficulty + "|" + record.terrain + "|" +
                record.encoded_hints,
            "GC1A|D|U|T|Multi-cache|Small|1.5|2|H");
  EXPECT_EQ(LinkPrefix(record) + record.raw_description,
            "<A HREF='U'>GC1A</A>: L");
  EXPECT_EQ(record.placed_by, "P");  // not the owner element
  EXPECT_EQ(record.logs, "<groundspeak:log id=\"2\">x</groundspeak:log>");
  EXPECT_FALSE(record.unavailable);
  EXPECT_TRUE(record.file == "12345" && record.moved);
}

// A load that writes no sheets leaves their texts behind, and a load of
// codes keeps the code alone; every field it takes equals the full parse.
TEST(CacheRecordParse, LeavesBehindTheTextsALoadDoesNotKeep) {
  const CacheRecord all(kFullWpt);
  const auto fields = [](const CacheRecord& r) {
    return std::vector<std::string>{r.name,          r.desc,
                                    r.url,           r.urlname,
                                    r.type,          r.placed_by,
                                    r.container,     r.difficulty,
                                    r.terrain,       r.raw_description,
                                    r.encoded_hints, r.logs,
                                    r.lat,           r.lon,
                                    r.lat_degrees,   r.lat_minutes};
  };
  std::vector<std::string> no_sheets = fields(all);
  no_sheets[1] = no_sheets[10] = no_sheets[11] = "";
  std::vector<std::string> code_only(no_sheets.size(), "");
  code_only[0] = "GC1A";
  EXPECT_EQ(fields(CacheRecord(kFullWpt, RecordTexts::kNoSheetTexts)),
            no_sheets);
  EXPECT_EQ(fields(CacheRecord(kFullWpt, RecordTexts::kCodeOnly)), code_only);
}

TEST(CacheRecordParse, LooksForTheExactAvailabilityText) {
  EXPECT_TRUE(CacheRecord("<wpt><c available=\"False\">").unavailable);
  EXPECT_TRUE(CacheRecord("<wpt><log>available=\"False\"</log>").unavailable);
  EXPECT_FALSE(CacheRecord("<wpt><c available=\"false\">").unavailable);
  EXPECT_FALSE(CacheRecord("<wpt><c archived=\"True\">").unavailable);
}

// Texts a broken or hostile file can hand to the parser: none may crash it
// or make it read outside its text (the sanitizer build checks the latter).
TEST(CacheRecordParse, KeepsTheInvariantsOnBrokenWaypoints) {
  const char kZeroBytes[] = "<wpt lat=\"\0\" lon=\"\xFF.\xFF\"><name>\0</name>";
  const std::string rows[] = {
      "",
      "<wpt",
      "<wpt lat=",
      "<wpt lat=\"",
      "<wpt lon=\"-",
      "<wpt><name>GC1<desc>D</desc>",
      "<wpt><groundspeak:long_description>&lt;b",
      "<wpt><groundspeak:long_description>a</groundspeak:long_description",
      "<wpt><groundspeak:long_description>&lt;style&gt;x<![CDATA[x"
      "</groundspeak:long_description>",
      std::string(kZeroBytes, sizeof kZeroBytes - 1)};
  for (const std::string& wpt : rows) {
    const CacheRecord record(wpt);
    EXPECT_EQ(record.lat_minutes.size() + record.lon_minutes.size(), 12u);
    TextDescription(record.raw_description);  // must not crash
  }
}

}  // namespace
}  // namespace korvelo
