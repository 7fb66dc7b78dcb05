/* The main window's status bar and toolbar: the menu help in the one,
 * the two buttons with their tooltips in the other. */
#ifndef BARS_H
#define BARS_H

#include <windows.h>

extern HWND StatusBar;
extern HWND Toolbar;
extern HWND Tooltip;

/* Both bars, from WM_CREATE; the status bar starts empty. */
void CreateBars(HWND window);
void SizeBars(void);
void SetStatusHelp(UINT id);
/* Branches of WndProc. */
LRESULT OnMenuSelect(HWND window, WPARAM wParam, LPARAM lParam);
LRESULT OnNotify(HWND window, LPARAM lParam);

#endif
