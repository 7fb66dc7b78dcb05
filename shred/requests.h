/* One delete request at a time: the guard around it, its level, the
 * confirmation dialog, and the dispatch of one path to the folder walk or
 * the shredder. The request sources (drops, the Delete command) build on
 * these. */
#ifndef REQUESTS_H
#define REQUESTS_H

#include <windows.h>

/* ConfirmReply */
enum { REPLY_SINGLE = 0, REPLY_PENDING = 1, REPLY_OK = 2, REPLY_NO = 3, REPLY_CANCEL = 4 };

extern int ConfirmReply;

extern "C" __declspec(dllexport) INT_PTR CALLBACK ConfirmationProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

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

/* The item in WorkPath, confirmed when ConfirmDelete is on (the caller
 * sets ConfirmReply first): 1 to go on, 0 to leave it. */
int ConfirmItem(HWND owner, int level);
int AskConfirmation(HWND owner);
void DeletePath(HWND popup, const char *path, int level, int extend);

#endif
