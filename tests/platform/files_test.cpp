// Opening input files: only regular files are read; nothing that could
// block or never end is taken for one.
#include "platform/files.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/file_error.h"
#include "support/test_support.h"

namespace korvelo {
namespace {

using ::korvelo::testing::TempDir;
using ::korvelo::testing::WriteFileOrFail;

// The cause OpenFileForReading throws for `path`, kNone when it opens.
FileCause OpenCause(const std::string& path) {
  try {
    return OpenFileForReading(path).valid() ? FileCause::kNone
                                            : FileCause::kInvalidFile;
  } catch (const FileError& error) {
    EXPECT_EQ(error.path(), path);
    return error.cause();
  }
}

TEST(OpenFileForReading, OpensRegularFilesOnlyAndNeverBlocks) {
  TempDir dir;
  WriteFileOrFail(dir / "a.gpx", "<wpt");
  ASSERT_EQ(mkfifo((dir / "fifo.gpx").c_str(), 0600), 0);
  ASSERT_EQ(symlink((dir / "fifo.gpx").c_str(), (dir / "tofifo").c_str()), 0);
  ASSERT_EQ(symlink((dir / "a.gpx").c_str(), (dir / "link.gpx").c_str()), 0);
  const std::pair<std::string, FileCause> rows[] = {
      {dir / "link.gpx", FileCause::kNone},
      {dir / "tofifo", FileCause::kAccessDenied},
      {"/dev/zero", FileCause::kAccessDenied},
      {dir.path(), FileCause::kAccessDenied},
      {dir / "missing.gpx", FileCause::kFileNotFound}};
  for (const auto& [path, cause] : rows) EXPECT_EQ(OpenCause(path), cause);
}

}  // namespace
}  // namespace korvelo
