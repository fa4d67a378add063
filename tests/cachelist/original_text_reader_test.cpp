// Waypoint texts kept in their plain GPX files and read back for the GPX
// for devices: the bytes are those the cut gave, in any reading order and
// across many files, and a file that changed after the load fails the read
// instead of giving other bytes.
#include "cachelist/original_text_reader.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "cachelist/cache_list.h"
#include "input/elements.h"
#include "platform/file_error.h"
#include "support/test_support.h"

namespace korvelo {
namespace {

using ::korvelo::testing::ReadFileOrFail;
using ::korvelo::testing::TempDir;
using ::korvelo::testing::WriteFileOrFail;

// A pocket query of `count` waypoints GC0, GC1, ... whose sizes vary from a
// few bytes to a few hundred kilobytes, so that texts start, end and lie
// across the pieces the loader reads.
std::string VariedGpx(int count, unsigned seed) {
  std::mt19937 random(seed);
  std::uniform_int_distribution<int> small(0, 3000);
  std::uniform_int_distribution<int> large(200000, 600000);
  std::string text = "<?xml version=\"1.0\"?>\r\n<gpx xmlns:a=\"1\">\r\n";
  for (int i = 0; i < count; ++i) {
    const int filler = i % 7 == 3 ? large(random) : small(random);
    text += "  <wpt lat=\"50." + std::to_string(i) + "\" lon=\"8.6\"><name>GC" +
            std::to_string(i) + "</name><desc>" +
            std::string(filler, static_cast<char>('a' + i % 26)) +
            "</desc>\r\n  </wpt>\r\n";
  }
  return text + "</gpx>\r\n";
}

// The waypoint texts of a whole text, cut the obvious way: from each "<wpt"
// up to, not including, the next "</wpt>".
std::vector<std::string_view> CutWaypoints(std::string_view text) {
  std::vector<std::string_view> waypoints;
  for (size_t start = text.find("<wpt"); start != std::string_view::npos;
       start = text.find("<wpt", start + 1)) {
    const size_t end = text.find("</wpt>", start);
    if (end == std::string_view::npos) break;
    waypoints.push_back(text.substr(start, end - start));
  }
  return waypoints;
}

CacheList LoadKeeping(const std::string& path) {
  return CacheList(path, nullptr, "", RecordTexts::kAll,
                   WaypointOriginals::kKeep);
}

// Every waypoint of `gpx` read back from `list` through one reader, in the
// order `order` gives (indexes into the waypoints), compared with the cut.
void ExpectTextsInOrder(const CacheList& list, const std::string& gpx,
                        const std::vector<size_t>& order) {
  const std::vector<std::string_view> cut = CutWaypoints(gpx);
  OriginalTextReader reader(list.originals);
  for (size_t i : order) {
    const std::string code = ExtractElement(cut[i], "name");
    const KeptText* text = list.originals.CacheText(code);
    ASSERT_NE(text, nullptr) << code;
    EXPECT_EQ(text->file, 0u) << code;  // kept in the file, not copied
    ASSERT_EQ(reader.Read(*text), cut[i]) << code;
  }
}

TEST(OriginalTextReader, ReadsTheTextsOfALargeFileInAnyOrder) {
  TempDir dir;
  const std::string gpx = VariedGpx(80, 7);
  ASSERT_GT(gpx.size(), size_t{3} << 20);
  WriteFileOrFail(dir / "q.gpx", gpx);
  const CacheList list = LoadKeeping(dir / "q.gpx");
  std::vector<size_t> order(list.records.size());
  for (size_t i = 0; i < order.size(); ++i) order[i] = i;
  ExpectTextsInOrder(list, gpx, order);
  std::reverse(order.begin(), order.end());
  ExpectTextsInOrder(list, gpx, order);
  std::shuffle(order.begin(), order.end(), std::mt19937(3));
  ExpectTextsInOrder(list, gpx, order);
}

// A folder's lists are merged: each text is read from its own file, also
// when the reads go back and forth between more files than stay open.
TEST(OriginalTextReader, ReadsTextsOfMoreFilesThanItKeepsOpen) {
  TempDir dir;
  std::vector<std::string> files;
  for (int f = 0; f < 7; ++f) {
    std::string gpx = "<gpx>\r\n";
    for (int i = 0; i < 3; ++i) {
      gpx += "<wpt lat=\"" + std::to_string(f) + "\" lon=\"1\"><name>GC" +
             std::to_string(10 * f + i) + "</name>\r\n</wpt>\r\n";
    }
    files.push_back(gpx + "</gpx>\r\n");
    WriteFileOrFail(dir / ("f/" + std::to_string(f) + ".gpx"), files.back());
  }
  const CacheList list = LoadKeeping(dir / "f");
  ASSERT_EQ(list.originals.files().size(), files.size());
  OriginalTextReader reader(list.originals);
  for (int i = 0; i < 3; ++i) {
    for (int f = 6; f >= 0; --f) {
      const KeptText* text =
          list.originals.CacheText("GC" + std::to_string(10 * f + i));
      ASSERT_NE(text, nullptr);
      EXPECT_EQ(reader.Read(*text), CutWaypoints(files[f])[i]);
    }
  }
}

TEST(OriginalTextReader, ACopyReadsTheSameTextsAfterTheListIsGone) {
  TempDir dir;
  const std::string gpx = VariedGpx(10, 1);
  WriteFileOrFail(dir / "q.gpx", gpx);
  auto list = std::make_unique<CacheList>(LoadKeeping(dir / "q.gpx"));
  const CacheList copy = *list;
  list.reset();
  ExpectTextsInOrder(copy, gpx, {9, 0, 4});
}

// Puts the modification time of `path` back to what it was, so that only
// the bytes tell the change.
void SetModified(const std::string& path, const struct timespec& when) {
  const struct timespec times[2] = {{0, UTIME_OMIT}, when};
  ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
}

struct ChangeRow {
  const char* what;
  // Changes the file at the path; the loaded text of GC1 starts at byte
  // `at`.
  std::function<void(const std::string& path, size_t at)> change;
  FileCause cause;  // kNone: the read still succeeds
};

class ChangedFile : public ::testing::TestWithParam<ChangeRow> {};

TEST_P(ChangedFile, FailsTheReadNamingTheFile) {
  TempDir dir;
  const std::string path = dir / "q.gpx";
  const std::string gpx = VariedGpx(3, 5);
  WriteFileOrFail(path, gpx);
  const CacheList list = LoadKeeping(path);
  GetParam().change(path, gpx.find("<wpt", gpx.find("<wpt") + 1));
  const KeptText* text = list.originals.CacheText("GC1");
  ASSERT_NE(text, nullptr);
  OriginalTextReader reader(list.originals);
  try {
    const std::string_view read = reader.Read(*text);
    EXPECT_EQ(GetParam().cause, FileCause::kNone) << GetParam().what;
    EXPECT_EQ(read, CutWaypoints(gpx)[1]);
  } catch (const FileError& error) {
    EXPECT_EQ(error.cause(), GetParam().cause) << GetParam().what;
    EXPECT_EQ(error.path(), path);
    if (error.cause() == FileCause::kSharingViolation) {
      EXPECT_EQ(error.os_error(), ESTALE);
    }
  }
}

// One byte at `at` of the file replaced, the modification time kept.
void ReplaceByteKeepingTime(const std::string& path, size_t at) {
  struct stat info;
  ASSERT_EQ(stat(path.c_str(), &info), 0);
  std::string bytes = ReadFileOrFail(path);
  bytes[at] = bytes[at] == 'x' ? 'y' : 'x';
  WriteFileOrFail(path, bytes);
  SetModified(path, info.st_mtim);
}

INSTANTIATE_TEST_SUITE_P(
    Changes, ChangedFile,
    ::testing::Values(ChangeRow{"rewritten longer",
                                [](const std::string& path, size_t) {
                                  WriteFileOrFail(path,
                                                  ReadFileOrFail(path) + " ");
                                },
                                FileCause::kSharingViolation},
                      ChangeRow{"a byte of the text, same size and time",
                                [](const std::string& path, size_t at) {
                                  ReplaceByteKeepingTime(path, at + 10);
                                },
                                FileCause::kSharingViolation},
                      ChangeRow{"a byte outside every text, same size and time",
                                [](const std::string& path, size_t) {
                                  ReplaceByteKeepingTime(path, 25);
                                },
                                FileCause::kNone},
                      ChangeRow{"removed",
                                [](const std::string& path, size_t) {
                                  ASSERT_EQ(unlink(path.c_str()), 0);
                                },
                                FileCause::kFileNotFound}));

}  // namespace
}  // namespace korvelo
