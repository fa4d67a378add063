#include "ui/progress_window_host.h"

#include "ui/progress_window.h"

namespace korvelo {

std::unique_ptr<Progress> ProgressWindowHost::OpenProgress() {
  return std::make_unique<ProgressWindow>(nullptr);
}

}  // namespace korvelo
