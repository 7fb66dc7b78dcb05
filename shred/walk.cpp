/* Destroys a folder tree: walks it with relative names from the current
 * directory, subfolders first, then the files and emptied folders of each
 * level, the folder itself last. */
#include "walk.h"
#include "cursor.h"
#include "links.h"
#include "names.h"
#include "paths.h"
#include "progress.h"
#include "report.h"
#include "shredder.h"

#define SAVED_DIR_BUFFER 260
#define EXPLORER_REFRESH 41061

struct WalkState {
    char CurrentDir[500];
    int more;
    DWORD is_dir;
    int level;
    int extend;
    WIN32_FIND_DATAA FindData;
    HWND popup;
};

static void WalkLevel(WalkState *state);
static int FindNextSubdir(HANDLE search, WIN32_FIND_DATAA *entry);

static void Trace(const char *what, const char *where)
{
    char text[600];
    wsprintfA(text, "%s: %.500s", what, where);
    OutputDebugStringA(text);
}

static int Vanished(DWORD error)
{
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

static int IsSubdir(const WIN32_FIND_DATAA *entry)
{
    return (entry->dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && entry->cFileName[0] != '.';
}

/* A linked folder is never entered: it could lead out of the tree. Nor is
 * one whose name does not name it exactly. */
static int IsEnterable(const WIN32_FIND_DATAA *entry, int exact)
{
    if (!exact || !IsSubdir(entry) || (entry->dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
        return 0;
    /* Some listings leave the link bit out; the entry's own attributes have it. */
    DWORD attributes = GetFileAttributesA(entry->cFileName);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

static HANDLE FindFirstSubdir(const char *pattern, WIN32_FIND_DATAA *entry)
{
    int exact;
    HANDLE search = FindFirstExact(pattern, entry, &exact);
    if (search == INVALID_HANDLE_VALUE)
        return search;
    if (IsEnterable(entry, exact) || FindNextSubdir(search, entry))
        return search;
    FindClose(search);
    return INVALID_HANDLE_VALUE;
}

static int FindNextSubdir(HANDLE search, WIN32_FIND_DATAA *entry)
{
    int exact;
    while (FindNextExact(search, entry, &exact))
        if (IsEnterable(entry, exact))
            return 1;
    return 0;
}

/* Whether the change into the entry led one level down from `here`. */
static int EnteredOneLevelDown(const char *here, const char *name)
{
    char entered[500], expected[500];
    DWORD got = GetCurrentDirectoryA(sizeof entered, entered);
    if (got == 0 || got >= sizeof entered || !JoinPath(expected, sizeof expected, here, name))
        return 0;
    /* Exactly: beside a case twin, the other one is no level down. */
    return SameText(entered, expected, 0);
}

/* Pass 1: into every subfolder. 0 when this level lost its place. */
static int WalkSubfolders(WalkState *state, const char *here)
{
    HANDLE search = FindFirstSubdir("*.*", &state->FindData);
    state->more = search != INVALID_HANDLE_VALUE;
    int in_place = 1;
    while (state->more && !KeepAlive()) {
        char skipped[600];
        wsprintfA(skipped, "%.400s\\%.190s", here, state->FindData.cFileName);
        if (lstrlenA(here) + 1 + lstrlenA(state->FindData.cFileName) > MAX_PATH_CHARS) {
            /* Left to the second pass, which tells it as too long. */
        } else if (!SetCurrentDirectoryA(state->FindData.cFileName)) {
            Trace("SetCurrentDirectory() failed, skipped", skipped);
            if (!Vanished(GetLastError()))
                NoteLeftInPlace(LEFT_NOT_ENTERED, skipped);
        } else if (!EnteredOneLevelDown(here, state->FindData.cFileName)) {
            /* Never the walked folder again, nor anything beside it. */
            Trace("Entered elsewhere, skipped", skipped);
            NoteLeftInPlace(LEFT_UNREACHABLE, skipped);
            if (!SetCurrentDirectoryA(here)) {
                in_place = 0;
                break;
            }
        } else {
            WalkLevel(state);
            SetCurrentDirectoryA("..");
            GetCurrentDirectoryA(sizeof state->CurrentDir, state->CurrentDir);
            /* Back where this level started, or nowhere further. */
            if (!SameText(state->CurrentDir, here, 0) && !SetCurrentDirectoryA(here)) {
                Trace("Walk lost its folder", here);
                NoteLeftInPlace(LEFT_NOT_ENTERED, here);
                in_place = 0;
                break;
            }
            lstrcpyA(state->CurrentDir, here);
        }
        state->more = FindNextSubdir(search, &state->FindData);
    }
    if (search != INVALID_HANDLE_VALUE)
        FindClose(search);
    return in_place;
}

/* Pass 2: shred the files, remove the emptied folders and any links. */
static void DestroyEntries(WalkState *state)
{
    int exact;
    HANDLE search = FindFirstExact("*.*", &state->FindData, &exact);
    state->more = search != INVALID_HANDLE_VALUE;
    while (state->more && !KeepAlive()) {
        state->is_dir = state->FindData.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY;
        if (!state->is_dir || IsSubdir(&state->FindData)) {
            if (!exact) {
                char left[600];
                wsprintfA(left, "%.400s\\%.190s", state->CurrentDir, state->FindData.cFileName);
                NoteLeftInPlace(LEFT_UNREACHABLE, left);
            } else if (!JoinPath(ScratchPath, MAX_PATH_CHARS + 1, state->CurrentDir, state->FindData.cFileName)) {
                char skipped[600];
                wsprintfA(skipped, "%.500s\\%.90s", state->CurrentDir, state->FindData.cFileName);
                Trace("Path too long, skipped", skipped);
                NoteLeftInPlace(LEFT_TOO_LONG, skipped);
            } else {
                lstrcpyA(WorkPath, ScratchPath);
                DWORD attributes = GetFileAttributesA(ScratchPath);
                ShowProgressOf(state->popup, WorkPath, IsFolderAttributes(attributes));
                if (attributes == INVALID_FILE_ATTRIBUTES) {
                    /* Vanished, or a name the file calls cannot reach. */
                    if (!RemoveDirectoryA(ScratchPath) && !Vanished(GetLastError()))
                        NoteLeftInPlace(LEFT_UNREACHABLE, ScratchPath);
                } else if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) ||
                           ((attributes & FILE_ATTRIBUTE_DIRECTORY) && IsLink(ScratchPath, attributes))) {
                    RemoveLink(ScratchPath, attributes);
                } else if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
                    if (!RemoveDirectoryA(ScratchPath))
                        NoteLeftInPlace(LEFT_NOT_REMOVED, ScratchPath);
                } else {
                    /* A file's link test rides on the shredder's first open. */
                    ShredWalkedFile(state->level, state->extend);
                }
                CountItemDone();
            }
        }
        state->more = FindNextExact(search, &state->FindData, &exact);
    }
    if (search != INVALID_HANDLE_VALUE)
        FindClose(search);
}

static void WalkLevel(WalkState *state)
{
    char here[sizeof state->CurrentDir];
    DWORD got = GetCurrentDirectoryA(sizeof state->CurrentDir, state->CurrentDir);
    if (got == 0 || got >= sizeof state->CurrentDir)
        return;
    lstrcpyA(here, state->CurrentDir);
    /* After Stop nothing more is touched. */
    if (WalkSubfolders(state, here) && !StopPressed())
        DestroyEntries(state);
}

void DirWalk(HWND popup, const char *path, int level, int extend)
{
    char saved[SAVED_DIR_BUFFER];
    GetCurrentDirectoryA(sizeof saved, saved);
    /* The folder is removed by the full path it has now: a box during the
     * walk runs a message loop, and the current directory at the end may
     * be anywhere. */
    char folder[PATH_BUFFER];
    DWORD got = GetFullPathNameA(path, sizeof folder, folder, NULL);
    /* Never walk whatever directory happens to be current. */
    if (got == 0 || got >= sizeof folder || !SetCurrentDirectoryA(folder)) {
        Trace("SetCurrentDirectory() failed, nothing deleted", path);
        NoteLeftInPlace(LEFT_NOT_ENTERED, path);
        return;
    }
    folder[TrimmedLength(folder)] = 0;
    WalkState state;
    ZeroMemory(&state, sizeof state);
    state.level = level;
    state.extend = extend;
    state.popup = popup;
    ShowWaitCursor();
    HoldWaitCursor(1);
    CountItems(1);
    WalkLevel(&state);
    CountItems(0);
    HoldWaitCursor(0);
    ShowArrowCursor();

    lstrcpyA(ScratchPath, folder);
    /* Out of the folder, so that it can go. */
    char parent[PATH_BUFFER], dir[PATH_BUFFER];
    SplitPath(folder, parent, 3, dir, sizeof dir, NULL, 0, NULL, 0);
    lstrcatA(parent, dir);
    SetCurrentDirectoryA(parent);
    if (StopPressed()) {
        NoteLeftInPlace(LEFT_NOT_REACHED, folder);
    } else if (!RemoveDirectoryA(folder)) {
        OutputDebugStringA("RemoveDirectory() in DirWalk() failed");
        NoteLeftInPlace(LEFT_NOT_REMOVED, folder);
    }
    HWND explorer = FindWindowA("ExploreWClass", NULL);
    if (explorer)
        SendMessageA(explorer, WM_COMMAND, EXPLORER_REFRESH, 0);
    SetCurrentDirectoryA(saved);
}
