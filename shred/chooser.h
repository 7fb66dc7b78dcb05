/* The Delete command and its file chooser. */
#ifndef CHOOSER_H
#define CHOOSER_H

#include <windows.h>

#define LAST_DIRECTORY_BUFFER 516

/* Set while Shift+Del runs: the Delete command then goes at level 1. */
extern int ForcePlainDelete;
extern char LastDirectory[LAST_DIRECTORY_BUFFER];

int ListFiles(HWND owner, int level);
void DeleteCommand(HWND owner);
void PlainDeleteCommand(HWND owner);

#endif
