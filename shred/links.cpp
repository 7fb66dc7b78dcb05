/* Links: removed themselves, never what they point to, and left in place
 * where every open follows them. */
#include "links.h"
#include "paths.h"
#include "report.h"

int LinksHiddenByPlatform = -1;
QueryFileInfo QueryFileName;
LongPathName LengthenPath;
static int LookedUp;

/* Neither is on Windows 95 (no ntdll at all; GetLongPathNameA came with 98). */
void LookUpLinkCalls(void)
{
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    QueryFileName = ntdll ? (QueryFileInfo)(void *)GetProcAddress(ntdll, "NtQueryInformationFile") : NULL;
    LengthenPath = (LongPathName)(void *)GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetLongPathNameA");
    LookedUp = 1;
}

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
    int length = lstrlenA(path);
    while (length > 3 && path[length - 1] == '\\')   /* a folder named with its backslash */
        length--;
    if (length < tail_length)
        return 0;
    char own[MAX_PATH];
    lstrcpynA(own, path + length - tail_length, tail_length + 1);
    return own[0] == '\\' && lstrcmpiA(own, tail) == 0;
}

static int LinkTestNeeded(void)
{
    if (!PlatformHidesLinks())
        return 0;
    if (!LookedUp)
        LookUpLinkCalls();
    return QueryFileName != NULL;
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
    if (QueryFileName(file, &io, &reached, sizeof reached, FILE_NAME_INFO_CLASS) != 0)
        return 1;
    int reached_chars = reached.length / sizeof(WCHAR);
    if (EndsWithReached(full, reached.name, reached_chars))
        return 0;
    /* What is reached carries long names; a short one here must not look
     * like a link. Asked only on a mismatch: it lists every folder above.
     * Without the call a short name counts as a link: kept, never followed. */
    char longer[MAX_PATH];
    if (LengthenPath && (got = LengthenPath(full, longer, sizeof longer)) > 0 && got < sizeof longer &&
        EndsWithReached(longer, reached.name, reached_chars))
        return 0;
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
