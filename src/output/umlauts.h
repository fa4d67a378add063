// The German letters of a UTF-8 text in the single-byte or the spelled-out
// form that the point files and the text sheets carry.
#ifndef KORVELO_OUTPUT_UMLAUTS_H_
#define KORVELO_OUTPUT_UMLAUTS_H_

#include <string>
#include <string_view>

namespace korvelo {

// UTF-8 German umlauts and sharp s become their single ANSI bytes; with
// `spellOut` those bytes then become "ue", "ae", "oe", "ss", "Ue", "Oe", "Ae".
std::string ConvertUmlauts(std::string_view text, bool spellOut);

}  // namespace korvelo

#endif  // KORVELO_OUTPUT_UMLAUTS_H_
