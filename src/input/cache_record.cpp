#include "input/cache_record.h"

#include <charconv>
#include <cmath>
#include <span>
#include <utility>

#include "input/text.h"

namespace korvelo {
namespace {

// Value of the attribute `name` (such as `lat="`): the text after its first
// occurrence up to the next quote or the end. False when it does not occur.
bool FindAttribute(std::string_view wpt, std::string_view name,
                   std::string_view& value) {
  const size_t at = wpt.find(name);
  if (at == std::string_view::npos) return false;
  value = wpt.substr(at + name.size());
  value = value.substr(0, value.find('"'));
  return true;
}

// Fraction digits of a degree as minutes with three decimals, truncated.
std::string MinutesOf(std::string_view fraction) {
  const std::string number = "0." + std::string(fraction);
  double degrees = 0.0;
  std::from_chars(number.data(), number.data() + number.size(), degrees);
  const double scaled = degrees * 600000.0;
  // Only digits can stand behind "0."; anything else (an exponent) must not
  // turn into an undefined conversion.
  const long long whole =
      (std::isfinite(scaled) && scaled >= 0.0 && scaled < 1e18)
          ? static_cast<long long>(scaled)
          : 0;
  char number_text[24];
  const std::string_view written(
      number_text,
      std::to_chars(number_text, std::end(number_text), whole).ptr);
  std::string digits(written.substr(0, 6));
  digits.insert(0, 6 - digits.size(), '0');
  return digits.substr(0, 2) + "." + digits.substr(2, 3);
}

struct Coordinate {
  std::string degrees;
  std::string minutes = "00.000";
  std::string decimal;
};

// The three text forms of one coordinate attribute; a missing attribute
// gives empty degrees and decimal texts and the minutes "00.000".
Coordinate CoordinateOf(std::string_view wpt, std::string_view name) {
  Coordinate result;
  std::string_view value;
  if (!FindAttribute(wpt, name, value)) return result;
  std::string text(value);
  if (text.find('.') == std::string::npos) text += ".0";
  const size_t point = text.find('.');
  result.degrees = text.substr(0, point);
  result.minutes = MinutesOf(std::string_view(text).substr(point + 1));
  std::string decimal(value);
  if (decimal.find('.') == std::string::npos) decimal += ".";
  decimal += "000000";
  result.decimal = decimal.substr(0, decimal.find('.') + 6);
  return result;
}

// An element of the waypoint, the field it fills and the loads that take it.
struct ElementField {
  std::string_view tag;
  std::string CacheRecord::*field;
  RecordTexts least;  // the most frugal RecordTexts that still takes it
};

// Each field is the element of the first start tag that begins with its tag.
constexpr ElementField kElementFields[] = {
    {"name", &CacheRecord::name, RecordTexts::kCodeOnly},
    {"desc", &CacheRecord::desc, RecordTexts::kAll},
    {"url", &CacheRecord::url, RecordTexts::kNoSheetTexts},
    {"urlname", &CacheRecord::urlname, RecordTexts::kNoSheetTexts},
    {"groundspeak:type", &CacheRecord::type, RecordTexts::kNoSheetTexts},
    {"groundspeak:long_description", &CacheRecord::raw_description,
     RecordTexts::kNoSheetTexts},
    {"groundspeak:placed_by", &CacheRecord::placed_by,
     RecordTexts::kNoSheetTexts},
    {"groundspeak:container", &CacheRecord::container,
     RecordTexts::kNoSheetTexts},
    {"groundspeak:difficulty", &CacheRecord::difficulty,
     RecordTexts::kNoSheetTexts},
    {"groundspeak:terrain", &CacheRecord::terrain, RecordTexts::kNoSheetTexts},
    {"groundspeak:encoded_hints", &CacheRecord::encoded_hints,
     RecordTexts::kAll},
    {"groundspeak:logs", &CacheRecord::logs, RecordTexts::kAll},
};

bool Takes(RecordTexts texts, RecordTexts least) {
  return static_cast<int>(texts) <= static_cast<int>(least);
}

}  // namespace

void CacheRecord::Parse(std::string_view wpt, RecordTexts texts) {
  // The start tags of every field taken are found in one pass; the search
  // ends as soon as all of them are found.
  std::string_view tags[std::size(kElementFields)];
  std::string CacheRecord::*fields[std::size(kElementFields)];
  size_t count = 0;
  for (const ElementField& element : kElementFields) {
    if (!Takes(texts, element.least)) continue;
    tags[count] = element.tag;
    fields[count++] = element.field;
  }
  size_t starts[std::size(kElementFields)];
  FindFirstTags(wpt, std::span(tags, count), std::span(starts, count));
  for (size_t i = 0; i < count; ++i) {
    this->*fields[i] = ExtractElementAt(wpt, tags[i], starts[i]);
  }
  if (texts == RecordTexts::kCodeOnly) return;
  unavailable = FindText(wpt, "available=\"False\"") != std::string_view::npos;

  Coordinate latitude = CoordinateOf(wpt, "lat=\"");
  Coordinate longitude = CoordinateOf(wpt, "lon=\"");
  lat_degrees = std::move(latitude.degrees);
  lat_minutes = std::move(latitude.minutes);
  lat = std::move(latitude.decimal);
  lon_degrees = std::move(longitude.degrees);
  lon_minutes = std::move(longitude.minutes);
  lon = std::move(longitude.decimal);
}

std::string LinkPrefix(const CacheRecord& record) {
  std::string prefix;
  AppendLinkPrefix(prefix, record);
  return prefix;
}

void AppendLinkPrefix(std::string& out, const CacheRecord& record) {
  out.append("<A HREF='").append(record.url).append("'>");
  out.append(record.name).append("</A>: ");
}

std::string PaddedTitle(std::string_view urlname) {
  std::string padded = " " + std::string(urlname) + " ";
  for (char& c : padded) {
    if (std::string_view(",.:-\"()!").find(c) != std::string_view::npos) {
      c = ' ';
    }
  }
  return padded;
}

}  // namespace korvelo
