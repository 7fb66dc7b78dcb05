/* The file shredder and the path buffers through which callers hand it work. */
#ifndef SHRED_H
#define SHRED_H

#include <windows.h>

#define PATH_BUFFER 262         /* ANSI path of at most 259 characters */
#define MAX_PATH_CHARS 259
#define CAPTION_BUFFER 20       /* room LevelCaption needs */
#define FILL_BUFFER 60          /* one fill text with its terminator */
#define FILL_TEXT_COUNT 8       /* string ids 1 to 8 */
#define RENAME_MAX_LETTERS 231

extern char WorkPath[PATH_BUFFER];
extern char ScratchPath[PATH_BUFFER];

/* The process's one random generator: draws run from 0 to 2147483647. */
void SeedRandom(unsigned long seed);
unsigned long DrawRandom(void);

int ShredFile(int level, int extend);
void OverwritePatterns(HANDLE file, LONGLONG position, DWORD count, WORD chunk);
int _ChangeFileName(int level, char *new_path, char *current_path);
int ScrambleFileTimes(int level, const char *path);
void LevelCaption(int level, char *out);

/* Chunk size for a drive's geometry; never 0, even for clusters of 64 KiB. */
WORD ChunkSizeFromGeometry(DWORD sectors_per_cluster, DWORD bytes_per_sector);

/* How the shredder opens and finally removes a file. Tests point these
 * elsewhere to look at a file just before it goes. */
extern HANDLE (*ShredOpen)(LPCSTR path);
extern BOOL (*ShredRemove)(LPCSTR path);
HANDLE OpenForShred(LPCSTR path);
BOOL RemoveShredded(LPCSTR path);

#endif
