/* Links: removed themselves, never what they point to, and left in place
 * where every open follows them. */
#include "links.h"
#include "names.h"
#include "newer.h"
#include "paths.h"
#include "report.h"

#define WIDE_PATH (2 * MAX_PATH)
#define OBJECT_NAME_INFORMATION_CLASS 1

int LinksHiddenByPlatform = -1;

/* On Windows a link is a reparse point and says so in its attributes.
 * Wine shows a Unix symbolic link to a file as a plain file and follows it
 * in every open, delete and rename: there only the path an open reached
 * gives it away. */
static int PlatformHidesLinks(void)
{
    if (LinksHiddenByPlatform < 0) {
        HMODULE ntdll = GetModuleHandleA("ntdll.dll");
        LinksHiddenByPlatform = ntdll && GetProcAddress(ntdll, "wine_get_version") != NULL;
    }
    return LinksHiddenByPlatform;
}

static int LinkTestNeeded(void)
{
    if (!PlatformHidesLinks())
        return 0;
    NeedNewerCalls();
    return NewerCalls.QueryObject != NULL;
}

/* The path an open handle reached, with its drive ("X:\..."): Wine names
 * it from the file's real place, on the innermost drive that holds it. 0
 * when the system cannot say, or it lies on no drive. A name longer than
 * the buffer (a far target) fails the query: no path buffer holds it, so
 * it cannot be this path's own. */
static int ReachedPath(HANDLE file, WCHAR *out)
{
    struct { USHORT length, maximum; WCHAR *buffer; WCHAR text[WIDE_PATH + 8]; } name;   /* UNICODE_STRING */
    ULONG used;
    if (NewerCalls.QueryObject(file, OBJECT_NAME_INFORMATION_CLASS, &name, sizeof name, &used) != 0 ||
        !name.buffer)
        return 0;
    int chars = name.length / sizeof(WCHAR);
    const WCHAR *p = name.buffer;
    if (chars < 7 || chars - 4 >= WIDE_PATH || p[0] != '\\' || p[1] != '?' || p[2] != '?' || p[3] != '\\' ||
        p[5] != ':' || p[6] != '\\')
        return 0;
    for (int i = 4; i < chars; i++)
        out[i - 4] = p[i];
    out[chars - 4] = 0;
    return 1;
}

/* The same path: the drive letter as letters go (a drive has no case),
 * every other character exactly. */
static int SamePath(const WCHAR *a, const WCHAR *b)
{
    if (!a[0] || FoldAscii(a[0]) != FoldAscii(b[0]))
        return 0;
    for (a++, b++; *a == *b; a++, b++)
        if (!*a)
            return 1;
    return 0;
}

/* A path with the trailing dots and blanks of each component dropped, and
 * components of nothing else with them. */
static void DropTrailing(const WCHAR *path, WCHAR *out)
{
    int chars = WideLength(path), length = 0, start = 0;
    for (int i = 0; i <= chars; i++) {
        if (i < chars && path[i] != '\\') {
            out[length++] = path[i];
            continue;
        }
        while (length > start && (out[length - 1] == '.' || out[length - 1] == ' '))
            length--;
        if (i < chars && (length > start || i == 0 || path[i - 1] == '\\'))
            out[length++] = '\\';
        start = length;
    }
    out[length] = 0;
}

/* The volume and index of what `path` names (a folder or a file). */
static int IdentityOf(const WCHAR *path, BY_HANDLE_FILE_INFORMATION *info)
{
    char ansi[PATH_BUFFER];
    if (!ExactAnsiOfWide(path, ansi, sizeof ansi))
        return 0;
    HANDLE other = CreateFileA(ansi, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, NULL,
                               OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, NULL);
    if (other == INVALID_HANDLE_VALUE)
        return 0;
    int known = GetFileInformationByHandle(other, info);
    CloseHandle(other);
    return known;
}

static int SameIdentity(const BY_HANDLE_FILE_INFORMATION *a, const BY_HANDLE_FILE_INFORMATION *b)
{
    return a->dwVolumeSerialNumber == b->dwVolumeSerialNumber && a->nFileIndexHigh == b->nFileIndexHigh &&
           a->nFileIndexLow == b->nFileIndexLow;
}

/* Wine names what it reached without the trailing dots and blanks of its
 * components. When that is all that differs, the open reached either this
 * item itself or, through a link, the item of the shorter name: the files
 * decide. 1 when it is the other one. */
static int ReachedTheShorterName(HANDLE file, const WCHAR *mine, const WCHAR *reached)
{
    WCHAR shorter[WIDE_PATH];
    DropTrailing(mine, shorter);
    BY_HANDLE_FILE_INFORMATION here, there;
    if (!IdentityOf(shorter, &there))
        return 0;   /* nothing goes by the shorter name: the open reached this item */
    return !GetFileInformationByHandle(file, &here) || SameIdentity(&here, &there);
}

/* The last backslash of a path, or -1. */
static int LastSeparator(const WCHAR *path)
{
    int last = -1;
    for (int i = 0; path[i]; i++)
        if (path[i] == '\\')
            last = i;
    return last;
}

/* Another drive maps the same folder (a drive of a folder of another
 * drive): then the open reached this item only if the two folders are
 * proven one and the name in it is the same. */
static int SameFolderAndName(const WCHAR *mine, const WCHAR *reached)
{
    WCHAR folders[2][WIDE_PATH];
    const WCHAR *paths[2] = { mine, reached };
    BY_HANDLE_FILE_INFORMATION identity[2];
    int last[2];
    for (int k = 0; k < 2; k++) {
        last[k] = LastSeparator(paths[k]);
        if (last[k] < 2)
            return 0;
        int length = last[k] == 2 ? 3 : last[k];   /* a root keeps its backslash */
        for (int i = 0; i < length; i++)
            folders[k][i] = paths[k][i];
        folders[k][length] = 0;
        if (!IdentityOf(folders[k], &identity[k]))
            return 0;
    }
    const WCHAR *a = mine + last[0] + 1, *b = reached + last[1] + 1;
    for (; *a && *a == *b; a++, b++) {
    }
    return *a == *b && SameIdentity(&identity[0], &identity[1]);
}

/* The long form of a path; where the system cannot give it whole (Wine,
 * below a folder named by the short name of a trailing-dot name), the long
 * form of its folder and its own last part. */
static int LengthenWide(WCHAR *wide, WCHAR *longer)
{
    DWORD got = NewerCalls.GetLongPathNameW(wide, longer, WIDE_PATH);
    if (got > 0 && got < WIDE_PATH)
        return 1;
    int last = LastSeparator(wide);
    if (last < 3)
        return 0;
    wide[last] = 0;
    got = NewerCalls.GetLongPathNameW(wide, longer, WIDE_PATH);
    wide[last] = '\\';
    int length = (int)got, i = last;
    if (got == 0 || got >= WIDE_PATH)
        return 0;
    for (; wide[i] && length < WIDE_PATH - 1; i++)
        longer[length++] = wide[i];
    longer[length] = 0;
    return !wide[i];
}

int ResolvesElsewhere(const char *path)
{
    if (!LinkTestNeeded())
        return 0;
    HANDLE file = CreateFileA(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, NULL,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return 0;
    int elsewhere = OpenedElsewhere(file, path);
    CloseHandle(file);
    return elsewhere;
}

int OpenedElsewhere(HANDLE file, const char *path)
{
    if (!LinkTestNeeded())
        return 0;
    /* Whatever cannot be asked counts as a link: kept, never followed. */
    char full[MAX_PATH];
    DWORD got = GetFullPathNameA(path, sizeof full, full, NULL);
    WCHAR reached[WIDE_PATH], mine[WIDE_PATH], longer[WIDE_PATH], dropped[2][WIDE_PATH];
    if (got == 0 || got >= sizeof full)
        return 1;
    full[TrimmedLength(full)] = 0;   /* a folder named with its backslash */
    if (!MultiByteToWideChar(CP_ACP, 0, full, -1, mine, WIDE_PATH) || !ReachedPath(file, reached))
        return 1;
    if (SamePath(mine, reached))
        return 0;
    /* What is reached carries long names; a short one here must not look
     * like a link. Asked only on a mismatch: it lists every folder above.
     * Without the call a short name counts as a link: kept, never followed. */
    if (!NewerCalls.GetLongPathNameW || !LengthenWide(mine, longer))
        return 1;
    if (SamePath(longer, reached))
        return 0;
    DropTrailing(longer, dropped[0]);
    DropTrailing(reached, dropped[1]);
    if (SamePath(dropped[0], dropped[1]))
        return ReachedTheShorterName(file, longer, reached);
    if (FoldAscii(longer[0]) != FoldAscii(reached[0]))
        return !SameFolderAndName(longer, reached);
    return 1;
}

int IsLink(const char *path, DWORD attributes)
{
    return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) || ResolvesElsewhere(path);
}

void KeepLink(const char *path)
{
    char text[300];
    wsprintfA(text, "Link left in place: %.260s", path);
    OutputDebugStringA(text);
    NoteLeftInPlace(LEFT_LINK, path);
}

void RemoveLink(const char *path, DWORD attributes)
{
    char text[300];
    if (ResolvesElsewhere(path)) {
        KeepLink(path);
        return;
    }
    int removed = (attributes & FILE_ATTRIBUTE_DIRECTORY) ? RemoveDirectoryA(path) : DeleteFileA(path);
    if (!removed) {
        wsprintfA(text, "Link could not be removed: %.260s", path);
        OutputDebugStringA(text);
        NoteLeftInPlace(LEFT_LINK, path);
    }
}
