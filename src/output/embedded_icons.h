// The map icons (assets/icons/geocaching/icons/*.png) built into the
// program, so that a self-contained map can be written on any machine,
// installed or not.
#ifndef KORVELO_OUTPUT_EMBEDDED_ICONS_H_
#define KORVELO_OUTPUT_EMBEDDED_ICONS_H_

#include <optional>
#include <span>
#include <string_view>

namespace korvelo {

struct EmbeddedFile {
  std::string_view name;   // file name, e.g. "icon_found.png"
  std::string_view bytes;  // the file's bytes, static storage
};

// Every embedded icon, sorted by name in byte order.
std::span<const EmbeddedFile> EmbeddedIcons();

// The bytes of the icon file `name`; nullopt when no such icon was built in.
std::optional<std::string_view> EmbeddedIcon(std::string_view name);

}  // namespace korvelo

#endif  // KORVELO_OUTPUT_EMBEDDED_ICONS_H_
