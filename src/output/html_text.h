// Markup taken out of the texts of a listing for its plain-text forms.
#ifndef KORVELO_OUTPUT_HTML_TEXT_H_
#define KORVELO_OUTPUT_HTML_TEXT_H_

#include <string>
#include <string_view>

namespace korvelo {

// Plain text of HTML: three umlaut character references become ANSI bytes,
// "&nbsp;" a blank, "<style>" blocks go, then every tag goes.
std::string HtmlToText(std::string_view text);

// Drops the markers of each "<![CDATA[" ... "]]>" section, keeping what
// stands between them. An unclosed section loses only its opening marker; a
// "]]>" outside any section stays.
std::string DropCdataMarkers(std::string_view text);

}  // namespace korvelo

#endif  // KORVELO_OUTPUT_HTML_TEXT_H_
