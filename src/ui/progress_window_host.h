// ProgressWindowHost: the host of a command-line conversion on a machine with
// a display: the progress window without owner, nothing else.
#ifndef KORVELO_UI_PROGRESS_WINDOW_HOST_H_
#define KORVELO_UI_PROGRESS_WINDOW_HOST_H_

#include <memory>

#include "app/cli_host.h"

namespace korvelo {

// Like CliHost (no question, no final message), but shows each run's steps
// in a ProgressWindow. Needs a QApplication.
class ProgressWindowHost : public CliHost {
 public:
  ProgressWindowHost() : CliHost(nullptr) {}
  std::unique_ptr<Progress> OpenProgress() override;
};

}  // namespace korvelo

#endif  // KORVELO_UI_PROGRESS_WINDOW_HOST_H_
