#include "platform/files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/file_error.h"

namespace korvelo {
namespace {

// Closes the descriptor on every way out.
class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0) close(fd_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

}  // namespace

void ReadWholeFile(std::string_view path, std::string& bytes) {
  const std::string native = NativePath(path);
  Descriptor file(open(native.c_str(), O_RDONLY | O_CLOEXEC));
  if (file.get() < 0) throw FileErrorFromErrno(errno, path);

  struct stat info;
  if (fstat(file.get(), &info) != 0) throw FileErrorFromErrno(errno, path);
  if (S_ISDIR(info.st_mode)) throw FileErrorFromErrno(EISDIR, path);

  // The size is only a hint: the file may grow or shrink while it is read.
  bytes.clear();
  bytes.resize(S_ISREG(info.st_mode) ? static_cast<size_t>(info.st_size) : 0);
  size_t filled = 0;
  for (;;) {
    if (filled == bytes.size()) bytes.resize(bytes.size() + 65536);
    const ssize_t got =
        read(file.get(), bytes.data() + filled, bytes.size() - filled);
    if (got < 0) {
      if (errno == EINTR) continue;
      throw FileErrorFromErrno(errno, path);
    }
    if (got == 0) break;
    filled += static_cast<size_t>(got);
  }
  bytes.resize(filled);
}

}  // namespace korvelo
