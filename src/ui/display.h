// Whether a window can be shown at all, asked before any QApplication exists
// (Qt ends the process when its display cannot be opened).
#ifndef KORVELO_UI_DISPLAY_H_
#define KORVELO_UI_DISPLAY_H_

namespace korvelo {

// True for Qt's offscreen or minimal platform, a Wayland display whose
// socket accepts a connection, or an X display that does (a remote X display
// "host:0" is trusted as set).
bool DisplayAvailable();

// A display someone can look at: as above, but Qt's offscreen and minimal
// platforms draw nowhere, so a progress window on them would only cost a
// QApplication (and the runtime folder Qt leaves in $TMPDIR).
bool VisibleDisplayAvailable();

}  // namespace korvelo

#endif  // KORVELO_UI_DISPLAY_H_
