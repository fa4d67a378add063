// Reading input files and writing to descriptors: the one place input files
// are opened from the OS.
#ifndef KORVELO_PLATFORM_FILES_H_
#define KORVELO_PLATFORM_FILES_H_

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/unique_fd.h"

namespace korvelo {

// Opens the file at `path` for reading, only when it is a regular file: a
// FIFO never blocks the open, and FIFOs, devices, sockets and folders are
// refused with kAccessDenied naming the path, so that nothing endless or
// blocking is ever read as a file. Throws FileError naming the path.
UniqueFd OpenFileForReading(std::string_view path);

// Reads every byte of the file at `path` into `bytes`, replacing its
// content. Throws FileError naming the path when the file cannot be opened
// (see OpenFileForReading) or read. `bytes` is unspecified after a throw.
void ReadWholeFile(std::string_view path, std::string& bytes);

// What tells one file from another, whatever path leads to it.
struct FileIdentity {
  uint64_t device = 0;
  uint64_t inode = 0;
  bool operator==(const FileIdentity&) const = default;
};

// The identity of the file that `path` leads to (symbolic links followed),
// or nothing when there is none.
std::optional<FileIdentity> IdentityOf(std::string_view path);

// Writes all `size` bytes to `fd`, retrying after signals; 0 or the errno of
// the failure. A write that stores nothing without a reason counts as ENOSPC.
int WriteAll(int fd, const void* data, size_t size);

}  // namespace korvelo

#endif  // KORVELO_PLATFORM_FILES_H_
