/* The folder walk: destroys a folder with its whole tree. */
#ifndef WALK_H
#define WALK_H

#include <windows.h>

void DirWalk(HWND popup, const char *path, int level, int extend);

#endif
