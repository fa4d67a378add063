// The display probe against sockets the test listens on itself.
#include "platform/display.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

#include "support/test_support.h"

namespace korvelo {
namespace {

// Sets (or, for nullopt, unsets) one environment variable and puts the old
// value back when it goes away.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const std::optional<std::string>& value)
      : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    Set(value);
  }
  ~ScopedEnv() { Set(old_); }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  void Set(const std::optional<std::string>& value) {
    if (value) {
      setenv(name_, value->c_str(), 1);
    } else {
      unsetenv(name_);
    }
  }
  const char* name_;
  std::optional<std::string> old_;
};

// A Unix socket bound at `path`; listening, or closed again so that the
// file stays and nobody answers.
void BindSocket(const std::string& path, bool listening) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  ASSERT_LT(path.size(), sizeof address.sun_path);
  std::memcpy(address.sun_path, path.data(), path.size());
  const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(
      bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
  ASSERT_EQ(listen(fd, 4), 0);
  if (!listening) close(fd);  // a listening one stays open until the exit
}

TEST(DisplayServerReachable, AnswersOnlyForASocketThatAccepts) {
  const testing::TempDir dir("/tmp");
  BindSocket(dir / "wayland-up", true);
  BindSocket(dir / "wayland-down", false);
  using Env = std::optional<std::string>;
  const struct {
    Env wayland, runtime, display;
    bool reachable;
  } rows[] = {
      {dir / "wayland-up", {}, {}, true},
      {"wayland-up", dir.path(), {}, true},
      {"wayland-up", {}, {}, false},  // a relative name needs the folder
      {dir / "wayland-down", {}, {}, false},
      {{}, {}, "remote.example:0", true},  // a remote display is trusted
      {{}, {}, ":49151.0", false},         // no such local X server
      {{}, {}, "no-colon", false},
      {{}, {}, {}, false},
  };
  for (const auto& row : rows) {
    const ScopedEnv wayland("WAYLAND_DISPLAY", row.wayland);
    const ScopedEnv runtime("XDG_RUNTIME_DIR", row.runtime);
    const ScopedEnv display("DISPLAY", row.display);
    EXPECT_EQ(DisplayServerReachable(), row.reachable)
        << row.wayland.value_or("-") << " " << row.display.value_or("-");
  }
}

}  // namespace
}  // namespace korvelo
