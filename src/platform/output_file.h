// Output files: whole files replaced only when completely written.
#ifndef KORVELO_PLATFORM_OUTPUT_FILE_H_
#define KORVELO_PLATFORM_OUTPUT_FILE_H_

#include <functional>
#include <ostream>
#include <string_view>

namespace korvelo {

// Writes the bytes a stream writer produces; must not keep the stream.
using StreamWriter = std::function<void(std::ostream&)>;

// Lets `write` fill a temporary file beside `path` and renames it over
// `path` once every byte is on disk. The new file keeps the permission bits
// of a regular file it replaces; a symbolic link at `path` is replaced
// itself, never followed. On any failure the temporary file is removed, an
// earlier file at `path` stays as it was, and FileError naming `path` is
// thrown: kAccessDenied (or the cause of the system's reason) when the file
// there could not have been opened for writing (read-only), kInvalidFile
// when the file cannot be created or put in place (a folder of that name),
// the write's own cause (kDiskFull for a short write or a stream that went
// bad). An exception thrown by `write` itself is passed on after the
// clean-up. A stop signal removes the temporary file.
void WriteFileAtomically(std::string_view path, const StreamWriter& write);

// Removes the regular file at `path` (a symbolic link, a folder or anything
// else stays); true when there was one and it is gone.
bool RemoveRegularFile(std::string_view path);

}  // namespace korvelo

#endif  // KORVELO_PLATFORM_OUTPUT_FILE_H_
