#include "output/zip_writer.h"

#include <gtest/gtest.h>

#include <sstream>

#include "input/zip_archive.h"
#include "support/test_support.h"

namespace korvelo {
namespace {

struct NamedData {
  std::string name;
  std::string data;
};

std::string Archive(const std::vector<NamedData>& entries) {
  std::ostringstream out;
  ZipWriter zip(out);
  for (const NamedData& entry : entries) zip.AddEntry(entry.name, entry.data);
  zip.Finish();
  return out.str();
}

// Every entry as the project's own reader sees it, CRC checked on close.
std::vector<NamedData> ReadBack(std::string bytes) {
  const ZipArchive archive(std::move(bytes), "test.kmz", 1);
  std::vector<NamedData> entries;
  for (size_t index = 0; index < archive.entries().size(); ++index) {
    const ZipEntryInfo& info = archive.entries()[index];
    EXPECT_EQ(info.method, 8) << info.name;
    EXPECT_EQ(info.flags & 0x0808, 0x0800) << "UTF-8 name, no data descriptor";
    entries.push_back({info.name, archive.ReadEntry(static_cast<int>(index))});
  }
  return entries;
}

// Text that deflate cannot shrink much, so entries pass buffer sizes.
std::string Noise(size_t size) {
  std::string text(size, '\0');
  uint32_t state = 12345;
  for (char& c : text) {
    state = state * 1103515245u + 12345u;
    c = static_cast<char>(state >> 24);
  }
  return text;
}

const std::vector<NamedData> kSample = {
    {"doc.kml", std::string(200000, 'k') + "<kml/>"},
    {"icons/icon_found.png", Noise(150000)},
    {"empty", ""},
    {"\xC3\xBC"
     "ber/\xE2\x82\xAC.txt",
     "UTF-8 name"},
};

TEST(ZipWriter, EntriesReadBackByteForByteInOrder) {
  const std::vector<NamedData> back = ReadBack(Archive(kSample));
  ASSERT_EQ(back.size(), kSample.size());
  for (size_t i = 0; i < back.size(); ++i) {
    EXPECT_EQ(back[i].name, kSample[i].name);
    EXPECT_EQ(back[i].data, kSample[i].data) << kSample[i].name;
  }
}

TEST(ZipWriter, SameEntriesGiveSameBytes) {
  EXPECT_EQ(Archive(kSample), Archive(kSample));
}

TEST(ZipWriter, RefusesWhatThePlainFormatCannotHold) {
  struct Case {
    const char* what;
    std::vector<NamedData> entries;
  };
  const Case cases[] = {
      {"entry above the size limit", {{"a", std::string(1001, 'x')}}},
      {"compressed bytes above it", {{"a", Noise(900)}, {"b", Noise(900)}}},
      {"more entries than allowed",
       {{"a", ""}, {"b", ""}, {"c", ""}, {"d", ""}}},
  };
  for (const Case& c : cases) {
    std::ostringstream out;
    ZipWriter zip(out);
    zip.SetLimitsForTest(1000, 3);
    EXPECT_THROW(
        {
          for (const NamedData& entry : c.entries)
            zip.AddEntry(entry.name, entry.data);
          zip.Finish();
        },
        ZipTooLarge)
        << c.what;
  }
  std::ostringstream out;
  ZipWriter zip(out);
  zip.SetLimitsForTest(1000, 3);
  zip.AddEntry("a", std::string(1000, 'x'));  // at the limit is fine
  zip.AddEntry("b", "");
  EXPECT_NO_THROW(zip.Finish());
}

}  // namespace
}  // namespace korvelo
