/* The system calls newer than Windows 95 and NT 4, as one table looked up
 * at run time: null where the system lacks them. Links, names and drops
 * use these entries and no others; a test clears one to run as an older
 * system would (RestoreSeams looks them all up again). */
#ifndef NEWER_H
#define NEWER_H

#include <windows.h>
#include <shellapi.h>

struct NewerCallTable {
    /* ntdll (NT only, none on Windows 95): the path an open handle
     * reached, NtQueryObject with its ObjectNameInformation class. */
    LONG (WINAPI *QueryObject)(HANDLE handle, int kind, void *info, ULONG size, ULONG *used);
    /* ntdll: what an open file is, NtQueryInformationFile (its basic and
     * standard classes ask the file alone, no volume). */
    LONG (WINAPI *QueryInformationFile)(HANDLE file, void *io, void *info, ULONG size, int kind);
    /* kernel32, wide names: stubs on Windows 95 that fail with
     * ERROR_CALL_NOT_IMPLEMENTED; the long form came with 98 and 2000. */
    HANDLE (WINAPI *FindFirstFileW)(LPCWSTR pattern, WIN32_FIND_DATAW *entry);
    BOOL (WINAPI *FindNextFileW)(HANDLE search, WIN32_FIND_DATAW *entry);
    DWORD (WINAPI *GetShortPathNameW)(LPCWSTR path, LPWSTR out, DWORD size);
    DWORD (WINAPI *GetLongPathNameW)(LPCWSTR path, LPWSTR out, DWORD size);
    /* shell32: a dropped item's wide name. */
    UINT (WINAPI *DragQueryFileW)(HDROP drop, UINT index, LPWSTR out, UINT size);
    /* kernel32's wide open, user32's and gdi32's wide texts: left null on
     * Windows 95, whose stubs of them fail. */
    HANDLE (WINAPI *CreateFileW)(LPCWSTR path, DWORD access, DWORD share, SECURITY_ATTRIBUTES *security,
                                 DWORD creation, DWORD flags, HANDLE model);
    BOOL (WINAPI *SetDlgItemTextW)(HWND dialog, int id, LPCWSTR text);
    int (WINAPI *MessageBoxW)(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type);
    BOOL (WINAPI *GetTextExtentPoint32W)(HDC dc, LPCWSTR text, int chars, SIZE *size);
};

extern NewerCallTable NewerCalls;

/* Fills the table on the first call only: every user calls it first. */
void NeedNewerCalls(void);
/* Fills it again, whatever was cleared. */
void LookUpNewerCalls(void);

#endif
