// Full paths of names given on the command line.
#ifndef KORVELO_PLATFORM_ABSOLUTE_PATH_H_
#define KORVELO_PLATFORM_ABSOLUTE_PATH_H_

#include <string>
#include <string_view>

namespace korvelo {

// True when a file or folder of that name exists.
bool PathExists(std::string_view path);

// `path` (slashes) made absolute against the current directory and
// normalised lexically: repeated slashes, "." and ".." are resolved without
// looking at the file system (symbolic links stay as written), no trailing
// slash but for "/". Relative paths come back unchanged when the current
// directory cannot be read.
std::string AbsolutePath(std::string_view path);

// Lexical normalisation alone, for an absolute or relative path.
std::string NormalisePath(std::string_view path);

}  // namespace korvelo

#endif  // KORVELO_PLATFORM_ABSOLUTE_PATH_H_
