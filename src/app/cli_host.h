// CliHost: the run host of a command-line conversion, without any window.
#ifndef KORVELO_APP_CLI_HOST_H_
#define KORVELO_APP_CLI_HOST_H_

#include <cstdio>
#include <memory>
#include <string>

#include "app/run_host.h"

namespace korvelo {

// Asks nothing and shows no final message. Progress texts go, one per line,
// to `progress_stream` (standard error when that is a terminal), or nowhere
// when it is null. The stream must outlive the host.
class CliHost : public RunHost {
 public:
  explicit CliHost(std::FILE* progress_stream)
      : progress_stream_(progress_stream) {}

  std::unique_ptr<Progress> OpenProgress() override;
  void ReadControls(ConversionSettings&) override {}
  // Never asked: a command-line run always has its FileFunction.
  bool AskFileFunction(ConversionSettings&) override { return false; }
  void ShowFinalMessage(const std::string&) override {}

 private:
  std::FILE* progress_stream_;
};

}  // namespace korvelo

#endif  // KORVELO_APP_CLI_HOST_H_
