// Whether a display server answers, asked without any window toolkit (Qt
// ends the process when its display cannot be opened).
#ifndef KORVELO_PLATFORM_DISPLAY_H_
#define KORVELO_PLATFORM_DISPLAY_H_

namespace korvelo {

// True for a Wayland display ($WAYLAND_DISPLAY, absolute or under
// $XDG_RUNTIME_DIR) whose socket accepts a connection, or a local X display
// ($DISPLAY ":N" or "unix:N") whose socket does, on the file or in the
// abstract namespace. A remote X display "host:N" is trusted as set.
bool DisplayServerReachable();

}  // namespace korvelo

#endif  // KORVELO_PLATFORM_DISPLAY_H_
