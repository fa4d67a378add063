// The pictures built into the program: its icon and the windows' images.
#ifndef KORVELO_UI_RESOURCES_H_
#define KORVELO_UI_RESOURCES_H_

#include <QIcon>

namespace korvelo {

// Registers the built-in pictures (":/korvelo/..."); harmless when repeated.
void InitResources();

// The program icon in every drawn size.
QIcon ProgramIcon();

}  // namespace korvelo

#endif  // KORVELO_UI_RESOURCES_H_
