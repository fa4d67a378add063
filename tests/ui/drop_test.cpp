// Files dropped on the main window: which drags it takes, the order in which
// the paths reach the run, the window's state during and after every kind of
// run, and a real pocket query converted exactly as the command line does.
#include <gtest/gtest.h>

#include <QTest>
#include <algorithm>
#include <clocale>
#include <filesystem>
#include <new>
#include <string>
#include <vector>

#include "app/run_fixtures.h"
#include "input/text.h"
#include "support/test_support.h"
#include "ui/main_dialog.h"
#include "ui/settings_store.h"
#include "ui/two_line_option.h"
#include "window_fixtures.h"

namespace korvelo::testing {
namespace {

class DropOnWindow : public ::testing::Test {
 protected:
  DropOnWindow() {
    settings_.bOutputKml = false;  // the KML goes beside the input
    Open();
  }

  void Open() {
    window_ = std::make_unique<MainDialog>(settings_, *store_, answers_.Seam());
    answers_.owner = window_.get();
    window_->show();
  }

  void DropPaths(const std::vector<std::string>& paths) {
    Drop(*window_, *FileDrag(paths));
  }

  // Drops a copy of a corpus file placed at `path`, answering the question
  // with a click on `function` and OK.
  void DropCorpusFile(const std::string& corpus, const std::string& path,
                      int function) {
    WriteFileOrFail(path, ReadFileOrFail(CorpusPath(corpus)));
    answers_.messages.clear();
    answers_.file_function = [function](FileFunctionDialog& dialog) {
      dialog.show();
      QTest::mouseClick(dialog.Option(function), Qt::LeftButton);
      QTest::keyClick(&dialog, Qt::Key_Return);
      return dialog.result();
    };
    DropPaths({path});
  }

  std::vector<std::string> Processed(size_t caches) {
    return {"1 Korvelo: " + std::to_string(caches) + " caches processed"};
  }

  TempDir dir_;
  std::unique_ptr<QSettings> store_ = IniStore(dir_ / "settings.ini");
  ConversionSettings settings_;
  ModalAnswers answers_;
  std::unique_ptr<MainDialog> window_;
};

TEST_F(DropOnWindow, TakesDragsOfLocalFilesOnly) {
  const auto files = FileDrag({dir_ / "a.gpx", dir_.path()});
  EXPECT_TRUE(Enter(*window_, *files));

  QMimeData text;
  text.setText(QStringLiteral("/home/user/a.gpx"));
  EXPECT_FALSE(Enter(*window_, text));

  QMimeData web;
  web.setUrls({QUrl(QStringLiteral("https://example.org/a.gpx"))});
  EXPECT_FALSE(Enter(*window_, web));
}

TEST_F(DropOnWindow, RunsThePathsInByteOrderAndNamesTheOutputAfterTheFirst) {
  settings_.OutputKmlDirFileMode = 2;  // one KML file for all inputs
  Open();
  WriteFileOrFail(dir_ / "b.gpx", PocketQuery(1, 2));
  WriteFileOrFail(dir_ / "A.gpx", PocketQuery(2, 2));
  DropPaths({dir_ / "b.gpx", dir_ / "A.gpx"});

  EXPECT_TRUE(FileExists(dir_ / "A.kml"));
  EXPECT_FALSE(FileExists(dir_ / "b.kml"));
  // GC2 and GC3 from A, then only GC1 is new in b.
  EXPECT_EQ(answers_.messages,
            std::vector<std::string>{"1 Korvelo: 3 caches processed"});
}

// However the run ends, the window is disabled under its progress window
// while the question is asked, and usable again afterwards.
TEST_F(DropOnWindow, IsDisabledDuringEveryRunAndEnabledAfterIt) {
  WriteFileOrFail(dir_ / "one.gpx", PocketQuery(1, 1));
  WriteFileOrFail(dir_ / "empty.gpx", "<gpx></gpx>");
  const std::string missing = dir_ / "missing.gpx";
  enum Answer { kOk, kCancel, kOutOfMemory };
  struct Row {
    std::string path;
    Answer answer;
    std::vector<std::string> messages;
  } rows[] = {
      {dir_ / "one.gpx", kOk, {"1 Korvelo: 1 caches processed"}},
      {dir_ / "one.gpx", kCancel, {}},
      {dir_ / "empty.gpx", kOk, {}},
      {missing, kOk, {"3 Korvelo: " + missing + " wurde nicht gefunden."}},
      {dir_ / "one.gpx",
       kOutOfMemory,
       {"2 Korvelo: Nicht gen\xC3\xBCgend Speicher. (on top)"}},
  };
  for (const Row& row : rows) {
    answers_.messages.clear();
    answers_.file_function = [&row](FileFunctionDialog& dialog) {
      if (row.answer == kOutOfMemory) throw std::bad_alloc();
      row.answer == kOk ? dialog.accept() : dialog.reject();
      return dialog.result();
    };
    DropPaths({row.path});
    EXPECT_FALSE(answers_.owner_enabled) << row.path;
    EXPECT_EQ(answers_.progress_windows, 1) << row.path;
    EXPECT_TRUE(window_->isEnabled()) << row.path;
    EXPECT_EQ(VisibleProgressWindows(), 0) << row.path;
    EXPECT_EQ(answers_.messages, row.messages) << row.path;
  }
}

size_t Placemarks(const std::string& kml) {
  const std::string tag = "<Placemark>";
  return (kml.size() - ReplaceAll(kml, tag, "").size()) / tag.size();
}

// A German locale, made in the folder `dir` when the system has none.
bool UseGermanLocale(const std::string& dir) {
  if (std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr) return true;
  if (Shell("localedef -i de_DE -f UTF-8 " + dir +
            "/de_DE.UTF-8 2>/dev/null") != 0) {
    return false;
  }
  setenv("LOCPATH", dir.c_str(), 1);
  return std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr;
}

// The window under the user's locale (the window sets the C library's locale
// from the environment) writes the same bytes as the command line in the C
// locale, for every function the dialog offers.
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
    DropCorpusFile(pq, window_out / "pq.gpx", function);
    ASSERT_EQ(RunProgram(cli_out.path(), "-u QT_QPA_PLATFORM LC_ALL=C",
                         options[function - 1] + std::string(" pq.gpx")),
              0);
    const std::string kml = ReadFileOrFail(cli_out / "pq.kml");
    EXPECT_TRUE(ReadFileOrFail(window_out / "pq.kml") == kml)
        << options[function - 1];
    EXPECT_EQ(answers_.messages, Processed(Placemarks(kml)));
  }
  std::setlocale(LC_ALL, "C");
  if (!german) {
    GTEST_SKIP() << "no German locale (package locales not installed): "
                    "compared in the C locale only";
  }
}

// A first start: tick the text sheets, drop a zipped "My finds" pocket
// query, pick "My finds", close; the next start shows the same options.
TEST_F(DropOnWindow, FirstStartConvertsFindsAndKeepsTheOptions) {
  KORVELO_REQUIRE_CORPUS();
  LoadSettings(settings_, *store_);
  Open();
  QTest::mouseClick(window_->Control(1011), Qt::LeftButton);
  DropCorpusFile("geocube/13746815-myfinds.zip", dir_ / "finds.zip", 2);

  // The KML's bytes for "My finds" are the command line's (see above).
  const size_t caches = Placemarks(ReadFileOrFail(dir_ / "finds.kml"));
  EXPECT_GT(caches, 0u);
  EXPECT_EQ(answers_.messages, Processed(caches));
  const std::filesystem::recursive_directory_iterator tree(dir_.path());
  EXPECT_TRUE(std::any_of(begin(tree), end(tree), [](const auto& entry) {
    return entry.path().string().ends_with("_caches001.txt");
  }));

  QTest::mouseClick(window_->Control(1), Qt::LeftButton);
  SaveSettings(settings_, *store_);
  ConversionSettings next;
  LoadSettings(next, *IniStore(dir_ / "settings.ini"));
  EXPECT_TRUE(next.bOutputTxt);
  EXPECT_EQ(next.Mode, 2);
}

}  // namespace
}  // namespace korvelo::testing
