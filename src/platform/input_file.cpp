#include "platform/input_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/file_error.h"
#include "platform/files.h"

namespace korvelo {

InputFile::InputFile(std::string_view path)
    : path_(path), file_(OpenFileForReading(path)) {}

size_t InputFile::Read(char* data, size_t size) {
  for (;;) {
    const ssize_t got = ::read(file_.get(), data, size);
    if (got >= 0) return static_cast<size_t>(got);
    if (errno != EINTR) throw FileErrorFromErrno(errno, path_);
  }
}

size_t InputFile::ReadAt(uint64_t offset, char* data, size_t size) {
  size_t done = 0;
  while (done < size) {
    const ssize_t got = ::pread(file_.get(), data + done, size - done,
                                static_cast<off_t>(offset + done));
    if (got == 0) break;
    if (got > 0) {
      done += static_cast<size_t>(got);
    } else if (errno != EINTR) {
      throw FileErrorFromErrno(errno, path_);
    }
  }
  return done;
}

FileStamp InputFile::Stamp() const {
  struct stat info;
  if (fstat(file_.get(), &info) != 0) throw FileErrorFromErrno(errno, path_);
  return {static_cast<uint64_t>(info.st_dev),
          static_cast<uint64_t>(info.st_ino),
          static_cast<uint64_t>(info.st_size),
          int64_t{info.st_mtim.tv_sec} * 1000000000 + info.st_mtim.tv_nsec};
}

}  // namespace korvelo
