/* The progress popup that names the item being destroyed, and the cursors
 * a request shows. */
#ifndef PROGRESS_H
#define PROGRESS_H

#include <windows.h>

#define PROGRESS_BUFFER 262

extern char ProgressText[PROGRESS_BUFFER];

extern "C" __declspec(dllexport) INT_PTR CALLBACK SplashProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

HWND CreateProgressPopup(void);
void CloseProgressPopup(HWND popup);
/* Names a file by its name, a folder by its whole path; set only when it
 * changes. */
void ShowProgress(HWND popup, const char *path);
void ShowProgressOf(HWND popup, const char *path, int folder);

/* Only a change of cursor reaches the window system. While the wait
 * cursor is held (a walk) it stays up from file to file. */
void ForgetShownCursor(void);
void ShowWaitCursor(void);
void ShowArrowCursor(void);
void HoldWaitCursor(int held);
void ShowFileDoneCursor(void);

#endif
