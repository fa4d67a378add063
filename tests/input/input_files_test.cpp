// Line files: the moves and owners lists.
#include "input/input_files.h"

#include <gtest/gtest.h>

#include "support/test_support.h"

namespace korvelo {
namespace {

using ::korvelo::testing::TempDir;
using ::korvelo::testing::WriteFileOrFail;
using Lines = std::vector<std::string>;

TEST(SplitLines, SplitsAtEveryRunOfLineEnds) {
  const struct {
    std::string bytes;
    Lines lines;
  } rows[] = {{"\nX", {"", "X"}},
              {"A\rB\nC\x1aZ", {"A", "B", "C", "Z"}},
              {"A\n\x1a\r\n\rB\x1a", {"A", "B"}},
              {"\tkey; 1 ;2\t\r\nnext", {"\tkey; 1 ;2\t", "next"}},
              {std::string("A\0B\nC\0", 6), {"A", "C"}}};
  for (const auto& row : rows) {
    Lines lines{"previous content"};
    SplitLines(row.bytes, lines);
    EXPECT_EQ(lines, row.lines) << row.bytes;
  }
}

TEST(ReadLines, ReadsTheFileOrLeavesTheLinesAlone) {
  TempDir dir;
  WriteFileOrFail(dir / "moves.txt", "A\r\n\r\nB");
  Lines lines;
  ASSERT_TRUE(ReadLines(dir / "moves.txt", lines));
  EXPECT_EQ(lines, (Lines{"A", "B"}));
  EXPECT_FALSE(ReadLines(dir / "missing.txt", lines));
  EXPECT_FALSE(ReadLines(dir.path(), lines));
  EXPECT_EQ(lines, (Lines{"A", "B"}));
}

}  // namespace
}  // namespace korvelo
