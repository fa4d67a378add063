#include "platform/signal_cleanup.h"

#include <pthread.h>
#include <unistd.h>

#include <atomic>
#include <climits>
#include <csignal>

namespace korvelo {
namespace {

enum Kind : int { kFree, kFile, kTruncate };

// The handler may only use what is safe in a signal handler: these slots
// are filled before they are marked used, and read without allocating.
struct Slot {
  std::atomic<int> kind{kFree};
  char path[PATH_MAX];
  int fd;
  off_t length;
};

// Files being written and sheets being appended at one time, with room.
constexpr int kSlots = 32;
Slot slots[kSlots];

constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};

// A free slot, marked taken but not yet active; -1 when none is left.
int ClaimSlot() {
  for (int i = 0; i < kSlots; ++i) {
    int expected = kFree;
    if (slots[i].kind.compare_exchange_strong(expected, -1)) return i;
  }
  return -1;
}

void ReleaseSlot(int slot) {
  if (slot >= 0) slots[slot].kind.store(kFree);
}

void OnSignal(int signal) {
  for (Slot& slot : slots) {
    switch (slot.kind.load()) {
      case kFile:
        unlink(slot.path);
        break;
      case kTruncate:
        if (ftruncate(slot.fd, slot.length) != 0) {
          // Nothing else can be done while the process ends.
        }
        break;
      default:
        break;
    }
  }
  _exit(128 + signal);
}

}  // namespace

void InstallSignalCleanup() {
  struct sigaction action {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  for (int signal : kSignals) sigaddset(&action.sa_mask, signal);
  for (int signal : kSignals) sigaction(signal, &action, nullptr);
  // A file grown past the size limit fails its write (EFBIG, a full disk to
  // the user) instead of killing the process with its files half written.
  std::signal(SIGXFSZ, SIG_IGN);
}

ScopedHoldSignals::ScopedHoldSignals() {
  sigset_t held;
  sigemptyset(&held);
  for (int signal : kSignals) sigaddset(&held, signal);
  pthread_sigmask(SIG_BLOCK, &held, &previous_);
}

ScopedHoldSignals::~ScopedHoldSignals() {
  pthread_sigmask(SIG_SETMASK, &previous_, nullptr);
}

void ScopedRemoveOnSignal::Watch(std::string_view path) {
  if (slot_ >= 0 || path.empty() || path.size() >= PATH_MAX) return;
  slot_ = ClaimSlot();
  if (slot_ < 0) return;
  Slot& slot = slots[slot_];
  path.copy(slot.path, path.size());
  slot.path[path.size()] = '\0';
  slot.kind.store(kFile);
}

ScopedRemoveOnSignal::~ScopedRemoveOnSignal() { ReleaseSlot(slot_); }

ScopedTruncateOnSignal::ScopedTruncateOnSignal(int fd, off_t length)
    : slot_(length >= 0 ? ClaimSlot() : -1) {
  if (slot_ < 0) return;
  slots[slot_].fd = fd;
  slots[slot_].length = length;
  slots[slot_].kind.store(kTruncate);
}

ScopedTruncateOnSignal::~ScopedTruncateOnSignal() { ReleaseSlot(slot_); }

}  // namespace korvelo
