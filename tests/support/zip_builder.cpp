#include "support/zip_builder.h"

#include <zlib.h>

#include <initializer_list>

namespace korvelo::testing {
namespace {

// Each value as `bytes` little-endian bytes.
void Put(std::string& out, int bytes, std::initializer_list<uint64_t> values) {
  for (const uint64_t value : values) {
    for (int i = 0; i < bytes; ++i) out += static_cast<char>(value >> 8 * i);
  }
}

// Runs deflate over `data` with `flush` and appends everything it gives.
void RunDeflate(z_stream& z, std::string_view data, int flush,
                std::string& out) {
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
  z.avail_in = static_cast<uInt>(data.size());
  char buffer[16384];
  do {
    z.next_out = reinterpret_cast<Bytef*>(buffer);
    z.avail_out = sizeof buffer;
    deflate(&z, flush);
    out.append(buffer, sizeof buffer - z.avail_out);
  } while (z.avail_out == 0);
}

}  // namespace

std::string BuildZip(const std::vector<ZipTestEntry>& entries,
                     std::string_view comment) {
  std::string local;
  std::string directory;
  for (const ZipTestEntry& e : entries) {
    const std::string payload = e.payload       ? *e.payload
                                : e.method == 8 ? Deflate(e.data)
                                                : e.data;
    // Local header and directory record share the fields from "version
    // needed" to the name length; time and date are zero.
    std::string shared;
    Put(shared, 2, {20, e.flags, e.method});
    Put(shared, 4,
        {0,
         e.crc.value_or(crc32(0, reinterpret_cast<const Bytef*>(e.data.data()),
                              static_cast<uInt>(e.data.size()))),
         e.compressed_size.value_or(payload.size()),
         e.uncompressed_size.value_or(e.data.size())});
    Put(shared, 2, {e.name.size()});
    directory += "PK\x01\x02\x14" + std::string(1, '\0') + shared;
    Put(directory, 4, {0, 0, 0, local.size()});  // extra ... attributes
    directory += e.name;
    local += "PK\x03\x04" + shared + std::string(2, '\0') + e.name + payload;
  }
  std::string end = "PK\x05\x06" + std::string(4, '\0');
  Put(end, 2, {entries.size(), entries.size()});
  Put(end, 4, {directory.size(), local.size()});
  Put(end, 2, {comment.size()});
  return local + directory + end + std::string(comment);
}

std::string Deflate(std::string_view data, int copies) {
  z_stream z{};
  deflateInit2(&z, Z_BEST_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8,
               Z_DEFAULT_STRATEGY);
  // A full flush ends on a byte boundary and leaves nothing to refer back
  // to, so its output can be repeated; Z_FINISH adds the final block.
  std::string block;
  std::string tail;
  RunDeflate(z, data, Z_FULL_FLUSH, block);
  RunDeflate(z, "", Z_FINISH, tail);
  deflateEnd(&z);
  std::string stream;
  for (int i = 0; i < copies; ++i) stream += block;
  return stream + tail;
}

}  // namespace korvelo::testing
