#include "app/run_fixtures.h"

namespace korvelo::testing {
namespace {

class RecordingProgress : public Progress {
 public:
  explicit RecordingProgress(RecordingHost& host) : host_(host) {}
  ~RecordingProgress() override { host_.events.push_back("[close]"); }
  void SetText(const std::string& text) override {
    host_.events.push_back(text);
    if (host_.on_text) host_.on_text(text);
  }

 private:
  RecordingHost& host_;
};

}  // namespace

std::string PocketQuery(const std::vector<FakeCache>& caches) {
  std::string gpx = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<gpx>\r\n";
  for (const FakeCache& cache : caches) {
    gpx += "<wpt lat=\"50.5\" lon=\"8.5\">\r\n  <name>" + cache.code +
           "</name>\r\n  <urlname>Cache " + cache.code +
           "</urlname>\r\n  <groundspeak:cache id=\"1\" available=\"True\" "
           "archived=\"False\">\r\n    <groundspeak:placed_by>" +
           cache.owner + "</groundspeak:placed_by>\r\n    <groundspeak:type>" +
           cache.type +
           "</groundspeak:type>\r\n  </groundspeak:cache>\r\n"
           "</wpt>\r\n";
  }
  return gpx + "</gpx>\r\n";
}

std::vector<FakeCache> NumberedCaches(int first, int count) {
  std::vector<FakeCache> caches;
  for (int i = first; i < first + count; ++i) {
    caches.push_back({"GC" + std::to_string(i)});
  }
  return caches;
}

std::unique_ptr<Progress> RecordingHost::OpenProgress() {
  events.push_back("[open]");
  return std::make_unique<RecordingProgress>(*this);
}

void RecordingHost::ReadControls(ConversionSettings& settings) {
  events.push_back("[controls]");
  if (controls) controls(settings);
}

bool RecordingHost::AskFileFunction(ConversionSettings& settings) {
  events.push_back("[ask]");
  settings.Mode = mode_chosen;
  return answer_ok;
}

void RecordingHost::ShowFinalMessage(const std::string& text) {
  events.push_back("[message] " + text);
}

ConversionSettings PlainSettings() {
  ConversionSettings settings;
  settings.bOutputKml = false;
  settings.OutputKmlDirFileMode = 0;
  return settings;
}

}  // namespace korvelo::testing
