/* The progress popup (template 15) and the request's cursors. */
#include "progress.h"
#include "paths.h"
#include "../res/resource.h"

char ProgressText[PROGRESS_BUFFER];
static HCURSOR ShownCursor;
static int WaitHeld;

HWND CreateProgressPopup(void)
{
    return CreateDialogParamA(GetModuleHandleA(NULL), MAKEINTRESOURCEA(IDD_PROGRESS), NULL, SplashProc, 0);
}

void CloseProgressPopup(HWND popup)
{
    if (!popup)
        return;
    if (IsWindowVisible(popup))
        ShowWindow(popup, SW_HIDE);
    DestroyWindow(popup);
}

void ShowProgress(HWND popup, const char *path)
{
    if (popup)
        ShowProgressOf(popup, path, IsFolder(path));
}

void ShowProgressOf(HWND popup, const char *path, int folder)
{
    if (!popup)
        return;
    char shown[PROGRESS_BUFFER];
    if (folder) {
        lstrcpynA(shown, path, sizeof shown);
    } else {
        char name[PROGRESS_BUFFER], ext[PROGRESS_BUFFER];
        SplitPath(path, NULL, 0, NULL, 0, name, sizeof name, ext, sizeof ext);
        lstrcpynA(shown, name, sizeof shown);
        lstrcpynA(shown + lstrlenA(shown), ext, sizeof shown - lstrlenA(shown));
    }
    char text[PROGRESS_BUFFER];
    lstrcpyA(text, "Deleting ");
    /* Cut to fit: a long folder path would not. */
    lstrcpynA(text + lstrlenA(text), shown, PROGRESS_BUFFER - lstrlenA(text));
    if (!IsWindowVisible(popup))
        ShowWindow(popup, SW_SHOW);
    else if (lstrcmpA(text, ProgressText) == 0)
        return;
    lstrcpyA(ProgressText, text);
    SendMessageA(popup, WM_COMMAND, CMD_PROGRESS_TEXT, 0);
}

INT_PTR CALLBACK SplashProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG: {
        RECT rect;
        GetWindowRect(dialog, &rect);
        int w = rect.right - rect.left, h = rect.bottom - rect.top;
        int x = (GetSystemMetrics(SM_CXSCREEN) - w) / 2, y = (GetSystemMetrics(SM_CYSCREEN) - h) / 2;
        MoveWindow(dialog, x, y, w, h, FALSE);
        return TRUE;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == CMD_PROGRESS_TEXT) {
            SetDlgItemTextA(dialog, IDC_PROGRESS_NAME, ProgressText);
            return TRUE;
        }
        return FALSE;
    }
    return FALSE;
}

static void ShowCursorOf(LPCSTR id)
{
    HCURSOR cursor = LoadCursor(NULL, id);
    if (cursor != ShownCursor)
        SetCursor(cursor);
    ShownCursor = cursor;
}

void ForgetShownCursor(void) { ShownCursor = NULL; }
void ShowWaitCursor(void) { ShowCursorOf(IDC_WAIT); }
void ShowArrowCursor(void) { ShowCursorOf(IDC_ARROW); }
void HoldWaitCursor(int held) { WaitHeld = held; }

void ShowFileDoneCursor(void)
{
    if (!WaitHeld)
        ShowArrowCursor();
}
