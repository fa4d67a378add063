#include "output/html_text.h"

#include <algorithm>

#include "input/text.h"

namespace korvelo {
namespace {

constexpr std::string_view kStyleStart = "<style>";
constexpr std::string_view kStyleEnd = "</style>";

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

}  // namespace korvelo
