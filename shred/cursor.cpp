/* The request's cursors. */
#include "cursor.h"
#include <windows.h>

static HCURSOR ShownCursor;
static int WaitHeld;

/* Loaded once: under Wine each load is a round trip to the server. */
static HCURSOR WaitCursor, ArrowCursor;

static void ShowCursorOf(HCURSOR *loaded, LPCSTR id)
{
    if (!*loaded)
        *loaded = LoadCursor(NULL, id);
    if (*loaded != ShownCursor)
        SetCursor(*loaded);
    ShownCursor = *loaded;
}

void ForgetShownCursor(void) { ShownCursor = NULL; }
void ShowWaitCursor(void) { ShowCursorOf(&WaitCursor, IDC_WAIT); }
void ShowArrowCursor(void) { ShowCursorOf(&ArrowCursor, IDC_ARROW); }
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
