// Names reach the terminal in progress lines: control bytes go escaped (the
// program tests run one such name through a terminal).
#include "app/terminal_text.h"

#include <gtest/gtest.h>

#include <string>

namespace korvelo {
namespace {

TEST(TerminalSafe, EscapesControlBytesAndBrokenUtf8Only) {
  const std::pair<std::string, std::string> rows[] = {
      {"Loading 12345.gpx...", "Loading 12345.gpx..."},
      {"\x1b]0;owned\x07", "\\x1B]0;owned\\x07"},
      {"a\x1b[2Jb\r\n\t\x7f", "a\\x1B[2Jb\\x0D\\x0A\\x09\\x7F"},
      {std::string("a\0b", 3), "a\\x00b"},
      {"\xC3\xBC \xE2\x82\xAC \xF0\x9F\x98\x80",
       "\xC3\xBC \xE2\x82\xAC \xF0\x9F\x98\x80"},
      {"\xC2\x9B"
       "2J",
       "\\xC2\\x9B2J"},  // C1 CSI as UTF-8
      {"\x9B"
       "2J \xFC",
       "\\x9B2J \\xFC"},  // Latin-1 bytes
      {"\xC3", "\\xC3"},  // cut sequence
      {"\xE0\x80\xAF \xED\xA0\x80", "\\xE0\\x80\\xAF \\xED\\xA0\\x80"},
      {"\xF4\x90\x80\x80", "\\xF4\\x90\\x80\\x80"}};  // above U+10FFFF
  for (const auto& [text, safe] : rows) EXPECT_EQ(TerminalSafe(text), safe);
}

}  // namespace
}  // namespace korvelo
