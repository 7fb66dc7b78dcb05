/* Drops on the main window, the confirmation dialog and the progress popup. */
#include "requests.h"
#include "shred.h"
#include "../settings/options.h"
#include "../res/resource.h"
#include <stdlib.h>

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

/* Whether `reached` (a path without its drive, as the file system names
 * an open file) is the tail of `path`. The same folder may be mapped by
 * more than one drive, so the path need only end in it. */
static int EndsWithReached(const char *path, const WCHAR *reached, int reached_chars)
{
    WCHAR own[MAX_PATH];
    int own_chars = MultiByteToWideChar(CP_ACP, 0, path, -1, own, MAX_PATH) - 1;
    if (own_chars < reached_chars || reached_chars == 0)
        return 0;
    const WCHAR *tail = own + own_chars - reached_chars;
    return *tail == L'\\' && CompareStringW(LOCALE_SYSTEM_DEFAULT, NORM_IGNORECASE, tail, reached_chars,
                                             reached, reached_chars) == CSTR_EQUAL;
}

/* Under Wine a Unix symbolic link is followed by every open, so deleting or
 * renaming it would act on its target. Such a link shows itself through the
 * name of what an open of it reaches: that is not its own path. */
int ResolvesElsewhere(const char *path)
{
    typedef LONG (WINAPI *QueryFileInfo)(HANDLE, void *, void *, ULONG, int);
    typedef DWORD (WINAPI *LongPathName)(const char *, char *, DWORD);
    static QueryFileInfo query;
    static LongPathName lengthen;
    static int looked;
    if (!looked) {
        HMODULE ntdll = GetModuleHandleA("ntdll.dll");
        query = ntdll ? (QueryFileInfo)(void *)GetProcAddress(ntdll, "NtQueryInformationFile") : NULL;
        lengthen = (LongPathName)(void *)GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetLongPathNameA");
        looked = 1;
    }
    if (!query)
        return 0;   /* no links where there is no NT file system */

    char full[MAX_PATH];
    DWORD got = GetFullPathNameA(path, sizeof full, full, NULL);
    if (got == 0 || got >= sizeof full)
        return 0;
    HANDLE file = CreateFileA(full, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, NULL,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return 0;
    struct { ULONG length; WCHAR name[2 * MAX_PATH]; } reached;
    struct { void *status; ULONG_PTR information; } io;
    const int FILE_NAME_INFO_CLASS = 9;
    LONG status = query(file, &io, &reached, sizeof reached, FILE_NAME_INFO_CLASS);
    CloseHandle(file);
    if (status != 0)
        return 0;
    int reached_chars = reached.length / sizeof(WCHAR);
    if (EndsWithReached(full, reached.name, reached_chars))
        return 0;
    /* What is reached carries long names; a short one here must not look
     * like a link. Asked only on a mismatch: it lists every folder above. */
    char longer[MAX_PATH];
    if (lengthen && (got = lengthen(full, longer, sizeof longer)) > 0 && got < sizeof longer &&
        EndsWithReached(longer, reached.name, reached_chars))
        return 0;
    return 1;
}

void RemoveLink(const char *path, DWORD attributes)
{
    char text[300];
    if (ResolvesElsewhere(path)) {
        /* Any removal would reach the target: the link stays. */
        wsprintfA(text, "Link left in place: %.260s", path);
        OutputDebugStringA(text);
        return;
    }
    int removed = (attributes & FILE_ATTRIBUTE_DIRECTORY) ? RemoveDirectoryA(path) : DeleteFileA(path);
    if (!removed) {
        wsprintfA(text, "Link could not be removed: %.260s", path);
        OutputDebugStringA(text);
    }
}

int IsLink(const char *path, DWORD attributes)
{
    return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) || ResolvesElsewhere(path);
}

void DeletePath(HWND popup, const char *path, int level, int extend)
{
    if (path != WorkPath)
        lstrcpynA(WorkPath, path, MAX_PATH_CHARS + 1);
    lstrcpyA(ScratchPath, WorkPath);
    DWORD attributes = GetFileAttributesA(WorkPath);
    /* Overwriting through a link would destroy its target; walking it would
     * leave the dropped tree. Only the link itself goes. */
    if (attributes != INVALID_FILE_ATTRIBUTES && IsLink(WorkPath, attributes)) {
        ShowProgress(popup, WorkPath);
        RemoveLink(WorkPath, attributes);
        return;
    }
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        if (AllowDirectoryDelete)
            DirWalk(popup, WorkPath, level, extend);
        else
            MessageBoxA(NULL, "Directory deletes NOT allowed.\r\nReset your options "
                        "if you want to \r\ndelete a directory.", "Zorvex", MB_OK | MB_ICONSTOP);
        return;
    }
    ShowProgress(popup, WorkPath);
    ShredFile(level, extend);
}

void ShowProgress(HWND popup, const char *path)
{
    if (!popup)
        return;
    char shown[PROGRESS_BUFFER];
    if (IsFolder(path)) {
        lstrcpynA(shown, path, sizeof shown);
    } else {
        char name[_MAX_FNAME], ext[_MAX_EXT];
        _splitpath(path, NULL, NULL, name, ext);
        lstrcpynA(shown, name, sizeof shown);
        lstrcpynA(shown + lstrlenA(shown), ext, sizeof shown - lstrlenA(shown));
    }
    lstrcpyA(ProgressText, "Deleting ");
    /* Cut to fit: a long folder path would not. */
    lstrcpynA(ProgressText + lstrlenA(ProgressText), shown, PROGRESS_BUFFER - lstrlenA(ProgressText));
    if (!IsWindowVisible(popup))
        ShowWindow(popup, SW_SHOW);
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

void DeleteDroppedFiles(HWND owner, HDROP drop, int level)
{
    HWND popup = CreateProgressPopup();
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
            lstrcpynA(WorkPath, name, MAX_PATH_CHARS + 1);
            int answer = 1;
            if (ConfirmDelete) {
                SetConfirmTitle(level, WorkPath);
                answer = AskConfirmation(owner);
            }
            if (answer)
                DeletePath(popup, WorkPath, level, ExtendBeforeOverwrite);
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
