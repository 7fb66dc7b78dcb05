/* The Security Level dialog. */
#ifndef SECURITY_H
#define SECURITY_H

#include <windows.h>

extern "C" __declspec(dllexport) INT_PTR CALLBACK SecurityProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR RunSecurityDialog(HWND owner);

#endif
