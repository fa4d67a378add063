// The archive's own contract: what it opens, how its entries come out, and
// why a broken entry is refused. Whole hostile archives are loader tests
// (cachelist/cache_list_test.cpp).
#include "input/zip_archive.h"

#include <gtest/gtest.h>

#include <optional>

#include "input/zip_entry_reader.h"
#include "support/zip_builder.h"

namespace korvelo {
namespace {

using ::korvelo::testing::BuildZip;
using ::korvelo::testing::Deflate;
using ::korvelo::testing::With;
using E = ::korvelo::testing::ZipTestEntry;

// The cause the archive refuses `image` for, or none when it opens.
std::optional<ZipCause> OpenFails(std::string image, int depth = 1) {
  try {
    ZipArchive archive(std::move(image), "in.zip", depth);
    return std::nullopt;
  } catch (const CZipException& e) {
    EXPECT_EQ(e.path(), "in.zip");
    return e.cause();
  }
}

// Every byte of entry `index` into `out`, asked for in pieces of `piece`
// bytes; `out` keeps what came before a failure.
void ReadInto(std::string& out, const ZipArchive& archive, int index,
              size_t piece) {
  ZipEntryReader reader(archive, index);
  std::string buffer(piece, '\0');
  while (const size_t got = reader(buffer.data(), piece)) {
    out.append(buffer, 0, got);
  }
}

std::string ReadAll(const ZipArchive& archive, int index, size_t piece) {
  std::string out;
  ReadInto(out, archive, index, piece);
  return out;
}

TEST(ZipArchive, ReadsStoredAndDeflatedEntriesByteForByte) {
  std::string data;  // every byte value, in 300 orders: above 64 KiB
  for (int i = 0; i < 300 * 256; ++i) data += static_cast<char>(i ^ i >> 8);
  const ZipArchive archive(
      BuildZip({{"s.gpx", data, 0}, {"d.gpx", data}, {"e.gpx", ""}}), "a.zip",
      1);
  // The last piece asks for more than the entry still holds.
  EXPECT_EQ(ReadAll(archive, 0, 1000), data);
  EXPECT_EQ(ReadAll(archive, 1, 7), data);
  EXPECT_EQ(ReadAll(archive, 2, 1000), "");
  EXPECT_EQ(archive.ReadEntry(1), data);
  EXPECT_EQ(archive.UncompressedSize(), 2 * data.size());
}

TEST(ZipArchive, DecodesNamesFromCodePage437UnlessFlaggedUtf8) {
  // C cedilla, u umlaut, peseta sign, sharp s and no-break space, as code
  // page 437 bytes and as UTF-8 flagged so.
  const std::string utf8 = "d/\xC3\x87\xC3\xBC\xE2\x82\xA7\xC3\x9F\xC2\xA0";
  const ZipArchive archive(BuildZip({{"d/\x80\x81\x9E\xE1\xFF", "x"},
                                     {"d/" + utf8.substr(2), "x", 8, 0x0800}}),
                           "a.zip", 1);
  ASSERT_EQ(archive.entries().size(), 2u);
  for (const ZipEntryInfo& info : archive.entries()) {
    EXPECT_EQ(info.name, utf8);
  }
}

// The end record lies in the last 65557 bytes; deflate makes at most 1032
// bytes of one, and nothing honest tops 1 GiB; archives in archives are
// followed eight deep.
TEST(ZipArchive, OpensOnlyWhatAnHonestArchiveCanBe) {
  const auto sized = [](uint32_t compressed, uint32_t uncompressed) {
    return BuildZip({{"a.gpx", "abc", 0, 0, {}, {}, compressed, uncompressed}});
  };
  const std::string honest = BuildZip({{"a.gpx", "abc"}});
  const struct {
    std::string image;
    int depth;
    std::optional<ZipCause> fails;
  } rows[] = {{BuildZip({{"a.gpx", "abc"}}, std::string(65535, 'c')), 1, {}},
              {honest + std::string(65536, 'x'), 1, ZipCause::kNoArchive},
              {sized(3, 3 * 1032), 1, {}},
              {sized(3, 3 * 1032 + 1), 1, ZipCause::kImplausible},
              {sized(2000000, 1u << 30), 1, {}},
              {sized(2000000, (1u << 30) + 1), 1, ZipCause::kImplausible},
              {sized(0xFFFFFFFF, 3), 1, ZipCause::kUnsupported},
              {honest.substr(0, honest.size() - 1), 1, ZipCause::kNoArchive},
              {honest, ZipArchive::kMaxDepth, {}},
              {honest, ZipArchive::kMaxDepth + 1, ZipCause::kTooDeep}};
  for (const auto& row : rows) {
    EXPECT_EQ(OpenFails(row.image, row.depth), row.fails)
        << row.image.size() << " " << row.depth;
  }
}

TEST(ZipArchive, StartsLikeAnArchiveOnlyWithALocalHeaderAndMore) {
  EXPECT_TRUE(ZipArchive::StartsLikeArchive(BuildZip({{"a.gpx", "abc"}})));
  EXPECT_TRUE(ZipArchive::StartsLikeArchive(std::string("PK\x03\x04x", 5)));
  EXPECT_FALSE(ZipArchive::StartsLikeArchive(std::string("PK\x03\x04", 4)));
  EXPECT_FALSE(ZipArchive::StartsLikeArchive(std::string("PK\x05\x06xx", 6)));
}

// An entry comes out whole and checked or not at all: each row breaks one
// promise, and the true bytes before the break are all that is delivered,
// never the declared size.
TEST(ZipEntryReader, RefusesAnEntryThatIsNotWhatItDeclares) {
  std::string data;  // letters that deflate to about 60 percent
  for (uint32_t x = 1; data.size() < 100000; x = x * 1103515245 + 12345) {
    data += static_cast<char>('a' + (x >> 16) % 26);
  }
  const E good{"pq.gpx", data};
  const struct {
    const char* what;
    E entry;
    ZipCause cause;
  } rows[] = {
      {"CRC wrong", With(good, &E::crc, 0), ZipCause::kBadChecksum},
      {"stored, CRC wrong", With(With(good, &E::method, 0), &E::crc, 1),
       ZipCause::kBadChecksum},
      {"deflate data cut",
       With(good, &E::payload, Deflate(data).substr(0, 40000)),
       ZipCause::kBadData},
      {"declares a byte less", With(good, &E::uncompressed_size, 99999),
       ZipCause::kBadData},
      {"declares a byte more", With(good, &E::uncompressed_size, 100001),
       ZipCause::kBadData},
      {"stored, declares a byte more",
       With(With(good, &E::method, 0), &E::uncompressed_size, 100001),
       ZipCause::kBadData},
      {"not deflate data", With(good, &E::payload, std::string(500, '\xFF')),
       ZipCause::kBadData},
      {"unknown method", With(good, &E::method, 12), ZipCause::kUnsupported},
      {"encrypted", With(good, &E::flags, 1), ZipCause::kUnsupported}};
  for (const auto& row : rows) {
    const ZipArchive archive(BuildZip({row.entry}), "in.zip", 1);
    std::string got;
    try {
      ReadInto(got, archive, 0, 4096);
      ADD_FAILURE() << row.what << ": read whole";
    } catch (const CZipException& e) {
      EXPECT_EQ(e.cause(), row.cause) << row.what;
    }
    EXPECT_LT(got.size(), archive.entries()[0].uncompressed_size) << row.what;
    EXPECT_EQ(got, data.substr(0, got.size())) << row.what;
    EXPECT_THROW(archive.ReadEntry(0), CZipException) << row.what;
  }
}

}  // namespace
}  // namespace korvelo
