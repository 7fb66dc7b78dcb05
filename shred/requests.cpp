/* The request guard, the level of a request and the dispatch of one
 * path. */
#include "requests.h"
#include "links.h"
#include "names.h"
#include "paths.h"
#include "progress.h"
#include "report.h"
#include "shredder.h"
#include "walk.h"
#include "../settings/options.h"

/* A request runs from its start to its end report; the boxes on the way
 * run message loops of their own, so a drop, a command or a close can
 * arrive meanwhile. None of them may start or change another request. */
static int Running;
static HWND DisabledOwner;

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
    BeginProgressRequest();
    BeginShredRequest();
}

void EndRequest(void)
{
    ReportLeftInPlace();
    EndProgressRequest();
    if (DisabledOwner) {
        EnableWindow(DisabledOwner, TRUE);
        if (GetForegroundWindow() == DisabledOwner)
            SetFocus(DisabledOwner);
    }
    DisabledOwner = NULL;
    Running = 0;
}

void HoldOwnerDisabled(void)
{
    if (Running && DisabledOwner)
        EnableWindow(DisabledOwner, FALSE);
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
    /* Stop may come while this item's confirmation is up. */
    if (KeepAlive()) {
        NoteLeftInPlace(LEFT_NOT_REACHED, path);
        return;
    }
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
        RefuseInexactName(WorkPath, NULL, NAME_PATH_RULES);
        return;
    }
    /* The folder rule holds for a linked folder too. */
    if (folder && !AllowDirectoryDelete) {
        RefuseFolders();
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
