#include "input/elements.h"

#include <algorithm>

#include "input/find_text.h"
#include "input/text.h"

namespace korvelo {
namespace {

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

}  // namespace

std::string ExtractElement(std::string_view text, std::string_view tag) {
  return ExtractElementAt(text, tag, text.find("<" + std::string(tag)));
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
  return Trim(text.substr(inner, end - inner));
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

}  // namespace korvelo
