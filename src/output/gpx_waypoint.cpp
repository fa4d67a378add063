#include "output/gpx_waypoint.h"

#include "input/text.h"
#include "output/xml_text.h"

namespace korvelo {
namespace {

constexpr std::string_view kSpace = " \t\r\n";

bool IsSpace(char c) { return kSpace.find(c) != std::string_view::npos; }

size_t SkipSpace(std::string_view text, size_t at) {
  while (at < text.size() && IsSpace(text[at])) ++at;
  return at;
}

// The value's quote behind `name` at `at`, which is preceded by white space;
// npos unless "=" and a quote follow.
size_t QuoteBehind(std::string_view tag, size_t at, size_t name_size) {
  const size_t equals = SkipSpace(tag, at + name_size);
  if (equals >= tag.size() || tag[equals] != '=') return std::string_view::npos;
  const size_t quote = SkipSpace(tag, equals + 1);
  if (quote >= tag.size() || (tag[quote] != '"' && tag[quote] != '\'')) {
    return std::string_view::npos;
  }
  return quote;
}

// Whether `open` (a start tag) stands in `text` from `from` on with some
// text behind it, not right at its end tag.
bool HasValue(std::string_view text, size_t from, std::string_view open) {
  const size_t at = text.find(open, from);
  return at != std::string_view::npos && at + open.size() < text.size() &&
         text[at + open.size()] != '<';
}

constexpr std::string_view kGsakOpen =
    "<gsak:wptExtension xmlns:gsak=\"http://www.gsak.net/xmlv1/6\">";

}  // namespace

AttributeValue FindStartTagAttribute(std::string_view wpt,
                                     std::string_view name) {
  const std::string_view tag = wpt.substr(0, wpt.find('>'));
  for (size_t at = tag.find(name); at != std::string_view::npos;
       at = tag.find(name, at + 1)) {
    if (at == 0 || !IsSpace(tag[at - 1])) continue;
    const size_t quote = QuoteBehind(tag, at, name.size());
    if (quote == std::string_view::npos) continue;
    const size_t close = tag.find(tag[quote], quote + 1);
    if (close == std::string_view::npos) return {};
    return {true, quote + 1, close - quote - 1};
  }
  return {};
}

std::string_view StartTagAttribute(std::string_view wpt,
                                   std::string_view name) {
  const AttributeValue value = FindStartTagAttribute(wpt, name);
  return value.found ? wpt.substr(value.begin, value.size) : std::string_view();
}

std::string MovedWaypoint(std::string_view wpt, std::string_view lat,
                          std::string_view lon) {
  const AttributeValue lat_at = FindStartTagAttribute(wpt, "lat");
  const AttributeValue lon_at = FindStartTagAttribute(wpt, "lon");
  const std::string new_lat = EscapeXml(lat);
  const std::string new_lon = EscapeXml(lon);

  // The start tag rebuilt: the values replaced in place, missing ones added
  // behind "<wpt", so the other attributes keep their order and quotes.
  std::string out;
  size_t copied = 0;
  if (!lat_at.found || !lon_at.found) {
    copied = wpt.starts_with("<wpt") ? 4 : 0;
    out.append(wpt.substr(0, copied));
    if (!lat_at.found) out.append(" lat=\"").append(new_lat).append("\"");
    if (!lon_at.found) out.append(" lon=\"").append(new_lon).append("\"");
  }
  const AttributeValue* first = &lat_at;
  const AttributeValue* second = &lon_at;
  if (lon_at.begin < lat_at.begin) std::swap(first, second);
  for (const AttributeValue* value : {first, second}) {
    if (!value->found) continue;
    out.append(wpt.substr(copied, value->begin - copied));
    out.append(value == &lat_at ? new_lat : new_lon);
    copied = value->begin + value->size;
  }

  const std::string before =
      "<gsak:LatBeforeCorrect>" + std::string(StartTagAttribute(wpt, "lat")) +
      "</gsak:LatBeforeCorrect><gsak:LonBeforeCorrect>" +
      std::string(StartTagAttribute(wpt, "lon")) + "</gsak:LonBeforeCorrect>";
  // A text that GSAK wrote may hold its extension already. Where it has the
  // coordinates before a correction, those are the posted ones and stay;
  // else ours go inside it, so that the waypoint keeps a single one.
  if (HasValue(wpt, copied, "<gsak:LatBeforeCorrect>")) {
    return out.append(wpt.substr(copied));
  }
  const size_t gsak_end = wpt.find("</gsak:wptExtension>", copied);
  if (gsak_end != std::string_view::npos) {
    return out.append(wpt.substr(copied, gsak_end - copied))
        .append(before)
        .append(wpt.substr(gsak_end));
  }
  size_t end = wpt.size();
  while (end > copied && IsSpace(wpt[end - 1])) --end;
  out.append(wpt.substr(copied, end - copied));
  out.append(kGsakOpen).append(before).append("</gsak:wptExtension>");
  out.append(wpt.substr(end));
  return out;
}

std::string FoundWaypoint(std::string_view wpt) {
  return ReplaceAll(wpt, "<sym>Geocache</sym>", "<sym>Geocache Found</sym>");
}

}  // namespace korvelo
