/* Start-up, the main window procedure and its message loop. */
#include "window.h"
#include "bars.h"
#include "commands.h"
#include "icons.h"
#include "../res/resource.h"
#include "../settings/menus.h"
#include "../settings/options.h"
#include "../shred/chooser.h"
#include "../shred/drops.h"
#include "../shred/requests.h"
#include "../dialogs/help.h"
#include <commctrl.h>
#include <shellapi.h>

HWND MainWindow;
HMENU MainMenu;
static HACCEL Accelerators;

static LRESULT OnCreate(HWND window)
{
    MainWindow = window;
    DragAcceptFiles(window, TRUE);
    ForcePlainDelete = 0;
    LoadOptions(window);
    LoadWindowPos(window);
    UseDirectory = LoadUseDirectory();
    AllowDirectoryDelete = LoadAllowDirectoryDelete();
    LoadIconSet();
    /* Posted: the menu it marks is attached only after creation. */
    PostMessageA(window, WM_COMMAND, CMD_APPLY_ICON, 0);
    CreateBars(window);
    return 0;
}

/* The level is chosen once for the whole batch. */
static LRESULT OnDropFiles(HWND window, WPARAM wParam)
{
    int level = RequestLevel();
    HandleDrop(window, (HDROP)wParam, level);
    DiscardShiftState();
    return 1;
}

/* A request ends first: a quit now would close its remaining boxes
 * the moment they open. */
static LRESULT OnClose(void)
{
    if (RequestRunning())
        QuitAfterRequest();
    else
        PostQuitMessage(0);
    return 0;
}

static LRESULT OnMove(HWND window)
{
    /* An icon is parked far off the screen (-32000): not a place to start at. */
    if (IsIconic(window))
        return 0;
    RECT rect;
    GetWindowRect(window, &rect);
    SaveWindowPos(rect.left, rect.top);
    return 0;
}

static LRESULT OnSize(void)
{
    SizeBars();
    return 0;
}

LRESULT CALLBACK WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE: return OnCreate(window);
    case WM_MOVE: return OnMove(window);
    case WM_SIZE: return OnSize();
    case WM_CLOSE: return OnClose();
    /* The session waits for a request: ending it half-way is a shred nobody can account for. */
    case WM_QUERYENDSESSION: return RequestRunning() ? FALSE : DefWindowProcA(window, message, wParam, lParam);
    case WM_COMMAND: return OnCommand(window, wParam, lParam);
    case WM_MENUSELECT: return OnMenuSelect(window, wParam, lParam);
    case WM_NOTIFY: return OnNotify(window, lParam);
    case WM_DROPFILES: return OnDropFiles(window, wParam);
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

static int AnotherCopyRuns(void)
{
    HWND other = FindWindowA(MAIN_CLASS, NULL);
    if (!other)
        return 0;
    ShowWindow(other, SW_RESTORE);
    return 1;
}

HWND StartMainWindow(HINSTANCE instance)
{
    WNDCLASSA wc = { 0 };
    wc.lpfnWndProc = WndProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(NULL, IDC_ARROW);
    wc.hbrBackground = (HBRUSH)GetStockObject(WHITE_BRUSH);
    wc.lpszClassName = MAIN_CLASS;
    if (!RegisterClassA(&wc))
        return NULL;

    InitCommonControls();
    HWND window = CreateWindowExA(0, MAIN_CLASS, MAIN_TITLE, WS_OVERLAPPEDWINDOW, 50, 50, 250, 200,
                                  NULL, NULL, instance, NULL);
    if (!window)
        return NULL;
    MainWindow = window;

    MainMenu = LoadMenuA(instance, MAKEINTRESOURCEA(IDM_MAIN));
    SetMenu(window, MainMenu);
    CheckMenuCommand(MainMenu, CMD_USE_LAST_DIRECTORY, UseDirectory);
    CheckMenuCommand(MainMenu, CMD_ALLOW_DIRECTORY_DELETE, AllowDirectoryDelete);
    DrawMenuBar(window);
    LoadOptions(window);

    ShowWindow(window, Minimized ? SW_SHOWMINNOACTIVE : SW_SHOW);
    /* The shell warning only makes sense under another shell. */
    if (FindWindowA("Progman", "Program Manager")) {
        DeleteMenu(MainMenu, CMD_CAVEAT, MF_BYCOMMAND);
        DrawMenuBar(window);
    }
    DeleteMenu(MainMenu, CMD_DISK_FORMAT, MF_BYCOMMAND);
    DrawMenuBar(window);
    UpdateWindow(window);
    Accelerators = LoadAcceleratorsA(instance, MAKEINTRESOURCEA(IDA_MAIN));
    return window;
}

int RunMessageLoop(void)
{
    MSG msg;
    while (GetMessageA(&msg, NULL, 0, 0) > 0) {
        if (!TranslateAcceleratorA(MainWindow, Accelerators, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    return (int)msg.wParam;
}

void EndMainWindow(void)
{
    DragAcceptFiles(MainWindow, FALSE);
    FreeIconSets();
    ShowHelp(MainWindow, HELP_FILE, HELP_QUIT, 0);
}

int ZorvexMain(HINSTANCE instance)
{
    if (AnotherCopyRuns())
        return 1;
    if (!StartMainWindow(instance))
        return 0;
    int code = RunMessageLoop();
    EndMainWindow();
    return code;
}
