/* Random names and random file times for the higher security levels. */
#include "rename.h"
#include "fileio.h"
#include "paths.h"
#include "random.h"

enum { DRIVE_PART, DIR_PART, NAME_PART, EXT_PART, RANDOM_PART, RENAME_PARTS };
static const DWORD RenameSizes[RENAME_PARTS] = { 5, 258, 258, 258, 518 };

int _ChangeFileName(int level, char *new_path, char *current_path)
{
    if (level != 3 && level != 4) {
        lstrcpyA(new_path, current_path);
        return 1;
    }

    HGLOBAL blocks[RENAME_PARTS] = { 0 };
    char *parts[RENAME_PARTS] = { 0 };
    int ok = 1;
    for (int i = 0; i < RENAME_PARTS && ok; i++) {
        blocks[i] = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, RenameSizes[i]);
        parts[i] = blocks[i] ? (char *)GlobalLock(blocks[i]) : NULL;
        ok = parts[i] != NULL;
    }

    if (ok) {
        char *drive = parts[DRIVE_PART], *dir = parts[DIR_PART], *name = parts[RANDOM_PART];
        SplitPath(current_path, drive, RenameSizes[DRIVE_PART], dir, RenameSizes[DIR_PART],
                  parts[NAME_PART], RenameSizes[NAME_PART], parts[EXT_PART], RenameSizes[EXT_PART]);
        SeedRandom(FileCalls->Clock());

        int letters = lstrlenA(current_path) + 2;
        int length = letters < RENAME_MAX_LETTERS ? letters : RENAME_MAX_LETTERS;
        /* The new path must still fit a path buffer. */
        int room = MAX_PATH_CHARS - lstrlenA(drive) - lstrlenA(dir);
        if (length > room)
            length = room;

        int rounds = level == 4 ? 3 : 1;
        for (int round = 0; round < rounds; round++) {
            for (int k = 0; k < letters; k++) {
                char letter = (char)('A' + DrawRandom() % 25);
                if (k < length)
                    name[k] = letter;
            }
            if (length < 1) {
                OutputDebugStringA("MoveFile (renaming) failed");
                lstrcpyA(new_path, current_path);
                break;
            }
            name[length] = 0;
            lstrcpyA(new_path, drive);
            lstrcatA(new_path, dir);
            lstrcatA(new_path, name);
            if (FileCalls->Rename(current_path, new_path)) {
                lstrcpyA(current_path, new_path);
            } else {
                OutputDebugStringA("MoveFile (renaming) failed");
                lstrcpyA(new_path, current_path);
                break;
            }
        }
    }

    for (int i = 0; i < RENAME_PARTS; i++) {
        if (parts[i])
            GlobalUnlock(blocks[i]);
        if (blocks[i])
            GlobalFree(blocks[i]);
    }
    return ok;
}

/* An invalid DOS value gives no time, so that time is left as it was. */
static const FILETIME *RandomFileTime(FILETIME *out)
{
    WORD date = (WORD)(DrawRandom() % 32000);
    WORD time_of_day = (WORD)(DrawRandom() % 32000);
    return DosDateTimeToFileTime(date, time_of_day, out) ? out : NULL;
}

int ScrambleFileTimes(int level, const char *path)
{
    if (level != 3 && level != 4)
        return 1;
    HANDLE file = FileCalls->Open(path);
    if (file == INVALID_HANDLE_VALUE)
        return 0;
    int rounds = level == 4 ? 3 : 1;
    for (int round = 0; round < rounds; round++) {
        FILETIME created, accessed, written;
        const FILETIME *c = RandomFileTime(&created);
        const FILETIME *a = RandomFileTime(&accessed);
        const FILETIME *w = RandomFileTime(&written);
        FileCalls->SetTimes(file, c, a, w);
    }
    CloseHandle(file);
    return 1;
}
