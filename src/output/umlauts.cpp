#include "output/umlauts.h"

#include <algorithm>
#include <array>
#include <iterator>

namespace korvelo {

// Both steps of ConvertUmlauts happen in one pass: the ANSI bytes that step
// one makes are never the second byte of a UTF-8 letter, and the spelled
// forms are ASCII, so no replacement makes a text that a later one finds.
std::string ConvertUmlauts(std::string_view text, bool spellOut) {
  struct Letter {
    char utf8_second;  // behind the lead byte C3
    char ansi;
    std::string_view spelled;
  };
  static constexpr Letter kLetters[] = {
      {'\xBC', '\xFC', "ue"}, {'\xA4', '\xE4', "ae"}, {'\xB6', '\xF6', "oe"},
      {'\x9F', '\xDF', "ss"}, {'\x9C', '\xDC', "Ue"}, {'\x96', '\xD6', "Oe"},
      {'\x84', '\xC4', "Ae"}};
  // The bytes a replacement starts at: the UTF-8 lead byte, and with
  // spelling also the ANSI letters.
  static constexpr auto kStarts = [] {
    std::array<std::array<bool, 256>, 2> starts{};
    for (auto& table : starts) table[0xC3] = true;
    for (const Letter& l : kLetters) {
      starts[1][static_cast<unsigned char>(l.ansi)] = true;
    }
    return starts;
  }();
  const std::array<bool, 256>& starts = kStarts[spellOut ? 1 : 0];
  const auto is_start = [&starts](char c) {
    return starts[static_cast<unsigned char>(c)];
  };
  std::string out;
  out.reserve(text.size() + text.size() / 16);
  auto at = text.begin();
  for (auto hit = std::find_if(at, text.end(), is_start); hit != text.end();
       hit = std::find_if(at, text.end(), is_start)) {
    out.append(at, hit);
    at = hit + 1;
    const Letter* letter = std::end(kLetters);
    if (*hit == '\xC3') {
      if (at != text.end()) {
        letter = std::find_if(
            std::begin(kLetters), std::end(kLetters),
            [at](const Letter& l) { return l.utf8_second == *at; });
      }
      if (letter == std::end(kLetters)) {
        out += *hit;
        continue;
      }
      ++at;
    } else {
      letter = std::find_if(std::begin(kLetters), std::end(kLetters),
                            [hit](const Letter& l) { return l.ansi == *hit; });
    }
    if (spellOut) {
      out.append(letter->spelled);
    } else {
      out += letter->ansi;
    }
  }
  out.append(at, text.end());
  return out;
}

}  // namespace korvelo
