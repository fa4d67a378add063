// Which icon a placemark shows: the file's role, the cache type, keywords in
// the cache title, the moved and disabled flags.
#ifndef KORVELO_OUTPUT_ICONS_H_
#define KORVELO_OUTPUT_ICONS_H_

#include <string_view>

#include "input/cache_record.h"
#include "output/file_function.h"

namespace korvelo {

// Scheme and host of the two icon servers, fixed at configure time.
extern const std::string_view kStandardIconBase;
extern const std::string_view kExtraIconBase;

enum class Icon {
  kNone,
  kTraditional,
  kMulti,
  kVirtual,
  kLetterbox,
  kEvent,
  kUnknown,
  kWebcam,
  kCito,
  kEarthcache,
  kMegaEvent,
  kWherigo,
  kUnknownSolved,
  kMultiSolved,
  kNightCache,
  kMotorway,
  kChurch,
  kTravelBugHotel,
  kRailwayStation,
  kFound,
  kMine,
  kUnavailable,
  kMarked,
};

// The full reference (base + path) of an icon; empty for Icon::kNone.
std::string_view IconUrl(Icon icon);

// Keyword tests on the record's padded and lower-cased titles.
bool IsMotorwayCache(const CacheRecord& record);
bool IsChurchCache(const CacheRecord& record);
bool IsNightCache(const CacheRecord& record);
bool IsTravelBugHotel(const CacheRecord& record);
bool IsRailwayStation(const CacheRecord& record);

// The icon of one placemark, Icon::kNone for the empty reference.
Icon IconOf(const CacheRecord& record, int function, bool showDisabled);

// The icon reference of one placemark, possibly empty. The view refers to
// static storage.
std::string_view IconHref(const CacheRecord& record, int function,
                          bool showDisabled);

}  // namespace korvelo

#endif  // KORVELO_OUTPUT_ICONS_H_
