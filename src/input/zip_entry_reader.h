// ZipEntryReader: the bytes of one archive entry, inflated piece by piece
// and checked as they come: exactly the declared size, then the end of the
// deflate stream and the CRC-32. A piece source for WaypointCutter and
// ReadAhead.
#ifndef KORVELO_INPUT_ZIP_ENTRY_READER_H_
#define KORVELO_INPUT_ZIP_ENTRY_READER_H_

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

namespace korvelo {

class ZipArchive;

class ZipEntryReader {
 public:
  // Opens entry `index` (in range) of `archive`, which must outlive this
  // reader. Throws CZipException for encrypted entries, unknown methods or
  // a bad local header.
  ZipEntryReader(const ZipArchive& archive, int index);
  ~ZipEntryReader();
  ZipEntryReader(const ZipEntryReader&) = delete;
  ZipEntryReader& operator=(const ZipEntryReader&) = delete;

  // Up to `size` further bytes (at least one while the entry declares more),
  // 0 at the declared end. Throws CZipException when the data is corrupt or
  // ends early, and with the call that reaches the declared end when the
  // data goes on beyond it or its CRC-32 differs.
  size_t operator()(char* data, size_t size);

  // Reads and checks whatever is left; throws as operator() does.
  void ReadToEnd();

 private:
  struct Inflater;

  size_t Copy(char* out, size_t count);
  void CheckEnd();

  const ZipArchive& archive_;
  std::string_view data_;  // compressed bytes not yet consumed
  uint64_t left_;          // uncompressed bytes still to deliver
  uint32_t expected_crc_;
  uint32_t crc_;
  bool checked_ = false;
  std::unique_ptr<Inflater> inflater_;  // null for a stored entry
};

}  // namespace korvelo

#endif  // KORVELO_INPUT_ZIP_ENTRY_READER_H_
