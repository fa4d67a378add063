#include "platform/new_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "platform/file_error.h"
#include "platform/files.h"

namespace korvelo {

NewFile::NewFile(std::string_view path)
    : path_(path),
      fd_(open(std::string(path).c_str(),
               O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0600)) {
  if (!fd_.valid()) throw FileErrorFromErrno(errno, path_);
}

NewFile::~NewFile() = default;

void NewFile::Write(const void* data, size_t size) {
  const int error = WriteAll(fd_.get(), data, size);
  if (error != 0) throw FileErrorFromErrno(error, path_);
}

void NewFile::Close() {
  const int error = fd_.Close();
  if (error != 0) throw FileErrorFromErrno(error, path_);
}

void NewFile::Discard() {
  fd_.Reset();
  unlink(std::string(path_).c_str());
}

}  // namespace korvelo
