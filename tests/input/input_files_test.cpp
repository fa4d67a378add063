// Line files and unpacking one entry; the loader tests cover the rest.
#include "input/input_files.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "input/zip_reader.h"
#include "support/test_support.h"
#include "support/zip_builder.h"

namespace korvelo {
namespace {

using ::korvelo::testing::BuildZip;
using ::korvelo::testing::ReadFileOrFail;
using ::korvelo::testing::TempDir;
using ::korvelo::testing::WriteFileOrFail;
using Lines = std::vector<std::string>;

TEST(SplitLines, SplitsAtEveryRunOfLineEnds) {
  const struct {
    std::string bytes;
    Lines lines;
  } rows[] = {{"A\r\n\r\nB", {"A", "B"}},
              {"\nX", {"", "X"}},
              {"", {""}},
              {"A\rB\nC\x1aZ", {"A", "B", "C", "Z"}},
              {"A\n\x1a\r\n\rB\x1a", {"A", "B"}},
              {"\r\n\r\n", {""}},
              {"\tkey; 1 ;2\t\r\nnext", {"\tkey; 1 ;2\t", "next"}},
              {std::string("A\0B\nC\0", 6), {"A", "C"}},
              {std::string("\0X", 2), {""}}};
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
  // Neither blocks on a FIFO nor reads a device until memory runs out.
  ASSERT_EQ(mkfifo((dir / "fifo").c_str(), 0600), 0);
  EXPECT_FALSE(ReadLines(dir / "fifo", lines));
  EXPECT_FALSE(ReadLines("/dev/zero", lines));
  EXPECT_EQ(lines, (Lines{"A", "B"}));
}

TEST(ExtractZipEntry, StreamsEntryLargerThanItsBufferOverAnExistingFile) {
  std::string data;
  for (int i = 0; data.size() < 300000; ++i) data += std::to_string(i) + ",";
  TempDir dir;
  WriteFileOrFail(dir / "a.gpx", data + "longer than the entry");
  ZipImage = BuildZip({{"a.gpx", data}});
  ZipReader reader;
  reader.Open("infile");
  ZipEntryInfo info;
  ASSERT_TRUE(reader.GetEntryInfo(info, 0));
  ASSERT_TRUE(ExtractZipEntry(reader, info, 0, dir / "a.gpx"));
  EXPECT_TRUE(reader.CloseEntry());
  EXPECT_EQ(ReadFileOrFail(dir / "a.gpx"), data);
}

}  // namespace
}  // namespace korvelo
