// The main window's controls (what they show, what they enable, what Close,
// Enter and Escape do with them), the file function question and the
// progress window.
#include "ui/main_dialog.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <tuple>

#include "ini_store.h"
#include "support/test_support.h"
#include "ui/file_function_dialog.h"
#include "ui/progress_window.h"
#include "ui/two_line_option.h"

namespace korvelo::testing {
namespace {

using S = ConversionSettings;
using Id = ControlId;
// A check box, the controls it enables (path field first), flag and path.
struct GroupRow {
  Id check;
  std::vector<Id> enabled;
  bool S::*flag;
  std::string S::*path;
};

const GroupRow kGroups[] = {
    {Id::kExclude,
     {Id::kExcludeDir, Id::kExcludeDirPicker},
     &S::bExclude,
     &S::ExcludeDir},
    {Id::kExcludePeople,
     {Id::kExcludePeopleFile, Id::kExcludePeopleFilePicker},
     &S::bExcludePeople,
     &S::ExcludePeopleFile},
    {Id::kMoveCaches,
     {Id::kMoveCachesFile, Id::kMoveCachesFilePicker},
     &S::bMoveCaches,
     &S::MoveCachesFile},
    {Id::kOutputKml,
     {Id::kOutputKmlDir, Id::kOutputKmlDirPicker, Id::kKmlFileMode},
     &S::bOutputKml,
     &S::OutputKmlDir},
    {Id::kOutputAsc,
     {Id::kOutputAscDir, Id::kOutputAscDirPicker},
     &S::bOutputAsc,
     &S::OutputAscDir},
    {Id::kOutputGpx,
     {Id::kOutputGpxDir, Id::kOutputGpxDirPicker},
     &S::bOutputGpx,
     &S::OutputGpxDir},
    {Id::kOutputTxt,
     {Id::kOutputTxtDir, Id::kOutputTxtDirPicker},
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
// its box is clicked off and on again; ReadControls gives back what was
// loaded; a file mode the list cannot show (5) reads back as -1.
TEST_F(MainWindow, ShowsTheLoadedSettingsEnablesTheirGroupAndReadsThemBack) {
  for (const GroupRow& row : kGroups) {
    settings_ = AllOff();
    settings_.*row.flag = true;
    settings_.OutputKmlDirFileMode = &row == &kGroups[0] ? 5 : 2;
    const int shown = &row == &kGroups[0] ? -1 : 2;
    Open();
    for (int clicks = 0; clicks < 3; ++clicks) {
      if (clicks > 0) QTest::mouseClick(Check(row.check), Qt::LeftButton);
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
    EXPECT_EQ(Get<QComboBox>(Id::kKmlFileMode)->currentIndex(), shown);
    ConversionSettings read = AllOff();
    window_->ReadControls(read);
    EXPECT_TRUE(read.*row.flag) << Number(row.check);
    EXPECT_EQ(read.OutputKmlDirFileMode, shown);
    for (const GroupRow& other : kGroups) {
      EXPECT_EQ(read.*other.path, settings_.*other.path);
    }
  }
}

// Close and Enter keep what was changed, Escape loses it. A path stored in
// bytes that are not UTF-8 survives a window that did not change it; a path
// the user typed is taken as typed.
TEST_F(MainWindow, CloseAndEnterKeepChangesAndEscapeLosesThem) {
  const std::pair<int, bool> rows[] = {
      {Qt::Key_Escape, false}, {Qt::Key_Return, true}, {0, true}};
  for (const auto& [key, keeps] : rows) {
    settings_ = AllOff();
    settings_.ExcludeDir = "/data/caf\xE9";
    settings_.OutputAscDir = "/data/\xFF";
    Open();
    QTest::mouseClick(Check(Id::kOutputAsc), Qt::LeftButton);
    Edit(Id::kOutputAscDir)->setText(QStringLiteral("/tmp/m\u00FCll"));
    if (key != 0) QTest::keyClick(window_.get(), Qt::Key(key));
    if (key == 0)
      QTest::mouseClick(Get<QPushButton>(Id::kClose), Qt::LeftButton);
    EXPECT_FALSE(window_->isVisible()) << key;
    EXPECT_EQ(window_->result() == QDialog::Accepted, keeps) << key;
    EXPECT_EQ(settings_.bOutputAsc, keeps) << key;
    EXPECT_EQ(settings_.OutputAscDir == "/tmp/m\xC3\xBCll", keeps) << key;
    EXPECT_EQ(settings_.ExcludeDir, "/data/caf\xE9") << key;
  }
}

// The KMZ box shows the stored flag and stays enabled whatever the groups
// say (it packs the map however its folder was chosen); a click on it is
// read by ReadControls and kept by Close.
TEST_F(MainWindow, KmzBoxIsAlwaysEnabledAndCloseKeepsIt) {
  for (const bool stored : {false, true}) {
    settings_ = AllOff();
    settings_.bOutputKmz = stored;
    Open();
    QCheckBox* kmz = Check(Id::kOutputKmz);
    EXPECT_EQ(kmz->isChecked(), stored);
    for (int clicks = 0; clicks < 2; ++clicks) {
      QTest::mouseClick(Check(Id::kOutputKml), Qt::LeftButton);
      EXPECT_TRUE(kmz->isEnabled()) << clicks;
    }
    QTest::mouseClick(kmz, Qt::LeftButton);
    ConversionSettings read = AllOff();
    window_->ReadControls(read);
    EXPECT_EQ(read.bOutputKmz, !stored);
    QTest::mouseClick(Get<QPushButton>(Id::kClose), Qt::LeftButton);
    EXPECT_EQ(settings_.bOutputKmz, !stored);
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

}  // namespace
}  // namespace korvelo::testing
