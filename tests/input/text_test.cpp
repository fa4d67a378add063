// The text and path helpers, and the description built from them.
#include "input/text.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <string_view>

#include "input/cache_record.h"
#include "input/paths.h"

namespace korvelo {
namespace {

using Row = std::pair<std::string, std::string>;  // input, expected

template <typename Function>
void ExpectRows(Function function, std::initializer_list<Row> rows) {
  for (const Row& row : rows) {
    EXPECT_EQ(function(row.first), row.second) << row.first;
  }
}

TEST(ReplaceAll, ReplacesEveryOccurrenceInOnePass) {
  const struct {
    std::string text, from, to, expected;
  } rows[] = {{"aaa", "aa", "b", "ba"},  // non-overlapping, left first
              {"abab", "ab", "abab", "abababab"},  // inserted, not searched
              {"abc", "", "x", "abc"},
              {" <br> <br><br>", " <br>", "|", "||<br>"}};
  for (const auto& row : rows) {
    EXPECT_EQ(ReplaceAll(row.text, row.from, row.to), row.expected);
    std::string in_place = row.text;
    ReplaceAllIn(in_place, row.from, row.to);
    EXPECT_EQ(in_place, row.expected) << row.text;
  }
}

// Both forms of the many-at-once search against the standard one, on texts
// of a few letters so that partial matches abound, at every start position,
// with matches on both sides of each sixteen- and thirty-two-byte step and
// at the very end, and patterns longer than a step.
TEST(FindText, BothFormsFindWhatStringViewFindFinds) {
  std::mt19937 random(7);
  const auto text_of = [&random](size_t length) {
    std::string text;
    for (size_t i = 0; i < length; ++i) text += "ab<"[random() % 3];
    return text;
  };
  for (int i = 0; i < 3000; ++i) {
    const std::string text = text_of(random() % 200);
    const std::string pattern =
        text_of(i % 10 == 0 ? random() % 40 : random() % 6);
    for (size_t from = 0; from <= text.size() + 1; ++from) {
      const size_t expected = std::string_view(text).find(pattern, from);
      ASSERT_EQ(FindText(text, pattern, from), expected)
          << text << " / " << pattern << " / " << from;
      ASSERT_EQ(FindTextNarrow(text, pattern, from), expected)
          << text << " / " << pattern << " / " << from;
    }
  }
}

// The one-pass search finds for every tag the start that a search of its
// own finds, prefixes and tags inside other elements included; the text of
// the element there is trimmed, and empty when it is not closed.
TEST(FindFirstTags, FindsEachTagWhereItsOwnSearchDoes) {
  static constexpr std::string_view kTags[] = {"name", "url", "urlname",
                                               "a:b",  "x",   ""};
  const std::pair<std::string, std::string> rows[] = {
      // text, its name
      {"<urlname>T</urlname><url>U</url><name>N</name>", "N"},
      {"<<url<x<a:bc><a:b>", ""},
      {"<wpt><name>GC1</wpt>", ""},
      {"<NAME>GC1</NAME>", ""},
      {"<name html=\"True\">a &lt;b&gt;</name>", "a &lt;b&gt;"},
      {"<names>T</names><name>U</name>", "T</names><name>U"},
      {"<name> \t\n\v\f\rx y\r\n\f\v\t </name>", "x y"}};
  for (const auto& [text, name] : rows) {
    size_t starts[std::size(kTags)];
    FindFirstTags(text, kTags, starts);
    for (size_t i = 0; i < std::size(kTags); ++i) {
      EXPECT_EQ(starts[i], text.find("<" + std::string(kTags[i])))
          << text << " / " << kTags[i];
    }
    EXPECT_EQ(ExtractElementAt(text, "name", starts[0]), name) << text;
  }
}

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

// Only the given bytes go, and only at the ends.
TEST(Trim, DropsTheGivenBytesAtBothEndsOnly) {
  ExpectRows([](std::string_view text) { return std::string(Trim(text)); },
             {{" \t\r\n\v\fa b\f\v\n\r\t ", "a b"},
              {"\n\n", ""},
              {"", ""},
              {"x", "x"}});
  ExpectRows(
      [](std::string_view text) { return std::string(Trim(text, " \t")); },
      {{" \t\ra\n\t ", "\ra\n"}, {"\t\t", ""}});
}

TEST(FormatText, FormatsAtAnyLength) {
  const std::string long_text = std::string(199999, 'a') + "z";
  EXPECT_EQ(FormatText("<%s>", long_text.c_str()), "<" + long_text + ">");
}

// Only "/" separates folders; a backslash is an ordinary byte of a name.
TEST(Paths, CutAndAddSeparatorsAndExtensions) {
  ExpectRows(WithTrailingBackslash,
             {{"/out/", "/out/"}, {"/out\\", "/out\\/"}});
  ExpectRows(BaseName, {{"/GPX/pq.2008.zip", "pq"},
                        {"12345.gpx", "12345.gpx"},
                        {"/my.dir/file", "file"},
                        {"a/b\\c.d", "b\\c"}});
  ExpectRows(FolderOf, {{"a\\b/c", "a\\b"}, {"x.gpx", "x.gpx"}});
}

// Only the 26 ASCII letters fold: the signs beside them and the bytes above
// 127 stay, so that an Ä never equals an ä in a code or a file name.
TEST(AsciiCase, FoldsTheAsciiLettersOnly) {
  std::string folded;
  for (char c : std::string("@AZ[`az{\xC4\xE4")) {
    folded += {AsciiLower(c), AsciiUpper(c)};
  }
  EXPECT_EQ(folded, "@@aAzZ[[``aAzZ{{\xC4\xC4\xE4\xE4");
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
