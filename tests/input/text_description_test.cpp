// The plain-text description and ConvertUmlauts merge several replacement
// steps into single passes; these tests hold them to the steps one by one,
// on texts built from the pieces the steps look for.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <string_view>

#include "input/cache_record.h"
#include "input/text.h"

namespace korvelo {
namespace {

using Steps = std::vector<std::pair<std::string_view, std::string_view>>;

std::string ApplyInTurn(std::string text, const Steps& steps) {
  for (const auto& [from, to] : steps) text = ReplaceAll(text, from, to);
  return text;
}

std::string UmlautsInTurn(const std::string& text, bool spellOut) {
  std::string out = ApplyInTurn(text, {{"\xC3\xBC", "\xFC"},
                                       {"\xC3\xA4", "\xE4"},
                                       {"\xC3\xB6", "\xF6"},
                                       {"\xC3\x9F", "\xDF"},
                                       {"\xC3\x9C", "\xDC"},
                                       {"\xC3\x96", "\xD6"},
                                       {"\xC3\x84", "\xC4"}});
  if (!spellOut) return out;
  return ApplyInTurn(out, {{"\xFC", "ue"},
                           {"\xE4", "ae"},
                           {"\xF6", "oe"},
                           {"\xDF", "ss"},
                           {"\xDC", "Ue"},
                           {"\xD6", "Oe"},
                           {"\xC4", "Ae"}});
}

// The description's 22 replacements, each a pass of its own.
std::string DescriptionInTurn(const std::string& raw) {
  const std::string text =
      ApplyInTurn(DropCdataMarkers(raw),
                  {{"\r\n ", "\r\n"}, {" \r\n", "\r\n"}, {"\r\n", " "},
                   {"\r", " "},       {"\n", ""},        {"&lt;", "<"},
                   {"&gt;", ">"},     {"&amp;", "&"},    {"&nbsp;", " "},
                   {" <br>", "<br>"}, {" <BR>", "<br>"}, {"<br> ", "<br>"},
                   {"<BR> ", "<br>"}, {"<br>", "\r\n"},  {"<BR>", "\r\n"},
                   {"</p>", "\r\n"},  {"</P>", "\r\n"},  {"<p>", " "},
                   {"<A ", "[[<B "},  {"</A>", "]]"},    {"<a ", "[[<B "},
                   {"</a>", "]]"}});
  return UmlautsInTurn(HtmlToText(text), true);
}

// Random texts made of the pieces the steps look for, their parts and
// neighbours.
std::string RandomText(std::mt19937& random) {
  static constexpr std::string_view kPieces[] = {
      "\r",   "\n",   " ",     "&",      "amp;", "lt;",     "gt;",     "nbsp;",
      "&lt;", "&gt;", "&amp;", "&nbsp;", "<br>", "<BR>",    "</p>",    "<p>",
      "<A ",  "</a>", "<",     ">",      "x",    "\xC3",    "\xBC",    "\x84",
      "\xFC", "\xC4", "\xE9",  "br",     "/",    "<style>", "</style>"};
  std::string text;
  const int count = static_cast<int>(random() % 12);
  for (int i = 0; i < count; ++i)
    text += kPieces[random() % std::size(kPieces)];
  return text;
}

TEST(TextDescription, GivesWhatTheStepsGiveOneByOne) {
  std::mt19937 random(20261207);
  for (int i = 0; i < 20000; ++i) {
    const std::string raw = RandomText(random);
    ASSERT_EQ(TextDescription(raw), DescriptionInTurn(raw))
        << ::testing::PrintToString(raw);
  }
}

TEST(ConvertUmlauts, GivesWhatTheStepsGiveOneByOne) {
  std::mt19937 random(7);
  for (int i = 0; i < 20000; ++i) {
    const std::string text = RandomText(random);
    for (bool spellOut : {false, true}) {
      ASSERT_EQ(ConvertUmlauts(text, spellOut), UmlautsInTurn(text, spellOut))
          << ::testing::PrintToString(text) << " " << spellOut;
    }
  }
}

}  // namespace
}  // namespace korvelo
