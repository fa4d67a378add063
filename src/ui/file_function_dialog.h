// FileFunctionDialog: asks which role the dropped files play (complete file,
// finds, own caches, disabled, marked) and the two icon options.
#ifndef KORVELO_UI_FILE_FUNCTION_DIALOG_H_
#define KORVELO_UI_FILE_FUNCTION_DIALOG_H_

#include <QDialog>
#include <QSettings>
#include <cstdint>

#include "output/conversion_settings.h"
#include "ui/dialog_layout.h"

class QCheckBox;

namespace korvelo {

class TwoLineOption;

// Works on three fields of `settings`, which must outlive it: a click on an
// option sets `Mode` at once (also when the dialog is then cancelled); OK
// takes the check boxes into `bSmallIcons` and `bShowDisable` and stores
// those three values in `store` at once. A double click on an option acts as
// OK.
class FileFunctionDialog : public QDialog {
  Q_OBJECT

 public:
  FileFunctionDialog(ConversionSettings& settings, QSettings& store,
                     QWidget* owner);

  // The option of FileFunction 1 to 5.
  TwoLineOption* Option(int32_t function) const;
  QCheckBox* SmallIcons() const;
  QCheckBox* ShowDisable() const;

  void accept() override;

 private:
  ConversionSettings& settings_;
  QSettings& store_;
  DialogControls controls_;
};

}  // namespace korvelo

#endif  // KORVELO_UI_FILE_FUNCTION_DIALOG_H_
