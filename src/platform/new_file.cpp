#include "platform/new_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "platform/file_error.h"

namespace korvelo {

NewFile::NewFile(std::string_view path)
    : path_(path),
      fd_(open(NativePath(path).c_str(),
               O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0600)) {
  if (fd_ < 0) throw FileErrorFromErrno(errno, path_);
}

NewFile::~NewFile() {
  if (fd_ >= 0) close(fd_);
}

void NewFile::Write(const void* data, size_t size) {
  const char* bytes = static_cast<const char*>(data);
  while (size > 0) {
    const ssize_t written = write(fd_, bytes, size);
    if (written < 0) {
      if (errno == EINTR) continue;
      throw FileErrorFromErrno(errno, path_);
    }
    bytes += written;
    size -= static_cast<size_t>(written);
  }
}

void NewFile::Close() {
  const int fd = fd_;
  fd_ = -1;
  if (fd >= 0 && close(fd) != 0) throw FileErrorFromErrno(errno, path_);
}

void NewFile::Discard() {
  if (fd_ >= 0) close(fd_);
  fd_ = -1;
  unlink(NativePath(path_).c_str());
}

}  // namespace korvelo
