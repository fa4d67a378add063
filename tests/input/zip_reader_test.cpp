// The reader's own contract; hostile archives are loader tests
// (cachelist/cache_list_load_test.cpp).
#include "input/zip_reader.h"

#include <gtest/gtest.h>

#include "input/input_files.h"
#include "support/test_support.h"
#include "support/zip_builder.h"

namespace korvelo {
namespace {

using ::korvelo::testing::BuildZip;
using ::korvelo::testing::ReadFileOrFail;
using ::korvelo::testing::TempDir;
using ::korvelo::testing::WriteFileOrFail;

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
  // Unpacked to a file in pieces, over a longer file of that name.
  TempDir dir;
  WriteFileOrFail(dir / "a.gpx", data + "longer than the entry");
  ZipEntryInfo info;
  ASSERT_TRUE(reader.GetEntryInfo(info, 1));
  ASSERT_TRUE(ExtractZipEntry(reader, info, 1, dir / "a.gpx"));
  EXPECT_TRUE(reader.CloseEntry());
  EXPECT_EQ(ReadFileOrFail(dir / "a.gpx"), data);
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

TEST(ZipReader, SearchesTheEndRecordInTheLast65557BytesOnly) {
  ZipReader reader;
  ASSERT_TRUE(
      Opens(reader, BuildZip({{"a.gpx", "abc"}}, std::string(65535, 'c'))));
  EXPECT_EQ(ReadAll(reader, 0, 10), "abc");
  ZipReader too_far;
  EXPECT_FALSE(
      Opens(too_far, BuildZip({{"a.gpx", "abc"}}) + std::string(65536, 'x')));
}

TEST(ZipReader, RefusesDeclaredSizesNoHonestEntryHas) {
  const auto opens = [](uint32_t compressed, uint32_t uncompressed) {
    ZipReader reader;
    return Opens(
        reader,
        BuildZip({{"a.gpx", "abc", 0, 0, {}, {}, compressed, uncompressed}}));
  };
  // Deflate makes at most 1032 bytes of one; nothing honest tops 1 GiB.
  EXPECT_TRUE(opens(3, 3 * 1032));
  EXPECT_FALSE(opens(3, 3 * 1032 + 1));
  EXPECT_TRUE(opens(2000000, 1u << 30));
  EXPECT_FALSE(opens(2000000, (1u << 30) + 1));
}

}  // namespace
}  // namespace korvelo
