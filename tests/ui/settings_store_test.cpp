// Settings store: every value survives a save and a load byte for byte, and
// stored texts read back with the flag and number rules.
#include "ui/settings_store.h"

#include <gtest/gtest.h>

#include <QSettings>
#include <filesystem>
#include <memory>
#include <string>

#include "support/test_support.h"

namespace korvelo {
namespace {

using ::korvelo::testing::TempDir;

std::unique_ptr<QSettings> IniStore(const std::string& path) {
  return std::make_unique<QSettings>(QString::fromStdString(path),
                                     QSettings::IniFormat);
}

// The file read afresh: QSettings shares parsed files within a process, so
// a copy under a new name makes sure the bytes really went through the file.
std::unique_ptr<QSettings> Reopened(const TempDir& dir,
                                    const std::string& name) {
  static int copies = 0;
  const std::string copy = dir / (name + ".copy" + std::to_string(++copies));
  std::filesystem::copy_file(dir / name, copy);
  return IniStore(copy);
}

// Every byte value from 0x01 to 0xFF once, in order.
std::string AllBytes() {
  std::string bytes;
  for (int b = 1; b <= 0xFF; ++b) bytes.push_back(static_cast<char>(b));
  return bytes;
}

// Settings unlike the start-up values in every field.
ConversionSettings Unusual() {
  ConversionSettings s;
  s.Mode = 7;
  s.bSmallIcons = false;
  s.bShowDisable = false;
  s.bExclude = true;
  s.ExcludeDir = "  /home/j\xC3\xBCrgen/Gefundene Caches  ";
  s.bExcludePeople = true;
  // Longer than any fixed read buffer: read whole.
  s.ExcludePeopleFile = "C:\\Geo\\" + std::string(600, 'x') + ".txt";
  s.bMoveCaches = true;
  s.MoveCachesFile =
      "/m\xFC"
      "ll/\xE4\xF6\xFC\xDF.txt";  // ANSI umlauts
  s.bOutputKml = false;
  s.OutputKmlDir = AllBytes();
  s.OutputKmlDirFileMode = 2;
  s.bOutputAsc = true;
  s.OutputAscDir = "\\\\server\\share\\\"quoted\", a;b=c #x @y";
  s.bOutputTxt = true;
  s.OutputTxtDir = "\xC3\x28 broken \xE2\x82 sequences \xF0";
  return s;
}

void ExpectSame(const ConversionSettings& a, const ConversionSettings& b) {
  EXPECT_EQ(a.Mode, b.Mode);
  EXPECT_EQ(a.bSmallIcons, b.bSmallIcons);
  EXPECT_EQ(a.bShowDisable, b.bShowDisable);
  EXPECT_EQ(a.bExclude, b.bExclude);
  EXPECT_EQ(a.ExcludeDir, b.ExcludeDir);
  EXPECT_EQ(a.bExcludePeople, b.bExcludePeople);
  EXPECT_EQ(a.ExcludePeopleFile, b.ExcludePeopleFile);
  EXPECT_EQ(a.bMoveCaches, b.bMoveCaches);
  EXPECT_EQ(a.MoveCachesFile, b.MoveCachesFile);
  EXPECT_EQ(a.bOutputKml, b.bOutputKml);
  EXPECT_EQ(a.OutputKmlDir, b.OutputKmlDir);
  EXPECT_EQ(a.OutputKmlDirFileMode, b.OutputKmlDirFileMode);
  EXPECT_EQ(a.bOutputAsc, b.bOutputAsc);
  EXPECT_EQ(a.OutputAscDir, b.OutputAscDir);
  EXPECT_EQ(a.bOutputTxt, b.bOutputTxt);
  EXPECT_EQ(a.OutputTxtDir, b.OutputTxtDir);
}

TEST(SettingsStore, RoundTripsAllSixteenValuesThroughAFile) {
  TempDir dir;
  const ConversionSettings saved = Unusual();
  SaveSettings(saved, *IniStore(dir / "k.ini"));

  ConversionSettings loaded;  // start-up values, all different from saved
  LoadSettings(loaded, *Reopened(dir, "k.ini"));
  ExpectSame(loaded, saved);
}

TEST(SettingsStore, RoundTripsStartUpValues) {
  TempDir dir;
  const ConversionSettings saved;
  SaveSettings(saved, *IniStore(dir / "k.ini"));
  ConversionSettings loaded = Unusual();
  LoadSettings(loaded, *Reopened(dir, "k.ini"));
  ExpectSame(loaded, saved);
}

TEST(SettingsStore, RoundTripsEveryByteValueOnItsOwn) {
  TempDir dir;
  auto store = IniStore(dir / "k.ini");
  for (int b = 1; b <= 0xFF; ++b) {
    const std::string text = std::string("a") + static_cast<char>(b) + "z";
    WriteRegistryString(*store, "V" + std::to_string(b), text);
  }
  store->sync();
  auto reread = Reopened(dir, "k.ini");
  for (int b = 1; b <= 0xFF; ++b) {
    const std::string text = std::string("a") + static_cast<char>(b) + "z";
    EXPECT_EQ(ReadRegistryString(*reread, "V" + std::to_string(b)), text)
        << "byte " << b;
  }
}

TEST(SettingsStore, SavesFlagsAndNumbersAsDecimalText) {
  TempDir dir;
  ConversionSettings s = Unusual();
  s.Mode = -3;
  SaveSettings(s, *IniStore(dir / "k.ini"));
  auto store = Reopened(dir, "k.ini");
  EXPECT_EQ(ReadRegistryString(*store, "Mode"), "-3");
  EXPECT_EQ(ReadRegistryString(*store, "bExclude"), "1");
  EXPECT_EQ(ReadRegistryString(*store, "bOutputKml"), "0");
  EXPECT_EQ(ReadRegistryString(*store, "OutputKmlDirFileMode"), "2");
}

TEST(SettingsStore, ReadsFlagsAsTrueOnlyForTheTextOne) {
  const struct {
    const char* text;
    bool flag;
  } rows[] = {{"1", true},   {"0", false},  {"true", false}, {"01", false},
              {" 1", false}, {"1 ", false}, {"", false},     {"2", false}};
  for (const auto& row : rows) {
    TempDir dir;
    auto store = IniStore(dir / "k.ini");
    WriteRegistryString(*store, "bExclude", row.text);
    ConversionSettings s;
    LoadSettings(s, *store);
    EXPECT_EQ(s.bExclude, row.flag) << "'" << row.text << "'";
  }
}

TEST(SettingsStore, ReadsNumbersLikeAtol) {
  const struct {
    const char* text;
    int32_t number;
  } rows[] = {{"7", 7},
              {"  42", 42},
              {"-3", -3},
              {"+5", 5},
              {"12abc", 12},
              {"abc", 0},
              {"", 0},
              {"01", 1},
              {"99999999999", 2147483647},
              {"-99999999999", -2147483647 - 1}};
  for (const auto& row : rows) {
    TempDir dir;
    auto store = IniStore(dir / "k.ini");
    WriteRegistryString(*store, "Mode", row.text);
    WriteRegistryString(*store, "OutputKmlDirFileMode", row.text);
    ConversionSettings s;
    LoadSettings(s, *store);
    EXPECT_EQ(s.Mode, row.number) << "'" << row.text << "'";
    EXPECT_EQ(s.OutputKmlDirFileMode, row.number) << "'" << row.text << "'";
  }
}

TEST(SettingsStore, MissingValuesReadAsEmptyText) {
  TempDir dir;
  ConversionSettings s;  // Mode 1, three flags set: all must be replaced
  LoadSettings(s, *IniStore(dir / "absent.ini"));
  ExpectSame(s, [] {
    ConversionSettings none;
    none.Mode = 0;
    none.bSmallIcons = false;
    none.bShowDisable = false;
    none.bOutputKml = false;
    return none;
  }());
}

TEST(SettingsStore, ReadsHandWrittenValues) {
  TempDir dir;
  ::korvelo::testing::WriteFileOrFail(
      dir / "k.ini",
      "[General]\nbSmallIcons=true\nMode=7\nExcludeDir=/a/b c\n"
      "OutputAscDir=\"  x  \"\n");
  ConversionSettings s;
  LoadSettings(s, *IniStore(dir / "k.ini"));
  EXPECT_FALSE(s.bSmallIcons);
  EXPECT_EQ(s.Mode, 7);
  EXPECT_EQ(s.ExcludeDir, "/a/b c");
  EXPECT_EQ(s.OutputAscDir, "  x  ");
  // The next save writes the flag back as "0".
  SaveSettings(s, *IniStore(dir / "k.ini"));
  EXPECT_EQ(ReadRegistryString(*Reopened(dir, "k.ini"), "bSmallIcons"), "0");
}

// The file itself under $XDG_CONFIG_HOME is checked by the program tests;
// here nothing is written to the user's real store.
TEST(SettingsStore, UserStoreIsTheProgramsNativeStore) {
  const auto store = OpenUserSettings();
  EXPECT_EQ(store->format(), QSettings::NativeFormat);
  EXPECT_EQ(store->scope(), QSettings::UserScope);
  EXPECT_EQ(store->organizationName(), "Brannoc");
  EXPECT_EQ(store->applicationName(), "Korvelo");
  EXPECT_TRUE(store->fileName().endsWith("/Brannoc/Korvelo.conf"))
      << store->fileName().toStdString();
}

}  // namespace
}  // namespace korvelo
