#include "ui/file_function_dialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <algorithm>

#include "input/text.h"
#include "ui/dialog_units.h"
#include "ui/settings_store.h"
#include "ui/two_line_option.h"

namespace korvelo {
namespace {

const QString kCaption = QStringLiteral("Please specify the files function:");

std::string Decimal(long value) { return FormatText("%li", value); }

}  // namespace

FileFunctionDialog::FileFunctionDialog(int32_t& mode, bool& small_icons,
                                       bool& show_disable, QSettings& store,
                                       QWidget* owner)
    : QDialog(owner),
      mode_(mode),
      small_icons_(small_icons),
      show_disable_(show_disable),
      store_(store) {
  setWindowTitle(kCaption);
  const DialogUnits units(font());
  setFixedSize(units.Size(289, 233));

  auto* ok = new QPushButton(QStringLiteral("OK"), this);
  ok->setGeometry(units.Rect(7, 212, 50, 14));
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &FileFunctionDialog::accept);
  auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
  cancel->setGeometry(units.Rect(232, 212, 50, 14));
  connect(cancel, &QPushButton::clicked, this, &FileFunctionDialog::reject);
  auto* heading = new QLabel(kCaption, this);
  QRect heading_area = units.Rect(7, 7, 102, 8);
  // Nothing stands to its right: a wider font gets the room it needs.
  heading_area.setWidth(
      std::max(heading_area.width(), heading->sizeHint().width()));
  heading->setGeometry(heading_area);

  AddOption(1,
            "Complete file\nContaining all caches in a certain area. Use this "
            "to be independent of the (slow) kml streaming feature.",
            "function-complete", 23);
  show_disable_box_ = new QCheckBox(
      QStringLiteral("Display &disabled caches with \"Disabled\" icon."), this);
  show_disable_box_->setGeometry(units.Rect(44, 51, 238, 10));
  AddOption(2,
            "My finds\nAll caches in the file will be marked in Google Earth "
            "as \"Found\".",
            "function-found", 68);
  AddOption(3,
            "My own\nAll caches in the file will be marked in Google Earth "
            "as \"Your Caches\".",
            "function-mine", 100);
  AddOption(4,
            "Temporarily disabled\nAll caches in the file will be marked in "
            "Google Earth as \"Disabled\".",
            "function-disabled", 134);
  AddOption(5,
            "Marked\nCaches that you want to be highlighted for whatever "
            "reason.",
            "function-marked", 162);
  small_icons_box_ = new QCheckBox(QStringLiteral("&Small icons"), this);
  small_icons_box_->setGeometry(units.Rect(7, 196, 275, 10));

  small_icons_box_->setChecked(small_icons_);
  show_disable_box_->setChecked(show_disable_);
  if (mode_ >= 1 && mode_ <= 5) Option(mode_)->setChecked(true);
}

void FileFunctionDialog::AddOption(int32_t function, const QString& text,
                                   const QString& icon, int y) {
  const DialogUnits units(font());
  auto* picture = new QLabel(this);
  picture->setGeometry(units.Rect(7, y, 21, 20));
  picture->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  picture->setPixmap(QPixmap(QStringLiteral(":/korvelo/ui/%1.png").arg(icon)));

  auto* option = new TwoLineOption(text, this);
  option->setGeometry(units.Rect(32, y, 250, 29));
  option->setAutoExclusive(true);
  connect(option, &TwoLineOption::clicked, this,
          [this, function] { mode_ = function; });
  connect(option, &TwoLineOption::doubleClicked, this,
          &FileFunctionDialog::accept);
  options_[function - 1] = option;
}

TwoLineOption* FileFunctionDialog::Option(int32_t function) const {
  return options_[function - 1];
}

void FileFunctionDialog::accept() {
  small_icons_ = small_icons_box_->isChecked();
  show_disable_ = show_disable_box_->isChecked();
  WriteRegistryString(store_, "bSmallIcons", Decimal(small_icons_));
  WriteRegistryString(store_, "bShowDisable", Decimal(show_disable_));
  WriteRegistryString(store_, "Mode", Decimal(mode_));
  store_.sync();
  QDialog::accept();
}

}  // namespace korvelo
