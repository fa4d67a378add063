// The plain-text form of a cache description, for the text sheets.
#include <algorithm>
#include <string>
#include <string_view>

#include "input/cache_record.h"
#include "input/text.h"

namespace korvelo {
namespace {

struct Replacement {
  std::string_view from;
  std::string_view to;
};

// Steps 10 to 22 of the description's replacements, applied in this order
// after the line breaks (steps 1 to 5) and the entities (6 to 9): HTML breaks
// and paragraph ends become CR LF, and links become "[[" text "]]" once the
// tags are stripped. These steps feed each other, so each is its own pass.
constexpr Replacement kMarkupSteps[] = {
    {" <br>", "<br>"},  // 10
    {" <BR>", "<br>"},  // 11
    {"<br> ", "<br>"},  // 12
    {"<BR> ", "<br>"},  // 13
    {"<br>", "\r\n"},   // 14
    {"<BR>", "\r\n"},   // 15
    {"</p>", "\r\n"},   // 16
    {"</P>", "\r\n"},   // 17
    {"<p>", " "},       // 18
    {"<A ", "[[<B "},   // 19
    {"</A>", "]]"},     // 20
    {"<a ", "[[<B "},   // 21
    {"</a>", "]]"},     // 22
};

// Steps 3 to 5 in one pass: CR LF becomes a blank, then a lone CR a blank,
// then a lone LF nothing. No step makes a CR or LF, and CR LF pairs cannot
// overlap, so one left-to-right pass gives what the three passes give.
std::string JoinLines(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  // The next CR and the next LF, each found with a fast single-byte search.
  size_t cr = text.find('\r');
  size_t lf = text.find('\n');
  size_t start = 0;
  for (;;) {
    if (cr < start) cr = text.find('\r', start);
    if (lf < start) lf = text.find('\n', start);
    const size_t at = std::min(cr, lf);
    if (at == std::string::npos) break;
    out.append(text, start, at - start);
    start = at + 1;
    if (text[at] == '\n') continue;
    out += ' ';
    if (start < text.size() && text[start] == '\n') ++start;
  }
  out.append(text, start);
  return out;
}

// Steps 6 to 9 in one pass: "&lt;", "&gt;", "&amp;" and "&nbsp;" decoded in
// that order. Only "&amp;" makes a new "&", and of the later steps only
// "&nbsp;" can then match, so "&amp;nbsp;" is a blank, as two passes make it.
std::string DecodeEntities(const std::string& text) {
  static constexpr Replacement kEntities[] = {{"&lt;", "<"},
                                              {"&gt;", ">"},
                                              {"&amp;nbsp;", " "},
                                              {"&amp;", "&"},
                                              {"&nbsp;", " "}};
  std::string out;
  out.reserve(text.size());
  size_t start = 0;
  for (size_t at = text.find('&'); at != std::string::npos;
       at = text.find('&', start)) {
    out.append(text, start, at - start);
    const std::string_view rest = std::string_view(text).substr(at);
    const auto* entity = std::find_if(
        std::begin(kEntities), std::end(kEntities),
        [rest](const Replacement& e) { return rest.starts_with(e.from); });
    if (entity == std::end(kEntities)) {
      out += '&';
      start = at + 1;
    } else {
      out.append(entity->to);
      start = at + entity->from.size();
    }
  }
  out.append(text, start);
  return out;
}

}  // namespace

std::string TextDescription(std::string_view raw_description) {
  std::string text = DropCdataMarkers(raw_description);
  ReplaceAllIn(text, "\r\n ", "\r\n");  // 1
  ReplaceAllIn(text, " \r\n", "\r\n");  // 2
  text = DecodeEntities(JoinLines(text));
  for (const Replacement& step : kMarkupSteps) {
    ReplaceAllIn(text, step.from, step.to);
  }
  return ConvertUmlauts(HtmlToText(text), true);
}

}  // namespace korvelo
