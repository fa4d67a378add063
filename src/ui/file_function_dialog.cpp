#include "ui/file_function_dialog.h"

#include <QCheckBox>
#include <QPushButton>

#include "ui/settings_store.h"
#include "ui/two_line_option.h"

namespace korvelo {
namespace {

using Id = ControlId;
using Kind = ControlKind;

constexpr char kCaption[] = "Please specify the files function:";

// The options of FileFunction 1 to 5, in that order.
constexpr ControlId kOptions[] = {Id::kCompleteFile, Id::kMyFinds, Id::kMyOwn,
                                  Id::kTemporarilyDisabled, Id::kMarked};

// Each picture comes before the option beside it; the "disabled" check box
// lies inside the area of the complete file option, so it comes after it.
constexpr ControlRow kControls[] = {
    {Id::kOk, Kind::kDefaultButton, 7, 212, 50, 14, "OK"},
    {Id::kCancel, Kind::kButton, 232, 212, 50, 14, "Cancel"},
    {Id::kNone, Kind::kHeading, 7, 7, 102, 8, kCaption},
    {Id::kNone, Kind::kPicture, 7, 23, 21, 20,
     ":/korvelo/ui/function-complete.png"},
    {Id::kCompleteFile, Kind::kOption, 32, 23, 250, 29,
     "Complete file\nContaining all caches in a certain area. Use this to be "
     "independent of the (slow) kml streaming feature."},
    {Id::kShowDisable, Kind::kCheckBox, 44, 51, 238, 10,
     "Display &disabled caches with \"Disabled\" icon."},
    {Id::kNone, Kind::kPicture, 7, 68, 21, 20,
     ":/korvelo/ui/function-found.png"},
    {Id::kMyFinds, Kind::kOption, 32, 68, 250, 29,
     "My finds\nAll caches in the file will be marked in Google Earth as "
     "\"Found\"."},
    {Id::kNone, Kind::kPicture, 7, 100, 21, 20,
     ":/korvelo/ui/function-mine.png"},
    {Id::kMyOwn, Kind::kOption, 32, 100, 250, 29,
     "My own\nAll caches in the file will be marked in Google Earth as "
     "\"Your Caches\"."},
    {Id::kNone, Kind::kPicture, 7, 134, 21, 20,
     ":/korvelo/ui/function-disabled.png"},
    {Id::kTemporarilyDisabled, Kind::kOption, 32, 134, 250, 29,
     "Temporarily disabled\nAll caches in the file will be marked in Google "
     "Earth as \"Disabled\"."},
    {Id::kNone, Kind::kPicture, 7, 162, 21, 20,
     ":/korvelo/ui/function-marked.png"},
    {Id::kMarked, Kind::kOption, 32, 162, 250, 29,
     "Marked\nCaches that you want to be highlighted for whatever reason."},
    {Id::kSmallIcons, Kind::kCheckBox, 7, 196, 275, 10, "&Small icons"},
};

}  // namespace

FileFunctionDialog::FileFunctionDialog(ConversionSettings& settings,
                                       QSettings& store, QWidget* owner)
    : QDialog(owner), settings_(settings), store_(store) {
  setWindowTitle(QString::fromUtf8(kCaption));
  controls_.LayOut(*this, kControls, 289, 233);
  connect(controls_.Get<QPushButton>(Id::kOk), &QPushButton::clicked, this,
          &FileFunctionDialog::accept);
  connect(controls_.Get<QPushButton>(Id::kCancel), &QPushButton::clicked, this,
          &FileFunctionDialog::reject);
  for (int32_t function = 1; function <= 5; ++function) {
    TwoLineOption* option = Option(function);
    connect(option, &TwoLineOption::clicked, this,
            [this, function] { settings_.Mode = function; });
    connect(option, &TwoLineOption::doubleClicked, this,
            &FileFunctionDialog::accept);
  }
  SmallIcons()->setChecked(settings_.bSmallIcons);
  ShowDisable()->setChecked(settings_.bShowDisable);
  if (settings_.Mode >= 1 && settings_.Mode <= 5) {
    Option(settings_.Mode)->setChecked(true);
  }
}

TwoLineOption* FileFunctionDialog::Option(int32_t function) const {
  return controls_.Get<TwoLineOption>(kOptions[function - 1]);
}

QCheckBox* FileFunctionDialog::SmallIcons() const {
  return controls_.Get<QCheckBox>(Id::kSmallIcons);
}

QCheckBox* FileFunctionDialog::ShowDisable() const {
  return controls_.Get<QCheckBox>(Id::kShowDisable);
}

void FileFunctionDialog::accept() {
  settings_.bSmallIcons = SmallIcons()->isChecked();
  settings_.bShowDisable = ShowDisable()->isChecked();
  using S = ConversionSettings;
  SaveSettings(settings_, store_,
               {&S::bSmallIcons, &S::bShowDisable, &S::Mode});
  QDialog::accept();
}

}  // namespace korvelo
