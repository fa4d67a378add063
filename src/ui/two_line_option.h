// TwoLineOption: an option button whose text is a bold title line and a
// word-wrapped description below it, clickable anywhere in its area.
#ifndef KORVELO_UI_TWO_LINE_OPTION_H_
#define KORVELO_UI_TWO_LINE_OPTION_H_

#include <QRadioButton>

namespace korvelo {

// The text is "title\ndescription". A double click anywhere on it emits
// doubleClicked after the click has checked it.
class TwoLineOption : public QRadioButton {
  Q_OBJECT

 public:
  TwoLineOption(const QString& text, QWidget* parent);

 signals:
  void doubleClicked();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  bool hitButton(const QPoint& pos) const override;

 private:
  QRect TextRect() const;
};

}  // namespace korvelo

#endif  // KORVELO_UI_TWO_LINE_OPTION_H_
