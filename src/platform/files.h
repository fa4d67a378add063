// Whole-file reading: the one place input files are read from the OS.
#ifndef KORVELO_PLATFORM_FILES_H_
#define KORVELO_PLATFORM_FILES_H_

#include <string>
#include <string_view>

namespace korvelo {

// Reads every byte of the file at `path` (engine form; backslashes become
// slashes) into `bytes`, replacing its content. Throws FileError naming the
// path when the file cannot be opened or read (a folder counts as access
// denied). `bytes` is unspecified after a throw.
void ReadWholeFile(std::string_view path, std::string& bytes);

}  // namespace korvelo

#endif  // KORVELO_PLATFORM_FILES_H_
