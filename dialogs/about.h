/* The About and Caveat Emptor dialogs of the Info menu. */
#ifndef ABOUT_H
#define ABOUT_H

#include <windows.h>

#define ABOUT_NAME "Zorvex"
#define ABOUT_DATE "April 12, 1996"

extern "C" __declspec(dllexport) INT_PTR CALLBACK AboutProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
extern "C" __declspec(dllexport) INT_PTR CALLBACK CaveatProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
void RunAboutDialog(HWND owner);
void RunCaveatDialog(HWND owner);

#endif
