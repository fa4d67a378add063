#include "output/text_description.h"

#include <algorithm>

#include "input/text.h"
#include "output/html_text.h"
#include "output/umlauts.h"

namespace korvelo {
namespace {

struct Replacement {
  std::string_view from;
  std::string_view to;
};

// The markup replacements, applied in this order once the source's line
// breaks are joined and the entities decoded: blanks around HTML breaks go,
// breaks and paragraph ends become CR LF, and links become "[[" text "]]"
// ("<a " turns into "[[<B ", a tag that the stripping then removes). They
// feed each other, so each is its own pass.
constexpr Replacement kMarkupSteps[] = {
    {" <br>", "<br>"}, {" <BR>", "<br>"}, {"<br> ", "<br>"}, {"<BR> ", "<br>"},
    {"<br>", "\r\n"},  {"<BR>", "\r\n"},  {"</p>", "\r\n"},  {"</P>", "\r\n"},
    {"<p>", " "},      {"<A ", "[[<B "},  {"</A>", "]]"},    {"<a ", "[[<B "},
    {"</a>", "]]"},
};

// The source's line breaks joined in one pass: CR LF becomes a blank, then a
// lone CR a blank, then a lone LF nothing. None of these makes a CR or LF,
// and CR LF pairs cannot overlap, so one left-to-right pass gives what three
// passes give.
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

// The four entities in one pass: "&lt;", "&gt;", "&amp;" and "&nbsp;"
// decoded as if one after the other in that order. Only "&amp;" makes a new
// "&", and of the later ones only "&nbsp;" can then match, so "&amp;nbsp;"
// is a blank, as two passes make it.
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
  // Blanks at line ends go first, so the joined lines keep one blank.
  ReplaceAllIn(text, "\r\n ", "\r\n");
  ReplaceAllIn(text, " \r\n", "\r\n");
  text = DecodeEntities(JoinLines(text));
  for (const Replacement& step : kMarkupSteps) {
    ReplaceAllIn(text, step.from, step.to);
  }
  return ConvertUmlauts(HtmlToText(text), true);
}

}  // namespace korvelo
