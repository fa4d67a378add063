// ZipArchive: one ZIP archive held in memory (stored and deflated entries,
// no ZIP64, no encryption): its entry list, checked against every bound, and
// the inflated, checked bytes of its entries. An archive inside it is opened
// from these bytes, never from a file.
#ifndef KORVELO_INPUT_ZIP_ARCHIVE_H_
#define KORVELO_INPUT_ZIP_ARCHIVE_H_

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace korvelo {

// Why a ZIP operation failed; the archive load treats all alike.
enum class ZipCause {
  kNoArchive,    // no end-of-central-directory record
  kBadArchive,   // records inconsistent or outside the archive's bytes
  kUnsupported,  // ZIP64, several volumes, encryption, unknown method
  kImplausible,  // declared sizes no honest entry can have
  kBadData,      // corrupt deflate data, or not exactly the declared size
  kBadChecksum,  // CRC-32 of the delivered bytes differs from the stored
  kTooDeep,      // inside more archives than are followed
};

class CZipException : public std::runtime_error {
 public:
  CZipException(ZipCause cause, std::string path);
  ZipCause cause() const { return cause_; }
  const std::string& path() const { return path_; }

 private:
  ZipCause cause_;
  std::string path_;
};

struct ZipEntryInfo {
  std::string name;  // UTF-8
  uint16_t flags = 0;
  uint16_t method = 0;  // 0 stored, 8 deflated
  uint16_t time = 0;
  uint16_t date = 0;
  uint32_t crc32 = 0;
  uint32_t compressed_size = 0;
  uint32_t uncompressed_size = 0;
  uint32_t attributes = 0;
  uint64_t header_offset = 0;  // local header in the bytes, shift applied
};

class ZipArchive {
 public:
  // The first bytes of every archive the loader reads: a local file header.
  static constexpr std::string_view kSignature{"PK\x03\x04", 4};
  // Archives inside archives are followed this deep and no deeper, so that
  // an archive that contains itself cannot recurse without end.
  static constexpr int kMaxDepth = 8;

  // Takes `bytes` as the archive known as `path` and reads its central
  // directory. `depth` counts this archive and those it was found in (1 for
  // a file). Throws CZipException naming `path` when `depth` passes
  // kMaxDepth, the bytes are no consistent archive or an entry declares
  // implausible sizes.
  ZipArchive(std::string bytes, std::string path, int depth);
  ZipArchive(const ZipArchive&) = delete;
  ZipArchive& operator=(const ZipArchive&) = delete;

  // More than the signature, and starting with it.
  static bool StartsLikeArchive(std::string_view bytes);

  const std::string& path() const { return path_; }
  int depth() const { return depth_; }
  const std::vector<ZipEntryInfo>& entries() const { return entries_; }
  // What all entries together declare to unpack to.
  uint64_t UncompressedSize() const;

  // Where entry `index` (in range) keeps its data, checked to lie within the
  // bytes. Throws CZipException for encrypted entries, unknown methods or a
  // bad local header.
  std::string_view EntryData(int index) const;

  // Every byte of entry `index`, inflated and checked (an archive inside
  // this one is opened from them), grown as the data really yields bytes,
  // never by what the entry declares. Throws CZipException like
  // ZipEntryReader.
  std::string ReadEntry(int index) const;

  [[noreturn]] void Fail(ZipCause cause) const;

 private:
  struct EndRecord {
    uint64_t at;  // position in the bytes
    uint16_t count;
    uint32_t directory_size;
    uint32_t directory_offset;  // as recorded
    uint64_t shift;             // bytes in front of the archive
  };

  std::string_view View(uint64_t offset, uint64_t count) const;
  void ReadCentralDirectory();
  EndRecord FindEndRecord() const;
  uint64_t ReadDirectoryRecord(uint64_t at, const EndRecord& end);

  const std::string bytes_;  // never changes: entry readers on other threads
  const std::string path_;
  const int depth_;
  std::vector<ZipEntryInfo> entries_;
};

}  // namespace korvelo

#endif  // KORVELO_INPUT_ZIP_ARCHIVE_H_
