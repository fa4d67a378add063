#include "app/terminal_text.h"

namespace korvelo {
namespace {

bool InRange(unsigned char byte, unsigned char low, unsigned char high) {
  return byte >= low && byte <= high;
}

// Length of the well-formed UTF-8 sequence at the start of `text` that is
// printable (no C1 control), or 0.
size_t PrintableSequence(std::string_view text) {
  const auto at = [&](size_t i) {
    return i < text.size() ? static_cast<unsigned char>(text[i]) : 0;
  };
  const unsigned char lead = at(0);
  if (lead >= 0x20 && lead < 0x7F) return 1;
  // The second byte's range depends on the lead (no overlong forms, no
  // surrogates, nothing above U+10FFFF); later bytes are 80-BF.
  size_t length = 0;
  unsigned char low = 0x80, high = 0xBF;
  if (lead == 0xC2) {
    length = 2, low = 0xA0;  // C2 80-9F are the C1 controls
  } else if (InRange(lead, 0xC3, 0xDF)) {
    length = 2;
  } else if (lead == 0xE0) {
    length = 3, low = 0xA0;
  } else if (InRange(lead, 0xE1, 0xEC) || InRange(lead, 0xEE, 0xEF)) {
    length = 3;
  } else if (lead == 0xED) {
    length = 3, high = 0x9F;
  } else if (lead == 0xF0) {
    length = 4, low = 0x90;
  } else if (InRange(lead, 0xF1, 0xF3)) {
    length = 4;
  } else if (lead == 0xF4) {
    length = 4, high = 0x8F;
  } else {
    return 0;
  }
  if (!InRange(at(1), low, high)) return 0;
  for (size_t i = 2; i < length; ++i) {
    if (!InRange(at(i), 0x80, 0xBF)) return 0;
  }
  return length;
}

}  // namespace

std::string TerminalSafe(std::string_view text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string safe;
  safe.reserve(text.size());
  for (size_t at = 0; at < text.size();) {
    const size_t length = PrintableSequence(text.substr(at));
    if (length > 0) {
      safe.append(text.substr(at, length));
      at += length;
      continue;
    }
    const unsigned char byte = static_cast<unsigned char>(text[at++]);
    safe += "\\x";
    safe += kHex[byte >> 4];
    safe += kHex[byte & 0xF];
  }
  return safe;
}

}  // namespace korvelo
