/* The confirmation dialog: the level's caption, the item's path as the
 * user knows it, OK, No and (in a batch) Cancel. */
#include "confirm.h"
#include "names.h"
#include "newer.h"
#include "paths.h"
#include "requests.h"
#include "shredder.h"
#include "../settings/options.h"
#include "../res/resource.h"

#define CONFIRM_TITLE_BUFFER 34
#define SHOWN_PATH (2 * MAX_PATH + 40)

int ConfirmReply;
static char ConfirmTitle[CONFIRM_TITLE_BUFFER];
static HWND SavedForeground;

static void SetConfirmTitle(int level, const char *path)
{
    char caption[CAPTION_BUFFER];
    LevelCaption(level, caption);
    lstrcpyA(ConfirmTitle, caption);
    lstrcatA(ConfirmTitle, IsFolder(path) ? " This Folder" : " This File");
}

int AskConfirmation(HWND owner)
{
    INT_PTR answer = DialogBoxParamA(GetModuleHandleA(NULL), MAKEINTRESOURCEA(IDD_CONFIRM), owner,
                                     ConfirmationProc, 0);
    HoldOwnerDisabled();
    /* A dialog that could not be shown is no confirmation. */
    return answer == 1 ? 1 : 0;
}

int ConfirmItem(HWND owner, int level)
{
    if (!ConfirmDelete)
        return 1;
    SetConfirmTitle(level, WorkPath);
    return AskConfirmation(owner);
}

static int TextWidth(HDC dc, const WCHAR *text, int chars)
{
    SIZE size = { 0, 0 };
    if (NewerCalls.GetTextExtentPoint32W) {
        NewerCalls.GetTextExtentPoint32W(dc, text, chars, &size);
    } else {
        char ansi[SHOWN_PATH];
        int length = WideCharToMultiByte(CP_ACP, 0, text, chars, ansi, sizeof ansi, NULL, NULL);
        GetTextExtentPoint32A(dc, ansi, length, &size);
    }
    return size.cx;
}

/* The path on as many lines as it takes, whatever font the system gives
 * the dialog: never cut. Lines break after a backslash (inside a part only
 * where one part is wider than the line); the static, and the dialog with
 * its buttons, grow by what the lines need beyond its height. */
static void ShowPath(HWND dialog, const WCHAR *path)
{
    HWND shown = GetDlgItem(dialog, IDC_CONFIRM_PATH);
    RECT inside;
    GetClientRect(shown, &inside);
    HDC dc = GetDC(shown);
    HGDIOBJ old = SelectObject(dc, (HGDIOBJ)SendMessageA(shown, WM_GETFONT, 0, 0));
    TEXTMETRICA metrics;
    GetTextMetricsA(dc, &metrics);
    WCHAR text[SHOWN_PATH];
    int length = 0, lines = 1, line_start = 0, at = 0, total = WideLength(path);
    while (at < total && length < SHOWN_PATH - 3) {
        int end = at;
        while (end < total && path[end] != '\\')
            end++;
        if (end < total)
            end++;   /* the backslash stays with its part */
        int fits = TextWidth(dc, path + line_start, end - line_start) <= inside.right;
        if (!fits && at > line_start) {
            text[length++] = '\r';
            text[length++] = '\n';
            lines++;
            line_start = at;
            continue;
        }
        for (; at < end && length < SHOWN_PATH - 3; at++) {
            if (at > line_start && TextWidth(dc, path + line_start, at - line_start + 1) > inside.right) {
                text[length++] = '\r';
                text[length++] = '\n';
                lines++;
                line_start = at;
            }
            text[length++] = path[at];
        }
    }
    text[length] = 0;
    SelectObject(dc, old);
    ReleaseDC(shown, dc);
    if (!NewerCalls.SetDlgItemTextW || !NewerCalls.SetDlgItemTextW(dialog, IDC_CONFIRM_PATH, text)) {
        char ansi[SHOWN_PATH];
        WideCharToMultiByte(CP_ACP, 0, text, -1, ansi, sizeof ansi, NULL, NULL);
        SetDlgItemTextA(dialog, IDC_CONFIRM_PATH, ansi);
    }
    int added = lines * metrics.tmHeight - inside.bottom;
    if (added <= 0)
        return;
    RECT rect;
    GetWindowRect(shown, &rect);
    SetWindowPos(shown, NULL, 0, 0, rect.right - rect.left, rect.bottom - rect.top + added,
                 SWP_NOMOVE | SWP_NOZORDER);
    static const int Buttons[] = { IDOK, IDC_CONFIRM_NO, IDCANCEL };
    for (int id : Buttons) {
        HWND button = GetDlgItem(dialog, id);
        GetWindowRect(button, &rect);
        POINT corner = { rect.left, rect.top };
        ScreenToClient(dialog, &corner);
        SetWindowPos(button, NULL, corner.x, corner.y + added, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    }
    GetWindowRect(dialog, &rect);
    SetWindowPos(dialog, NULL, 0, 0, rect.right - rect.left, rect.bottom - rect.top + added,
                 SWP_NOMOVE | SWP_NOZORDER);
}

static void EndConfirmation(HWND dialog, int reply, INT_PTR result)
{
    ConfirmReply = reply;
    if (SavedForeground)
        SetForegroundWindow(SavedForeground);
    EndDialog(dialog, result);
}

INT_PTR CALLBACK ConfirmationProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG: {
        SavedForeground = GetForegroundWindow();
        SetWindowTextA(dialog, ConfirmTitle);
        WCHAR path[2 * MAX_PATH];
        DisplayNameOf(WorkPath, path, 2 * MAX_PATH);
        ShowPath(dialog, path);
        if (ConfirmReply == REPLY_SINGLE)
            EnableWindow(GetDlgItem(dialog, IDCANCEL), FALSE);
        SetForegroundWindow(dialog);
        return TRUE;
    }
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK: EndConfirmation(dialog, REPLY_OK, 1); return TRUE;
        case IDC_CONFIRM_NO: EndConfirmation(dialog, REPLY_NO, 0); return TRUE;
        case IDCANCEL: EndConfirmation(dialog, REPLY_CANCEL, 0); return TRUE;
        }
        return FALSE;
    }
    return FALSE;
}
