#include "platform/file_error.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <tuple>
#include <vector>

namespace korvelo {
namespace {

using enum FileCause;

// Each cause, the errno values that map to it and its text for the path
// "d\a" (a backslash is an ordinary byte of a Linux name, shown as it is).
TEST(FileError, EveryErrnoGivesItsCauseWhoseTextNamesThePath) {
  const std::tuple<FileCause, std::vector<int>, const char*> rows[] = {
      {kNone, {0}, "Kein Fehler aufgetreten."},
      {kGeneric,
       {ECHILD, EPIPE},
       "Ein unbekannter Fehler ist beim Zugriff auf d\\a aufgetreten."},
      {kFileNotFound, {ENOENT}, "d\\a wurde nicht gefunden."},
      {kBadPath,
       {ENAMETOOLONG, ENOTDIR, ELOOP, EINVAL},
       "d\\a enthält eine ungültige Pfadangabe."},
      {kTooManyOpenFiles,
       {EMFILE, ENFILE},
       "d\\a konnte nicht geöffnet werden, da zu viele Dateien geöffnet sind."},
      {kAccessDenied,
       {EACCES, EPERM, EROFS, EISDIR},
       "Zugriff auf d\\a wurde verwehrt."},
      {kInvalidFile,
       {EBADF},
       "Eine ungültige Dateikennung war mit d\\a verbunden."},
      {kRemoveCurrentDir,
       {EBUSY},
       "Das Verzeichnis d\\a konnte nicht entfernt werden, "
       "da es das aktuelle Verzeichnis ist. "},
      {kDirectoryFull,
       {EMLINK},
       "d\\a konnte nicht erstellt werden, da das Verzeichnis voll ist."},
      {kBadSeek, {ESPIPE, EOVERFLOW}, "Positionierungsfehler auf d\\a."},
      {kHardIO,
       {EIO, ENXIO, ENODEV},
       "Ein Hardware-E/A-Fehler wurde während des Zugriffs auf d\\a gemeldet."},
      {kSharingViolation,
       {ETXTBSY},
       "Eine Zugriffsverletzung ist während des Zugriffs auf d\\a "
       "aufgetreten."},
      {kLockViolation,
       {EDEADLK, ENOLCK, EAGAIN},
       "Eine Sperrverletzung ist während des Zugriffs auf d\\a aufgetreten."},
      {kDiskFull,
       {ENOSPC, EDQUOT, EFBIG},
       "Beim Zugriff auf d\\a wurde ein voller Datenträger gemeldet."},
      {kEndOfFile,
       {},
       "Es wurde versucht, auf eine Stelle hinter dem Ende von d\\a "
       "zuzugreifen."}};
  for (const auto& [cause, errors, text] : rows) {
    EXPECT_EQ(FileErrorText(cause, "d\\a"), text);
    for (int error : errors) {
      const FileError e = FileErrorFromErrno(error, "d\\a");
      EXPECT_EQ(e.cause(), cause) << error;
      EXPECT_EQ(e.os_error(), error);
      EXPECT_STREQ(e.what(), text);
    }
  }
  EXPECT_EQ(FileErrorText(kBadSeek, ""),
            "Positionierungsfehler auf eine unbenannte Datei.");
}

}  // namespace
}  // namespace korvelo
