#include "platform/file_error.h"

#include <cerrno>

namespace korvelo {
namespace {

struct CauseText {
  FileCause cause;
  const char* text;
};

// One text per cause, exactly as the program has always shown them.
constexpr CauseText kCauseTexts[] = {
    {FileCause::kNone, "Kein Fehler aufgetreten."},
    {FileCause::kGeneric,
     "Ein unbekannter Fehler ist beim Zugriff auf %1 aufgetreten."},
    {FileCause::kFileNotFound, "%1 wurde nicht gefunden."},
    {FileCause::kBadPath, "%1 enthält eine ungültige Pfadangabe."},
    {FileCause::kTooManyOpenFiles,
     "%1 konnte nicht geöffnet werden, da zu viele Dateien geöffnet sind."},
    {FileCause::kAccessDenied, "Zugriff auf %1 wurde verwehrt."},
    {FileCause::kInvalidFile,
     "Eine ungültige Dateikennung war mit %1 verbunden."},
    {FileCause::kRemoveCurrentDir,
     "Das Verzeichnis %1 konnte nicht entfernt werden, da es das aktuelle "
     "Verzeichnis ist. "},
    {FileCause::kDirectoryFull,
     "%1 konnte nicht erstellt werden, da das Verzeichnis voll ist."},
    {FileCause::kBadSeek, "Positionierungsfehler auf %1."},
    {FileCause::kHardIO,
     "Ein Hardware-E/A-Fehler wurde während des Zugriffs auf %1 gemeldet."},
    {FileCause::kSharingViolation,
     "Eine Zugriffsverletzung ist während des Zugriffs auf %1 aufgetreten."},
    {FileCause::kLockViolation,
     "Eine Sperrverletzung ist während des Zugriffs auf %1 aufgetreten."},
    {FileCause::kDiskFull,
     "Beim Zugriff auf %1 wurde ein voller Datenträger gemeldet."},
    {FileCause::kEndOfFile,
     "Es wurde versucht, auf eine Stelle hinter dem Ende von %1 "
     "zuzugreifen."},
};

struct ErrnoCause {
  int error;
  FileCause cause;
};

// How each errno value reads to the user; any other value is the generic
// cause.
constexpr ErrnoCause kErrnoCauses[] = {
    {0, FileCause::kNone},
    {ENOENT, FileCause::kFileNotFound},
    {EACCES, FileCause::kAccessDenied},
    {EPERM, FileCause::kAccessDenied},
    {EROFS, FileCause::kAccessDenied},
    {EISDIR, FileCause::kAccessDenied},
    {ENAMETOOLONG, FileCause::kBadPath},
    {ENOTDIR, FileCause::kBadPath},
    {ELOOP, FileCause::kBadPath},
    {EINVAL, FileCause::kBadPath},
    {EMFILE, FileCause::kTooManyOpenFiles},
    {ENFILE, FileCause::kTooManyOpenFiles},
    {EBADF, FileCause::kInvalidFile},
    {EBUSY, FileCause::kRemoveCurrentDir},
    {EMLINK, FileCause::kDirectoryFull},
    {ESPIPE, FileCause::kBadSeek},
    {EOVERFLOW, FileCause::kBadSeek},
    {EIO, FileCause::kHardIO},
    {ENXIO, FileCause::kHardIO},
    {ENODEV, FileCause::kHardIO},
    {ETXTBSY, FileCause::kSharingViolation},
    {EDEADLK, FileCause::kLockViolation},
    {ENOLCK, FileCause::kLockViolation},
    {EAGAIN, FileCause::kLockViolation},
    {ENOSPC, FileCause::kDiskFull},
    {EDQUOT, FileCause::kDiskFull},
    {EFBIG, FileCause::kDiskFull},
};

std::string BuildMessage(FileCause cause, std::string_view path) {
  return FileErrorText(cause, path);
}

}  // namespace

FileError::FileError(FileCause cause, std::string path, int os_error)
    : std::runtime_error(BuildMessage(cause, path)),
      cause_(cause),
      path_(std::move(path)),
      os_error_(os_error) {}

FileCause CauseFromErrno(int error) {
  for (const ErrnoCause& row : kErrnoCauses) {
    if (row.error == error) return row.cause;
  }
  return FileCause::kGeneric;
}

FileError FileErrorFromErrno(int error, std::string_view path) {
  return FileError(CauseFromErrno(error), std::string(path), error);
}

FileError WriteFailure(int error, std::string_view path) {
  const FileCause cause = error > 0 ? CauseFromErrno(error) : FileCause::kNone;
  const bool has_reason =
      cause != FileCause::kGeneric && cause != FileCause::kNone;
  return FileError(has_reason ? cause : FileCause::kDiskFull, std::string(path),
                   error > 0 ? error : 0);
}

std::string FileErrorText(FileCause cause, std::string_view path) {
  std::string text =
      "Ein unbekannter Fehler ist beim Zugriff auf %1 aufgetreten.";
  for (const CauseText& row : kCauseTexts) {
    if (row.cause == cause) text = row.text;
  }
  const std::string subject =
      path.empty() ? std::string("eine unbenannte Datei") : std::string(path);
  const size_t at = text.find("%1");
  if (at != std::string::npos) text.replace(at, 2, subject);
  return text;
}

std::string FileErrorText(const FileError& error) {
  return FileErrorText(error.cause(), error.path());
}

}  // namespace korvelo
