#include "ui/progress_window.h"

#include <QCoreApplication>
#include <QLabel>

#include "ui/qt_text.h"

namespace korvelo {
namespace {

constexpr ControlRow kControls[] = {
    {ControlId::kStepText, ControlKind::kText, 7, 7, 222, 22, ""},
};

}  // namespace

ProgressWindow::ProgressWindow(QWidget* owner)
    : QDialog(owner, Qt::Tool | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                         Qt::WindowCloseButtonHint),
      owner_(owner) {
  setWindowTitle(QStringLiteral("Work in progress..."));
  setModal(false);
  controls_.LayOut(*this, kControls, 236, 36);
  if (owner_ != nullptr) {
    move(owner_->mapToGlobal(QPoint(0, 0)));
    owner_->setEnabled(false);
  }
  show();
  // Disabling the owner disables its child windows too; this one must stay
  // usable (it can be moved and closed).
  setEnabled(true);
  QCoreApplication::processEvents();
}

ProgressWindow::~ProgressWindow() {
  if (owner_ != nullptr) owner_->setEnabled(true);
}

void ProgressWindow::SetText(const std::string& text) {
  controls_.Get<QLabel>(ControlId::kStepText)->setText(FromBytes(text));
  QCoreApplication::processEvents();
}

QString ProgressWindow::Text() const {
  return controls_.Get<QLabel>(ControlId::kStepText)->text();
}

}  // namespace korvelo
