// Opening input files: only regular files are read; nothing that could
// block or never end is taken for one. Folders (the loader tests hold the
// listing's byte order), and the errors file access reports.
#include "platform/files.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <tuple>
#include <vector>

#include "platform/file_error.h"
#include "platform/folders.h"
#include "platform/input_file.h"
#include "support/test_support.h"

namespace korvelo {
namespace {

using ::korvelo::testing::TempDir;
using ::korvelo::testing::WriteFileOrFail;
using enum FileCause;

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

// A read at an offset leaves the read position; the stamp tells the same
// file from a changed one and from another file.
TEST(InputFile, ReadsAtAnOffsetAndStampsTheFile) {
  TempDir dir;
  WriteFileOrFail(dir / "a.gpx", "0123456789");
  WriteFileOrFail(dir / "b.gpx", "0123456789");
  InputFile file(dir / "a.gpx");
  char bytes[16] = {};
  EXPECT_EQ(file.ReadAt(6, bytes, 3), 3u);
  EXPECT_EQ(std::string(bytes, 3), "678");
  EXPECT_EQ(file.ReadAt(8, bytes, 16), 2u);  // only where the file ends
  EXPECT_EQ(std::string(bytes, 2), "89");
  EXPECT_EQ(file.ReadAt(20, bytes, 4), 0u);
  EXPECT_EQ(file.Read(bytes, 4), 4u);
  EXPECT_EQ(std::string(bytes, 4), "0123");
  const FileStamp first = file.Stamp();
  EXPECT_EQ(InputFile(dir / "a.gpx").Stamp(), first);
  EXPECT_NE(InputFile(dir / "b.gpx").Stamp(), first);
  WriteFileOrFail(dir / "a.gpx", "01234567890");
  EXPECT_NE(InputFile(dir / "a.gpx").Stamp(), first);
}

// A link to a folder is a folder, a link to a file is not.
TEST(Folders, TellsFoldersFromFilesFollowingLinks) {
  TempDir dir;
  WriteFileOrFail(dir / "sub/a.gpx", "x");
  ASSERT_EQ(symlink((dir / "sub").c_str(), (dir / "link").c_str()), 0);
  ASSERT_EQ(symlink((dir / "sub/a.gpx").c_str(), (dir / "file").c_str()), 0);
  std::string listing;
  for (const FolderEntry& entry : ListFolder(dir.path() + "/")) {
    listing += entry.name + (entry.is_folder ? "/ " : " ");
  }
  EXPECT_EQ(listing, "file link/ sub/ ");
  EXPECT_TRUE(IsFolder(dir / "link") && ListFolder(dir / "file").empty());
  EXPECT_FALSE(IsFolder(dir / "file") || IsFolder(dir / "x") || IsFolder(""));
}

// The causes the program meets, the errno values that map to them and their
// text for the path "d\a" (a backslash is an ordinary byte of a Linux name,
// shown as it is); an errno without a cause of its own is the generic one.
TEST(FileError, EveryErrnoGivesItsCauseWhoseTextNamesThePath) {
  const std::tuple<FileCause, std::vector<int>, const char*> rows[] = {
      {kGeneric,
       {ECHILD, EPIPE},
       "Ein unbekannter Fehler ist beim Zugriff auf d\\a aufgetreten."},
      {kFileNotFound, {ENOENT}, "d\\a wurde nicht gefunden."},
      {kBadPath,
       {ENAMETOOLONG, ENOTDIR, ELOOP},
       "d\\a enthält eine ungültige Pfadangabe."},
      {kAccessDenied,
       {EACCES, EPERM, EROFS, EISDIR},
       "Zugriff auf d\\a wurde verwehrt."},
      {kDiskFull,
       {ENOSPC, EDQUOT, EFBIG},
       "Beim Zugriff auf d\\a wurde ein voller Datenträger gemeldet."}};
  for (const auto& [cause, errors, text] : rows) {
    EXPECT_EQ(FileErrorText(cause, "d\\a"), text);
    for (int error : errors) {
      const FileError e = FileErrorFromErrno(error, "d\\a");
      EXPECT_EQ(e.cause(), cause) << error;
      EXPECT_EQ(e.os_error(), error);
      EXPECT_STREQ(e.what(), text);
    }
  }
}

// A failed write names its own cause when the OS gave one; without one it
// was cut short by a full disk. The OS code is kept only when there is one.
TEST(FileError, AWriteFailedWithoutAReasonOfItsOwnFoundTheDiskFull) {
  const std::tuple<int, FileCause, int> rows[] = {
      {-1, kDiskFull, 0},
      {0, kDiskFull, 0},
      {EPIPE, kDiskFull, EPIPE},
      {ENOSPC, kDiskFull, ENOSPC},
      {EACCES, kAccessDenied, EACCES},
      {EIO, kHardIO, EIO},
  };
  for (const auto& [error, cause, os_error] : rows) {
    const FileError e = WriteFailure(error, "out.kml");
    EXPECT_EQ(e.cause(), cause) << error;
    EXPECT_EQ(e.os_error(), os_error) << error;
    EXPECT_EQ(e.path(), "out.kml") << error;
  }
}

}  // namespace
}  // namespace korvelo
