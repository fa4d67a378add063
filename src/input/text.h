// Text helpers shared by the parser, the loader, the run and the writers.
// Texts are byte strings; nothing here converts character sets except
// ConvertUmlauts, and only for the seven German letters.
#ifndef KORVELO_INPUT_TEXT_H_
#define KORVELO_INPUT_TEXT_H_

#include <span>
#include <string>
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

// Every non-overlapping occurrence of `from` replaced by `to`, found in one
// left-to-right pass; inserted text is not searched again. Linear in the size
// of the text. An empty `from` returns the text unchanged.
std::string ReplaceAll(std::string_view text, std::string_view from,
                       std::string_view to);

// ReplaceAll applied to `text` itself; leaves it untouched (no copy) when
// `from` does not occur.
void ReplaceAllIn(std::string& text, std::string_view from,
                  std::string_view to);

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

// Plain text of HTML: three umlaut character references become ANSI bytes,
// "&nbsp;" a blank, "<style>" blocks go, then every tag goes.
std::string HtmlToText(std::string_view text);

// UTF-8 German umlauts and sharp s become their single ANSI bytes; with
// `spellOut` those bytes then become "ue", "ae", "oe", "ss", "Ue", "Oe", "Ae".
std::string ConvertUmlauts(std::string_view text, bool spellOut);

// Small letters in the Windows-1252 single-byte mapping, byte by byte: A-Z
// and the accented capitals 0xC0-0xDE (not 0xD7) move up by 0x20, 0x8A, 0x8C
// and 0x8E by 0x10, 0x9F becomes 0xFF; every other byte stays. UTF-8 lead
// bytes are mapped like any other byte.
std::string LowerAnsiText(std::string_view text);

// Drops the markers of each "<![CDATA[" ... "]]>" section, keeping what
// stands between them. An unclosed section loses only its opening marker; a
// "]]>" outside any section stays.
std::string DropCdataMarkers(std::string_view text);

// A-Z become a-z (AsciiUpper: a-z become A-Z), every other byte stays.
// Independent of the locale, which the window sets to the user's: there
// std::tolower may fold bytes above 127 or, in a Turkish locale, turn "I"
// into a dotless i.
constexpr char AsciiLower(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}
constexpr char AsciiUpper(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// Blank, TAB, LF, VT, FF and CR.
inline constexpr std::string_view kWhiteSpace = " \t\n\v\f\r";

// `text` without the bytes of `blanks` at both ends, as a view into it.
std::string_view Trim(std::string_view text,
                      std::string_view blanks = kWhiteSpace);

// True when both texts are equal with ASCII letters compared in any case.
bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b);

// printf-style formatting into a buffer as large as the result needs.
// The format must be a literal of the program, never user text.
std::string FormatText(const char* format, ...)
    __attribute__((format(printf, 1, 2)));

}  // namespace korvelo

#endif  // KORVELO_INPUT_TEXT_H_
