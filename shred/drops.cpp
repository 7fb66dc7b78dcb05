/* The drop source: a batch of dropped items confirmed and destroyed one by
 * one, the drops and the quit that arrive while a request runs, and each
 * dropped item's exact path. */
#include "drops.h"
#include "confirm.h"
#include "names.h"
#include "newer.h"
#include "paths.h"
#include "progress.h"
#include "report.h"
#include "requests.h"
#include "shredder.h"
#include "../settings/options.h"

/* Drops wait their turn, the close waits for the end. */
#define PENDING_DROPS 16
static HDROP PendingDrop[PENDING_DROPS];
static int PendingLevel[PENDING_DROPS];
static int PendingCount;
static int QuitPending;

void QuitAfterRequest(void)
{
    QuitPending = 1;
}

void FinishRequests(HWND owner)
{
    while (!RequestRunning() && PendingCount > 0) {
        /* Stop ends what was asked during the request too. */
        if (StopPressed()) {
            int discarded = PendingCount;
            while (PendingCount > 0)
                DragFinish(PendingDrop[--PendingCount]);
            RefuseDropsAfterStop(discarded);
            break;
        }
        HDROP drop = PendingDrop[0];
        int level = PendingLevel[0];
        PendingCount--;
        for (int i = 0; i < PendingCount; i++) {
            PendingDrop[i] = PendingDrop[i + 1];
            PendingLevel[i] = PendingLevel[i + 1];
        }
        DeleteDroppedFiles(owner, drop, level);
    }
    if (!RequestRunning() && QuitPending) {
        QuitPending = 0;
        PostQuitMessage(0);
    }
}

void HandleDrop(HWND owner, HDROP drop, int level)
{
    if (!RequestRunning()) {
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
    RefuseLateDrop();
}

/* The dropped item's wide name, where the system gives one, spelt exactly
 * or by its short path; else its ANSI name if the path rules keep it. A
 * NAME_ answer. */
static int ExactDroppedPath(HDROP drop, UINT index, const char *name, char *out, WCHAR *wide)
{
    NeedNewerCalls();
    wide[0] = 0;
    if (NewerCalls.DragQueryFileW && NewerCalls.DragQueryFileW(drop, index, NULL, 0) < 2 * MAX_PATH &&
        NewerCalls.DragQueryFileW(drop, index, wide, 2 * MAX_PATH))
        return ExactPathOfWide(wide, out, PATH_BUFFER);
    wide[0] = 0;
    lstrcpyA(out, name);
    return IsExactPath(out) ? NAME_EXACT : NAME_PATH_RULES;
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
    WCHAR wide[2 * MAX_PATH];
    int found = ExactDroppedPath(drop, index, name, exact, wide);
    if (found != NAME_EXACT) {
        RefuseInexactName(exact, wide[0] ? wide : NULL, found);
        return;
    }
    lstrcpyA(WorkPath, exact);
    if (ConfirmItem(owner, level))
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
            RefuseDropMemory();
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
        /* Stop: what comes after is not reached, and told. */
        if (StopPressed()) {
            char left[PATH_BUFFER];
            while (++index < count)
                if (DragQueryFileA(drop, index, NULL, 0) < PATH_BUFFER && DragQueryFileA(drop, index, left, PATH_BUFFER))
                    NoteLeftInPlace(LEFT_NOT_REACHED, left);
            break;
        }
    }
    DragFinish(drop);
    CloseProgressPopup(popup);
    EndRequest();
}
