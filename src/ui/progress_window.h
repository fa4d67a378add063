// ProgressWindow: the small modeless window that names the current step of a
// conversion and keeps the screen alive while the run works.
#ifndef KORVELO_UI_PROGRESS_WINDOW_H_
#define KORVELO_UI_PROGRESS_WINDOW_H_

#include <QDialog>
#include <QPointer>
#include <string>

#include "cachelist/progress.h"
#include "ui/dialog_layout.h"

namespace korvelo {

// Shown from construction to destruction. With an owner it sits at the
// owner's top-left corner and keeps the owner disabled while it exists, so no
// second run and no change of options can start meanwhile. Enter, Escape and
// the close box only hide it: nothing watches it, the run goes on.
class ProgressWindow : public QDialog, public Progress {
  Q_OBJECT

 public:
  explicit ProgressWindow(QWidget* owner);
  ~ProgressWindow() override;

  // Sets the step text, then handles every pending window event.
  void SetText(const std::string& text) override;

  QString Text() const;

 private:
  QPointer<QWidget> owner_;  // enabled again by the destructor
  DialogControls controls_;
};

}  // namespace korvelo

#endif  // KORVELO_UI_PROGRESS_WINDOW_H_
