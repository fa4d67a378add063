#include "platform/file_error.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <tuple>
#include <vector>

namespace korvelo {
namespace {

using enum FileCause;

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
