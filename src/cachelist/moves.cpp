// MoveCaches and the parsing of one moves line.
#include "cachelist/moves.h"

#include <algorithm>
#include <cstdlib>
#include <limits>
#include <set>
#include <unordered_map>

#include "cachelist/cache_list.h"
#include "input/text.h"

namespace korvelo {
namespace {

constexpr char kDegreeSign = '\xB0';
// Moves files saved as UTF-8 carry the degree sign as two bytes.
constexpr std::string_view kUtf8DegreeSign = "\xC2\xB0";

// Codes compare with the letters A to Z folded, every other byte exact.
std::string FoldAsciiLetters(std::string_view text) {
  std::string folded(text);
  std::transform(folded.begin(), folded.end(), folded.begin(), AsciiLower);
  return folded;
}

// Splits one coordinate field at its degree sign; false unless there is
// exactly one.
bool SplitCoordinate(std::string_view field, std::string& degrees,
                     std::string& minutes) {
  const std::string single =
      ReplaceAll(field, kUtf8DegreeSign, std::string_view(&kDegreeSign, 1));
  std::vector<std::string> pieces;
  if (SplitAt(kDegreeSign, single, pieces) != 2) return false;
  degrees = std::move(pieces[0]);
  minutes = std::move(pieces[1]);
  return true;
}

// A leading `positive` letter goes, a leading `negative` letter becomes "-";
// only these capital letters count.
void ApplyHemisphere(std::string& degrees, char positive, char negative) {
  if (degrees.empty()) return;
  if (degrees.front() == positive) {
    degrees.erase(0, 1);
  } else if (degrees.front() == negative) {
    degrees.front() = '-';
  }
}

// The minutes' digits read as thousandths of a minute ("12.345" -> 12345,
// read like atol), turned into hundred-thousandths of a degree and printed
// with at least five digits ("20575").
std::string DegreeFraction(std::string_view minutes) {
  const std::string digits = ReplaceAll(minutes, ".", "");
  // Absurdly long digit runs are capped so that the arithmetic below cannot
  // overflow; no real minutes value comes near the cap.
  constexpr long kCap = std::numeric_limits<long>::max() / 10;
  const long thousandths =
      std::clamp(std::strtol(digits.c_str(), nullptr, 10), -kCap, kCap);
  return FormatText("%05li", thousandths * 10 / 6);
}

}  // namespace

std::string StripComment(std::string_view text) {
  return std::string(text.substr(0, text.find("//")));
}

int SplitAt(char separator, std::string_view text,
            std::vector<std::string>& pieces) {
  size_t start = 0;
  while (true) {
    const size_t end = text.find(separator, start);
    pieces.emplace_back(text.substr(start, end - start));
    if (end == std::string_view::npos) break;
    start = end + 1;
  }
  return static_cast<int>(pieces.size());
}

void MoveTo(CacheRecord& record, std::string line) {
  std::vector<std::string> fields;
  if (SplitAt(';', line, fields) != 3) return;
  std::string lat_degrees, lat_minutes, lon_degrees, lon_minutes;
  if (!SplitCoordinate(fields[1], lat_degrees, lat_minutes)) return;
  if (!SplitCoordinate(fields[2], lon_degrees, lon_minutes)) return;
  ApplyHemisphere(lat_degrees, 'N', 'S');
  ApplyHemisphere(lon_degrees, 'E', 'W');

  record.lat = lat_degrees + "." + DegreeFraction(lat_minutes);
  record.lon = lon_degrees + "." + DegreeFraction(lon_minutes);
  record.lat_degrees = std::move(lat_degrees);
  record.lat_minutes = std::move(lat_minutes);
  record.lon_degrees = std::move(lon_degrees);
  record.lon_minutes = std::move(lon_minutes);
  record.moved = true;
}

void CacheList::MoveCaches(std::vector<std::string>& lines) {
  for (std::string& line : lines) line = StripComment(line);

  // A line matches a record when it begins with the record's code, so the
  // records are indexed by folded code and each line is looked up once per
  // code length in use. Each record still sees its lines in file order, so
  // the last well-formed matching line decides.
  std::unordered_map<std::string, std::vector<size_t>> by_code;
  std::set<size_t> lengths;
  for (size_t i = 0; i < records.size(); ++i) {
    by_code[FoldAsciiLetters(records[i].name)].push_back(i);
    lengths.insert(records[i].name.size());
  }
  for (const std::string& line : lines) {
    const std::string folded = FoldAsciiLetters(line);
    for (size_t length : lengths) {
      if (length > folded.size()) break;
      auto found = by_code.find(folded.substr(0, length));
      if (found == by_code.end()) continue;
      for (size_t index : found->second) MoveTo(records[index], line);
    }
  }
}

}  // namespace korvelo
