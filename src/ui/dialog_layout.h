// The one way a window is laid out: a table of rows, each one control with
// its kind, place and size in dialog units and its text, made in the
// table's order.
#ifndef KORVELO_UI_DIALOG_LAYOUT_H_
#define KORVELO_UI_DIALOG_LAYOUT_H_

#include <QWidget>
#include <map>
#include <span>

#include "ui/control_id.h"

class QDialog;

namespace korvelo {

enum class ControlKind {
  kDefaultButton,
  kButton,
  kText,      // word-wrapped plain text, top left
  kHeading,   // one line that may run past its width: nothing is beside it
  kDropHint,  // centred text in a sunken frame
  kBoldText,
  kLinkBox,  // read-only edit box without a frame
  kGroupBox,
  kCheckBox,
  kEdit,      // takes no drops: a dropped file starts a conversion instead
  kComboBox,  // the text holds the items, one per line
  kPicture,   // the text is the picture's resource path
  kOption,    // TwoLineOption; the text is "title\ndescription"
};

struct ControlRow {
  ControlId id;
  ControlKind kind;
  int x, y, width, height;  // dialog units
  const char* text;
};

// The controls of one window, found by their ids. The widgets belong to the
// window; this only points at them.
class DialogControls {
 public:
  // Makes one control per row as a child of `dialog`, in the rows' order
  // (which is also the tab order and the stacking order), gives the dialog
  // the fixed size of `width` by `height` dialog units and places the
  // controls. The units are measured on the dialog's font and widened as
  // far as needed for every check box label to show whole.
  void LayOut(QDialog& dialog, std::span<const ControlRow> rows, int width,
              int height);

  // The control named `id` as a `T`; nullptr when the window has none by
  // that name or it is no `T`.
  template <typename T = QWidget>
  T* Get(ControlId id) const {
    const auto found = controls_.find(id);
    return found == controls_.end() ? nullptr : qobject_cast<T*>(found->second);
  }

 private:
  std::map<ControlId, QWidget*> controls_;
};

}  // namespace korvelo

#endif  // KORVELO_UI_DIALOG_LAYOUT_H_
