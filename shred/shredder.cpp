/* Destroys one file at a security level: renames, lengthening, pattern and
 * text passes over every cluster, random times, delete. */
#include "shred.h"
#include <stdlib.h>
#include <string.h>
#include <time.h>

char WorkPath[PATH_BUFFER];
char ScratchPath[PATH_BUFFER];

static const BYTE Patterns[4] = { 0x35, 0xCA, 0x97, 0x68 };

HANDLE OpenForShred(LPCSTR path)
{
    return CreateFileA(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                       NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
}

BOOL RemoveShredded(LPCSTR path)
{
    return DeleteFileA(path);
}

HANDLE (*ShredOpen)(LPCSTR path) = OpenForShred;
BOOL (*ShredRemove)(LPCSTR path) = RemoveShredded;

static void ArrowCursor(void)
{
    SetCursor(LoadCursor(NULL, IDC_ARROW));
}

static void RefuseFile(LPCSTR path, LPCSTR caption)
{
    ArrowCursor();
    MessageBeep(0);
    MessageBoxA(NULL, path, caption, MB_OK | MB_ICONQUESTION);
}

/* 64-bit positions through the high dword, which every Win32 has. */
static void SeekTo(HANDLE file, LONGLONG position)
{
    LONG high = (LONG)(position >> 32);
    SetFilePointer(file, (LONG)(position & 0xFFFFFFFF), &high, FILE_BEGIN);
}

static LONGLONG FileLength(HANDLE file)
{
    DWORD high = 0;
    DWORD low = GetFileSize(file, &high);
    if (low == INVALID_FILE_SIZE && GetLastError() != NO_ERROR)
        return 0;
    return ((LONGLONG)high << 32) | low;
}

WORD ChunkSizeFromGeometry(DWORD sectors_per_cluster, DWORD bytes_per_sector)
{
    DWORD cluster = sectors_per_cluster * bytes_per_sector;
    if (cluster >= 65536)
        return 32768;   /* would wrap to 0 in 16 bits */
    if (cluster == 0)
        return 512;
    return (WORD)cluster;
}

void LevelCaption(int level, char *out)
{
    const char *word = "";
    switch (level) {
    case 1: word = "Restricted "; break;
    case 2: word = "Confidential "; break;
    case 3: word = "Secret "; break;
    case 4: word = "Top Secret "; break;
    }
    lstrcpyA(out, word);
    lstrcatA(out, "Delete");
}

void OverwritePatterns(HANDLE file, LONGLONG position, DWORD count, WORD chunk)
{
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, (DWORD)chunk + 10);
    if (!block)
        return;
    BYTE *bytes = (BYTE *)GlobalLock(block);
    if (bytes) {
        for (int i = 0; i < 4; i++) {
            DWORD written;
            memset(bytes, Patterns[i], chunk);
            SeekTo(file, position);
            WriteFile(file, bytes, count, &written, NULL);
        }
        FlushFileBuffers(file);
        GlobalUnlock(block);
    }
    GlobalFree(block);
}

/* The text end to end over the whole chunk, starting with its first
 * character; an empty text leaves zeros rather than the old contents. */
static void FillWithText(BYTE *bytes, DWORD size, const char *text, DWORD length)
{
    if (length == 0) {
        memset(bytes, 0, size);
        return;
    }
    DWORD done = 0;
    while (done < size) {
        DWORD piece = size - done < length ? size - done : length;
        memcpy(bytes + done, text, piece);
        done += piece;
    }
}

static void OverwriteLoop(HANDLE file, int level, HGLOBAL chunk_block, WORD chunk)
{
    BYTE *bytes = (BYTE *)GlobalLock(chunk_block);
    if (!bytes)
        return;
    HINSTANCE instance = GetModuleHandleA(NULL);
    char fill[FILL_BUFFER];
    DWORD fill_length = 0;
    UINT loaded_id = 0;
    LONGLONG position = 0;
    int last = 0;
    /* Each round leaves the file pointer where the next read starts, so
     * the only seek needed is the one back over the bytes just read. */
    SeekTo(file, 0);
    while (!last) {
        DWORD count = 0;
        if (!ReadFile(file, bytes, chunk, &count, NULL))
            count = 0;
        LONGLONG next = position + count;
        if (count != chunk)
            last = 1;

        SeedRandom((unsigned long)time(NULL));
        UINT id = (UINT)(DrawRandom() % FILL_TEXT_COUNT) + 1;
        if (id != loaded_id) {   /* the text changes at most once a second */
            fill_length = (DWORD)LoadStringA(instance, id, fill, FILL_BUFFER);
            loaded_id = id;
        }
        if (level == 4)
            OverwritePatterns(file, position, count, chunk);
        FillWithText(bytes, chunk, fill, fill_length);
        if (count) {
            DWORD written;
            SeekTo(file, position);
            if (!WriteFile(file, bytes, count, &written, NULL) || written != count)
                SeekTo(file, next);   /* keep the next read in step */
        }
        position = next;
    }
    GlobalUnlock(chunk_block);
}

int ShredFile(int level, int extend)
{
    SetCursor(LoadCursor(NULL, IDC_WAIT));

    HANDLE file = ShredOpen(ScratchPath);
    if (file == INVALID_HANDLE_VALUE) {
        RefuseFile(ScratchPath, "File NOT Deleted");
        return 0;
    }
    CloseHandle(file);
    DWORD attributes = GetFileAttributesA(ScratchPath);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        RefuseFile(ScratchPath, "Directory (Folder) NOT Deleted");
        return 0;
    }
    /* An administrator may open a read-only file for writing; it must stay. */
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
        RefuseFile(ScratchPath, "File NOT Deleted");
        return 0;
    }

    char drive[_MAX_DRIVE];
    _splitpath(ScratchPath, drive, NULL, NULL, NULL);
    CharUpperA(drive);
    lstrcpyA(ScratchPath, drive);
    lstrcatA(ScratchPath, "\\");

    DWORD sectors, bytes_per_sector, free_clusters, clusters;
    WORD chunk = 512;
    if (GetDiskFreeSpaceA(ScratchPath, &sectors, &bytes_per_sector, &free_clusters, &clusters))
        chunk = ChunkSizeFromGeometry(sectors, bytes_per_sector);

    HGLOBAL chunk_block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, (DWORD)chunk + 10);
    if (!chunk_block) {
        ArrowCursor();
        MessageBoxA(NULL, "Problems allocating memory.\r\nFile NOT deleted.", "File Delete Error",
                    MB_OK | MB_ICONINFORMATION);
        return 0;
    }

    char current_path[PATH_BUFFER];
    char new_path[PATH_BUFFER];
    lstrcpyA(current_path, WorkPath);
    new_path[0] = 0;
    if (!_ChangeFileName(level, new_path, current_path)) {
        GlobalFree(chunk_block);
        ArrowCursor();
        OutputDebugStringA(current_path);
        OutputDebugStringA(new_path);
        OutputDebugStringA("_ChangeFileName() Failed");
        return 0;
    }

    /* Deleting a file that could not be overwritten would report a shred
     * that never happened: leave it where it now lies and say so. */
    file = ShredOpen(new_path);
    if (file == INVALID_HANDLE_VALUE) {
        GlobalFree(chunk_block);
        RefuseFile(new_path, "File NOT Deleted");
        return 0;
    }
    if (extend) {
        SeekTo(file, FileLength(file) + chunk);
        SetEndOfFile(file);
    }
    if (level >= 2 && level <= 4) {
        OverwriteLoop(file, level, chunk_block, chunk);
        /* Out of the write-back cache before the delete can drop it. */
        FlushFileBuffers(file);
    }
    CloseHandle(file);
    ScrambleFileTimes(level, new_path);
    ShredRemove(new_path);

    GlobalFree(chunk_block);
    ArrowCursor();
    return 1;
}
