#include "input/text.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>

#include "input/find_text.h"

namespace korvelo {
namespace {

// Appends `text` with every `from` replaced by `to` to `out`.
void AppendReplaced(std::string& out, std::string_view text,
                    std::string_view from, std::string_view to) {
  size_t start = 0;
  for (size_t hit = FindText(text, from); hit != std::string_view::npos;
       hit = FindText(text, from, start)) {
    out.append(text.substr(start, hit - start));
    out.append(to);
    start = hit + from.size();
  }
  out.append(text.substr(start));
}

}  // namespace

std::string ReplaceAll(std::string_view text, std::string_view from,
                       std::string_view to) {
  if (from.empty()) return std::string(text);
  std::string out;
  out.reserve(text.size());
  AppendReplaced(out, text, from, to);
  return out;
}

void ReplaceAllIn(std::string& text, std::string_view from,
                  std::string_view to) {
  if (from.empty()) return;
  const size_t first = FindText(text, from);
  if (first == std::string::npos) return;
  // The scan goes on behind the first hit; the text before it is copied.
  std::string out;
  out.reserve(text.size());
  out.append(text, 0, first).append(to);
  AppendReplaced(out, std::string_view(text).substr(first + from.size()), from,
                 to);
  text = std::move(out);
}

std::string FormatText(const char* format, ...) {
  va_list args;
  va_start(args, format);
  va_list measure;
  va_copy(measure, args);
  const int length = std::vsnprintf(nullptr, 0, format, measure);
  va_end(measure);
  std::string out;
  if (length > 0) {
    out.resize(static_cast<size_t>(length));
    std::vsnprintf(out.data(), out.size() + 1, format, args);
  }
  va_end(args);
  return out;
}

std::string_view Trim(std::string_view text, std::string_view blanks) {
  const size_t first = text.find_first_not_of(blanks);
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return AsciiLower(x) == AsciiLower(y);
  });
}

std::string LowerAnsiText(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) {
    const unsigned char b = static_cast<unsigned char>(c);
    if ((b >= 'A' && b <= 'Z') || (b >= 0xC0 && b <= 0xDE && b != 0xD7)) {
      c = static_cast<char>(b + 0x20);
    } else if (b == 0x8A || b == 0x8C || b == 0x8E) {
      c = static_cast<char>(b + 0x10);
    } else if (b == 0x9F) {
      c = static_cast<char>(0xFF);
    }
  }
  return lower;
}

}  // namespace korvelo
