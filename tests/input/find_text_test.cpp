// The many-at-once substring search, held to std::string_view::find.
#include "input/find_text.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <string_view>

namespace korvelo {
namespace {

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

}  // namespace
}  // namespace korvelo
