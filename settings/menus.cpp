/* Check marks of the menu bar's option items. */
#include "menus.h"

void CheckMenuCommand(HMENU menu, UINT id, int on)
{
    CheckMenuItem(menu, id, MF_BYCOMMAND | (on ? MF_CHECKED : MF_UNCHECKED));
}
