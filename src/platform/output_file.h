// Output files: whole files replaced only when completely written, and text
// appended in place.
#ifndef KORVELO_PLATFORM_OUTPUT_FILE_H_
#define KORVELO_PLATFORM_OUTPUT_FILE_H_

#include <functional>
#include <ostream>
#include <string_view>

namespace korvelo {

// Writes the bytes a stream writer produces; must not keep the stream.
using StreamWriter = std::function<void(std::ostream&)>;

// Lets `write` fill a temporary file beside `path` (engine form) and renames
// it over `path` once every byte is on disk. On any failure the temporary
// file is removed, an earlier file at `path` stays as it was, and FileError
// naming `path` is thrown: kInvalidFile when the file cannot be created or
// put in place (a folder of that name), the
// write's own cause (kDiskFull for a short write or a stream that went bad).
// An exception thrown by `write` itself is passed on after the clean-up.
void WriteFileAtomically(std::string_view path, const StreamWriter& write);

// Appends `bytes` to the file at `path`, creating it when missing. Throws
// FileError naming `path`: kInvalidFile when the file cannot be opened, the
// write's cause (kDiskFull for a short write) when it cannot be written; the
// file may then hold part of `bytes`.
void AppendToFile(std::string_view path, std::string_view bytes);

}  // namespace korvelo

#endif  // KORVELO_PLATFORM_OUTPUT_FILE_H_
