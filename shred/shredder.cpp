/* Destroys one file at a security level: renames, lengthening, pattern and
 * text passes over every cluster, random times, delete. */
#include "shredder.h"
#include "fileio.h"
#include "links.h"
#include "progress.h"
#include "random.h"
#include "rename.h"
#include "report.h"

char WorkPath[PATH_BUFFER];
char ScratchPath[PATH_BUFFER];

static const BYTE Patterns[4] = { 0x35, 0xCA, 0x97, 0x68 };

/* A write or flush the system refused (a full disk, a quota): the file is
 * then not what a shred leaves, and is not deleted. */
static int OverwriteFailed;

static char GeometryRoot[4];
static WORD GeometryChunk;

void BeginShredRequest(void)
{
    GeometryRoot[0] = 0;
    ForgetShownCursor();
}

/* The chunk of the drive whose root is given ("C:\"), asked once per
 * request and drive. */
static WORD ChunkOfDrive(const char *root)
{
    if (GeometryRoot[0] && lstrcmpiA(GeometryRoot, root) == 0)
        return GeometryChunk;
    DWORD sectors, bytes_per_sector;
    WORD chunk = 512;
    if (FileCalls->Geometry(root, &sectors, &bytes_per_sector))
        chunk = ChunkSizeFromGeometry(sectors, bytes_per_sector);
    if (lstrlenA(root) < (int)sizeof GeometryRoot) {
        lstrcpyA(GeometryRoot, root);
        GeometryChunk = chunk;
    }
    return chunk;
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

static void FillBytes(BYTE *bytes, BYTE value, DWORD size)
{
    for (DWORD i = 0; i < size; i++)
        bytes[i] = value;
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
            FillBytes(bytes, Patterns[i], chunk);
            SeekTo(file, position);
            if (!FileCalls->Write(file, bytes, count, &written) || written != count)
                OverwriteFailed = 1;
        }
        if (!FileCalls->Flush(file))
            OverwriteFailed = 1;
        GlobalUnlock(block);
    }
    GlobalFree(block);
}

/* The text end to end over the whole chunk, starting with its first
 * character; an empty text leaves zeros rather than the old contents. */
static void FillWithText(BYTE *bytes, DWORD size, const char *text, DWORD length)
{
    if (length == 0) {
        FillBytes(bytes, 0, size);
        return;
    }
    DWORD done = 0;
    while (done < size) {
        DWORD piece = size - done < length ? size - done : length;
        for (DWORD i = 0; i < piece; i++)
            bytes[done + i] = (BYTE)text[i];
        done += piece;
    }
}

/* Every chunk of the file, from the start: at level 4 the four patterns,
 * then the fill text. A round shorter than a chunk is the last, so a length
 * that is a multiple of the chunk ends on an empty round. With the file's
 * length known the counts come from it and nothing is read back; without
 * it they come from what reads find. */
static void OverwriteLoop(HANDLE file, int level, HGLOBAL chunk_block, WORD chunk, LONGLONG length)
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
    SeekTo(file, 0);
    while (!last) {
        DWORD count = 0;
        if (length >= 0) {
            LONGLONG left = length - position;
            count = left <= 0 ? 0 : left < chunk ? (DWORD)left : chunk;
        } else if (!ReadFile(file, bytes, chunk, &count, NULL)) {
            count = 0;
        }
        LONGLONG next = position + count;
        if (count != chunk)
            last = 1;

        SeedRandom(FileCalls->Clock());
        UINT id = (UINT)(DrawRandom() % FILL_TEXT_COUNT) + 1;
        int changed = id != loaded_id;   /* at most once a second */
        if (changed) {
            fill_length = (DWORD)LoadStringA(instance, id, fill, FILL_BUFFER);
            loaded_id = id;
        }
        if (level == 4)
            OverwritePatterns(file, position, count, chunk);
        /* Unless a read replaced it, the buffer still holds this text. */
        if (changed || length < 0)
            FillWithText(bytes, chunk, fill, fill_length);
        if (count) {
            DWORD written;
            /* Only the patterns or a read moved the pointer off this chunk. */
            if (level == 4 || length < 0)
                SeekTo(file, position);
            if (!FileCalls->Write(file, bytes, count, &written) || written != count)
                OverwriteFailed = 1;
        }
        if (OverwriteFailed)
            break;
        position = next;
    }
    GlobalUnlock(chunk_block);
}

/* test_link: nothing has asked yet whether the path is a link; the
 * first open answers it, and a link is kept. */
static int Shred(int level, int extend, int test_link)
{
    ShowWaitCursor();

    HANDLE file = FileCalls->Open(ScratchPath);
    if (file == INVALID_HANDLE_VALUE) {
        RefuseFile(ScratchPath, 0);
        return 0;
    }
    if (test_link && OpenedElsewhere(file, ScratchPath)) {
        CloseHandle(file);
        KeepLink(ScratchPath);
        return 0;
    }
    CloseHandle(file);
    DWORD attributes = GetFileAttributesA(ScratchPath);
    if (IsFolderAttributes(attributes)) {
        RefuseFile(ScratchPath, 1);
        return 0;
    }
    /* An administrator may open a read-only file for writing; it must stay. */
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
        RefuseFile(ScratchPath, 0);
        return 0;
    }

    char drive[3];
    SplitPath(ScratchPath, drive, sizeof drive, NULL, 0, NULL, 0, NULL, 0);
    CharUpperA(drive);
    lstrcpyA(ScratchPath, drive);
    lstrcatA(ScratchPath, "\\");

    WORD chunk = ChunkOfDrive(ScratchPath);

    HGLOBAL chunk_block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, (DWORD)chunk + 10);
    if (!chunk_block) {
        RefuseFileMemory();
        return 0;
    }

    char current_path[PATH_BUFFER];
    char new_path[PATH_BUFFER];
    lstrcpyA(current_path, WorkPath);
    new_path[0] = 0;
    if (!_ChangeFileName(level, new_path, current_path)) {
        GlobalFree(chunk_block);
        ShowArrowCursor();
        OutputDebugStringA(current_path);
        OutputDebugStringA(new_path);
        OutputDebugStringA("_ChangeFileName() Failed");
        return 0;
    }

    /* Deleting a file that could not be overwritten would report a shred
     * that never happened: leave it where it now lies and say so. */
    file = FileCalls->Open(new_path);
    if (file == INVALID_HANDLE_VALUE) {
        GlobalFree(chunk_block);
        RefuseFile(new_path, 0);
        return 0;
    }
    /* A length that cannot be read is not taken for 0: that would cut the
     * file to one chunk. */
    LONGLONG length;
    if (extend && FileCalls->Length(file, &length)) {
        SeekTo(file, length + chunk);
        SetEndOfFile(file);
    }
    int overwrite = level >= 2 && level <= 4;
    OverwriteFailed = 0;
    if (overwrite) {
        if (!FileCalls->Length(file, &length))
            length = -1;
        OverwriteLoop(file, level, chunk_block, chunk, length);
        /* Out of the write-back cache before the delete can drop it. */
        if (!FileCalls->Flush(file))
            OverwriteFailed = 1;
    }
    CloseHandle(file);
    GlobalFree(chunk_block);
    int left = -1;
    /* Deleting it now would pass a half-done overwrite off as a shred. */
    if (OverwriteFailed) {
        left = LEFT_NOT_OVERWRITTEN;
    } else {
        ScrambleFileTimes(level, new_path);
        if (!FileCalls->Remove(new_path))
            left = overwrite ? LEFT_OVERWRITTEN : LEFT_NOT_DELETED;
    }
    ShowFileDoneCursor();
    if (left < 0)
        return 1;
    NoteLeftInPlace(left, new_path);
    return 0;
}

int ShredFile(int level, int extend)
{
    return Shred(level, extend, 0);
}

int ShredWalkedFile(int level, int extend)
{
    return Shred(level, extend, 1);
}
