/* The Security Level dialog: four plain radio buttons that this procedure
 * checks and clears itself; OK stores the level in memory only. */
#include "security.h"
#include "help.h"
#include "../settings/options.h"
#include "../res/resource.h"

static HWND LevelButtons[4];   /* 101..104: Top Secret .. Restricted */

static void CheckOnly(int id)
{
    for (int i = 0; i < 4; i++)
        SendMessageA(LevelButtons[i], BM_SETCHECK, IDC_TOP_SECRET + i == id ? BST_CHECKED : BST_UNCHECKED, 0);
}

static int CheckedLevel(void)
{
    for (int i = 0; i < 3; i++)
        if (SendMessageA(LevelButtons[i], BM_GETCHECK, 0, 0) == BST_CHECKED)
            return 4 - i;
    return 1;
}

static void InitLevelButtons(HWND dialog)
{
    for (int i = 0; i < 4; i++) {
        LevelButtons[i] = GetDlgItem(dialog, IDC_TOP_SECRET + i);
        SendMessageA(LevelButtons[i], BM_SETCHECK, BST_UNCHECKED, 0);
    }
    int id = SecurityLevel == 4 ? IDC_TOP_SECRET
           : SecurityLevel == 3 ? IDC_SECRET
           : SecurityLevel == 2 ? IDC_CONFIDENTIAL : IDC_RESTRICTED;
    SendMessageA(LevelButtons[id - IDC_TOP_SECRET], BM_SETCHECK, BST_CHECKED, 0);
}

INT_PTR CALLBACK SecurityProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        InitLevelButtons(dialog);
        return TRUE;
    }
    if (message != WM_COMMAND)
        return FALSE;
    switch (LOWORD(wParam)) {
    case IDC_TOP_SECRET:
    case IDC_SECRET:
    case IDC_CONFIDENTIAL:
    case IDC_RESTRICTED:
        CheckOnly(LOWORD(wParam));
        return TRUE;
    case IDOK:
        SecurityLevel = CheckedLevel();
        EndDialog(dialog, 1);
        return TRUE;
    case IDCANCEL:
        EndDialog(dialog, 0);
        return TRUE;
    case IDC_DIALOG_HELP:
        ShowHelp(dialog, HELP_FILE, HELP_KEY, (ULONG_PTR)"Security");
        return TRUE;
    }
    return FALSE;
}

INT_PTR RunSecurityDialog(HWND owner)
{
    return DialogBoxParamA(GetModuleHandleA(NULL), MAKEINTRESOURCEA(IDD_SECURITY), owner, SecurityProc, 0);
}
