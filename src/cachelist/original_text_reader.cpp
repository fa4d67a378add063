#include "cachelist/original_text_reader.h"

#include <algorithm>
#include <cerrno>

#include "platform/file_error.h"

namespace korvelo {
namespace {

// Bytes read at once where the texts follow each other in the file.
constexpr size_t kWindowBytes = 1 << 20;
// Files open at once: a query, its additional waypoints, and room for the
// lists of a folder, which are written one file after the other.
constexpr size_t kWindows = 4;

FileError ChangedFile(const std::string& path) {
  return FileError(FileCause::kSharingViolation, path, ESTALE);
}

}  // namespace

std::string_view OriginalTextReader::Read(const KeptText& text) {
  if (text.file == KeptText::kInMemory) return {text.data, text.size};
  Window& window = WindowOf(text.file);
  window.last_use = ++uses_;
  if (text.offset < window.offset ||
      text.offset + text.size > window.offset + window.size) {
    Fill(window, text);
  }
  const std::string_view bytes(
      window.bytes.get() + (text.offset - window.offset), text.size);
  if (KeptTextCrc(bytes) != text.crc) {
    throw ChangedFile(originals_.files()[text.file].path);
  }
  return bytes;
}

OriginalTextReader::Window& OriginalTextReader::WindowOf(uint32_t file) {
  for (Window& window : windows_) {
    if (window.file == file && window.input) return window;
  }
  if (windows_.size() < kWindows) {
    windows_.emplace_back();
    Open(windows_.back(), file);
    return windows_.back();
  }
  Window& oldest = *std::min_element(
      windows_.begin(), windows_.end(),
      [](const Window& a, const Window& b) { return a.last_use < b.last_use; });
  Open(oldest, file);
  return oldest;
}

// A file that is not as it was when it was loaded fails before any of its
// bytes are read; the text checksums catch what its stamp does not show.
void OriginalTextReader::Open(Window& window, uint32_t file) {
  const KeptFile& kept = originals_.files()[file];
  window.input.reset();
  window.size = 0;
  auto input = std::make_unique<InputFile>(kept.path);
  if (input->Stamp() != kept.stamp) throw ChangedFile(kept.path);
  window.input = std::move(input);
  window.file = file;
}

// Reads the text, and the bytes behind it too when the reads go forward
// through the file; a jump elsewhere reads the text alone, so an output in
// another order never reads much more than it writes.
void OriginalTextReader::Fill(Window& window, const KeptText& text) {
  const uint64_t end = window.offset + window.size;
  const bool forward = window.size == 0 ||
                       (text.offset >= end && text.offset - end < kWindowBytes);
  const size_t want =
      forward ? std::max<size_t>(text.size, kWindowBytes) : text.size;
  if (want > window.capacity) {
    window.bytes = std::make_unique_for_overwrite<char[]>(want);
    window.capacity = want;
  }
  window.size = 0;
  const size_t got =
      window.input->ReadAt(text.offset, window.bytes.get(), want);
  if (got < text.size) {
    throw ChangedFile(originals_.files()[text.file].path);
  }
  window.offset = text.offset;
  window.size = got;
}

}  // namespace korvelo
