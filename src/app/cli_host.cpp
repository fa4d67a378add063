#include "app/cli_host.h"

#include "app/terminal_text.h"

namespace korvelo {
namespace {

class LineProgress : public Progress {
 public:
  explicit LineProgress(std::FILE* stream) : stream_(stream) {}
  void SetText(const std::string& text) override {
    if (stream_ == nullptr) return;
    // Archive entry and file names are part of the texts.
    const std::string line = TerminalSafe(text);
    std::fwrite(line.data(), 1, line.size(), stream_);
    std::fputc('\n', stream_);
    std::fflush(stream_);
  }

 private:
  std::FILE* stream_;
};

}  // namespace

std::unique_ptr<Progress> CliHost::OpenProgress() {
  return std::make_unique<LineProgress>(progress_stream_);
}

}  // namespace korvelo
