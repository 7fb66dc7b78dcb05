/* Resource and command ids shared by the code and zorvex32.rc. */
#ifndef RESOURCE_H
#define RESOURCE_H

/* The main window's title, also the caption of the program's boxes */
#define MAIN_TITLE "Zorvex"

/* Menus, accelerators, bitmaps */
#define IDM_MAIN 1
#define IDM_FLAT 2
#define IDA_MAIN 1
#define IDB_TOOLBAR 2

/* Commands: menu item, accelerator and toolbar button share one id. */
#define CMD_ABOUT 5
#define CMD_CONFIRM_DELETE 7
#define CMD_SECURITY_LEVEL 8
#define CMD_DELETE 9
#define CMD_EXIT 10
#define CMD_CAVEAT 13
#define CMD_DISK_FORMAT 22
#define CMD_DELETE_PLAIN 98
#define CMD_HELP 99
#define CMD_ICON_GRAY 101
#define CMD_USE_LAST_DIRECTORY 102
#define CMD_ALLOW_DIRECTORY_DELETE 103
#define CMD_START_AS_ICON 104
#define CMD_USE_SHIFT_KEY 105
#define CMD_ICON_RED 106
#define CMD_ICON_GREEN 107
#define CMD_ICON_YELLOW 108
#define CMD_PROGRESS_TEXT 1280
#define CMD_APPLY_ICON 2308
#define CMD_NOP 2309

/* Dialogs and their controls */
#define IDD_ABOUT 9
#define IDD_CAVEAT 10
#define IDD_CONFIRM 11
#define IDD_SECURITY 13
#define IDD_PROGRESS 15
#define IDC_CONFIRM_NO 7
#define IDC_CONFIRM_PATH 102
#define IDC_PROGRESS_NAME 101
#define IDC_PROGRESS_BAR 103
#define IDC_PROGRESS_COUNT 104
#define IDC_DIALOG_HELP 9
#define IDC_TOP_SECRET 101
#define IDC_SECRET 102
#define IDC_CONFIDENTIAL 103
#define IDC_RESTRICTED 104
#define IDC_ABOUT_NAME 100
#define IDC_ABOUT_ICON 110
#define IDC_ABOUT_VERSION 203

/* Child windows */
#define ID_STATUSBAR 1010
#define ID_TOOLBAR 1011
#define ID_TOOLTIP_TOOL 1012

/* String table: fill texts 1-8, registry key paths 18-29, help 32-51 */
#define IDS_FILL_FIRST 1
#define IDS_KEY_SECURITY_LEVEL 18
#define IDS_KEY_CONFIRM_DELETE 19
#define IDS_KEY_MINIMIZED 20
#define IDS_KEY_DOUBLE_SPACE 21
#define IDS_KEY_BY512 22
#define IDS_KEY_USE_SHIFT_KEY 23
#define IDS_KEY_ICON_COLOR 24
#define IDS_KEY_XLOC 25
#define IDS_KEY_YLOC 26
#define IDS_KEY_USE_DIRECTORY 27
#define IDS_KEY_LAST_DIRECTORY 28
#define IDS_KEY_ALLOW_DIRECTORY_DELETE 29
#define IDS_HELP_SECURITY_LEVEL 32
#define IDS_HELP_DISK_FORMAT 33
#define IDS_HELP_SHIFT_KEY 34
#define IDS_HELP_CONFIRM 35
#define IDS_HELP_MINIMIZE 36
#define IDS_HELP_ABOUT 37
#define IDS_HELP_CAVEAT 39
#define IDS_HELP_GRAY 41
#define IDS_HELP_RED 42
#define IDS_HELP_GREEN 43
#define IDS_HELP_YELLOW 44
#define IDS_HELP_HELP 45
#define IDS_HELP_DELETE 46
#define IDS_HELP_EXIT 47
#define IDS_HELP_LAST_DIRECTORY 48
#define IDS_TIP_DELETE 49
#define IDS_TIP_QUIT 50
#define IDS_HELP_ALLOW_DIRECTORY 51

#endif
