// Settings store: every value survives a save and a load byte for byte, and
// stored texts read back with the flag and number rules.
#include "ui/settings_store.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <tuple>

#include "ini_store.h"
#include "support/test_support.h"

namespace korvelo::testing {
namespace {

auto Fields(const ConversionSettings& s) {
  return std::tie(s.Mode, s.bSmallIcons, s.bShowDisable, s.bExclude,
                  s.ExcludeDir, s.bExcludePeople, s.ExcludePeopleFile,
                  s.bMoveCaches, s.MoveCachesFile, s.bOutputKml, s.OutputKmlDir,
                  s.OutputKmlDirFileMode, s.bOutputAsc, s.OutputAscDir,
                  s.bOutputTxt, s.OutputTxtDir, s.bOutputKmz);
}

// Unlike the start-up values: outer blanks, every byte value, a long text,
// backslashes and quotes, broken UTF-8.
ConversionSettings Unusual() {
  ConversionSettings s;
  s.Mode = 7;
  s.bSmallIcons = s.bShowDisable = s.bOutputKml = false;
  s.bExclude = s.bExcludePeople = s.bMoveCaches = true;
  s.bOutputAsc = s.bOutputTxt = s.bOutputKmz = true;
  s.ExcludeDir = "  /home/j\xC3\xBCrgen/Gefundene Caches  ";
  for (int b = 1; b <= 0xFF; ++b)
    (b < 0x80 ? s.ExcludePeopleFile : s.OutputKmlDir) += static_cast<char>(b);
  s.ExcludePeopleFile += std::string(600, 'x');
  s.OutputKmlDirFileMode = 2;
  s.OutputAscDir = "\\\\server\\share\\\"quoted\", a;b=c #x @y";
  s.OutputTxtDir = "\xC3\x28 broken \xE2\x82 sequences \xF0";
  return s;
}

// Saved values come back over the start-up values. The file is read afresh
// through a copy: QSettings shares parsed files within a process.
TEST(SettingsStore, LoadsWhatWasSavedThroughAFile) {
  TempDir dir;
  SaveSettings(Unusual(), *IniStore(dir / "k.ini"));
  std::filesystem::copy_file(dir / "k.ini", dir / "copy.ini");
  ConversionSettings loaded;
  LoadSettings(loaded, *IniStore(dir / "copy.ini"));
  EXPECT_EQ(Fields(loaded), Fields(Unusual()));
}

// Edited by hand: bytes that are not UTF-8 stay as they were, also quoted
// and escaped; unquoted texts keep their blanks and commas. A flag is true
// only for the text "1"; numbers read like atol, kept within 32 bits.
TEST(SettingsStore, ReadsHandWrittenTextsWithTheFlagAndNumberRules) {
  TempDir dir;
  WriteFileOrFail(dir / "k.ini",
                  "[General]\nOutputTxtDir=/home/j\xFCrgen/a b,c\n"
                  "ExcludeDir = \"C:\\\\pq \\\"\xE4\\\"\"\n"
                  "bOutputKml=true\nbShowDisable=\" 1\"\nbMoveCaches=1\n"
                  "Mode=12abc\nOutputKmlDirFileMode=-9999999999\n");
  ConversionSettings s;  // both flags above start out true
  LoadSettings(s, *IniStore(dir / "k.ini"));
  EXPECT_EQ(s.OutputTxtDir, "/home/j\xFCrgen/a b,c");
  EXPECT_EQ(s.ExcludeDir, "C:\\pq \"\xE4\"");
  EXPECT_EQ(std::tie(s.bOutputKml, s.bShowDisable, s.bMoveCaches, s.Mode,
                     s.OutputKmlDirFileMode),
            std::tuple(false, false, true, 12, INT32_MIN));
}

}  // namespace
}  // namespace korvelo::testing
