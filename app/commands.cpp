/* Commands from the menu, the accelerators and the toolbar: option toggles
 * saved at once, the icon colours, the dialogs, help and the deletes. */
#include "commands.h"
#include "icons.h"
#include "../res/resource.h"
#include "../settings/menus.h"
#include "../settings/options.h"
#include "../shred/chooser.h"
#include "../shred/drops.h"
#include "../shred/requests.h"
#include "../dialogs/about.h"
#include "../dialogs/help.h"
#include "../dialogs/security.h"

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

static void PickIconColor(HWND window, int color)
{
    IconColor = color;
    SaveOptions();
    LoadIconSet();
    SendMessageA(window, WM_COMMAND, CMD_APPLY_ICON, 0);
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
    case CMD_EXIT: SendMessageA(window, WM_CLOSE, 0, 0); break;
    case CMD_HELP: ShowHelp(window, HELP_FILE, HELP_CONTENTS, 0); break;
    case CMD_ICON_GRAY: PickIconColor(window, 0); break;
    case CMD_ICON_RED: PickIconColor(window, 1); break;
    case CMD_ICON_GREEN: PickIconColor(window, 2); break;
    case CMD_ICON_YELLOW: PickIconColor(window, 3); break;
    case CMD_USE_LAST_DIRECTORY:
        ToggleOwnOption(window, CMD_USE_LAST_DIRECTORY, &UseDirectory, SaveUseDirectory);
        break;
    case CMD_ALLOW_DIRECTORY_DELETE:
        ToggleOwnOption(window, CMD_ALLOW_DIRECTORY_DELETE, &AllowDirectoryDelete, SaveAllowDirectoryDelete);
        break;
    case CMD_APPLY_ICON: ApplyIconSet(window, menu); break;
    case CMD_NOP: break;
    default:
        return DefWindowProcA(window, WM_COMMAND, wParam, lParam);
    }
    return 0;
}
