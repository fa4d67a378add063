// Settings store: every value survives a save and a load byte for byte, and
// stored texts read back with the flag and number rules.
#include "ui/settings_store.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <tuple>

#include "support/test_support.h"
#include "window_fixtures.h"

namespace korvelo::testing {
namespace {

auto Fields(const ConversionSettings& s) {
  return std::tie(s.Mode, s.bSmallIcons, s.bShowDisable, s.bExclude,
                  s.ExcludeDir, s.bExcludePeople, s.ExcludePeopleFile,
                  s.bMoveCaches, s.MoveCachesFile, s.bOutputKml, s.OutputKmlDir,
                  s.OutputKmlDirFileMode, s.bOutputAsc, s.OutputAscDir,
                  s.bOutputTxt, s.OutputTxtDir);
}

// Unlike the start-up values in every field: blanks at both ends, umlauts in
// UTF-8 and in ANSI, every byte value, a text longer than any fixed read
// buffer, backslashes and quotes, broken UTF-8.
ConversionSettings Unusual() {
  ConversionSettings s;
  s.Mode = 7;
  s.bSmallIcons = s.bShowDisable = s.bOutputKml = false;
  s.bExclude = s.bExcludePeople = s.bMoveCaches = true;
  s.bOutputAsc = s.bOutputTxt = true;
  s.ExcludeDir = "  /home/j\xC3\xBCrgen/Gefundene Caches  ";
  s.MoveCachesFile = "/m\xFCll/\xE4\xF6\xFC\xDF.txt";
  for (int b = 1; b <= 0xFF; ++b)
    (b < 0x80 ? s.ExcludePeopleFile : s.OutputKmlDir) += static_cast<char>(b);
  s.ExcludePeopleFile += std::string(600, 'x');
  s.OutputKmlDirFileMode = 2;
  s.OutputAscDir = "\\\\server\\share\\\"quoted\", a;b=c #x @y";
  s.OutputTxtDir = "\xC3\x28 broken \xE2\x82 sequences \xF0";
  return s;
}

// Saved values come back over the start-up values; missing ones read as
// flags off, numbers 0 and texts empty whatever the fields held before. The
// file is read afresh through a copy: QSettings shares parsed files within a
// process.
TEST(SettingsStore, LoadsWhatWasSavedThroughAFile) {
  const ConversionSettings unusual = Unusual();
  ConversionSettings none;
  none.Mode = 0;
  none.bSmallIcons = none.bShowDisable = none.bOutputKml = false;
  for (const bool saved : {true, false}) {
    TempDir dir;
    if (saved) SaveSettings(unusual, *IniStore(dir / "k.ini"));
    if (saved) std::filesystem::copy_file(dir / "k.ini", dir / "copy.ini");
    ConversionSettings loaded = saved ? ConversionSettings() : unusual;
    LoadSettings(loaded, *IniStore(dir / "copy.ini"));
    EXPECT_EQ(Fields(loaded), Fields(saved ? unusual : none)) << saved;
  }
}

// A flag is true only for the text "1"; numbers read like atol, kept within
// 32 bits.
TEST(SettingsStore, ReadsFlagsAndNumbersFromTheirTexts) {
  TempDir dir;
  const auto store = IniStore(dir / "k.ini");
  const auto check = [&store](const char* text, bool flag, int32_t number) {
    for (const char* name : {"bExclude", "Mode", "OutputKmlDirFileMode"})
      WriteRegistryString(*store, name, text);
    ConversionSettings s;
    LoadSettings(s, *store);
    EXPECT_EQ(std::tie(s.bExclude, s.Mode, s.OutputKmlDirFileMode),
              std::tuple(flag, number, number))
        << "'" << text << "'";
  };
  const std::tuple<const char*, bool, int32_t> rows[] = {
      {"1", true, 1},   {"0", false, 0},      {"true", false, 0},
      {"01", false, 1}, {" 1", false, 1},     {"1 ", false, 1},
      {"", false, 0},   {"2", false, 2},      {"-3", false, -3},
      {"+5", false, 5}, {"12abc", false, 12}, {"7", false, 7}};
  for (const auto& [text, flag, number] : rows) check(text, flag, number);
  check("9999999999", false, INT32_MAX);
  check("-9999999999", false, INT32_MIN);
}

// Edited by hand in another editor: bytes that are not UTF-8 stay exactly
// as they were, through a load and a save, also with quotes and escapes;
// unquoted texts keep their blanks and commas.
TEST(SettingsStore, KeepsHandWrittenBytesThatAreNotUtf8) {
  TempDir dir;
  WriteFileOrFail(dir / "k.ini",
                  "[General]\nOutputTxtDir=/home/j\xFCrgen/Caches\n"
                  "ExcludeDir = \"C:\\\\pq \\\"\xE4\\\"\"\n"
                  "MoveCachesFile=/m\xC3\xBCll.txt\nOutputAscDir=/a/b c\n"
                  "OutputKmlDir=a,b,c\n");
  ConversionSettings s;
  LoadSettings(s, *IniStore(dir / "k.ini"));
  EXPECT_EQ(s.OutputTxtDir, "/home/j\xFCrgen/Caches");
  EXPECT_EQ(s.ExcludeDir, "C:\\pq \"\xE4\"");
  EXPECT_EQ(s.MoveCachesFile, "/m\xC3\xBCll.txt");
  EXPECT_EQ(s.OutputAscDir + "|" + s.OutputKmlDir, "/a/b c|a,b,c");
  SaveSettings(s, *IniStore(dir / "k.ini"));
  std::filesystem::copy_file(dir / "k.ini", dir / "copy.ini");
  ConversionSettings again;
  LoadSettings(again, *IniStore(dir / "copy.ini"));
  EXPECT_EQ(Fields(again), Fields(s));
}

}  // namespace
}  // namespace korvelo::testing
