#include "input/read_ahead.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "platform/signal_cleanup.h"

namespace korvelo {

ReadAhead::ReadAhead(Source source) : source_(std::move(source)) {
  // The stop signals stay with the thread that writes the outputs: a
  // handler run on this one could cut a sheet back while the writer goes on
  // appending to it. The new thread keeps the held mask for its life.
  const ScopedHoldSignals hold;
  thread_ = std::thread([this] { Produce(); });
}

ReadAhead::~ReadAhead() {
  {
    const std::lock_guard lock(mutex_);
    stop_ = true;
  }
  changed_.notify_all();
  thread_.join();
}

// Fills the piece after the last one made whenever one is free. A piece is
// only written while the reader cannot be in it: made_ - taken_ < kPieces
// keeps the piece being filled apart from every piece made and not yet
// taken, the reader's current one included.
void ReadAhead::Produce() {
  for (;;) {
    size_t slot = 0;
    {
      std::unique_lock lock(mutex_);
      changed_.wait(lock, [this] { return stop_ || made_ - taken_ < kPieces; });
      if (stop_) return;
      slot = made_ % kPieces;
    }
    std::vector<char>& piece = pieces_[slot];
    size_t got = 0;
    std::exception_ptr error;
    try {
      if (piece.empty()) piece.resize(kPieceSize);
      got = source_(piece.data(), piece.size());
    } catch (...) {
      error = std::current_exception();
    }
    {
      const std::lock_guard lock(mutex_);
      sizes_[slot] = got;
      if (got == 0 || error) {
        ended_ = true;
        error_ = error;
      } else {
        ++made_;
      }
    }
    changed_.notify_all();
    if (got == 0 || error) return;
  }
}

std::string_view ReadAhead::Take() {
  if (!rest_.empty()) return std::exchange(rest_, {});
  Release();
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [this] { return made_ > taken_ || ended_; });
  if (made_ == taken_) {
    if (error_) std::rethrow_exception(std::exchange(error_, nullptr));
    return {};
  }
  // The piece stays the reader's until Release moves taken_ on.
  const size_t slot = taken_ % kPieces;
  holding_ = true;
  return {pieces_[slot].data(), sizes_[slot]};
}

void ReadAhead::Release() {
  if (!holding_) return;
  holding_ = false;
  {
    const std::lock_guard lock(mutex_);
    ++taken_;
  }
  changed_.notify_all();
}

size_t ReadAhead::operator()(char* data, size_t size) {
  if (rest_.empty()) rest_ = Take();
  // An ended source hands back an empty view with no data pointer, and
  // memcpy must not be given one even for no bytes.
  if (rest_.empty()) return 0;
  const size_t count = std::min(size, rest_.size());
  std::memcpy(data, rest_.data(), count);
  rest_.remove_prefix(count);
  return count;
}

}  // namespace korvelo
