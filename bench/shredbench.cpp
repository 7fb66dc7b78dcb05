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
//   shredbench floor FOLDER filesN     per file of FOLDER only the calls a
//                                      level-N shred needs (FloorOfFolder)
//   shredbench alive S:\work\x N       N chunks' worth of what the
//                                      shredder adds to stay alive
// A run prints: seconds, peak working-set growth and peak private-bytes
// growth in bytes, the chunk size used, and for a floor the seconds spent
// in each kind of call ("open=0.123 ...").
#include "shred/progress.h"
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

/* Where a floor's time goes: the calls of each kind, summed. */
enum { OPENS, ATTRIBUTES, RENAMES, LENGTHENS, WRITES, FLUSHES, TIMES, DELETES, KINDS };
static const char *const KindNames[KINDS] = { "open", "attributes", "rename", "lengthen", "write", "flush", "times",
                                              "delete" };
static double Spent[KINDS];
static LARGE_INTEGER Frequency;

static LONGLONG Now(void)
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart;
}

#define TIMED(kind, call) do { LONGLONG t0_ = Now(); call; Spent[kind] += (double)(Now() - t0_) / Frequency.QuadPart; } while (0)

static HANDLE OpenRW(const char *path)
{
    return CreateFileA(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING,
                       FILE_ATTRIBUTE_NORMAL, NULL);
}

/* Per file of FOLDER only the calls a shred at LEVEL needs: open, close,
 * attributes; one or three renames to a name as long as the shredder's;
 * open, lengthen; at levels 2 to 4 one write per chunk for each pass and a
 * flush after each; close; one or three rounds of times; delete. The
 * geometry once, one listing, the folder removed. */
static void FloorOfFolder(const char *folder, int level)
{
    char root[4] = { folder[0], ':', '\\', 0 };
    DWORD sectors, bytes_per, free_clusters, clusters;
    GetDiskFreeSpaceA(root, &sectors, &bytes_per, &free_clusters, &clusters);
    WORD chunk = ChunkSizeFromGeometry(sectors, bytes_per);
    static char bytes[65536];
    memset(bytes, 'z', chunk);
    int renames = level == 4 ? 3 : level == 3 ? 1 : 0, passes = level == 4 ? 5 : level >= 2 ? 1 : 0;
    char pattern[MAX_PATH], path[MAX_PATH], renamed[MAX_PATH];
    wsprintfA(pattern, "%s\\*.*", folder);
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA(pattern, &entry);
    unsigned seed = 1;
    for (BOOL more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileA(search, &entry)) {
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            continue;
        wsprintfA(path, "%s\\%s", folder, entry.cFileName);
        HANDLE file;
        TIMED(OPENS, file = OpenRW(path); CloseHandle(file));
        TIMED(ATTRIBUTES, GetFileAttributesA(path));
        for (int r = 0; r < renames; r++) {
            int letters = lstrlenA(path) + 2, at = wsprintfA(renamed, "%s\\", folder);
            for (int k = 0; k < letters && at < 259; k++, at++)
                renamed[at] = (char)('A' + (seed = seed * 1103515245 + 12345) % 25);
            renamed[at] = 0;
            TIMED(RENAMES, MoveFileA(path, renamed));
            lstrcpyA(path, renamed);
        }
        TIMED(OPENS, file = OpenRW(path));
        TIMED(LENGTHENS, Lengthen(file, chunk));
        DWORD high = 0, low = GetFileSize(file, &high), done;
        for (int p = 0; p < passes; p++) {
            SetFilePointer(file, 0, NULL, FILE_BEGIN);
            for (LONGLONG left = ((LONGLONG)high << 32) | low; left > 0; left -= chunk)
                TIMED(WRITES, WriteFile(file, bytes, left < chunk ? (DWORD)left : chunk, &done, NULL));
            TIMED(FLUSHES, FlushFileBuffers(file));
        }
        TIMED(OPENS, CloseHandle(file));
        if (renames) {
            FILETIME when = { 0x12345678, 0x01B00000 };
            TIMED(OPENS, file = OpenRW(path));
            for (int r = 0; r < renames; r++)
                TIMED(TIMES, SetFileTime(file, &when, &when, &when));
            TIMED(OPENS, CloseHandle(file));
        }
        TIMED(DELETES, DeleteFileA(path));
    }
    if (search != INVALID_HANDLE_VALUE)
        FindClose(search);
    RemoveDirectoryA(folder);
}

/* The work the shredder adds per chunk to stay alive: the progress noted
 * and the clock read, with messages taken a few times a second. */
static void StayingAlive(int chunks)
{
    for (int i = 0; i < chunks; i++) {
        SetFileProgress(i, chunks);
        KeepAlive();
    }
}

int main(int argc, char **argv)
{
    if (argc != 4 || !InSandbox(argv[2])) {
        fprintf(stderr, "usage: shredbench make|tree|file|walk|floor|alive S:\\work\\PATH N|write|read|filesN\n");
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
    Frequency = frequency;
    QueryPerformanceCounter(&start);
    if (!strcmp(what, "file")) {
        BeginShredRequest();
        lstrcpyA(WorkPath, path);
        lstrcpyA(ScratchPath, path);
        ShredFile(level, 1);
    } else if (!strcmp(what, "walk")) {
        BeginShredRequest();
        DirWalk(NULL, path, level, 1);
    } else if (!strcmp(what, "floor") && !strncmp(argv[3], "files", 5)) {
        FloorOfFolder(path, atoi(argv[3] + 5));
    } else if (!strcmp(what, "alive")) {
        StayingAlive(level);
    } else if (!strcmp(what, "floor")) {
        FloorOfFile(path, !strcmp(argv[3], "read"));
    } else {
        return 2;
    }
    QueryPerformanceCounter(&end);
    GetProcessMemoryInfo(GetCurrentProcess(), &after, sizeof after);
    double seconds = (double)(end.QuadPart - start.QuadPart) / frequency.QuadPart;
    printf("%.6f %ld %ld %u", seconds, (long)(after.PeakWorkingSetSize - before.PeakWorkingSetSize),
           (long)(after.PeakPagefileUsage - before.PeakPagefileUsage), (unsigned)ChunkOf(path));
    for (int kind = 0; kind < KINDS; kind++)
        if (Spent[kind] > 0)
            printf(" %s=%.3f", KindNames[kind], Spent[kind]);
    printf("\n");
    return 0;
}
