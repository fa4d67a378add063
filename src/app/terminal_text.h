// Text made safe for a terminal: names from archives and folders must not
// be able to send escape sequences (a title change, a cleared screen).
#ifndef KORVELO_APP_TERMINAL_TEXT_H_
#define KORVELO_APP_TERMINAL_TEXT_H_

#include <string>
#include <string_view>

namespace korvelo {

// `text` with every control byte (0x00-0x1F, 0x7F), every C1 control
// (U+0080-U+009F) and every byte that is not part of valid UTF-8 written as
// "\xHH" (each byte of it); all other text, UTF-8 letters included, stays.
std::string TerminalSafe(std::string_view text);

}  // namespace korvelo

#endif  // KORVELO_APP_TERMINAL_TEXT_H_
