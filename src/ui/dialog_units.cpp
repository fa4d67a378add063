#include "ui/dialog_units.h"

#include <QFontMetricsF>
#include <cmath>

namespace korvelo {

DialogUnits::DialogUnits(const QFont& font) {
  const QFontMetricsF metrics(font);
  static const QString kLetters =
      QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
  base_x_ = metrics.horizontalAdvance(kLetters) / kLetters.size();
  base_y_ = metrics.height();
}

int DialogUnits::X(int units) const {
  return static_cast<int>(std::lround(units * base_x_ / 4.0));
}

int DialogUnits::Y(int units) const {
  return static_cast<int>(std::lround(units * base_y_ / 8.0));
}

QRect DialogUnits::Rect(int x, int y, int width, int height) const {
  // Both edges are rounded, so neighbouring controls never overlap or gap.
  const int left = X(x);
  const int top = Y(y);
  return QRect(left, top, X(x + width) - left, Y(y + height) - top);
}

void DialogUnits::WidenBy(double factor) {
  if (factor > 1.0) base_x_ *= factor;
}

QSize DialogUnits::Size(int width, int height) const {
  return QSize(X(width), Y(height));
}

}  // namespace korvelo
