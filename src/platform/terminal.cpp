#include "platform/terminal.h"

#include <unistd.h>

namespace korvelo {

bool IsTerminal(std::FILE* stream) { return isatty(fileno(stream)) != 0; }

}  // namespace korvelo
