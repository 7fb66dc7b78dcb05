/* The end-of-request account: links, which are never followed, and walk
 * entries whose path no buffer holds. */
#include "report.h"
#include "paths.h"

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
