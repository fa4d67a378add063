// NewFile: a file created (or replaced) and written piece by piece, for
// unpacking archive entries without holding them in memory.
#ifndef KORVELO_PLATFORM_NEW_FILE_H_
#define KORVELO_PLATFORM_NEW_FILE_H_

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/unique_fd.h"

namespace korvelo {

class NewFile {
 public:
  // Creates the file at `path`, emptying an existing one; a
  // symbolic link at that path is refused. Throws FileError naming the path.
  explicit NewFile(std::string_view path);
  // Closes the file if still open; errors are ignored here.
  ~NewFile();
  NewFile(const NewFile&) = delete;
  NewFile& operator=(const NewFile&) = delete;

  // Appends the bytes; throws FileError naming the path.
  void Write(const void* data, size_t size);
  // Closes the file; throws FileError when the last bytes cannot be stored.
  void Close();
  // Closes and deletes the file (for a write that turned out incomplete).
  void Discard();

 private:
  std::string path_;
  UniqueFd fd_;
};

}  // namespace korvelo

#endif  // KORVELO_PLATFORM_NEW_FILE_H_
