// The reader's own contract; hostile archives are loader tests
// (cachelist/cache_list_load_test.cpp).
#include "input/zip_reader.h"

#include <gtest/gtest.h>

#include "support/zip_builder.h"

namespace korvelo {
namespace {

using ::korvelo::testing::BuildZip;

// Makes `image` the ZipImage and opens it; false when the reader refuses.
bool Opens(ZipReader& reader, std::string image) {
  ZipImage = std::move(image);
  try {
    reader.Open("infile");
    return true;
  } catch (const CZipException& e) {
    EXPECT_EQ(e.path(), "infile");
    return false;
  }
}

// Every byte of entry `index`, asked for in pieces of `piece` bytes; the
// entry is closed again, which checks its CRC.
std::string ReadAll(ZipReader& reader, int index, size_t piece) {
  EXPECT_TRUE(reader.OpenEntry(index));
  std::string out;
  std::string buffer(piece, '\0');
  while (const size_t got = reader.ReadEntry(buffer.data(), piece)) {
    out.append(buffer, 0, got);
  }
  EXPECT_TRUE(reader.CloseEntry());
  return out;
}

TEST(ZipReader, ReadsStoredAndDeflatedEntriesByteForByte) {
  std::string data;  // every byte value, in 300 orders: above 64 KiB
  for (int i = 0; i < 300 * 256; ++i) data += static_cast<char>(i ^ i >> 8);
  ZipReader reader;
  ASSERT_TRUE(Opens(
      reader, BuildZip({{"s.gpx", data, 0}, {"d.gpx", data}, {"e.gpx", ""}})));
  // The last piece asks for more than the entry still holds.
  EXPECT_EQ(ReadAll(reader, 0, 1000), data);
  EXPECT_EQ(ReadAll(reader, 1, 7), data);
  EXPECT_EQ(ReadAll(reader, 2, 1000), "");
}

TEST(ZipReader, DecodesNamesFromCodePage437UnlessFlaggedUtf8) {
  // C cedilla, u umlaut, peseta sign, sharp s and no-break space, as code
  // page 437 bytes and as UTF-8 flagged so.
  const std::string utf8 = "d/\xC3\x87\xC3\xBC\xE2\x82\xA7\xC3\x9F\xC2\xA0";
  ZipReader reader;
  ASSERT_TRUE(
      Opens(reader, BuildZip({{"d/\x80\x81\x9E\xE1\xFF", "x"},
                              {"d/" + utf8.substr(2), "x", 8, 0x0800}})));
  ZipEntryInfo info;
  for (int index : {0, 1}) {
    ASSERT_TRUE(reader.GetEntryInfo(info, index));
    EXPECT_EQ(info.name, utf8);
  }
}

// The end record lies in the last 65557 bytes; deflate makes at most 1032
// bytes of one, and nothing honest tops 1 GiB.
TEST(ZipReader, OpensOnlyWhatAnHonestArchiveCanBe) {
  const auto sized = [](uint32_t compressed, uint32_t uncompressed) {
    return BuildZip({{"a.gpx", "abc", 0, 0, {}, {}, compressed, uncompressed}});
  };
  const std::pair<std::string, bool> rows[] = {
      {BuildZip({{"a.gpx", "abc"}}, std::string(65535, 'c')), true},
      {BuildZip({{"a.gpx", "abc"}}) + std::string(65536, 'x'), false},
      {sized(3, 3 * 1032), true},
      {sized(3, 3 * 1032 + 1), false},
      {sized(2000000, 1u << 30), true},
      {sized(2000000, (1u << 30) + 1), false}};
  for (const auto& [image, opens] : rows) {
    ZipReader reader;
    EXPECT_EQ(Opens(reader, image), opens) << image.size();
  }
}

}  // namespace
}  // namespace korvelo
