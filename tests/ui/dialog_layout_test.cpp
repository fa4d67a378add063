// Windows laid out from their tables: what the table says is what is made,
// the rules that bend a row's area, and the three real windows' tables.
#include "ui/dialog_layout.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "support/test_support.h"
#include "ui/dialog_units.h"
#include "ui/file_function_dialog.h"
#include "ui/main_dialog.h"
#include "ui/progress_window.h"

namespace korvelo::testing {
namespace {

using Id = ControlId;
using Kind = ControlKind;

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
        {Id::kOk, Kind::kButton, 100, 60, 50, 14, "OK"},
        {Id::kSmallIcons, Kind::kCheckBox, 7, 7, row.width, 10, row.label},
    };
    DialogControls controls;
    controls.LayOut(dialog, table, 160, 80);
    const DialogUnits units(dialog.font());
    auto* check = controls.Get<QCheckBox>(Id::kSmallIcons);
    auto* ok = controls.Get<QPushButton>(Id::kOk);
    EXPECT_EQ(dialog.width() > units.Size(160, 80).width(), row.widens);
    EXPECT_EQ(dialog.height(), units.Size(160, 80).height());
    EXPECT_GE(check->width(), check->sizeHint().width()) << row.label;
    EXPECT_EQ(ok->x() > units.Rect(100, 60, 50, 14).x(), row.widens);
    EXPECT_EQ(ok->geometry().top(), units.Rect(100, 60, 50, 14).top());
  }
}

// A closed drop-down list is one line high whatever height its row gives
// for the open list; a heading is as wide as its text needs; every other
// control gets its row's area.
TEST(DialogLayout, GivesDropDownListsOneLineAndHeadingsTheirTextsWidth) {
  QDialog dialog;
  const ControlRow table[] = {
      {Id::kKmlFileMode, Kind::kComboBox, 7, 7, 100, 86, "one\ntwo\nthree"},
      {Id::kNoteHeading, Kind::kHeading, 7, 30, 10, 8,
       "A heading much wider than ten units"},
      {Id::kExcludeDir, Kind::kEdit, 7, 50, 100, 14, ""},
  };
  DialogControls controls;
  controls.LayOut(dialog, table, 200, 80);
  const DialogUnits units(dialog.font());
  auto* combo = controls.Get<QComboBox>(Id::kKmlFileMode);
  EXPECT_EQ(combo->count(), 3);
  EXPECT_EQ(combo->itemText(2), QStringLiteral("three"));
  EXPECT_EQ(combo->height(), combo->sizeHint().height());
  EXPECT_LT(combo->height(), units.Rect(7, 7, 100, 86).height());
  auto* heading = controls.Get<QLabel>(Id::kNoteHeading);
  EXPECT_EQ(heading->width(), heading->sizeHint().width());
  EXPECT_GT(heading->width(), units.Rect(7, 30, 10, 8).width());
  EXPECT_EQ(controls.Get(Id::kExcludeDir)->geometry(),
            units.Rect(7, 50, 100, 14));
}

// Controls are found by name as the class they were made as; the tab order
// is the table's order, not the order on screen.
TEST(DialogLayout, FindsControlsByNameAndTabsInTableOrder) {
  QDialog dialog;
  const ControlRow table[] = {
      {Id::kCancel, Kind::kButton, 100, 7, 50, 14, "Cancel"},
      {Id::kNone, Kind::kText, 7, 30, 100, 8, "unnamed"},
      {Id::kOk, Kind::kDefaultButton, 7, 7, 50, 14, "OK"},
  };
  DialogControls controls;
  controls.LayOut(dialog, table, 160, 50);
  auto* ok = controls.Get<QPushButton>(Id::kOk);
  auto* cancel = controls.Get<QPushButton>(Id::kCancel);
  ASSERT_TRUE(ok != nullptr && cancel != nullptr);
  EXPECT_TRUE(ok->isDefault());
  EXPECT_FALSE(cancel->isDefault());
  EXPECT_EQ(controls.Get<QCheckBox>(Id::kOk), nullptr);
  EXPECT_EQ(controls.Get(Id::kNone), nullptr);
  EXPECT_EQ(controls.Get(Id::kHelp), nullptr);
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
