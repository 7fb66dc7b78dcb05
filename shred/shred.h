/* The file shredder and the path buffers through which callers hand it work. */
#ifndef SHRED_H
#define SHRED_H

#include <windows.h>
#include "paths.h"

#define CAPTION_BUFFER 20       /* room LevelCaption needs */
#define FILL_BUFFER 60          /* one fill text with its terminator */
#define FILL_TEXT_COUNT 8       /* string ids 1 to 8 */
#define RENAME_MAX_LETTERS 231

extern char WorkPath[PATH_BUFFER];
extern char ScratchPath[PATH_BUFFER];

/* The process's one random generator: draws run from 0 to 2147483647. */
void SeedRandom(unsigned long seed);
unsigned long DrawRandom(void);
unsigned long ClockSeconds(void);

int ShredFile(int level, int extend);
void OverwritePatterns(HANDLE file, LONGLONG position, DWORD count, WORD chunk);
int _ChangeFileName(int level, char *new_path, char *current_path);
int ScrambleFileTimes(int level, const char *path);
void LevelCaption(int level, char *out);

/* Chunk size for a drive's geometry; never 0, even for clusters of 64 KiB. */
WORD ChunkSizeFromGeometry(DWORD sectors_per_cluster, DWORD bytes_per_sector);

/* How the shredder reaches the file system. Tests point these elsewhere to
 * watch every pass, or to make one step fail. */
extern HANDLE (*ShredOpen)(LPCSTR path);
extern BOOL (*ShredRemove)(LPCSTR path);
extern BOOL (*ShredLength)(HANDLE file, LONGLONG *length);
extern BOOL (*ShredWrite)(HANDLE file, const void *bytes, DWORD count, DWORD *written);
extern BOOL (*ShredFlush)(HANDLE file);
extern BOOL (*ShredSetTimes)(HANDLE file, const FILETIME *created, const FILETIME *accessed,
                             const FILETIME *written);
extern BOOL (*ShredRename)(LPCSTR from, LPCSTR to);
extern BOOL (*ShredBeep)(UINT type);
extern BOOL (*ShredGeometry)(LPCSTR root, DWORD *sectors_per_cluster, DWORD *bytes_per_sector);
extern unsigned long (*ShredClock)(void);
HANDLE OpenForShred(LPCSTR path);
BOOL RemoveShredded(LPCSTR path);
BOOL LengthOfFile(HANDLE file, LONGLONG *length);
BOOL WriteToFile(HANDLE file, const void *bytes, DWORD count, DWORD *written);
BOOL FlushToDisk(HANDLE file);
BOOL SetTimesOfFile(HANDLE file, const FILETIME *created, const FILETIME *accessed, const FILETIME *written);
BOOL RenameFile(LPCSTR from, LPCSTR to);
BOOL SoundBeep(UINT type);
BOOL GeometryOfDrive(LPCSTR root, DWORD *sectors_per_cluster, DWORD *bytes_per_sector);

/* A request asks each drive's geometry once and sets a cursor only when it
 * changes: both are forgotten when a request starts. */
void BeginShredRequest(void);
/* Set by the walk for an entry it has not tested for a link: the
 * shredder's first open answers that, and a link is kept. */
extern int ShredTestsLink;
/* Set while a walk runs: the wait cursor stays up from file to file. */
extern int WalkRunning;
void ShowWaitCursor(void);
void ShowArrowCursor(void);

#endif
