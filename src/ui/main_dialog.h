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
#include "ui/control_id.h"
#include "ui/dialog_layout.h"
#include "ui/modal.h"

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

  // The window's control named `id` as a `T`; nullptr when it has none by
  // that name or the control is no `T`.
  template <typename T = QWidget>
  T* Control(ControlId id) const {
    return controls_.Get<T>(id);
  }

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
  DialogControls controls_;
  // The bytes each edit box was last filled from or read into: a text the
  // user did not change keeps its bytes, also those that are not UTF-8.
  std::map<ControlId, std::string> edit_bytes_;
};

}  // namespace korvelo

#endif  // KORVELO_UI_MAIN_DIALOG_H_
