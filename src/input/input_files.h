// Whole-file text and bytes, line files, and unpacking one archive entry.
#ifndef KORVELO_INPUT_INPUT_FILES_H_
#define KORVELO_INPUT_INPUT_FILES_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace korvelo {

class ZipReader;
struct ZipEntryInfo;

// The bytes of the open entry of `reader`, read piece by piece up to its
// declared size (a piece source for WaypointCutter). Reading every byte lets
// the entry's checksum be verified when it is closed.
class ZipEntryBytes {
 public:
  ZipEntryBytes(ZipReader& reader, uint64_t size)
      : reader_(reader), left_(size) {}
  // Up to `size` further bytes; 0 at the declared end or when the entry
  // yields no more.
  size_t operator()(char* data, size_t size);
  // Reads what is left; false when the entry yields fewer bytes than it
  // declares.
  bool ReadToEnd();

 private:
  ZipReader& reader_;
  uint64_t left_;
};

// The file's bytes up to the first zero byte. Throws FileError with the
// cause of the failure and the path when the file cannot be opened or read.
std::string LoadFileText(std::string_view path);

// Replaces `bytes` with the whole file; false on any failure (never throws),
// `bytes` then holds anything.
bool LoadFileBytes(std::string_view path, std::string& bytes);

// The lines of a text file (see SplitLines) into `lines`; false when the file
// cannot be read, `lines` then unchanged.
bool ReadLines(std::string_view path, std::vector<std::string>& lines);

// Replaces `lines` with the lines of `bytes`: CR, LF and Ctrl-Z end a line,
// a run of them counts as one line end, the last line needs none, a zero
// byte ends its line's text, lines are not trimmed. No bytes give one empty
// line; bytes starting with a line end give an empty first line.
void SplitLines(std::string_view bytes, std::vector<std::string>& lines);

// Opens entry `index` of `reader` and writes its `info.uncompressed_size`
// bytes to `destination`, streaming through a small buffer. False (and no
// file left behind) when the entry cannot be opened or yields fewer bytes.
// The entry stays open so the caller can close it and have its checksum
// verified. Throws FileError when the file cannot be written, CZipException
// on corrupt data.
bool ExtractZipEntry(ZipReader& reader, const ZipEntryInfo& info, int index,
                     std::string_view destination);

}  // namespace korvelo

#endif  // KORVELO_INPUT_INPUT_FILES_H_
