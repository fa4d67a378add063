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
// A check box, the controls it enables (path field first), flag and path.
struct GroupRow {
  int check;
  std::vector<int> enabled;
  bool S::*flag;
  std::string S::*path;
};

const GroupRow kGroups[] = {
    {1006, {1007, 1008}, &S::bExclude, &S::ExcludeDir},
    {1018, {1019, 1021}, &S::bExcludePeople, &S::ExcludePeopleFile},
    {1023, {1024, 1025}, &S::bMoveCaches, &S::MoveCachesFile},
    {1009, {1012, 1013, 1020}, &S::bOutputKml, &S::OutputKmlDir},
    {1010, {1014, 1015}, &S::bOutputAsc, &S::OutputAscDir},
    {1011, {1016, 1017}, &S::bOutputTxt, &S::OutputTxtDir},
};

// Every flag off, and a different path in each field.
ConversionSettings AllOff() {
  ConversionSettings settings;
  for (const GroupRow& row : kGroups) {
    settings.*row.flag = false;
    settings.*row.path = "/path/of " + std::to_string(row.check) + " \xC3\xA4";
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
  QCheckBox* Check(int id) { return Get<QCheckBox>(id); }
  QLineEdit* Edit(int id) { return Get<QLineEdit>(id); }
  template <typename T>
  T* Get(int id) {
    auto* control = qobject_cast<T*>(window_->Control(id));
    EXPECT_NE(control, nullptr) << id;
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
        for (int id : other.enabled) {
          EXPECT_EQ(window_->Control(id)->isEnabled(),
                    clicks != 1 && &other == &row)
              << row.check << " clicked " << clicks << ": control " << id;
        }
      }
    }
    for (const GroupRow& other : kGroups) {
      EXPECT_EQ(Check(other.check)->isChecked(), &other == &row);
      EXPECT_EQ(Edit(other.enabled[0])->text().toStdString(),
                settings_.*other.path);
    }
    EXPECT_EQ(Get<QComboBox>(1020)->currentIndex(), shown);
    ConversionSettings read = AllOff();
    window_->ReadControls(read);
    EXPECT_TRUE(read.*row.flag) << row.check;
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
    QTest::mouseClick(Check(1010), Qt::LeftButton);
    Edit(1014)->setText(QStringLiteral("/tmp/m\u00FCll"));
    if (key != 0) QTest::keyClick(window_.get(), Qt::Key(key));
    if (key == 0) QTest::mouseClick(Get<QPushButton>(1), Qt::LeftButton);
    EXPECT_FALSE(window_->isVisible()) << key;
    EXPECT_EQ(window_->result() == QDialog::Accepted, keeps) << key;
    EXPECT_EQ(settings_.bOutputAsc, keeps) << key;
    EXPECT_EQ(settings_.OutputAscDir == "/tmp/m\xC3\xBCll", keeps) << key;
    EXPECT_EQ(settings_.ExcludeDir, "/data/caf\xE9") << key;
  }
}

// The stored mode is preselected when it is 1 to 5. A click sets the mode
// even when cancelled; only OK changes the two boxes' settings and stores all
// three at once.
TEST(FileFunctionQuestion, PreselectsTheStoredModeAndOkStoresTheChoice) {
  const std::pair<int32_t, bool> rows[] = {{0, false}, {5, true}, {6, true}};
  for (const auto& [stored, ok] : rows) {
    TempDir dir;
    const auto store = IniStore(dir / "settings.ini");
    int32_t mode = stored;
    bool small = false, disabled = true;
    FileFunctionDialog dialog(mode, small, disabled, *store, nullptr);
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
    EXPECT_EQ(std::tie(mode, small, disabled), std::tuple(3, ok, !ok));
    // Read by a second store on the same file: written, not only cached.
    std::string stored_texts;
    for (const char* name : {"Mode", "bSmallIcons", "bShowDisable"}) {
      stored_texts += IniStore(dir / "settings.ini")
                          ->value(name, "-")
                          .toString()
                          .toStdString();
    }
    EXPECT_EQ(stored_texts, ok ? "310" : "---");
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
