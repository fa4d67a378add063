#include "input/zip_entry_reader.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>

#include "input/zip_archive.h"

namespace korvelo {
namespace {

constexpr uint16_t kMethodDeflated = 8;
// Compressed bytes handed to inflate per call.
constexpr size_t kInputPiece = 64 * 1024;
// The most inflate is asked for in one call (its counts are 32 bits).
constexpr size_t kOutputPiece = size_t{1} << 30;
// Bytes that are only checked, not kept, are read this much at a time.
constexpr size_t kDrainPiece = 64 * 1024;

}  // namespace

// A raw deflate stream (no zlib header). Not movable: zlib's state points
// back at its z_stream.
struct ZipEntryReader::Inflater {
  explicit Inflater(const ZipArchive& archive) {
    if (inflateInit2(&z, -MAX_WBITS) != Z_OK) archive.Fail(ZipCause::kBadData);
  }
  ~Inflater() { inflateEnd(&z); }
  Inflater(const Inflater&) = delete;
  Inflater& operator=(const Inflater&) = delete;

  // Up to `count` bytes into `out` from `input`, which loses what inflate
  // consumed; fewer only at the end of the stream or of the input.
  size_t Run(std::string_view& input, unsigned char* out, size_t count,
             const ZipArchive& archive) {
    size_t delivered = 0;
    while (delivered < count && !ended) {
      const std::string_view piece = input.substr(0, kInputPiece);
      const uInt room =
          static_cast<uInt>(std::min(count - delivered, kOutputPiece));
      z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(piece.data()));
      z.avail_in = static_cast<uInt>(piece.size());
      z.next_out = out + delivered;
      z.avail_out = room;
      const int status = inflate(&z, Z_SYNC_FLUSH);
      const size_t consumed = piece.size() - z.avail_in;
      const size_t produced = room - z.avail_out;
      input.remove_prefix(consumed);
      delivered += produced;
      if (status == Z_STREAM_END) ended = true;
      if (status != Z_OK && status != Z_STREAM_END && status != Z_BUF_ERROR) {
        archive.Fail(ZipCause::kBadData);
      }
      if (consumed == 0 && produced == 0) break;  // the data ran out early
    }
    return delivered;
  }

  z_stream z{};
  bool ended = false;  // inflate reported the end of the stream
};

ZipEntryReader::ZipEntryReader(const ZipArchive& archive, int index)
    : archive_(archive),
      data_(archive.EntryData(index)),
      left_(archive.entries()[index].uncompressed_size),
      expected_crc_(archive.entries()[index].crc32),
      crc_(crc32(0, Z_NULL, 0)) {
  if (archive.entries()[index].method == kMethodDeflated) {
    inflater_ = std::make_unique<Inflater>(archive);
  }
}

ZipEntryReader::~ZipEntryReader() = default;

size_t ZipEntryReader::operator()(char* data, size_t size) {
  if (left_ == 0) {
    CheckEnd();
    return 0;
  }
  const size_t count = static_cast<size_t>(std::min<uint64_t>(size, left_));
  if (count == 0) return 0;
  unsigned char* out = reinterpret_cast<unsigned char*>(data);
  const size_t got = inflater_ ? inflater_->Run(data_, out, count, archive_)
                               : Copy(data, count);
  if (got == 0) archive_.Fail(ZipCause::kBadData);  // fewer than declared
  crc_ = crc32(crc_, out, static_cast<uInt>(got));
  left_ -= got;
  if (left_ == 0) CheckEnd();
  return got;
}

void ZipEntryReader::ReadToEnd() {
  const auto piece = std::make_unique<char[]>(kDrainPiece);
  while ((*this)(piece.get(), kDrainPiece) > 0) {
  }
}

size_t ZipEntryReader::Copy(char* out, size_t count) {
  const std::string_view piece = data_.substr(0, count);
  std::memcpy(out, piece.data(), piece.size());
  data_.remove_prefix(piece.size());
  return piece.size();
}

// A complete entry must end exactly at its declared size and match its CRC.
void ZipEntryReader::CheckEnd() {
  if (checked_) return;
  if (inflater_ && !inflater_->ended) {
    unsigned char probe;
    if (inflater_->Run(data_, &probe, 1, archive_) != 0 || !inflater_->ended) {
      archive_.Fail(ZipCause::kBadData);
    }
  }
  if (crc_ != expected_crc_) archive_.Fail(ZipCause::kBadChecksum);
  checked_ = true;
}

}  // namespace korvelo
