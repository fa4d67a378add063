// What the app tests share: tiny pocket queries written on the fly, and a
// run host that records everything the run asks of it.
#ifndef KORVELO_TESTS_APP_RUN_FIXTURES_H_
#define KORVELO_TESTS_APP_RUN_FIXTURES_H_

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/run_host.h"

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

// Records every call as one event, in order: "[open]", "[controls]",
// "[ask]", each progress text as it is, "[message] <text>", "[close]".
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
  bool AskFileFunction(ConversionSettings&) override {
    events.push_back("[ask]");
    return answer_ok;
  }
  void ShowFinalMessage(const std::string& text) override {
    events.push_back("[message] " + text);
  }

  std::vector<std::string> events;
  bool answer_ok = true;  // the answer to the file-function question
  std::function<void(ConversionSettings&)> controls;  // the window's controls

 private:
  struct Recorder : Progress {
    explicit Recorder(std::vector<std::string>& events) : events(events) {}
    ~Recorder() override { events.push_back("[close]"); }
    void SetText(const std::string& text) override { events.push_back(text); }
    std::vector<std::string>& events;
  };
};

}  // namespace korvelo::testing

#endif  // KORVELO_TESTS_APP_RUN_FIXTURES_H_
