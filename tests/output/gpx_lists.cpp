#include "gpx_lists.h"

#include <algorithm>
#include <filesystem>

namespace korvelo::testing {
namespace {

// Printable form of a few bytes around an offset: controls and high bytes
// as \xNN, so CR LF differences are visible.
std::string Around(const std::string& bytes, size_t at) {
  const size_t from = at < 40 ? 0 : at - 40;
  std::string shown;
  for (size_t i = from; i < std::min(bytes.size(), at + 40); ++i) {
    const unsigned char c = static_cast<unsigned char>(bytes[i]);
    if (c >= 0x20 && c < 0x7F) {
      shown += static_cast<char>(c);
    } else {
      static constexpr char kHex[] = "0123456789ABCDEF";
      shown += "\\x";
      shown += kHex[c >> 4];
      shown += kHex[c & 15];
    }
  }
  return shown;
}

}  // namespace

::testing::AssertionResult SameBytes(const std::string& expected,
                                     const std::string& actual,
                                     const std::string& saveAs) {
  if (expected == actual) return ::testing::AssertionSuccess();
  const auto [e, a] = std::mismatch(expected.begin(), expected.end(),
                                    actual.begin(), actual.end());
  const size_t at = static_cast<size_t>(e - expected.begin());
  (void)a;
  const std::string saved =
      std::string(KORVELO_TEST_OUTPUT_DIR) + "/actual/" + saveAs;
  std::filesystem::create_directories(
      std::filesystem::path(saved).parent_path());
  WriteFileOrFail(saved, actual);
  return ::testing::AssertionFailure()
         << "first difference at byte " << at << " (expected "
         << expected.size() << " bytes, got " << actual.size() << ")\n"
         << "expected: ..." << Around(expected, at) << "...\n"
         << "actual:   ..." << Around(actual, at) << "...\n"
         << "actual output saved as " << saved;
}

}  // namespace korvelo::testing
