// A small ZIP writer for tests: well-formed archives, and archives broken in
// exactly one chosen way.
#ifndef KORVELO_TESTS_SUPPORT_ZIP_BUILDER_H_
#define KORVELO_TESTS_SUPPORT_ZIP_BUILDER_H_

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace korvelo::testing {

// One entry. By default its data is deflated (method 8) or stored (method
// 0) and every header field is true; each optional overrides one field.
struct ZipTestEntry {
  ZipTestEntry(std::string name, std::string data, uint16_t method = 8)
      : name(std::move(name)), data(std::move(data)), method(method) {}

  std::string name;     // raw bytes of the stored name
  std::string data;     // the uncompressed bytes
  uint16_t method = 8;  // values other than 0 and 8 store the bytes raw
  uint16_t flags = 0;
  std::optional<std::string>
      payload;  // stored bytes instead of the encoded data
  std::optional<uint32_t> crc;
  std::optional<uint32_t> compressed_size;
  std::optional<uint32_t> uncompressed_size;
};

// Archive-wide overrides of the end-of-central-directory record.
struct ZipLayout {
  std::string prefix;  // bytes in front of the archive (offsets exclude them)
  std::optional<uint16_t> count;
  std::optional<uint32_t> directory_size;
  std::optional<uint32_t> directory_offset;
  std::string comment;
};

std::string BuildZip(const std::vector<ZipTestEntry>& entries,
                     const ZipLayout& layout = {});

// Raw deflate (no zlib header), as ZIP stores it.
std::string Deflate(std::string_view data);
uint32_t Crc32(std::string_view data);

// A raw deflate stream of `mebibytes` MiB of zero bytes, built from one
// compressed MiB repeated: about 1 KiB per MiB, made in milliseconds.
std::string DeflatedZeros(int mebibytes);

}  // namespace korvelo::testing

#endif  // KORVELO_TESTS_SUPPORT_ZIP_BUILDER_H_
