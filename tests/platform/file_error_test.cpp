#include "platform/file_error.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <vector>

namespace korvelo {
namespace {

using enum FileCause;

TEST(FileError, MapsEveryKnownErrnoToItsCause) {
  const std::pair<FileCause, std::vector<int>> rows[] = {
      {kNone, {0}},
      {kFileNotFound, {ENOENT}},
      {kAccessDenied, {EACCES, EPERM, EROFS, EISDIR}},
      {kBadPath, {ENAMETOOLONG, ENOTDIR, ELOOP, EINVAL}},
      {kTooManyOpenFiles, {EMFILE, ENFILE}},
      {kInvalidFile, {EBADF}},
      {kRemoveCurrentDir, {EBUSY}},
      {kDirectoryFull, {EMLINK}},
      {kBadSeek, {ESPIPE, EOVERFLOW}},
      {kHardIO, {EIO, ENXIO, ENODEV}},
      {kSharingViolation, {ETXTBSY}},
      {kLockViolation, {EDEADLK, ENOLCK, EAGAIN}},
      {kDiskFull, {ENOSPC, EDQUOT, EFBIG}},
      {kGeneric, {ECHILD, EPIPE}}};
  for (const auto& [cause, errors] : rows) {
    for (int error : errors) EXPECT_EQ(CauseFromErrno(error), cause) << error;
  }
}

TEST(FileError, TextOfEveryCauseNamesTheNativePath) {
  const std::pair<FileCause, const char*> rows[] = {
      {kNone, "Kein Fehler aufgetreten."},
      {kGeneric,
       "Ein unbekannter Fehler ist beim Zugriff auf d/a aufgetreten."},
      {kFileNotFound, "d/a wurde nicht gefunden."},
      {kBadPath, "d/a enthält eine ungültige Pfadangabe."},
      {kTooManyOpenFiles,
       "d/a konnte nicht geöffnet werden, da zu viele Dateien geöffnet sind."},
      {kAccessDenied, "Zugriff auf d/a wurde verwehrt."},
      {kInvalidFile, "Eine ungültige Dateikennung war mit d/a verbunden."},
      {kRemoveCurrentDir,
       "Das Verzeichnis d/a konnte nicht entfernt werden, "
       "da es das aktuelle Verzeichnis ist. "},
      {kDirectoryFull,
       "d/a konnte nicht erstellt werden, da das Verzeichnis voll ist."},
      {kBadSeek, "Positionierungsfehler auf d/a."},
      {kHardIO,
       "Ein Hardware-E/A-Fehler wurde während des Zugriffs auf d/a gemeldet."},
      {kSharingViolation,
       "Eine Zugriffsverletzung ist während des Zugriffs auf d/a aufgetreten."},
      {kLockViolation,
       "Eine Sperrverletzung ist während des Zugriffs auf d/a aufgetreten."},
      {kDiskFull,
       "Beim Zugriff auf d/a wurde ein voller Datenträger gemeldet."},
      {kEndOfFile,
       "Es wurde versucht, auf eine Stelle hinter dem Ende von d/a "
       "zuzugreifen."}};
  for (const auto& [cause, text] : rows) {
    EXPECT_EQ(FileErrorText(cause, "d/a"), text);
  }
  EXPECT_EQ(FileErrorText(kBadSeek, ""),
            "Positionierungsfehler auf eine unbenannte Datei.");
}

TEST(FileError, KeepsCausePathAndOsErrorApart) {
  // A backslash is part of a Linux file name and shown as it is.
  const FileError error = FileErrorFromErrno(EACCES, "/pq/odd\\a.gpx");
  EXPECT_EQ(error.cause(), kAccessDenied);
  EXPECT_EQ(error.os_error(), EACCES);
  EXPECT_STREQ(error.what(), "Zugriff auf /pq/odd\\a.gpx wurde verwehrt.");
  EXPECT_EQ(FileErrorText(error), error.what());
}

}  // namespace
}  // namespace korvelo
