/* The request's cursors. */
#include "cursor.h"
#include <windows.h>

static HCURSOR ShownCursor;
static int WaitHeld;

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

void RestoreShownCursor(void)
{
    if (ShownCursor)
        SetCursor(ShownCursor);
}
