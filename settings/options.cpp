/* Options store: one registry key per option below
 * HKEY_CURRENT_USER\Software\Halvorn\Zorvex\Options, its text the key's
 * default value. The library is loaded by name around every access. */
#include "options.h"
#include "menus.h"
#include "../registry/ostrel32.h"
#include "../res/resource.h"

int SecurityLevel;
int ConfirmDelete;
int Minimized;
int UseShiftKey;
int IconColor;
int UseDirectory;
int AllowDirectoryDelete;
int ExtendBeforeOverwrite;

const char *RegLibName = "ostrel32.dll";
static HMODULE RegLib;

static int OpenRegLib(void)
{
    RegLib = LoadLibraryA(RegLibName);
    if ((ULONG_PTR)RegLib > 32)
        return 1;
    MessageBoxA(NULL, "Unable to load ostrel32.dll", MAIN_TITLE, MB_OK);
    return 0;
}

static void CloseRegLib(void)
{
    FreeLibrary(RegLib);
}

/* Loads the key path and makes sure the key exists; 0 when it is unavailable. */
static int OpenOptionKey(UINT id, char *key)
{
    if (LoadStringA(GetModuleHandleA(NULL), id, key, KEY_BUFFER - 1) == 0)
        key[0] = 0;
    return CheckForRegCreateEx(HKEY_CURRENT_USER, key, 1) == REG_OK;
}

/* Reads an option's text; 0 when its key is unavailable. A read that fails
 * after the key was opened gives the empty text. */
static int ReadOption(UINT id, char *value)
{
    char key[KEY_BUFFER];
    if (!OpenOptionKey(id, key))
        return 0;
    value[0] = 0;
    if (GetRegValueEx(HKEY_CURRENT_USER, key, value) != REG_OK)
        value[0] = 0;
    return 1;
}

static void WriteOption(UINT id, const char *text)
{
    char key[KEY_BUFFER];
    if (OpenOptionKey(id, key))
        SetRegValueEx(HKEY_CURRENT_USER, key, text);
}

static int IconColorFromText(const char *text)
{
    if (lstrcmpiA(text, "Red") == 0) return 1;
    if (lstrcmpiA(text, "Green") == 0) return 2;
    if (lstrcmpiA(text, "Yellow") == 0) return 3;
    return 0;
}

static int SecurityLevelFromText(const char *text)
{
    if (lstrcmpiA(text, "TopSecret") == 0) return 4;
    if (lstrcmpiA(text, "Secret") == 0) return 3;
    if (lstrcmpiA(text, "Confidential") == 0) return 2;
    return 1;
}

/* The whole number, held at the ends of the int's range. */
int NumberFromText(const char *text)
{
    while (*text == ' ' || (*text >= '\t' && *text <= '\r'))
        text++;
    int negative = 0;
    if (*text == '+' || *text == '-')
        negative = *text++ == '-';
    LONGLONG value = 0;
    for (; *text >= '0' && *text <= '9'; text++)
        if (value <= 2147483648LL)
            value = value * 10 + (*text - '0');
    if (negative)
        return value >= 2147483648LL ? (int)0x80000000 : (int)-value;
    return value > 2147483647LL ? 2147483647 : (int)value;
}

/* A stored corner far off the screen would hide the window for good: at
 * least this much of it stays on the screen (the whole desktop where the
 * system reports one, else the primary screen). */
#define KEEP_VISIBLE 32
#define METRIC_XVIRTUALSCREEN 76
#define METRIC_YVIRTUALSCREEN 77
#define METRIC_CXVIRTUALSCREEN 78
#define METRIC_CYVIRTUALSCREEN 79

static int Clamp(int value, int low, int high)
{
    return value < low ? low : value > high ? high : value;
}

static void KeepOnScreen(HWND window, int *x, int *y)
{
    int left = GetSystemMetrics(METRIC_XVIRTUALSCREEN), top = GetSystemMetrics(METRIC_YVIRTUALSCREEN);
    int width = GetSystemMetrics(METRIC_CXVIRTUALSCREEN), height = GetSystemMetrics(METRIC_CYVIRTUALSCREEN);
    if (width <= 0 || height <= 0) {
        left = top = 0;
        width = GetSystemMetrics(SM_CXSCREEN);
        height = GetSystemMetrics(SM_CYSCREEN);
    }
    RECT rect;
    GetWindowRect(window, &rect);
    *x = Clamp(*x, left - (rect.right - rect.left) + KEEP_VISIBLE, left + width - KEEP_VISIBLE);
    *y = Clamp(*y, top - (rect.bottom - rect.top) + KEEP_VISIBLE, top + height - KEEP_VISIBLE);
}

static const char *IconColorText(int color)
{
    switch (color) {
    case 1: return "Red";
    case 2: return "Green";
    case 3: return "Yellow";
    }
    return "Gray";
}

static const char *SecurityLevelText(int level)
{
    switch (level) {
    case 2: return "Confidential";
    case 3: return "Secret";
    case 4: return "TopSecret";
    }
    return "Restricted";
}

void LoadOptions(HWND window)
{
    if (!OpenRegLib())
        return;
    char value[VALUE_BUFFER];
    IconColor = ReadOption(IDS_KEY_ICON_COLOR, value) ? IconColorFromText(value) : 0;
    SecurityLevel = ReadOption(IDS_KEY_SECURITY_LEVEL, value) ? SecurityLevelFromText(value) : 1;
    ConfirmDelete = ReadOption(IDS_KEY_CONFIRM_DELETE, value) ? lstrcmpA(value, "No") != 0 : 1;
    Minimized = ReadOption(IDS_KEY_MINIMIZED, value) ? lstrcmpA(value, "Yes") == 0 : 0;
    ExtendBeforeOverwrite = 1;
    UseShiftKey = ReadOption(IDS_KEY_USE_SHIFT_KEY, value) ? lstrcmpA(value, "No") != 0 : 0;

    HMENU menu = GetMenu(window);
    CheckMenuCommand(menu, CMD_CONFIRM_DELETE, ConfirmDelete);
    CheckMenuCommand(menu, CMD_START_AS_ICON, Minimized);
    CheckMenuCommand(menu, CMD_USE_SHIFT_KEY, UseShiftKey);
    DrawMenuBar(window);
    CloseRegLib();
}

void SaveOptions(void)
{
    if (!OpenRegLib())
        return;
    WriteOption(IDS_KEY_ICON_COLOR, IconColorText(IconColor));
    WriteOption(IDS_KEY_SECURITY_LEVEL, SecurityLevelText(SecurityLevel));
    WriteOption(IDS_KEY_CONFIRM_DELETE, ConfirmDelete ? "Yes" : "No");
    WriteOption(IDS_KEY_MINIMIZED, Minimized ? "Yes" : "No");
    WriteOption(IDS_KEY_USE_SHIFT_KEY, UseShiftKey ? "Yes" : "No");
    CloseRegLib();
}

void LoadWindowPos(HWND window)
{
    int x = 50, y = 50;
    if (OpenRegLib()) {
        char value[VALUE_BUFFER];
        if (ReadOption(IDS_KEY_XLOC, value)) {
            x = NumberFromText(value);
            if (ReadOption(IDS_KEY_YLOC, value))
                y = NumberFromText(value);
        }
        CloseRegLib();
    }
    KeepOnScreen(window, &x, &y);
    SetWindowPos(window, NULL, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

void SaveWindowPos(int x, int y)
{
    if (!OpenRegLib())
        return;
    char text[16];
    wsprintfA(text, "%d", x);
    WriteOption(IDS_KEY_XLOC, text);
    wsprintfA(text, "%d", y);
    WriteOption(IDS_KEY_YLOC, text);
    CloseRegLib();
}

static int LoadTrueFalse(UINT id)
{
    if (!OpenRegLib())
        return 0;
    char value[VALUE_BUFFER];
    int flag = ReadOption(id, value) && lstrcmpiA(value, "TRUE") == 0;
    CloseRegLib();
    return flag;
}

static void SaveTrueFalse(UINT id, int flag)
{
    if (!OpenRegLib())
        return;
    WriteOption(id, flag ? "True" : "False");
    CloseRegLib();
}

int LoadUseDirectory(void) { return LoadTrueFalse(IDS_KEY_USE_DIRECTORY); }
void SaveUseDirectory(int flag) { SaveTrueFalse(IDS_KEY_USE_DIRECTORY, flag); }
int LoadAllowDirectoryDelete(void) { return LoadTrueFalse(IDS_KEY_ALLOW_DIRECTORY_DELETE); }
void SaveAllowDirectoryDelete(int flag) { SaveTrueFalse(IDS_KEY_ALLOW_DIRECTORY_DELETE, flag); }

void LoadLastDirectory(char *buffer)
{
    if (!OpenRegLib())
        return;
    char key[KEY_BUFFER];
    if (OpenOptionKey(IDS_KEY_LAST_DIRECTORY, key))
        GetRegValueEx(HKEY_CURRENT_USER, key, buffer);
    CloseRegLib();
}

void SaveLastDirectory(const char *text)
{
    if (!OpenRegLib())
        return;
    WriteOption(IDS_KEY_LAST_DIRECTORY, text);
    CloseRegLib();
}
