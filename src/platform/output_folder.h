// OutputFolder: a folder that files are appended to and subfolders created
// in, reached without following any symbolic link planted inside it.
#ifndef KORVELO_PLATFORM_OUTPUT_FOLDER_H_
#define KORVELO_PLATFORM_OUTPUT_FOLDER_H_

#include <sys/types.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/unique_fd.h"

namespace korvelo {

class AppendFile;

// Everything below the folder is reached relative to its open descriptor,
// so a link, FIFO or device planted at a subfolder or file name (say by
// another user of a shared folder) is refused instead of followed.
class OutputFolder {
 public:
  // Opens the folder `path` itself (links within `path` are the user's own
  // choice and are followed). valid() tells whether that worked.
  explicit OutputFolder(std::string_view path);

  bool valid() const { return fd_.valid(); }
  // The folder's path, ending in "/" (for error texts).
  const std::string& path() const { return path_; }

  // The subfolder `name`, created first when missing. Invalid when the
  // folder itself is, or when `name` cannot be created or is anything but a
  // real folder (a symbolic link to one included).
  OutputFolder Subfolder(std::string_view name) const;

  // Size of the entry `name` as the folder lists it (a link is not
  // followed); 0 when it does not exist or cannot be looked at.
  int64_t FileSize(std::string_view name) const;

  // The regular file `name`, created when missing, held open for a series
  // of appends. Throws FileError naming path() + name, kInvalidFile with the
  // system's code, when it cannot be opened or is no regular file (a link,
  // a FIFO, a device).
  AppendFile OpenForAppend(std::string_view name) const;

 private:
  OutputFolder(std::string path, UniqueFd fd, int error)
      : path_(std::move(path)), fd_(std::move(fd)), error_(error) {}

  std::string path_;
  UniqueFd fd_;
  int error_ = 0;  // why the folder could not be opened
};

// A regular file below an OutputFolder, open for appending.
class AppendFile {
 public:
  // Appends `bytes`. Throws FileError naming the file with the write's
  // cause (kDiskFull for a short write); the file is then cut back to its
  // length before this call, so no partial text stays behind.
  void Append(std::string_view bytes);
  // The file's length as this descriptor has seen and grown it.
  int64_t size() const { return length_; }

 private:
  friend class OutputFolder;
  AppendFile(std::string path, UniqueFd fd, off_t length)
      : path_(std::move(path)), fd_(std::move(fd)), length_(length) {}

  std::string path_;
  UniqueFd fd_;
  off_t length_;
};

}  // namespace korvelo

#endif  // KORVELO_PLATFORM_OUTPUT_FOLDER_H_
