/* The Delete command: one file picked in the file-open dialog, confirmed
 * and destroyed like a dropped one. */
#include "chooser.h"
#include "confirm.h"
#include "names.h"
#include "paths.h"
#include "progress.h"
#include "report.h"
#include "requests.h"
#include "shredder.h"
#include "../settings/options.h"
#include <commdlg.h>
#include <stddef.h>

/* The record as Windows 95 and NT 4 know it; today's headers declare a
 * longer one, which those systems refuse. */
#ifdef _WIN64
#define FILE_REQUEST_SIZE OPENFILENAME_SIZE_VERSION_400A
#else
#define FILE_REQUEST_SIZE 76
/* It ends with lpTemplateName: the headers add fields after it. */
static_assert(offsetof(OPENFILENAMEA, lpTemplateName) + sizeof(LPCSTR) == FILE_REQUEST_SIZE,
              "the 32-bit record is 76 bytes");
#endif

int ForcePlainDelete;
char LastDirectory[LAST_DIRECTORY_BUFFER];
static OPENFILENAMEA FileRequest;
static char ChosenFile[MAX_PATH];
static const char FileFilters[] =
    "All Files (*.*)\0*.*\0"
    "Backup Files (*.BAK)\0*.BAK\0"
    "Other Backup Files (*.~*)\0*.~*\0";   /* the literal's own zero ends the list */

int ListFiles(HWND owner, int level)
{
    char title[CAPTION_BUFFER];
    ZeroMemory(&FileRequest, sizeof FileRequest);
    LevelCaption(level, title);
    LastDirectory[0] = 0;
    if (UseDirectory)
        LoadLastDirectory(LastDirectory);
    ChosenFile[0] = 0;
    FileRequest.lStructSize = FILE_REQUEST_SIZE;
    FileRequest.hwndOwner = owner;
    FileRequest.lpstrFilter = FileFilters;
    FileRequest.lpstrFile = ChosenFile;
    FileRequest.nMaxFile = sizeof ChosenFile;
    FileRequest.lpstrInitialDir = LastDirectory;
    FileRequest.lpstrTitle = title;
    FileRequest.Flags = OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST | OFN_SHAREAWARE;

    BOOL chosen = GetOpenFileNameA(&FileRequest);
    if (!chosen)
        return 0;
    OutputDebugStringA("ListFiles() ofn.lpstrFile");
    OutputDebugStringA(ChosenFile);
    if (!FitsPathBuffer(ChosenFile)) {
        RefuseTooLong(ChosenFile);
        return 0;
    }
    /* The dialog speaks ANSI: what it hands back may be the look-alike of
     * the picked file's name, and name another file. */
    char exact[PATH_BUFFER];
    int found = ExactChosenPath(ChosenFile, exact, sizeof exact);
    if (found != NAME_EXACT) {
        RefuseInexactName(ChosenFile, NULL, found);
        return 0;
    }
    lstrcpyA(WorkPath, exact);
    if (UseDirectory) {
        char drive[3], dir[PATH_BUFFER];
        SplitPath(WorkPath, drive, sizeof drive, dir, sizeof dir, NULL, 0, NULL, 0);
        lstrcpyA(LastDirectory, drive);
        lstrcatA(LastDirectory, dir);
        SaveLastDirectory(LastDirectory);
    }
    return chosen;
}

static int CommandLevel(void)
{
    if (ForcePlainDelete)
        return 1;
    int level = RequestLevel();
    DiscardShiftState();
    return level;
}

static void ChooseAndDelete(HWND owner, int level)
{
    int chosen = ListFiles(owner, level);
    HoldOwnerDisabled();
    if (!chosen)
        return;
    if (ConfirmDelete)
        ConfirmReply = REPLY_SINGLE;   /* one file: no Cancel */
    if (!ConfirmItem(owner, level))
        return;
    HWND popup = CreateProgressPopup();
    DeletePath(popup, WorkPath, level, ExtendBeforeOverwrite);
    CloseProgressPopup(popup);
}

/* The whole command is one request: drops during the chooser wait too. */
void DeleteCommand(HWND owner)
{
    int level = CommandLevel();
    BeginRequest(owner);
    ChooseAndDelete(owner, level);
    EndRequest();
}

void PlainDeleteCommand(HWND owner)
{
    ForcePlainDelete = 1;
    DiscardShiftState();
    DeleteCommand(owner);
    ForcePlainDelete = 0;
    DiscardShiftState();
}
