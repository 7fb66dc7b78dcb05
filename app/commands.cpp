/* Commands from the menu, the accelerators and the toolbar; status-bar
 * help for menu items; the toolbar and its tooltips. */
#include "window.h"
#include "commands.h"
#include "help.h"
#include "menus.h"
#include "../res/resource.h"
#include "../settings/options.h"
#include "../shred/chooser.h"
#include "../shred/requests.h"
#include "../dialogs/about.h"
#include "../dialogs/security.h"
#include <commctrl.h>

char StatusText[STATUS_BUFFER];
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

HWND CreateMainToolbar(HWND parent)
{
    return CreateToolbarEx(parent, WS_CHILD | WS_VISIBLE | WS_BORDER | TBSTYLE_TOOLTIPS, ID_TOOLBAR, 2,
                           GetModuleHandleA(NULL), IDB_TOOLBAR, ToolbarButtons, 4, 16, 16, 16, 16,
                           sizeof(TBBUTTON));
}

void AddToolbarTool(HWND window)
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

/* 7, 104, 105: a value other than 0 or 1 is left as it is. */
static void ToggleSavedOption(HWND window, HMENU menu, UINT id, int *option)
{
    if (*option == 0)
        *option = 1;
    else if (*option == 1)
        *option = 0;
    CheckMenuCommand(menu, id, *option);
    DrawMenuBar(window);
    SaveOptions();
}

/* 102, 103: written alone, without the other options. */
static void ToggleOwnOption(HWND window, UINT id, int *option, void (*save)(int))
{
    HMENU menu = GetMenu(window);
    *option = *option ? 0 : 1;
    CheckMenuCommand(menu, id, *option);
    DrawMenuBar(window);
    save(*option);
}

static void PickIconColor(int color)
{
    IconColor = color;
    SaveOptions();
    LoadIconSet();
    SendMessageA(MainWindow, WM_COMMAND, CMD_APPLY_ICON, 0);
}

static void ApplyIcon(HWND window, HMENU menu)
{
    static const UINT items[4] = { CMD_ICON_GRAY, CMD_ICON_RED, CMD_ICON_GREEN, CMD_ICON_YELLOW };
    for (int i = 0; i < 4; i++)
        CheckMenuCommand(menu, items[i], 0);
    CheckMenuCommand(menu, items[IconColor >= 1 && IconColor <= 3 ? IconColor : 0], 1);
    SetClassLongPtrA(MainWindow, GCLP_HICON, (LONG_PTR)ClassIcon);
    SetWindowTextA(MainWindow, MAIN_TITLE);
    DrawMenuBar(window);
    UpdateWindow(window);
}

/* While a request runs (a box of it is open), only what can neither start
 * nor change one, nor end the program under it, is carried out. Exit
 * waits for the request's end. */
static int AllowedDuringRequest(WORD id)
{
    switch (id) {
    case CMD_ABOUT: case CMD_CAVEAT: case CMD_HELP: case CMD_EXIT: case CMD_APPLY_ICON: case CMD_NOP:
        return 1;
    }
    return 0;
}

LRESULT OnCommand(HWND window, WPARAM wParam, LPARAM lParam)
{
    HMENU menu = GetMenu(window);
    if (RequestRunning() && !AllowedDuringRequest(LOWORD(wParam))) {
        MessageBeep(0);
        return 0;
    }
    switch (LOWORD(wParam)) {
    case CMD_CONFIRM_DELETE: ToggleSavedOption(window, menu, CMD_CONFIRM_DELETE, &ConfirmDelete); break;
    case CMD_START_AS_ICON: ToggleSavedOption(window, menu, CMD_START_AS_ICON, &Minimized); break;
    case CMD_USE_SHIFT_KEY: ToggleSavedOption(window, menu, CMD_USE_SHIFT_KEY, &UseShiftKey); break;
    case CMD_ABOUT: RunAboutDialog(window); break;
    case CMD_SECURITY_LEVEL:
        if (RunSecurityDialog(window))
            SaveOptions();
        break;
    case CMD_DELETE:
        DeleteCommand(window);
        FinishRequests(window);
        break;
    case CMD_DELETE_PLAIN:
        PlainDeleteCommand(window);
        FinishRequests(window);
        break;
    case CMD_CAVEAT: RunCaveatDialog(window); break;
    case CMD_EXIT: SendMessageA(MainWindow, WM_CLOSE, 0, 0); break;
    case CMD_HELP: ShowHelp(MainWindow, HELP_FILE, HELP_CONTENTS, 0); break;
    case CMD_ICON_GRAY: PickIconColor(0); break;
    case CMD_ICON_RED: PickIconColor(1); break;
    case CMD_ICON_GREEN: PickIconColor(2); break;
    case CMD_ICON_YELLOW: PickIconColor(3); break;
    case CMD_USE_LAST_DIRECTORY:
        ToggleOwnOption(window, CMD_USE_LAST_DIRECTORY, &UseDirectory, SaveUseDirectory);
        break;
    case CMD_ALLOW_DIRECTORY_DELETE:
        ToggleOwnOption(window, CMD_ALLOW_DIRECTORY_DELETE, &AllowDirectoryDelete, SaveAllowDirectoryDelete);
        break;
    case CMD_APPLY_ICON: ApplyIcon(window, menu); break;
    case CMD_NOP: break;
    default:
        return DefWindowProcA(window, WM_COMMAND, wParam, lParam);
    }
    return 0;
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
