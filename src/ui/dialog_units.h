// Dialog units: the windows are laid out from their design tables, in units
// of a quarter of the font's average letter width across and an eighth of
// its height down, so the picture keeps its proportions with any font.
#ifndef KORVELO_UI_DIALOG_UNITS_H_
#define KORVELO_UI_DIALOG_UNITS_H_

#include <QFont>
#include <QRect>
#include <QSize>

namespace korvelo {

class DialogUnits {
 public:
  // Measures `font` once: the average width of the 52 Latin letters and the
  // line height.
  explicit DialogUnits(const QFont& font);

  // A rectangle given as x, y, width, height in dialog units, in pixels.
  QRect Rect(int x, int y, int width, int height) const;
  QSize Size(int width, int height) const;

  // Widens every horizontal unit by `factor` (at least 1): used when the
  // font's labels run longer than the design allowed for.
  void WidenBy(double factor);

 private:
  int X(int units) const;
  int Y(int units) const;

  double base_x_;  // pixels of four horizontal units
  double base_y_;  // pixels of eight vertical units
};

}  // namespace korvelo

#endif  // KORVELO_UI_DIALOG_UNITS_H_
