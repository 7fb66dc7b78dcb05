/* The confirmation dialog (template 11) that guards each item of a
 * request while ConfirmDelete is on. */
#ifndef CONFIRM_H
#define CONFIRM_H

#include <windows.h>

/* ConfirmReply */
enum { REPLY_SINGLE = 0, REPLY_PENDING = 1, REPLY_OK = 2, REPLY_NO = 3, REPLY_CANCEL = 4 };

extern int ConfirmReply;

extern "C" __declspec(dllexport) INT_PTR CALLBACK ConfirmationProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

/* The item in WorkPath, confirmed when ConfirmDelete is on (the caller
 * sets ConfirmReply first): 1 to go on, 0 to leave it. */
int ConfirmItem(HWND owner, int level);
int AskConfirmation(HWND owner);

#endif
