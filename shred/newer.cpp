/* The newer calls, looked up by name in the system DLLs the program has
 * loaded already (ntdll is there on NT alone). */
#include "newer.h"

NewerCallTable NewerCalls;
static int LookedUp;

static void *CallOf(const char *dll, const char *name)
{
    HMODULE module = GetModuleHandleA(dll);
    return module ? (void *)GetProcAddress(module, name) : NULL;
}

void LookUpNewerCalls(void)
{
    NewerCalls.QueryObject = (LONG (WINAPI *)(HANDLE, int, void *, ULONG, ULONG *))CallOf("ntdll.dll", "NtQueryObject");
    NewerCalls.FindFirstFileW = (HANDLE (WINAPI *)(LPCWSTR, WIN32_FIND_DATAW *))CallOf("kernel32.dll", "FindFirstFileW");
    NewerCalls.FindNextFileW = (BOOL (WINAPI *)(HANDLE, WIN32_FIND_DATAW *))CallOf("kernel32.dll", "FindNextFileW");
    NewerCalls.GetShortPathNameW = (DWORD (WINAPI *)(LPCWSTR, LPWSTR, DWORD))CallOf("kernel32.dll", "GetShortPathNameW");
    NewerCalls.GetLongPathNameW = (DWORD (WINAPI *)(LPCWSTR, LPWSTR, DWORD))CallOf("kernel32.dll", "GetLongPathNameW");
    NewerCalls.CreateFileW = (HANDLE (WINAPI *)(LPCWSTR, DWORD, DWORD, SECURITY_ATTRIBUTES *, DWORD, DWORD, HANDLE))
        CallOf("kernel32.dll", "CreateFileW");
    NewerCalls.DragQueryFileW = (UINT (WINAPI *)(HDROP, UINT, LPWSTR, UINT))CallOf("shell32.dll", "DragQueryFileW");
    LookedUp = 1;
}

void NeedNewerCalls(void)
{
    if (!LookedUp)
        LookUpNewerCalls();
}
