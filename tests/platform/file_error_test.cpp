#include "platform/file_error.h"

#include <gtest/gtest.h>

#include <cerrno>

namespace korvelo {
namespace {

struct ErrnoRow {
  int error;
  FileCause cause;
};

class FileErrorFromErrnoRows : public ::testing::TestWithParam<ErrnoRow> {};

TEST_P(FileErrorFromErrnoRows, MapsErrnoToCause) {
  const ErrnoRow& row = GetParam();
  EXPECT_EQ(CauseFromErrno(row.error), row.cause) << "errno " << row.error;
}

INSTANTIATE_TEST_SUITE_P(
    EveryKnownErrno, FileErrorFromErrnoRows,
    ::testing::Values(ErrnoRow{0, FileCause::kNone},
                      ErrnoRow{ENOENT, FileCause::kFileNotFound},
                      ErrnoRow{EACCES, FileCause::kAccessDenied},
                      ErrnoRow{EPERM, FileCause::kAccessDenied},
                      ErrnoRow{EROFS, FileCause::kAccessDenied},
                      ErrnoRow{EISDIR, FileCause::kAccessDenied},
                      ErrnoRow{ENAMETOOLONG, FileCause::kBadPath},
                      ErrnoRow{ENOTDIR, FileCause::kBadPath},
                      ErrnoRow{ELOOP, FileCause::kBadPath},
                      ErrnoRow{EINVAL, FileCause::kBadPath},
                      ErrnoRow{EMFILE, FileCause::kTooManyOpenFiles},
                      ErrnoRow{ENFILE, FileCause::kTooManyOpenFiles},
                      ErrnoRow{EBADF, FileCause::kInvalidFile},
                      ErrnoRow{EBUSY, FileCause::kRemoveCurrentDir},
                      ErrnoRow{EMLINK, FileCause::kDirectoryFull},
                      ErrnoRow{ESPIPE, FileCause::kBadSeek},
                      ErrnoRow{EOVERFLOW, FileCause::kBadSeek},
                      ErrnoRow{EIO, FileCause::kHardIO},
                      ErrnoRow{ENXIO, FileCause::kHardIO},
                      ErrnoRow{ENODEV, FileCause::kHardIO},
                      ErrnoRow{ETXTBSY, FileCause::kSharingViolation},
                      ErrnoRow{EDEADLK, FileCause::kLockViolation},
                      ErrnoRow{ENOLCK, FileCause::kLockViolation},
                      ErrnoRow{EAGAIN, FileCause::kLockViolation},
                      ErrnoRow{ENOSPC, FileCause::kDiskFull},
                      ErrnoRow{EDQUOT, FileCause::kDiskFull},
                      ErrnoRow{EFBIG, FileCause::kDiskFull},
                      ErrnoRow{ECHILD, FileCause::kGeneric},
                      ErrnoRow{EPIPE, FileCause::kGeneric}));

struct TextRow {
  FileCause cause;
  const char* text;  // with the path dir/sub/a.gpx in place of %1
};

class FileErrorTextRows : public ::testing::TestWithParam<TextRow> {};

TEST_P(FileErrorTextRows, NamesTheNativePath) {
  const TextRow& row = GetParam();
  EXPECT_EQ(FileErrorText(row.cause, "dir\\sub\\a.gpx"), row.text);
}

INSTANTIATE_TEST_SUITE_P(
    EveryCause, FileErrorTextRows,
    ::testing::Values(
        TextRow{FileCause::kNone, "Kein Fehler aufgetreten."},
        TextRow{FileCause::kGeneric,
                "Ein unbekannter Fehler ist beim Zugriff auf dir/sub/a.gpx "
                "aufgetreten."},
        TextRow{FileCause::kFileNotFound,
                "dir/sub/a.gpx wurde nicht gefunden."},
        TextRow{FileCause::kBadPath,
                "dir/sub/a.gpx enthält eine ungültige Pfadangabe."},
        TextRow{FileCause::kTooManyOpenFiles,
                "dir/sub/a.gpx konnte nicht geöffnet werden, da zu viele "
                "Dateien geöffnet sind."},
        TextRow{FileCause::kAccessDenied,
                "Zugriff auf dir/sub/a.gpx wurde verwehrt."},
        TextRow{FileCause::kInvalidFile,
                "Eine ungültige Dateikennung war mit dir/sub/a.gpx verbunden."},
        TextRow{FileCause::kRemoveCurrentDir,
                "Das Verzeichnis dir/sub/a.gpx konnte nicht entfernt werden, "
                "da es das aktuelle Verzeichnis ist. "},
        TextRow{FileCause::kDirectoryFull,
                "dir/sub/a.gpx konnte nicht erstellt werden, da das "
                "Verzeichnis voll ist."},
        TextRow{FileCause::kBadSeek,
                "Positionierungsfehler auf dir/sub/a.gpx."},
        TextRow{FileCause::kHardIO,
                "Ein Hardware-E/A-Fehler wurde während des Zugriffs auf "
                "dir/sub/a.gpx gemeldet."},
        TextRow{FileCause::kSharingViolation,
                "Eine Zugriffsverletzung ist während des Zugriffs auf "
                "dir/sub/a.gpx aufgetreten."},
        TextRow{FileCause::kLockViolation,
                "Eine Sperrverletzung ist während des Zugriffs auf "
                "dir/sub/a.gpx aufgetreten."},
        TextRow{FileCause::kDiskFull,
                "Beim Zugriff auf dir/sub/a.gpx wurde ein voller Datenträger "
                "gemeldet."},
        TextRow{FileCause::kEndOfFile,
                "Es wurde versucht, auf eine Stelle hinter dem Ende von "
                "dir/sub/a.gpx zuzugreifen."}));

TEST(FileError, NamesAnUnnamedFileWhenThereIsNoPath) {
  EXPECT_EQ(FileErrorText(FileCause::kBadSeek, ""),
            "Positionierungsfehler auf eine unbenannte Datei.");
}

TEST(FileError, KeepsCausePathAndOsErrorApart) {
  const FileError error = FileErrorFromErrno(EACCES, "C:\\pq\\a.gpx");
  EXPECT_EQ(error.cause(), FileCause::kAccessDenied);
  EXPECT_EQ(error.path(), "C:\\pq\\a.gpx");
  EXPECT_EQ(error.os_error(), EACCES);
  EXPECT_STREQ(error.what(), "Zugriff auf C:/pq/a.gpx wurde verwehrt.");
  EXPECT_EQ(FileErrorText(error), error.what());
}

}  // namespace
}  // namespace korvelo
