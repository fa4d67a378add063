#include "platform/files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/file_error.h"

namespace korvelo {

int UniqueFd::Close() {
  const int fd = Release();
  if (fd < 0 || ::close(fd) == 0 || errno == EINTR) return 0;
  return errno;
}

std::optional<FileIdentity> IdentityOf(std::string_view path) {
  struct stat info;
  if (stat(std::string(path).c_str(), &info) != 0) return std::nullopt;
  return FileIdentity{static_cast<uint64_t>(info.st_dev),
                      static_cast<uint64_t>(info.st_ino)};
}

UniqueFd OpenFileForReading(std::string_view path) {
  // O_NONBLOCK keeps the open of a FIFO without a writer from waiting
  // forever; it is cleared again once the file turned out to be regular.
  UniqueFd file(open(std::string(path).c_str(),
                     O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
  if (!file.valid()) throw FileErrorFromErrno(errno, path);
  struct stat info;
  if (fstat(file.get(), &info) != 0) throw FileErrorFromErrno(errno, path);
  if (!S_ISREG(info.st_mode)) {
    throw FileError(FileCause::kAccessDenied, std::string(path),
                    S_ISDIR(info.st_mode) ? EISDIR : EACCES);
  }
  const int flags = fcntl(file.get(), F_GETFL);
  if (flags < 0 || fcntl(file.get(), F_SETFL, flags & ~O_NONBLOCK) != 0) {
    throw FileErrorFromErrno(errno, path);
  }
  return file;
}

void ReadWholeFile(std::string_view path, std::string& bytes) {
  const UniqueFd file = OpenFileForReading(path);
  struct stat info;
  if (fstat(file.get(), &info) != 0) throw FileErrorFromErrno(errno, path);

  // The size is only a hint: the file may grow or shrink while it is read.
  // Reading stops at the end that the size announces, where a small probe
  // tells whether more came; only then does the buffer grow (growing it to
  // probe would double and copy it for every file).
  bytes.clear();
  bytes.resize(static_cast<size_t>(info.st_size));
  size_t filled = 0;
  char probe[4096];
  for (;;) {
    const bool full = filled == bytes.size();
    char* const into = full ? probe : bytes.data() + filled;
    const ssize_t got =
        read(file.get(), into, full ? sizeof probe : bytes.size() - filled);
    if (got < 0) {
      if (errno == EINTR) continue;
      throw FileErrorFromErrno(errno, path);
    }
    if (got == 0) break;
    if (full) bytes.append(probe, static_cast<size_t>(got));
    filled += static_cast<size_t>(got);
  }
  bytes.resize(filled);
}

int WriteAll(int fd, const void* data, size_t size) {
  const char* bytes = static_cast<const char*>(data);
  while (size > 0) {
    const ssize_t done = ::write(fd, bytes, size);
    if (done < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    if (done == 0) return ENOSPC;
    bytes += done;
    size -= static_cast<size_t>(done);
  }
  return 0;
}

}  // namespace korvelo
