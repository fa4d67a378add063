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

struct FakeCache {
  std::string code;
  std::string owner = "Owner";
  std::string type = "Traditional Cache";
};

// A GPX text holding one wpt element per cache, at 50.5 / 8.5.
std::string PocketQuery(const std::vector<FakeCache>& caches);

// Caches GC<first> ... GC<first + count - 1>, owner "Owner".
std::vector<FakeCache> NumberedCaches(int first, int count);

// Records every call as one event, in order: "[open]", "[controls]",
// "[ask]", each progress text as it is, "[message] <text>", "[close]".
class RecordingHost : public RunHost {
 public:
  std::unique_ptr<Progress> OpenProgress() override;
  void ReadControls(ConversionSettings& settings) override;
  bool AskFileFunction(ConversionSettings& settings) override;
  void ShowFinalMessage(const std::string& text) override;

  std::vector<std::string> events;
  // The answer of the file-function question and the Mode it leaves.
  bool answer_ok = true;
  int32_t mode_chosen = 1;
  // Runs inside ReadControls, standing in for the window's controls.
  std::function<void(ConversionSettings&)> controls;
  // Runs inside every SetText, after it was recorded.
  std::function<void(const std::string&)> on_text;
};

// Settings with every optional stage and the KML folder switched off.
ConversionSettings PlainSettings();

}  // namespace korvelo::testing

#endif  // KORVELO_TESTS_APP_RUN_FIXTURES_H_
