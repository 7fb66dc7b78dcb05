/* The file-system calls the shredder makes, as one table. The program uses
 * RealFileCalls; a test swaps in a table of its own, whole, to watch every
 * pass or to make one step fail. */
#ifndef FILEIO_H
#define FILEIO_H

#include <windows.h>

struct FileCallTable {
    HANDLE (*Open)(LPCSTR path);   /* read and write, others may read and write */
    BOOL (*Remove)(LPCSTR path);
    BOOL (*Length)(HANDLE file, LONGLONG *length);
    BOOL (*Read)(HANDLE file, void *bytes, DWORD count, DWORD *got);   /* where the length cannot be read */
    BOOL (*Write)(HANDLE file, const void *bytes, DWORD count, DWORD *written);
    BOOL (*Flush)(HANDLE file);
    BOOL (*SetTimes)(HANDLE file, const FILETIME *created, const FILETIME *accessed, const FILETIME *written);
    BOOL (*Rename)(LPCSTR from, LPCSTR to);
    BOOL (*Beep)(UINT type);
    BOOL (*Geometry)(LPCSTR root, DWORD *sectors_per_cluster, DWORD *bytes_per_sector);
    unsigned long (*Clock)(void);   /* the random generator's seed */
};

extern const FileCallTable RealFileCalls;
extern const FileCallTable *FileCalls;

/* 64-bit positions through the high dword, which every Win32 has. */
void SeekTo(HANDLE file, LONGLONG position);

#endif
