// The file function question: what a click, a double click, OK and Cancel do
// to the three settings it works on and to the stored values.
#include "ui/file_function_dialog.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QTest>

#include "support/test_support.h"
#include "ui/two_line_option.h"
#include "window_fixtures.h"

namespace korvelo::testing {
namespace {

class FileFunctionQuestion : public ::testing::Test {
 protected:
  void Open() {
    dialog_ = std::make_unique<FileFunctionDialog>(mode_, small_, disabled_,
                                                   *store_, nullptr);
    dialog_->show();
  }
  // Read by a second store on the same file: written, not only cached.
  std::string Stored(const char* name) {
    return IniStore(dir_ / "settings.ini")
        ->value(name, QStringLiteral("<none>"))
        .toString()
        .toStdString();
  }

  TempDir dir_;
  std::unique_ptr<QSettings> store_ = IniStore(dir_ / "settings.ini");
  int32_t mode_ = 0;
  bool small_ = false;
  bool disabled_ = true;
  std::unique_ptr<FileFunctionDialog> dialog_;
};

TEST_F(FileFunctionQuestion, ChecksTheStoredModeAndNoneOutsideOneToFive) {
  for (int32_t mode : {-1, 0, 1, 2, 3, 4, 5, 6, 7}) {
    mode_ = mode;
    Open();
    for (int function = 1; function <= 5; ++function) {
      EXPECT_EQ(dialog_->Option(function)->isChecked(), function == mode)
          << "mode " << mode << ", option " << function;
    }
    EXPECT_FALSE(dialog_->SmallIcons()->isChecked());
    EXPECT_TRUE(dialog_->ShowDisable()->isChecked());
  }
}

// The click sets the mode even when cancelled; only OK changes the two boxes'
// settings and stores all three at once.
TEST_F(FileFunctionQuestion, OkStoresTheThreeValuesAndEscapeNothing) {
  for (const bool ok : {false, true}) {
    mode_ = 0;
    Open();
    QTest::mouseClick(dialog_->Option(3), Qt::LeftButton);
    dialog_->SmallIcons()->click();
    dialog_->ShowDisable()->click();
    QTest::keyClick(dialog_.get(), ok ? Qt::Key_Return : Qt::Key_Escape);
    EXPECT_EQ(dialog_->result(), ok ? QDialog::Accepted : QDialog::Rejected);
    EXPECT_EQ(mode_, 3);
    EXPECT_EQ(small_, ok);
    EXPECT_EQ(disabled_, !ok);
    EXPECT_EQ(Stored("Mode") + Stored("bSmallIcons") + Stored("bShowDisable"),
              ok ? "310" : "<none><none><none>");
  }
}

// A double click on an option chooses it and confirms; OK without any
// choice gives 0.
TEST_F(FileFunctionQuestion, DoubleClickConfirmsAndNoChoiceGivesZero) {
  for (const int32_t chosen : {5, 0}) {
    mode_ = 0;
    Open();
    if (chosen != 0) {
      QTest::mouseDClick(dialog_->Option(chosen), Qt::LeftButton);
    } else {
      dialog_->accept();
    }
    EXPECT_EQ(dialog_->result(), QDialog::Accepted);
    EXPECT_FALSE(dialog_->isVisible());
    EXPECT_EQ(mode_, chosen);
    EXPECT_EQ(Stored("Mode"), std::to_string(chosen));
  }
}

}  // namespace
}  // namespace korvelo::testing
