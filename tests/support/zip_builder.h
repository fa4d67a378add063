// A small ZIP writer for tests: well-formed archives, or broken in one way.
#ifndef KORVELO_TESTS_SUPPORT_ZIP_BUILDER_H_
#define KORVELO_TESTS_SUPPORT_ZIP_BUILDER_H_

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korvelo::testing {

// One entry, true in every header field unless an override says otherwise.
struct ZipTestEntry {
  std::string name;     // raw bytes of the stored name
  std::string data;     // the uncompressed bytes
  uint16_t method = 8;  // 8 deflates the data, any other value stores it raw
  uint16_t flags = 0;
  std::optional<std::string> payload = {};  // stored instead of the encoding
  std::optional<uint32_t> crc = {};
  std::optional<uint32_t> compressed_size = {};
  std::optional<uint32_t> uncompressed_size = {};
};

// `entry` with one field changed: the way a test breaks one promise.
template <typename T, typename V>
ZipTestEntry With(ZipTestEntry entry, T ZipTestEntry::*field, V value) {
  entry.*field = value;
  return entry;
}

// The archive of `entries` in this order, its end record followed by
// `comment`. Bytes put in front of it count as data in front of the archive.
std::string BuildZip(const std::vector<ZipTestEntry>& entries,
                     std::string_view comment = "");

// Raw deflate data (as ZIP stores it) of `copies` times `data`, which is
// compressed once: a gigabyte of zeros takes a megabyte and milliseconds.
std::string Deflate(std::string_view data, int copies = 1);

}  // namespace korvelo::testing

#endif  // KORVELO_TESTS_SUPPORT_ZIP_BUILDER_H_
