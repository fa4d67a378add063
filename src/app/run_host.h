// RunHost: what a conversion run needs from the face that started it (the
// main window, or the command line without any window).
#ifndef KORVELO_APP_RUN_HOST_H_
#define KORVELO_APP_RUN_HOST_H_

#include <memory>
#include <string>

#include "cachelist/progress.h"
#include "output/conversion_settings.h"

namespace korvelo {

// One host serves any number of runs, one at a time; it must outlive each
// run it is handed to.
class RunHost {
 public:
  virtual ~RunHost() = default;

  // Opens the progress display of one run, owned by the host's main window
  // when it has one (which stays disabled while the display exists). The run
  // holds it until it ends, on every way out; destroying it closes the
  // display and enables the main window again. Never null.
  virtual std::unique_ptr<Progress> OpenProgress() = 0;

  // Copies the main window's controls into `settings`; a host without a
  // window does nothing.
  virtual void ReadControls(ConversionSettings& settings) = 0;

  // Asks which role the inputs play; may change settings.Mode, bSmallIcons
  // and bShowDisable. True when the user confirmed (the run then takes
  // settings.Mode), false to abandon the run.
  virtual bool AskFileFunction(ConversionSettings& settings) = 0;

  // The final count ("12 caches processed"); returns once the user has
  // seen it. A host without a window shows nothing.
  virtual void ShowFinalMessage(const std::string& text) = 0;
};

}  // namespace korvelo

#endif  // KORVELO_APP_RUN_HOST_H_
