#include "platform/input_file.h"

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

}  // namespace korvelo
