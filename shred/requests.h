/* Delete requests: drops, the confirmation dialog, the progress popup and
 * the dispatch of one path to the folder walk or the shredder. */
#ifndef REQUESTS_H
#define REQUESTS_H

#include <windows.h>
#include <shellapi.h>

#define CONFIRM_TITLE_BUFFER 34
#define PROGRESS_BUFFER 262

/* ConfirmReply */
enum { REPLY_SINGLE = 0, REPLY_PENDING = 1, REPLY_OK = 2, REPLY_NO = 3, REPLY_CANCEL = 4 };

extern char ConfirmTitle[CONFIRM_TITLE_BUFFER];
extern char ProgressText[PROGRESS_BUFFER];
extern int ConfirmReply;

extern "C" __declspec(dllexport) INT_PTR CALLBACK ConfirmationProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
extern "C" __declspec(dllexport) INT_PTR CALLBACK SplashProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

int IsFolder(const char *path);
int RequestLevel(void);
void DiscardShiftState(void);
void DeletePath(HWND popup, const char *path, int level, int extend);
void ShowProgress(HWND popup, const char *path);
void ShowProgressOf(HWND popup, const char *path, int folder);
void DeleteDroppedFiles(HWND owner, HDROP drop, int level);
HWND CreateProgressPopup(void);
void CloseProgressPopup(HWND popup);
int AskConfirmation(HWND owner);
void SetConfirmTitle(int level, const char *path);

/* What a request left standing, reported in one box per kind at its end. */
enum { LEFT_LINK, LEFT_TOO_LONG, LEFT_KINDS };
void ForgetLeftInPlace(void);
void NoteLeftInPlace(int kind, const char *path);
void ReportLeftInPlace(void);

/* Folder walk */
struct WalkState {
    char CurrentDir[500];
    int more;
    DWORD is_dir;
    int level;
    int extend;
    WIN32_FIND_DATAA FindData;
    HWND popup;
};

void DirWalk(HWND popup, const char *path, int level, int extend);
void WalkLevel(WalkState *state);
int IsSubdir(const WIN32_FIND_DATAA *entry);
HANDLE FindFirstSubdir(const char *pattern, WIN32_FIND_DATAA *entry);
int FindNextSubdir(HANDLE search, WIN32_FIND_DATAA *entry);
/* Links: removed themselves, never what they point to; left in place
 * where every open follows them. LinksHiddenByPlatform: -1 until it is
 * known whether the handle-name test is needed (under Wine), then 0 or 1. */
extern int LinksHiddenByPlatform;
/* Looked up at run time, and null where the system lacks them. */
typedef LONG (WINAPI *QueryFileInfo)(HANDLE, void *, void *, ULONG, int);
typedef DWORD (WINAPI *LongPathName)(const char *, char *, DWORD);
extern QueryFileInfo QueryFileName;
extern LongPathName LengthenPath;
void LookUpLinkCalls(void);
int LinkTestNeeded(void);
int ResolvesElsewhere(const char *path);
int OpenedElsewhere(HANDLE file, const char *path);
void KeepLink(const char *path);
int IsLink(const char *path, DWORD attributes);
void RemoveLink(const char *path, DWORD attributes);

/* The Delete command and its file chooser */
#define LAST_DIRECTORY_BUFFER 516
extern int ForcePlainDelete;
extern char LastDirectory[LAST_DIRECTORY_BUFFER];
int ListFiles(HWND owner, int level);
void DeleteCommand(HWND owner);
void PlainDeleteCommand(HWND owner);

#endif
