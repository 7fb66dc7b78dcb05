/* Every box of a delete request: the refusals, the shredder's own, and
 * the end-of-request account of what the user chose and is still there. */
#include "report.h"
#include "fileio.h"
#include "names.h"
#include "paths.h"
#include "progress.h"
#include "../res/resource.h"

static int LeftCount[LEFT_KINDS];
static char FirstLeft[LEFT_KINDS][PATH_BUFFER];

void StopBox(const char *text)
{
    MessageBoxA(NULL, text, MAIN_TITLE, MB_OK | MB_ICONSTOP);
}

void RefuseTooLong(const char *path)
{
    char text[PATH_BUFFER + 80];
    wsprintfA(text, "Path too long, NOT deleted:\r\n%.259s...", path);
    StopBox(text);
}

void RefuseDriveRoot(const char *path)
{
    char text[PATH_BUFFER + 80];
    wsprintfA(text, "A whole drive is never deleted:\r\n%.259s", path);
    StopBox(text);
}

void RefuseInexactName(const char *shown, int reason)
{
    static const char *const Reasons[] = {
        "", "It holds characters this system's code page lacks.",
        "The system's path rules would change it (a trailing dot or blank, or a device's name).",
        "More than one item here goes by it.", "It lies on none of this system's drives.",
    };
    char text[PATH_BUFFER + 200];
    wsprintfA(text, "Name cannot be used exactly, NOT deleted:\r\n%.259s\r\n%s", shown,
              reason > NAME_EXACT && reason <= NAME_NO_DRIVE ? Reasons[reason] : Reasons[NAME_PATH_RULES]);
    StopBox(text);
}

void RefuseFolders(void)
{
    StopBox("Directory deletes NOT allowed.\r\nReset your options if you want to \r\ndelete a directory.");
}

void RefuseDropMemory(void)
{
    StopBox("Dropfile memory allocation problem.");
}

void RefuseLateDrop(void)
{
    StopBox("A delete is still running: this drop was NOT carried out.\r\nDrop the items again when it has ended.");
}

void RefuseFile(const char *path, int folder)
{
    ShowArrowCursor();
    FileCalls->Beep(0);
    MessageBoxA(NULL, path, folder ? "Directory (Folder) NOT Deleted" : "File NOT Deleted", MB_OK | MB_ICONQUESTION);
}

void RefuseFileMemory(void)
{
    ShowArrowCursor();
    MessageBoxA(NULL, "Problems allocating memory.\r\nFile NOT deleted.", "File Delete Error", MB_OK | MB_ICONINFORMATION);
}

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
    { "Files whose contents other names share, NOT deleted: %d\r\nOverwriting one name would overwrite what "
      "the others show.\r\nThe first: %s", MB_ICONINFORMATION },
    { "Devices and pipes, NOT deleted: %d\r\nThey are no plain files: nothing was written to them.\r\n"
      "The first: %s", MB_ICONSTOP },
    { "Files that grew while they were overwritten, NOT deleted: %d\r\nAnother program kept writing to them: "
      "their last bytes were not overwritten.\r\nThe first: %s", MB_ICONSTOP },
};

void ReportLeftInPlace(void)
{
    char text[PATH_BUFFER + 160];
    for (int kind = 0; kind < LEFT_KINDS; kind++) {
        if (!LeftCount[kind])
            continue;
        wsprintfA(text, LeftBoxes[kind].format, LeftCount[kind], FirstLeft[kind]);
        MessageBoxA(NULL, text, MAIN_TITLE, MB_OK | LeftBoxes[kind].icon);
    }
    ForgetLeftInPlace();
}
