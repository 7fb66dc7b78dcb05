/* Links: removed themselves, never what they point to, and left in place
 * where every open follows them. */
#include "links.h"
#include "names.h"
#include "newer.h"
#include "paths.h"
#include "report.h"

int LinksHiddenByPlatform = -1;
/* On Windows a link is a reparse point and says so in its attributes.
 * Wine shows a Unix symbolic link to a file as a plain file and follows it
 * in every open, delete and rename: there only the name of what an open
 * reaches gives it away. */
static int PlatformHidesLinks(void)
{
    if (LinksHiddenByPlatform < 0) {
        HMODULE ntdll = GetModuleHandleA("ntdll.dll");
        LinksHiddenByPlatform = ntdll && GetProcAddress(ntdll, "wine_get_version") != NULL;
    }
    return LinksHiddenByPlatform;
}

/* Whether `reached` (the name the file system gives an open file, without
 * its drive) ends `path`. The same folder may be mapped by more than one
 * drive, so the path need only end in it. */
static int EndsWithReached(const char *path, const WCHAR *reached, int reached_chars)
{
    char tail[2 * MAX_PATH];
    if (reached_chars == 0)
        return 0;
    int tail_length = WideCharToMultiByte(CP_ACP, 0, reached, reached_chars, tail, sizeof tail - 1, NULL, NULL);
    if (tail_length <= 0)
        return 0;
    tail[tail_length] = 0;
    int length = TrimmedLength(path);   /* a folder named with its backslash */
    if (length < tail_length)
        return 0;
    char own[MAX_PATH];
    lstrcpynA(own, path + length - tail_length, tail_length + 1);
    return own[0] == '\\' && lstrcmpiA(own, tail) == 0;
}

/* The same for a wide path: exact, where the code page may not spell it. */
static int EndsWithReachedWide(const WCHAR *path, const WCHAR *reached, int reached_chars)
{
    int length = WideLength(path);
    while (length > 3 && path[length - 1] == '\\')
        length--;
    if (reached_chars == 0 || length < reached_chars || path[length - reached_chars] != '\\')
        return 0;
    for (int i = 0; i < reached_chars; i++)
        if (FoldAscii(path[length - reached_chars + i]) != FoldAscii(reached[i]))
            return 0;
    return 1;
}

/* A path with the trailing dots and blanks of each component dropped, and
 * components of nothing else with them. */
static void DropTrailing(const WCHAR *path, int chars, WCHAR *out)
{
    int length = 0, start = 0;
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
    while (length > 1 && out[length - 1] == '\\')
        length--;
    out[length] = 0;
}

/* Wine reports a reached name without the trailing dots and blanks of its
 * components. When that is all that differs, the open reached either this
 * item itself or, through a link, the item of the shorter name: the files
 * decide. */
static int ReachedTheShorterName(HANDLE file, const char *full, const WCHAR *longer, const WCHAR *reached,
                                 int reached_chars)
{
    WCHAR mine[2 * MAX_PATH], its[2 * MAX_PATH];
    int length = WideLength(longer);
    if (reached_chars >= 2 * MAX_PATH || full[1] != ':')
        return 1;
    DropTrailing(longer, length, mine);
    DropTrailing(reached, reached_chars, its);
    if (!EndsWithReachedWide(mine, its, WideLength(its)))
        return 1;
    char shorter[PATH_BUFFER + 2];
    shorter[0] = full[0];
    shorter[1] = ':';
    WCHAR name[2 * MAX_PATH];
    for (int i = 0; i < reached_chars; i++)
        name[i] = reached[i];
    name[reached_chars] = 0;
    if (!ExactAnsiOfWide(name, shorter + 2, PATH_BUFFER))
        return 1;
    HANDLE other = CreateFileA(shorter, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, NULL,
                               OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, NULL);
    if (other == INVALID_HANDLE_VALUE)
        return 0;   /* nothing goes by the shorter name: the open reached this item */
    BY_HANDLE_FILE_INFORMATION reached_here, reached_there;
    int same = !GetFileInformationByHandle(file, &reached_here) || !GetFileInformationByHandle(other, &reached_there) ||
               (reached_here.dwVolumeSerialNumber == reached_there.dwVolumeSerialNumber &&
                reached_here.nFileIndexHigh == reached_there.nFileIndexHigh &&
                reached_here.nFileIndexLow == reached_there.nFileIndexLow);
    CloseHandle(other);
    return same;
}

/* The long form of a path; where the system cannot give it whole (Wine,
 * below a folder named by the short name of a trailing-dot name), the long
 * form of its folder and its own last part. */
static int LengthenWide(WCHAR *wide, WCHAR *longer)
{
    DWORD got = NewerCalls.GetLongPathNameW(wide, longer, 2 * MAX_PATH);
    if (got > 0 && got < 2 * MAX_PATH)
        return 1;
    int last = -1;
    for (int i = 0; wide[i]; i++)
        if (wide[i] == '\\')
            last = i;
    if (last < 3)
        return 0;
    wide[last] = 0;
    got = NewerCalls.GetLongPathNameW(wide, longer, 2 * MAX_PATH);
    wide[last] = '\\';
    int length = (int)got, i = last;
    if (got == 0 || got >= 2 * MAX_PATH)
        return 0;
    for (; wide[i] && length < 2 * MAX_PATH - 1; i++)
        longer[length++] = wide[i];
    longer[length] = 0;
    return !wide[i];
}

static int LinkTestNeeded(void)
{
    if (!PlatformHidesLinks())
        return 0;
    NeedNewerCalls();
    return NewerCalls.QueryInformationFile != NULL;
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
    if (got == 0 || got >= sizeof full)
        return 1;
    struct { ULONG length; WCHAR name[2 * MAX_PATH]; } reached;
    struct { void *status; ULONG_PTR information; } io;   /* IO_STATUS_BLOCK */
    static_assert(sizeof io == 2 * sizeof(void *), "status and information are pointer-sized");
    const int FILE_NAME_INFO_CLASS = 9;
    /* A name longer than the buffer (a far target) fails the query: no
     * path buffer holds it, so it cannot be this path's own. */
    if (NewerCalls.QueryInformationFile(file, &io, &reached, sizeof reached, FILE_NAME_INFO_CLASS) != 0)
        return 1;
    int reached_chars = reached.length / sizeof(WCHAR);
    if (EndsWithReached(full, reached.name, reached_chars))
        return 0;
    /* What is reached carries long names; a short one here must not look
     * like a link. Asked only on a mismatch: it lists every folder above.
     * Without the call a short name counts as a link: kept, never followed. */
    WCHAR wide[2 * MAX_PATH], longer[2 * MAX_PATH];
    if (NewerCalls.GetLongPathNameW && MultiByteToWideChar(CP_ACP, 0, full, -1, wide, 2 * MAX_PATH) &&
        LengthenWide(wide, longer)) {
        if (EndsWithReachedWide(longer, reached.name, reached_chars))
            return 0;
        return ReachedTheShorterName(file, full, longer, reached.name, reached_chars);
    }
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
