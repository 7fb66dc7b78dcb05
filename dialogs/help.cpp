/* The help viewer, reached through one pointer. */
#include "help.h"

BOOL CallWinHelp(HWND owner, LPCSTR file, UINT command, ULONG_PTR data)
{
    return WinHelpA(owner, file, command, data);
}

BOOL (*ShowHelp)(HWND owner, LPCSTR file, UINT command, ULONG_PTR data) = CallWinHelp;
