#include "input/record_text.h"

#include <atomic>
#include <new>
#include <ostream>
#include <stdexcept>

namespace korvelo {
namespace {

// A shared text is allocated as its reference count, then the header and
// the bytes; the field points at the header.
using RefCount = std::atomic<uint32_t>;
constexpr size_t kCountSize = sizeof(RefCount);
static_assert(alignof(RefCount) <= kCountSize);

RefCount& CountOf(const char* header) {
  return *std::launder(
      reinterpret_cast<RefCount*>(const_cast<char*>(header) - kCountSize));
}

void WriteHeader(char* at, size_t size, uint32_t owner) {
  const uint32_t header = static_cast<uint32_t>(size) | owner;
  std::memcpy(at, &header, sizeof header);
}

void CheckSize(size_t size) {
  if (size > RecordText::kMaxSize) throw std::length_error("record text");
}

}  // namespace

RecordText& RecordText::operator=(const RecordText& other) {
  if (this != &other) {
    RecordText copy(other);
    *this = std::move(copy);
  }
  return *this;
}

RecordText& RecordText::operator=(RecordText&& other) noexcept {
  if (this != &other) {
    Release();
    text_ = std::exchange(other.text_, nullptr);
  }
  return *this;
}

RecordText& RecordText::operator=(std::string_view text) {
  RecordText copy(text);  // before the old text goes: `text` may view it
  return *this = std::move(copy);
}

void RecordText::Assign(std::string_view text) {
  if (text.empty()) return;
  CheckSize(text.size());
  char* storage = new char[kCountSize + kHeader + text.size()];
  new (storage) RefCount(1);
  char* header = storage + kCountSize;
  WriteHeader(header, text.size(), kShared);
  std::memcpy(header + kHeader, text.data(), text.size());
  text_ = header;
}

void RecordText::CopyFrom(const RecordText& other) {
  if (other.text_ == nullptr) return;
  switch (other.Owner()) {
    case kShared:
      CountOf(other.text_).fetch_add(1, std::memory_order_relaxed);
      text_ = other.text_;
      break;
    case kStatic:
      text_ = other.text_;
      break;
    default:  // the other record's block may go before this copy
      Assign(other.view());
      break;
  }
}

void RecordText::Release() noexcept {
  if (text_ == nullptr || Owner() != kShared) return;
  RefCount& count = CountOf(text_);
  if (count.fetch_sub(1, std::memory_order_acq_rel) == 1) {
    count.~RefCount();
    delete[](const_cast<char*>(text_) - kCountSize);
  }
  text_ = nullptr;
}

std::string operator+(std::string left, const RecordText& right) {
  return left.append(right.view());
}

std::string operator+(const RecordText& left, std::string_view right) {
  std::string text;
  text.reserve(left.size() + right.size());
  return text.append(left.view()).append(right);
}

std::ostream& operator<<(std::ostream& out, const RecordText& text) {
  return out << text.view();
}

void RecordBlock::Count(size_t size) {
  CheckSize(size);
  if (size > 0) total_ += RecordText::kHeader + size;
}

void RecordBlock::Allocate() {
  if (total_ > 0) storage_ = AllocateRecordBlock(total_);
}

RecordText RecordBlock::Put(std::string_view text) {
  if (text.empty()) return RecordText();
  char* header = storage_ + used_;
  WriteHeader(header, text.size(), RecordText::kInBlock);
  std::memcpy(header + RecordText::kHeader, text.data(), text.size());
  used_ += RecordText::kHeader + text.size();
  return RecordText::Pointing(header);
}

}  // namespace korvelo
