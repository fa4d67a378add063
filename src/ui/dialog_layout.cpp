#include "ui/dialog_layout.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>
#include <vector>

#include "ui/dialog_units.h"
#include "ui/two_line_option.h"

namespace korvelo {
namespace {

QLabel* Text(const QString& text, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  label->setTextFormat(Qt::PlainText);
  label->setWordWrap(true);
  label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  return label;
}

QWidget* DropHint(const QString& text, QWidget* parent) {
  QLabel* label = Text(text, parent);
  label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  return label;
}

QWidget* BoldText(const QString& text, QWidget* parent) {
  QLabel* label = Text(text, parent);
  QFont bold = label->font();
  bold.setBold(true);
  label->setFont(bold);
  return label;
}

QWidget* LinkBox(QWidget* parent) {
  auto* edit = new QLineEdit(parent);
  edit->setReadOnly(true);
  edit->setFrame(false);
  edit->setAcceptDrops(false);
  return edit;
}

QWidget* Edit(QWidget* parent) {
  auto* edit = new QLineEdit(parent);
  edit->setAcceptDrops(false);
  return edit;
}

QWidget* ComboBox(const QString& items, QWidget* parent) {
  auto* combo = new QComboBox(parent);
  combo->addItems(items.split(QLatin1Char('\n')));
  return combo;
}

QWidget* Picture(const QString& resource, QWidget* parent) {
  auto* picture = new QLabel(parent);
  picture->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  picture->setPixmap(QPixmap(resource));
  return picture;
}

QWidget* Create(const ControlRow& row, QWidget* parent) {
  const QString text = QString::fromUtf8(row.text);
  switch (row.kind) {
    case ControlKind::kDefaultButton: {
      auto* button = new QPushButton(text, parent);
      button->setDefault(true);
      return button;
    }
    case ControlKind::kButton:
      return new QPushButton(text, parent);
    case ControlKind::kText:
      return Text(text, parent);
    case ControlKind::kHeading:
      return new QLabel(text, parent);
    case ControlKind::kDropHint:
      return DropHint(text, parent);
    case ControlKind::kBoldText:
      return BoldText(text, parent);
    case ControlKind::kLinkBox:
      return LinkBox(parent);
    case ControlKind::kGroupBox:
      return new QGroupBox(text, parent);
    case ControlKind::kCheckBox:
      return new QCheckBox(text, parent);
    case ControlKind::kEdit:
      return Edit(parent);
    case ControlKind::kComboBox:
      return ComboBox(text, parent);
    case ControlKind::kPicture:
      return Picture(text, parent);
    case ControlKind::kOption:
      return new TwoLineOption(text, parent);
  }
  return nullptr;
}

// How much wider the window must be for every check box label to show
// whole: fonts other than the one the tables were drawn for run longer.
double Widening(const DialogUnits& units, std::span<const ControlRow> rows,
                const std::vector<QWidget*>& made) {
  double factor = 1.0;
  for (size_t i = 0; i < rows.size(); ++i) {
    const ControlRow& row = rows[i];
    if (row.kind != ControlKind::kCheckBox) continue;
    const int designed =
        units.Rect(row.x, row.y, row.width, row.height).width();
    factor = std::max(factor, double(made[i]->sizeHint().width()) / designed);
  }
  return factor;
}

// The control's area: a drop-down list's designed height includes its open
// list, closed it is one line high; a heading gets the width its text needs.
QRect Area(const DialogUnits& units, const ControlRow& row, QWidget& made) {
  QRect area = units.Rect(row.x, row.y, row.width, row.height);
  if (row.kind == ControlKind::kComboBox) {
    area.setHeight(made.sizeHint().height());
  }
  if (row.kind == ControlKind::kHeading) {
    area.setWidth(std::max(area.width(), made.sizeHint().width()));
  }
  return area;
}

}  // namespace

void DialogControls::LayOut(QDialog& dialog, std::span<const ControlRow> rows,
                            int width, int height) {
  std::vector<QWidget*> made;
  for (const ControlRow& row : rows) {
    made.push_back(Create(row, &dialog));
    if (row.id != ControlId::kNone) controls_[row.id] = made.back();
  }
  DialogUnits units(dialog.font());
  units.WidenBy(Widening(units, rows, made));
  dialog.setFixedSize(units.Size(width, height));
  for (size_t i = 0; i < made.size(); ++i) {
    made[i]->setGeometry(Area(units, rows[i], *made[i]));
  }
}

}  // namespace korvelo
