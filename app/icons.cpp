/* The icon sets of the four colours, loaded by name from the program's
 * resources; only the open icon is ever shown, as the class icon. */
#include "icons.h"
#include "../res/resource.h"
#include "../settings/menus.h"
#include "../settings/options.h"

static HICON ClassIcon;     /* open icon of the current colour */
static HICON ClosedIcon;

struct IconPair { const char *open_name; const char *closed_name; };
static const IconPair IconPairs[4] = {
    { "OPEN_ZORVEX", "AAA" },
    { "OPEN_ZORVEX2", "ZORVEX2" },
    { "OPEN_ZORVEX3", "ZORVEX3" },
    { "OPEN_ZORVEX4", "ZORVEX4" },
};
static const UINT ColorItems[4] = { CMD_ICON_GRAY, CMD_ICON_RED, CMD_ICON_GREEN, CMD_ICON_YELLOW };

static int CurrentColor(void)
{
    return IconColor >= 1 && IconColor <= 3 ? IconColor : 0;
}

void LoadIconSet(void)
{
    ClassIcon = LoadIconA(GetModuleHandleA(NULL), IconPairs[CurrentColor()].open_name);
    ClosedIcon = LoadIconA(GetModuleHandleA(NULL), IconPairs[CurrentColor()].closed_name);
}

void ApplyIconSet(HWND window, HMENU menu)
{
    for (int i = 0; i < 4; i++)
        CheckMenuCommand(menu, ColorItems[i], 0);
    CheckMenuCommand(menu, ColorItems[CurrentColor()], 1);
    SetClassLongPtrA(window, GCLP_HICON, (LONG_PTR)ClassIcon);
    SetWindowTextA(window, MAIN_TITLE);
    DrawMenuBar(window);
    UpdateWindow(window);
}

void FreeIconSets(void)
{
    for (int color = 0; color < 4; color++) {
        IconColor = color;
        LoadIconSet();
        if (ClassIcon)
            DestroyIcon(ClassIcon);
        if (ClosedIcon)
            DestroyIcon(ClosedIcon);
    }
}
