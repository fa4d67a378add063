#include "ui/two_line_option.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionButton>

namespace korvelo {

TwoLineOption::TwoLineOption(const QString& text, QWidget* parent)
    : QRadioButton(text, parent) {}

QRect TwoLineOption::TextRect() const {
  QStyleOptionButton option;
  initStyleOption(&option);
  const QRect indicator =
      style()->subElementRect(QStyle::SE_RadioButtonIndicator, &option, this);
  const int left =
      indicator.right() + 1 +
      style()->pixelMetric(QStyle::PM_RadioButtonLabelSpacing, &option, this);
  return QRect(left, 0, width() - left, height());
}

void TwoLineOption::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  QStyleOptionButton option;
  initStyleOption(&option);
  option.text.clear();
  // The indicator stands beside the title line, at the top.
  option.rect.setHeight(fontMetrics().height());
  style()->drawControl(QStyle::CE_RadioButton, &option, &painter, this);

  const QString full = text();
  const qsizetype line_end = full.indexOf(QLatin1Char('\n'));
  QRect area = TextRect();
  QFont bold = font();
  bold.setBold(true);
  painter.setFont(bold);
  const QString title = full.left(line_end);
  painter.drawText(area, Qt::AlignLeft | Qt::AlignTop, title);
  if (hasFocus()) {
    QStyleOptionFocusRect focus;
    focus.initFrom(this);
    focus.rect =
        painter.boundingRect(area, Qt::AlignLeft | Qt::AlignTop, title);
    style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
  }
  if (line_end < 0) return;
  painter.setFont(font());
  area.setTop(QFontMetrics(bold).height());
  painter.drawText(area, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
                   full.mid(line_end + 1));
}

void TwoLineOption::mouseDoubleClickEvent(QMouseEvent* event) {
  QRadioButton::mouseDoubleClickEvent(event);
  if (event->button() == Qt::LeftButton) {
    click();
    emit doubleClicked();
  }
}

bool TwoLineOption::hitButton(const QPoint& pos) const {
  return rect().contains(pos);
}

}  // namespace korvelo
