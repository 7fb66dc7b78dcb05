/* Every box of a delete request: the refusals, the shredder's own, and
 * the end-of-request account of what the user chose and is still there.
 * Items are named as the user knows them: wide where the system shows
 * wide texts, never by a short name alone. */
#include "report.h"
#include "cursor.h"
#include "fileio.h"
#include "names.h"
#include "newer.h"
#include "paths.h"
#include "../res/resource.h"

#define NAME_CHARS (2 * MAX_PATH)
#define TOLD_CHARS (NAME_CHARS + 400)

static int LeftCount[LEFT_KINDS];
static WCHAR FirstLeft[LEFT_KINDS][NAME_CHARS];

static void CopyWide(WCHAR *out, const WCHAR *from, int size)
{
    int i = 0;
    for (; from[i] && i < size - 1; i++)
        out[i] = from[i];
    out[i] = 0;
}

/* The text widened, cut to `size` characters with the terminator. */
static int Widen(const char *text, WCHAR *out, int size)
{
    WCHAR whole[TOLD_CHARS];
    if (!MultiByteToWideChar(CP_ACP, 0, text, -1, whole, TOLD_CHARS))
        whole[0] = 0;
    CopyWide(out, whole, size);
    return WideLength(out);
}

/* A box: `before`, the item's name (at most `cut` characters of it, then
 * "..."; 0 for all), `after`. The name is `wide` when given, else the
 * display name of `name`. */
static void TellName(const char *before, const char *name, const WCHAR *wide, int cut, const char *after,
                     const char *caption, UINT type)
{
    WCHAR shown[NAME_CHARS];
    if (wide)
        CopyWide(shown, wide, NAME_CHARS);
    else if (cut)
        Widen(name, shown, NAME_CHARS);
    else
        DisplayNameOf(name, shown, NAME_CHARS);
    if (cut && WideLength(shown) > cut)
        shown[cut] = 0;
    NeedNewerCalls();
    WCHAR text[TOLD_CHARS];
    int length = Widen(before, text, TOLD_CHARS);
    for (const WCHAR *c = shown; *c && length < TOLD_CHARS - 8; c++)
        text[length++] = *c;
    length += Widen(cut && WideLength(shown) == cut ? "..." : "", text + length, TOLD_CHARS - length);
    Widen(after, text + length, TOLD_CHARS - length);
    if (NewerCalls.MessageBoxW) {
        WCHAR title[64];
        Widen(caption, title, 64);
        NewerCalls.MessageBoxW(NULL, text, title, type);
        return;
    }
    char ansi[TOLD_CHARS];
    if (!WideCharToMultiByte(CP_ACP, 0, text, -1, ansi, sizeof ansi, NULL, NULL))
        ansi[0] = 0;
    MessageBoxA(NULL, ansi, caption, type);
}

void StopBox(const char *text)
{
    MessageBoxA(NULL, text, MAIN_TITLE, MB_OK | MB_ICONSTOP);
}

void RefuseTooLong(const char *path)
{
    TellName("Path too long, NOT deleted:\r\n", path, NULL, MAX_PATH_CHARS, "", MAIN_TITLE, MB_OK | MB_ICONSTOP);
}

void RefuseDriveRoot(const char *path)
{
    TellName("A whole drive is never deleted:\r\n", path, NULL, 0, "", MAIN_TITLE, MB_OK | MB_ICONSTOP);
}

void RefuseInexactName(const char *shown, const WCHAR *wide, int reason)
{
    static const char *const Reasons[] = {
        "", "It holds characters this system's code page lacks.",
        "The system's path rules would change it (a trailing dot or blank, or a device's name).",
        "More than one item here goes by it.", "It lies on none of this system's drives.",
    };
    char after[200];
    lstrcpyA(after, "\r\n");
    lstrcatA(after, reason > NAME_EXACT && reason <= NAME_NO_DRIVE ? Reasons[reason] : Reasons[NAME_PATH_RULES]);
    TellName("Name cannot be used exactly, NOT deleted:\r\n", shown, wide, 0, after, MAIN_TITLE,
             MB_OK | MB_ICONSTOP);
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

void RefuseDropsAfterStop(int count)
{
    char text[160];
    wsprintfA(text, "Stopped: the drops made while the delete ran were NOT carried out: %d", count);
    MessageBoxA(NULL, text, MAIN_TITLE, MB_OK | MB_ICONINFORMATION);
}

void RefuseFile(const char *path, int folder)
{
    ShowArrowCursor();
    FileCalls->Beep(0);
    TellName("", path, NULL, 0, "", folder ? "Directory (Folder) NOT Deleted" : "File NOT Deleted",
             MB_OK | MB_ICONQUESTION);
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
    if (LeftCount[kind]++ != 0)
        return;
    /* Told at the end, named as it is now; a made-up path as it stands,
     * one too long as far as a path buffer holds. */
    if (kind == LEFT_TOO_LONG || kind == LEFT_UNREACHABLE)
        Widen(path, FirstLeft[kind], NAME_CHARS);
    else
        DisplayNameOf(path, FirstLeft[kind], NAME_CHARS);
    if (kind == LEFT_TOO_LONG)
        FirstLeft[kind][MAX_PATH_CHARS] = 0;
}

/* One box per kind, in this order: the count, then the first item. */
struct LeftBox { const char *format; const char *after; UINT icon; };
static const LeftBox LeftBoxes[LEFT_KINDS] = {
    { "Folders that could not be opened, NOT deleted: %d\r\nThe first: ", "", MB_ICONSTOP },
    { "Files whose overwrite failed, NOT deleted: %d\r\nThe system refused a write, a flush or a read (is the disk full?).\r\nThe first: ", "",
      MB_ICONSTOP },
    { "Files overwritten but NOT deleted: %d\r\nAnother program may hold them open.\r\nThe first: ", "",
      MB_ICONSTOP },
    { "Files NOT deleted: %d\r\nAnother program may hold them open.\r\nThe first: ", "", MB_ICONSTOP },
    { "Folders NOT removed: %d\r\nThe first: ", "", MB_ICONSTOP },
    { "Names that could not be reached, NOT deleted: %d\r\nThe first: ", "", MB_ICONSTOP },
    { "Links NOT deleted: %d\r\nA link is never followed: what it points to is untouched.\r\nThe first: ", "",
      MB_ICONINFORMATION },
    { "Paths too long, NOT deleted: %d\r\nThe first: ", "...", MB_ICONSTOP },
    { "Files whose contents other names share, NOT deleted: %d\r\nOverwriting one name would overwrite what "
      "the others show.\r\nThe first: ", "", MB_ICONINFORMATION },
    { "Devices and pipes, NOT deleted: %d\r\nThey are no plain files: nothing was written to them.\r\n"
      "The first: ", "", MB_ICONSTOP },
    { "Files that grew while they were overwritten, NOT deleted: %d\r\nAnother program kept writing to them: "
      "their last bytes were not overwritten.\r\nThe first: ", "", MB_ICONSTOP },
    { "Stopped: files left partly overwritten, NOT deleted: %d\r\nThe first: ", "", MB_ICONSTOP },
    { "Stopped before these were reached, NOT deleted: %d\r\nThey were left as they were.\r\nThe first: ", "",
      MB_ICONINFORMATION },
};

void ReportLeftInPlace(void)
{
    char before[400];
    for (int kind = 0; kind < LEFT_KINDS; kind++) {
        if (!LeftCount[kind])
            continue;
        wsprintfA(before, LeftBoxes[kind].format, LeftCount[kind]);
        TellName(before, NULL, FirstLeft[kind], 0, LeftBoxes[kind].after, MAIN_TITLE, MB_OK | LeftBoxes[kind].icon);
    }
    ForgetLeftInPlace();
}
