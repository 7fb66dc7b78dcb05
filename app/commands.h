/* Commands from the menu, the accelerators and the toolbar. */
#ifndef COMMANDS_H
#define COMMANDS_H

#include <windows.h>

/* The WM_COMMAND branch of WndProc, for the window it is given. */
LRESULT OnCommand(HWND window, WPARAM wParam, LPARAM lParam);

#endif
