/* Destroys one file at a security level: renames, lengthening, pattern and
 * text passes over every cluster, random times, delete. */
#include "shredder.h"
#include "cursor.h"
#include "fileio.h"
#include "links.h"
#include "newer.h"
#include "progress.h"
#include "random.h"
#include "rename.h"
#include "report.h"

char WorkPath[PATH_BUFFER];
char ScratchPath[PATH_BUFFER];

static const BYTE Patterns[4] = { 0x35, 0xCA, 0x97, 0x68 };

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
    if (GeometryRoot[0] && SameText(GeometryRoot, root, 1))
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

/* The fill text of a chunk, drawn after seeding from the clock: the chunks
 * of one second share a text. Non-zero when it is another than before. */
struct FillText { char text[FILL_BUFFER]; DWORD length; UINT id; };

static int DrawFillText(FillText *fill)
{
    SeedRandom(FileCalls->Clock());
    UINT id = (UINT)(DrawRandom() % FILL_TEXT_COUNT) + 1;
    if (id == fill->id)
        return 0;
    fill->length = (DWORD)LoadStringA(GetModuleHandleA(NULL), id, fill->text, FILL_BUFFER);
    fill->id = id;
    return 1;
}

#define TEXT_PASS -1
#define GROWTH_ROUNDS 3

/* How a pass ended. */
enum { PASS_DONE, PASS_FAILED, PASS_STOPPED };

/* One file's overwrite: its handle, the one chunk buffer every pass
 * writes from, and the bytes the passes have written of all they will. */
struct Overwrite {
    HANDLE file;
    BYTE *bytes;
    WORD chunk;
    LONGLONG written, total;
};

/* One pass from `from` to *end, chunk by chunk: the pattern byte over
 * every byte, or with TEXT_PASS the fill text. A round shorter than a chunk
 * is the last, so an end on a chunk's border ends on an empty round. With
 * *end unknown (-1) the counts come from what reads find, and *end becomes
 * the end they found. Stop ends it at the next chunk. */
static int OverwritePass(Overwrite *o, LONGLONG from, LONGLONG *end, int pattern)
{
    FillText fill;
    fill.id = 0;
    int reading = *end < 0;
    if (pattern != TEXT_PASS)
        FillBytes(o->bytes, (BYTE)pattern, o->chunk);
    LONGLONG position = from;
    SeekTo(o->file, from);
    for (;;) {
        SetFileProgress(o->written, o->total);
        if (KeepAlive())
            return PASS_STOPPED;
        DWORD count = 0;
        if (!reading) {
            LONGLONG left = *end - position;
            count = left <= 0 ? 0 : left < o->chunk ? (DWORD)left : o->chunk;
        } else if (!FileCalls->Read(o->file, o->bytes, o->chunk, &count)) {
            return PASS_FAILED;   /* an end it cannot read is no end */
        }
        /* Unless a read replaced it, the buffer still holds what it wrote. */
        if (pattern == TEXT_PASS) {
            if (DrawFillText(&fill) || reading)
                FillWithText(o->bytes, o->chunk, fill.text, fill.length);
        } else if (reading) {
            FillBytes(o->bytes, (BYTE)pattern, o->chunk);
        }
        if (count) {
            DWORD written;
            if (reading)
                SeekTo(o->file, position);
            if (!FileCalls->Write(o->file, o->bytes, count, &written) || written != count)
                return PASS_FAILED;
            o->written += count;
        }
        position += count;
        if (count != o->chunk)
            break;
    }
    if (reading)
        *end = position;
    return PASS_DONE;
}

static int Flushed(Overwrite *o, int pass)
{
    return pass != PASS_DONE ? pass : FileCalls->Flush(o->file) ? PASS_DONE : PASS_FAILED;
}

/* Level 4's four byte patterns, each over the whole range and flushed
 * before the next: a rewrite of bytes still in the write-back cache would
 * replace the one before it there and never reach the disk. */
static int OverwritePatterns(Overwrite *o, LONGLONG from, LONGLONG *end)
{
    for (int i = 0; i < 4; i++) {
        int pass = Flushed(o, OverwritePass(o, from, end, Patterns[i]));
        if (pass != PASS_DONE)
            return pass;
    }
    return PASS_DONE;
}

/* Every pass of the level over the range: at level 4 the patterns, then
 * the fill text, each flushed, the last out of the write-back cache before
 * the delete can drop it. */
static int OverwriteRange(Overwrite *o, int level, LONGLONG from, LONGLONG *end)
{
    int passes = level == 4 ? 5 : 1;
    if (*end > from)
        o->total += passes * (*end - from);
    int pass = level == 4 ? OverwritePatterns(o, from, end) : PASS_DONE;
    return pass != PASS_DONE ? pass : Flushed(o, OverwritePass(o, from, end, TEXT_PASS));
}

/* Whether anything lies past `end` now: asked of the length, or where
 * that cannot be read, of a read there (*now is then unknown, -1). -1
 * when neither tells. */
static int GrewPast(Overwrite *o, LONGLONG end, LONGLONG *now)
{
    if (FileCalls->Length(o->file, now))
        return *now > end;
    DWORD count = 0;
    *now = -1;
    SeekTo(o->file, end);
    if (!FileCalls->Read(o->file, o->bytes, 1, &count))
        return -1;
    return count > 0;
}

/* Every pass over the whole file. Bytes another program adds meanwhile
 * get the same passes, for a few rounds: a file that keeps growing is
 * left, for its last bytes have not had them all. A LEFT_ kind, or -1. */
static int OverwriteFile(Overwrite *o, int level, LONGLONG length)
{
    LONGLONG from = 0, end = length, now;
    for (int round = 0;; round++) {
        int pass = OverwriteRange(o, level, from, &end);
        if (pass != PASS_DONE)
            return pass == PASS_STOPPED ? LEFT_STOPPED : LEFT_NOT_OVERWRITTEN;
        int grew = GrewPast(o, end, &now);
        if (grew < 0)
            return LEFT_NOT_OVERWRITTEN;
        if (!grew)
            return -1;
        if (round == GROWTH_ROUNDS)
            return LEFT_GREW;
        from = end;
        end = now;
    }
}

/* Only a plain file of one name is shredded. A device or a pipe takes no
 * overwrite, and the system tells nothing of it as a file; overwriting one
 * name of several would overwrite what every other name shows. A LEFT_
 * kind, or -1. The file's own classes where there are (the whole record
 * asks the volume too: a round trip of its own under Wine), else the
 * record. */
static int UnshreddableKind(HANDLE file)
{
    NeedNewerCalls();
    if (NewerCalls.QueryInformationFile) {
        struct { LARGE_INTEGER times[4]; ULONG attributes; } basic;                  /* FILE_BASIC_INFORMATION */
        struct { LARGE_INTEGER allocated, end; ULONG links; BOOLEAN deleting, folder; } standard;
        struct { void *status; ULONG_PTR information; } io;                           /* IO_STATUS_BLOCK */
        const int BASIC_CLASS = 4, STANDARD_CLASS = 5;
        if (NewerCalls.QueryInformationFile(file, &io, &basic, sizeof basic, BASIC_CLASS) != 0 ||
            NewerCalls.QueryInformationFile(file, &io, &standard, sizeof standard, STANDARD_CLASS) != 0)
            return LEFT_NOT_PLAIN;
        return !standard.folder && standard.links > 1 ? LEFT_HARD_LINKED : -1;
    }
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(file, &info))
        return LEFT_NOT_PLAIN;
    if (!(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && info.nNumberOfLinks > 1)
        return LEFT_HARD_LINKED;
    return -1;
}

static int LeftUntouched(int kind, const char *path)
{
    ShowFileDoneCursor();
    NoteLeftInPlace(kind, path);
    return 0;
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
    /* Known before a rename would change it; without renames the second
     * open answers, its handle readied for the writes anyway. */
    int renames = level == 3 || level == 4;
    int kind = renames ? UnshreddableKind(file) : -1;
    CloseHandle(file);
    if (kind >= 0)
        return LeftUntouched(kind, ScratchPath);
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
    if (drive[0] >= 'a' && drive[0] <= 'z')
        drive[0] = (char)(drive[0] - 'a' + 'A');
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
    kind = renames ? -1 : UnshreddableKind(file);
    if (kind >= 0) {
        CloseHandle(file);
        GlobalFree(chunk_block);
        return LeftUntouched(kind, new_path);
    }
    /* A length that cannot be read is not taken for 0: that would cut the
     * file to one chunk. */
    LONGLONG length;
    if (extend && FileCalls->Length(file, &length)) {
        SeekTo(file, length + chunk);
        SetEndOfFile(file);
    }
    int left = -1;
    Overwrite overwrite = { file, NULL, chunk, 0, 0 };
    if (level >= 2 && level <= 4) {
        if (!FileCalls->Length(file, &length))
            length = -1;
        overwrite.bytes = (BYTE *)GlobalLock(chunk_block);
        left = overwrite.bytes ? OverwriteFile(&overwrite, level, length) : LEFT_NOT_OVERWRITTEN;
        GlobalUnlock(chunk_block);
        SetFileProgress(0, 0);
    }
    CloseHandle(file);
    GlobalFree(chunk_block);
    /* Only a file every pass reached goes: deleting any other would pass
     * a half-done overwrite off as a shred. */
    if (left < 0) {
        ScrambleFileTimes(level, new_path);
        /* "Overwritten" only where bytes were. */
        if (!FileCalls->Remove(new_path))
            left = overwrite.written ? LEFT_OVERWRITTEN : LEFT_NOT_DELETED;
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
