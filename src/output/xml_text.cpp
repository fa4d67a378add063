#include "output/xml_text.h"

#include <array>
#include <cstdint>

namespace korvelo {
namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD

enum class Form { kText, kAttribute, kCdata };

// The entity that stands for `c` in XML text and attributes, or "".
std::string_view EntityFor(char c) {
  switch (c) {
    case '&':
      return "&amp;";
    case '<':
      return "&lt;";
    case '>':
      return "&gt;";
    case '"':
      return "&quot;";
    case '\'':
      return "&apos;";
    default:
      return {};
  }
}

// Bytes that end a run copied as it is.
constexpr std::array<bool, 256> SpecialBytes(Form form) {
  std::array<bool, 256> special{};
  for (int c = 0; c < 0x20; ++c) special[c] = true;
  for (int c = 0x80; c < 0x100; ++c) special[c] = true;
  special['>'] = true;
  special['&'] = special['<'] = form != Form::kCdata;
  special['"'] = form == Form::kAttribute;
  return special;
}
constexpr std::array<bool, 256> kSpecial[] = {SpecialBytes(Form::kText),
                                              SpecialBytes(Form::kAttribute),
                                              SpecialBytes(Form::kCdata)};

// Length of the well-formed UTF-8 sequence of an allowed character at the
// start of `text` (which starts with a byte of 0x80 or above), or 0.
size_t ValidSequence(std::string_view text) {
  const auto byte = [&](size_t i) { return static_cast<uint8_t>(text[i]); };
  const uint8_t lead = byte(0);
  size_t length = 0;
  uint32_t code = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2, code = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3, code = lead & 0x0F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4, code = lead & 0x07;
  } else {
    return 0;
  }
  if (text.size() < length) return 0;
  for (size_t i = 1; i < length; ++i) {
    if ((byte(i) & 0xC0) != 0x80) return 0;
    code = code << 6 | (byte(i) & 0x3F);
  }
  const bool overlong =
      (length == 3 && code < 0x800) || (length == 4 && code < 0x10000);
  const bool surrogate = code >= 0xD800 && code <= 0xDFFF;
  if (overlong || surrogate || code > 0x10FFFF || code == 0xFFFE ||
      code == 0xFFFF) {
    return 0;
  }
  return length;
}

void AppendUtf8(std::string& out, uint32_t code) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | code >> 6);
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    out += static_cast<char>(0xE0 | code >> 12);
    out += static_cast<char>(0x80 | (code >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | code >> 18);
    out += static_cast<char>(0x80 | (code >> 12 & 0x3F));
    out += static_cast<char>(0x80 | (code >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

// The code point of a character reference body ("#38", "#x26"), or -1.
int64_t CharacterReference(std::string_view body) {
  if (body.size() < 2 || body[0] != '#') return -1;
  const bool hex = body[1] == 'x';
  const std::string_view digits = body.substr(hex ? 2 : 1);
  if (digits.empty() || digits.size() > 8) return -1;
  int64_t code = 0;
  for (const char c : digits) {
    int digit = -1;
    if (c >= '0' && c <= '9') digit = c - '0';
    if (hex && c >= 'a' && c <= 'f') digit = c - 'a' + 10;
    if (hex && c >= 'A' && c <= 'F') digit = c - 'A' + 10;
    if (digit < 0) return -1;
    code = code * (hex ? 16 : 10) + digit;
  }
  return code <= 0x10FFFF ? code : -1;
}

// Resolves the reference at `text`[0] == '&' into `out`; the bytes it took,
// or 0 when it is none.
size_t AppendReference(std::string& out, std::string_view text) {
  const size_t end = text.find(';', 1);
  if (end == std::string_view::npos || end > 12) return 0;
  const std::string_view body = text.substr(1, end - 1);
  static constexpr std::pair<std::string_view, char> kNamed[] = {
      {"lt", '<'}, {"gt", '>'}, {"amp", '&'}, {"quot", '"'}, {"apos", '\''}};
  for (const auto& [name, c] : kNamed) {
    if (body == name) {
      out += c;
      return end + 1;
    }
  }
  const int64_t code = CharacterReference(body);
  if (code <= 0) return 0;
  AppendUtf8(out, static_cast<uint32_t>(code));
  return end + 1;
}

// The position of the next "&" or "<" from `from` on, or the end. One pass
// over the bytes: descriptions are long and full of both.
size_t NextMarkup(std::string_view text, size_t from) {
  while (from < text.size() && text[from] != '&' && text[from] != '<') ++from;
  return from;
}

// The one scan behind the three forms: runs of plain bytes are copied in
// one piece, each special byte is looked at on its own.
void AppendSafe(std::string& out, std::string_view text, Form form) {
  const std::array<bool, 256>& special = kSpecial[static_cast<int>(form)];
  size_t run = 0;  // start of the bytes not yet appended
  size_t i = 0;
  while (i < text.size()) {
    const uint8_t c = static_cast<uint8_t>(text[i]);
    if (!special[c]) {
      ++i;
      continue;
    }
    if (c >= 0x80) {
      const size_t length = ValidSequence(text.substr(i));
      if (length > 0) {
        i += length;
        continue;
      }
    }
    if (form == Form::kCdata && c == '>') {
      // "]]" is copied as it stands, so the bytes before are the output's.
      if (i >= 2 && text[i - 1] == ']' && text[i - 2] == ']') {
        out.append(text, run, i - run);
        out += "]]><![CDATA[";
        run = i;
      }
      ++i;
      continue;
    }
    out.append(text, run, i - run);
    // The special bytes left: markup, and controls of which XML allows
    // only TAB, LF and CR ("'" is never special, so it never gets here).
    const std::string_view entity = EntityFor(static_cast<char>(c));
    if (!entity.empty()) {
      out += entity;
    } else if (c == '\t' || c == '\n' || c == '\r') {
      out += static_cast<char>(c);
    } else {
      out += kReplacement;
    }
    run = ++i;
  }
  out.append(text, run, text.size() - run);
}

}  // namespace

void AppendXmlText(std::string& out, std::string_view text, bool attribute) {
  AppendSafe(out, text, attribute ? Form::kAttribute : Form::kText);
}

std::string EscapeXml(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (const char c : text) {
    const std::string_view entity = EntityFor(c);
    if (entity.empty()) {
      out += c;
    } else {
      out += entity;
    }
  }
  return out;
}

void AppendXmlCdata(std::string& out, std::string_view text) {
  out += "<![CDATA[";
  AppendSafe(out, text, Form::kCdata);
  out += "]]>";
}

void AppendDecodedXmlContent(std::string& out, std::string_view content) {
  static constexpr std::string_view kOpen = "<![CDATA[";
  static constexpr std::string_view kClose = "]]>";
  size_t i = 0;
  while (i < content.size()) {
    const size_t next = NextMarkup(content, i);
    out.append(content, i, next - i);
    i = next;
    if (i == content.size()) break;
    if (content[i] == '<') {
      if (content.substr(i, kOpen.size()) != kOpen) {
        out += '<';
        ++i;
        continue;
      }
      // An unclosed section runs to the end, as a parser would read it.
      const size_t close = content.find(kClose, i + kOpen.size());
      const size_t stop =
          close == std::string_view::npos ? content.size() : close;
      out.append(content, i + kOpen.size(), stop - i - kOpen.size());
      i = close == std::string_view::npos ? stop : close + kClose.size();
      continue;
    }
    const size_t taken = AppendReference(out, content.substr(i));
    if (taken == 0) {
      out += '&';
      ++i;
    } else {
      i += taken;
    }
  }
}

std::string DecodeXmlContent(std::string_view content) {
  std::string out;
  out.reserve(content.size());
  AppendDecodedXmlContent(out, content);
  return out;
}

}  // namespace korvelo
