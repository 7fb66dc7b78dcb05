/* The file shredder, and the path buffers through which callers hand it
 * the file. */
#ifndef SHREDDER_H
#define SHREDDER_H

#include <windows.h>
#include "paths.h"

#define CAPTION_BUFFER 20       /* room LevelCaption needs */
#define FILL_BUFFER 60          /* one fill text with its terminator */
#define FILL_TEXT_COUNT 8       /* string ids 1 to 8 */

extern char WorkPath[PATH_BUFFER];
extern char ScratchPath[PATH_BUFFER];

int ShredFile(int level, int extend);
/* The same for a walk's entry, not yet tested for a link: the shredder's
 * first open answers that, and a link is kept. */
int ShredWalkedFile(int level, int extend);
void LevelCaption(int level, char *out);

/* Chunk size for a drive's geometry; never 0, even for clusters of 64 KiB. */
WORD ChunkSizeFromGeometry(DWORD sectors_per_cluster, DWORD bytes_per_sector);

/* A request asks each drive's geometry once and sets a cursor only when it
 * changes: both are forgotten when a request starts. */
void BeginShredRequest(void);

#endif
