// The text sheet of one cache and the key that places it in the sheet tree.
#ifndef KORVELO_OUTPUT_TEXT_SHEET_H_
#define KORVELO_OUTPUT_TEXT_SHEET_H_

#include <string>
#include <string_view>

#include "input/cache_record.h"

namespace korvelo {

// The first four letters or digits of the spelled-out title, filled with
// "_" and in upper case: "Über den Wolken" gives UEBE. Always four bytes
// out of A-Z, 0-9 and "_", so every key is a safe folder and file name.
std::string DirectoryKey(std::string_view urlname);

// The whole sheet of `record`, byte for byte as it is appended.
std::string TextSheet(const CacheRecord& record);

}  // namespace korvelo

#endif  // KORVELO_OUTPUT_TEXT_SHEET_H_
