/* Drops on the main window, the confirmation dialog and the progress popup. */
#include "requests.h"
#include "shred.h"
#include "paths.h"
#include "../settings/options.h"
#include "../res/resource.h"

char ConfirmTitle[CONFIRM_TITLE_BUFFER];
char ProgressText[PROGRESS_BUFFER];
int ConfirmReply;
static HWND SavedForeground;

int IsFolder(const char *path)
{
    DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

/* Shift held (now, or pressed since the last query) forces level 1. */
int RequestLevel(void)
{
    if (UseShiftKey && GetAsyncKeyState(VK_SHIFT) != 0)
        return 1;
    return SecurityLevel;
}

void DiscardShiftState(void)
{
    GetAsyncKeyState(VK_SHIFT);
}

/* What a request leaves standing without a box of its own: links, which
 * are never followed, and walk entries whose path no buffer holds. The user
 * hears of them once, when the request ends, not once per item. */
static int LeftCount[LEFT_KINDS];
static char FirstLeft[LEFT_KINDS][PATH_BUFFER];

void ForgetLeftInPlace(void)
{
    for (int kind = 0; kind < LEFT_KINDS; kind++) {
        LeftCount[kind] = 0;
        FirstLeft[kind][0] = 0;
    }
}

void NoteLeftInPlace(int kind, const char *path)
{
    if (LeftCount[kind]++ == 0)
        lstrcpynA(FirstLeft[kind], path, PATH_BUFFER - 2);
}

void ReportLeftInPlace(void)
{
    char text[PATH_BUFFER + 160];
    if (LeftCount[LEFT_LINK]) {
        wsprintfA(text, "Links NOT deleted: %d\r\nA link is never followed: what it points to is untouched."
                  "\r\nThe first: %s", LeftCount[LEFT_LINK], FirstLeft[LEFT_LINK]);
        MessageBoxA(NULL, text, "Zorvex", MB_OK | MB_ICONINFORMATION);
    }
    if (LeftCount[LEFT_TOO_LONG]) {
        wsprintfA(text, "Paths too long, NOT deleted: %d\r\nThe first: %s...", LeftCount[LEFT_TOO_LONG],
                  FirstLeft[LEFT_TOO_LONG]);
        MessageBoxA(NULL, text, "Zorvex", MB_OK | MB_ICONSTOP);
    }
    ForgetLeftInPlace();
}

void DeletePath(HWND popup, const char *path, int level, int extend)
{
    if (!FitsPathBuffer(path)) {
        RefuseTooLong(path);
        return;
    }
    if (path != WorkPath)
        lstrcpyA(WorkPath, path);
    lstrcpyA(ScratchPath, WorkPath);
    DWORD attributes = GetFileAttributesA(WorkPath);
    int folder = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
    if (folder && IsDriveRoot(WorkPath)) {
        RefuseDriveRoot(WorkPath);
        return;
    }
    /* The folder rule holds for a linked folder too. */
    if (folder && !AllowDirectoryDelete) {
        MessageBoxA(NULL, "Directory deletes NOT allowed.\r\nReset your options "
                    "if you want to \r\ndelete a directory.", "Zorvex", MB_OK | MB_ICONSTOP);
        return;
    }
    /* Overwriting through a link would destroy its target; walking it would
     * leave the dropped tree. Only the link itself goes. */
    if (attributes != INVALID_FILE_ATTRIBUTES && IsLink(WorkPath, attributes)) {
        ShowProgress(popup, WorkPath);
        RemoveLink(WorkPath, attributes);
        return;
    }
    if (folder) {
        DirWalk(popup, WorkPath, level, extend);
        return;
    }
    ShowProgress(popup, WorkPath);
    ShredFile(level, extend);
}

void ShowProgress(HWND popup, const char *path)
{
    if (popup)
        ShowProgressOf(popup, path, IsFolder(path));
}

/* The popup's text is set only when it changes. */
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

void SetConfirmTitle(int level, const char *path)
{
    char caption[CAPTION_BUFFER];
    LevelCaption(level, caption);
    lstrcpyA(ConfirmTitle, caption);
    lstrcatA(ConfirmTitle, IsFolder(path) ? " This Folder" : " This File");
}

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

int AskConfirmation(HWND owner)
{
    INT_PTR answer = DialogBoxParamA(GetModuleHandleA(NULL), MAKEINTRESOURCEA(IDD_CONFIRM), owner,
                                     ConfirmationProc, 0);
    /* A dialog that could not be shown is no confirmation. */
    return answer == 1 ? 1 : 0;
}

/* One dropped item: refused when no path buffer holds it (a cut copy would
 * name another file), else confirmed and destroyed. */
static void DeleteDroppedName(HWND owner, HWND popup, const char *name, int level)
{
    if (!FitsPathBuffer(name)) {
        RefuseTooLong(name);
        return;
    }
    lstrcpyA(WorkPath, name);
    if (ConfirmDelete) {
        SetConfirmTitle(level, WorkPath);
        if (!AskConfirmation(owner))
            return;
    }
    DeletePath(popup, WorkPath, level, ExtendBeforeOverwrite);
}

void DeleteDroppedFiles(HWND owner, HDROP drop, int level)
{
    HWND popup = CreateProgressPopup();
    ForgetLeftInPlace();
    BeginShredRequest();
    UINT count = DragQueryFileA(drop, 0xFFFFFFFF, NULL, 0);
    UINT remaining = count;
    ConfirmReply = REPLY_PENDING;
    for (UINT index = 0; index < count; index++) {
        if (remaining < 2)
            ConfirmReply = REPLY_SINGLE;
        remaining--;

        UINT length = DragQueryFileA(drop, index, NULL, 0);
        HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, length + 2);
        char *name = block ? (char *)GlobalLock(block) : NULL;
        if (!name) {
            MessageBoxA(NULL, "Dropfile memory allocation problem.", "Zorvex", MB_OK | MB_ICONSTOP);
        } else {
            DragQueryFileA(drop, index, name, length + 1);
            DeleteDroppedName(owner, popup, name, level);
        }
        if (name)
            GlobalUnlock(block);
        if (block)
            GlobalFree(block);
        if (ConfirmReply == REPLY_CANCEL)
            break;
    }
    DragFinish(drop);
    CloseProgressPopup(popup);
    ReportLeftInPlace();
}

static void EndConfirmation(HWND dialog, int reply, INT_PTR result)
{
    ConfirmReply = reply;
    if (SavedForeground)
        SetForegroundWindow(SavedForeground);
    EndDialog(dialog, result);
}

extern "C" __declspec(dllexport) INT_PTR CALLBACK ConfirmationProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        SavedForeground = GetForegroundWindow();
        SetWindowTextA(dialog, ConfirmTitle);
        SetDlgItemTextA(dialog, IDC_CONFIRM_PATH, WorkPath);
        if (ConfirmReply == REPLY_SINGLE)
            EnableWindow(GetDlgItem(dialog, IDCANCEL), FALSE);
        SetForegroundWindow(dialog);
        return TRUE;
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

extern "C" __declspec(dllexport) INT_PTR CALLBACK SplashProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
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
