// Reading elements out of a waypoint's text by their tags, without parsing
// the XML: the first start tag with a given prefix and the text up to its end
// tag.
#ifndef KORVELO_INPUT_ELEMENTS_H_
#define KORVELO_INPUT_ELEMENTS_H_

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

namespace korvelo {

// Inner text of the first element whose start tag begins with "<" + tag
// (a prefix match: "url" also matches "<urlname>"), up to the first
// "</" + tag + ">", trimmed of blanks, TAB, LF, VT, FF and CR at both ends.
// Empty when the start tag, its ">" or the end tag is missing.
std::string ExtractElement(std::string_view text, std::string_view tag);

// ExtractElement for a start tag already found: `start` is the position of
// the first "<" + tag in `text`, or npos when there is none.
std::string ExtractElementAt(std::string_view text, std::string_view tag,
                             size_t start);
// The same as a view into `text`, without a copy.
std::string_view ElementTextAt(std::string_view text, std::string_view tag,
                               size_t start);

// For each of `tags`, the position of the first "<" + tag in `text` (a
// prefix match, as in ExtractElement), or npos; found in one pass over the
// text's "<" instead of one search per tag.
void FindFirstTags(std::string_view text,
                   std::span<const std::string_view> tags,
                   std::span<size_t> starts);

}  // namespace korvelo

#endif  // KORVELO_INPUT_ELEMENTS_H_
