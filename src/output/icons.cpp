#include "output/icons.h"

#include <algorithm>
#include <span>
#include <string>

#include "input/text.h"

#if !defined(KORVELO_STANDARD_ICON_BASE) || !defined(KORVELO_EXTRA_ICON_BASE)
#error "the icon hosts come from the build (KORVELO_*_ICON_BASE)"
#endif

// Icon references are a host and a fixed path, joined at compile time.
#define KORVELO_STANDARD_ICON(file) \
  KORVELO_STANDARD_ICON_BASE "/images/kml/" file
#define KORVELO_EXTRA_ICON(file) \
  KORVELO_EXTRA_ICON_BASE "/geocaching/icons/" file

namespace korvelo {

const std::string_view kStandardIconBase = KORVELO_STANDARD_ICON_BASE;
const std::string_view kExtraIconBase = KORVELO_EXTRA_ICON_BASE;

namespace {

// Indexed by Icon.
constexpr std::string_view kIconUrls[] = {
    "",
    KORVELO_STANDARD_ICON("2.png"),
    KORVELO_STANDARD_ICON("3.png"),
    KORVELO_STANDARD_ICON("4.png"),
    KORVELO_STANDARD_ICON("5.png"),
    KORVELO_STANDARD_ICON("6.png"),
    KORVELO_STANDARD_ICON("8.png"),
    KORVELO_STANDARD_ICON("11.png"),
    KORVELO_STANDARD_ICON("13.png"),
    KORVELO_STANDARD_ICON("earthcache.png"),
    KORVELO_EXTRA_ICON("icon_megaevent.png"),
    KORVELO_EXTRA_ICON("icon_whereigo.png"),
    KORVELO_EXTRA_ICON("icon_moved.png"),
    KORVELO_EXTRA_ICON("icon_multimoved.png"),
    KORVELO_EXTRA_ICON("icon_nightcache.png"),
    KORVELO_EXTRA_ICON("icon_autobahn.png"),
    KORVELO_EXTRA_ICON("icon_church.png"),
    KORVELO_EXTRA_ICON("icon_tbhotel.png"),
    KORVELO_EXTRA_ICON("icon_train.png"),
    KORVELO_EXTRA_ICON("icon_found.png"),
    KORVELO_EXTRA_ICON("icon_mine.png"),
    KORVELO_EXTRA_ICON("icon_unavailable.png"),
    KORVELO_EXTRA_ICON("icon_marker.png"),
};
static_assert(std::size(kIconUrls) == static_cast<size_t>(Icon::kMarked) + 1);

// Which title a keyword is searched in, and how.
enum class Title { kLowerCase, kCaseKept };
enum class Match { kContains, kEndsWith };

struct Keyword {
  std::string_view text;
  Title title = Title::kLowerCase;
  Match match = Match::kContains;
};

constexpr Title kCaseKept = Title::kCaseKept;

// Road numbers are case-sensitive and have no trailing blank, so " A1" also
// matches the A10 and the A115.
constexpr Keyword kMotorwayKeywords[] = {
    {" autobahn"},         {" rasthof "},         {" rastst\xE4tte "},
    {" BAB1", kCaseKept},  {" BAB2", kCaseKept},  {" BAB3", kCaseKept},
    {" BAB4", kCaseKept},  {" BAB5", kCaseKept},  {" BAB6", kCaseKept},
    {" BAB7", kCaseKept},  {" BAB8", kCaseKept},  {" BAB9", kCaseKept},
    {" BAB 1", kCaseKept}, {" BAB 2", kCaseKept}, {" BAB 3", kCaseKept},
    {" BAB 4", kCaseKept}, {" BAB 5", kCaseKept}, {" BAB 6", kCaseKept},
    {" BAB 7", kCaseKept}, {" BAB 8", kCaseKept}, {" BAB 9", kCaseKept},
    {" A1", kCaseKept},    {" A2", kCaseKept},    {" A3", kCaseKept},
    {" A4", kCaseKept},    {" A5", kCaseKept},    {" A6", kCaseKept},
    {" A7", kCaseKept},    {" A8", kCaseKept},    {" A9", kCaseKept},
    {" A 1", kCaseKept},   {" A 2", kCaseKept},   {" A 3", kCaseKept},
    {" A 4", kCaseKept},   {" A 5", kCaseKept},   {" A 6", kCaseKept},
    {" A 7", kCaseKept},   {" A 8", kCaseKept},   {" A 9", kCaseKept},
};

constexpr Keyword kChurchKeywords[] = {
    {"churches "}, {"kirchengemeinde"}, {"gottesh"},
    {" kirche "},  {" kirchen in "},    {" dorfkirche "},
};

constexpr Keyword kNightKeywords[] = {
    {" at night "}, {" nachtschicht "}, {" nightchache "}};

constexpr Keyword kTravelBugHotelKeywords[] = {
    {"travelbug"},    {" travel bug hotel "}, {" tb motel "},
    {" tb hotel "},   {" travel bug cache "}, {" airport bug hotel "},
    {" tb airport "}, {" tb airporthotel "},
};

// "bf" and "hbf" count only as the last word of the name.
constexpr Keyword kRailwayKeywords[] = {
    {"bahnhof"},
    {" bf ", Title::kLowerCase, Match::kEndsWith},
    {" hbf ", Title::kLowerCase, Match::kEndsWith},
};

// The two forms of a title that the keywords are searched in, made once per
// record that needs them.
struct Titles {
  explicit Titles(const CacheRecord& record)
      : padded(PaddedTitle(record.urlname)), lower(LowerAnsiText(padded)) {}
  std::string padded;
  std::string lower;
};

bool Holds(const Titles& titles, const Keyword& keyword) {
  const std::string_view title =
      keyword.title == Title::kCaseKept ? titles.padded : titles.lower;
  if (keyword.match == Match::kEndsWith) return title.ends_with(keyword.text);
  return title.find(keyword.text) != std::string_view::npos;
}

bool AnyHolds(const Titles& titles, std::span<const Keyword> keywords) {
  return std::any_of(keywords.begin(), keywords.end(),
                     [&](const Keyword& k) { return Holds(titles, k); });
}

// How a type's icon is refined by the title.
enum class Refinement { kNone, kNight, kSpecial };

struct TypeIcon {
  std::string_view type;  // compared exactly
  Icon icon;
  Icon moved_icon;
  Refinement refinement = Refinement::kNone;
};

constexpr TypeIcon kTypeIcons[] = {
    {"Virtual Cache", Icon::kVirtual, Icon::kVirtual},
    {"Letterbox Hybrid", Icon::kLetterbox, Icon::kLetterbox},
    {"Event Cache", Icon::kEvent, Icon::kEvent},
    {"Mega-Event Cache", Icon::kMegaEvent, Icon::kMegaEvent},
    {"Mega-Event cache", Icon::kMegaEvent, Icon::kMegaEvent},
    {"Unknown Cache", Icon::kUnknown, Icon::kUnknownSolved},
    {"Webcam Cache", Icon::kWebcam, Icon::kWebcam},
    {"Cache In Trash Out Event", Icon::kCito, Icon::kCito},
    {"Earthcache", Icon::kEarthcache, Icon::kEarthcache},
    {"Wherigo Cache", Icon::kWherigo, Icon::kWherigo},
    {"Multi-cache", Icon::kMulti, Icon::kMultiSolved, Refinement::kNight},
    {"Traditional Cache", Icon::kTraditional, Icon::kTraditional,
     Refinement::kSpecial},
};

struct RoleIcon {
  int function;
  Icon icon;
};

// Files of these roles show the role's marker and nothing else.
constexpr RoleIcon kRoleIcons[] = {
    {kFunctionFound, Icon::kFound},
    {kFunctionMine, Icon::kMine},
    {kFunctionDisabled, Icon::kUnavailable},
    {kFunctionMarked, Icon::kMarked},
};

Icon SpecialIconOf(const CacheRecord& record, bool nightOnly) {
  const Titles titles(record);
  if (nightOnly) {
    return AnyHolds(titles, kNightKeywords) ? Icon::kNightCache : Icon::kNone;
  }
  if (AnyHolds(titles, kMotorwayKeywords)) return Icon::kMotorway;
  if (AnyHolds(titles, kChurchKeywords)) return Icon::kChurch;
  if (AnyHolds(titles, kTravelBugHotelKeywords)) return Icon::kTravelBugHotel;
  if (AnyHolds(titles, kRailwayKeywords)) return Icon::kRailwayStation;
  return Icon::kNone;
}

// The icon of a cache from a Complete file, before the disabled marker.
Icon TypeIconOf(const CacheRecord& record) {
  for (const TypeIcon& row : kTypeIcons) {
    if (record.type != row.type) continue;
    if (row.refinement != Refinement::kNone) {
      const Icon special =
          SpecialIconOf(record, row.refinement == Refinement::kNight);
      if (special != Icon::kNone) return special;
    }
    return record.moved ? row.moved_icon : row.icon;
  }
  return Icon::kNone;
}

}  // namespace

std::string_view IconUrl(Icon icon) {
  return kIconUrls[static_cast<size_t>(icon)];
}

bool IsMotorwayCache(const CacheRecord& record) {
  return AnyHolds(Titles(record), kMotorwayKeywords);
}

bool IsChurchCache(const CacheRecord& record) {
  return AnyHolds(Titles(record), kChurchKeywords);
}

bool IsNightCache(const CacheRecord& record) {
  return AnyHolds(Titles(record), kNightKeywords);
}

bool IsTravelBugHotel(const CacheRecord& record) {
  return AnyHolds(Titles(record), kTravelBugHotelKeywords);
}

bool IsRailwayStation(const CacheRecord& record) {
  return AnyHolds(Titles(record), kRailwayKeywords);
}

Icon IconOf(const CacheRecord& record, int function, bool showDisabled) {
  for (const RoleIcon& role : kRoleIcons) {
    if (function == role.function) return role.icon;
  }
  if (function != kFunctionComplete) return Icon::kNone;
  if (record.unavailable && showDisabled) return Icon::kUnavailable;
  return TypeIconOf(record);
}

std::string_view IconHref(const CacheRecord& record, int function,
                          bool showDisabled) {
  return IconUrl(IconOf(record, function, showDisabled));
}

}  // namespace korvelo
