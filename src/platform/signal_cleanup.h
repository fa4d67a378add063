// Clean-up when the user stops the program: on SIGINT, SIGTERM and SIGHUP
// the temporary files still in use are removed and a sheet
// being appended is cut back, then the process ends with 128 + the signal.
#ifndef KORVELO_PLATFORM_SIGNAL_CLEANUP_H_
#define KORVELO_PLATFORM_SIGNAL_CLEANUP_H_

#include <signal.h>
#include <sys/types.h>

#include <string_view>

namespace korvelo {

// Installs the handlers, and ignores SIGXFSZ so that a write past the
// file-size limit fails like one on a full disk. Once per process, before
// the first run.
void InstallSignalCleanup();

// Holds back the stop signals while it exists; one that arrives meanwhile
// is handled when it goes away. For the moment between creating a
// temporary file and registering it for removal.
class ScopedHoldSignals {
 public:
  ScopedHoldSignals();
  ~ScopedHoldSignals();
  ScopedHoldSignals(const ScopedHoldSignals&) = delete;
  ScopedHoldSignals& operator=(const ScopedHoldSignals&) = delete;

 private:
  sigset_t previous_;
};

// While it exists, the handler removes the file at `path`. Registers
// nothing when all places are taken.
class ScopedRemoveOnSignal {
 public:
  ScopedRemoveOnSignal() = default;
  ~ScopedRemoveOnSignal();
  ScopedRemoveOnSignal(const ScopedRemoveOnSignal&) = delete;
  ScopedRemoveOnSignal& operator=(const ScopedRemoveOnSignal&) = delete;

  // Starts watching `path` when nothing is watched yet.
  void Watch(std::string_view path);

 private:
  int slot_ = -1;
};

// While it exists, the handler cuts the open file `fd` back to `length`.
class ScopedTruncateOnSignal {
 public:
  ScopedTruncateOnSignal(int fd, off_t length);
  ~ScopedTruncateOnSignal();
  ScopedTruncateOnSignal(const ScopedTruncateOnSignal&) = delete;
  ScopedTruncateOnSignal& operator=(const ScopedTruncateOnSignal&) = delete;

 private:
  int slot_;
};

}  // namespace korvelo

#endif  // KORVELO_PLATFORM_SIGNAL_CLEANUP_H_
