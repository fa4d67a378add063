// Draws the three windows into PNG files for the documentation:
//   window_shots OUTPUT_FOLDER
// Run it under a real display (xvfb-run) to see the platform's own look.
#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QSettings>
#include <QTemporaryDir>
#include <cstdio>

#include "ui/file_function_dialog.h"
#include "ui/main_dialog.h"
#include "ui/progress_window.h"
#include "ui/resources.h"

namespace {

bool Save(QWidget& window, const QDir& folder, const char* name) {
  window.show();
  QApplication::processEvents();
  const QString path = folder.filePath(QString::fromLatin1(name));
  if (!window.grab().save(path)) {
    std::fprintf(stderr, "window_shots: cannot write %s\n", qPrintable(path));
    return false;
  }
  std::printf("%s\n", qPrintable(path));
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: window_shots OUTPUT_FOLDER\n");
    return 2;
  }
  const QDir folder(QString::fromLocal8Bit(argv[1]));
  QTemporaryDir scratch;
  QSettings store(scratch.filePath(QStringLiteral("shots.ini")),
                  QSettings::IniFormat);
  korvelo::InitResources();

  // Options as a user might have them: text sheets on, the rest default.
  korvelo::ConversionSettings settings;
  settings.bOutputKml = false;
  settings.bOutputTxt = true;
  settings.OutputTxtDir = "/home/user/geocaching/sheets";
  korvelo::MainDialog main_window(settings, store);
  korvelo::FileFunctionDialog question(settings, store, nullptr);
  bool saved = Save(main_window, folder, "main-window.png") &&
               Save(question, folder, "file-function-dialog.png");
  question.hide();
  korvelo::ProgressWindow progress(&main_window);
  progress.SetText("Loading 12345.gpx...");
  saved = saved && Save(progress, folder, "progress-window.png");
  return saved ? 0 : 1;
}
