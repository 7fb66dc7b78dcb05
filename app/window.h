/* Start-up, the main window and its procedure. */
#ifndef WINDOW_H
#define WINDOW_H

#include <windows.h>

#define MAIN_CLASS "ZorvexClass"

extern HWND MainWindow;
extern HMENU MainMenu;

extern "C" __declspec(dllexport) LRESULT CALLBACK WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

/* Start-up in pieces, so that it can be driven one step at a time. */
int ZorvexMain(HINSTANCE instance);
HWND StartMainWindow(HINSTANCE instance);
int RunMessageLoop(void);
void EndMainWindow(void);

#endif
