#include "input/zip_entry_reader.h"

#include <isa-l/crc.h>
#include <isa-l/igzip_lib.h>

#include <algorithm>
#include <cstring>
#include <limits>

#include "input/zip_archive.h"

namespace korvelo {
namespace {

constexpr uint16_t kMethodDeflated = 8;
// The most inflate is handed or asked for in one call (its counts are 32
// bits).
constexpr size_t kMaxPiece = std::numeric_limits<uint32_t>::max();
// Bytes that are only checked, not kept, are read this much at a time.
constexpr size_t kDrainPiece = 64 * 1024;

}  // namespace

// A raw deflate stream, decoded by ISA-L's inflate: about twice as fast as
// zlib's, and the entry's bytes are what the parser waits for.
struct ZipEntryReader::Inflater {
  Inflater() { isal_inflate_init(&state); }

  bool Ended() const { return state.block_state == ISAL_BLOCK_FINISH; }

  // Up to `count` bytes into `out` from `input`, which loses what inflate
  // consumed; fewer only at the end of the stream or of the input.
  size_t Run(std::string_view& input, unsigned char* out, size_t count,
             const ZipArchive& archive) {
    size_t delivered = 0;
    while (delivered < count && !Ended()) {
      const std::string_view piece = input.substr(0, kMaxPiece);
      const uint32_t room =
          static_cast<uint32_t>(std::min(count - delivered, kMaxPiece));
      state.next_in =
          reinterpret_cast<uint8_t*>(const_cast<char*>(piece.data()));
      state.avail_in = static_cast<uint32_t>(piece.size());
      state.next_out = out + delivered;
      state.avail_out = room;
      if (isal_inflate(&state) < 0) archive.Fail(ZipCause::kBadData);
      const size_t consumed = piece.size() - state.avail_in;
      const size_t produced = room - state.avail_out;
      input.remove_prefix(consumed);
      delivered += produced;
      if (consumed == 0 && produced == 0) break;  // the data ran out early
    }
    return delivered;
  }

  inflate_state state;
};

ZipEntryReader::ZipEntryReader(const ZipArchive& archive, int index)
    : archive_(archive),
      data_(archive.EntryData(index)),
      left_(archive.entries()[index].uncompressed_size),
      expected_crc_(archive.entries()[index].crc32),
      crc_(0) {
  if (archive.entries()[index].method == kMethodDeflated) {
    inflater_ = std::make_unique<Inflater>();
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
  crc_ = crc32_gzip_refl(crc_, out, got);
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
  if (inflater_ && !inflater_->Ended()) {
    unsigned char probe;
    if (inflater_->Run(data_, &probe, 1, archive_) != 0 ||
        !inflater_->Ended()) {
      archive_.Fail(ZipCause::kBadData);
    }
  }
  if (crc_ != expected_crc_) archive_.Fail(ZipCause::kBadChecksum);
  checked_ = true;
}

}  // namespace korvelo
