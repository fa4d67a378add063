// ZipReader: reads the entries of the ZIP archive held in ZipImage (stored
// and deflated entries, no ZIP64, no encryption), checking every bound.
#ifndef KORVELO_INPUT_ZIP_READER_H_
#define KORVELO_INPUT_ZIP_READER_H_

#include <cstddef>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace korvelo {

// The bytes of the archive being read; each archive load replaces them.
// Must not change while a reader still reads an entry from it.
extern std::string ZipImage;

// Why a ZIP operation failed; the archive load treats all alike.
enum class ZipCause {
  kNoArchive,    // no end-of-central-directory record
  kBadArchive,   // records inconsistent or outside the image
  kUnsupported,  // ZIP64, several volumes, encryption, unknown method
  kImplausible,  // declared sizes no honest entry can have
  kBadData,      // corrupt deflate data or more data than declared
  kBadChecksum,  // CRC-32 of the delivered bytes differs from the stored
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

// A memory file: attaches ZipImage without copying; every access is clipped
// to the image's current bounds, so a changed image is never overrun.
class CBigFile {
 public:
  void Open() { open_ = true; }
  void Close() { open_ = false; }
  bool IsOpen() const { return open_; }
  uint64_t GetLength() const { return open_ ? ZipImage.size() : 0; }
  // Up to `count` bytes from `offset`, fewer at the end of the image, none
  // when closed or `offset` lies beyond it.
  std::string_view View(uint64_t offset, uint64_t count) const;

 private:
  bool open_ = false;
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
  uint64_t header_offset = 0;  // local header in the image, shift applied
};

class ZipReader {
 public:
  ZipReader();
  // Drops an open entry without a checksum test.
  ~ZipReader();
  ZipReader(const ZipReader&) = delete;
  ZipReader& operator=(const ZipReader&) = delete;

  // Attaches ZipImage and reads the central directory. Throws CZipException
  // naming `path` when the image is no consistent archive or an entry
  // declares implausible sizes. Does nothing when already open.
  void Open(std::string_view path);
  // Drops an open entry and detaches the image.
  void Close();

  int EntryCount() const { return static_cast<int>(entries_.size()); }
  // False when the reader is closed or `index` is out of range.
  bool GetEntryInfo(ZipEntryInfo& info, int index) const;

  // False for an index out of range or while another entry is open; throws
  // CZipException for encrypted entries, unknown methods or a bad header.
  bool OpenEntry(int index);
  // Delivers up to `count` uncompressed bytes, never more than the entry
  // still holds; 0 when no entry is open, at its end, or when the data runs
  // out early. Throws CZipException on corrupt deflate data.
  size_t ReadEntry(void* buffer, size_t count);
  // False when no entry is open. When the entry was read completely, throws
  // CZipException if its data goes on beyond the declared size or its CRC-32
  // differs; the entry is closed in any case.
  bool CloseEntry();

 private:
  struct Stream;
  struct EndRecord {
    uint64_t at;  // position in the image
    uint16_t count;
    uint32_t directory_size;
    uint32_t directory_offset;  // as recorded
    uint64_t shift;             // bytes in front of the archive
  };

  [[noreturn]] void Fail(ZipCause cause) const;
  void ReadCentralDirectory();
  EndRecord FindEndRecord() const;
  uint64_t ReadDirectoryRecord(uint64_t at, const EndRecord& end);
  size_t ReadStored(unsigned char* out, size_t count);
  size_t ReadDeflated(unsigned char* out, size_t count);
  void CheckEntryEnd();

  CBigFile file_;
  std::string path_;
  std::vector<ZipEntryInfo> entries_;
  std::unique_ptr<Stream> stream_;  // the open entry, if any
};

}  // namespace korvelo

#endif  // KORVELO_INPUT_ZIP_READER_H_
