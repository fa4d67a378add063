// The plain-text description and ConvertUmlauts merge several replacement
// steps into single passes; this holds them to the steps one by one, on
// random texts built from the pieces the steps look for.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <string_view>

#include "input/cache_record.h"
#include "input/text.h"

namespace korvelo {
namespace {

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

// The description's 22 replacements, each a pass of its own.
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
      "\r",   "\n",   " ",     "&",      "amp;", "lt;",     "gt;",     "nbsp;",
      "&lt;", "&gt;", "&amp;", "&nbsp;", "<br>", "<BR>",    "</p>",    "<p>",
      "<A ",  "</a>", "<",     ">",      "x",    "\xC3",    "\xBC",    "\x84",
      "\xFC", "\xC4", "\xE9",  "br",     "/",    "<style>", "</style>"};
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
