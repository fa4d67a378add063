// InputFile: an input file read piece by piece, so that no input is ever
// held whole in memory.
#ifndef KORVELO_PLATFORM_INPUT_FILE_H_
#define KORVELO_PLATFORM_INPUT_FILE_H_

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/unique_fd.h"

namespace korvelo {

class InputFile {
 public:
  // Opens the regular file at `path` (see OpenFileForReading); throws
  // FileError naming the path.
  explicit InputFile(std::string_view path);

  // Reads up to `size` bytes into `data`; 0 at the end of the file. Throws
  // FileError naming the path when the file cannot be read.
  size_t Read(char* data, size_t size);

 private:
  std::string path_;
  UniqueFd file_;
};

}  // namespace korvelo

#endif  // KORVELO_PLATFORM_INPUT_FILE_H_
