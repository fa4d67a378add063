// Texts made safe for a strict XML reader, and texts read back out of the
// XML content of a GPX element.
#ifndef KORVELO_OUTPUT_XML_TEXT_H_
#define KORVELO_OUTPUT_XML_TEXT_H_

#include <string>
#include <string_view>

namespace korvelo {

// Appends `text` as XML character data: "&", "<" and ">" escaped, every
// byte sequence that is not well-formed UTF-8 and every character XML 1.0
// does not allow (C0 controls other than TAB, LF and CR, U+FFFE, U+FFFF)
// replaced by U+FFFD. With `attribute` a double quote is escaped too.
void AppendXmlText(std::string& out, std::string_view text,
                   bool attribute = false);

// The text with "&", "<", ">", double and single quotes escaped and every
// other byte kept, for texts that stand beside bytes copied as they are.
std::string EscapeXml(std::string_view text);

// Appends `text` as one CDATA section with the same replacements, each
// "]]>" inside split across two sections so that it cannot end the first.
void AppendXmlCdata(std::string& out, std::string_view text);

// The text that the XML content `content` of a GPX element stands for:
// character and the five predefined entity references resolved, CDATA
// sections unwrapped. Anything else (an unknown or unterminated reference,
// a stray "]]>") stays as it is, so nothing the owner wrote is lost.
std::string DecodeXmlContent(std::string_view content);
// The same text appended to `out`.
void AppendDecodedXmlContent(std::string& out, std::string_view content);

}  // namespace korvelo

#endif  // KORVELO_OUTPUT_XML_TEXT_H_
