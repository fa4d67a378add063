// Path texts as the engine builds them. The separator is "/"; a backslash
// is an ordinary byte of a Linux file name and is never taken for one.
#ifndef KORVELO_INPUT_PATHS_H_
#define KORVELO_INPUT_PATHS_H_

#include <string>
#include <string_view>

#include "platform/folders.h"  // WithTrailingBackslash

namespace korvelo {

// Text after the last "/" up to the first "." after it; a path with no
// separator is returned whole, extension included.
std::string BaseName(std::string_view path);

// Text before the last "/"; the whole path when there is none.
std::string FolderOf(std::string_view path);

}  // namespace korvelo

#endif  // KORVELO_INPUT_PATHS_H_
