#include "input/text.h"

#include <algorithm>
#include <array>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>
#include <immintrin.h>
#endif

namespace korvelo {
namespace {

constexpr std::string_view kBlanks = " \t\n\v\f\r";
constexpr std::string_view kStyleStart = "<style>";
constexpr std::string_view kStyleEnd = "</style>";

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

// "</" + tag + ">", built without an allocation for the tags in use.
class EndTag {
 public:
  explicit EndTag(std::string_view tag) {
    if (tag.size() + 3 > sizeof small_) {
      large_ = "</" + std::string(tag) + ">";
      view_ = large_;
      return;
    }
    small_[0] = '<';
    small_[1] = '/';
    std::copy(tag.begin(), tag.end(), small_ + 2);
    small_[tag.size() + 2] = '>';
    view_ = std::string_view(small_, tag.size() + 3);
  }
  EndTag(const EndTag&) = delete;
  EndTag& operator=(const EndTag&) = delete;
  std::string_view view() const { return view_; }

 private:
  char small_[48];
  std::string large_;
  std::string_view view_;
};

// True when `text` at `at` holds `lower` with ASCII letters in any case.
bool MatchesNoCase(std::string_view text, size_t at, std::string_view lower) {
  if (text.size() - at < lower.size()) return false;
  for (size_t i = 0; i < lower.size(); ++i) {
    if (AsciiLower(text[at + i]) != lower[i]) return false;
  }
  return true;
}

// First occurrence of the tag `lower` (it begins with "<") at or after
// `from`, ASCII letters compared in any case; npos when there is none.
size_t FindTagNoCase(std::string_view text, std::string_view lower,
                     size_t from = 0) {
  for (size_t at = text.find('<', from); at != std::string_view::npos;
       at = text.find('<', at + 1)) {
    if (MatchesNoCase(text, at, lower)) return at;
  }
  return std::string_view::npos;
}

// Where the style-block loop stands: the text is `done` followed by
// rest[pos...]. `done` holds no whole "<style>" or "</style>", so a later
// match either lies in `rest` or straddles the seam between the two.
struct StyleScan {
  std::string done;
  std::string_view rest;
  size_t pos = 0;

  // Offset of the first `tag` in the whole text, or npos.
  size_t Find(std::string_view tag) const {
    const size_t keep = std::min(done.size(), tag.size() - 1);
    std::string seam = done.substr(done.size() - keep);
    seam.append(rest.substr(pos, tag.size() - 1));
    const size_t in_seam = FindTagNoCase(seam, tag);
    if (in_seam != std::string_view::npos && in_seam < keep) {
      return done.size() - keep + in_seam;
    }
    const size_t in_rest = FindTagNoCase(rest, tag, pos);
    if (in_rest == std::string_view::npos) return in_rest;
    return done.size() + (in_rest - pos);
  }

  // Removes the whole text's bytes [from, to); `to` lies inside `rest`.
  void Remove(size_t from, size_t to) {
    const size_t seam = done.size();
    if (from < seam) {
      done.resize(from);
    } else {
      done.append(rest.substr(pos, from - seam));
    }
    pos += to - seam;
  }
};

// Removes "<style>" ... "</style>" blocks the way a loop that searches the
// shortened text again after every removal would, in one pass: a removal can
// join the bytes on either side into a new tag, which the seam search sees.
std::string RemoveStyleBlocks(std::string_view text) {
  StyleScan scan;
  scan.rest = text;
  for (;;) {
    const size_t start = scan.Find(kStyleStart);
    if (start == std::string_view::npos) break;
    const size_t end = scan.Find(kStyleEnd);
    if (end == std::string_view::npos || end <= start) break;
    scan.Remove(start, end + kStyleEnd.size());
  }
  scan.done.append(scan.rest.substr(scan.pos));
  return scan.done;
}

// Copies the text without everything from each "<" to the next ">".
std::string StripTags(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  size_t start = 0;
  for (size_t open = text.find('<'); open != std::string_view::npos;
       open = text.find('<', start)) {
    out.append(text.substr(start, open - start));
    const size_t close = text.find('>', open + 1);
    if (close == std::string_view::npos) return out;
    start = close + 1;
  }
  out.append(text.substr(start));
  return out;
}

}  // namespace

namespace {

#ifdef __x86_64__
bool HasAvx2() {
  static const bool has = [] {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2") != 0;
  }();
  return has;
}

// The sixteen-at-once scan below, thirty-two at once: candidates from `at`
// while a whole step fits before `last_start`. Leaves `at` where it stopped.
__attribute__((target("avx2"))) size_t ScanAvx2(const char* data, size_t& at,
                                                size_t last_start,
                                                std::string_view pattern) {
  const size_t length = pattern.size();
  const __m256i first = _mm256_set1_epi8(pattern.front());
  const __m256i last = _mm256_set1_epi8(pattern.back());
  for (; at + 31 <= last_start; at += 32) {
    const __m256i starts =
        _mm256_loadu_si256(reinterpret_cast<const __m256i*>(data + at));
    const __m256i ends = _mm256_loadu_si256(
        reinterpret_cast<const __m256i*>(data + at + length - 1));
    unsigned mask = static_cast<unsigned>(_mm256_movemask_epi8(_mm256_and_si256(
        _mm256_cmpeq_epi8(starts, first), _mm256_cmpeq_epi8(ends, last))));
    for (; mask != 0; mask &= mask - 1) {
      const size_t candidate = at + static_cast<size_t>(__builtin_ctz(mask));
      if (std::memcmp(data + candidate + 1, pattern.data() + 1, length - 2) ==
          0) {
        return candidate;
      }
    }
  }
  return std::string_view::npos;
}
#endif

size_t FindTextWith(std::string_view text, std::string_view pattern,
                    size_t from, bool wide) {
  constexpr size_t kNone = std::string_view::npos;
  const size_t length = pattern.size();
  if (from > text.size()) return kNone;
  if (length <= 1) return length == 0 ? from : text.find(pattern[0], from);
  if (text.size() - from < length) return kNone;
  const char* const data = text.data();
  const size_t last_start = text.size() - length;
  // A candidate must match the pattern's first and last bytes; both are
  // tested for sixteen (or thirty-two) positions at once, and only
  // candidates are compared.
  const auto matches_inside = [&](size_t at) {
    return std::memcmp(data + at + 1, pattern.data() + 1, length - 2) == 0;
  };
  size_t at = from;
#ifdef __x86_64__
  if (wide) {
    const size_t found = ScanAvx2(data, at, last_start, pattern);
    if (found != kNone) return found;
  }
#else
  (void)wide;
#endif
#ifdef __SSE2__
  const __m128i first = _mm_set1_epi8(pattern.front());
  const __m128i last = _mm_set1_epi8(pattern.back());
  for (; at + 15 <= last_start; at += 16) {
    const __m128i starts =
        _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + at));
    const __m128i ends = _mm_loadu_si128(
        reinterpret_cast<const __m128i*>(data + at + length - 1));
    unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(_mm_and_si128(
        _mm_cmpeq_epi8(starts, first), _mm_cmpeq_epi8(ends, last))));
    for (; mask != 0; mask &= mask - 1) {
      const size_t candidate = at + static_cast<size_t>(__builtin_ctz(mask));
      if (matches_inside(candidate)) return candidate;
    }
  }
#endif
  for (; at <= last_start; ++at) {
    if (data[at] == pattern.front() &&
        data[at + length - 1] == pattern.back() && matches_inside(at)) {
      return at;
    }
  }
  return kNone;
}

}  // namespace

size_t FindText(std::string_view text, std::string_view pattern, size_t from) {
#ifdef __x86_64__
  return FindTextWith(text, pattern, from, HasAvx2());
#else
  return FindTextWith(text, pattern, from, false);
#endif
}

size_t FindTextNarrow(std::string_view text, std::string_view pattern,
                      size_t from) {
  return FindTextWith(text, pattern, from, false);
}

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

std::string ExtractElement(std::string_view text, std::string_view tag) {
  return ExtractElementAt(text, tag, text.find("<" + std::string(tag)));
}

void FindFirstTags(std::string_view text,
                   std::span<const std::string_view> tags,
                   std::span<size_t> starts) {
  std::fill(starts.begin(), starts.end(), std::string_view::npos);
  // The bytes that tags begin with; most "<" (the end tags') are passed at
  // the first byte behind them.
  bool first_bytes[256] = {};
  bool any_empty = false;
  for (std::string_view tag : tags) {
    if (tag.empty()) any_empty = true;
    if (!tag.empty()) first_bytes[static_cast<unsigned char>(tag[0])] = true;
  }
  size_t missing = tags.size();
  for (size_t at = text.find('<'); at != std::string_view::npos && missing > 0;
       at = text.find('<', at + 1)) {
    const std::string_view rest = text.substr(at + 1);
    if (!any_empty &&
        (rest.empty() || !first_bytes[static_cast<unsigned char>(rest[0])])) {
      continue;
    }
    for (size_t i = 0; i < tags.size(); ++i) {
      if (starts[i] == std::string_view::npos && rest.starts_with(tags[i])) {
        starts[i] = at;
        --missing;
      }
    }
  }
}

std::string ExtractElementAt(std::string_view text, std::string_view tag,
                             size_t start) {
  return std::string(ElementTextAt(text, tag, start));
}

std::string_view ElementTextAt(std::string_view text, std::string_view tag,
                               size_t start) {
  if (start == std::string_view::npos) return {};
  const EndTag end_pattern(tag);
  const size_t open_end = text.find('>', start);
  if (open_end == std::string_view::npos) return {};
  const size_t inner = open_end + 1;
  const size_t end = FindText(text, end_pattern.view(), inner);
  if (end == std::string_view::npos) return {};
  std::string_view result = text.substr(inner, end - inner);
  const size_t first = result.find_first_not_of(kBlanks);
  if (first == std::string_view::npos) return {};
  result = result.substr(first);
  return result.substr(0, result.find_last_not_of(kBlanks) + 1);
}

std::string HtmlToText(std::string_view text) {
  std::string out(text);
  ReplaceAllIn(out, "&#252;", "\xFC");
  ReplaceAllIn(out, "&#246;", "\xF6");
  ReplaceAllIn(out, "&#228;", "\xE4");
  ReplaceAllIn(out, "&nbsp;", " ");
  if (FindTagNoCase(out, kStyleStart) != std::string::npos) {
    out = RemoveStyleBlocks(out);
  }
  return StripTags(out);
}

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

std::string DropCdataMarkers(std::string_view text) {
  constexpr std::string_view kOpen = "<![CDATA[";
  constexpr std::string_view kClose = "]]>";
  std::string out;
  out.reserve(text.size());
  size_t start = 0;
  for (size_t open = text.find(kOpen); open != std::string_view::npos;
       open = text.find(kOpen, start)) {
    out.append(text.substr(start, open - start));
    const size_t inner = open + kOpen.size();
    const size_t close = text.find(kClose, inner);
    if (close == std::string_view::npos) {
      start = inner;
      break;
    }
    out.append(text.substr(inner, close - inner));
    start = close + kClose.size();
  }
  out.append(text.substr(start));
  return out;
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
