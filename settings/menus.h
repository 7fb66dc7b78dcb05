/* Check marks of the menu bar's option items. */
#ifndef MENUS_H
#define MENUS_H

#include <windows.h>

void CheckMenuCommand(HMENU menu, UINT id, int on);

#endif
