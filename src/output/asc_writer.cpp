#include "output/asc_writer.h"

#include <algorithm>

#include "output/cache_types.h"
#include "output/icons.h"
#include "output/umlauts.h"
#include "platform/output_file.h"

namespace korvelo {
namespace {

// Unknown Caches count only once solved: their listed place is a fake.
bool Takes(const CacheTypeRow& row, const CacheRecord& record,
           bool highwayOnly) {
  if (!IsOfType(record.type, row)) return false;
  if (highwayOnly && !IsMotorwayCache(record)) return false;
  return row.short_name != "Unknown" || record.moved;
}

// Longitude, latitude and a quoted label: the code without its two-letter
// prefix and the title with one-byte umlauts. Quotes are not escaped.
void AppendLine(std::string& text, const CacheRecord& record) {
  const std::string_view code =
      std::string_view(record.name)
          .substr(std::min<size_t>(2, record.name.size()));
  text += record.lon;
  text += ", ";
  text += record.lat;
  text += ", \"";
  text += code;
  text += ' ';
  text += ConvertUmlauts(record.urlname, false);
  text += "\"\r\n";
}

// The pattern with its last "%s" replaced; every other character, percent
// signs included, stays as it is.
std::string FileNameFor(const std::string& pattern, std::string_view name) {
  const size_t at = pattern.rfind("%s");
  if (at == std::string::npos) return pattern;
  std::string result = pattern;
  result.replace(at, 2, name);
  return result;
}

}  // namespace

void WriteAsc(const CacheList& list, const std::string& pattern,
              bool highwayOnly) {
  for (const CacheTypeRow& row : kCacheTypes) {
    std::string text;
    for (const CacheRecord& record : list.records) {
      if (Takes(row, record, highwayOnly)) AppendLine(text, record);
    }
    if (text.empty()) continue;  // an older file of this type stays
    WriteFileAtomically(FileNameFor(pattern, row.short_name),
                        [&](std::ostream& out) { out << text; });
  }
}

}  // namespace korvelo
