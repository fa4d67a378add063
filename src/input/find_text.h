// FindText: the substring search of the parser and the waypoint cut.
#ifndef KORVELO_INPUT_FIND_TEXT_H_
#define KORVELO_INPUT_FIND_TEXT_H_

#include <cstddef>
#include <string_view>

namespace korvelo {

// Position of the first `pattern` at or after `from` in `text`, or npos.
// Unlike std::string_view::find, which stops at every occurrence of the
// pattern's first byte, it tests many positions at once: much faster for
// patterns whose first byte is common in the text.
// On processors with AVX2 (chosen at run time) it tests thirty-two
// positions at once.
size_t FindText(std::string_view text, std::string_view pattern,
                size_t from = 0);
// FindText in the form chosen where AVX2 is missing, on any processor.
size_t FindTextNarrow(std::string_view text, std::string_view pattern,
                      size_t from = 0);

}  // namespace korvelo

#endif  // KORVELO_INPUT_FIND_TEXT_H_
