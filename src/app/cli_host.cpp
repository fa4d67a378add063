#include "app/cli_host.h"

namespace korvelo {
namespace {

class LineProgress : public Progress {
 public:
  explicit LineProgress(std::FILE* stream) : stream_(stream) {}
  void SetText(const std::string& text) override {
    if (stream_ == nullptr) return;
    std::fwrite(text.data(), 1, text.size(), stream_);
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
