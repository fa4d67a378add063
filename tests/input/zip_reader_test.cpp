#include "input/zip_reader.h"

#include <gtest/gtest.h>

#include <optional>

#include "input/zip_names.h"
#include "support/zip_builder.h"

namespace korvelo {
namespace {

using ::korvelo::testing::BuildZip;
using ::korvelo::testing::Crc32;
using ::korvelo::testing::Deflate;
using ::korvelo::testing::ZipLayout;
using ::korvelo::testing::ZipTestEntry;

std::string AllByteValues() {
  std::string bytes;
  for (int round = 0; round < 40; ++round) {
    for (int b = 0; b < 256; ++b) bytes.push_back(static_cast<char>(b ^ round));
  }
  return bytes;
}

// Opens `image` as ZipImage; the reader must stay in the test's scope.
void OpenImage(ZipReader& reader, std::string image) {
  ZipImage = std::move(image);
  reader.Open("infile");
}

// Every byte of entry `index`, read in pieces of `piece` bytes.
std::string ReadAll(ZipReader& reader, int index, size_t piece = 1000) {
  EXPECT_TRUE(reader.OpenEntry(index));
  std::string out;
  std::string buffer(piece, '\0');
  while (const size_t got = reader.ReadEntry(buffer.data(), piece)) {
    out.append(buffer, 0, got);
  }
  return out;
}

ZipCause OpenCause(std::string image) {
  ZipReader reader;
  try {
    OpenImage(reader, std::move(image));
  } catch (const CZipException& e) {
    EXPECT_EQ(e.path(), "infile");
    return e.cause();
  }
  ADD_FAILURE() << "archive opened";
  return ZipCause::kNoArchive;
}

TEST(ZipReader, ReadsStoredAndDeflatedEntriesByteForByte) {
  const std::string data = AllByteValues();
  ZipReader reader;
  OpenImage(reader, BuildZip({{"stored.gpx", data, 0},
                              {"deflated.gpx", data, 8},
                              {"empty.gpx", "", 8}}));
  ASSERT_EQ(reader.EntryCount(), 3);
  EXPECT_EQ(ReadAll(reader, 0), data);
  EXPECT_TRUE(reader.CloseEntry());
  EXPECT_EQ(ReadAll(reader, 1, 7), data);
  EXPECT_TRUE(reader.CloseEntry());
  EXPECT_EQ(ReadAll(reader, 2), "");
  EXPECT_TRUE(reader.CloseEntry());
}

TEST(ZipReader, ReportsEntriesInDirectoryOrder) {
  ZipReader reader;
  OpenImage(reader, BuildZip({{"b-wpts.gpx", "wpts", 8}, {"a.gpx", "abc", 0}}));
  ZipEntryInfo info;
  ASSERT_TRUE(reader.GetEntryInfo(info, 0));
  EXPECT_EQ(info.name, "b-wpts.gpx");
  EXPECT_EQ(info.method, 8);
  EXPECT_EQ(info.uncompressed_size, 4u);
  EXPECT_EQ(info.crc32, Crc32("wpts"));
  ASSERT_TRUE(reader.GetEntryInfo(info, 1));
  EXPECT_EQ(info.name, "a.gpx");
  EXPECT_EQ(info.method, 0);
  EXPECT_EQ(info.compressed_size, 3u);
  EXPECT_FALSE(reader.GetEntryInfo(info, 2));
  EXPECT_FALSE(reader.GetEntryInfo(info, -1));
}

TEST(ZipReader, DecodesNamesFromCodePage437UnlessFlaggedUtf8) {
  ZipTestEntry oem{
      "dir/Gro\xE1"
      "er \x9Amlaut T\x84st.gpx",
      "x"};
  ZipTestEntry utf8{
      "Gr\xC3\xBC\xC3\x9F"
      "e.gpx",
      "x"};
  utf8.flags = 0x0800;
  ZipReader reader;
  OpenImage(reader, BuildZip({oem, utf8}));
  ZipEntryInfo info;
  ASSERT_TRUE(reader.GetEntryInfo(info, 0));
  EXPECT_EQ(info.name,
            "dir\\Gro\xC3\x9F"
            "er \xC3\x9Cmlaut T\xC3\xA4st.gpx");
  ASSERT_TRUE(reader.GetEntryInfo(info, 1));
  EXPECT_EQ(info.name,
            "Gr\xC3\xBC\xC3\x9F"
            "e.gpx");
}

struct NameRow {
  const char* raw;
  const char* decoded;
};

class ZipNameRows : public ::testing::TestWithParam<NameRow> {};

TEST_P(ZipNameRows, DecodesCodePage437Byte) {
  EXPECT_EQ(DecodeEntryName(GetParam().raw, false), GetParam().decoded);
}

INSTANTIATE_TEST_SUITE_P(
    Letters, ZipNameRows,
    ::testing::Values(NameRow{"\x80", "\xC3\x87"},              // C cedilla
                      NameRow{"\x81", "\xC3\xBC"},              // u umlaut
                      NameRow{"\x8E\x99", "\xC3\x84\xC3\x96"},  // A, O umlaut
                      NameRow{"\x9E", "\xE2\x82\xA7"},          // peseta sign
                      NameRow{"\xB0", "\xE2\x96\x91"},          // light shade
                      NameRow{"\xE1", "\xC3\x9F"},              // sharp s
                      NameRow{"\xE6", "\xC2\xB5"},              // micro sign
                      NameRow{"\xFF", "\xC2\xA0"},  // no-break space
                      NameRow{"a/b\\c", "a\\b\\c"}));

TEST(ZipReader, FindsEndRecordBehindLongestComment) {
  ZipLayout layout;
  layout.comment = std::string(65535, 'c');
  ZipReader reader;
  OpenImage(reader, BuildZip({{"a.gpx", "abc"}}, layout));
  EXPECT_EQ(ReadAll(reader, 0), "abc");
}

TEST(ZipReader, LooksNoFurtherBackThanTheLongestComment) {
  EXPECT_EQ(OpenCause(BuildZip({{"a.gpx", "abc"}}) + std::string(65536, 'x')),
            ZipCause::kNoArchive);
}

TEST(ZipReader, ShiftsOffsetsByDataInFrontOfArchive) {
  ZipLayout layout;
  layout.prefix = "MZ" + std::string(5000, '\x90');
  ZipReader reader;
  OpenImage(reader,
            BuildZip({{"a.gpx", "first"}, {"b.gpx", "second", 0}}, layout));
  EXPECT_EQ(ReadAll(reader, 1), "second");
  EXPECT_TRUE(reader.CloseEntry());
  EXPECT_EQ(ReadAll(reader, 0), "first");
}

TEST(ZipReader, RefusesCallsThatDoNotFitItsState) {
  ZipReader reader;
  ZipEntryInfo info;
  char byte;
  EXPECT_FALSE(reader.GetEntryInfo(info, 0));
  EXPECT_FALSE(reader.OpenEntry(0));
  EXPECT_EQ(reader.ReadEntry(&byte, 1), 0u);
  EXPECT_FALSE(reader.CloseEntry());

  OpenImage(reader, BuildZip({{"a.gpx", "abc"}, {"b.gpx", "def"}}));
  EXPECT_FALSE(reader.OpenEntry(2));
  EXPECT_FALSE(reader.OpenEntry(-1));
  EXPECT_EQ(reader.ReadEntry(&byte, 1), 0u);
  ASSERT_TRUE(reader.OpenEntry(0));
  EXPECT_FALSE(reader.OpenEntry(1));
  EXPECT_EQ(reader.ReadEntry(&byte, 0), 0u);
  EXPECT_TRUE(reader.CloseEntry());
  EXPECT_FALSE(reader.CloseEntry());
}

TEST(ZipReader, DeliversNoMoreThanTheEntryHolds) {
  ZipReader reader;
  OpenImage(reader, BuildZip({{"a.gpx", "abc"}, {"b.gpx", "defgh", 0}}));
  for (int index : {0, 1}) {
    ASSERT_TRUE(reader.OpenEntry(index));
    std::string buffer(100, '\0');
    const size_t got = reader.ReadEntry(buffer.data(), buffer.size());
    EXPECT_EQ(buffer.substr(0, got), index == 0 ? "abc" : "defgh");
    EXPECT_EQ(reader.ReadEntry(buffer.data(), buffer.size()), 0u);
    EXPECT_TRUE(reader.CloseEntry());
  }
}

TEST(ZipReader, ChecksCrcOnlyOfCompletelyReadEntry) {
  ZipTestEntry entry{"a.gpx", "some data", 8};
  entry.crc = Crc32("some data") ^ 1;
  ZipReader reader;
  OpenImage(reader, BuildZip({entry}));
  ASSERT_TRUE(reader.OpenEntry(0));
  char two[2];
  EXPECT_EQ(reader.ReadEntry(two, 2), 2u);
  EXPECT_TRUE(reader.CloseEntry());

  ReadAll(reader, 0);
  try {
    reader.CloseEntry();
    ADD_FAILURE() << "wrong CRC accepted";
  } catch (const CZipException& e) {
    EXPECT_EQ(e.cause(), ZipCause::kBadChecksum);
  }
  EXPECT_FALSE(reader.CloseEntry()) << "entry stays closed after the error";
  EXPECT_TRUE(reader.OpenEntry(0));
}

// An entry broken in one way, and the cause opening or reading it gives.
struct EntryRow {
  const char* what;
  ZipTestEntry entry;
  ZipCause cause;
};

void PrintTo(const EntryRow& row, std::ostream* out) { *out << row.what; }

class BrokenEntryRows : public ::testing::TestWithParam<EntryRow> {};

TEST_P(BrokenEntryRows, RaisesWhileOpeningOrReading) {
  ZipReader reader;
  OpenImage(reader, BuildZip({GetParam().entry}));
  try {
    ReadAll(reader, 0);
    reader.CloseEntry();
    ADD_FAILURE() << GetParam().what << ": no error";
  } catch (const CZipException& e) {
    EXPECT_EQ(e.cause(), GetParam().cause) << GetParam().what;
  }
}

ZipTestEntry AGpx(std::string data, uint16_t method = 8) {
  return ZipTestEntry{"a.gpx", std::move(data), method};
}

ZipTestEntry WithPayload(ZipTestEntry entry, std::string payload) {
  entry.payload = std::move(payload);
  return entry;
}

ZipTestEntry WithFlags(ZipTestEntry entry, uint16_t flags) {
  entry.flags = flags;
  return entry;
}

ZipTestEntry Declaring(ZipTestEntry entry, uint32_t uncompressed) {
  entry.uncompressed_size = uncompressed;
  return entry;
}

INSTANTIATE_TEST_SUITE_P(
    Entries, BrokenEntryRows,
    ::testing::Values(
        EntryRow{"bzip2 method", AGpx("abc", 12), ZipCause::kUnsupported},
        EntryRow{"encrypted", WithFlags(AGpx("abc"), 1),
                 ZipCause::kUnsupported},
        EntryRow{"reserved block type", WithPayload(AGpx("abc"), "\xFF\xFF"),
                 ZipCause::kBadData},
        EntryRow{"data longer than declared", Declaring(AGpx("abcdef"), 3),
                 ZipCause::kBadData},
        EntryRow{"stream without final block",  // one stored, non-final block
                 WithPayload(AGpx("abc"), std::string("\x00\x03\x00\xFC\xFF"
                                                      "abc",
                                                      8)),
                 ZipCause::kBadData}));

TEST(ZipReader, DeliversFewerBytesWhenDeflateDataEndsEarly) {
  const std::string data = AllByteValues();
  const std::string deflated = Deflate(data);
  ZipReader reader;
  OpenImage(reader,
            BuildZip({WithPayload(AGpx(data), deflated.substr(0, 2000))}));
  EXPECT_LT(ReadAll(reader, 0).size(), data.size());
}

TEST(ZipReader, RaisesForEntryDataOutsideImage) {
  ZipTestEntry entry = AGpx("abc", 0);
  entry.compressed_size = 1000;
  ZipReader reader;
  OpenImage(reader, BuildZip({entry}));
  EXPECT_THROW(reader.OpenEntry(0), CZipException);
}

TEST(ZipReader, RaisesWhenLocalHeaderIsNotWhereRecorded) {
  ZipLayout layout;
  layout.directory_offset = 5;  // makes the shift point into the entry data
  ZipReader reader;
  OpenImage(reader, BuildZip({AGpx("abc")}, layout));
  EXPECT_THROW(reader.OpenEntry(0), CZipException);
}

TEST(ZipReader, NeverReadsOutsideImageReplacedUnderneath) {
  const std::string data = AllByteValues();
  for (uint16_t method : {0, 8}) {
    ZipReader reader;
    OpenImage(reader, BuildZip({AGpx(data, method)}));
    ASSERT_TRUE(reader.OpenEntry(0));
    char buffer[100];
    ASSERT_EQ(reader.ReadEntry(buffer, sizeof buffer), sizeof buffer);
    ZipImage = "PK";
    // Only what inflate had already decoded may still come out.
    size_t more = 0;
    while (const size_t got = reader.ReadEntry(buffer, sizeof buffer)) {
      more += got;
    }
    if (method == 0) {
      EXPECT_EQ(more, 0u);
    }
    EXPECT_LT(more, data.size() - sizeof buffer);
  }
}

struct ArchiveRow {
  const char* what;
  std::string image;
  ZipCause cause;
};

void PrintTo(const ArchiveRow& row, std::ostream* out) { *out << row.what; }

class BrokenArchiveRows : public ::testing::TestWithParam<ArchiveRow> {};

TEST_P(BrokenArchiveRows, RaisesWhileOpening) {
  EXPECT_EQ(OpenCause(GetParam().image), GetParam().cause) << GetParam().what;
}

// A one-entry archive whose end record says something else.
std::string EndSays(std::optional<uint16_t> count,
                    std::optional<uint32_t> directory_size,
                    std::optional<uint32_t> directory_offset) {
  ZipLayout layout;
  layout.count = count;
  layout.directory_size = directory_size;
  layout.directory_offset = directory_offset;
  return BuildZip({AGpx("abc")}, layout);
}

ZipTestEntry Sizes(uint32_t compressed, uint32_t uncompressed) {
  ZipTestEntry entry = AGpx("abc", 0);
  entry.compressed_size = compressed;
  entry.uncompressed_size = uncompressed;
  return entry;
}

INSTANTIATE_TEST_SUITE_P(
    Archives, BrokenArchiveRows,
    ::testing::Values(
        ArchiveRow{"empty image", "", ZipCause::kNoArchive},
        ArchiveRow{"local header only", std::string("PK\x03\x04", 4) + "junk",
                   ZipCause::kNoArchive},
        ArchiveRow{"end record cut off", BuildZip({AGpx("abc")}).substr(0, 60),
                   ZipCause::kNoArchive},
        ArchiveRow{"directory beyond end record", EndSays({}, {}, 5000),
                   ZipCause::kBadArchive},
        ArchiveRow{"entries without directory", EndSays({}, 0, {}),
                   ZipCause::kBadArchive},
        ArchiveRow{"directory without entries", EndSays(0, {}, {}),
                   ZipCause::kBadArchive},
        ArchiveRow{"more entries than records", EndSays(2, {}, {}),
                   ZipCause::kBadArchive},
        ArchiveRow{"ZIP64 entry count", EndSays(0xFFFF, {}, {}),
                   ZipCause::kUnsupported},
        ArchiveRow{"ZIP64 directory size", EndSays({}, 0xFFFFFFFF, {}),
                   ZipCause::kUnsupported},
        ArchiveRow{"ZIP64 directory offset", EndSays({}, {}, 0xFFFFFFFF),
                   ZipCause::kUnsupported},
        ArchiveRow{"ZIP64 entry size", BuildZip({Sizes(3, 0xFFFFFFFF)}),
                   ZipCause::kUnsupported},
        ArchiveRow{"ZIP64 compressed size", BuildZip({Sizes(0xFFFFFFFF, 3)}),
                   ZipCause::kUnsupported},
        ArchiveRow{"above 1 GiB", BuildZip({Sizes(2000000, (1u << 30) + 1)}),
                   ZipCause::kImplausible},
        ArchiveRow{"three gigabytes", BuildZip({Sizes(3000000, 3000000000u)}),
                   ZipCause::kImplausible},
        ArchiveRow{"more than deflate can expand", BuildZip({Sizes(3, 3097)}),
                   ZipCause::kImplausible}));

TEST(ZipReader, AcceptsLargestExpansionDeflateCanProduce) {
  ZipReader reader;
  EXPECT_NO_THROW(OpenImage(reader, BuildZip({Sizes(3, 3096)})));
}

}  // namespace
}  // namespace korvelo
