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
  ControlId check;
  ControlId edit;
  ControlId button;
  ControlId combo;  // kNone: none
  bool ConversionSettings::*flag;
  std::string ConversionSettings::*path;
  bool picks_folder;  // else an existing file
};

using Id = ControlId;
using S = ConversionSettings;

constexpr Group kGroups[] = {
    {Id::kExclude, Id::kExcludeDir, Id::kExcludeDirPicker, Id::kNone,
     &S::bExclude, &S::ExcludeDir, true},
    {Id::kExcludePeople, Id::kExcludePeopleFile, Id::kExcludePeopleFilePicker,
     Id::kNone, &S::bExcludePeople, &S::ExcludePeopleFile, false},
    {Id::kMoveCaches, Id::kMoveCachesFile, Id::kMoveCachesFilePicker, Id::kNone,
     &S::bMoveCaches, &S::MoveCachesFile, false},
    {Id::kOutputKml, Id::kOutputKmlDir, Id::kOutputKmlDirPicker,
     Id::kKmlFileMode, &S::bOutputKml, &S::OutputKmlDir, true},
    {Id::kOutputAsc, Id::kOutputAscDir, Id::kOutputAscDirPicker, Id::kNone,
     &S::bOutputAsc, &S::OutputAscDir, true},
    {Id::kOutputGpx, Id::kOutputGpxDir, Id::kOutputGpxDirPicker, Id::kNone,
     &S::bOutputGpx, &S::OutputGpxDir, true},
    {Id::kOutputTxt, Id::kOutputTxtDir, Id::kOutputTxtDirPicker, Id::kNone,
     &S::bOutputTxt, &S::OutputTxtDir, true},
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

void MainDialog::ConnectControls() {
  for (const Group& group : kGroups) {
    connect(Control<QCheckBox>(group.check), &QCheckBox::clicked, this,
            &MainDialog::ApplyEnabling);
    auto* edit = Control<QLineEdit>(group.edit);
    connect(Control<QPushButton>(group.button), &QPushButton::clicked, this,
            [this, edit, group] {
              if (group.picks_folder) {
                PickFolder(edit);
              } else {
                PickFile(edit);
              }
            });
  }
  connect(Control<QPushButton>(Id::kClose), &QPushButton::clicked, this,
          [this] {
            ReadControls(settings_);
            accept();
          });
  connect(Control<QPushButton>(Id::kHelp), &QPushButton::clicked, this,
          &MainDialog::OpenHelp);
}

void MainDialog::ShowSettings() {
  for (const Group& group : kGroups) {
    Control<QCheckBox>(group.check)->setChecked(settings_.*group.flag);
    const std::string& bytes = settings_.*group.path;
    Control<QLineEdit>(group.edit)->setText(FromBytes(bytes));
    edit_bytes_[group.edit] = bytes;
  }
  Control<QCheckBox>(Id::kOutputKmz)->setChecked(settings_.bOutputKmz);
  const int32_t mode = settings_.OutputKmlDirFileMode;
  Control<QComboBox>(Id::kKmlFileMode)
      ->setCurrentIndex(mode >= 0 && mode <= 2 ? mode : -1);
  ApplyEnabling();
}

void MainDialog::ApplyEnabling() {
  for (const Group& group : kGroups) {
    const bool on = Control<QCheckBox>(group.check)->isChecked();
    for (ControlId id : {group.edit, group.button, group.combo}) {
      if (id != Id::kNone) Control(id)->setEnabled(on);
    }
  }
}

void MainDialog::ReadControls(ConversionSettings& settings) {
  for (const Group& group : kGroups) {
    settings.*group.flag = Control<QCheckBox>(group.check)->isChecked();
    const QString text = Control<QLineEdit>(group.edit)->text();
    std::string& bytes = edit_bytes_[group.edit];
    if (text != FromBytes(bytes)) bytes = text.toStdString();
    settings.*group.path = bytes;
  }
  settings.OutputKmlDirFileMode =
      Control<QComboBox>(Id::kKmlFileMode)->currentIndex();
  settings.bOutputKmz = Control<QCheckBox>(Id::kOutputKmz)->isChecked();
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
  FileFunctionDialog dialog(settings, store_, this);
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
