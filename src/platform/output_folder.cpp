#include "platform/output_folder.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/file_error.h"
#include "platform/files.h"
#include "platform/folders.h"
#include "platform/signal_cleanup.h"

namespace korvelo {
namespace {

// Opens the regular file `name` in `folder` for appending; never follows a
// link and never waits for a FIFO. Throws kInvalidFile naming `path`.
// `length` receives the file's length.
UniqueFd OpenRegularForAppend(int folder, std::string_view name,
                              const std::string& path, off_t& length) {
  UniqueFd file(openat(folder, std::string(name).c_str(),
                       O_WRONLY | O_CREAT | O_APPEND | O_NOFOLLOW | O_NONBLOCK |
                           O_NOCTTY | O_CLOEXEC,
                       0666));
  if (!file.valid()) throw FileError(FileCause::kInvalidFile, path, errno);
  struct stat info;
  if (fstat(file.get(), &info) != 0) {
    throw FileError(FileCause::kInvalidFile, path, errno);
  }
  if (!S_ISREG(info.st_mode)) {
    throw FileError(FileCause::kInvalidFile, path, EINVAL);
  }
  length = info.st_size;
  return file;
}

}  // namespace

OutputFolder::OutputFolder(std::string_view path)
    : path_(WithTrailingBackslash(path)),
      fd_(open(std::string(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)),
      error_(fd_.valid() ? 0 : errno) {}

OutputFolder OutputFolder::Subfolder(std::string_view name) const {
  const std::string child = path_ + std::string(name);
  if (!valid())
    return OutputFolder(WithTrailingBackslash(child), UniqueFd(), error_);
  const std::string native(name);
  mkdirat(fd_.get(), native.c_str(), 0777);  // an existing one is fine
  UniqueFd sub(openat(fd_.get(), native.c_str(),
                      O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
  const int error = sub.valid() ? 0 : errno;
  return OutputFolder(WithTrailingBackslash(child), std::move(sub), error);
}

int64_t OutputFolder::FileSize(std::string_view name) const {
  struct stat info;
  if (!valid() || fstatat(fd_.get(), std::string(name).c_str(), &info,
                          AT_SYMLINK_NOFOLLOW) != 0) {
    return 0;
  }
  return static_cast<int64_t>(info.st_size);
}

AppendFile OutputFolder::OpenForAppend(std::string_view name) const {
  std::string path = path_ + std::string(name);
  if (!valid()) throw FileError(FileCause::kInvalidFile, path, error_);
  off_t length = 0;
  UniqueFd file = OpenRegularForAppend(fd_.get(), name, path, length);
  return AppendFile(std::move(path), std::move(file), length);
}

void AppendFile::Append(std::string_view bytes) {
  const ScopedTruncateOnSignal guard(fd_.get(), length_);
  const int error = WriteAll(fd_.get(), bytes.data(), bytes.size());
  if (error != 0) {
    // Half a sheet would be taken for a whole one by the next run.
    if (ftruncate(fd_.get(), length_) != 0) {
      // Nothing more can be done; the write error below says what failed.
    }
    throw WriteFailure(error, path_);
  }
  length_ += static_cast<off_t>(bytes.size());
}

}  // namespace korvelo
