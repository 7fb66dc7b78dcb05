/* The status bar with the menu help, the toolbar and its tooltips. */
#include "bars.h"
#include "../res/resource.h"
#include <commctrl.h>

#define STATUS_BUFFER 80
#define TIP_BUFFER 20

HWND StatusBar;
HWND Toolbar;
HWND Tooltip;
static char StatusText[STATUS_BUFFER];
static char TipText[TIP_BUFFER];   /* must outlive the notification */

#ifndef _WIN64
/* The size the comctl32 of Windows 95 and NT 4 knows. */
static_assert(sizeof(TBBUTTON) == 20, "a 32-bit toolbar button is 20 bytes");
#endif
static const TBBUTTON ToolbarButtons[4] = {
    { 0, 0, TBSTATE_ENABLED, TBSTYLE_SEP, { 0 }, 0, 0 },
    { 0, CMD_DELETE, TBSTATE_ENABLED, TBSTYLE_BUTTON, { 0 }, 0, 0 },
    { 0, 0, TBSTATE_ENABLED, TBSTYLE_SEP, { 0 }, 0, 0 },
    { 1, CMD_EXIT, TBSTATE_ENABLED, TBSTYLE_BUTTON, { 0 }, 0, 0 },
};

struct MenuHelpEntry { WORD item; WORD string; };
static const MenuHelpEntry MenuHelpTable[] = {
    { CMD_ABOUT, IDS_HELP_ABOUT }, { CMD_CONFIRM_DELETE, IDS_HELP_CONFIRM },
    { CMD_SECURITY_LEVEL, IDS_HELP_SECURITY_LEVEL }, { CMD_DELETE, IDS_HELP_DELETE },
    { CMD_EXIT, IDS_HELP_EXIT }, { CMD_CAVEAT, IDS_HELP_CAVEAT },
    { CMD_DELETE_PLAIN, IDS_HELP_DELETE }, { CMD_HELP, IDS_HELP_HELP },
    { CMD_ICON_GRAY, IDS_HELP_GRAY }, { CMD_USE_LAST_DIRECTORY, IDS_HELP_LAST_DIRECTORY },
    { CMD_ALLOW_DIRECTORY_DELETE, IDS_HELP_ALLOW_DIRECTORY }, { CMD_START_AS_ICON, IDS_HELP_MINIMIZE },
    { CMD_USE_SHIFT_KEY, IDS_HELP_SHIFT_KEY }, { CMD_ICON_RED, IDS_HELP_RED },
    { CMD_ICON_GREEN, IDS_HELP_GREEN }, { CMD_ICON_YELLOW, IDS_HELP_YELLOW },
};

static HWND CreateMainToolbar(HWND parent)
{
    return CreateToolbarEx(parent, WS_CHILD | WS_VISIBLE | WS_BORDER | TBSTYLE_TOOLTIPS, ID_TOOLBAR, 2,
                           GetModuleHandleA(NULL), IDB_TOOLBAR, ToolbarButtons, 4, 16, 16, 16, 16,
                           sizeof(TBBUTTON));
}

/* Its text is asked for through TTN_NEEDTEXTA. */
static void AddToolbarTool(HWND window)
{
    TOOLINFOA tool;
    ZeroMemory(&tool, sizeof tool);
    tool.cbSize = TTTOOLINFOA_V1_SIZE;
    tool.uFlags = TTF_CENTERTIP;
    tool.hwnd = window;
    tool.uId = ID_TOOLTIP_TOOL;
    tool.hinst = GetModuleHandleA(NULL);
    tool.lpszText = LPSTR_TEXTCALLBACKA;
    SendMessageA(Tooltip, TTM_ADDTOOLA, 0, (LPARAM)&tool);
}

void CreateBars(HWND window)
{
    StatusBar = CreateStatusWindowA(WS_CHILD | WS_VISIBLE | WS_BORDER, "", window, ID_STATUSBAR);
    if (StatusBar) {
        SendMessageA(StatusBar, SB_SIMPLE, 1, 0);
        SetStatusHelp(0);
    }
    Toolbar = CreateMainToolbar(window);
    if (Toolbar) {
        UpdateWindow(Toolbar);
        Tooltip = (HWND)SendMessageA(Toolbar, TB_GETTOOLTIPS, 0, 0);
        if (Tooltip)
            AddToolbarTool(window);
    }
}

void SizeBars(void)
{
    if (StatusBar)
        SendMessageA(StatusBar, WM_SIZE, 0, 0);
    if (Toolbar)
        SendMessageA(Toolbar, TB_AUTOSIZE, 0, 0);
}

void SetStatusHelp(UINT id)
{
    if ((id >= IDS_HELP_SECURITY_LEVEL && id <= IDS_HELP_LAST_DIRECTORY) || id == IDS_HELP_ALLOW_DIRECTORY) {
        if (LoadStringA(GetModuleHandleA(NULL), id, StatusText, STATUS_BUFFER) == 0)
            StatusText[0] = 0;
    } else {
        StatusText[0] = 0;
    }
    SendMessageA(StatusBar, SB_SETTEXTA, 255, (LPARAM)StatusText);
}

LRESULT OnMenuSelect(HWND window, WPARAM wParam, LPARAM lParam)
{
    WORD item = LOWORD(wParam);
    for (size_t i = 0; i < sizeof MenuHelpTable / sizeof MenuHelpTable[0]; i++) {
        if (MenuHelpTable[i].item == item) {
            SetStatusHelp(MenuHelpTable[i].string);
            return 0;
        }
    }
    return DefWindowProcA(window, WM_MENUSELECT, wParam, lParam);
}

LRESULT OnNotify(HWND, LPARAM lParam)
{
    NMHDR *header = (NMHDR *)lParam;
    if (header->code != TTN_NEEDTEXTA)
        return 1;
    NMTTDISPINFOA *info = (NMTTDISPINFOA *)lParam;
    UINT string = 0;
    if (info->hdr.idFrom == CMD_DELETE)
        string = IDS_TIP_DELETE;
    else if (info->hdr.idFrom == CMD_EXIT)
        string = IDS_TIP_QUIT;
    if (!string || LoadStringA(GetModuleHandleA(NULL), string, TipText, TIP_BUFFER) == 0)
        TipText[0] = 0;
    info->lpszText = TipText;
    return 0;
}
