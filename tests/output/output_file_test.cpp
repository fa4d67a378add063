#include "platform/output_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <map>
#include <stdexcept>
#include <string>

#include "gpx_lists.h"

namespace korvelo {
namespace {

namespace fs = std::filesystem;
using testing::WriteFileOrFail;

// The new file takes the old one's permission bits; a link planted at the
// target is replaced, never written through; the temporary name fits beside
// the longest target name; a folder in the target's place is a file that
// could not be created; a writer failing with its own exception leaves the
// last good file. No temporary file remains.
TEST(OutputFile, ReplacesTheTargetOnlyWhenCompletelyWritten) {
  testing::TempDir dir;
  const auto write = [](const std::string& path) {
    WriteFileAtomically(path, [](std::ostream& out) { out << "new"; });
  };
  WriteFileOrFail(dir / "a.kml", "old");
  ASSERT_EQ(chmod((dir / "a.kml").c_str(), 0640), 0);
  write(dir / "a.kml");
  struct stat info;
  ASSERT_EQ(lstat((dir / "a.kml").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0640u);
  WriteFileOrFail(dir / "victim", "precious");
  ASSERT_EQ(symlink((dir / "victim").c_str(), (dir / "b.kml").c_str()), 0);
  write(dir / "b.kml");
  write(dir / (std::string(251, 'n') + ".kml"));
  fs::create_directory(dir / "c.kml");
  EXPECT_TRUE(testing::ThrowsFileError([&] { write(dir / "c.kml"); },
                                       FileCause::kInvalidFile, dir / "c.kml"));
  EXPECT_THROW(WriteFileAtomically(dir / "a.kml",
                                   [](std::ostream& out) {
                                     out << "part";
                                     throw std::runtime_error("stop");
                                   }),
               std::runtime_error);
  EXPECT_EQ(testing::FilesBelow(dir.path()),
            (std::map<std::string, std::string>{
                {"a.kml", "new"},
                {"b.kml", "new"},
                {std::string(251, 'n') + ".kml", "new"},
                {"victim", "precious"}}));
}

}  // namespace
}  // namespace korvelo
