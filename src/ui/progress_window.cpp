#include "ui/progress_window.h"

#include <QCoreApplication>
#include <QLabel>

#include "ui/dialog_units.h"
#include "ui/qt_text.h"

namespace korvelo {

ProgressWindow::ProgressWindow(QWidget* owner)
    : QDialog(owner, Qt::Tool | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                         Qt::WindowCloseButtonHint),
      owner_(owner),
      label_(new QLabel(this)) {
  setWindowTitle(QStringLiteral("Work in progress..."));
  setModal(false);
  const DialogUnits units(font());
  setFixedSize(units.Size(236, 36));
  label_->setGeometry(units.Rect(7, 7, 222, 22));
  label_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  label_->setTextFormat(Qt::PlainText);
  label_->setWordWrap(true);
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
  label_->setText(FromBytes(text));
  QCoreApplication::processEvents();
}

QString ProgressWindow::Text() const { return label_->text(); }

}  // namespace korvelo
