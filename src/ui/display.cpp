#include "ui/display.h"

#include <cstdlib>
#include <string_view>

#include "platform/display.h"

namespace korvelo {
namespace {

// Qt's platforms that need no display server ($QT_QPA_PLATFORM, as Qt
// reads it).
bool InvisiblePlatform() {
  const char* value = std::getenv("QT_QPA_PLATFORM");
  const std::string_view platform = value == nullptr ? "" : value;
  return platform.starts_with("offscreen") || platform.starts_with("minimal");
}

}  // namespace

bool DisplayAvailable() {
  return InvisiblePlatform() || DisplayServerReachable();
}

bool VisibleDisplayAvailable() {
  return !InvisiblePlatform() && DisplayServerReachable();
}

}  // namespace korvelo
