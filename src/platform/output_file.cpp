#include "platform/output_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <optional>
#include <random>
#include <streambuf>
#include <string>
#include <vector>

#include "platform/file_error.h"
#include "platform/files.h"
#include "platform/signal_cleanup.h"
#include "platform/unique_fd.h"

namespace korvelo {
namespace {

// Bytes a writer's output gathers before they go to the file in one write.
constexpr size_t kBufferBytes = 64 * 1024;
// Every so many bytes written, the disk is asked to start storing them, so
// that it works while the writer goes on instead of all at the final sync.
constexpr off_t kWriteBackBytes = 8 << 20;

// Buffers output for a descriptor and remembers the first write failure.
class DescriptorBuffer : public std::streambuf {
 public:
  explicit DescriptorBuffer(int fd) : fd_(fd), buffer_(kBufferBytes) {
    Reset();
  }
  int error() const { return error_; }

 protected:
  int_type overflow(int_type ch) override {
    if (!Drain()) return traits_type::eof();
    if (!traits_type::eq_int_type(ch, traits_type::eof())) {
      *pptr() = traits_type::to_char_type(ch);
      pbump(1);
    }
    return traits_type::not_eof(ch);
  }

  std::streamsize xsputn(const char* s, std::streamsize n) override {
    if (n < static_cast<std::streamsize>(buffer_.size())) {
      return std::streambuf::xsputn(s, n);
    }
    // Large pieces go straight to the file after what is buffered.
    if (!Drain()) return 0;
    return Write(s, static_cast<size_t>(n)) ? n : 0;
  }

  int sync() override { return Drain() ? 0 : -1; }

 private:
  void Reset() { setp(buffer_.data(), buffer_.data() + buffer_.size()); }

  bool Drain() {
    if (error_ != 0) return false;
    const bool written = Write(pbase(), static_cast<size_t>(pptr() - pbase()));
    Reset();
    return written;
  }

  bool Write(const char* bytes, size_t count) {
    error_ = WriteAll(fd_, bytes, count);
    if (error_ != 0) return false;
    written_ += static_cast<off_t>(count);
    if (written_ - written_back_ >= kWriteBackBytes) {
      // Only a hint: where it fails, the final sync stores everything.
      sync_file_range(fd_, written_back_, written_ - written_back_,
                      SYNC_FILE_RANGE_WRITE);
      written_back_ = written_;
    }
    return true;
  }

  int fd_;
  std::vector<char> buffer_;
  int error_ = 0;
  off_t written_ = 0;       // bytes in the file
  off_t written_back_ = 0;  // bytes the disk was asked to store
};

// A uniquely named file beside the target, removed unless committed.
class TempFile {
 public:
  // Throws the invalid-handle cause naming `target` when no file can be made.
  // The name is short and fixed in length, so that any target name that the
  // file system accepts also leaves room for its temporary file.
  explicit TempFile(std::string_view target) {
    const std::string native = std::string(target);
    const std::string base =
        native.substr(0, native.rfind('/') + 1) + ".korvelo-";
    static constexpr char kLetters[] =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    std::random_device random;
    const ScopedHoldSignals hold;  // until the file is known for removal
    for (int attempt = 0; attempt < 100; ++attempt) {
      path_ = base;
      for (int i = 0; i < 8; ++i) path_ += kLetters[random() % 62];
      path_ += ".tmp";
      fd_.Reset(
          open(path_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
      if (fd_.valid()) {
        on_signal_.Watch(path_);
        return;
      }
      if (errno != EEXIST) break;
    }
    throw FileError(FileCause::kInvalidFile, std::string(target), errno);
  }
  ~TempFile() {
    fd_.Reset();
    if (!committed_) unlink(path_.c_str());
  }
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;

  int fd() const { return fd_.get(); }

  // Makes the content durable and closes the file; 0 or an errno.
  int SyncAndClose() {
    int error = 0;
    if (fsync(fd_.get()) != 0 && errno != EINVAL && errno != EROFS) {
      error = errno;
    }
    const int close_error = fd_.Close();
    return error != 0 ? error : close_error;
  }

  // Renames the file to `target`; 0 or an errno.
  int CommitAs(const std::string& target) {
    if (rename(path_.c_str(), target.c_str()) != 0) return errno;
    committed_ = true;
    return 0;
  }

 private:
  std::string path_;
  UniqueFd fd_;
  ScopedRemoveOnSignal on_signal_;
  bool committed_ = false;
};

// Runs the writer; 0, the errno of a failed write, or -1 for a stream that
// went bad without one.
int RunWriter(int fd, const StreamWriter& write) {
  DescriptorBuffer buffer(fd);
  std::ostream out(&buffer);
  out.exceptions(std::ios::badbit);
  try {
    write(out);
    out.flush();
  } catch (const std::ios_base::failure&) {
    // The stream stopped the writer at its first failed write.
  }
  if (buffer.error() != 0) return buffer.error();
  return out.good() ? 0 : -1;
}

// The permission bits the replacement must keep: those of a regular file at
// `path`; none when there is no such file (a symbolic link there is replaced
// by the new file, never followed). Throws FileError naming `path` when the
// file is there but could not have been opened for writing (a read-only
// file), as a plain writer would have failed.
std::optional<mode_t> KeptPermissions(std::string_view path) {
  const std::string native = std::string(path);
  struct stat info;
  if (lstat(native.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
    return std::nullopt;
  }
  if (faccessat(AT_FDCWD, native.c_str(), W_OK,
                AT_EACCESS | AT_SYMLINK_NOFOLLOW) != 0) {
    throw FileErrorFromErrno(errno, path);
  }
  return info.st_mode & 0777;
}

}  // namespace

void WriteFileAtomically(std::string_view path, const StreamWriter& write) {
  const std::optional<mode_t> permissions = KeptPermissions(path);
  TempFile temp(path);
  if (permissions && fchmod(temp.fd(), *permissions) != 0) {
    throw WriteFailure(errno, path);
  }
  int error = RunWriter(temp.fd(), write);
  if (error == 0) error = temp.SyncAndClose();
  if (error != 0) throw WriteFailure(error, path);
  // A target that cannot take the file (a folder of that name, say) is a
  // file that could not be created.
  error = temp.CommitAs(std::string(path));
  if (error != 0)
    throw FileError(FileCause::kInvalidFile, std::string(path), error);
}

bool RemoveRegularFile(std::string_view path) {
  const std::string native(path);
  struct stat info;
  return lstat(native.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
         unlink(native.c_str()) == 0;
}

}  // namespace korvelo
