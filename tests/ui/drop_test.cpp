// Files dropped on the main window: drags taken, run order, the window's
// state in every ending, and conversion exactly as on the command line.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDragEnterEvent>
#include <QMessageBox>
#include <QMimeData>
#include <QTest>
#include <QUrl>
#include <algorithm>
#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <new>
#include <string>
#include <vector>

#include "app/run_fixtures.h"
#include "ini_store.h"
#include "support/test_support.h"
#include "ui/file_function_dialog.h"
#include "ui/main_dialog.h"
#include "ui/progress_window.h"
#include "ui/settings_store.h"
#include "ui/two_line_option.h"

namespace korvelo::testing {
namespace {

// Every ProgressWindow that exists and is shown right now.
int VisibleProgressWindows() {
  int count = 0;
  for (QWidget* window : QApplication::topLevelWidgets()) {
    if (qobject_cast<ProgressWindow*>(window) && window->isVisible()) ++count;
  }
  return count;
}

// A drag carrying these local paths.
std::unique_ptr<QMimeData> FileDrag(const std::vector<std::string>& paths) {
  auto data = std::make_unique<QMimeData>();
  QList<QUrl> urls;
  for (const std::string& path : paths) {
    urls.append(QUrl::fromLocalFile(QString::fromStdString(path)));
  }
  data->setUrls(urls);
  return data;
}

// Sends the drag's entry; true when the window accepted it.
bool Enter(QWidget& window, QMimeData& data) {
  QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton,
                        Qt::NoModifier);
  QApplication::sendEvent(&window, &enter);
  return enter.isAccepted();
}

// Enters and drops, then lets the window run what the drop started.
void Drop(QWidget& window, QMimeData& data) {
  if (!Enter(window, data)) return;
  QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton,
                  Qt::NoModifier);
  QApplication::sendEvent(&window, &drop);
  QCoreApplication::processEvents();
}

using Answer = std::function<int(FileFunctionDialog&)>;

// Answers with a click on `function` and OK.
Answer Click(int function) {
  return [function](FileFunctionDialog& dialog) {
    dialog.show();
    QTest::mouseClick(dialog.Option(function), Qt::LeftButton);
    QTest::keyClick(&dialog, Qt::Key_Return);
    return dialog.result();
  };
}

class DropOnWindow : public ::testing::Test {
 protected:
  DropOnWindow() {
    settings_.bOutputKml = false;  // the KML goes beside the input
    Open();
  }

  void Open() {
    window_ = std::make_unique<MainDialog>(
        settings_, *store_, [this](QDialog& dialog) { return Modal(dialog); });
    window_->show();
  }

  // Drops `paths`, the question answered with `answer`.
  void DropFiles(const std::vector<std::string>& paths, Answer answer) {
    messages_.clear();
    answer_ = std::move(answer);
    Drop(*window_, *FileDrag(paths));
  }

  // Notes the window's state during the question and answers it; records
  // message boxes as "<icon> <caption>: <text>", with " (on top)" for one
  // that stays above all windows.
  int Modal(QDialog& dialog) {
    if (auto* ask = dynamic_cast<FileFunctionDialog*>(&dialog)) {
      enabled_in_question_ = window_->isEnabled();
      progress_in_question_ = VisibleProgressWindows();
      return answer_(*ask);
    }
    const auto& box = dynamic_cast<QMessageBox&>(dialog);
    const bool on_top = box.windowFlags().testFlag(Qt::WindowStaysOnTopHint);
    messages_.push_back(std::to_string(box.icon()) + " " +
                        box.windowTitle().toStdString() + ": " +
                        box.text().toStdString() + (on_top ? " (on top)" : ""));
    return QMessageBox::Ok;
  }

  TempDir dir_;
  std::unique_ptr<QSettings> store_ = IniStore(dir_ / "settings.ini");
  ConversionSettings settings_;
  std::unique_ptr<MainDialog> window_;
  Answer answer_;
  std::vector<std::string> messages_;
  bool enabled_in_question_ = true;
  int progress_in_question_ = 0;
};

TEST_F(DropOnWindow, TakesDragsOfLocalFilesOnly) {
  EXPECT_TRUE(Enter(*window_, *FileDrag({dir_ / "a.gpx", dir_.path()})));
  QMimeData web;
  web.setUrls({QUrl(QStringLiteral("https://example.org/a.gpx"))});
  EXPECT_FALSE(Enter(*window_, web));
}

TEST_F(DropOnWindow, RunsThePathsInByteOrderAndNamesTheOutputAfterTheFirst) {
  settings_.OutputKmlDirFileMode = 2;  // one KML file for all inputs
  Open();
  WriteFileOrFail(dir_ / "b.gpx", PocketQuery(1, 2));
  WriteFileOrFail(dir_ / "A.gpx", PocketQuery(2, 2));
  DropFiles({dir_ / "b.gpx", dir_ / "A.gpx"}, Click(1));
  EXPECT_TRUE(FileExists(dir_ / "A.kml"));
  EXPECT_FALSE(FileExists(dir_ / "b.kml"));
  // GC2 and GC3 from A, then only GC1 is new in b.
  EXPECT_EQ(messages_,
            std::vector<std::string>{"1 Korvelo: 3 caches processed"});
}

// However the run ends, the window is disabled under its progress window
// while the question is asked, and usable again afterwards.
TEST_F(DropOnWindow, IsDisabledDuringEveryRunAndEnabledAfterIt) {
  WriteFileOrFail(dir_ / "one.gpx", PocketQuery(1, 1));
  const std::string one = dir_ / "one.gpx", missing = dir_ / "missing.gpx";
  enum Ending { kOk, kCancel, kOutOfMemory };
  const struct {
    std::string path;
    Ending answer;
    std::vector<std::string> messages;
  } rows[] = {
      {one, kOk, {"1 Korvelo: 1 caches processed"}},
      {one, kCancel, {}},
      {missing, kOk, {"3 Korvelo: " + missing + " wurde nicht gefunden."}},
      {one,
       kOutOfMemory,
       {"2 Korvelo: Nicht gen\xC3\xBCgend Speicher. (on top)"}},
  };
  for (const auto& row : rows) {
    DropFiles({row.path}, [&row](FileFunctionDialog& dialog) {
      if (row.answer == kOutOfMemory) throw std::bad_alloc();
      row.answer == kOk ? dialog.accept() : dialog.reject();
      return dialog.result();
    });
    EXPECT_FALSE(enabled_in_question_) << row.path;
    EXPECT_EQ(progress_in_question_, 1) << row.path;
    EXPECT_TRUE(window_->isEnabled()) << row.path;
    EXPECT_EQ(VisibleProgressWindows(), 0) << row.path;
    EXPECT_EQ(messages_, row.messages) << row.path;
  }
}

std::vector<std::string> Processed(const std::string& kml) {
  const int caches = CountOf(kml, "<Placemark>");
  EXPECT_GT(caches, 0);
  return {"1 Korvelo: " + std::to_string(caches) + " caches processed"};
}

// A German locale, made in the folder `dir` when the system has none.
bool UseGermanLocale(const std::string& dir) {
  if (std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr) return true;
  const std::string make = "localedef -i de_DE -f UTF-8 " +
                           ShellWord(dir + "/de_DE.UTF-8") + " 2>/dev/null";
  if (std::system(make.c_str()) != 0) {
    return false;
  }
  setenv("LOCPATH", dir.c_str(), 1);
  return std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr;
}

// The window under the user's locale (it sets the C library's locale from
// the environment) writes the same bytes as the command line in the C locale
// on Qt's offscreen display, which shows its progress silently.
TEST_F(DropOnWindow, ConvertsACorpusPocketQueryExactlyAsTheCommandLine) {
  KORVELO_REQUIRE_CORPUS();
  TempDir locales;
  const bool german = UseGermanLocale(locales.path());
  // As a command line without stored settings has them.
  settings_.bSmallIcons = settings_.bShowDisable = false;
  const std::string pq = "cachebox3/6004539_HomeZone.gpx";
  const char* options[] = {"/all", "/found", "/mine", "/disabled", "/marked"};
  for (int function = 1; function <= 5; ++function) {
    TempDir window_out, cli_out;
    WriteFileOrFail(cli_out / "pq.gpx", ReadFileOrFail(CorpusPath(pq)));
    WriteFileOrFail(window_out / "pq.gpx", ReadFileOrFail(CorpusPath(pq)));
    DropFiles({window_out / "pq.gpx"}, Click(function));
    const std::string run =
        "cd " + ShellWord(cli_out.path()) +
        " && env -u DISPLAY XDG_CONFIG_HOME=" + ShellWord(cli_out.path()) +
        " QT_QPA_PLATFORM=offscreen LC_ALL=C " + ShellWord(KORVELO_BINARY) +
        " " + options[function - 1] + " pq.gpx >o 2>&1";
    ASSERT_EQ(std::system(run.c_str()), 0) << run;
    EXPECT_EQ(ReadFileOrFail(cli_out / "o"), "");
    const std::string kml = ReadFileOrFail(cli_out / "pq.kml");
    EXPECT_TRUE(ReadFileOrFail(window_out / "pq.kml") == kml)
        << options[function - 1];
    EXPECT_EQ(messages_, Processed(kml));
  }
  std::setlocale(LC_ALL, "C");
  if (!german)
    GTEST_SKIP() << "no German locale: compared in the C locale only";
}

// A first start: tick the text sheets, drop a zipped "My finds" pocket
// query, pick "My finds", close; the next start shows the same options.
TEST_F(DropOnWindow, FirstStartConvertsFindsAndKeepsTheOptions) {
  KORVELO_REQUIRE_CORPUS();
  LoadSettings(settings_, *store_);
  Open();
  QTest::mouseClick(window_->Control(ControlId::kOutputTxt), Qt::LeftButton);
  WriteFileOrFail(dir_ / "finds.zip",
                  ReadFileOrFail(CorpusPath("geocube/13746815-myfinds.zip")));
  DropFiles({dir_ / "finds.zip"}, Click(2));
  EXPECT_EQ(messages_, Processed(ReadFileOrFail(dir_ / "finds.kml")));
  const std::filesystem::recursive_directory_iterator tree(dir_.path());
  EXPECT_TRUE(std::any_of(begin(tree), end(tree), [](const auto& entry) {
    return entry.path().string().ends_with("_caches001.txt");
  }));
  QTest::mouseClick(window_->Control(ControlId::kClose), Qt::LeftButton);
  SaveSettings(settings_, *store_);
  ConversionSettings next;
  LoadSettings(next, *IniStore(dir_ / "settings.ini"));
  EXPECT_TRUE(next.bOutputTxt);
  EXPECT_EQ(next.Mode, 2);
}

}  // namespace
}  // namespace korvelo::testing
