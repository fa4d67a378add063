// What the window tests share: a settings file of their own, a stand-in for
// every modal dialog that answers it without blocking and records what it
// showed, and drags sent to a window as the desktop would send them.
#ifndef KORVELO_TESTS_UI_WINDOW_FIXTURES_H_
#define KORVELO_TESTS_UI_WINDOW_FIXTURES_H_

#include <sys/wait.h>

#include <QApplication>
#include <QDragEnterEvent>
#include <QMessageBox>
#include <QMimeData>
#include <QSettings>
#include <QUrl>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ui/file_function_dialog.h"
#include "ui/modal.h"
#include "ui/progress_window.h"

namespace korvelo::testing {

inline std::unique_ptr<QSettings> IniStore(const std::string& path) {
  return std::make_unique<QSettings>(QString::fromStdString(path),
                                     QSettings::IniFormat);
}

// The exit status of a shell command, -1 when it did not exit.
inline int Shell(const std::string& command) {
  const int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The program's exit status on `args` in `dir`, which also holds its
// settings, without a display unless `env` sets QT_QPA_PLATFORM.
inline int RunProgram(const std::string& dir, const std::string& env,
                      const std::string& args) {
  return Shell("cd " + dir + " && env -u DISPLAY -u WAYLAND_DISPLAY " + env +
               " XDG_CONFIG_HOME=" + dir + " " + KORVELO_BINARY + " " + args);
}

// Every ProgressWindow that exists and is shown right now.
inline int VisibleProgressWindows() {
  int count = 0;
  for (QWidget* window : QApplication::topLevelWidgets()) {
    if (qobject_cast<ProgressWindow*>(window) && window->isVisible()) ++count;
  }
  return count;
}

// Answers each modal dialog with the function for its kind and records
// message boxes as "<icon> <caption>: <text>", with " (on top)" for a box
// that stays above all windows.
struct ModalAnswers {
  std::function<int(FileFunctionDialog&)> file_function =
      [](FileFunctionDialog& dialog) {
        dialog.accept();
        return dialog.result();
      };
  std::vector<std::string> messages;
  QWidget* owner = nullptr;   // the main window, once it exists
  bool owner_enabled = true;  // during the question
  int progress_windows = 0;   // shown during the question

  ShowModal Seam() {
    return [this](QDialog& dialog) -> int {
      if (auto* ask = dynamic_cast<FileFunctionDialog*>(&dialog)) {
        owner_enabled = owner != nullptr && owner->isEnabled();
        progress_windows = VisibleProgressWindows();
        return file_function(*ask);
      }
      if (auto* box = dynamic_cast<QMessageBox*>(&dialog)) {
        const bool on_top =
            box->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
        messages.push_back(std::to_string(box->icon()) + " " +
                           box->windowTitle().toStdString() + ": " +
                           box->text().toStdString() +
                           (on_top ? " (on top)" : ""));
        return QMessageBox::Ok;
      }
      return QDialog::Rejected;
    };
  }
};

// A drag carrying these local paths.
inline std::unique_ptr<QMimeData> FileDrag(
    const std::vector<std::string>& paths) {
  auto data = std::make_unique<QMimeData>();
  QList<QUrl> urls;
  for (const std::string& path : paths) {
    urls.append(QUrl::fromLocalFile(QString::fromStdString(path)));
  }
  data->setUrls(urls);
  return data;
}

// Sends the drag's entry; true when the window accepted it.
inline bool Enter(QWidget& window, QMimeData& data) {
  QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton,
                        Qt::NoModifier);
  QApplication::sendEvent(&window, &enter);
  return enter.isAccepted();
}

// Enters and drops, then lets the window run what the drop started.
inline void Drop(QWidget& window, QMimeData& data) {
  if (!Enter(window, data)) return;
  QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton,
                  Qt::NoModifier);
  QApplication::sendEvent(&window, &drop);
  QCoreApplication::processEvents();
}

}  // namespace korvelo::testing

#endif  // KORVELO_TESTS_UI_WINDOW_FIXTURES_H_
