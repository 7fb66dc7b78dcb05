/* Start-up, the main window and its procedure, the icon sets. */
#ifndef WINDOW_H
#define WINDOW_H

#include <windows.h>

#define MAIN_CLASS "ZorvexClass"
#define MAIN_TITLE "Zorvex"

extern HWND MainWindow;
extern HMENU MainMenu;
extern HACCEL Accelerators;
extern HWND StatusBar;
extern HWND Toolbar;
extern HWND Tooltip;
extern HICON ClassIcon;     /* open icon of the current colour */
extern HICON ClosedIcon;

extern "C" __declspec(dllexport) LRESULT CALLBACK WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

/* Start-up in pieces, so that it can be driven one step at a time. */
int ZorvexMain(HINSTANCE instance);
int AnotherCopyRuns(void);
HWND StartMainWindow(HINSTANCE instance);
int RunMessageLoop(void);
void EndMainWindow(void);

void LoadIconSet(void);
void FreeIconSets(void);

#endif
