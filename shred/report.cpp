/* The end-of-request account of what the user chose and is still there. */
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

/* One box per kind, in this order; %d is the count, %s the first path. */
struct LeftBox { const char *format; UINT icon; };
static const LeftBox LeftBoxes[LEFT_KINDS] = {
    { "Folders that could not be opened, NOT deleted: %d\r\nThe first: %s", MB_ICONSTOP },
    { "Files whose overwrite failed, NOT deleted: %d\r\nA write was refused (is the disk full?).\r\n"
      "The first: %s", MB_ICONSTOP },
    { "Files overwritten but NOT deleted: %d\r\nAnother program may hold them open.\r\nThe first: %s",
      MB_ICONSTOP },
    { "Files NOT deleted: %d\r\nAnother program may hold them open.\r\nThe first: %s", MB_ICONSTOP },
    { "Folders NOT removed: %d\r\nThe first: %s", MB_ICONSTOP },
    { "Names that could not be reached, NOT deleted: %d\r\nThe first: %s", MB_ICONSTOP },
    { "Links NOT deleted: %d\r\nA link is never followed: what it points to is untouched.\r\nThe first: %s",
      MB_ICONINFORMATION },
    { "Paths too long, NOT deleted: %d\r\nThe first: %s...", MB_ICONSTOP },
};

void ReportLeftInPlace(void)
{
    char text[PATH_BUFFER + 160];
    for (int kind = 0; kind < LEFT_KINDS; kind++) {
        if (!LeftCount[kind])
            continue;
        wsprintfA(text, LeftBoxes[kind].format, LeftCount[kind], FirstLeft[kind]);
        MessageBoxA(NULL, text, "Zorvex", MB_OK | LeftBoxes[kind].icon);
    }
    ForgetLeftInPlace();
}
