// OriginalTextReader: the bytes of kept waypoint texts, read back from the
// files they stand in while an output copies them.
#ifndef KORVELO_CACHELIST_ORIGINAL_TEXT_READER_H_
#define KORVELO_CACHELIST_ORIGINAL_TEXT_READER_H_

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "cachelist/original_waypoints.h"
#include "platform/input_file.h"

namespace korvelo {

// Reads the texts of one OriginalWaypoints, which must outlive the reader.
// Texts of a file that are read in file order cost one read per megabyte;
// others one read each. At most a few files are open at once.
class OriginalTextReader {
 public:
  explicit OriginalTextReader(const OriginalWaypoints& originals)
      : originals_(originals) {}

  // The bytes of `text`, one of the originals' texts, valid until the next
  // call. Throws FileError naming the file when it cannot be read, and with
  // the cause kSharingViolation (system reason ESTALE) when it is no longer
  // the file the texts were loaded from, or the text's bytes there changed:
  // nothing that was not loaded is ever copied.
  std::string_view Read(const KeptText& text);

 private:
  // Bytes of one file, from `offset` on, and the file they came from.
  struct Window {
    uint32_t file = 0;
    std::unique_ptr<InputFile> input;
    std::unique_ptr<char[]> bytes;
    size_t capacity = 0;
    uint64_t offset = 0;
    size_t size = 0;
    uint64_t last_use = 0;
  };

  Window& WindowOf(uint32_t file);
  void Open(Window& window, uint32_t file);
  void Fill(Window& window, const KeptText& text);

  const OriginalWaypoints& originals_;
  std::vector<Window> windows_;
  uint64_t uses_ = 0;
};

}  // namespace korvelo

#endif  // KORVELO_CACHELIST_ORIGINAL_TEXT_READER_H_
