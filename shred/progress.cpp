/* The progress popup (template 15), how far a request's work has come, and
 * the messages it takes meanwhile. */
#include "progress.h"
#include "cursor.h"
#include "names.h"
#include "newer.h"
#include "paths.h"
#include "../res/resource.h"
#include <commctrl.h>

#define TAKE_MESSAGES_EVERY 150     /* ms: a few times a second, never per chunk */
#define TAKE_MESSAGES_FOR 50        /* ms at most each time */
#define SHOW_HOW_FAR_AFTER 1000     /* ms of work before the popup shows it */
#define BAR_STEPS 1000
#define EXPANDED_HEIGHT 44          /* dialog units, with the bar and Stop */

char ProgressText[PROGRESS_BUFFER];
static WCHAR ProgressWide[PROGRESS_BUFFER + 16];
static HWND Popup;
static DWORD ShownAt, LastTaken;
static int Expanded;
static int StopAsked;
static LONGLONG FileDone, FileTotal;
static int Counting, ItemsDone;
static int QuitTaken, QuitCode;

void BeginProgressRequest(void)
{
    StopAsked = 0;
    Counting = ItemsDone = 0;
    FileDone = FileTotal = 0;
    LastTaken = GetTickCount();
}

void EndProgressRequest(void)
{
    if (QuitTaken)
        PostQuitMessage(QuitCode);
    QuitTaken = 0;
}

HWND CreateProgressPopup(void)
{
    /* The bar's class is the common controls'. */
    InitCommonControls();
    Popup = CreateDialogParamA(GetModuleHandleA(NULL), MAKEINTRESOURCEA(IDD_PROGRESS), NULL, SplashProc, 0);
    Expanded = 0;
    ProgressText[0] = 0;
    ProgressWide[0] = 0;
    return Popup;
}

void CloseProgressPopup(HWND popup)
{
    if (!popup)
        return;
    if (IsWindowVisible(popup))
        ShowWindow(popup, SW_HIDE);
    DestroyWindow(popup);
    if (popup == Popup)
        Popup = NULL;
}

void ShowProgress(HWND popup, const char *path)
{
    if (popup)
        ShowProgressOf(popup, path, IsFolder(path));
}

static int SameWideText(const WCHAR *a, const WCHAR *b)
{
    for (; *a == *b; a++, b++)
        if (!*a)
            return 1;
    return 0;
}

void ShowProgressOf(HWND popup, const char *path, int folder)
{
    if (!popup)
        return;
    WCHAR shown[PROGRESS_BUFFER + 16] = L"Deleting ";
    WCHAR name[2 * MAX_PATH];
    DisplayNameOf(path, name, 2 * MAX_PATH);
    const WCHAR *part = name;
    for (const WCHAR *c = name; *c && !folder; c++)
        if (*c == '\\')
            part = c + 1;
    /* Cut to fit: a long folder path would not. */
    int length = WideLength(shown);
    for (; *part && length < PROGRESS_BUFFER - 1; part++)
        shown[length++] = *part;
    shown[length] = 0;
    if (!IsWindowVisible(popup)) {
        ShowWindow(popup, SW_SHOW);
        ShownAt = GetTickCount();
    } else if (SameWideText(shown, ProgressWide)) {
        return;
    }
    for (int i = 0; i <= length; i++)
        ProgressWide[i] = shown[i];
    if (!WideCharToMultiByte(CP_ACP, 0, ProgressWide, -1, ProgressText, PROGRESS_BUFFER, NULL, NULL))
        ProgressText[0] = 0;
    SendMessageA(popup, WM_COMMAND, CMD_PROGRESS_TEXT, 0);
    /* Painted now: the work that follows may not take messages for a while. */
    UpdateWindow(popup);
}

void SetFileProgress(LONGLONG done, LONGLONG total)
{
    FileDone = done;
    FileTotal = total;
}

void CountItems(int counting)
{
    Counting = counting;
    ItemsDone = 0;
}

void CountItemDone(void)
{
    ItemsDone++;
}

int StopPressed(void)
{
    return StopAsked;
}

/* Taller, still centred, with the bar and Stop under the name. */
static void Expand(HWND popup)
{
    RECT inner = { 0, 0, 315, EXPANDED_HEIGHT }, outer;
    MapDialogRect(popup, &inner);
    AdjustWindowRectEx(&inner, (DWORD)GetWindowLongA(popup, GWL_STYLE), FALSE,
                       (DWORD)GetWindowLongA(popup, GWL_EXSTYLE));
    GetWindowRect(popup, &outer);
    int w = outer.right - outer.left, h = inner.bottom - inner.top;
    SetWindowPos(popup, NULL, (GetSystemMetrics(SM_CXSCREEN) - w) / 2, (GetSystemMetrics(SM_CYSCREEN) - h) / 2, w,
                 h, SWP_NOZORDER | SWP_NOACTIVATE);
    SendDlgItemMessageA(popup, IDC_PROGRESS_BAR, PBM_SETRANGE, 0, MAKELPARAM(0, BAR_STEPS));
    ShowWindow(GetDlgItem(popup, IDCANCEL), SW_SHOW);
    Expanded = 1;
}

static void ShowHowFar(DWORD now)
{
    if (!Popup || !IsWindowVisible(Popup))
        return;
    if (!Expanded && now - ShownAt >= SHOW_HOW_FAR_AFTER)
        Expand(Popup);
    if (!Expanded)
        return;
    HWND bar = GetDlgItem(Popup, IDC_PROGRESS_BAR);
    ShowWindow(bar, FileTotal > 0 ? SW_SHOW : SW_HIDE);
    if (FileTotal > 0) {
        LONGLONG done = FileDone < FileTotal ? FileDone : FileTotal;
        SendMessageA(bar, PBM_SETPOS, (WPARAM)(done * BAR_STEPS / FileTotal), 0);
    }
    HWND count = GetDlgItem(Popup, IDC_PROGRESS_COUNT);
    ShowWindow(count, Counting ? SW_SHOW : SW_HIDE);
    if (Counting) {
        char text[40];
        wsprintfA(text, "%d items done", ItemsDone);
        SetWindowTextA(count, text);
    }
}

/* What waits. WM_QUIT is for the program's own loop: left queued, or
 * where the system hands it out anyway (Wine does, whatever the filter),
 * asked for again when the request ends. */
static void TakeMessages(void)
{
    DWORD start = GetTickCount();
    MSG msg;
    while (GetTickCount() - start < TAKE_MESSAGES_FOR &&
           (PeekMessageA(&msg, NULL, 0, WM_QUIT - 1, PM_REMOVE) ||
            PeekMessageA(&msg, NULL, WM_QUIT + 1, 0xFFFF, PM_REMOVE))) {
        if (msg.message == WM_QUIT) {
            QuitTaken = 1;
            QuitCode = (int)msg.wParam;
            continue;
        }
        if (Popup && IsDialogMessageA(Popup, &msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

int KeepAlive(void)
{
    DWORD now = GetTickCount();
    if (now - LastTaken < TAKE_MESSAGES_EVERY)
        return StopAsked;
    LastTaken = now;
    ShowHowFar(now);
    TakeMessages();
    RestoreShownCursor();
    return StopAsked;
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
        switch (LOWORD(wParam)) {
        case CMD_PROGRESS_TEXT:
            NeedNewerCalls();
            if (!NewerCalls.SetDlgItemTextW || !NewerCalls.SetDlgItemTextW(dialog, IDC_PROGRESS_NAME, ProgressWide))
                SetDlgItemTextA(dialog, IDC_PROGRESS_NAME, ProgressText);
            return TRUE;
        case IDCANCEL:   /* Stop, or Esc */
            StopAsked = 1;
            EnableWindow(GetDlgItem(dialog, IDCANCEL), FALSE);
            return TRUE;
        }
        return FALSE;
    }
    return FALSE;
}
