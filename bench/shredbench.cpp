// Times the real shredder and folder walk on files it makes itself, inside
// the sandbox drive only. One measurement per run, so that each starts
// from a fresh process and its memory growth is its own.
//   shredbench make FILE BYTES         a file of BYTES bytes
//   shredbench tree FOLDER COUNT       a folder of COUNT files of 512 bytes
//   shredbench file FILE LEVEL         ShredFile on FILE
//   shredbench walk FOLDER LEVEL       DirWalk on FOLDER
// A run prints: seconds, peak working-set growth and peak private-bytes
// growth in bytes, and the chunk size used.
#include "shred/shred.h"
#include "shred/requests.h"
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

int main(int argc, char **argv)
{
    if (argc != 4 || !InSandbox(argv[2])) {
        fprintf(stderr, "usage: shredbench make|tree|file|walk S:\\work\\PATH N\n");
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
        lstrcpyA(WorkPath, path);
        lstrcpyA(ScratchPath, path);
        ShredFile(level, 1);
    } else if (!strcmp(what, "walk")) {
        DirWalk(NULL, path, level, 1);
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
