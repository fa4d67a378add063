// The plain-text form of a cache description, for the text sheets.
#ifndef KORVELO_OUTPUT_TEXT_DESCRIPTION_H_
#define KORVELO_OUTPUT_TEXT_DESCRIPTION_H_

#include <string>
#include <string_view>

namespace korvelo {

// The description as plain text: line breaks normalised, entities and
// breaks decoded, links marked "[[" "]]", tags stripped, umlauts spelled.
std::string TextDescription(std::string_view raw_description);

}  // namespace korvelo

#endif  // KORVELO_OUTPUT_TEXT_DESCRIPTION_H_
