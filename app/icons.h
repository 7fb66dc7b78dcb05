/* The icon sets: an open and a closed bin per colour. */
#ifndef ICONS_H
#define ICONS_H

#include <windows.h>

/* Loads the pair of the current IconColor. */
void LoadIconSet(void);
/* The colour's check mark, its open icon as the class icon, the title. */
void ApplyIconSet(HWND window, HMENU menu);
void FreeIconSets(void);

#endif
