// ReadAhead: a piece source run on a second thread, a few pieces ahead of
// its reader, so that making the bytes (inflating an archive entry and
// checking its sum) overlaps with parsing them.
#ifndef KORVELO_INPUT_READ_AHEAD_H_
#define KORVELO_INPUT_READ_AHEAD_H_

#include <array>
#include <condition_variable>
#include <cstddef>
#include <exception>
#include <functional>
#include <mutex>
#include <string_view>
#include <thread>
#include <vector>

namespace korvelo {

class ReadAhead {
 public:
  // Like WaypointCutter::Source: fills up to `size` bytes, 0 at the end.
  using Source = std::function<size_t(char* data, size_t size)>;

  // Starts calling `source` at once. The source is called on the other
  // thread only, one call at a time, until it returns 0 or throws, or this
  // object goes; it must outlive this object. That thread never handles
  // the stop signals.
  explicit ReadAhead(Source source);
  // Stops the thread; bytes it made that were not taken are dropped.
  ~ReadAhead();
  ReadAhead(const ReadAhead&) = delete;
  ReadAhead& operator=(const ReadAhead&) = delete;

  // The source's bytes in order: up to `size` of them, 0 at the end. What
  // the source threw is thrown here once the bytes before it are taken.
  size_t operator()(char* data, size_t size);
  // The same without a copy: the next bytes, at most one piece of them,
  // valid until the next call of either; empty at the end.
  std::string_view Take();

 private:
  static constexpr size_t kPieces = 4;
  static constexpr size_t kPieceSize = size_t{1} << 20;

  void Produce();
  // Frees the piece Take gave last for the other thread to fill again.
  void Release();

  Source source_;
  std::array<std::vector<char>, kPieces> pieces_;
  std::array<size_t, kPieces> sizes_{};
  std::mutex mutex_;
  std::condition_variable changed_;
  // Guarded by mutex_: pieces made and taken so far, and how it ended.
  size_t made_ = 0;
  size_t taken_ = 0;
  bool ended_ = false;
  bool stop_ = false;
  std::exception_ptr error_;
  // Reader only: whether it holds a piece, and the bytes of it that
  // operator() has not given yet.
  bool holding_ = false;
  std::string_view rest_;
  std::thread thread_;  // started once everything above exists
};

}  // namespace korvelo

#endif  // KORVELO_INPUT_READ_AHEAD_H_
