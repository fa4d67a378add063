// The main window's controls: what they show, what they enable, and what
// Close, Enter and Escape do with them.
#include "ui/main_dialog.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "support/test_support.h"
#include "window_fixtures.h"

namespace korvelo::testing {
namespace {

using S = ConversionSettings;
// A check box, the controls it enables (its path field first), its flag and
// its path.
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
    window_ = std::make_unique<MainDialog>(settings_, *store_, answers_.Seam());
    answers_.owner = window_.get();
    window_->show();
  }
  QCheckBox* Check(int id) { return Get<QCheckBox>(id); }
  QLineEdit* Edit(int id) { return Get<QLineEdit>(id); }
  QComboBox* Combo() { return Get<QComboBox>(1020); }
  template <typename T>
  T* Get(int id) {
    auto* control = qobject_cast<T*>(window_->Control(id));
    EXPECT_NE(control, nullptr) << id;
    return control;
  }

  TempDir dir_;
  std::unique_ptr<QSettings> store_ = IniStore(dir_ / "settings.ini");
  ConversionSettings settings_ = AllOff();
  ModalAnswers answers_;
  std::unique_ptr<MainDialog> window_;
};

TEST_F(MainWindow, EachCheckBoxEnablesExactlyItsGroup) {
  Open();
  for (const GroupRow& row : kGroups) {
    QTest::mouseClick(Check(row.check), Qt::LeftButton);
    for (const GroupRow& other : kGroups) {
      for (int id : other.enabled) {
        EXPECT_EQ(window_->Control(id)->isEnabled(), &other == &row)
            << "after clicking " << row.check << ": control " << id;
      }
    }
    QTest::mouseClick(Check(row.check), Qt::LeftButton);
  }
}

// Each flag on alone (the others off) shows as such, and reading the
// controls gives back exactly what was loaded; a file mode the list cannot
// show (5) reads back as -1.
TEST_F(MainWindow, ShowsTheLoadedSettingsAndReadsBackWhatItShows) {
  for (const GroupRow& row : kGroups) {
    settings_ = AllOff();
    settings_.*row.flag = true;
    settings_.OutputKmlDirFileMode = &row == &kGroups[0] ? 5 : 2;
    const int shown = &row == &kGroups[0] ? -1 : 2;
    Open();
    for (const GroupRow& other : kGroups) {
      EXPECT_EQ(Check(other.check)->isChecked(), &other == &row);
      EXPECT_EQ(Edit(other.enabled[0])->text().toStdString(),
                settings_.*other.path);
    }
    EXPECT_EQ(Combo()->currentIndex(), shown);
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

}  // namespace
}  // namespace korvelo::testing
