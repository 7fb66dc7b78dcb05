/* ostrel32.dll: the only code that touches the registry. Keeps nothing
 * between calls and closes every key it opens before returning. */
#define OSTREL32_BUILD
#include "ostrel32.h"

/* The read's scratch block; shared, so reads must not overlap. */
static HGLOBAL ScratchHandle = NULL;
static LPSTR ScratchText = NULL;

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID)
{
    return TRUE;
}

extern "C" OSTREL_API RegResult WINAPI CheckForRegCreateEx(HKEY root, LPCSTR path, LONG create)
{
    HKEY key;
    if (RegOpenKeyA(root, path, &key) == ERROR_SUCCESS) {
        RegCloseKey(key);
        return REG_OK;
    }
    if (!create)
        return REG_MISSING;
    if (RegCreateKeyA(root, path, &key) != ERROR_SUCCESS)
        return REG_CREATE_FAILED;
    RegCloseKey(key);
    return REG_OK;
}

extern "C" OSTREL_API RegResult WINAPI DeleteRegKeyEx(HKEY root, LPCSTR path, LPCSTR child)
{
    HKEY key;
    if (RegOpenKeyA(root, path, &key) != ERROR_SUCCESS)
        return REG_OPEN_FAILED;
    LONG rc = RegDeleteKeyA(key, child);
    RegCloseKey(key);
    return rc == ERROR_SUCCESS ? REG_OK : REG_DELETE_FAILED;
}

extern "C" OSTREL_API RegResult WINAPI SetRegValueEx(HKEY root, LPCSTR path, LPCSTR text)
{
    HKEY key;
    if (RegOpenKeyA(root, path, &key) != ERROR_SUCCESS)
        return REG_OPEN_FAILED;
    LONG rc = RegSetValueA(key, NULL, REG_SZ, text, lstrlenA(text) + 1);
    RegCloseKey(key);
    return rc == ERROR_SUCCESS ? REG_OK : REG_WRITE_FAILED;
}

extern "C" OSTREL_API RegResult WINAPI GetRegValueEx(HKEY root, LPCSTR path, LPSTR out)
{
    HKEY key;
    if (RegOpenKeyA(root, path, &key) != ERROR_SUCCESS)
        return REG_OPEN_FAILED;

    /* Told 80 bytes of an 81-byte zeroed block, so the copy is always ended. */
    LONG capacity = REG_READ_LIMIT;
    ScratchHandle = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, REG_OUT_SIZE);
    if (!ScratchHandle) {
        RegCloseKey(key);
        return REG_NO_SCRATCH;
    }
    ScratchText = (LPSTR)GlobalLock(ScratchHandle);
    RegResult result = REG_READ_FAILED;
    if (ScratchText && RegQueryValueA(key, NULL, ScratchText, &capacity) == ERROR_SUCCESS) {
        lstrcpyA(out, ScratchText);
        result = REG_OK;
    }
    if (ScratchText)
        GlobalUnlock(ScratchHandle);
    GlobalFree(ScratchHandle);
    ScratchHandle = NULL;
    ScratchText = NULL;
    RegCloseKey(key);
    return result;
}
