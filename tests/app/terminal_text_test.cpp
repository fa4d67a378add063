// Names reach the terminal in progress lines: control bytes go escaped.
#include "app/terminal_text.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "app/cli_host.h"
#include "app/conversion_run.h"
#include "app/run_fixtures.h"
#include "support/test_support.h"

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

// Through a whole command-line run: the file name in "Loading ...gpx..."
// arrives escaped on the progress stream.
TEST(TerminalSafe, ProgressLinesOfACommandLineRunCarryNoEscapes) {
  testing::TempDir dir;
  testing::WriteFileOrFail(dir / "x\x1b]0;owned\x07.gpx",
                           testing::PocketQuery(1, 1));
  std::FILE* stream = std::tmpfile();
  ASSERT_NE(stream, nullptr);
  CliHost host(stream);
  ConversionSettings settings;
  ConversionRun({dir / "x\x1b]0;owned\x07.gpx"}, 1, settings, host);
  std::string lines(4096, '\0');
  std::rewind(stream);
  lines.resize(std::fread(lines.data(), 1, lines.size(), stream));
  std::fclose(stream);
  EXPECT_NE(lines.find("Loading x\\x1B]0;owned\\x07.gpx...\n"),
            std::string::npos)
      << lines;
  EXPECT_EQ(lines.find('\x1b'), std::string::npos);
}

}  // namespace
}  // namespace korvelo
