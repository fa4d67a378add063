#include "input/cache_record.h"

#include <charconv>
#include <cmath>
#include <iterator>
#include <span>
#include <utility>

#include "input/elements.h"
#include "input/find_text.h"

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

// The minutes of a coordinate that the waypoint does not give.
constexpr StaticRecordText kNoMinutes("00.000");

struct Coordinate {
  std::string_view degrees;  // a view of the waypoint
  std::string minutes;       // empty when the attribute is missing
  std::string decimal;
};

// The three text forms of one coordinate attribute; a missing attribute
// gives empty texts (the record then shows the minutes "00.000").
Coordinate CoordinateOf(std::string_view wpt, std::string_view name) {
  Coordinate result;
  std::string_view value;
  if (!FindAttribute(wpt, name, value)) return result;
  const size_t point = value.find('.');
  result.degrees = value.substr(0, point);
  result.minutes =
      MinutesOf(point == std::string_view::npos ? std::string_view("0")
                                                : value.substr(point + 1));
  std::string decimal(value);
  if (point == std::string_view::npos) decimal += ".";
  decimal += "000000";
  result.decimal = decimal.substr(0, decimal.find('.') + 6);
  return result;
}

// An element of the waypoint, the field it fills and the loads that take it.
struct ElementField {
  std::string_view tag;
  RecordText CacheRecord::*field;
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

// Every text field, for the copy.
constexpr RecordText CacheRecord::*kTextFields[] = {
    &CacheRecord::file,
    &CacheRecord::name,
    &CacheRecord::desc,
    &CacheRecord::url,
    &CacheRecord::urlname,
    &CacheRecord::type,
    &CacheRecord::placed_by,
    &CacheRecord::container,
    &CacheRecord::difficulty,
    &CacheRecord::terrain,
    &CacheRecord::encoded_hints,
    &CacheRecord::logs,
    &CacheRecord::raw_description,
    &CacheRecord::lat_degrees,
    &CacheRecord::lon_degrees,
    &CacheRecord::lat_minutes,
    &CacheRecord::lon_minutes,
    &CacheRecord::lat,
    &CacheRecord::lon};

}  // namespace

// The sizes that matter for a file of millions of waypoints: the record
// itself, and nothing else for one whose texts are all empty.
static_assert(sizeof(CacheRecord) <= 168);

CacheRecord::CacheRecord(const CacheRecord& other)
    : moved(other.moved), unavailable(other.unavailable) {
  RecordBlock block;
  for (RecordText CacheRecord::*field : kTextFields) {
    if ((other.*field).InBlock()) block.Count((other.*field).size());
  }
  block.Allocate();
  for (RecordText CacheRecord::*field : kTextFields) {
    const RecordText& text = other.*field;
    if (text.InBlock()) {
      this->*field = block.Put(text.view());
    } else {
      this->*field = text;
    }
  }
  block_.reset(block.Release());
}

CacheRecord& CacheRecord::operator=(const CacheRecord& other) {
  if (this != &other) {
    CacheRecord copy(other);
    *this = std::move(copy);
  }
  return *this;
}

CacheRecord& CacheRecord::operator=(CacheRecord&& other) noexcept {
  if (this != &other) {
    // The old texts go while the old block still exists.
    for (RecordText CacheRecord::*field : kTextFields) {
      this->*field = std::move(other.*field);
    }
    block_ = std::move(other.block_);
    moved = other.moved;
    unavailable = other.unavailable;
  }
  return *this;
}

void CacheRecord::Parse(std::string_view wpt, RecordTexts texts) {
  // The start tags of every field taken are found in one pass; the search
  // ends as soon as all of them are found.
  constexpr size_t kElements = std::size(kElementFields);
  std::string_view tags[kElements];
  size_t rows[kElements];
  size_t count = 0;
  for (size_t row = 0; row < kElements; ++row) {
    if (!Takes(texts, kElementFields[row].least)) continue;
    tags[count] = kElementFields[row].tag;
    rows[count++] = row;
  }
  size_t starts[kElements];
  FindFirstTags(wpt, std::span(tags, count), std::span(starts, count));
  std::string_view values[kElements] = {};
  for (size_t i = 0; i < count; ++i) {
    values[rows[i]] = ElementTextAt(wpt, tags[i], starts[i]);
  }
  const bool coordinates = texts != RecordTexts::kCodeOnly;
  Coordinate latitude;
  Coordinate longitude;
  if (coordinates) {
    latitude = CoordinateOf(wpt, "lat=\"");
    longitude = CoordinateOf(wpt, "lon=\"");
  }
  const std::string_view coordinate_texts[] = {
      latitude.degrees,  longitude.degrees, latitude.minutes,
      longitude.minutes, latitude.decimal,  longitude.decimal};

  // Everything is measured and allocated before the record changes, so a
  // failed allocation leaves it as it was.
  RecordBlock block;
  for (std::string_view value : values) block.Count(value.size());
  for (std::string_view value : coordinate_texts) block.Count(value.size());
  block.Allocate();
  if (file.InBlock()) file = RecordText(file.view());
  for (size_t row = 0; row < kElements; ++row) {
    this->*kElementFields[row].field = block.Put(values[row]);
  }
  lat_degrees = block.Put(latitude.degrees);
  lon_degrees = block.Put(longitude.degrees);
  lat_minutes = block.Put(latitude.minutes);
  lon_minutes = block.Put(longitude.minutes);
  lat = block.Put(latitude.decimal);
  lon = block.Put(longitude.decimal);
  if (coordinates) {
    if (lat_minutes.empty())
      lat_minutes = RecordText::Pointing(kNoMinutes.bytes);
    if (lon_minutes.empty())
      lon_minutes = RecordText::Pointing(kNoMinutes.bytes);
    unavailable =
        FindText(wpt, "available=\"False\"") != std::string_view::npos;
  }
  block_.reset(block.Release());
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
