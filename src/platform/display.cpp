#include "platform/display.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

namespace korvelo {
namespace {

std::string_view Env(const char* name) {
  const char* value = std::getenv(name);
  return value == nullptr ? std::string_view() : std::string_view(value);
}

// `abstract`: the name lives in the abstract namespace (X servers listen
// there as well as on the file).
bool Connects(const std::string& path, bool abstract) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  const size_t offset = abstract ? 1 : 0;
  if (path.empty() || path.size() + offset >= sizeof address.sun_path) {
    return false;
  }
  std::memcpy(address.sun_path + offset, path.data(), path.size());
  const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return false;
  const socklen_t length = static_cast<socklen_t>(
      offsetof(sockaddr_un, sun_path) + offset + path.size());
  const bool connected =
      connect(fd, reinterpret_cast<const sockaddr*>(&address), length) == 0;
  close(fd);
  return connected;
}

bool WaylandAvailable() {
  const std::string_view name = Env("WAYLAND_DISPLAY");
  if (name.empty()) return false;
  if (name.front() == '/') return Connects(std::string(name), false);
  const std::string_view runtime = Env("XDG_RUNTIME_DIR");
  return !runtime.empty() &&
         Connects(std::string(runtime) + "/" + std::string(name), false);
}

bool X11Available() {
  const std::string_view display = Env("DISPLAY");
  const size_t colon = display.rfind(':');
  if (colon == std::string_view::npos) return false;
  // Only local displays (":0", "unix:0") can be tried cheaply.
  const std::string_view host = display.substr(0, colon);
  if (!host.empty() && host != "unix") return true;
  std::string_view number = display.substr(colon + 1);
  number = number.substr(0, number.find('.'));
  const std::string socket = "/tmp/.X11-unix/X" + std::string(number);
  return Connects(socket, false) || Connects(socket, true);
}

}  // namespace

bool DisplayServerReachable() { return WaylandAvailable() || X11Available(); }

}  // namespace korvelo
