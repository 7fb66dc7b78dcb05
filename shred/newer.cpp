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
    NewerCalls.QueryInformationFile =
        (LONG (WINAPI *)(HANDLE, void *, void *, ULONG, int))CallOf("ntdll.dll", "NtQueryInformationFile");
    NewerCalls.FindFirstFileW = (HANDLE (WINAPI *)(LPCWSTR, WIN32_FIND_DATAW *))CallOf("kernel32.dll", "FindFirstFileW");
    NewerCalls.FindNextFileW = (BOOL (WINAPI *)(HANDLE, WIN32_FIND_DATAW *))CallOf("kernel32.dll", "FindNextFileW");
    NewerCalls.GetShortPathNameW = (DWORD (WINAPI *)(LPCWSTR, LPWSTR, DWORD))CallOf("kernel32.dll", "GetShortPathNameW");
    NewerCalls.GetLongPathNameW = (DWORD (WINAPI *)(LPCWSTR, LPWSTR, DWORD))CallOf("kernel32.dll", "GetLongPathNameW");
    NewerCalls.DragQueryFileW = (UINT (WINAPI *)(HDROP, UINT, LPWSTR, UINT))CallOf("shell32.dll", "DragQueryFileW");
    /* The high bit of the version: Windows 95 and its kin. */
    int wide_windows = !(GetVersion() & 0x80000000);
    NewerCalls.SetDlgItemTextW =
        wide_windows ? (BOOL (WINAPI *)(HWND, int, LPCWSTR))CallOf("user32.dll", "SetDlgItemTextW") : NULL;
    NewerCalls.MessageBoxW =
        wide_windows ? (int (WINAPI *)(HWND, LPCWSTR, LPCWSTR, UINT))CallOf("user32.dll", "MessageBoxW") : NULL;
    NewerCalls.CreateFileW = wide_windows ? (HANDLE (WINAPI *)(LPCWSTR, DWORD, DWORD, SECURITY_ATTRIBUTES *, DWORD, DWORD,
                                                               HANDLE))CallOf("kernel32.dll", "CreateFileW")
                                          : NULL;
    NewerCalls.GetTextExtentPoint32W =
        wide_windows ? (BOOL (WINAPI *)(HDC, LPCWSTR, int, SIZE *))CallOf("gdi32.dll", "GetTextExtentPoint32W") : NULL;
    LookedUp = 1;
}

void NeedNewerCalls(void)
{
    if (!LookedUp)
        LookUpNewerCalls();
}
