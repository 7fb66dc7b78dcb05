/* Path rules shared by the shredder, the walk and the requests. */
#ifndef PATHS_H
#define PATHS_H

#include <windows.h>

#define PATH_BUFFER 262         /* ANSI path of at most 259 characters */
#define MAX_PATH_CHARS 259

void SplitPath(const char *path, char *drive, int drive_size, char *dir, int dir_size,
               char *name, int name_size, char *ext, int ext_size);

/* A path longer than a path buffer holds is never acted on: a cut copy
 * would name another file. */
int FitsPathBuffer(const char *path);
void RefuseTooLong(const char *path);

/* The folder test: attributes that could be read and say folder. */
int IsFolderAttributes(DWORD attributes);
int IsFolder(const char *path);

/* A drive root is never destroyed, whatever the options say. */
int IsDriveRoot(const char *path);
void RefuseDriveRoot(const char *path);

#endif
