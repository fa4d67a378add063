#include "input/input_files.h"

#include <gtest/gtest.h>

#include "input/zip_reader.h"
#include "platform/file_error.h"
#include "support/test_support.h"
#include "support/zip_builder.h"

namespace korvelo {
namespace {

using ::korvelo::testing::BuildZip;
using ::korvelo::testing::FileExists;
using ::korvelo::testing::ReadFileOrFail;
using ::korvelo::testing::TempDir;
using ::korvelo::testing::WriteFileOrFail;
using ::korvelo::testing::ZipTestEntry;
using Lines = std::vector<std::string>;

struct LinesRow {
  std::string bytes;
  Lines lines;
};

class SplitLinesRows : public ::testing::TestWithParam<LinesRow> {};

TEST_P(SplitLinesRows, SplitsAtEveryRunOfLineEnds) {
  Lines lines{"previous content"};
  SplitLines(GetParam().bytes, lines);
  EXPECT_EQ(lines, GetParam().lines);
}

INSTANTIATE_TEST_SUITE_P(
    Examples, SplitLinesRows,
    ::testing::Values(
        LinesRow{"A\r\n\r\nB", {"A", "B"}}, LinesRow{"\nX", {"", "X"}},
        LinesRow{"", {""}}, LinesRow{" A ", {" A "}},
        LinesRow{"A\rB\nC\x1a"
                 "D",
                 {"A", "B", "C", "D"}},
        LinesRow{"A\r\n", {"A"}}, LinesRow{"A\n\x1a\r\n\rB\x1a", {"A", "B"}},
        LinesRow{"\r\n\r\n", {""}},
        LinesRow{"\tkey; 1 ;2\t\r\nnext", {"\tkey; 1 ;2\t", "next"}},
        LinesRow{std::string("A\0B\nC\0", 6), {"A", "C"}},
        LinesRow{std::string("\0X", 2), {""}}));

TEST(ReadLines, ReadsFileIntoLines) {
  TempDir dir;
  WriteFileOrFail(dir / "moves.txt", "A\r\n\r\nB");
  Lines lines;
  ASSERT_TRUE(ReadLines(dir / "moves.txt", lines));
  EXPECT_EQ(lines, (Lines{"A", "B"}));
  WriteFileOrFail(dir / "empty.txt", "");
  ASSERT_TRUE(ReadLines(dir / "empty.txt", lines));
  EXPECT_EQ(lines, (Lines{""}));
}

TEST(ReadLines, LeavesLinesAloneWhenFileCannotBeRead) {
  TempDir dir;
  Lines lines{"kept"};
  EXPECT_FALSE(ReadLines(dir / "missing.txt", lines));
  EXPECT_FALSE(ReadLines(dir.path(), lines));
  EXPECT_EQ(lines, (Lines{"kept"}));
}

TEST(LoadFileText, CutsTextAtFirstZeroByte) {
  TempDir dir;
  WriteFileOrFail(dir / "a.gpx", std::string("<wpt>\0<wpt>", 11));
  EXPECT_EQ(LoadFileText(dir / "a.gpx"), "<wpt>");
}

TEST(LoadFileText, RaisesFileErrorWithCauseAndPath) {
  TempDir dir;
  const std::string missing = dir.path() + "\\missing.gpx";
  try {
    LoadFileText(missing);
    ADD_FAILURE() << "no error";
  } catch (const FileError& e) {
    EXPECT_EQ(e.cause(), FileCause::kFileNotFound);
    EXPECT_EQ(e.path(), missing);
  }
  try {
    LoadFileText(dir.path());
    ADD_FAILURE() << "no error";
  } catch (const FileError& e) {
    EXPECT_EQ(e.cause(), FileCause::kAccessDenied);
  }
}

TEST(LoadFileBytes, ReadsEveryByteAndNeverRaises) {
  TempDir dir;
  const std::string bytes("PK\x03\x04\0\0\xFF", 7);
  WriteFileOrFail(dir / "a.zip", bytes);
  std::string buffer = "old";
  EXPECT_TRUE(LoadFileBytes(dir / "a.zip", buffer));
  EXPECT_EQ(buffer, bytes);
  EXPECT_FALSE(LoadFileBytes(dir / "missing.zip", buffer));
  EXPECT_FALSE(LoadFileBytes(dir.path(), buffer));
}

// A ZIP reader over an archive of the given entries.
class ExtractZipEntryTest : public ::testing::Test {
 protected:
  void Open(const std::vector<ZipTestEntry>& entries) {
    ZipImage = BuildZip(entries);
    reader_.Open("infile");
  }
  ZipEntryInfo Info(int index) {
    ZipEntryInfo info;
    EXPECT_TRUE(reader_.GetEntryInfo(info, index));
    return info;
  }

  TempDir dir_;
  ZipReader reader_;
};

TEST_F(ExtractZipEntryTest, WritesEntryLargerThanItsBufferByteForByte) {
  std::string data;
  for (int i = 0; data.size() < 300000; ++i) data += std::to_string(i) + ",";
  Open({{"a.gpx", data, 8}});
  ASSERT_TRUE(ExtractZipEntry(reader_, Info(0), 0, dir_.path() + "\\a.gpx"));
  EXPECT_EQ(ReadFileOrFail(dir_ / "a.gpx"), data);
  EXPECT_TRUE(reader_.CloseEntry());
}

TEST_F(ExtractZipEntryTest, ReplacesExistingFile) {
  WriteFileOrFail(dir_ / "a.gpx", std::string(1000, 'x'));
  Open({{"a.gpx", "new", 0}});
  ASSERT_TRUE(ExtractZipEntry(reader_, Info(0), 0, dir_ / "a.gpx"));
  EXPECT_EQ(ReadFileOrFail(dir_ / "a.gpx"), "new");
}

TEST_F(ExtractZipEntryTest, LeavesNoFileWhenEntryYieldsFewerBytes) {
  ZipTestEntry cut{"a.gpx", "abcdef", 0};
  cut.compressed_size = 3;  // stored data ends halfway through
  Open({cut});
  EXPECT_FALSE(ExtractZipEntry(reader_, Info(0), 0, dir_ / "a.gpx"));
  EXPECT_FALSE(FileExists(dir_ / "a.gpx"));
}

TEST_F(ExtractZipEntryTest, FailsForEntryThatCannotBeOpened) {
  Open({{"a.gpx", "abc"}});
  EXPECT_FALSE(ExtractZipEntry(reader_, Info(0), 1, dir_ / "a.gpx"));
  EXPECT_FALSE(FileExists(dir_ / "a.gpx"));
}

TEST_F(ExtractZipEntryTest, RaisesFileErrorWhenDestinationCannotBeCreated) {
  Open({{"a.gpx", "abc"}});
  try {
    ExtractZipEntry(reader_, Info(0), 0, dir_ / "missing/a.gpx");
    ADD_FAILURE() << "no error";
  } catch (const FileError& e) {
    EXPECT_EQ(e.cause(), FileCause::kFileNotFound);
    EXPECT_EQ(e.path(), dir_ / "missing/a.gpx");
  }
}

}  // namespace
}  // namespace korvelo
