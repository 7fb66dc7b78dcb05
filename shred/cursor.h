/* The cursors a request shows: the wait cursor while a file is shredded
 * (held from file to file through a walk), the arrow after. */
#ifndef CURSOR_H
#define CURSOR_H

/* Only a change of cursor reaches the window system: forgotten when a
 * request starts. */
void ForgetShownCursor(void);
void ShowWaitCursor(void);
void ShowArrowCursor(void);
void HoldWaitCursor(int held);
void ShowFileDoneCursor(void);
/* Sets the shown cursor again: a message taken during the work may have
 * changed it. */
void RestoreShownCursor(void);

#endif
