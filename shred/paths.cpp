/* Path rules: splitting and joining paths, the folder test, the length
 * every path buffer holds, and the roots that are never destroyed. They
 * answer; what the user is told is the callers' to say. */
#include "paths.h"

static void CopyBounded(char *out, int size, const char *from, int length)
{
    if (!out || size <= 0)
        return;
    if (length > size - 1)
        length = size - 1;
    for (int i = 0; i < length; i++)
        out[i] = from[i];
    out[length] = 0;
}

int SameText(const char *a, const char *b, int fold)
{
    for (;; a++, b++) {
        char x = *a, y = *b;
        if (fold) {
            x = x >= 'a' && x <= 'z' ? (char)(x - 'a' + 'A') : x;
            y = y >= 'a' && y <= 'z' ? (char)(y - 'a' + 'A') : y;
        }
        if (x != y)
            return 0;
        if (!x)
            return 1;
    }
}

const char *NextChar(const char *p)
{
    if (!*p)
        return p;
    return IsDBCSLeadByte((BYTE)*p) && p[1] ? p + 2 : p + 1;
}

/* Drive "X:", folder up to and with its last separator, name, and the
 * extension from the last dot of the last part on. Each part is cut to its
 * buffer; a null part is not wanted. */
void SplitPath(const char *path, char *drive, int drive_size, char *dir, int dir_size,
               char *name, int name_size, char *ext, int ext_size)
{
    const char *rest = path;
    int drive_length = 0;
    if (path[0] && path[1] == ':') {
        drive_length = 2;
        rest = path + 2;
    }
    CopyBounded(drive, drive_size, path, drive_length);

    const char *last_part = rest;
    for (const char *p = rest; *p; p = NextChar(p))
        if (*p == '\\' || *p == '/')
            last_part = p + 1;
    CopyBounded(dir, dir_size, rest, (int)(last_part - rest));

    const char *dot = NULL;
    const char *end = last_part;
    for (; *end; end = NextChar(end))
        if (*end == '.')
            dot = end;
    if (!dot)
        dot = end;
    CopyBounded(name, name_size, last_part, (int)(dot - last_part));
    CopyBounded(ext, ext_size, dot, (int)(end - dot));
}

int IsFolderAttributes(DWORD attributes)
{
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

int IsFolder(const char *path)
{
    return IsFolderAttributes(GetFileAttributesA(path));
}

int TrimmedLength(const char *path)
{
    int length = lstrlenA(path);
    while (length > 3 && path[length - 1] == '\\')
        length--;
    return length;
}

int JoinPath(char *out, int size, const char *folder, const char *name)
{
    int length = lstrlenA(folder);
    int slash = length > 0 && folder[length - 1] != '\\';
    if (length + slash + lstrlenA(name) >= size)
        return 0;
    lstrcpyA(out, folder);
    if (slash)
        lstrcatA(out, "\\");
    lstrcatA(out, name);
    return 1;
}

int WideLength(const WCHAR *text)
{
    int length = 0;
    while (text[length])
        length++;
    return length;
}

int FitsPathBuffer(const char *path)
{
    return lstrlenA(path) <= MAX_PATH_CHARS;
}

int SameFile(HANDLE a, HANDLE b)
{
    BY_HANDLE_FILE_INFORMATION one, other;
    return a != INVALID_HANDLE_VALUE && b != INVALID_HANDLE_VALUE && GetFileInformationByHandle(a, &one) &&
           GetFileInformationByHandle(b, &other) && one.dwVolumeSerialNumber == other.dwVolumeSerialNumber &&
           one.nFileIndexHigh == other.nFileIndexHigh && one.nFileIndexLow == other.nFileIndexLow;
}

/* "C:\", "\\server\share\" and anything that resolves to one of them. */
int IsDriveRoot(const char *path)
{
    char full[MAX_PATH];
    DWORD got = GetFullPathNameA(path, sizeof full, full, NULL);
    if (got == 0 || got >= sizeof full)
        return 0;
    full[TrimmedLength(full)] = 0;
    if (full[0] && full[1] == ':')
        return full[2] == 0 || (full[2] == '\\' && full[3] == 0);
    if (full[0] == '\\' && full[1] == '\\') {
        int separators = 0;
        for (const char *p = full + 2; *p; p++)
            if (*p == '\\' && p[1])
                separators++;
        return separators <= 1;
    }
    return 0;
}
