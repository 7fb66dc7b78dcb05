/* Commands from the menu, the accelerators and the toolbar; status-bar
 * help; the toolbar and its tooltips. */
#ifndef COMMANDS_H
#define COMMANDS_H

#include <windows.h>

#define STATUS_BUFFER 80
#define TIP_BUFFER 20

extern char StatusText[STATUS_BUFFER];

/* Branches of WndProc. */
LRESULT OnCommand(HWND window, WPARAM wParam, LPARAM lParam);
LRESULT OnMenuSelect(HWND window, WPARAM wParam, LPARAM lParam);
LRESULT OnNotify(HWND window, LPARAM lParam);
void SetStatusHelp(UINT id);
HWND CreateMainToolbar(HWND parent);
void AddToolbarTool(HWND window);

#endif
