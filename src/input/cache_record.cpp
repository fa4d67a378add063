#include "input/cache_record.h"

#include <charconv>
#include <cmath>
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
  std::string digits = FormatText("%lli", whole).substr(0, 6);
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

}  // namespace

void CacheRecord::Parse(std::string_view wpt) {
  // Each field is the element of the first start tag that begins with its
  // tag; the start tags of all twelve are found in one pass.
  static constexpr std::string_view kTags[] = {"name",
                                               "desc",
                                               "url",
                                               "urlname",
                                               "groundspeak:type",
                                               "groundspeak:long_description",
                                               "groundspeak:placed_by",
                                               "groundspeak:container",
                                               "groundspeak:difficulty",
                                               "groundspeak:terrain",
                                               "groundspeak:encoded_hints",
                                               "groundspeak:logs"};
  std::string* const fields[] = {&name,      &desc,          &url,
                                 &urlname,   &type,          &raw_description,
                                 &placed_by, &container,     &difficulty,
                                 &terrain,   &encoded_hints, &logs};
  static_assert(std::size(kTags) == std::size(fields));
  size_t starts[std::size(kTags)];
  FindFirstTags(wpt, kTags, starts);
  for (size_t i = 0; i < std::size(kTags); ++i) {
    *fields[i] = ExtractElementAt(wpt, kTags[i], starts[i]);
  }
  unavailable = wpt.find("available=\"False\"") != std::string_view::npos;

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
  return "<A HREF='" + record.url + "'>" + record.name + "</A>: ";
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
