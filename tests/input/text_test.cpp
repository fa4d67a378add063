#include "input/text.h"

#include <gtest/gtest.h>

#include <string>

namespace korvelo {
namespace {

struct ReplaceRow {
  std::string text;
  std::string from;
  std::string to;
  std::string expected;
};

class ReplaceAllTest : public ::testing::TestWithParam<ReplaceRow> {};

TEST_P(ReplaceAllTest, ReplacesEveryOccurrenceInOnePass) {
  const ReplaceRow& row = GetParam();
  EXPECT_EQ(ReplaceAll(row.text, row.from, row.to), row.expected);
  std::string in_place = row.text;
  ReplaceAllIn(in_place, row.from, row.to);
  EXPECT_EQ(in_place, row.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ReplaceAllTest,
    ::testing::Values(
        ReplaceRow{"aaa", "aa", "b", "ba"},  // non-overlapping, left first
        ReplaceRow{"abab", "ab", "abab", "abababab"},  // inserted not searched
        ReplaceRow{"xax", "a", "", "xx"}, ReplaceRow{"", "a", "b", ""},
        ReplaceRow{"abc", "", "x", "abc"},
        ReplaceRow{"abc", "abcd", "x", "abc"},
        ReplaceRow{"a\r\n\r\nb", "\r\n", " ", "a  b"},
        ReplaceRow{std::string("a\0b\0", 4), std::string("\0", 1), "-",
                   "a-b-"}));

TEST(ReplaceAll, HandlesAMillionMatchesInOneResult) {
  const std::string text(1000000, 'x');
  const std::string result = ReplaceAll(text, "x", "yz");
  ASSERT_EQ(result.size(), 2000000u);
  EXPECT_EQ(result.substr(0, 6), "yzyzyz");
  EXPECT_EQ(result.find('x'), std::string::npos);
}

struct ExtractRow {
  std::string text;
  std::string tag;
  std::string expected;
};

class ExtractElementTest : public ::testing::TestWithParam<ExtractRow> {};

TEST_P(ExtractElementTest, TakesTrimmedInnerTextOfFirstElement) {
  const ExtractRow& row = GetParam();
  EXPECT_EQ(ExtractElement(row.text, row.tag), row.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ExtractElementTest,
    ::testing::Values(
        ExtractRow{"<wpt><name>  GC1  </name></wpt>", "name", "GC1"},
        ExtractRow{"<wpt><name/></wpt>", "name", ""},
        ExtractRow{"<wpt><name>GC1</wpt>", "name", ""},
        ExtractRow{"<wpt><name>GC1</name", "name", ""},
        ExtractRow{"<wpt><name", "name", ""}, ExtractRow{"", "name", ""},
        ExtractRow{"<NAME>GC1</NAME>", "name", ""},
        ExtractRow{"<groundspeak:long_description html=\"True\">a &lt;b&gt;"
                   "</groundspeak:long_description>",
                   "groundspeak:long_description", "a &lt;b&gt;"},
        // The start pattern is a prefix: "<url" also begins "<urlname>".
        ExtractRow{"<urlname>T</urlname><url>U</url>", "url",
                   "T</urlname><url>U"},
        ExtractRow{"<url>U</url><urlname>T</urlname>", "urlname", "T"},
        ExtractRow{"<a> \t\n\v\f\rx y\r\n\f\v\t </a>", "a", "x y"},
        ExtractRow{"<a> \r\n </a>", "a", ""},
        ExtractRow{"<b><b>x</b></b>", "b", "<b>x"},
        ExtractRow{"<logs><log>a</log> </logs>", "logs", "<log>a</log>"},
        ExtractRow{"<n>1</n><n>2</n>", "n", "1"},
        // The end tag is searched after the start tag's ">" only.
        ExtractRow{"</n><n>x</n>", "n", "x"}));

struct HtmlRow {
  std::string html;
  std::string expected;
};

class HtmlToTextTest : public ::testing::TestWithParam<HtmlRow> {};

TEST_P(HtmlToTextTest, RemovesMarkupAndDecodesThreeUmlauts) {
  EXPECT_EQ(HtmlToText(GetParam().html), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, HtmlToTextTest,
    ::testing::Values(HtmlRow{"a<b>b</b>c", "abc"}, HtmlRow{"x<y", "x"},
                      HtmlRow{"1 > 0", "1 > 0"}, HtmlRow{"", ""},
                      HtmlRow{"A<STYLE>p{}</Style>B<style>q{}</style>C", "ABC"},
                      HtmlRow{"A</style>B<style>C", "ABC"},
                      HtmlRow{"<style type=\"t\">p{}</style>x", "p{}x"},
                      HtmlRow{"<style>never closed", "never closed"},
                      // Removing a block joins "<sty" and "le>" into a new
                      // start tag, and the shortened text is searched again.
                      HtmlRow{"<sty<style>x</style>le>A</style>B", "B"},
                      // ... and here into an end tag that now stands before the
                      // next start tag, which ends the removals.
                      HtmlRow{"X</sty<style>1</style>le>Y<style>Z</style>W",
                              "XYZW"},
                      HtmlRow{"&#252;&#246;&#228;", "\xFC\xF6\xE4"},
                      HtmlRow{"a&nbsp;b", "a b"},
                      HtmlRow{"&#223;&quot;&amp;&lt;", "&#223;&quot;&amp;&lt;"},
                      HtmlRow{"a\r\nb", "a\r\nb"},
                      HtmlRow{"a<br />b<p>c", "abc"}));

TEST(HtmlToText, RemovesManyStyleBlocks) {
  std::string html;
  for (int i = 0; i < 100000; ++i) html += "<STYLE>p{}</style>-";
  EXPECT_EQ(HtmlToText(html), std::string(100000, '-'));
}

struct UmlautRow {
  std::string text;
  bool spell_out;
  std::string expected;
};

class ConvertUmlautsTest : public ::testing::TestWithParam<UmlautRow> {};

TEST_P(ConvertUmlautsTest, ConvertsTheSevenGermanLetters) {
  const UmlautRow& row = GetParam();
  EXPECT_EQ(ConvertUmlauts(row.text, row.spell_out), row.expected);
}

const char kUtf8Umlauts[] =
    "\xC3\xA4\xC3\xB6\xC3\xBC\xC3\x9F\xC3\x84\xC3\x96\xC3\x9C";
const char kAnsiUmlauts[] = "\xE4\xF6\xFC\xDF\xC4\xD6\xDC";

INSTANTIATE_TEST_SUITE_P(
    Rows, ConvertUmlautsTest,
    ::testing::Values(UmlautRow{"\xC3\xBC", false, "\xFC"},
                      UmlautRow{"\xC3\xA9", false, "\xC3\xA9"},
                      UmlautRow{"\xC3\xA9", true, "\xC3\xA9"},
                      UmlautRow{kUtf8Umlauts, false, kAnsiUmlauts},
                      UmlautRow{kUtf8Umlauts, true, "aeoeuessAeOeUe"},
                      UmlautRow{kAnsiUmlauts, true, "aeoeuessAeOeUe"},
                      UmlautRow{kAnsiUmlauts, false, kAnsiUmlauts},
                      UmlautRow{"\xC3\xBC\xFC", true, "ueue"},
                      UmlautRow{"Gr\xC3\xBC\xC3\x9F"
                                "e",
                                true, "Gruesse"},
                      UmlautRow{"\xC3", true, "\xC3"}));

struct CdataRow {
  std::string text;
  std::string expected;
};

class DropCdataMarkersTest : public ::testing::TestWithParam<CdataRow> {};

TEST_P(DropCdataMarkersTest, KeepsWhatStandsBetweenTheMarkers) {
  EXPECT_EQ(DropCdataMarkers(GetParam().text), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, DropCdataMarkersTest,
    ::testing::Values(CdataRow{"<![CDATA[a<b>]]>", "a<b>"},
                      CdataRow{"a<![CDATA[b]]>c<![CDATA[d]]>e", "abcde"},
                      CdataRow{"x]]>y", "x]]>y"},
                      CdataRow{"<![CDATA[a]]>]]>", "a]]>"},
                      CdataRow{"<![CDATA[open", "open"},
                      CdataRow{"<![CDATA[<![CDATA[x]]>", "<![CDATA[x"},
                      CdataRow{"", ""}));

TEST(FormatText, FormatsTheNumberFormatsInUse) {
  EXPECT_EQ(FormatText("%s-%li", "ab", 42L), "ab-42");
  EXPECT_EQ(FormatText("%03li", 7L), "007");
  EXPECT_EQ(FormatText("%05li", 42L), "00042");
  EXPECT_EQ(FormatText("%lx", 255UL), "ff");
  EXPECT_EQ(FormatText("%li caches processed", -3L), "-3 caches processed");
  EXPECT_EQ(FormatText("%s", ""), "");
}

TEST(FormatText, ReturnsResultsLongerThanAnyFixedBuffer) {
  std::string long_text(200000, 'a');
  long_text.back() = 'z';
  const std::string result = FormatText("<%s>", long_text.c_str());
  ASSERT_EQ(result.size(), long_text.size() + 2);
  EXPECT_EQ(result, "<" + long_text + ">");
}

}  // namespace
}  // namespace korvelo
