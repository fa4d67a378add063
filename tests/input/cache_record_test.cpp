#include "input/cache_record.h"

#include <gtest/gtest.h>

#include <string>

namespace korvelo {
namespace {

struct CoordinateRow {
  std::string value;
  std::string degrees;
  std::string minutes;
  std::string decimal;
};

class CoordinateTest : public ::testing::TestWithParam<CoordinateRow> {};

TEST_P(CoordinateTest, GivesDegreesMinutesAndFiveDecimals) {
  const CoordinateRow& row = GetParam();
  const CacheRecord record("<wpt lat=\"" + row.value + "\" lon=\"" + row.value +
                           "\">\n<name>GC1</name>\n");
  EXPECT_EQ(record.lat_degrees, row.degrees);
  EXPECT_EQ(record.lat_minutes, row.minutes);
  EXPECT_EQ(record.lat, row.decimal);
  EXPECT_EQ(record.lon_degrees, row.degrees);
  EXPECT_EQ(record.lon_minutes, row.minutes);
  EXPECT_EQ(record.lon, row.decimal);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, CoordinateTest,
    ::testing::Values(CoordinateRow{"50.123456", "50", "07.407", "50.12345"},
                      CoordinateRow{"8.5", "8", "30.000", "8.50000"},
                      CoordinateRow{"-33.9", "-33", "54.000", "-33.90000"},
                      CoordinateRow{"-0.5", "-0", "30.000", "-0.50000"},
                      CoordinateRow{"12", "12", "00.000", "12.00000"},
                      CoordinateRow{"7.99999999", "7", "59.999", "7.99999"},
                      CoordinateRow{"0.0083", "0", "00.498", "0.00830"},
                      CoordinateRow{"008.25", "008", "15.000", "008.25000"},
                      CoordinateRow{"", "", "00.000", ".00000"},
                      CoordinateRow{"x.y", "x", "00.000", "x.y0000"},
                      // An exponent must not overflow the minutes.
                      CoordinateRow{"1.5e999", "1", "00.000", "1.5e999"}));

TEST(CacheRecordCoordinates, ReadsAttributesByNameWhateverTheirOrder) {
  const CacheRecord lon_first("<wpt lon=\"8.5\" lat=\"50.123456\">");
  EXPECT_EQ(lon_first.lat_degrees, "50");
  EXPECT_EQ(lon_first.lat_minutes, "07.407");
  EXPECT_EQ(lon_first.lon_degrees, "8");
  EXPECT_EQ(lon_first.lon_minutes, "30.000");
  // An exporter that puts the namespace first (first quoted value a URL).
  const CacheRecord with_xmlns(
      "<wpt xmlns=\"http://www.topografix.com/GPX/1/0\" lat=\"50.5\" "
      "lon=\"-8.25\">");
  EXPECT_EQ(with_xmlns.lat_degrees, "50");
  EXPECT_EQ(with_xmlns.lat_minutes, "30.000");
  EXPECT_EQ(with_xmlns.lon_degrees, "-8");
  EXPECT_EQ(with_xmlns.lon_minutes, "15.000");
  EXPECT_EQ(with_xmlns.lon, "-8.25000");
}

TEST(CacheRecordCoordinates, MissingAttributesGiveEmptyTextsAndZeroMinutes) {
  const CacheRecord record("<wpt><name>GC1</name>");
  EXPECT_EQ(record.lat_degrees, "");
  EXPECT_EQ(record.lon_degrees, "");
  EXPECT_EQ(record.lat_minutes, "00.000");
  EXPECT_EQ(record.lon_minutes, "00.000");
  EXPECT_EQ(record.lat, "");
  EXPECT_EQ(record.lon, "");
}

TEST(CacheRecordCoordinates, AttributeCutOffByTheEndOfTextRunsToTheEnd) {
  const CacheRecord record("<wpt lon=\"1\" lat=\"50.12");
  EXPECT_EQ(record.lat_degrees, "50");
  EXPECT_EQ(record.lat_minutes, "07.200");
  EXPECT_EQ(record.lat, "50.12000");
  EXPECT_EQ(record.lon, "1.00000");
}

TEST(CacheRecordTitles, PadsAndLowerCasesTheTitle) {
  const CacheRecord record("<wpt><urlname>Kirche St. Peter (Multi)!</urlname>");
  EXPECT_EQ(record.padded_title, " Kirche St  Peter  Multi   ");
  EXPECT_EQ(record.search_title, " kirche st  peter  multi   ");
  EXPECT_EQ(record.urlname, "Kirche St. Peter (Multi)!");
}

TEST(CacheRecordTitles, BlanksExactlyTheEightPunctuationCharacters) {
  const CacheRecord record("<wpt><urlname>a,b.c:d-e\"f(g)h!i;j'k/l</urlname>");
  EXPECT_EQ(record.padded_title, " a b c d e f g h i;j'k/l ");
}

struct LowerRow {
  unsigned char byte;
  unsigned char lower;
};

class SearchTitleByteTest : public ::testing::TestWithParam<LowerRow> {};

TEST_P(SearchTitleByteTest, LowerCasesWithTheAnsiCodePage) {
  const LowerRow& row = GetParam();
  const CacheRecord record("<wpt><urlname>x" + std::string(1, row.byte) +
                           "x</urlname>");
  ASSERT_EQ(record.search_title.size(), 5u);
  EXPECT_EQ(static_cast<unsigned char>(record.search_title[2]), row.lower);
  EXPECT_EQ(static_cast<unsigned char>(record.padded_title[2]), row.byte);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, SearchTitleByteTest,
    ::testing::Values(
        LowerRow{'@', '@'}, LowerRow{'A', 'a'}, LowerRow{'Z', 'z'},
        LowerRow{'[', '['}, LowerRow{'a', 'a'}, LowerRow{'z', 'z'},
        LowerRow{0x00, 0x00}, LowerRow{0x8A, 0x9A}, LowerRow{0x8B, 0x8B},
        LowerRow{0x8C, 0x9C}, LowerRow{0x8D, 0x8D}, LowerRow{0x8E, 0x9E},
        LowerRow{0x8F, 0x8F}, LowerRow{0x9A, 0x9A}, LowerRow{0x9F, 0xFF},
        LowerRow{0xBF, 0xBF}, LowerRow{0xC0, 0xE0}, LowerRow{0xC3, 0xE3},
        LowerRow{0xC4, 0xE4}, LowerRow{0xD6, 0xF6}, LowerRow{0xD7, 0xD7},
        LowerRow{0xD8, 0xF8}, LowerRow{0xDC, 0xFC}, LowerRow{0xDE, 0xFE},
        LowerRow{0xDF, 0xDF}, LowerRow{0xE0, 0xE0}, LowerRow{0xFF, 0xFF}));

TEST(CacheRecordTitles, KeepsEveryByteOfAWholeByteRangeTitle) {
  std::string title;
  for (int b = 0; b < 256; ++b) title.push_back(static_cast<char>(b));
  const CacheRecord record("<wpt><urlname>" + title + "</urlname>");
  ASSERT_EQ(record.urlname, title);
  ASSERT_EQ(record.padded_title.size(), 258u);
  ASSERT_EQ(record.search_title.size(), 258u);
  EXPECT_EQ(record.padded_title[1 + '('], ' ');
  EXPECT_EQ(record.padded_title[1 + '<'], '<');
  EXPECT_EQ(record.search_title[1 + 'Q'], 'q');
  EXPECT_EQ(record.search_title[1 + 0xC9], static_cast<char>(0xE9));
  EXPECT_EQ(record.search_title[1 + 0xF0], static_cast<char>(0xF0));
}

struct DescriptionRow {
  std::string raw;
  std::string expected;
};

class TextDescriptionTest : public ::testing::TestWithParam<DescriptionRow> {};

TEST_P(TextDescriptionTest, TurnsTheHtmlDescriptionIntoPlainText) {
  const DescriptionRow& row = GetParam();
  const CacheRecord record("<wpt><groundspeak:long_description html=\"True\">" +
                           row.raw + "</groundspeak:long_description>");
  EXPECT_EQ(record.raw_description, row.raw);
  EXPECT_EQ(record.text_description, row.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, TextDescriptionTest,
    ::testing::Values(
        DescriptionRow{"Line one\r\nLine two<br>Three<BR> four</p>",
                       "Line one Line two\r\nThree\r\nfour\r\n"},
        DescriptionRow{"See &lt;a href='x'&gt;map&lt;/a&gt;.", "See [[map]]."},
        DescriptionRow{"<A HREF='u'>GC1</A> and <a\nhref='v'>w</a>",
                       "[[GC1]] and w]]"},
        DescriptionRow{"a&lt;br /&gt;b", "ab"},
        DescriptionRow{"&lt;style&gt;p{}&lt;/style&gt;Text", "Text"},
        DescriptionRow{"&lt;style type='t'&gt;p{}&lt;/style&gt;Text",
                       "p{}Text"},
        DescriptionRow{"Gr\xC3\xBC\xC3\x9F"
                       "e &amp;#228; &#246;",
                       "Gruesse ae oe"},
        DescriptionRow{"&amp;lt;b&amp;gt; x&amp;nbsp;y &quot;z&quot;",
                       "&lt;b&gt; x y &quot;z&quot;"},
        DescriptionRow{"a \r\nb\r\n c", "a b c"},
        DescriptionRow{"a\rb\nc", "a bc"},
        DescriptionRow{"x <br> y <BR>z", "x\r\ny\r\nz"},
        DescriptionRow{"<p>a</P><p>b</p>", " a\r\n b\r\n"},
        DescriptionRow{"a&lt;b c", "a"},
        DescriptionRow{"<![CDATA[<p>Hallo</p>]]>", " Hallo\r\n"}));

TEST(CacheRecordDescription, KeepsRawBytesInRawFields) {
  const std::string raw =
      "<![CDATA[Gr\xC3\xBC\xC3\x9F"
      "e]]>";
  const CacheRecord record(
      "<wpt><name>GC1</name><url>u</url><groundspeak:long_description>" + raw +
      "</groundspeak:long_description>");
  EXPECT_EQ(record.raw_description, raw);
  EXPECT_EQ(record.long_description, "<A HREF='u'>GC1</A>: " + raw);
  EXPECT_EQ(record.text_description, "Gruesse");
}

TEST(CacheRecordDescription, TenMegabyteDescriptionParsesWhole) {
  const std::string unit =
      "&lt;p&gt;Gr\xC3\xBC\xC3\x9F"
      "e&lt;br&gt;";
  std::string raw;
  std::string expected;
  while (raw.size() < 10 * 1024 * 1024) {
    raw += unit;
    expected += " Gruesse\r\n";
  }
  const CacheRecord record(
      "<wpt lat=\"1\" lon=\"2\"><name>GC1</name>"
      "<groundspeak:long_description>" +
      raw + "</groundspeak:long_description>");
  EXPECT_EQ(record.raw_description.size(), raw.size());
  EXPECT_TRUE(record.text_description == expected);
  EXPECT_EQ(record.name, "GC1");
}

TEST(CacheRecordParse, FillsEveryElementField) {
  const CacheRecord record(
      "<wpt lat=\"1\" lon=\"2\">\r\n<name>GC1A</name><desc>D</desc>"
      "<url>U</url><urlname>T</urlname><groundspeak:cache available=\"True\">"
      "<groundspeak:name>N</groundspeak:name>"
      "<groundspeak:placed_by>P</groundspeak:placed_by>"
      "<groundspeak:owner id=\"1\">O</groundspeak:owner>"
      "<groundspeak:type>Multi-cache</groundspeak:type>"
      "<groundspeak:container>Small</groundspeak:container>"
      "<groundspeak:difficulty>1.5</groundspeak:difficulty>"
      "<groundspeak:terrain>2</groundspeak:terrain>"
      "<groundspeak:long_description html=\"True\">L</groundspeak:long_"
      "description><groundspeak:encoded_hints>H</groundspeak:encoded_hints>"
      "<groundspeak:logs><groundspeak:log id=\"2\">x</groundspeak:log>"
      "</groundspeak:logs></groundspeak:cache>\r\n");
  EXPECT_EQ(record.name, "GC1A");
  EXPECT_EQ(record.desc, "D");
  EXPECT_EQ(record.url, "U");
  EXPECT_EQ(record.urlname, "T");
  EXPECT_EQ(record.type, "Multi-cache");
  EXPECT_EQ(record.long_description, "<A HREF='U'>GC1A</A>: L");
  EXPECT_EQ(record.placed_by, "P");
  EXPECT_EQ(record.owner, "P");  // the placed_by text, not the owner element
  EXPECT_EQ(record.container, "Small");
  EXPECT_EQ(record.difficulty, "1.5");
  EXPECT_EQ(record.terrain, "2");
  EXPECT_EQ(record.encoded_hints, "H");
  EXPECT_EQ(record.logs, "<groundspeak:log id=\"2\">x</groundspeak:log>");
  EXPECT_FALSE(record.unavailable);
}

TEST(CacheRecordParse, WaypointWithoutGroundspeakElementsGetsTheBarePrefix) {
  const CacheRecord record(
      "<wpt lat=\"1\" lon=\"2\"><name>GC12345</name><url>u</url>");
  EXPECT_EQ(record.long_description, "<A HREF='u'>GC12345</A>: ");
  EXPECT_EQ(record.type, "");
  EXPECT_EQ(record.placed_by, "");
  EXPECT_EQ(record.owner, "");
  EXPECT_EQ(record.logs, "");
  EXPECT_EQ(record.raw_description, "");
  EXPECT_EQ(record.text_description, "");
}

TEST(CacheRecordParse, UrlSearchStopsAtAnEarlierUrlname) {
  const CacheRecord record("<wpt><urlname>T</urlname><url>U</url>");
  EXPECT_EQ(record.url, "T</urlname><url>U");
  EXPECT_EQ(record.urlname, "T");
}

struct AvailabilityRow {
  std::string wpt;
  bool unavailable;
};

class AvailabilityTest : public ::testing::TestWithParam<AvailabilityRow> {};

TEST_P(AvailabilityTest, LooksForTheExactAttributeText) {
  EXPECT_EQ(CacheRecord(GetParam().wpt).unavailable, GetParam().unavailable);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, AvailabilityTest,
    ::testing::Values(
        AvailabilityRow{"<wpt><groundspeak:cache available=\"False\">", true},
        AvailabilityRow{"<wpt><groundspeak:cache available=\"True\" "
                        "archived=\"True\">",
                        false},
        AvailabilityRow{"<wpt><groundspeak:cache available=\"false\">", false},
        AvailabilityRow{"<wpt><groundspeak:logs><groundspeak:text>"
                        "available=\"False\"</groundspeak:text>",
                        true},
        AvailabilityRow{"<wpt>", false}));

TEST(CacheRecordParse, LeavesFileAndMovedAlone) {
  CacheRecord record;
  record.file = "12345";
  record.moved = true;
  record.Parse("<wpt lat=\"1\" lon=\"2\"><name>GC1</name>");
  EXPECT_EQ(record.file, "12345");
  EXPECT_TRUE(record.moved);
  EXPECT_EQ(record.name, "GC1");
}

// Texts a broken or hostile file can hand to the parser: none may crash it
// or make it read outside its text (the sanitizer build checks the latter).
const char kZeroBytes[] = "<wpt lat=\"\0\" lon=\"\xFF.\xFF\"><name>\0</name>";

class BadWaypointTest : public ::testing::TestWithParam<std::string> {};

TEST_P(BadWaypointTest, ParsesWithoutFailing) {
  const CacheRecord record(GetParam());
  EXPECT_EQ(record.owner, record.placed_by);
  EXPECT_EQ(record.lat_minutes.size(), 6u);
  EXPECT_EQ(record.lon_minutes.size(), 6u);
  EXPECT_EQ(record.long_description.rfind("<A HREF='", 0), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, BadWaypointTest,
    ::testing::Values(
        "", "<wpt", "<wpt>", "<wpt lat=", "<wpt lat=\"", "<wpt lon=\"-",
        "<wpt lat=\"1\" lon=\"2\"><name>GC1<desc>D</desc>",
        "<wpt><groundspeak:long_description>&lt;b",
        "<wpt><groundspeak:long_description>a</groundspeak:long_description",
        "<wpt><groundspeak:long_description>&lt;style&gt;x"
        "</groundspeak:long_description>",
        "<wpt><groundspeak:long_description><![CDATA[x"
        "</groundspeak:long_description>",
        std::string(kZeroBytes, sizeof(kZeroBytes) - 1)));

TEST(CacheRecordParse, EmptyTextGivesEmptyFieldsAndZeroMinutes) {
  const CacheRecord record("");
  EXPECT_EQ(record.name, "");
  EXPECT_EQ(record.long_description, "<A HREF=''></A>: ");
  EXPECT_EQ(record.padded_title, "  ");
  EXPECT_EQ(record.search_title, "  ");
  EXPECT_EQ(record.lat_minutes, "00.000");
  EXPECT_EQ(record.lat, "");
  EXPECT_FALSE(record.unavailable);
}

}  // namespace
}  // namespace korvelo
