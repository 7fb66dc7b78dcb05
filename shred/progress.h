/* The progress popup that names the item being destroyed and, for work
 * that lasts, shows how far it has come beside a Stop button; and the
 * messages a request takes while it works, so that its windows stay
 * alive. */
#ifndef PROGRESS_H
#define PROGRESS_H

#include <windows.h>

#define PROGRESS_BUFFER 262

extern char ProgressText[PROGRESS_BUFFER];

extern "C" __declspec(dllexport) INT_PTR CALLBACK SplashProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

/* A request's start: Stop not pressed, nothing counted; its end: a quit
 * taken meanwhile is asked for again. */
void BeginProgressRequest(void);
void EndProgressRequest(void);
HWND CreateProgressPopup(void);
void CloseProgressPopup(HWND popup);
/* Names a file by its name, a folder by its whole path, as the user knows
 * them; set and painted only when it changes. */
void ShowProgress(HWND popup, const char *path);
void ShowProgressOf(HWND popup, const char *path, int folder);

/* How far the work has come, shown once it has lasted about a second: the
 * bytes a file's passes have written of all they will, and a walk's items
 * done. Both only note the figures. */
void SetFileProgress(LONGLONG done, LONGLONG total);
void CountItems(int counting);
void CountItemDone(void);

/* Called per chunk and per entry: a few times a second it paints the
 * popup and takes the messages that wait (repaints, the system's checks,
 * Stop); between, it costs a clock reading. Non-zero once Stop was
 * pressed (or Esc): the work ends at the next chunk. */
int KeepAlive(void);
int StopPressed(void);

#endif
