/* Exact names: the round trip through the code page, the path rules'
 * changes, short names where only they spell an item, and a folder
 * listing that hands out nothing else. */
#include "names.h"
#include "newer.h"
#include "paths.h"

#define WIDE_PATH (2 * MAX_PATH)

/* CON, NUL, COM1 and the like, with any extension and blanks before it:
 * the path rules send such a name to a device, not to the file. */
static int IsDeviceName(const char *name)
{
    static const char *const Devices[] = { "AUX", "CON", "NUL", "PRN", "CLOCK$", "CONIN$", "CONOUT$" };
    int length = 0;
    while (name[length] && name[length] != '.')
        length++;
    while (length > 0 && name[length - 1] == ' ')
        length--;
    char base[8];
    if (length < 3 || length > 7)
        return 0;
    lstrcpynA(base, name, length + 1);
    if (length == 4 && base[3] >= '1' && base[3] <= '9') {
        base[3] = 0;
        return SameText(base, "COM", 1) || SameText(base, "LPT", 1);
    }
    for (size_t i = 0; i < sizeof Devices / sizeof Devices[0]; i++)
        if (SameText(base, Devices[i], 1))
            return 1;
    return 0;
}

/* One component as the path rules take it unchanged: not empty, not "."
 * or "..", no trailing dot or blank, no separator, colon or wildcard, no
 * device's name. */
static int IsExactName(const char *name)
{
    if (!name[0] || SameText(name, ".", 0) || SameText(name, "..", 0) || IsDeviceName(name))
        return 0;
    const char *last = name;
    for (const char *p = name; *p; p = NextChar(p)) {
        last = p;
        if ((unsigned char)*p < 32)
            return 0;
        switch (*p) {
        case '\\': case '/': case ':': case '*': case '?': case '"': case '<': case '>': case '|':
            return 0;
        }
    }
    return *last != '.' && *last != ' ';
}

int IsExactPath(const char *path)
{
    const char *p = path;
    if (p[0] && p[1] == ':' && p[2] == '\\')
        p += 3;
    else if (p[0] == '\\' && p[1] == '\\')
        p += 2;
    else
        return 0;
    char part[MAX_PATH];
    while (*p) {
        int length = 0;
        while (*p && *p != '\\') {
            const char *next = NextChar(p);
            while (p < next) {
                if (length >= MAX_PATH - 1)
                    return 0;
                part[length++] = *p++;
            }
        }
        part[length] = 0;
        if (!IsExactName(part))
            return 0;
        if (*p == '\\')
            p++;
    }
    return 1;
}

static void ShowWide(const WCHAR *wide, char *out, int size)
{
    if (!WideCharToMultiByte(CP_ACP, 0, wide, -1, out, size - 1, NULL, NULL))
        out[size - 1] = 0;
}

WCHAR FoldAscii(WCHAR c)
{
    return c >= 'a' && c <= 'z' ? (WCHAR)(c - 'a' + 'A') : c;
}

static int SameWide(const WCHAR *a, const WCHAR *b, int fold_ascii)
{
    for (;; a++, b++) {
        WCHAR x = fold_ascii ? FoldAscii(*a) : *a, y = fold_ascii ? FoldAscii(*b) : *b;
        if (x != y)
            return 0;
        if (!x)
            return 1;
    }
}

void DisplayNameOf(const char *path, WCHAR *out, int size)
{
    NeedNewerCalls();
    WCHAR wide[WIDE_PATH];
    if (!MultiByteToWideChar(CP_ACP, 0, path, -1, wide, WIDE_PATH)) {
        out[0] = 0;
        return;
    }
    DWORD got = NewerCalls.GetLongPathNameW ? NewerCalls.GetLongPathNameW(wide, out, size) : 0;
    if (got > 0 && (int)got < size)
        return;
    int i = 0;
    for (; wide[i] && i < size - 1; i++)
        out[i] = wide[i];
    out[i] = 0;
}

int ExactAnsiOfWide(const WCHAR *wide, char *out, int size)
{
    /* A best-fit spelling names another item: the round trip tells it on
     * every system (the flag that forbids best fit came with 2000). */
    BOOL lossy = FALSE;
    int got = WideCharToMultiByte(CP_ACP, 0, wide, -1, out, size, NULL, &lossy);
    WCHAR back[WIDE_PATH];
    if (got && !lossy && MultiByteToWideChar(CP_ACP, 0, out, -1, back, WIDE_PATH) && SameWide(back, wide, 0))
        return 1;
    ShowWide(wide, out, size);
    return 0;
}

/* The long form of `short_path` is `wide` itself, case and all. */
static int LeadsTo(const WCHAR *short_path, const WCHAR *wide)
{
    WCHAR longer[WIDE_PATH];
    DWORD got = NewerCalls.GetLongPathNameW ? NewerCalls.GetLongPathNameW(short_path, longer, WIDE_PATH) : 0;
    return got > 0 && got < WIDE_PATH && SameWide(longer, wide, 0);
}

/* Opens for no access, files and folders alike. */
static HANDLE OpenToCompare(const char *ansi, const WCHAR *wide)
{
    const DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    if (ansi)
        return CreateFileA(ansi, 0, share, NULL, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, NULL);
    return NewerCalls.CreateFileW(wide, 0, share, NULL, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, NULL);
}

/* Whether the ANSI path, a short name in it, opens the item the wide full
 * path (on a drive) names exactly: case twins share a short name, and the
 * system's lookup takes whichever it meets first. Without wide opens
 * (Windows 95, whose disks know no case twins) and off a drive's letter,
 * the long form has decided. */
static int OpensTheNamedItem(const char *ansi, const WCHAR *wide)
{
    if (!NewerCalls.CreateFileW || !(wide[0] && wide[1] == ':' && wide[2] == '\\'))
        return 1;
    WCHAR exact[WIDE_PATH + 4] = { '\\', '\\', '?', '\\' };
    int length = WideLength(wide);
    if (length >= WIDE_PATH)
        return 0;
    for (int i = 0; i <= length; i++)
        exact[4 + i] = wide[i];
    HANDLE one = OpenToCompare(ansi, NULL), other = OpenToCompare(NULL, exact);
    int same = SameFile(one, other);
    if (one != INVALID_HANDLE_VALUE)
        CloseHandle(one);
    if (other != INVALID_HANDLE_VALUE)
        CloseHandle(other);
    return same;
}

/* "\\?\" names a path for the system's own calls: Wine hands over a
 * file on none of its drives as "\\?\unix\...". */
static int OnNoDrive(const WCHAR *wide)
{
    return wide[0] == '\\' && wide[1] == '\\' && (wide[2] == '?' || wide[2] == '.') && wide[3] == '\\';
}

int ExactPathOfWide(const WCHAR *wide, char *out, int size)
{
    char shown[PATH_BUFFER];
    ShowWide(wide, shown, sizeof shown);
    int length = WideLength(wide);
    if (OnNoDrive(wide) || length >= WIDE_PATH) {
        lstrcpynA(out, shown, size);
        return NAME_NO_DRIVE;
    }
    int reason = !ExactAnsiOfWide(wide, out, size) ? NAME_CODE_PAGE : !IsExactPath(out) ? NAME_PATH_RULES : NAME_EXACT;
    if (reason == NAME_EXACT)
        return reason;
    NeedNewerCalls();
    /* The short name of exactly this item: through "\\?\" the path rules
     * leave a trailing dot or blank alone. */
    WCHAR asked[WIDE_PATH + 4], short_path[WIDE_PATH + 4];
    int prefixed = length >= 3 && wide[1] == ':' && wide[2] == '\\';
    int at = 0;
    if (prefixed) {
        asked[0] = asked[1] = asked[3] = '\\';
        asked[2] = '?';
        at = 4;
    }
    for (int i = 0; i <= length; i++)
        asked[at + i] = wide[i];
    DWORD got = NewerCalls.GetShortPathNameW ? NewerCalls.GetShortPathNameW(asked, short_path, WIDE_PATH) : 0;
    const WCHAR *plain = short_path + (prefixed && got > 4 ? 4 : 0);
    if (got > 0 && got < WIDE_PATH && ExactAnsiOfWide(plain, out, size) && IsExactPath(out)) {
        /* Case twins may share a short name: it must lead back to this one. */
        if (LeadsTo(plain, wide) && OpensTheNamedItem(out, wide))
            return NAME_EXACT;
        reason = NAME_AMBIGUOUS;
    }
    lstrcpynA(out, shown, size);
    return reason;
}

/* The wide listing of `folder` (ANSI, "" for the current directory)
 * followed by `name`. */
static HANDLE FindFirstWideOf(const char *folder, const char *name, WIN32_FIND_DATAW *found)
{
    char path[PATH_BUFFER + 16];
    WCHAR wide[WIDE_PATH];
    wsprintfA(path, "%.259s%.14s", folder, name);
    if (!MultiByteToWideChar(CP_ACP, 0, path, -1, wide, WIDE_PATH))
        return INVALID_HANDLE_VALUE;
    return NewerCalls.FindFirstFileW(wide, found);
}

/* A listing entry's name, or else its short name if that leads back to
 * it (looked up in `folder`, an exact path ending in a backslash, or ""
 * for the current directory). */
static int ExactEntryName(const char *folder, const WIN32_FIND_DATAW *wide, WIN32_FIND_DATAA *entry)
{
    if (ExactAnsiOfWide(wide->cFileName, entry->cFileName, sizeof entry->cFileName) &&
        IsExactName(entry->cFileName))
        return 1;
    /* A folder's dot rule reads its long name: never replaced. */
    if (!wide->cAlternateFileName[0] ||
        ((wide->dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && wide->cFileName[0] == '.'))
        return 0;
    char alternate[sizeof entry->cAlternateFileName];
    if (!ExactAnsiOfWide(wide->cAlternateFileName, alternate, sizeof alternate) || !IsExactName(alternate))
        return 0;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstWideOf(folder, alternate, &found);
    if (search == INVALID_HANDLE_VALUE)
        return 0;
    FindClose(search);
    if (!SameWide(found.cFileName, wide->cFileName, 0))
        return 0;
    /* And where it opens: the listing's order need not be the lookup's. */
    char where[PATH_BUFFER], path[PATH_BUFFER];
    if (folder[0]) {
        lstrcpynA(where, folder, sizeof where);
    } else {
        DWORD got = GetCurrentDirectoryA(sizeof where, where);
        if (got == 0 || got >= sizeof where)
            return 0;
    }
    WCHAR full[WIDE_PATH];
    if (!JoinPath(path, sizeof path, where, alternate) || !MultiByteToWideChar(CP_ACP, 0, where, -1, full, WIDE_PATH))
        return 0;
    int length = WideLength(full);
    if (length > 0 && full[length - 1] != '\\')
        full[length++] = '\\';
    for (const WCHAR *c = wide->cFileName; *c; c++) {
        if (length >= WIDE_PATH - 1)
            return 0;
        full[length++] = *c;
    }
    full[length] = 0;
    if (!OpensTheNamedItem(path, full))
        return 0;
    lstrcpyA(entry->cFileName, alternate);
    return 1;
}

static void CopyEntry(const WIN32_FIND_DATAW *wide, WIN32_FIND_DATAA *entry, int *exact)
{
    entry->dwFileAttributes = wide->dwFileAttributes;
    entry->ftCreationTime = wide->ftCreationTime;
    entry->ftLastAccessTime = wide->ftLastAccessTime;
    entry->ftLastWriteTime = wide->ftLastWriteTime;
    entry->nFileSizeHigh = wide->nFileSizeHigh;
    entry->nFileSizeLow = wide->nFileSizeLow;
    ShowWide(wide->cAlternateFileName, entry->cAlternateFileName, sizeof entry->cAlternateFileName);
    /* "." and ".." are the listing's own. */
    if (SameWide(wide->cFileName, L".", 0) || SameWide(wide->cFileName, L"..", 0)) {
        ShowWide(wide->cFileName, entry->cFileName, sizeof entry->cFileName);
        *exact = 1;
        return;
    }
    *exact = ExactEntryName("", wide, entry);
}

/* Where the system has no wide listing its names are its own: only the
 * path rules can change them. */
static int ExactAnsiEntry(WIN32_FIND_DATAA *entry)
{
    return SameText(entry->cFileName, ".", 0) || SameText(entry->cFileName, "..", 0) ||
           IsExactName(entry->cFileName);
}

HANDLE FindFirstExact(const char *pattern, WIN32_FIND_DATAA *entry, int *exact)
{
    NeedNewerCalls();
    WCHAR wide_pattern[WIDE_PATH];
    WIN32_FIND_DATAW wide;
    HANDLE search = INVALID_HANDLE_VALUE;
    if (NewerCalls.FindFirstFileW && NewerCalls.FindNextFileW &&
        MultiByteToWideChar(CP_ACP, 0, pattern, -1, wide_pattern, WIDE_PATH)) {
        search = NewerCalls.FindFirstFileW(wide_pattern, &wide);
        if (search != INVALID_HANDLE_VALUE) {
            CopyEntry(&wide, entry, exact);
            return search;
        }
        if (GetLastError() != ERROR_CALL_NOT_IMPLEMENTED)
            return search;
        NewerCalls.FindFirstFileW = NULL;   /* Windows 95's stub */
    }
    search = FindFirstFileA(pattern, entry);
    if (search != INVALID_HANDLE_VALUE)
        *exact = ExactAnsiEntry(entry);
    return search;
}

int FindNextExact(HANDLE search, WIN32_FIND_DATAA *entry, int *exact)
{
    if (NewerCalls.FindFirstFileW) {
        WIN32_FIND_DATAW wide;
        if (!NewerCalls.FindNextFileW(search, &wide))
            return 0;
        CopyEntry(&wide, entry, exact);
        return 1;
    }
    if (!FindNextFileA(search, entry))
        return 0;
    *exact = ExactAnsiEntry(entry);
    return 1;
}

/* The folder's entry whose best-fit spelling is `part`, if it is the only
 * one: its exact name is appended to `out`. A NAME_ reason. */
static int AppendExactComponent(char *out, int size, const char *part)
{
    WIN32_FIND_DATAW wide;
    HANDLE search = FindFirstWideOf(out, "*", &wide);
    if (search == INVALID_HANDLE_VALUE)
        return NAME_CODE_PAGE;
    int matches = 0, reason = NAME_CODE_PAGE;
    WIN32_FIND_DATAA entry;
    char name[MAX_PATH];
    do {
        char shown[MAX_PATH];
        ShowWide(wide.cFileName, shown, sizeof shown);
        if (lstrcmpiA(shown, part) != 0)
            continue;
        if (++matches > 1)
            break;
        name[0] = 0;
        if (ExactEntryName(out, &wide, &entry))
            lstrcpyA(name, entry.cFileName);
        else if (ExactAnsiOfWide(wide.cFileName, shown, sizeof shown))
            reason = NAME_PATH_RULES;
    } while (NewerCalls.FindNextFileW(search, &wide));
    FindClose(search);
    if (matches > 1)
        return NAME_AMBIGUOUS;
    if (matches == 0 || !name[0])
        return reason;
    if (lstrlenA(out) + lstrlenA(name) + 1 >= size)
        return NAME_PATH_RULES;
    lstrcatA(out, name);
    return NAME_EXACT;
}

int ExactChosenPath(const char *chosen, char *out, int size)
{
    lstrcpynA(out, chosen, size);
    NeedNewerCalls();
    if (!NewerCalls.FindFirstFileW || !NewerCalls.FindNextFileW || !(chosen[0] && chosen[1] == ':' && chosen[2] == '\\'))
        return IsExactPath(chosen) ? NAME_EXACT : NAME_PATH_RULES;
    lstrcpynA(out, chosen, 4);
    const char *p = chosen + 3;
    while (*p) {
        char part[MAX_PATH];
        int length = 0;
        while (*p && *p != '\\' && length < MAX_PATH - 1)
            part[length++] = *p++;
        part[length] = 0;
        /* Looked up where it stands, so each folder is listed from the
         * exact path of the one above it. */
        int found = AppendExactComponent(out, size, part);
        if (found != NAME_EXACT) {
            lstrcpynA(out, chosen, size);
            return found;
        }
        if (*p == '\\') {
            p++;
            if (lstrlenA(out) + 1 >= size)
                return NAME_PATH_RULES;
            lstrcatA(out, "\\");
        }
    }
    return IsExactPath(out) ? NAME_EXACT : NAME_PATH_RULES;
}
