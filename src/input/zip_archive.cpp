#include "input/zip_archive.h"

#include "input/zip_entry_reader.h"
#include "input/zip_names.h"

namespace korvelo {
namespace {

constexpr std::string_view kEndSignature("PK\x05\x06", 4);
constexpr std::string_view kCentralSignature("PK\x01\x02", 4);
constexpr uint64_t kEndRecordSize = 22;
// The end record plus the longest comment it can announce.
constexpr uint64_t kEndSearchSpan = kEndRecordSize + 65535;
constexpr uint64_t kCentralRecordSize = 46;
constexpr uint64_t kLocalHeaderSize = 30;

constexpr uint16_t kFlagEncrypted = 0x0001;
constexpr uint16_t kFlagUtf8Name = 0x0800;
constexpr uint16_t kMethodStored = 0;
constexpr uint16_t kMethodDeflated = 8;

// No honest pocket query comes near these: a larger entry is a bomb.
constexpr uint64_t kMaxUncompressedSize = uint64_t{1} << 30;
// Deflate cannot expand one input byte into more than 1032 output bytes.
constexpr uint64_t kMaxDeflateRatio = 1032;
// An entry read whole grows by this much at a time.
constexpr size_t kReadPiece = 64 * 1024;

uint16_t Get16(std::string_view bytes, size_t at) {
  return static_cast<uint16_t>(static_cast<unsigned char>(bytes[at]) |
                               static_cast<unsigned char>(bytes[at + 1]) << 8);
}

uint32_t Get32(std::string_view bytes, size_t at) {
  return static_cast<uint32_t>(Get16(bytes, at)) |
         static_cast<uint32_t>(Get16(bytes, at + 2)) << 16;
}

bool HasZip64Marker(const ZipEntryInfo& info) {
  return info.compressed_size == 0xFFFFFFFF ||
         info.uncompressed_size == 0xFFFFFFFF ||
         info.header_offset == 0xFFFFFFFF;
}

bool IsPlausible(const ZipEntryInfo& info) {
  return info.uncompressed_size <= kMaxUncompressedSize &&
         info.uncompressed_size <= kMaxDeflateRatio * info.compressed_size;
}

// One central-directory record; `record` holds at least its fixed part.
ZipEntryInfo ParseCentralRecord(std::string_view record,
                                std::string_view name) {
  ZipEntryInfo info;
  info.flags = Get16(record, 8);
  info.method = Get16(record, 10);
  info.time = Get16(record, 12);
  info.date = Get16(record, 14);
  info.crc32 = Get32(record, 16);
  info.compressed_size = Get32(record, 20);
  info.uncompressed_size = Get32(record, 24);
  info.attributes = Get32(record, 38);
  info.header_offset = Get32(record, 42);
  info.name = DecodeEntryName(name, (info.flags & kFlagUtf8Name) != 0);
  return info;
}

}  // namespace

CZipException::CZipException(ZipCause cause, std::string path)
    : std::runtime_error("ZIP archive cannot be read: " + path),
      cause_(cause),
      path_(std::move(path)) {}

ZipArchive::ZipArchive(std::string bytes, std::string path, int depth)
    : bytes_(std::move(bytes)), path_(std::move(path)), depth_(depth) {
  if (depth_ > kMaxDepth) Fail(ZipCause::kTooDeep);
  ReadCentralDirectory();
}

bool ZipArchive::StartsLikeArchive(std::string_view bytes) {
  return bytes.size() > kSignature.size() && bytes.starts_with(kSignature);
}

void ZipArchive::Fail(ZipCause cause) const {
  throw CZipException(cause, path_);
}

uint64_t ZipArchive::UncompressedSize() const {
  uint64_t size = 0;
  for (const ZipEntryInfo& info : entries_) size += info.uncompressed_size;
  return size;
}

// Up to `count` bytes from `offset`, fewer at the end, none beyond it.
std::string_view ZipArchive::View(uint64_t offset, uint64_t count) const {
  if (offset >= bytes_.size()) return {};
  return std::string_view(bytes_).substr(offset, count);
}

void ZipArchive::ReadCentralDirectory() {
  const EndRecord end = FindEndRecord();
  entries_.reserve(end.count);
  uint64_t at = end.shift + end.directory_offset;
  for (int i = 0; i < end.count; ++i) at = ReadDirectoryRecord(at, end);
}

// The end record, searched backwards from the end of the bytes, with the
// length of whatever lies in front of the archive.
ZipArchive::EndRecord ZipArchive::FindEndRecord() const {
  const uint64_t length = bytes_.size();
  if (length < kEndRecordSize) Fail(ZipCause::kNoArchive);
  const uint64_t first = length > kEndSearchSpan ? length - kEndSearchSpan : 0;
  const std::string_view tail = View(first, length - first);
  const size_t found = tail.rfind(kEndSignature, tail.size() - kEndRecordSize);
  if (found == std::string_view::npos) Fail(ZipCause::kNoArchive);
  const std::string_view bytes = tail.substr(found, kEndRecordSize);
  EndRecord end{first + found, Get16(bytes, 10), Get32(bytes, 12),
                Get32(bytes, 16), 0};

  // Only single-volume archives without ZIP64 records are read.
  if (end.count == 0xFFFF || end.directory_size == 0xFFFFFFFF ||
      end.directory_offset == 0xFFFFFFFF || Get16(bytes, 4) != 0 ||
      Get16(bytes, 6) != 0 || Get16(bytes, 8) != end.count) {
    Fail(ZipCause::kUnsupported);
  }
  // The directory ends where the end record starts.
  if (end.at < uint64_t{end.directory_offset} + end.directory_size ||
      (end.count == 0) != (end.directory_size == 0) ||
      uint64_t{end.count} * kCentralRecordSize > end.directory_size) {
    Fail(ZipCause::kBadArchive);
  }
  end.shift = end.at - end.directory_size - end.directory_offset;
  return end;
}

// Appends the entry of the directory record at `at`, which must end before
// the end record, and returns where the next record starts.
uint64_t ZipArchive::ReadDirectoryRecord(uint64_t at, const EndRecord& end) {
  const uint64_t limit = end.at;
  const std::string_view fixed = View(at, kCentralRecordSize);
  if (at + kCentralRecordSize > limit ||
      !fixed.starts_with(kCentralSignature)) {
    Fail(ZipCause::kBadArchive);
  }
  const uint64_t name_length = Get16(fixed, 28);
  const uint64_t record_end = at + kCentralRecordSize + name_length +
                              Get16(fixed, 30) + Get16(fixed, 32);
  if (record_end > limit) Fail(ZipCause::kBadArchive);
  ZipEntryInfo info =
      ParseCentralRecord(fixed, View(at + kCentralRecordSize, name_length));
  if (HasZip64Marker(info)) Fail(ZipCause::kUnsupported);
  if (!IsPlausible(info)) Fail(ZipCause::kImplausible);
  info.header_offset += end.shift;
  entries_.push_back(std::move(info));
  return record_end;
}

std::string_view ZipArchive::EntryData(int index) const {
  const ZipEntryInfo& info = entries_.at(index);
  if ((info.flags & kFlagEncrypted) != 0 ||
      (info.method != kMethodStored && info.method != kMethodDeflated)) {
    Fail(ZipCause::kUnsupported);
  }
  // The data follows the local header, whose name and extra field may
  // differ in length from the directory's.
  const std::string_view header = View(info.header_offset, kLocalHeaderSize);
  if (header.size() < kLocalHeaderSize || !header.starts_with(kSignature)) {
    Fail(ZipCause::kBadArchive);
  }
  const uint64_t data_at = info.header_offset + kLocalHeaderSize +
                           Get16(header, 26) + Get16(header, 28);
  if (data_at + info.compressed_size > bytes_.size()) {
    Fail(ZipCause::kBadArchive);
  }
  return std::string_view(bytes_).substr(data_at, info.compressed_size);
}

std::string ZipArchive::ReadEntry(int index) const {
  ZipEntryReader reader(*this, index);
  std::string bytes;
  for (;;) {
    const size_t at = bytes.size();
    bytes.resize(at + kReadPiece);
    const size_t got = reader(bytes.data() + at, kReadPiece);
    bytes.resize(at + got);
    if (got == 0) return bytes;
  }
}

}  // namespace korvelo
