#include "ui/main_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QDragEnterEvent>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QUrl>
#include <new>

#include "app/conversion_run.h"
#include "output/file_function.h"
#include "platform/file_error.h"
#include "ui/dropped_paths.h"
#include "ui/file_function_dialog.h"
#include "ui/maker_site.h"
#include "ui/progress_window.h"
#include "ui/qt_text.h"
#include "ui/resources.h"

namespace korvelo {

namespace {

// One check box with the path field, "..." button and (for the KML group)
// combo box it enables, and the settings it shows.
struct Group {
  int check;
  int edit;
  int button;
  int combo;  // 0: none
  bool ConversionSettings::*flag;
  std::string ConversionSettings::*path;
  bool picks_folder;  // else an existing file
};

constexpr int kCloseButton = 1;
constexpr int kHelpButton = 1022;
constexpr int kFileModeCombo = 1020;

constexpr Group kGroups[] = {
    {1006, 1007, 1008, 0, &ConversionSettings::bExclude,
     &ConversionSettings::ExcludeDir, true},
    {1018, 1019, 1021, 0, &ConversionSettings::bExcludePeople,
     &ConversionSettings::ExcludePeopleFile, false},
    {1023, 1024, 1025, 0, &ConversionSettings::bMoveCaches,
     &ConversionSettings::MoveCachesFile, false},
    {1009, 1012, 1013, kFileModeCombo, &ConversionSettings::bOutputKml,
     &ConversionSettings::OutputKmlDir, true},
    {1010, 1014, 1015, 0, &ConversionSettings::bOutputAsc,
     &ConversionSettings::OutputAscDir, true},
    {1011, 1016, 1017, 0, &ConversionSettings::bOutputTxt,
     &ConversionSettings::OutputTxtDir, true},
};

}  // namespace

MainDialog::MainDialog(ConversionSettings& settings, QSettings& store,
                       ShowModal show_modal)
    : QDialog(nullptr, Qt::Dialog | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint |
                           Qt::WindowCloseButtonHint),
      settings_(settings),
      store_(store),
      show_modal_(std::move(show_modal)) {
  InitResources();
  setWindowTitle(QStringLiteral("Korvelo " KORVELO_VERSION));
  setWindowIcon(ProgramIcon());
  setAcceptDrops(true);
  BuildControls();
  ConnectControls();
  ShowSettings();
}

QWidget* MainDialog::Control(int id) const {
  const auto found = controls_.find(id);
  return found == controls_.end() ? nullptr : found->second;
}

void MainDialog::ConnectControls() {
  for (const Group& group : kGroups) {
    auto* check = static_cast<QCheckBox*>(Control(group.check));
    connect(check, &QCheckBox::clicked, this, &MainDialog::ApplyEnabling);
    auto* edit = static_cast<QLineEdit*>(Control(group.edit));
    auto* button = static_cast<QPushButton*>(Control(group.button));
    connect(button, &QPushButton::clicked, this, [this, edit, group] {
      if (group.picks_folder) {
        PickFolder(edit);
      } else {
        PickFile(edit);
      }
    });
  }
  connect(static_cast<QPushButton*>(Control(kCloseButton)),
          &QPushButton::clicked, this, [this] {
            ReadControls(settings_);
            accept();
          });
  connect(static_cast<QPushButton*>(Control(kHelpButton)),
          &QPushButton::clicked, this, &MainDialog::OpenHelp);
}

void MainDialog::ShowSettings() {
  for (const Group& group : kGroups) {
    static_cast<QCheckBox*>(Control(group.check))
        ->setChecked(settings_.*group.flag);
    const std::string& bytes = settings_.*group.path;
    static_cast<QLineEdit*>(Control(group.edit))->setText(FromBytes(bytes));
    edit_bytes_[group.edit] = bytes;
  }
  const int32_t mode = settings_.OutputKmlDirFileMode;
  static_cast<QComboBox*>(Control(kFileModeCombo))
      ->setCurrentIndex(mode >= 0 && mode <= 2 ? mode : -1);
  ApplyEnabling();
}

void MainDialog::ApplyEnabling() {
  for (const Group& group : kGroups) {
    const bool on = static_cast<QCheckBox*>(Control(group.check))->isChecked();
    for (int id : {group.edit, group.button, group.combo}) {
      if (id != 0) Control(id)->setEnabled(on);
    }
  }
}

void MainDialog::ReadControls(ConversionSettings& settings) {
  for (const Group& group : kGroups) {
    settings.*group.flag =
        static_cast<QCheckBox*>(Control(group.check))->isChecked();
    const QString text = static_cast<QLineEdit*>(Control(group.edit))->text();
    std::string& bytes = edit_bytes_[group.edit];
    if (text != FromBytes(bytes)) bytes = text.toStdString();
    settings.*group.path = bytes;
  }
  settings.OutputKmlDirFileMode =
      static_cast<QComboBox*>(Control(kFileModeCombo))->currentIndex();
}

void MainDialog::PickFolder(QLineEdit* edit) {
  const QString current = edit->text();
  // The folder being looked at also becomes the current directory; a
  // folder that does not exist is simply not entered.
  if (!current.isEmpty()) QDir::setCurrent(current);
  QFileDialog dialog(this, QStringLiteral("Choose directory"), current);
  dialog.setFileMode(QFileDialog::Directory);
  dialog.setOption(QFileDialog::ShowDirsOnly);
  ShowPicker(dialog, edit);
}

void MainDialog::PickFile(QLineEdit* edit) {
  QFileDialog dialog(this);
  dialog.setFileMode(QFileDialog::ExistingFile);
  ShowPicker(dialog, edit);
}

void MainDialog::ShowPicker(QFileDialog& dialog, QLineEdit* edit) {
  if (show_modal_(dialog) != QDialog::Accepted) return;
  const QStringList chosen = dialog.selectedFiles();
  if (!chosen.isEmpty()) edit->setText(chosen.first());
}

void MainDialog::OpenHelp() { QDesktopServices::openUrl(QUrl(HelpAddress())); }

void MainDialog::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_F1) {
    OpenHelp();
    event->accept();
    return;
  }
  QDialog::keyPressEvent(event);
}

// An entering drag is also a moving one: both are taken when they carry a
// local file or folder.
void MainDialog::dragEnterEvent(QDragEnterEvent* event) {
  dragMoveEvent(event);
}

void MainDialog::dragMoveEvent(QDragMoveEvent* event) {
  if (DroppedPaths(*event->mimeData()).empty()) {
    event->ignore();
  } else {
    event->acceptProposedAction();
  }
}

void MainDialog::dropEvent(QDropEvent* event) {
  std::vector<std::string> paths = DroppedPaths(*event->mimeData());
  if (paths.empty()) {
    event->ignore();
    return;
  }
  event->acceptProposedAction();
  // The run starts once the drop is finished, so the application the files
  // came from is not kept waiting for the whole conversion.
  QTimer::singleShot(0, this,
                     [this, paths = std::move(paths)] { RunDrop(paths); });
}

void MainDialog::RunDrop(const std::vector<std::string>& paths) {
  // The one place where a window run's failures are caught; the run has
  // released everything (and enabled this window) when they arrive here.
  try {
    ConversionRun(paths, kFunctionAsk, settings_, *this);
  } catch (const FileError& error) {
    ShowMessage(QMessageBox::Critical, FileErrorText(error));
  } catch (const std::bad_alloc&) {
    ShowMessage(QMessageBox::Warning, "Nicht genügend Speicher.", true);
  }
}

std::unique_ptr<Progress> MainDialog::OpenProgress() {
  return std::make_unique<ProgressWindow>(this);
}

bool MainDialog::AskFileFunction(ConversionSettings& settings) {
  FileFunctionDialog dialog(settings.Mode, settings.bSmallIcons,
                            settings.bShowDisable, store_, this);
  return show_modal_(dialog) == QDialog::Accepted;
}

void MainDialog::ShowFinalMessage(const std::string& text) {
  ShowMessage(QMessageBox::Information, text);
}

void MainDialog::ShowMessage(int icon, const std::string& text, bool on_top) {
  QMessageBox box(static_cast<QMessageBox::Icon>(icon),
                  QStringLiteral("Korvelo"), FromBytes(text), QMessageBox::Ok,
                  this);
  if (on_top) box.setWindowFlag(Qt::WindowStaysOnTopHint);
  show_modal_(box);
}

}  // namespace korvelo
