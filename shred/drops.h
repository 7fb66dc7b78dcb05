/* Drops on the main window: a request source beside the Delete command. */
#ifndef DROPS_H
#define DROPS_H

#include <windows.h>
#include <shellapi.h>

/* A drop carried out now, or, while a request runs, after it in order. */
void HandleDrop(HWND owner, HDROP drop, int level);
/* Once a request has ended: the drops that arrived during it, then a quit
 * asked for meanwhile. */
void FinishRequests(HWND owner);
void QuitAfterRequest(void);
void DeleteDroppedFiles(HWND owner, HDROP drop, int level);

#endif
