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

/* The last backslash of a path, or -1. */
static int LastSeparator(const WCHAR *path)
{
    int last = -1;
    for (int i = 0; path[i]; i++)
        if (path[i] == '\\')
            last = i;
    return last;
}

/* How Wine reports a component: a folder's without its last dot, the last
 * one without its trailing dots and blanks. Its new length. */
static int Reported(const WCHAR *part, int length, int final)
{
    if (!final)
        return length > 0 && part[length - 1] == '.' ? length - 1 : length;
    while (length > 0 && (part[length - 1] == '.' || part[length - 1] == ' '))
        length--;
    return length;
}

/* The path as Wine would report it; 1 when that is the path itself. */
static int ReportedPath(const WCHAR *path, WCHAR *out)
{
    int length = 0, same = 1;
    for (int start = 0; path[start];) {
        int end = start;
        while (path[end] && path[end] != '\\')
            end++;
        int kept = start < 3 ? end - start : Reported(path + start, end - start, !path[end]);
        same = same && kept == end - start;
        for (int i = 0; i < kept; i++)
            out[length++] = path[start + i];
        if (path[end])
            out[length++] = '\\';
        start = path[end] ? end + 1 : end;
    }
    out[length] = 0;
    return same;
}

/* Whether a wide path as it stands (past the path rules) opens `file`. */
static int OpensToFile(const WCHAR *path, HANDLE file)
{
    WCHAR exact[WIDE_PATH + 8] = { '\\', '\\', '?', '\\' };
    int length = WideLength(path);
    if (length >= WIDE_PATH)
        return 0;
    for (int i = 0; i <= length; i++)
        exact[4 + i] = path[i];
    HANDLE other = NewerCalls.CreateFileW(exact, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, NULL,
                                          OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, NULL);
    int same = SameFile(other, file);
    if (other != INVALID_HANDLE_VALUE)
        CloseHandle(other);
    return same;
}

/* A component of `mine` (from `start` to `end`) that Wine reports in
 * another form: other names of its folder may be reported alike. The open
 * reached this item only if none of them, with the rest of the path,
 * opens the same file. */
static int NoOtherNameReachesIt(HANDLE file, const WCHAR *mine, int start, int end)
{
    int final = !mine[end], kept = Reported(mine + start, end - start, final);
    int rest = WideLength(mine + end);
    WCHAR path[WIDE_PATH + 4];
    for (int i = 0; i < start; i++)
        path[i] = mine[i];
    path[start] = '*';
    path[start + 1] = 0;
    WIN32_FIND_DATAW entry;
    HANDLE search = NewerCalls.FindFirstFileW(path, &entry);
    if (search == INVALID_HANDLE_VALUE)
        return 0;
    int alone = 1;
    do {
        int chars = WideLength(entry.cFileName), i = 0;
        int own = chars == end - start;
        for (; own && i < chars; i++)
            own = entry.cFileName[i] == mine[start + i];
        int alike = !own && Reported(entry.cFileName, chars, final) == kept;
        for (i = 0; alike && i < kept; i++)
            alike = entry.cFileName[i] == mine[start + i];
        if (!alike || start + chars + rest >= WIDE_PATH)
            continue;
        int at = start;
        for (i = 0; i < chars; i++)
            path[at++] = entry.cFileName[i];
        for (i = end; mine[i]; i++)
            path[at++] = mine[i];
        path[at] = 0;
        alone = !OpensToFile(path, file);
    } while (alone && NewerCalls.FindNextFileW(search, &entry));
    FindClose(search);
    return alone;
}

/* A path Wine reports in another form (a trailing dot or blank dropped):
 * the open reached this item only if this path opens the file and no
 * other name reported alike does. */
static int ReachedThroughItsOwnName(HANDLE file, const WCHAR *mine)
{
    if (!NewerCalls.CreateFileW || !NewerCalls.FindFirstFileW || !NewerCalls.FindNextFileW ||
        !OpensToFile(mine, file))
        return 0;
    for (int start = 3; mine[start];) {
        int end = start;
        while (mine[end] && mine[end] != '\\')
            end++;
        if (Reported(mine + start, end - start, !mine[end]) != end - start &&
            !NoOtherNameReachesIt(file, mine, start, end))
            return 0;
        start = mine[end] ? end + 1 : end;
    }
    return 1;
}

/* Another drive maps a folder of this item's path (Wine names a file by
 * the innermost drive that holds it): the reached path is that drive's
 * root and the rest of this path exactly; the folder it stands for is
 * proven that root, and no folder on the way is a link. */
static int ReachedThroughAnotherDrive(const WCHAR *mine, const WCHAR *reached)
{
    int rest = WideLength(reached + 3), cut = WideLength(mine) - rest - 1;
    if (rest == 0 || cut < 2 || mine[cut] != '\\' || !SamePath(mine + cut, reached + 2))
        return 0;
    WCHAR folder[WIDE_PATH], root[4] = { reached[0], ':', '\\', 0 };
    for (int i = 0; i < cut; i++)
        folder[i] = mine[i];
    folder[cut] = 0;
    for (int i = 3; i <= cut; i++) {
        if (i < cut && mine[i] != '\\')
            continue;
        char ansi[PATH_BUFFER];
        WCHAR saved = folder[i];
        folder[i] = 0;
        DWORD attributes = ExactAnsiOfWide(folder, ansi, sizeof ansi) ? GetFileAttributesA(ansi) : INVALID_FILE_ATTRIBUTES;
        folder[i] = saved;
        if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_REPARSE_POINT))
            return 0;
    }
    if (cut == 2) {
        folder[2] = '\\';
        folder[3] = 0;
    }
    BY_HANDLE_FILE_INFORMATION one, other;
    return IdentityOf(folder, &one) && IdentityOf(root, &other) && SameIdentity(&one, &other);
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
    WCHAR reached[WIDE_PATH], mine[WIDE_PATH], longer[WIDE_PATH], reported[WIDE_PATH];
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
    /* A long form Wine would report otherwise proves nothing alone. */
    if (ReportedPath(longer, reported)) {
        if (SamePath(longer, reached))
            return 0;
        if (FoldAscii(longer[0]) != FoldAscii(reached[0]))
            return !ReachedThroughAnotherDrive(longer, reached);
        return 1;
    }
    return !SamePath(reported, reached) || !ReachedThroughItsOwnName(file, longer);
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
