// Byte-string helpers shared by the parser, the loader, the run and the
// writers: replacing, trimming, letter case, formatting. Nothing here
// converts character sets.
#ifndef KORVELO_INPUT_TEXT_H_
#define KORVELO_INPUT_TEXT_H_

#include <string>
#include <string_view>

namespace korvelo {

// Every non-overlapping occurrence of `from` replaced by `to`, found in one
// left-to-right pass; inserted text is not searched again. Linear in the size
// of the text. An empty `from` returns the text unchanged.
std::string ReplaceAll(std::string_view text, std::string_view from,
                       std::string_view to);

// ReplaceAll applied to `text` itself; leaves it untouched (no copy) when
// `from` does not occur.
void ReplaceAllIn(std::string& text, std::string_view from,
                  std::string_view to);

// Small letters in the Windows-1252 single-byte mapping, byte by byte: A-Z
// and the accented capitals 0xC0-0xDE (not 0xD7) move up by 0x20, 0x8A, 0x8C
// and 0x8E by 0x10, 0x9F becomes 0xFF; every other byte stays. UTF-8 lead
// bytes are mapped like any other byte.
std::string LowerAnsiText(std::string_view text);

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
