/* The shredder's file-system calls as the system makes them. */
#include "fileio.h"
#include "random.h"

static HANDLE OpenForShred(LPCSTR path)
{
    return CreateFileA(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                       NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
}

static BOOL RemoveShredded(LPCSTR path) { return DeleteFileA(path); }
static BOOL FlushToDisk(HANDLE file) { return FlushFileBuffers(file); }
static BOOL RenameFile(LPCSTR from, LPCSTR to) { return MoveFileA(from, to); }
static BOOL SoundBeep(UINT type) { return MessageBeep(type); }

static BOOL GeometryOfDrive(LPCSTR root, DWORD *sectors_per_cluster, DWORD *bytes_per_sector)
{
    DWORD free_clusters, clusters;
    return GetDiskFreeSpaceA(root, sectors_per_cluster, bytes_per_sector, &free_clusters, &clusters);
}

static BOOL ReadFromFile(HANDLE file, void *bytes, DWORD count, DWORD *got)
{
    return ReadFile(file, bytes, count, got, NULL);
}

static BOOL WriteToFile(HANDLE file, const void *bytes, DWORD count, DWORD *written)
{
    return WriteFile(file, bytes, count, written, NULL);
}

static BOOL SetTimesOfFile(HANDLE file, const FILETIME *created, const FILETIME *accessed,
                           const FILETIME *written)
{
    return SetFileTime(file, created, accessed, written);
}

static BOOL LengthOfFile(HANDLE file, LONGLONG *length)
{
    DWORD high = 0;
    DWORD low = GetFileSize(file, &high);
    if (low == INVALID_FILE_SIZE && GetLastError() != NO_ERROR)
        return FALSE;
    *length = ((LONGLONG)high << 32) | low;
    return TRUE;
}

const FileCallTable RealFileCalls = {
    OpenForShred, RemoveShredded, LengthOfFile, ReadFromFile, WriteToFile, FlushToDisk,
    SetTimesOfFile, RenameFile, SoundBeep, GeometryOfDrive, ClockSeconds,
};
const FileCallTable *FileCalls = &RealFileCalls;

void SeekTo(HANDLE file, LONGLONG position)
{
    LONG high = (LONG)(position >> 32);
    SetFilePointer(file, (LONG)(position & 0xFFFFFFFF), &high, FILE_BEGIN);
}
