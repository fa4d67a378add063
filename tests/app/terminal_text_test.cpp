// Names reach the terminal in progress lines: control bytes go escaped (the
// program tests run one such name through a terminal).
#include "app/terminal_text.h"

#include <gtest/gtest.h>

#include <string>

namespace korvelo {
namespace {

TEST(TerminalSafe, EscapesControlBytesAndBrokenUtf8Only) {
  const std::pair<std::string, std::string> rows[] = {
      {"a\x1b[2Jb\r\n\t\x7f", "a\\x1B[2Jb\\x0D\\x0A\\x09\\x7F"},
      {"\xC3\xBC \xE2\x82\xAC \xF0\x9F\x98\x80",
       "\xC3\xBC \xE2\x82\xAC \xF0\x9F\x98\x80"},
      {"\xC2\x9B"
       "2J \x9B \xFC \xC3",
       "\\xC2\\x9B2J \\x9B \\xFC \\xC3"},
      // Overlong, a surrogate, above U+10FFFF.
      {"\xE0\x80\xAF \xED\xA0\x80 \xF4\x90\x80\x80",
       "\\xE0\\x80\\xAF \\xED\\xA0\\x80 \\xF4\\x90\\x80\\x80"}};
  for (const auto& [text, safe] : rows) EXPECT_EQ(TerminalSafe(text), safe);
}

}  // namespace
}  // namespace korvelo
