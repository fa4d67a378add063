// Windows laid out from their tables; the main window's controls (what they
// show, enable and keep on Close, Enter and Escape), the file function
// question, the progress window, and the settings store behind them: every
// value survives a save and a load, and hand-written texts read back.
#include "ui/main_dialog.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <cstdint>
#include <filesystem>
#include <tuple>

#include "ini_store.h"
#include "support/test_support.h"
#include "ui/dialog_layout.h"
#include "ui/dialog_units.h"
#include "ui/file_function_dialog.h"
#include "ui/progress_window.h"
#include "ui/settings_store.h"
#include "ui/two_line_option.h"

namespace korvelo::testing {
namespace {

using S = ConversionSettings;
using Id = ControlId;
using enum ControlId;
using Kind = ControlKind;
// A check box, the controls it enables (path field first), flag and path.
struct GroupRow {
  Id check;
  std::vector<Id> enabled;
  bool S::*flag;
  std::string S::*path;
};

const GroupRow kGroups[] = {
    {kExclude, {kExcludeDir, kExcludeDirPicker}, &S::bExclude, &S::ExcludeDir},
    {kExcludePeople,
     {kExcludePeopleFile, kExcludePeopleFilePicker},
     &S::bExcludePeople,
     &S::ExcludePeopleFile},
    {kMoveCaches,
     {kMoveCachesFile, kMoveCachesFilePicker},
     &S::bMoveCaches,
     &S::MoveCachesFile},
    {kOutputKml,
     {kOutputKmlDir, kOutputKmlDirPicker, kKmlFileMode},
     &S::bOutputKml,
     &S::OutputKmlDir},
    {kOutputAsc,
     {kOutputAscDir, kOutputAscDirPicker},
     &S::bOutputAsc,
     &S::OutputAscDir},
    {kOutputGpx,
     {kOutputGpxDir, kOutputGpxDirPicker},
     &S::bOutputGpx,
     &S::OutputGpxDir},
    {kOutputTxt,
     {kOutputTxtDir, kOutputTxtDirPicker},
     &S::bOutputTxt,
     &S::OutputTxtDir},
};

int Number(Id id) { return static_cast<int>(id); }

// Every flag off, and a different path in each field.
ConversionSettings AllOff() {
  ConversionSettings settings;
  for (const GroupRow& row : kGroups) {
    settings.*row.flag = false;
    settings.*row.path =
        "/path/of " + std::to_string(Number(row.check)) + " \xC3\xA4";
  }
  return settings;
}

class MainWindow : public ::testing::Test {
 protected:
  void Open() {
    // No test here opens a modal dialog.
    window_ = std::make_unique<MainDialog>(settings_, *store_,
                                           [](QDialog&) { return 0; });
    window_->show();
  }
  QCheckBox* Check(Id id) { return Get<QCheckBox>(id); }
  QLineEdit* Edit(Id id) { return Get<QLineEdit>(id); }
  template <typename T>
  T* Get(Id id) {
    auto* control = window_->Control<T>(id);
    EXPECT_NE(control, nullptr) << Number(id);
    return control;
  }

  TempDir dir_;
  std::unique_ptr<QSettings> store_ = IniStore(dir_ / "settings.ini");
  ConversionSettings settings_ = AllOff();
  std::unique_ptr<MainDialog> window_;
};

// Each flag on alone shows as such and enables exactly its group, also when
// its box is clicked off and on again; the KMZ box stays enabled whatever
// the groups say (it packs the map however its folder was chosen).
// ReadControls gives back what was loaded; a file mode the list cannot show
// (5) reads back as -1.
TEST_F(MainWindow, ShowsTheLoadedSettingsEnablesTheirGroupAndReadsThemBack) {
  for (const GroupRow& row : kGroups) {
    settings_ = AllOff();
    settings_.*row.flag = true;
    settings_.OutputKmlDirFileMode = &row == &kGroups[0] ? 5 : 2;
    settings_.bOutputKmz = &row == &kGroups[1];
    const int shown = &row == &kGroups[0] ? -1 : 2;
    Open();
    for (int clicks = 0; clicks < 3; ++clicks) {
      if (clicks > 0) QTest::mouseClick(Check(row.check), Qt::LeftButton);
      EXPECT_TRUE(Check(kOutputKmz)->isEnabled()) << Number(row.check);
      for (const GroupRow& other : kGroups) {
        for (Id id : other.enabled) {
          EXPECT_EQ(window_->Control(id)->isEnabled(),
                    clicks != 1 && &other == &row)
              << Number(row.check) << " clicked " << clicks << ": control "
              << Number(id);
        }
      }
    }
    for (const GroupRow& other : kGroups) {
      EXPECT_EQ(Check(other.check)->isChecked(), &other == &row);
      EXPECT_EQ(Edit(other.enabled[0])->text().toStdString(),
                settings_.*other.path);
    }
    EXPECT_EQ(Check(kOutputKmz)->isChecked(), settings_.bOutputKmz);
    EXPECT_EQ(Get<QComboBox>(kKmlFileMode)->currentIndex(), shown);
    ConversionSettings read = AllOff();
    window_->ReadControls(read);
    EXPECT_TRUE(read.*row.flag) << Number(row.check);
    EXPECT_EQ(read.bOutputKmz, settings_.bOutputKmz);
    EXPECT_EQ(read.OutputKmlDirFileMode, shown);
    for (const GroupRow& other : kGroups) {
      EXPECT_EQ(read.*other.path, settings_.*other.path);
    }
  }
}

// Close and Enter keep what was changed (the KMZ box too), Escape loses it.
// A path stored in bytes that are not UTF-8 survives a window that did not
// change it; a path the user typed is taken as typed.
TEST_F(MainWindow, CloseAndEnterKeepChangesAndEscapeLosesThem) {
  const std::pair<int, bool> rows[] = {
      {Qt::Key_Escape, false}, {Qt::Key_Return, true}, {0, true}};
  for (const auto& [key, keeps] : rows) {
    settings_ = AllOff();
    settings_.ExcludeDir = "/data/caf\xE9";
    settings_.OutputAscDir = "/data/\xFF";
    Open();
    QTest::mouseClick(Check(kOutputAsc), Qt::LeftButton);
    QTest::mouseClick(Check(kOutputKmz), Qt::LeftButton);
    Edit(kOutputAscDir)->setText(QStringLiteral("/tmp/m\u00FCll"));
    if (key != 0) QTest::keyClick(window_.get(), Qt::Key(key));
    if (key == 0) QTest::mouseClick(Get<QPushButton>(kClose), Qt::LeftButton);
    EXPECT_FALSE(window_->isVisible()) << key;
    EXPECT_EQ(window_->result() == QDialog::Accepted, keeps) << key;
    EXPECT_EQ(settings_.bOutputAsc, keeps) << key;
    EXPECT_EQ(settings_.bOutputKmz, keeps) << key;
    EXPECT_EQ(settings_.OutputAscDir == "/tmp/m\xC3\xBCll", keeps) << key;
    EXPECT_EQ(settings_.ExcludeDir, "/data/caf\xE9") << key;
  }
}

// The stored mode is preselected when it is 1 to 5. A click sets the mode
// even when cancelled; only OK changes the two boxes' settings and stores
// those three at once, and nothing else.
TEST(FileFunctionQuestion, PreselectsTheStoredModeAndOkStoresTheChoice) {
  const std::pair<int32_t, bool> rows[] = {{0, false}, {5, true}, {6, true}};
  for (const auto& [stored, ok] : rows) {
    TempDir dir;
    const auto store = IniStore(dir / "settings.ini");
    ConversionSettings settings;
    settings.Mode = stored;
    settings.bSmallIcons = false;
    settings.bShowDisable = true;
    FileFunctionDialog dialog(settings, *store, nullptr);
    dialog.show();
    for (int function = 1; function <= 5; ++function) {
      EXPECT_EQ(dialog.Option(function)->isChecked(), function == stored)
          << "mode " << stored << ", option " << function;
    }
    EXPECT_FALSE(dialog.SmallIcons()->isChecked());
    EXPECT_TRUE(dialog.ShowDisable()->isChecked());
    QTest::mouseClick(dialog.Option(3), Qt::LeftButton);
    dialog.SmallIcons()->click();
    dialog.ShowDisable()->click();
    QTest::keyClick(&dialog, ok ? Qt::Key_Return : Qt::Key_Escape);
    EXPECT_EQ(dialog.result(), ok ? QDialog::Accepted : QDialog::Rejected);
    EXPECT_EQ(
        std::tie(settings.Mode, settings.bSmallIcons, settings.bShowDisable),
        std::tuple(3, ok, !ok));
    // Read by a second store on the same file: written, not only cached.
    const auto written = IniStore(dir / "settings.ini");
    std::string stored_texts;
    for (const char* name : {"Mode", "bSmallIcons", "bShowDisable"}) {
      stored_texts += written->value(name, "-").toString().toStdString();
    }
    EXPECT_EQ(stored_texts, ok ? "310" : "---");
    EXPECT_EQ(written->allKeys().size(), ok ? 3 : 0);
  }
}

TEST(ProgressWindow, KeepsItsOwnerDisabledWhileItExists) {
  QDialog owner;
  owner.move(120, 80);
  owner.show();
  {
    ProgressWindow progress(&owner);
    EXPECT_FALSE(owner.isEnabled());
    EXPECT_TRUE(progress.isEnabled() && progress.isVisible());
    EXPECT_EQ(progress.pos(), owner.mapToGlobal(QPoint(0, 0)));
    progress.SetText("Loading <b>x</b>.gpx...");  // shown as plain text
    EXPECT_EQ(progress.Text(), QStringLiteral("Loading <b>x</b>.gpx..."));
    progress.close();  // closing it does not give the owner back early
    EXPECT_FALSE(owner.isEnabled());
  }
  EXPECT_TRUE(owner.isEnabled());
}

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

// A check box whose label fits its width keeps the designed window; one
// whose label does not widens the window and every control across, so that
// the label shows whole, and nothing down.
TEST(DialogLayout, WidensEveryUnitAcrossUntilEachCheckBoxLabelShowsWhole) {
  const struct {
    const char* label;
    int width;
    bool widens;
  } rows[] = {
      {"On", 100, false},
      {"A label far longer than the forty units it was given", 40, true},
  };
  for (const auto& row : rows) {
    QDialog dialog;
    const ControlRow table[] = {
        {kOk, Kind::kButton, 100, 60, 50, 14, "OK"},
        {kSmallIcons, Kind::kCheckBox, 7, 7, row.width, 10, row.label},
    };
    DialogControls controls;
    controls.LayOut(dialog, table, 160, 80);
    const DialogUnits units(dialog.font());
    auto* check = controls.Get<QCheckBox>(kSmallIcons);
    auto* ok = controls.Get<QPushButton>(kOk);
    EXPECT_EQ(dialog.width() > units.Size(160, 80).width(), row.widens);
    EXPECT_EQ(dialog.height(), units.Size(160, 80).height());
    EXPECT_GE(check->width(), check->sizeHint().width()) << row.label;
    EXPECT_EQ(ok->x() > units.Rect(100, 60, 50, 14).x(), row.widens);
    EXPECT_EQ(ok->geometry().top(), units.Rect(100, 60, 50, 14).top());
  }
}

// A closed drop-down list is one line high whatever height its row gives
// for the open list; a heading is as wide as its text needs; every other
// control gets its row's area. Controls are found by name as the class they
// were made as; the tab order is the table's, not the order on screen.
TEST(DialogLayout, MakesWhatItsTableSays) {
  QDialog dialog;
  const ControlRow table[] = {
      {kCancel, Kind::kButton, 100, 7, 50, 14, "Cancel"},
      {kNone, Kind::kText, 7, 24, 100, 8, "unnamed"},
      {kOk, Kind::kDefaultButton, 7, 7, 50, 14, "OK"},
      {kKmlFileMode, Kind::kComboBox, 7, 34, 100, 86, "one\ntwo\nthree"},
      {kNoteHeading, Kind::kHeading, 7, 50, 10, 8,
       "A heading much wider than ten units"},
      {kExcludeDir, Kind::kEdit, 7, 60, 100, 14, ""},
  };
  DialogControls controls;
  controls.LayOut(dialog, table, 200, 80);
  const DialogUnits units(dialog.font());
  auto* combo = controls.Get<QComboBox>(kKmlFileMode);
  auto* heading = controls.Get<QLabel>(kNoteHeading);
  auto* ok = controls.Get<QPushButton>(kOk);
  auto* cancel = controls.Get<QPushButton>(kCancel);
  ASSERT_TRUE(combo && heading && ok && cancel);
  EXPECT_EQ(combo->count(), 3);
  EXPECT_EQ(combo->itemText(2), QStringLiteral("three"));
  EXPECT_EQ(combo->height(), combo->sizeHint().height());
  EXPECT_LT(combo->height(), units.Rect(7, 34, 100, 86).height());
  EXPECT_EQ(heading->width(), heading->sizeHint().width());
  EXPECT_GT(heading->width(), units.Rect(7, 50, 10, 8).width());
  EXPECT_EQ(controls.Get(kExcludeDir)->geometry(), units.Rect(7, 60, 100, 14));
  EXPECT_TRUE(ok->isDefault() && !cancel->isDefault());
  EXPECT_EQ(controls.Get<QCheckBox>(kOk), nullptr);
  EXPECT_EQ(controls.Get(kNone), nullptr);
  EXPECT_EQ(controls.Get(kHelp), nullptr);
  EXPECT_EQ(cancel->nextInFocusChain()->nextInFocusChain(), ok);
}

// Each control of the three windows lies wholly inside its window.
TEST(DialogLayout, KeepsEveryControlOfTheThreeWindowsInsideIt) {
  TempDir dir;
  QSettings store(QString::fromStdString(dir / "s.ini"), QSettings::IniFormat);
  ConversionSettings settings;
  MainDialog main_window(settings, store, [](QDialog&) { return 0; });
  FileFunctionDialog question(settings, store, nullptr);
  ProgressWindow progress(nullptr);
  for (QDialog* window :
       std::initializer_list<QDialog*>{&main_window, &question, &progress}) {
    const auto children =
        window->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    EXPECT_GT(children.size(), 0);
    for (const QWidget* child : children) {
      EXPECT_TRUE(window->rect().contains(child->geometry()))
          << window->metaObject()->className() << ": "
          << child->metaObject()->className() << " "
          << child->objectName().toStdString();
    }
  }
}
}  // namespace
}  // namespace korvelo::testing
