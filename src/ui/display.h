// Whether a window can be shown at all, asked before any QApplication exists
// (Qt ends the process when its display cannot be opened).
#ifndef KORVELO_UI_DISPLAY_H_
#define KORVELO_UI_DISPLAY_H_

namespace korvelo {

// True for Qt's offscreen or minimal platform, or a display server that
// answers (DisplayServerReachable).
bool DisplayAvailable();

// A display someone can look at: as above, but Qt's offscreen and minimal
// platforms draw nowhere, so a progress window on them would only cost a
// QApplication (and the runtime folder Qt leaves in $TMPDIR).
bool VisibleDisplayAvailable();

}  // namespace korvelo

#endif  // KORVELO_UI_DISPLAY_H_
