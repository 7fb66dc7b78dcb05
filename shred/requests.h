/* One delete request at a time: the guard around it, its level, and the
 * dispatch of one path to the folder walk or the shredder. The request
 * sources (drops, the Delete command) build on these. */
#ifndef REQUESTS_H
#define REQUESTS_H

#include <windows.h>

/* Shift held (now, or pressed since the last query) forces level 1. */
int RequestLevel(void);
void DiscardShiftState(void);

/* Begin disables the owner (the main window) and starts a fresh
 * account; End reports what was left and enables it. */
int RequestRunning(void);
void BeginRequest(HWND owner);
void EndRequest(void);
/* Ending a dialog enables its owner: a request's dialog calls this. */
void HoldOwnerDisabled(void);

void DeletePath(HWND popup, const char *path, int level, int extend);

#endif
