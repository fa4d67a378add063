// Entry names of ZIP archives as the engine shows and uses them.
#ifndef KORVELO_INPUT_ZIP_NAMES_H_
#define KORVELO_INPUT_ZIP_NAMES_H_

#include <string>
#include <string_view>

namespace korvelo {

// The stored name as UTF-8, every byte kept as it is when
// the archive flags it as UTF-8, otherwise decoded from code page 437.
std::string DecodeEntryName(std::string_view raw, bool flaggedUtf8);

// True for a name that can only mean a file directly inside the folder it is
// unpacked into: not empty, not "." or "..", no "\", "/", ":" or zero byte.
bool IsPlainEntryName(std::string_view name);

}  // namespace korvelo

#endif  // KORVELO_INPUT_ZIP_NAMES_H_
