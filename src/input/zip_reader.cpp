#include "input/zip_reader.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>

#include "input/zip_names.h"

namespace korvelo {

std::string ZipImage;

namespace {

constexpr std::string_view kEndSignature("PK\x05\x06", 4);
constexpr std::string_view kCentralSignature("PK\x01\x02", 4);
constexpr std::string_view kLocalSignature("PK\x03\x04", 4);
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
// Compressed bytes handed to inflate per call.
constexpr uint64_t kInputPiece = 65536;

uint16_t Get16(std::string_view bytes, size_t at) {
  return static_cast<uint16_t>(static_cast<unsigned char>(bytes[at]) |
                               static_cast<unsigned char>(bytes[at + 1]) << 8);
}

uint32_t Get32(std::string_view bytes, size_t at) {
  return static_cast<uint32_t>(Get16(bytes, at)) |
         static_cast<uint32_t>(Get16(bytes, at + 2)) << 16;
}

bool StartsWith(std::string_view bytes, std::string_view signature) {
  return bytes.substr(0, signature.size()) == signature;
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

std::string_view CBigFile::View(uint64_t offset, uint64_t count) const {
  if (!open_ || offset >= ZipImage.size()) return {};
  return std::string_view(ZipImage).substr(offset, count);
}

struct ZipReader::Stream {
  ~Stream() {
    if (deflated) inflateEnd(&z);
  }
  uint32_t expected_crc = 0;
  uint32_t crc = 0;
  uint64_t next_in = 0;  // offset of the next compressed byte in the image
  uint64_t compressed_left = 0;
  uint64_t uncompressed_left = 0;
  bool deflated = false;  // true once inflateInit2 succeeded
  bool ended = false;     // inflate reported the end of the stream
  z_stream z{};
};

ZipReader::ZipReader() = default;
ZipReader::~ZipReader() = default;

void ZipReader::Fail(ZipCause cause) const {
  throw CZipException(cause, path_);
}

void ZipReader::Open(std::string_view path) {
  if (file_.IsOpen()) return;
  path_ = path;
  file_.Open();
  try {
    ReadCentralDirectory();
  } catch (...) {
    Close();
    throw;
  }
}

void ZipReader::Close() {
  stream_.reset();
  entries_.clear();
  file_.Close();
}

void ZipReader::ReadCentralDirectory() {
  const EndRecord end = FindEndRecord();
  entries_.reserve(end.count);
  uint64_t at = end.shift + end.directory_offset;
  for (int i = 0; i < end.count; ++i) at = ReadDirectoryRecord(at, end);
}

// The end record, searched backwards from the end of the image, with the
// length of whatever lies in front of the archive.
ZipReader::EndRecord ZipReader::FindEndRecord() const {
  const uint64_t length = file_.GetLength();
  if (length < kEndRecordSize) Fail(ZipCause::kNoArchive);
  const uint64_t first = length > kEndSearchSpan ? length - kEndSearchSpan : 0;
  const std::string_view tail = file_.View(first, length - first);
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
uint64_t ZipReader::ReadDirectoryRecord(uint64_t at, const EndRecord& end) {
  const uint64_t limit = end.at;
  const std::string_view fixed = file_.View(at, kCentralRecordSize);
  if (at + kCentralRecordSize > limit ||
      !StartsWith(fixed, kCentralSignature)) {
    Fail(ZipCause::kBadArchive);
  }
  const uint64_t name_length = Get16(fixed, 28);
  const uint64_t record_end = at + kCentralRecordSize + name_length +
                              Get16(fixed, 30) + Get16(fixed, 32);
  if (record_end > limit) Fail(ZipCause::kBadArchive);
  ZipEntryInfo info = ParseCentralRecord(
      fixed, file_.View(at + kCentralRecordSize, name_length));
  if (HasZip64Marker(info)) Fail(ZipCause::kUnsupported);
  if (!IsPlausible(info)) Fail(ZipCause::kImplausible);
  info.header_offset += end.shift;
  entries_.push_back(std::move(info));
  return record_end;
}

bool ZipReader::GetEntryInfo(ZipEntryInfo& info, int index) const {
  if (!file_.IsOpen() || index < 0 || index >= EntryCount()) return false;
  info = entries_[index];
  return true;
}

bool ZipReader::OpenEntry(int index) {
  if (!file_.IsOpen() || index < 0 || index >= EntryCount() || stream_) {
    return false;
  }
  const ZipEntryInfo& info = entries_[index];
  if ((info.flags & kFlagEncrypted) != 0 ||
      (info.method != kMethodStored && info.method != kMethodDeflated)) {
    Fail(ZipCause::kUnsupported);
  }

  // The data follows the local header, whose name and extra field may
  // differ in length from the directory's.
  const std::string_view header =
      file_.View(info.header_offset, kLocalHeaderSize);
  if (header.size() < kLocalHeaderSize ||
      !StartsWith(header, kLocalSignature)) {
    Fail(ZipCause::kBadArchive);
  }
  const uint64_t data_at = info.header_offset + kLocalHeaderSize +
                           Get16(header, 26) + Get16(header, 28);
  if (data_at + info.compressed_size > file_.GetLength()) {
    Fail(ZipCause::kBadArchive);
  }

  auto entry = std::make_unique<Stream>();
  entry->expected_crc = info.crc32;
  entry->crc = crc32(0, Z_NULL, 0);
  entry->next_in = data_at;
  entry->compressed_left = info.compressed_size;
  entry->uncompressed_left = info.uncompressed_size;
  if (info.method == kMethodDeflated) {
    if (inflateInit2(&entry->z, -MAX_WBITS) != Z_OK) Fail(ZipCause::kBadData);
    entry->deflated = true;
  }
  stream_ = std::move(entry);
  return true;
}

size_t ZipReader::ReadEntry(void* buffer, size_t count) {
  if (!stream_ || count == 0) return 0;
  // Never more than the entry holds; that bound is at most 1 GiB.
  count = static_cast<size_t>(
      std::min<uint64_t>(count, stream_->uncompressed_left));
  unsigned char* out = static_cast<unsigned char*>(buffer);
  const size_t got =
      stream_->deflated ? ReadDeflated(out, count) : ReadStored(out, count);
  stream_->uncompressed_left -= got;
  stream_->crc = crc32(stream_->crc, out, static_cast<uInt>(got));
  return got;
}

size_t ZipReader::ReadStored(unsigned char* out, size_t count) {
  const std::string_view data = file_.View(
      stream_->next_in, std::min<uint64_t>(count, stream_->compressed_left));
  if (!data.empty()) std::memcpy(out, data.data(), data.size());
  stream_->next_in += data.size();
  stream_->compressed_left -= data.size();
  return data.size();
}

size_t ZipReader::ReadDeflated(unsigned char* out, size_t count) {
  Stream& entry = *stream_;
  size_t delivered = 0;
  while (delivered < count && !entry.ended) {
    // The input is taken afresh from the image on every call, within bounds.
    const std::string_view input =
        file_.View(entry.next_in, std::min(entry.compressed_left, kInputPiece));
    const uInt room =
        static_cast<uInt>(std::min<size_t>(count - delivered, size_t{1} << 30));
    entry.z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(input.data()));
    entry.z.avail_in = static_cast<uInt>(input.size());
    entry.z.next_out = out + delivered;
    entry.z.avail_out = room;
    const int status = inflate(&entry.z, Z_SYNC_FLUSH);
    const size_t consumed = input.size() - entry.z.avail_in;
    const size_t produced = room - entry.z.avail_out;
    entry.next_in += consumed;
    entry.compressed_left -= consumed;
    delivered += produced;
    if (status == Z_STREAM_END) entry.ended = true;
    if (status != Z_OK && status != Z_STREAM_END && status != Z_BUF_ERROR) {
      Fail(ZipCause::kBadData);
    }
    if (consumed == 0 && produced == 0) break;  // the data ran out early
  }
  return delivered;
}

// A complete entry must end exactly at its declared size and match its CRC.
void ZipReader::CheckEntryEnd() {
  if (stream_->deflated && !stream_->ended) {
    unsigned char probe;
    if (ReadDeflated(&probe, 1) != 0 || !stream_->ended) {
      Fail(ZipCause::kBadData);
    }
  }
  if (stream_->crc != stream_->expected_crc) Fail(ZipCause::kBadChecksum);
}

bool ZipReader::CloseEntry() {
  if (!stream_) return false;
  try {
    if (stream_->uncompressed_left == 0) CheckEntryEnd();
  } catch (...) {
    stream_.reset();
    throw;
  }
  stream_.reset();
  return true;
}

}  // namespace korvelo
