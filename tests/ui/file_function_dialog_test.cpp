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
  std::string Stored(const char* name) {
    store_->sync();
    return store_->value(name, QStringLiteral("<none>"))
        .toString()
        .toStdString();
  }
  void Click(int function) {
    QTest::mouseClick(dialog_->Option(function), Qt::LeftButton);
  }

  TempDir dir_;
  std::unique_ptr<QSettings> store_ = IniStore(dir_ / "settings.ini");
  int32_t mode_ = 0;
  bool small_ = false;
  bool disabled_ = true;
  std::unique_ptr<FileFunctionDialog> dialog_;
};

// Each choice is named in the first line of its option.
TEST_F(FileFunctionQuestion, ChecksTheStoredModeAndNoneOutsideOneToFive) {
  const char* titles[] = {"Complete file", "My finds", "My own",
                          "Temporarily disabled", "Marked"};
  for (int32_t mode : {-1, 0, 1, 2, 3, 4, 5, 6, 7}) {
    mode_ = mode;
    Open();
    for (int function = 1; function <= 5; ++function) {
      const QString text = dialog_->Option(function)->text();
      EXPECT_EQ(text.section(QLatin1Char('\n'), 0, 0).toStdString(),
                titles[function - 1]);
      EXPECT_EQ(dialog_->Option(function)->isChecked(), function == mode)
          << "mode " << mode << ", option " << function;
    }
    EXPECT_FALSE(dialog_->SmallIcons()->isChecked());
    EXPECT_TRUE(dialog_->ShowDisable()->isChecked());
  }
}

TEST_F(FileFunctionQuestion, ClickThenCancelKeepsTheModeButStoresNothing) {
  Open();
  Click(2);
  dialog_->SmallIcons()->click();
  QTest::keyClick(dialog_.get(), Qt::Key_Escape);
  EXPECT_EQ(dialog_->result(), QDialog::Rejected);
  EXPECT_EQ(mode_, 2);
  EXPECT_FALSE(small_);
  EXPECT_EQ(Stored("Mode"), "<none>");
  EXPECT_EQ(Stored("bSmallIcons"), "<none>");
}

TEST_F(FileFunctionQuestion, OkStoresTheThreeValuesAtOnce) {
  Open();
  Click(3);
  dialog_->SmallIcons()->click();
  dialog_->ShowDisable()->click();
  QTest::keyClick(dialog_.get(), Qt::Key_Return);
  EXPECT_EQ(dialog_->result(), QDialog::Accepted);
  EXPECT_EQ(mode_, 3);
  EXPECT_TRUE(small_);
  EXPECT_FALSE(disabled_);
  // Read by a second store on the same file: written, not only cached.
  const auto reader = IniStore(dir_ / "settings.ini");
  EXPECT_EQ(reader->value("Mode").toString(), QStringLiteral("3"));
  EXPECT_EQ(reader->value("bSmallIcons").toString(), QStringLiteral("1"));
  EXPECT_EQ(reader->value("bShowDisable").toString(), QStringLiteral("0"));
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
