/* Drops on the main window, the confirmation dialog and the dispatch of
 * one path. */
#include "requests.h"
#include "links.h"
#include "names.h"
#include "paths.h"
#include "progress.h"
#include "report.h"
#include "shredder.h"
#include "walk.h"
#include "../settings/options.h"
#include "../res/resource.h"

char ConfirmTitle[CONFIRM_TITLE_BUFFER];
int ConfirmReply;
static HWND SavedForeground;

/* A request runs from its start to its end report; the boxes on the way
 * run message loops of their own, so a drop, a command or a close can
 * arrive meanwhile. None of them may start or change another request:
 * drops wait their turn, the close waits for the end. */
#define PENDING_DROPS 16
static int Running;
static HWND DisabledOwner;
static HDROP PendingDrop[PENDING_DROPS];
static int PendingLevel[PENDING_DROPS];
static int PendingCount;
static int QuitPending;

int RequestRunning(void)
{
    return Running;
}

void BeginRequest(HWND owner)
{
    Running = 1;
    /* Nothing on the main window can be clicked until the end. */
    DisabledOwner = NULL;
    if (owner && IsWindowEnabled(owner)) {
        EnableWindow(owner, FALSE);
        DisabledOwner = owner;
    }
    ForgetLeftInPlace();
    BeginShredRequest();
}

void EndRequest(void)
{
    ReportLeftInPlace();
    if (DisabledOwner) {
        EnableWindow(DisabledOwner, TRUE);
        if (GetForegroundWindow() == DisabledOwner)
            SetFocus(DisabledOwner);
    }
    DisabledOwner = NULL;
    Running = 0;
}

/* Ending a dialog enables its owner, whatever it was before. */
void HoldOwnerDisabled(void)
{
    if (Running && DisabledOwner)
        EnableWindow(DisabledOwner, FALSE);
}

void QuitAfterRequest(void)
{
    QuitPending = 1;
}

void FinishRequests(HWND owner)
{
    while (!Running && PendingCount > 0) {
        HDROP drop = PendingDrop[0];
        int level = PendingLevel[0];
        PendingCount--;
        for (int i = 0; i < PendingCount; i++) {
            PendingDrop[i] = PendingDrop[i + 1];
            PendingLevel[i] = PendingLevel[i + 1];
        }
        DeleteDroppedFiles(owner, drop, level);
    }
    if (!Running && QuitPending) {
        QuitPending = 0;
        PostQuitMessage(0);
    }
}

void HandleDrop(HWND owner, HDROP drop, int level)
{
    if (!Running) {
        DeleteDroppedFiles(owner, drop, level);
        FinishRequests(owner);
        return;
    }
    if (PendingCount < PENDING_DROPS) {
        PendingDrop[PendingCount] = drop;
        PendingLevel[PendingCount] = level;
        PendingCount++;
        return;
    }
    DragFinish(drop);
    MessageBoxA(NULL, "A delete is still running: this drop was NOT carried out.\r\n"
                "Drop the items again when it has ended.", "Zorvex", MB_OK | MB_ICONSTOP);
}

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
    int folder = IsFolderAttributes(attributes);
    if (folder && IsDriveRoot(WorkPath)) {
        RefuseDriveRoot(WorkPath);
        return;
    }
    /* The path rules would make it name another item. */
    if (!IsExactPath(WorkPath)) {
        RefuseInexactName(WorkPath, 0);
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

void SetConfirmTitle(int level, const char *path)
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

/* The dropped item's wide name, where the system gives one, spelt exactly
 * or by its short path; else its ANSI name if the path rules keep it. */
typedef UINT (WINAPI *DragQueryWide)(HDROP, UINT, LPWSTR, UINT);
static DragQueryWide DragQueryFileWide;
static int WideDropLookedUp;

static int ExactDroppedPath(HDROP drop, UINT index, const char *name, char *out)
{
    if (!WideDropLookedUp) {
        DragQueryFileWide = (DragQueryWide)(void *)GetProcAddress(GetModuleHandleA("shell32.dll"), "DragQueryFileW");
        WideDropLookedUp = 1;
    }
    WCHAR wide[2 * MAX_PATH];
    if (DragQueryFileWide && DragQueryFileWide(drop, index, NULL, 0) < 2 * MAX_PATH &&
        DragQueryFileWide(drop, index, wide, 2 * MAX_PATH))
        return ExactPathOfWide(wide, out, PATH_BUFFER);
    lstrcpyA(out, name);
    return IsExactPath(out);
}

/* One dropped item: refused when no path buffer holds it (a cut copy would
 * name another file) or when its name would reach another item, else
 * confirmed and destroyed. */
static void DeleteDroppedName(HWND owner, HWND popup, HDROP drop, UINT index, const char *name, int level)
{
    if (!FitsPathBuffer(name)) {
        RefuseTooLong(name);
        return;
    }
    if (IsFolder(name) && IsDriveRoot(name)) {
        RefuseDriveRoot(name);
        return;
    }
    char exact[PATH_BUFFER];
    if (!ExactDroppedPath(drop, index, name, exact)) {
        RefuseInexactName(exact, 0);
        return;
    }
    lstrcpyA(WorkPath, exact);
    if (ConfirmDelete) {
        SetConfirmTitle(level, WorkPath);
        if (!AskConfirmation(owner))
            return;
    }
    DeletePath(popup, WorkPath, level, ExtendBeforeOverwrite);
}

void DeleteDroppedFiles(HWND owner, HDROP drop, int level)
{
    BeginRequest(owner);
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
            DeleteDroppedName(owner, popup, drop, index, name, level);
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
    EndRequest();
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
