// How the windows show their modal dialogs and message boxes. Production
// code runs the dialog's own loop; tests put a function in its place that
// answers the dialog without blocking.
#ifndef KORVELO_UI_MODAL_H_
#define KORVELO_UI_MODAL_H_

#include <QDialog>
#include <functional>

namespace korvelo {

// Shows the dialog modally and returns its result code (QDialog::Accepted,
// QDialog::Rejected or a QMessageBox button).
using ShowModal = std::function<int(QDialog&)>;

inline int ExecModal(QDialog& dialog) { return dialog.exec(); }

}  // namespace korvelo

#endif  // KORVELO_UI_MODAL_H_
