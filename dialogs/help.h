/* The program's use of the help viewer. */
#ifndef HELP_H
#define HELP_H

#include <windows.h>

#define HELP_FILE "zorvex.hlp"

/* Every call of the help viewer goes through here; a test points it at a
 * recorder (and may forward to CallWinHelp). */
extern BOOL (*ShowHelp)(HWND owner, LPCSTR file, UINT command, ULONG_PTR data);
BOOL CallWinHelp(HWND owner, LPCSTR file, UINT command, ULONG_PTR data);

#endif
