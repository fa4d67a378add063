// ZipWriter: a ZIP archive of deflated entries written to a stream, in the
// plain format (no ZIP64) every unzip tool and map reader opens.
#ifndef KORVELO_OUTPUT_ZIP_WRITER_H_
#define KORVELO_OUTPUT_ZIP_WRITER_H_

#include <cstdint>
#include <memory>
#include <ostream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace korvelo {

// Thrown when an entry or the archive would pass a limit of the plain
// format (4 GiB per entry or offset, 65535 entries). What was written to the
// stream by then is no archive; the caller drops it.
class ZipTooLarge : public std::length_error {
 public:
  ZipTooLarge() : std::length_error("ZIP archive too large") {}
};

class ZipWriter {
 public:
  // The archive goes to `out`, which must outlive the writer. Entries are
  // deflated as their bytes arrive; only the compressed bytes of the open
  // entry are held, so that its local header carries the true sizes.
  explicit ZipWriter(std::ostream& out);
  ~ZipWriter();
  ZipWriter(const ZipWriter&) = delete;
  ZipWriter& operator=(const ZipWriter&) = delete;

  // Starts the entry `name` (UTF-8, flagged so); a still open entry is ended
  // first. The stream takes its bytes until the next entry or Finish and
  // stays valid as long as the writer.
  std::ostream& BeginEntry(std::string_view name);
  // The whole entry at once.
  void AddEntry(std::string_view name, std::string_view data);
  // Ends the open entry and writes the central directory. Nothing may be
  // added afterwards.
  void Finish();

  // Limits of the plain format; tests lower them to reach them cheaply.
  void SetLimitsForTest(uint64_t max_size, size_t max_entries);

 private:
  class Deflater;
  struct Entry {
    std::string name;
    uint32_t crc = 0;
    uint64_t compressed_size = 0;
    uint64_t size = 0;
    uint64_t offset = 0;
  };

  void EndEntry();
  void Write(std::string_view bytes);

  std::ostream& out_;
  std::unique_ptr<Deflater> open_;  // the entry being written, if any
  std::vector<Entry> entries_;
  uint64_t offset_ = 0;  // bytes written to `out_`
  uint64_t max_size_ = 0xFFFFFFFFu;
  size_t max_entries_ = 0xFFFF;
  bool finished_ = false;
};

}  // namespace korvelo

#endif  // KORVELO_OUTPUT_ZIP_WRITER_H_
