#include "output/map_icons.h"

#include <iterator>

#include "input/text.h"
#include "output/cache_types.h"
#include "output/file_function.h"

namespace korvelo {
namespace {

// Indexed by Icon.
constexpr std::string_view kIconFiles[] = {
    "",
    "icon_traditional.png",
    "icon_multi.png",
    "icon_virtual.png",
    "icon_letterbox.png",
    "icon_event.png",
    "icon_unknown.png",
    "icon_webcam.png",
    "icon_cito.png",
    "icon_earthcache.png",
    "icon_megaevent.png",
    "icon_whereigo.png",
    "icon_moved.png",
    "icon_multimoved.png",
    "icon_nightcache.png",
    "icon_autobahn.png",
    "icon_church.png",
    "icon_tbhotel.png",
    "icon_train.png",
    "icon_found.png",
    "icon_mine.png",
    "icon_unavailable.png",
    "icon_marker.png",
};
static_assert(std::size(kIconFiles) == static_cast<size_t>(Icon::kMarked) + 1);

struct NewerType {
  std::string_view type;  // compared ignoring ASCII case, like the rows
  std::string_view file;
};

constexpr NewerType kNewerTypes[] = {
    {"Giga-Event Cache", "icon_gigaevent.png"},
    {"Lab Cache", "icon_lab.png"},
    {"Community Celebration Event", "icon_celebration.png"},
};
constexpr std::string_view kGenericIconFile = "icon_generic.png";

struct RowIcons {
  std::string_view short_name;
  Icon icon;
  Icon solved_icon;
};

// By short name, so that the table cannot silently pair a row with another
// row's icons.
constexpr RowIcons kRowIcons[] = {
    {"CITO", Icon::kCito, Icon::kCito},
    {"Earth", Icon::kEarthcache, Icon::kEarthcache},
    {"Event", Icon::kEvent, Icon::kEvent},
    {"Letterbox", Icon::kLetterbox, Icon::kLetterbox},
    {"MegaEvent", Icon::kMegaEvent, Icon::kMegaEvent},
    {"Multi", Icon::kMulti, Icon::kMultiSolved},
    {"Tradi", Icon::kTraditional, Icon::kTraditional},
    {"Unknown", Icon::kUnknown, Icon::kUnknownSolved},
    {"Virtual", Icon::kVirtual, Icon::kVirtual},
    {"Webcam", Icon::kWebcam, Icon::kWebcam},
    {"Wherigo", Icon::kWherigo, Icon::kWherigo},
};

}  // namespace

std::string_view IconFile(Icon icon) {
  return kIconFiles[static_cast<size_t>(icon)];
}

std::string_view NewerTypeIconFile(std::string_view type) {
  for (const NewerType& newer : kNewerTypes) {
    if (EqualsIgnoringAsciiCase(type, newer.type)) return newer.file;
  }
  return kGenericIconFile;
}

std::string_view PlacemarkIconFile(const CacheRecord& record, int function,
                                   bool showDisabled, bool newer_type) {
  const Icon icon = IconOf(record, function, showDisabled);
  if (icon == Icon::kNone && newer_type && function == kFunctionComplete) {
    return NewerTypeIconFile(record.type);
  }
  return IconFile(icon);
}

Icon RowListIcon(size_t row, bool solved) {
  for (const RowIcons& icons : kRowIcons) {
    if (icons.short_name == kCacheTypes[row].short_name) {
      return solved ? icons.solved_icon : icons.icon;
    }
  }
  return Icon::kNone;
}

}  // namespace korvelo
