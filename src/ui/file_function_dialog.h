// FileFunctionDialog: asks which role the dropped files play (complete file,
// finds, own caches, disabled, marked) and the two icon options.
#ifndef KORVELO_UI_FILE_FUNCTION_DIALOG_H_
#define KORVELO_UI_FILE_FUNCTION_DIALOG_H_

#include <QDialog>
#include <QSettings>
#include <cstdint>

class QCheckBox;

namespace korvelo {

class TwoLineOption;

// Works on three settings fields it is handed, which must outlive it: a click
// on an option sets `mode` at once (also when the dialog is then
// cancelled); OK takes the check boxes into the two flags and stores all
// three values in `store` at once. A double click on an option acts as OK.
class FileFunctionDialog : public QDialog {
  Q_OBJECT

 public:
  FileFunctionDialog(int32_t& mode, bool& small_icons, bool& show_disable,
                     QSettings& store, QWidget* owner);

  // The option of FileFunction 1 to 5.
  TwoLineOption* Option(int32_t function) const;
  QCheckBox* SmallIcons() const { return small_icons_box_; }
  QCheckBox* ShowDisable() const { return show_disable_box_; }

  void accept() override;

 private:
  void AddOption(int32_t function, const QString& text, const QString& icon,
                 int y);

  int32_t& mode_;
  bool& small_icons_;
  bool& show_disable_;
  QSettings& store_;
  TwoLineOption* options_[5] = {};
  QCheckBox* small_icons_box_ = nullptr;
  QCheckBox* show_disable_box_ = nullptr;
};

}  // namespace korvelo

#endif  // KORVELO_UI_FILE_FUNCTION_DIALOG_H_
