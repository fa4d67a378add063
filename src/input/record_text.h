// RecordText: one text field of a CacheRecord, eight bytes wide.
#ifndef KORVELO_INPUT_RECORD_TEXT_H_
#define KORVELO_INPUT_RECORD_TEXT_H_

#include <bit>
#include <compare>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <iosfwd>
#include <string>
#include <string_view>
#include <utility>

#include "input/record_block_pool.h"

namespace korvelo {

template <size_t N>
struct StaticRecordText;

// An immutable byte string that reads like a std::string_view. A record has
// nineteen of these and a file can unpack into millions of records, so a
// text is one pointer: null when empty, else to a four-byte size header with
// the bytes behind it. The header also says who owns the bytes:
// - the block of the record that holds the field (the parser puts all of a
//   waypoint's texts into one allocation; the record frees it),
// - a shared, reference-counted copy (assigned texts, the loader's file
//   title that every record of a file points to),
// - static storage (constants such as the minutes of a missing coordinate).
// Copying a field on its own never points into a record's block: a block
// text is copied into a shared one, so the copy may outlive the record.
class RecordText {
 public:
  RecordText() = default;
  explicit RecordText(std::string_view text) { Assign(text); }
  RecordText(const RecordText& other) { CopyFrom(other); }
  RecordText(RecordText&& other) noexcept : text_(other.text_) {
    other.text_ = nullptr;
  }
  RecordText& operator=(const RecordText& other);
  RecordText& operator=(RecordText&& other) noexcept;
  // A shared copy of `text`; `text` may be a view of this field itself.
  RecordText& operator=(std::string_view text);
  ~RecordText() { Release(); }

  const char* data() const { return text_ == nullptr ? "" : text_ + kHeader; }
  size_t size() const { return text_ == nullptr ? 0 : Header() & kSizeMask; }
  bool empty() const { return text_ == nullptr; }
  const char* begin() const { return data(); }
  const char* end() const { return data() + size(); }
  char operator[](size_t at) const { return data()[at]; }
  std::string_view view() const { return {data(), size()}; }
  operator std::string_view() const { return view(); }
  // A copy that allocates; for the places that keep a std::string.
  operator std::string() const { return std::string(view()); }
  std::string_view substr(size_t at,
                          size_t count = std::string_view::npos) const {
    return view().substr(at, count);
  }
  template <typename Pattern>
  size_t find(const Pattern& pattern, size_t from = 0) const {
    return view().find(pattern, from);
  }

  friend bool operator==(const RecordText& a, std::string_view b) {
    return a.view() == b;
  }
  friend std::strong_ordering operator<=>(const RecordText& a,
                                          std::string_view b) {
    return a.view() <=> b;
  }

  // Longest text a field holds (the size header keeps two bits for the
  // owner); no waypoint comes near it, as the cutter stops far below.
  static constexpr size_t kMaxSize = (size_t{1} << 30) - 1;

 private:
  friend struct CacheRecord;
  friend class RecordBlock;
  template <size_t>
  friend struct StaticRecordText;

  static constexpr size_t kHeader = sizeof(uint32_t);
  static constexpr uint32_t kSizeMask = static_cast<uint32_t>(kMaxSize);
  static constexpr uint32_t kInBlock = 0u << 30;
  static constexpr uint32_t kShared = 1u << 30;
  static constexpr uint32_t kStatic = 2u << 30;

  // A field that points at `header` (in a record's block or static storage).
  static RecordText Pointing(const char* header) {
    RecordText text;
    text.text_ = header;
    return text;
  }
  uint32_t Header() const {
    uint32_t header;
    std::memcpy(&header, text_, sizeof header);
    return header;
  }
  uint32_t Owner() const { return Header() & ~kSizeMask; }
  bool InBlock() const { return text_ != nullptr && Owner() == kInBlock; }

  void Assign(std::string_view text);
  void CopyFrom(const RecordText& other);
  void Release() noexcept;

  const char* text_ = nullptr;
};

// Concatenation as with std::string, for the writers that build texts.
std::string operator+(std::string left, const RecordText& right);
std::string operator+(const RecordText& left, std::string_view right);
std::ostream& operator<<(std::ostream& out, const RecordText& text);

// Texts of one record laid out in one allocation: header, bytes, header,
// bytes, ... Reserve the total with Count, then Put each text once.
class RecordBlock {
 public:
  // Room for one more text of `size` bytes.
  void Count(size_t size);
  // Allocates the block; nothing when every counted text was empty.
  void Allocate();
  // The next text, copied into the block; an empty text stays null.
  RecordText Put(std::string_view text);
  // The allocation, handed to the record that owns the texts put.
  char* Release() { return std::exchange(storage_, nullptr); }
  ~RecordBlock() { FreeRecordBlock(storage_); }

 private:
  size_t total_ = 0;
  size_t used_ = 0;
  char* storage_ = nullptr;
};

// A constant text in static storage, never freed: the header and the bytes
// of `text`, built at compile time. Fields point at it through
// CacheRecord, which knows these constants.
template <size_t N>
struct StaticRecordText {
  explicit constexpr StaticRecordText(const char (&text)[N]) {
    static_assert(N - 1 <= RecordText::kMaxSize);
    const uint32_t header = static_cast<uint32_t>(N - 1) | RecordText::kStatic;
    for (size_t i = 0; i < 4; ++i) {
      const size_t shift =
          std::endian::native == std::endian::little ? 8 * i : 8 * (3 - i);
      bytes[i] = static_cast<char>(header >> shift);
    }
    for (size_t i = 0; i + 1 < N; ++i) bytes[4 + i] = text[i];
  }
  char bytes[4 + N - 1] = {};
};

}  // namespace korvelo

#endif  // KORVELO_INPUT_RECORD_TEXT_H_
