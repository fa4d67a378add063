// Whether a standard stream is a terminal, which decides what the command
// line prints there.
#ifndef KORVELO_PLATFORM_TERMINAL_H_
#define KORVELO_PLATFORM_TERMINAL_H_

#include <cstdio>

namespace korvelo {

// True when `stream` writes to a terminal (not a file, pipe or /dev/null).
bool IsTerminal(std::FILE* stream);

}  // namespace korvelo

#endif  // KORVELO_PLATFORM_TERMINAL_H_
