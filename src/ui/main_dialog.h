// MainDialog: the program's window. It shows the conversion options, takes
// files and folders dropped on it and runs one conversion per drop.
#ifndef KORVELO_UI_MAIN_DIALOG_H_
#define KORVELO_UI_MAIN_DIALOG_H_

#include <QDialog>
#include <QSettings>
#include <map>
#include <string>
#include <vector>

#include "app/run_host.h"
#include "output/conversion_settings.h"
#include "ui/modal.h"

class QCheckBox;
class QComboBox;
class QFileDialog;
class QLineEdit;

namespace korvelo {

// Shows `settings` when constructed and changes them only through
// ReadControls ("&Close", and the start of every run). The file function
// dialog stores its values in `store` at once. `settings` and `store` must
// outlive the window; every modal dialog and message box goes through
// `show_modal`.
class MainDialog : public QDialog, public RunHost {
  Q_OBJECT

 public:
  MainDialog(ConversionSettings& settings, QSettings& store,
             ShowModal show_modal = ExecModal);

  // Control ids of the design table: check boxes 1006 1009 1010 1011 1018
  // 1023, edit boxes 1007 1012 1014 1016 1019 1024, buttons 1008 1013 1015
  // 1017 1021 1025 (pickers), 1 (Close), 1022 (Help), combo box 1020, link
  // box 1000.
  QWidget* Control(int id) const;

  // RunHost.
  std::unique_ptr<Progress> OpenProgress() override;
  void ReadControls(ConversionSettings& settings) override;
  bool AskFileFunction(ConversionSettings& settings) override;
  void ShowFinalMessage(const std::string& text) override;

 protected:
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void BuildControls();
  void ConnectControls();
  void ShowSettings();
  void ApplyEnabling();
  void PickFolder(QLineEdit* edit);
  void PickFile(QLineEdit* edit);
  // Shows a picker; what was chosen goes into `edit`.
  void ShowPicker(QFileDialog& dialog, QLineEdit* edit);
  void OpenHelp();
  void RunDrop(const std::vector<std::string>& paths);
  void ShowMessage(int icon, const std::string& text, bool on_top = false);

  ConversionSettings& settings_;
  QSettings& store_;
  ShowModal show_modal_;
  std::map<int, QWidget*> controls_;
  // The bytes each edit box was last filled from or read into: a text the
  // user did not change keeps its bytes, also those that are not UTF-8.
  std::map<int, std::string> edit_bytes_;
};

}  // namespace korvelo

#endif  // KORVELO_UI_MAIN_DIALOG_H_
