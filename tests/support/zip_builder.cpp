#include "support/zip_builder.h"

#include <zlib.h>

#include <stdexcept>

namespace korvelo::testing {
namespace {

void Put16(std::string& out, uint32_t value) {
  out.push_back(static_cast<char>(value & 0xFF));
  out.push_back(static_cast<char>((value >> 8) & 0xFF));
}

void Put32(std::string& out, uint32_t value) {
  Put16(out, value & 0xFFFF);
  Put16(out, value >> 16);
}

// Runs deflate over `data` with the given flush and appends the output.
void DeflateInto(z_stream& z, std::string_view data, int flush,
                 std::string& out) {
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
  z.avail_in = static_cast<uInt>(data.size());
  char buffer[16384];
  int status;
  do {
    z.next_out = reinterpret_cast<Bytef*>(buffer);
    z.avail_out = sizeof buffer;
    status = deflate(&z, flush);
    if (status == Z_STREAM_ERROR) throw std::runtime_error("deflate failed");
    out.append(buffer, sizeof buffer - z.avail_out);
  } while (z.avail_out == 0 || (flush == Z_FINISH && status != Z_STREAM_END));
}

struct EncodedEntry {
  const ZipTestEntry* source;
  std::string payload;
  uint32_t crc;
  uint32_t compressed_size;
  uint32_t uncompressed_size;
  uint32_t offset;
};

EncodedEntry Encode(const ZipTestEntry& source) {
  EncodedEntry entry{&source, "", 0, 0, 0, 0};
  entry.payload = source.payload       ? *source.payload
                  : source.method == 8 ? Deflate(source.data)
                                       : source.data;
  entry.crc = source.crc.value_or(Crc32(source.data));
  entry.compressed_size = source.compressed_size.value_or(
      static_cast<uint32_t>(entry.payload.size()));
  entry.uncompressed_size = source.uncompressed_size.value_or(
      static_cast<uint32_t>(source.data.size()));
  return entry;
}

// The fields local header and directory record share, from "version
// needed" up to the name length.
void PutCommonFields(std::string& out, const EncodedEntry& entry) {
  Put16(out, 20);
  Put16(out, entry.source->flags);
  Put16(out, entry.source->method);
  Put16(out, 0x6000);  // 12:00:00
  Put16(out, 0x5A21);  // 2025-01-01
  Put32(out, entry.crc);
  Put32(out, entry.compressed_size);
  Put32(out, entry.uncompressed_size);
  Put16(out, static_cast<uint32_t>(entry.source->name.size()));
}

void PutLocalHeader(std::string& out, const EncodedEntry& entry) {
  out.append("PK\x03\x04", 4);
  PutCommonFields(out, entry);
  Put16(out, 0);  // extra field length
  out.append(entry.source->name);
  out.append(entry.payload);
}

void PutDirectoryRecord(std::string& out, const EncodedEntry& entry) {
  out.append("PK\x01\x02", 4);
  Put16(out, 20);  // version made by
  PutCommonFields(out, entry);
  Put16(out, 0);  // extra field length
  Put16(out, 0);  // comment length
  Put16(out, 0);  // disk number
  Put16(out, 0);  // internal attributes
  Put32(out, 0);  // external attributes
  Put32(out, entry.offset);
  out.append(entry.source->name);
}

}  // namespace

std::string BuildZip(const std::vector<ZipTestEntry>& entries,
                     const ZipLayout& layout) {
  std::string archive;
  std::vector<EncodedEntry> encoded;
  for (const ZipTestEntry& entry : entries) {
    encoded.push_back(Encode(entry));
    encoded.back().offset = static_cast<uint32_t>(archive.size());
    PutLocalHeader(archive, encoded.back());
  }
  const uint32_t directory_offset = static_cast<uint32_t>(archive.size());
  for (const EncodedEntry& entry : encoded) PutDirectoryRecord(archive, entry);
  const uint32_t directory_size =
      static_cast<uint32_t>(archive.size()) - directory_offset;
  const uint16_t count =
      layout.count.value_or(static_cast<uint16_t>(entries.size()));

  archive.append("PK\x05\x06", 4);
  Put16(archive, 0);  // this disk
  Put16(archive, 0);  // disk of the directory
  Put16(archive, count);
  Put16(archive, count);
  Put32(archive, layout.directory_size.value_or(directory_size));
  Put32(archive, layout.directory_offset.value_or(directory_offset));
  Put16(archive, static_cast<uint32_t>(layout.comment.size()));
  archive.append(layout.comment);
  return layout.prefix + archive;
}

std::string Deflate(std::string_view data) {
  z_stream z{};
  if (deflateInit2(&z, Z_BEST_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8,
                   Z_DEFAULT_STRATEGY) != Z_OK) {
    throw std::runtime_error("deflateInit2 failed");
  }
  std::string out;
  DeflateInto(z, data, Z_FINISH, out);
  deflateEnd(&z);
  return out;
}

uint32_t Crc32(std::string_view data) {
  return static_cast<uint32_t>(
      crc32(crc32(0, Z_NULL, 0), reinterpret_cast<const Bytef*>(data.data()),
            static_cast<uInt>(data.size())));
}

std::string DeflatedZeros(int mebibytes) {
  z_stream z{};
  if (deflateInit2(&z, Z_BEST_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8,
                   Z_DEFAULT_STRATEGY) != Z_OK) {
    throw std::runtime_error("deflateInit2 failed");
  }
  // A full flush ends on a byte boundary with no reference to what went
  // before, so the compressed MiB can be repeated; a last empty block from
  // Z_FINISH ends the stream.
  const std::string zeros(1 << 20, '\0');
  std::string block;
  DeflateInto(z, zeros, Z_FULL_FLUSH, block);
  std::string tail;
  DeflateInto(z, "", Z_FINISH, tail);
  deflateEnd(&z);
  std::string stream;
  stream.reserve(block.size() * mebibytes + tail.size());
  for (int i = 0; i < mebibytes; ++i) stream += block;
  return stream + tail;
}

}  // namespace korvelo::testing
