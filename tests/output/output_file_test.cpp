#include "platform/output_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <map>
#include <stdexcept>
#include <string>

#include "gpx_lists.h"
#include "output/asc_writer.h"
#include "output/text_writer.h"

namespace korvelo {
namespace {

namespace fs = std::filesystem;
using testing::WriteFileOrFail;

// Writes more than any buffer holds, a shorter file over a longer one, then
// fails with the writer's own exception: the last good file stays and no
// temporary file remains. A failing write is checked through the program,
// under a file size limit.
TEST(OutputFile, ReplacesTheTargetOnlyWhenCompletelyWritten) {
  testing::TempDir dir;
  const std::string target = dir / "a.kml", big(200000, 'x');
  WriteFileAtomically(target, [&](std::ostream& out) { out << "<" << big; });
  EXPECT_EQ(testing::ReadFileOrFail(target), "<" + big);
  WriteFileAtomically(target, [](std::ostream& out) { out << "new\r\n"; });
  EXPECT_THROW(WriteFileAtomically(target,
                                   [](std::ostream& out) {
                                     out << "part";
                                     throw std::runtime_error("stop");
                                   }),
               std::runtime_error);
  EXPECT_EQ(testing::FilesBelow(dir.path()),
            (std::map<std::string, std::string>{{"a.kml", "new\r\n"}}));
}

// The temporary name must not depend on the target's length, and a target
// that cannot be put in place is a file that could not be created.
TEST(OutputFile, LongestNamesWorkAndAFolderInTheWayIsAnInvalidHandle) {
  testing::TempDir dir;
  const std::string longest = dir / (std::string(251, 'n') + ".kml");
  WriteFileAtomically(longest, [](std::ostream& out) { out << "x"; });
  EXPECT_EQ(testing::ReadFileOrFail(longest), "x");
  std::filesystem::create_directory(dir / "b.kml");
  EXPECT_TRUE(testing::ThrowsFileError(
      [&] {
        WriteFileAtomically(dir / "b.kml",
                            [](std::ostream& out) { out << "x"; });
      },
      FileCause::kInvalidFile, dir / "b.kml"));
  EXPECT_EQ(testing::FilesBelow(dir.path()).size(), 1u);
}

// The old bytes stay, the new permission bits are the old ones, and a link
// planted at the target is replaced, never written through.
TEST(OutputFile, ReplacementKeepsPermissionsAndNeverFollowsALink) {
  testing::TempDir dir;
  for (const mode_t mode : {0600u, 0640u, 0755u}) {
    WriteFileOrFail(dir / "a.kml", "old");
    ASSERT_EQ(chmod((dir / "a.kml").c_str(), mode), 0);
    WriteFileAtomically(dir / "a.kml", [](std::ostream& out) { out << "new"; });
    struct stat info;
    ASSERT_EQ(lstat((dir / "a.kml").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, mode);
  }
  WriteFileOrFail(dir / "victim", "precious");
  ASSERT_EQ(symlink((dir / "victim").c_str(), (dir / "b.kml").c_str()), 0);
  WriteFileAtomically(dir / "b.kml", [](std::ostream& out) { out << "new"; });
  EXPECT_FALSE(fs::is_symlink(dir / "b.kml"));
  EXPECT_EQ(testing::ReadFileOrFail(dir / "b.kml"), "new");
  EXPECT_EQ(testing::ReadFileOrFail(dir / "victim"), "precious");
}

// A writer does not swallow the error: the first ASC file with lines and the
// first text sheet are named, and nothing is made (the KML's case is checked
// through the program).
TEST(OutputFile, EveryWriterNamesItsTargetInAMissingFolder) {
  testing::TempDir dir;
  CacheList list;
  list.records = {testing::Wpt("GC1", "Feld", "Traditional Cache")};
  const std::string no = dir.path() + "/no/";
  EXPECT_TRUE(testing::ThrowsFileError(
      [&] { WriteAsc(list, no + "pq_all_%s.asc", false); },
      FileCause::kInvalidFile, no + "pq_all_Tradi.asc"));
  EXPECT_TRUE(testing::ThrowsFileError([&] { WriteText(list, no); },
                                       FileCause::kInvalidFile,
                                       no + "F/E/L/D_caches001.txt"));
  EXPECT_FALSE(std::filesystem::exists(dir / "no"));
}

}  // namespace
}  // namespace korvelo
