#include "output/zip_writer.h"

#include <isa-l/crc.h>
#include <isa-l/igzip_lib.h>

#include <initializer_list>
#include <streambuf>

namespace korvelo {
namespace {

// Every entry carries the same time stamp (1 January 1980, the first the
// format can hold): converting the same input twice gives the same bytes.
constexpr uint16_t kDosTime = 0;
constexpr uint16_t kDosDate = (0 << 9) | (1 << 5) | 1;
constexpr uint16_t kVersion = 20;       // deflate needs 2.0
constexpr uint16_t kUtf8Name = 0x0800;  // general purpose flag bit 11
constexpr uint16_t kDeflated = 8;
// Level 1 of ISA-L's deflate: on map documents it packs nearly as tight as
// zlib's default (the descriptions repeat themselves) several times faster
// than zlib's fastest level, and the map is written on every run.
constexpr uint32_t kLevel = 1;
constexpr uint32_t kLevelBufferSize = ISAL_DEF_LVL1_DEFAULT;

// Each value as `bytes` little-endian bytes.
void Put(std::string& out, int bytes, std::initializer_list<uint64_t> values) {
  for (const uint64_t value : values) {
    for (int i = 0; i < bytes; ++i) out += static_cast<char>(value >> 8 * i);
  }
}

}  // namespace

// The bytes of one entry: counted, checksummed and deflated into memory.
class ZipWriter::Deflater : public std::streambuf {
 public:
  Deflater(std::string_view name, uint64_t max_size)
      : stream_(this),
        max_size_(max_size),
        input_(1 << 16),
        level_buffer_(kLevelBufferSize) {
    entry_.name = std::string(name);
    stream_.exceptions(std::ios::badbit);
    isal_deflate_init(&z_);
    z_.level = kLevel;
    z_.level_buf = level_buffer_.data();
    z_.level_buf_size = static_cast<uint32_t>(level_buffer_.size());
    setp(input_.data(), input_.data() + input_.size());
  }

  std::ostream& stream() { return stream_; }

  // Flushes the last bytes through deflate; the entry with its sizes and
  // checksum, and its compressed bytes in `compressed`.
  Entry Finish(std::string& compressed) {
    Consume(true);
    compressed.swap(output_);
    return entry_;
  }

 protected:
  int_type overflow(int_type ch) override {
    Consume(false);
    if (!traits_type::eq_int_type(ch, traits_type::eof())) {
      *pptr() = traits_type::to_char_type(ch);
      pbump(1);
    }
    return traits_type::not_eof(ch);
  }

 private:
  // Deflates what is buffered; `last` ends the deflate stream. Throws
  // ZipTooLarge before a size passes the format's limit.
  void Consume(bool last) {
    const size_t count = static_cast<size_t>(pptr() - pbase());
    entry_.size += count;
    if (entry_.size > max_size_) throw ZipTooLarge();
    auto* const bytes = reinterpret_cast<uint8_t*>(pbase());
    entry_.crc = crc32_gzip_refl(entry_.crc, bytes, count);
    z_.next_in = bytes;
    z_.avail_in = static_cast<uint32_t>(count);
    z_.end_of_stream = last ? 1 : 0;
    do {
      const size_t before = output_.size();
      // Room for stored blocks of all of it, so each call makes progress.
      const size_t room = z_.avail_in + z_.avail_in / 16 + 1024;
      output_.resize(before + room);
      z_.next_out = reinterpret_cast<uint8_t*>(output_.data() + before);
      z_.avail_out = static_cast<uint32_t>(room);
      if (isal_deflate(&z_) != COMP_OK) throw std::bad_alloc();
      output_.resize(before + room - z_.avail_out);
      if (output_.size() > max_size_) throw ZipTooLarge();
    } while (z_.avail_in > 0 ||
             (last && z_.internal_state.state != ZSTATE_END));
    entry_.compressed_size = output_.size();
    setp(input_.data(), input_.data() + input_.size());
  }

  std::ostream stream_;
  isal_zstream z_{};
  uint64_t max_size_;
  std::vector<char> input_;
  std::vector<uint8_t> level_buffer_;
  std::string output_;
  Entry entry_;
};

ZipWriter::ZipWriter(std::ostream& out) : out_(out) {}

ZipWriter::~ZipWriter() = default;

void ZipWriter::SetLimitsForTest(uint64_t max_size, size_t max_entries) {
  max_size_ = max_size;
  max_entries_ = max_entries;
}

std::ostream& ZipWriter::BeginEntry(std::string_view name) {
  EndEntry();
  if (entries_.size() >= max_entries_) throw ZipTooLarge();
  open_ = std::make_unique<Deflater>(name, max_size_);
  return open_->stream();
}

void ZipWriter::AddEntry(std::string_view name, std::string_view data) {
  BeginEntry(name).write(data.data(),
                         static_cast<std::streamsize>(data.size()));
  EndEntry();
}

void ZipWriter::Write(std::string_view bytes) {
  out_.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  offset_ += bytes.size();
}

void ZipWriter::EndEntry() {
  if (!open_) return;
  open_->stream().flush();
  std::string compressed;
  Entry entry = open_->Finish(compressed);
  open_.reset();
  entry.offset = offset_;
  if (entry.offset > max_size_) throw ZipTooLarge();
  std::string header = "PK\x03\x04";
  Put(header, 2, {kVersion, kUtf8Name, kDeflated, kDosTime, kDosDate});
  Put(header, 4, {entry.crc, entry.compressed_size, entry.size});
  Put(header, 2, {entry.name.size(), 0});
  header += entry.name;
  Write(header);
  Write(compressed);
  entries_.push_back(std::move(entry));
}

void ZipWriter::Finish() {
  if (finished_) return;
  EndEntry();
  finished_ = true;
  const uint64_t directory_offset = offset_;
  if (directory_offset > max_size_) throw ZipTooLarge();
  std::string directory;
  for (const Entry& entry : entries_) {
    directory += "PK\x01\x02";
    // Made by: UNIX (3), 2.0; the attributes give the entry rw-r--r--.
    Put(directory, 2,
        {(3u << 8) | kVersion, kVersion, kUtf8Name, kDeflated, kDosTime,
         kDosDate});
    Put(directory, 4, {entry.crc, entry.compressed_size, entry.size});
    Put(directory, 2, {entry.name.size(), 0, 0, 0, 0});
    Put(directory, 4, {0100644u << 16, entry.offset});
    directory += entry.name;
  }
  std::string end = "PK\x05\x06";
  Put(end, 2, {0, 0, entries_.size(), entries_.size()});
  Put(end, 4, {directory.size(), directory_offset});
  Put(end, 2, {0});
  if (directory_offset + directory.size() > max_size_) throw ZipTooLarge();
  Write(directory);
  Write(end);
}

}  // namespace korvelo
