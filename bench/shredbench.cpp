// Times the real shredder and folder walk on files it makes itself, inside
// the sandbox drive only. One measurement per run, so that each starts
// from a fresh process and its memory growth is its own.
//   shredbench make FILE BYTES         a file of BYTES bytes
//   shredbench tree FOLDER COUNT       a folder of COUNT files of 512 bytes
//   shredbench file FILE LEVEL         ShredFile on FILE
//   shredbench walk FOLDER LEVEL       DirWalk on FOLDER
//   shredbench floor FILE write|read   the I/O level 2 needs on FILE and
//                                      nothing else: lengthen by a chunk,
//                                      one write per chunk (with "read",
//                                      each after a read of it and a seek
//                                      back), flush, delete
//   shredbench floor FOLDER files      per file of FOLDER only the calls a
//                                      level-1 shred needs: open, close,
//                                      attributes, open, lengthen, close,
//                                      delete; the geometry once
// A run prints: seconds, peak working-set growth and peak private-bytes
// growth in bytes, and the chunk size used.
#include "shred/shredder.h"
#include "shred/walk.h"
#include <psapi.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static int InSandbox(const char *path)
{
    char full[MAX_PATH];
    if (!GetFullPathNameA(path, sizeof full, full, NULL))
        return 0;
    return _strnicmp(full, "S:\\work\\", 8) == 0;
}

static int Make(const char *path, LONGLONG bytes)
{
    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return 1;
    static char block[1 << 16];
    for (size_t i = 0; i < sizeof block; i++)
        block[i] = (char)('a' + i % 26);
    while (bytes > 0) {
        DWORD piece = bytes > (LONGLONG)sizeof block ? (DWORD)sizeof block : (DWORD)bytes, written;
        if (!WriteFile(file, block, piece, &written, NULL))
            break;
        bytes -= piece;
    }
    FlushFileBuffers(file);
    CloseHandle(file);
    return 0;
}

static int Tree(const char *folder, int count)
{
    if (!CreateDirectoryA(folder, NULL))
        return 1;
    char name[MAX_PATH], body[512];
    memset(body, 'x', sizeof body);
    for (int i = 0; i < count; i++) {
        wsprintfA(name, "%s\\f%05d.txt", folder, i);
        HANDLE file = CreateFileA(name, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
        DWORD written;
        WriteFile(file, body, sizeof body, &written, NULL);
        CloseHandle(file);
    }
    return 0;
}

static WORD ChunkOf(const char *path)
{
    char root[4] = { path[0], ':', '\\', 0 };
    DWORD sectors, bytes, free_clusters, clusters;
    if (!GetDiskFreeSpaceA(root, &sectors, &bytes, &free_clusters, &clusters))
        return 512;
    return ChunkSizeFromGeometry(sectors, bytes);
}

static void Lengthen(HANDLE file, WORD chunk)
{
    DWORD high = 0;
    DWORD low = GetFileSize(file, &high);
    LONGLONG end = (((LONGLONG)high << 32) | low) + chunk;
    LONG end_high = (LONG)(end >> 32);
    SetFilePointer(file, (LONG)(end & 0xFFFFFFFF), &end_high, FILE_BEGIN);
    SetEndOfFile(file);
}

static void FloorOfFile(const char *path, int with_read)
{
    WORD chunk = ChunkOf(path);
    static char bytes[65536];
    memset(bytes, 'z', chunk);
    HANDLE file = CreateFileA(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return;
    Lengthen(file, chunk);
    DWORD high = 0;
    DWORD low = GetFileSize(file, &high);
    LONGLONG left = ((LONGLONG)high << 32) | low;
    SetFilePointer(file, 0, NULL, FILE_BEGIN);
    while (left > 0) {
        DWORD count = left < chunk ? (DWORD)left : chunk, done;
        if (with_read) {
            ReadFile(file, bytes, count, &done, NULL);
            SetFilePointer(file, -(LONG)done, NULL, FILE_CURRENT);
            memset(bytes, 'z', count);
        }
        WriteFile(file, bytes, count, &done, NULL);
        left -= count;
    }
    FlushFileBuffers(file);
    CloseHandle(file);
    DeleteFileA(path);
}

static void FloorOfFolder(const char *folder)
{
    char root[4] = { folder[0], ':', '\\', 0 };
    DWORD sectors, bytes, free_clusters, clusters;
    GetDiskFreeSpaceA(root, &sectors, &bytes, &free_clusters, &clusters);
    WORD chunk = ChunkSizeFromGeometry(sectors, bytes);
    char pattern[MAX_PATH], path[MAX_PATH];
    wsprintfA(pattern, "%s\\*.*", folder);
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA(pattern, &entry);
    for (BOOL more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileA(search, &entry)) {
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            continue;
        wsprintfA(path, "%s\\%s", folder, entry.cFileName);
        HANDLE file = CreateFileA(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
        CloseHandle(file);
        GetFileAttributesA(path);
        file = CreateFileA(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
        Lengthen(file, chunk);
        CloseHandle(file);
        DeleteFileA(path);
    }
    if (search != INVALID_HANDLE_VALUE)
        FindClose(search);
    RemoveDirectoryA(folder);
}

int main(int argc, char **argv)
{
    if (argc != 4 || !InSandbox(argv[2])) {
        fprintf(stderr, "usage: shredbench make|tree|file|walk|floor S:\\work\\PATH N|write|read|files\n");
        return 2;
    }
    const char *what = argv[1], *path = argv[2];
    if (!strcmp(what, "make"))
        return Make(path, _atoi64(argv[3]));
    if (!strcmp(what, "tree"))
        return Tree(path, atoi(argv[3]));
    int level = atoi(argv[3]);

    PROCESS_MEMORY_COUNTERS before = { sizeof before }, after = { sizeof after };
    GetProcessMemoryInfo(GetCurrentProcess(), &before, sizeof before);
    LARGE_INTEGER start, end, frequency;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    if (!strcmp(what, "file")) {
        BeginShredRequest();
        lstrcpyA(WorkPath, path);
        lstrcpyA(ScratchPath, path);
        ShredFile(level, 1);
    } else if (!strcmp(what, "walk")) {
        BeginShredRequest();
        DirWalk(NULL, path, level, 1);
    } else if (!strcmp(what, "floor") && !strcmp(argv[3], "files")) {
        FloorOfFolder(path);
    } else if (!strcmp(what, "floor")) {
        FloorOfFile(path, !strcmp(argv[3], "read"));
    } else {
        return 2;
    }
    QueryPerformanceCounter(&end);
    GetProcessMemoryInfo(GetCurrentProcess(), &after, sizeof after);
    double seconds = (double)(end.QuadPart - start.QuadPart) / frequency.QuadPart;
    printf("%.6f %ld %ld %u\n", seconds, (long)(after.PeakWorkingSetSize - before.PeakWorkingSetSize),
           (long)(after.PeakPagefileUsage - before.PeakPagefileUsage), (unsigned)ChunkOf(path));
    return 0;
}
