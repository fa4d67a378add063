// UniqueFd: the one owner of an open file descriptor in the program.
#ifndef KORVELO_PLATFORM_UNIQUE_FD_H_
#define KORVELO_PLATFORM_UNIQUE_FD_H_

#include <unistd.h>

#include <utility>

namespace korvelo {

// Closes its descriptor when it goes away, also while an exception passes.
// A negative descriptor owns nothing. Movable, not copyable.
class UniqueFd {
 public:
  UniqueFd() = default;
  explicit UniqueFd(int fd) : fd_(fd) {}
  ~UniqueFd() { Reset(); }
  UniqueFd(UniqueFd&& other) noexcept : fd_(other.Release()) {}
  UniqueFd& operator=(UniqueFd&& other) noexcept {
    if (this != &other) Reset(other.Release());
    return *this;
  }
  UniqueFd(const UniqueFd&) = delete;
  UniqueFd& operator=(const UniqueFd&) = delete;

  int get() const { return fd_; }
  bool valid() const { return fd_ >= 0; }

  // Gives up ownership without closing.
  int Release() { return std::exchange(fd_, -1); }
  // Closes the owned descriptor (its error is lost) and takes `fd`.
  void Reset(int fd = -1) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = fd;
  }
  // Closes the owned descriptor; 0 or the errno of a failed close (EINTR
  // counts as closed, as on Linux the descriptor is gone either way).
  int Close();

 private:
  int fd_ = -1;
};

}  // namespace korvelo

#endif  // KORVELO_PLATFORM_UNIQUE_FD_H_
