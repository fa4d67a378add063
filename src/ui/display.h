// Whether a window can be shown at all, asked before any QApplication exists
// (Qt ends the process when its display cannot be opened).
#ifndef KORVELO_UI_DISPLAY_H_
#define KORVELO_UI_DISPLAY_H_

namespace korvelo {

// True for Qt's offscreen or minimal platform, a Wayland display whose
// socket accepts a connection, or an X display that does (a remote X display
// "host:0" is trusted as set).
bool DisplayAvailable();

}  // namespace korvelo

#endif  // KORVELO_UI_DISPLAY_H_
