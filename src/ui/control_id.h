// ControlId: the name of every control of the three windows that code refers
// to. A window's controls are found by these names, never by number.
#ifndef KORVELO_UI_CONTROL_ID_H_
#define KORVELO_UI_CONTROL_ID_H_

namespace korvelo {

enum class ControlId {
  kNone,  // a control nobody refers to (texts, frames, pictures)

  // The main window.
  kClose,
  kHelp,
  kLinkBox,
  kNoteHeading,
  kExclude,  // check box, its path field and its picker button
  kExcludeDir,
  kExcludeDirPicker,
  kExcludePeople,
  kExcludePeopleFile,
  kExcludePeopleFilePicker,
  kMoveCaches,
  kMoveCachesFile,
  kMoveCachesFilePicker,
  kOutputKml,
  kOutputKmlDir,
  kOutputKmlDirPicker,
  kKmlFileMode,
  kOutputKmz,  // always enabled: it packs whatever map the run writes
  kOutputAsc,
  kOutputAscDir,
  kOutputAscDirPicker,
  kOutputGpx,
  kOutputGpxDir,
  kOutputGpxDirPicker,
  kOutputTxt,
  kOutputTxtDir,
  kOutputTxtDirPicker,

  // The file function question: one option per function, 1 to 5 in order.
  kOk,
  kCancel,
  kCompleteFile,
  kMyFinds,
  kMyOwn,
  kTemporarilyDisabled,
  kMarked,
  kShowDisable,
  kSmallIcons,

  // The progress window.
  kStepText,
};

}  // namespace korvelo

#endif  // KORVELO_UI_CONTROL_ID_H_
