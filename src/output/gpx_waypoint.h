// The edits the GPX for devices makes to a waypoint's original text: the
// coordinates of a moved cache and the symbol of a found one. Everything
// else of the text is copied byte for byte.
#ifndef KORVELO_OUTPUT_GPX_WAYPOINT_H_
#define KORVELO_OUTPUT_GPX_WAYPOINT_H_

#include <cstddef>
#include <string>
#include <string_view>

namespace korvelo {

// Where the value of attribute `name` stands in the start tag at the front
// of `wpt` (up to its first ">"): a whole attribute name, "=" with optional
// blanks around it, then a value in double or single quotes.
struct AttributeValue {
  bool found = false;
  size_t begin = 0;  // first byte of the value, behind its quote
  size_t size = 0;
};
AttributeValue FindStartTagAttribute(std::string_view wpt,
                                     std::string_view name);

// The value of `name` in the start tag as written (entities undecoded);
// empty when the attribute is missing.
std::string_view StartTagAttribute(std::string_view wpt, std::string_view name);

// `wpt` (the text up to, not including, "</wpt>") for a cache moved to
// `lat`, `lon`: both attribute values replaced (an attribute that is
// missing is added behind "<wpt"), and the values the text had put into a
// GSAK extension element, which stands in front of the white space that
// precedes the end tag. A text with a GSAK extension of its own gets them
// inside that one, and keeps it as it is where it holds the coordinates
// before a correction already.
std::string MovedWaypoint(std::string_view wpt, std::string_view lat,
                          std::string_view lon);

// Every "<sym>Geocache</sym>" as "<sym>Geocache Found</sym>".
std::string FoundWaypoint(std::string_view wpt);

}  // namespace korvelo

#endif  // KORVELO_OUTPUT_GPX_WAYPOINT_H_
