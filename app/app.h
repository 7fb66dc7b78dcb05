/* The application shell: main window, its commands, menus and toolbar. */
#ifndef APP_H
#define APP_H

#include <windows.h>

#define EXPORT_PROC extern "C" __declspec(dllexport)

#define MAIN_CLASS "ZorvexClass"
#define MAIN_TITLE "Zorvex"
#define HELP_FILE "zorvex.hlp"
#define STATUS_BUFFER 80
#define TIP_BUFFER 20

extern HINSTANCE AppInstance;
extern HWND MainWindow;
extern HMENU MainMenu;
extern HACCEL Accelerators;
extern HWND StatusBar;
extern HWND Toolbar;
extern HWND Tooltip;
extern HICON ClassIcon;     /* open icon of the current colour */
extern HICON ClosedIcon;
extern char StatusText[STATUS_BUFFER];

EXPORT_PROC LRESULT CALLBACK WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

/* Start-up in pieces, so that it can be driven one step at a time. */
int ZorvexMain(HINSTANCE instance);
int AnotherCopyRuns(void);
HWND StartMainWindow(HINSTANCE instance);
int RunMessageLoop(void);
void EndMainWindow(void);

/* Every call of the help viewer goes through here; tests watch them. */
extern BOOL (*ShowHelp)(HWND owner, LPCSTR file, UINT command, ULONG_PTR data);
BOOL CallWinHelp(HWND owner, LPCSTR file, UINT command, ULONG_PTR data);

void LoadIconSet(void);
void FreeIconSets(void);

/* Command branches of WndProc. */
LRESULT OnCommand(HWND window, WPARAM wParam, LPARAM lParam);
LRESULT OnMenuSelect(HWND window, WPARAM wParam, LPARAM lParam);
LRESULT OnNotify(HWND window, LPARAM lParam);
void SetStatusHelp(UINT id);
HWND CreateMainToolbar(HWND parent);
void AddToolbarTool(HWND window);

#endif
