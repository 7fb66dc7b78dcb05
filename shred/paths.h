/* Path rules shared by the shredder, the walk, the links and the requests. */
#ifndef PATHS_H
#define PATHS_H

#include <windows.h>

#define PATH_BUFFER 262         /* ANSI path of at most 259 characters */
#define MAX_PATH_CHARS 259

void SplitPath(const char *path, char *drive, int drive_size, char *dir, int dir_size,
               char *name, int name_size, char *ext, int ext_size);

/* The same text byte for byte (lstrcmpA compares as a language does, and
 * slowly); with `fold`, a to z taken for A to Z. */
int SameText(const char *a, const char *b, int fold);
/* The character after `p`: two bytes after a lead byte of the code page. */
const char *NextChar(const char *p);

/* The length without trailing backslashes; a root keeps its own ("C:\"). */
int TrimmedLength(const char *path);
/* folder + "\" + name (no second backslash) into out; 0, and out
 * untouched, when that would not fit its `size` bytes. */
int JoinPath(char *out, int size, const char *folder, const char *name);
int WideLength(const WCHAR *text);

/* A path longer than a path buffer holds is never acted on: a cut copy
 * would name another file. */
int FitsPathBuffer(const char *path);

/* The folder test: attributes that could be read and say folder. */
int IsFolderAttributes(DWORD attributes);
int IsFolder(const char *path);

/* Whether two open handles reach one file or folder: the same volume and
 * index. */
int SameFile(HANDLE a, HANDLE b);

/* A drive root is never destroyed, whatever the options say. */
int IsDriveRoot(const char *path);

#endif
