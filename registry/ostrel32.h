/* Registry routines: every setting is a key of its own whose default value
 * holds the setting's text. Exported by name, __stdcall, result 0 = success. */
#ifndef OSTREL32_H
#define OSTREL32_H

#include <windows.h>

#ifdef OSTREL32_BUILD
#define OSTREL_API __declspec(dllexport)
#else
#define OSTREL_API __declspec(dllimport)
#endif

typedef LONG RegResult;

enum {
    REG_OK = 0,
    REG_NO_SCRATCH = 3,      /* scratch block for a read not allocated */
    REG_CREATE_FAILED = 6,   /* key missing and could not be created */
    REG_MISSING = 7,         /* key missing and creation not asked for */
    REG_OPEN_FAILED = 8,     /* key could not be opened */
    REG_DELETE_FAILED = 9,   /* child key could not be deleted */
    REG_WRITE_FAILED = 10,   /* value could not be written */
    REG_READ_FAILED = 11     /* value could not be read (or too long) */
};

/* Largest text a read returns, terminator included, and the size the
 * caller's buffer must have. */
#define REG_READ_LIMIT 80
#define REG_OUT_SIZE 81

#ifdef __cplusplus
extern "C" {
#endif
OSTREL_API RegResult WINAPI CheckForRegCreateEx(HKEY root, LPCSTR path, LONG create);
OSTREL_API RegResult WINAPI DeleteRegKeyEx(HKEY root, LPCSTR path, LPCSTR child);
OSTREL_API RegResult WINAPI SetRegValueEx(HKEY root, LPCSTR path, LPCSTR text);
OSTREL_API RegResult WINAPI GetRegValueEx(HKEY root, LPCSTR path, LPSTR out);
#ifdef __cplusplus
}
#endif

#endif
