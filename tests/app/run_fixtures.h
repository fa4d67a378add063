// What the app tests share: tiny pocket queries, a run host that records
// everything the run asks of it, and the real program run through the shell
// with its own settings, temporary and working folders and no display.
#ifndef KORVELO_TESTS_APP_RUN_FIXTURES_H_
#define KORVELO_TESTS_APP_RUN_FIXTURES_H_

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/run_host.h"
#include "input/text.h"
#include "support/test_support.h"

namespace korvelo::testing {

// Traditional caches GC<first> ... GC<first + count - 1> of `owner`.
inline std::string PocketQuery(int first, int count,
                               const std::string& owner = "Owner") {
  std::string gpx = "<gpx>\r\n";
  for (int i = first; i < first + count; ++i) {
    const std::string code = "GC" + std::to_string(i);
    gpx += "<wpt lat=\"50.5\" lon=\"8.5\">\r\n<name>" + code +
           "</name>\r\n<urlname>Cache " + code +
           "</urlname>\r\n<groundspeak:placed_by>" + owner +
           "</groundspeak:placed_by>\r\n<groundspeak:type>Traditional "
           "Cache</groundspeak:type>\r\n</wpt>\r\n";
  }
  return gpx + "</gpx>\r\n";
}

// Records every call as one event: "[open]", "[controls]", each progress
// text, "[message] <text>", "[close]"; the file function is never asked.
class RecordingHost : public RunHost {
 public:
  std::unique_ptr<Progress> OpenProgress() override {
    events.push_back("[open]");
    return std::make_unique<Recorder>(events);
  }
  void ReadControls(ConversionSettings& settings) override {
    events.push_back("[controls]");
    if (controls) controls(settings);
  }
  bool AskFileFunction(ConversionSettings&) override { return false; }
  void ShowFinalMessage(const std::string& text) override {
    events.push_back("[message] " + text);
  }

  std::vector<std::string> events;
  std::function<void(ConversionSettings&)> controls;  // the window's controls

 private:
  struct Recorder : Progress {
    explicit Recorder(std::vector<std::string>& events) : events(events) {}
    ~Recorder() override { events.push_back("[close]"); }
    void SetText(const std::string& text) override { events.push_back(text); }
    std::vector<std::string>& events;
  };
};

// The names in `dir`, sorted; subfolders are not entered.
inline std::vector<std::string> Names(const std::string& dir) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(dir))
    names.push_back(entry.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

class ProgramRun : public ::testing::Test {
 protected:
  ProgramRun() = default;
  // Settings, working and temporary folders below `base` instead of the
  // build tree.
  explicit ProgramRun(const std::filesystem::path& base)
      : config_(base), work_(base), tmp_(base) {}

  std::string conf() const { return config_ / "Brannoc/Korvelo.conf"; }
  void Store(const std::string& lines) {
    WriteFileOrFail(conf(), "[General]\n" + lines);
  }

  // The shell command that starts the program on `args` (shell text) in
  // work_, behind `prefix` (runuser, prlimit, exec).
  std::string Command(const std::string& args, const std::string& prefix = "",
                      bool on_terminal = false) {
    std::string command =
        "cd " + ShellWord(work_.path()) + " && " + prefix +
        " env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM " + env_ +
        " XDG_CONFIG_HOME=" + ShellWord(config_.path()) +
        " TMPDIR=" + ShellWord(tmp_.path()) + " " + ShellWord(binary_) + " " +
        args;
    if (on_terminal)
      command = "script -qec " + ShellWord(command) + " /dev/null";
    return command + " </dev/null >" + ShellWord(config_ / "out") + " 2>" +
           ShellWord(config_ / "err");
  }

  // Runs to the end (a hang of a minute fails); on a pseudo-terminal, whose
  // screen lands in out_, when `on_terminal`. Returns the exit status.
  int Run(const std::string& args, const std::string& prefix = "",
          bool on_terminal = false) {
    const std::string limit = on_terminal ? "" : "timeout 60 ";
    const int status =
        std::system(Command(args, limit + prefix, on_terminal).c_str());
    out_ = ReadFileOrFail(config_ / "out");
    err_ = ReadFileOrFail(config_ / "err");
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  TempDir config_, work_, tmp_;
  std::string binary_ = KORVELO_BINARY;
  std::string env_;  // more `env` arguments, such as "-u NAME" or "NAME=value"
  std::string out_, err_;
};

}  // namespace korvelo::testing

#endif  // KORVELO_TESTS_APP_RUN_FIXTURES_H_
