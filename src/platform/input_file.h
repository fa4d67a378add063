// InputFile: an input file read piece by piece, so that no input is ever
// held whole in memory.
#ifndef KORVELO_PLATFORM_INPUT_FILE_H_
#define KORVELO_PLATFORM_INPUT_FILE_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/unique_fd.h"

namespace korvelo {

// What tells one state of a file from another: which file it is, its size
// and when it was last written.
struct FileStamp {
  uint64_t device = 0;
  uint64_t inode = 0;
  uint64_t size = 0;
  int64_t modified_ns = 0;
  bool operator==(const FileStamp&) const = default;
};

class InputFile {
 public:
  // Opens the regular file at `path` (see OpenFileForReading); throws
  // FileError naming the path.
  explicit InputFile(std::string_view path);

  // Reads up to `size` bytes into `data`; 0 at the end of the file. Throws
  // FileError naming the path when the file cannot be read.
  size_t Read(char* data, size_t size);

  // Reads up to `size` bytes from `offset` into `data`, fewer only where the
  // file ends; does not move the position Read reads from. Throws FileError
  // naming the path.
  size_t ReadAt(uint64_t offset, char* data, size_t size);

  // The file's stamp now. Throws FileError naming the path.
  FileStamp Stamp() const;

  const std::string& path() const { return path_; }

 private:
  std::string path_;
  UniqueFd file_;
};

}  // namespace korvelo

#endif  // KORVELO_PLATFORM_INPUT_FILE_H_
