// The plain-text forms of a listing's texts: markup removed, umlauts
// converted, and the description built from them.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <string_view>

#include "input/cache_record.h"
#include "input/text.h"
#include "output/html_text.h"
#include "output/text_description.h"
#include "output/umlauts.h"
#include "support/test_support.h"

namespace korvelo {
namespace {

using testing::ExpectRows;

TEST(HtmlToText, RemovesMarkupAndDecodesThreeUmlauts) {
  ExpectRows(HtmlToText,
             {{"a<b>b</b>c", "abc"},
              {"x<y", "x"},
              {"A<STYLE>p{}</Style>B<style>q{}</style>C", "ABC"},
              {"<style type=\"t\">p{}</style>x", "p{}x"},
              // A removal joins "<sty" and "le>" into a new tag: start tag,
              // then end tag in front of the next start tag (no more blocks).
              {"<sty<style>x</style>le>A</style>B", "B"},
              {"&#252;&#246;&#228;a&nbsp;b",
               "\xFC\xF6\xE4"
               "a b"},
              {"&#223;&quot;&amp;&lt;", "&#223;&quot;&amp;&lt;"}});
}

TEST(DropCdataMarkers, KeepsWhatStandsBetweenTheMarkers) {
  ExpectRows(DropCdataMarkers, {{"a<![CDATA[b]]>c<![CDATA[d]]>e", "abcde"},
                                {"<![CDATA[a]]>]]>", "a]]>"},
                                {"<![CDATA[open", "open"}});
}

// Ten megabytes of description come out whole, and removing many style
// blocks does not grow with their square.
TEST(TextDescription, TenMegabyteDescriptionComesOutWhole) {
  std::string raw, expected;
  while (raw.size() < 10 * 1024 * 1024) {
    raw += "&lt;style&gt;p{}&lt;/style&gt;&lt;p&gt;Gr\u00FC\u00DFe&lt;br&gt;";
    expected += " Gruesse\r\n";
  }
  const CacheRecord record("<wpt><groundspeak:long_description>" + raw +
                           "</groundspeak:long_description>");
  EXPECT_EQ(TextDescription(record.raw_description), expected);
}

// Descriptions a broken or hostile file can hold: each ends as the steps
// say, never reading outside its text (the sanitizer build checks that).
TEST(TextDescription, EndsBrokenMarkupAsTheStepsSay) {
  ExpectRows(TextDescription, {{"&lt;b", ""},
                               {"&lt;style&gt;x<![CDATA[x", "xx"},
                               {"a&amp;nbsp;b<", "a b"},
                               {"<![CDATA[<b>", ""}});
}

// The plain-text description and ConvertUmlauts merge several replacement
// steps into single passes; this holds them to the steps one by one, on
// random texts built from the pieces the steps look for.
// The seven letters in the order of the steps: UTF-8, ANSI, spelled out.
constexpr std::string_view kUmlauts[][3] = {
    {"\xC3\xBC", "\xFC", "ue"}, {"\xC3\xA4", "\xE4", "ae"},
    {"\xC3\xB6", "\xF6", "oe"}, {"\xC3\x9F", "\xDF", "ss"},
    {"\xC3\x9C", "\xDC", "Ue"}, {"\xC3\x96", "\xD6", "Oe"},
    {"\xC3\x84", "\xC4", "Ae"}};

std::string UmlautsInTurn(std::string text, bool spellOut) {
  for (const auto& u : kUmlauts) text = ReplaceAll(text, u[0], u[1]);
  for (const auto& u : kUmlauts) {
    if (spellOut) text = ReplaceAll(text, u[1], u[2]);
  }
  return text;
}

// The description's replacements, each a pass of its own, in their order.
std::string DescriptionInTurn(const std::string& raw) {
  static constexpr std::string_view kSteps[][2] = {
      {"\r\n ", "\r\n"}, {" \r\n", "\r\n"}, {"\r\n", " "},
      {"\r", " "},       {"\n", ""},        {"&lt;", "<"},
      {"&gt;", ">"},     {"&amp;", "&"},    {"&nbsp;", " "},
      {" <br>", "<br>"}, {" <BR>", "<br>"}, {"<br> ", "<br>"},
      {"<BR> ", "<br>"}, {"<br>", "\r\n"},  {"<BR>", "\r\n"},
      {"</p>", "\r\n"},  {"</P>", "\r\n"},  {"<p>", " "},
      {"<A ", "[[<B "},  {"</A>", "]]"},    {"<a ", "[[<B "},
      {"</a>", "]]"}};
  std::string text = DropCdataMarkers(raw);
  for (const auto& [from, to] : kSteps) text = ReplaceAll(text, from, to);
  return UmlautsInTurn(HtmlToText(text), true);
}

TEST(OnePassSteps, GiveWhatTheStepsGiveOneByOne) {
  static constexpr std::string_view kPieces[] = {
      "\r",    "\n",      " ",        "&",     "amp;",   "lt;",  "gt;",
      "nbsp;", "&lt;",    "&gt;",     "&amp;", "&nbsp;", "<br>", "<BR>",
      "</p>",  "<p>",     "<A ",      "</a>",  "<",      ">",    "x",
      "\xC3",  "\xBC",    "\x84",     "\xFC",  "\xC4",   "\xE9", "br",
      "/",     "<style>", "</style>", "\xA4",  "\xB6",   "\x9F", "\x9C",
      "\x96",  "\xE4",    "\xF6",     "\xDF",  "\xDC",   "\xD6"};
  std::mt19937 random(20261207);
  for (int i = 0; i < 20000; ++i) {
    std::string text;
    for (int n = random() % 12; n > 0; --n)
      text += kPieces[random() % std::size(kPieces)];
    ASSERT_EQ(TextDescription(text), DescriptionInTurn(text))
        << ::testing::PrintToString(text);
    for (bool spellOut : {false, true}) {
      ASSERT_EQ(ConvertUmlauts(text, spellOut), UmlautsInTurn(text, spellOut))
          << ::testing::PrintToString(text) << " " << spellOut;
    }
  }
}

}  // namespace
}  // namespace korvelo
