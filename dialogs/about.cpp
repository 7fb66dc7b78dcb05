/* The About and Caveat Emptor dialogs of the Info menu. */
#include "about.h"
#include "help.h"
#include "../res/resource.h"

INT_PTR CALLBACK AboutProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        SetDlgItemTextA(dialog, IDC_ABOUT_NAME, ABOUT_NAME);
        SetDlgItemTextA(dialog, IDC_ABOUT_VERSION, ABOUT_DATE);
        return 1;   /* the focus goes to the button */
    }
    if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        EndDialog(dialog, 1);
        return 1;
    }
    return 0;
}

INT_PTR CALLBACK CaveatProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != WM_COMMAND)
        return 0;
    switch (LOWORD(wParam)) {
    case IDOK:
    case IDCANCEL:
        EndDialog(dialog, 1);
        return 1;
    case IDC_DIALOG_HELP:
        /* The viewer stays open: the program ends its use of help at exit. */
        ShowHelp(dialog, HELP_FILE, HELP_KEY, (ULONG_PTR)"Caveat Emptor");
        return 1;
    }
    return 0;
}

void RunAboutDialog(HWND owner)
{
    DialogBoxParamA(GetModuleHandleA(NULL), MAKEINTRESOURCEA(IDD_ABOUT), owner, AboutProc, 0);
}

void RunCaveatDialog(HWND owner)
{
    DialogBoxParamA(GetModuleHandleA(NULL), MAKEINTRESOURCEA(IDD_CAVEAT), owner, CaveatProc, 0);
}
