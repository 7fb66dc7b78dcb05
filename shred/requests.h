/* Delete requests: drops, the confirmation dialog, and the dispatch of
 * one path to the folder walk or the shredder. */
#ifndef REQUESTS_H
#define REQUESTS_H

#include <windows.h>
#include <shellapi.h>

#define CONFIRM_TITLE_BUFFER 34

/* ConfirmReply */
enum { REPLY_SINGLE = 0, REPLY_PENDING = 1, REPLY_OK = 2, REPLY_NO = 3, REPLY_CANCEL = 4 };

extern char ConfirmTitle[CONFIRM_TITLE_BUFFER];
extern int ConfirmReply;

extern "C" __declspec(dllexport) INT_PTR CALLBACK ConfirmationProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

/* Shift held (now, or pressed since the last query) forces level 1. */
int RequestLevel(void);
void DiscardShiftState(void);
/* One request at a time. Begin disables the owner (the main window) and
 * starts a fresh account; End reports what was left and enables it.
 * A drop that arrives while one runs is carried out after it, in order;
 * FinishRequests runs those and then a quit asked for meanwhile. */
int RequestRunning(void);
void BeginRequest(HWND owner);
void EndRequest(void);
void HoldOwnerDisabled(void);
void FinishRequests(HWND owner);
void QuitAfterRequest(void);
void HandleDrop(HWND owner, HDROP drop, int level);

void DeletePath(HWND popup, const char *path, int level, int extend);
void DeleteDroppedFiles(HWND owner, HDROP drop, int level);
int AskConfirmation(HWND owner);
void SetConfirmTitle(int level, const char *path);

#endif
