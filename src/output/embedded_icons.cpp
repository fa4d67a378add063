#include "output/embedded_icons.h"

#include <algorithm>

namespace korvelo {

std::optional<std::string_view> EmbeddedIcon(std::string_view name) {
  const std::span<const EmbeddedFile> icons = EmbeddedIcons();
  const auto found =
      std::lower_bound(icons.begin(), icons.end(), name,
                       [](const EmbeddedFile& file, std::string_view key) {
                         return file.name < key;
                       });
  if (found == icons.end() || found->name != name) return std::nullopt;
  return found->bytes;
}

}  // namespace korvelo
