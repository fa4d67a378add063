// FileError: the one exception for file-system failures, with its cause, the
// path it concerns (when known) and the operating system's error code.
#ifndef KORVELO_PLATFORM_FILE_ERROR_H_
#define KORVELO_PLATFORM_FILE_ERROR_H_

#include <stdexcept>
#include <string>
#include <string_view>

namespace korvelo {

// The causes a file error can carry; each has one German user text.
enum class FileCause {
  kNone,
  kGeneric,
  kFileNotFound,
  kBadPath,
  kTooManyOpenFiles,
  kAccessDenied,
  kInvalidFile,
  kRemoveCurrentDir,
  kDirectoryFull,
  kBadSeek,
  kHardIO,
  kSharingViolation,
  kLockViolation,
  kDiskFull,
  kEndOfFile,
};

class FileError : public std::runtime_error {
 public:
  // `path` is the path as the program used it, or empty when the failing
  // operation had none.
  FileError(FileCause cause, std::string path, int os_error);

  FileCause cause() const { return cause_; }
  const std::string& path() const { return path_; }
  int os_error() const { return os_error_; }

 private:
  FileCause cause_;
  std::string path_;
  int os_error_;
};

// The only place that maps an errno value to a cause.
FileCause CauseFromErrno(int error);

// A FileError for `error` (an errno value) concerning `path`.
FileError FileErrorFromErrno(int error, std::string_view path);

// A FileError for a failed write of `path`. A write that failed without an
// OS reason of its own (`error` 0 or less, as for a stream that went bad, or
// an errno with only the generic cause) was cut short by a full disk.
FileError WriteFailure(int error, std::string_view path);

// The user text of a cause: "%1" replaced by the path as it is, or by
// "eine unbenannte Datei" when the error has no path. UTF-8.
std::string FileErrorText(FileCause cause, std::string_view path);
std::string FileErrorText(const FileError& error);

}  // namespace korvelo

#endif  // KORVELO_PLATFORM_FILE_ERROR_H_
