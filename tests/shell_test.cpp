// The main window, its menu marks, commands, toolbar and status help, as real
// windows under Xvfb; the single-instance rule with the real program. The
// menu and accelerator templates themselves are in the resource dump.
#include "support.h"
#include "app/window.h"
#include "app/bars.h"
#include "settings/options.h"
#include "res/resource.h"
#include <commctrl.h>
#include <gtest/gtest.h>

namespace {

const char *const FiveKeys[] = { "IconColor", "SecurityLevel", "ConfirmDelete", "Minimized", "UseShiftKey" };

class Shell : public MainWindowTest {
protected:
    Shell() : MainWindowTest(false) {}
    void SetUp() override
    {
        MainWindowTest::SetUp();
        SecurityLevel = ConfirmDelete = Minimized = UseShiftKey = IconColor = 0;
        UseDirectory = AllowDirectoryDelete = ExtendBeforeOverwrite = 0;
    }
    static bool Checked(UINT id) { return GetMenuState(MainMenu, id, MF_BYCOMMAND) & MF_CHECKED; }
    static bool HasItem(UINT id) { return GetMenuState(MainMenu, id, MF_BYCOMMAND) != (UINT)-1; }
    static POINT Position()
    {
        RECT r;
        GetWindowRect(MainWindow, &r);
        return POINT{ r.left, r.top };
    }
};

} // namespace

TEST_F(Shell, FirstStartShowsTheWindowWithDefaultsAndMarks)
{
    ASSERT_NE(Start(), (HWND)NULL);
    EXPECT_TRUE(IsWindowVisible(MainWindow));
    EXPECT_FALSE(IsIconic(MainWindow));
    EXPECT_EQ(Position().x, 0);
    EXPECT_EQ(Position().y, 0);
    RECT r;
    GetWindowRect(MainWindow, &r);
    EXPECT_EQ(r.right - r.left, 250);
    EXPECT_EQ(r.bottom - r.top, 200);
    char title[40];
    GetWindowTextA(MainWindow, title, sizeof title);
    EXPECT_STREQ(title, "Zorvex");
    EXPECT_EQ(GetMenu(MainWindow), MainMenu);
    EXPECT_TRUE(Checked(CMD_CONFIRM_DELETE));
    EXPECT_TRUE(Checked(CMD_USE_SHIFT_KEY));
    EXPECT_FALSE(Checked(CMD_START_AS_ICON));
    EXPECT_FALSE(Checked(CMD_USE_LAST_DIRECTORY));   // the template's mark is overwritten
    EXPECT_FALSE(Checked(CMD_ALLOW_DIRECTORY_DELETE));
    EXPECT_TRUE(Checked(CMD_ICON_GRAY));
    EXPECT_FALSE(Checked(CMD_ICON_RED));
    EXPECT_FALSE(HasItem(CMD_DISK_FORMAT));
    EXPECT_EQ(HasItem(CMD_CAVEAT), FindWindowA("Progman", "Program Manager") == NULL);
    EXPECT_EQ((HICON)GetClassLongPtrA(MainWindow, GCLP_HICON), LoadIconA(GetModuleHandleA(NULL), "OPEN_ZORVEX"));
    EXPECT_EQ(ExtendBeforeOverwrite, 1);

    ASSERT_NE(StatusBar, (HWND)NULL);
    EXPECT_EQ(GetDlgCtrlID(StatusBar), ID_STATUSBAR);
    EXPECT_TRUE(SendMessageA(StatusBar, SB_ISSIMPLE, 0, 0));
    ASSERT_NE(Toolbar, (HWND)NULL);
    EXPECT_EQ(GetDlgCtrlID(Toolbar), ID_TOOLBAR);
    ASSERT_EQ(SendMessageA(Toolbar, TB_BUTTONCOUNT, 0, 0), 4);
    const int ids[4] = { 0, 9, 0, 10 }, styles[4] = { TBSTYLE_SEP, TBSTYLE_BUTTON, TBSTYLE_SEP, TBSTYLE_BUTTON };
    for (int i = 0; i < 4; i++) {
        TBBUTTON button;
        ASSERT_TRUE(SendMessageA(Toolbar, TB_GETBUTTON, i, (LPARAM)&button));
        EXPECT_EQ(button.idCommand, ids[i]);
        EXPECT_EQ(button.fsStyle, styles[i]);
        EXPECT_EQ(button.fsState & TBSTATE_ENABLED, TBSTATE_ENABLED);
    }
    ASSERT_NE(Tooltip, (HWND)NULL);
    TOOLINFOA tool = { TTTOOLINFOA_V1_SIZE };
    tool.hwnd = MainWindow;
    tool.uId = ID_TOOLTIP_TOOL;
    ASSERT_TRUE(SendMessageA(Tooltip, TTM_GETTOOLINFOA, 0, (LPARAM)&tool));
    EXPECT_EQ(tool.uFlags, (UINT)TTF_CENTERTIP);
}

TEST_F(Shell, StoredOptionsSetTheMarksAndMinimizedStartsAsAnInactiveIcon)
{
    StoreOption("ConfirmDelete", "No");
    StoreOption("UseShiftKey", "No");
    StoreOption("Minimized", "Yes");
    StoreOption("IconColor", "Yellow");
    StoreOption("UseDirectory", "True");
    StoreOption("AllowDirectoryDelete", "true");
    StoreOption("XLoc", "40");
    StoreOption("YLoc", "30");
    ASSERT_NE(Start(), (HWND)NULL);
    EXPECT_TRUE(IsIconic(MainWindow));
    WINDOWPLACEMENT place = { sizeof place };
    GetWindowPlacement(MainWindow, &place);
    EXPECT_EQ(place.showCmd, (UINT)SW_SHOWMINIMIZED);
    EXPECT_FALSE(Checked(CMD_CONFIRM_DELETE));
    EXPECT_FALSE(Checked(CMD_USE_SHIFT_KEY));
    EXPECT_TRUE(Checked(CMD_START_AS_ICON));
    EXPECT_TRUE(Checked(CMD_USE_LAST_DIRECTORY));
    EXPECT_TRUE(Checked(CMD_ALLOW_DIRECTORY_DELETE));
    EXPECT_TRUE(Checked(CMD_ICON_YELLOW));
    EXPECT_FALSE(Checked(CMD_ICON_GRAY));
    EXPECT_EQ((HICON)GetClassLongPtrA(MainWindow, GCLP_HICON), LoadIconA(GetModuleHandleA(NULL), "OPEN_ZORVEX4"));
    ShowWindow(MainWindow, SW_RESTORE);
    EXPECT_EQ(Position().x, 40);
    EXPECT_EQ(Position().y, 30);
}

TEST_F(Shell, TogglesFlipTheirMarkAndWriteWhatTheyOwn)
{
    ASSERT_NE(Start(), (HWND)NULL);
    for (const char *key : FiveKeys)
        StoreOption(key, "zz");
    StoreOption("UseDirectory", "zz");
    StoreOption("AllowDirectoryDelete", "zz");

    Command(CMD_USE_LAST_DIRECTORY);   // writes itself alone
    EXPECT_EQ(UseDirectory, 1);
    EXPECT_TRUE(Checked(CMD_USE_LAST_DIRECTORY));
    EXPECT_EQ(StoredOption("UseDirectory"), "True");
    for (const char *key : FiveKeys)
        EXPECT_EQ(StoredOption(key), "zz") << key;
    EXPECT_EQ(StoredOption("AllowDirectoryDelete"), "zz");

    Command(CMD_ALLOW_DIRECTORY_DELETE);
    EXPECT_EQ(AllowDirectoryDelete, 1);
    EXPECT_EQ(StoredOption("AllowDirectoryDelete"), "True");
    Command(CMD_ALLOW_DIRECTORY_DELETE);
    EXPECT_EQ(AllowDirectoryDelete, 0);
    EXPECT_FALSE(Checked(CMD_ALLOW_DIRECTORY_DELETE));
    EXPECT_EQ(StoredOption("AllowDirectoryDelete"), "False");
    EXPECT_EQ(StoredOption("ConfirmDelete"), "zz");

    Command(CMD_CONFIRM_DELETE);   // writes all five
    EXPECT_EQ(ConfirmDelete, 0);
    EXPECT_FALSE(Checked(CMD_CONFIRM_DELETE));
    EXPECT_EQ(StoredOption("ConfirmDelete"), "No");
    EXPECT_EQ(StoredOption("IconColor"), "Gray");
    EXPECT_EQ(StoredOption("SecurityLevel"), "Restricted");
    EXPECT_EQ(StoredOption("Minimized"), "No");
    EXPECT_EQ(StoredOption("UseShiftKey"), "Yes");

    Command(CMD_START_AS_ICON);
    EXPECT_TRUE(Checked(CMD_START_AS_ICON));
    EXPECT_EQ(StoredOption("Minimized"), "Yes");
    Command(CMD_USE_SHIFT_KEY);
    EXPECT_FALSE(Checked(CMD_USE_SHIFT_KEY));
    EXPECT_EQ(StoredOption("UseShiftKey"), "No");
    Command(CMD_USE_SHIFT_KEY);
    EXPECT_TRUE(Checked(CMD_USE_SHIFT_KEY));
    EXPECT_EQ(StoredOption("UseShiftKey"), "Yes");

    ConfirmDelete = 5;   // neither 0 nor 1: left alone, still saved
    Command(CMD_CONFIRM_DELETE);
    EXPECT_EQ(ConfirmDelete, 5);
    EXPECT_TRUE(Checked(CMD_CONFIRM_DELETE));
    EXPECT_EQ(StoredOption("ConfirmDelete"), "Yes");
    EXPECT_EQ(StoredOption("UseDirectory"), "True");
}

TEST_F(Shell, ColourCommandsSaveReloadAndApplyTheIcon)
{
    ASSERT_NE(Start(), (HWND)NULL);
    const struct { UINT id; int colour; const char *text, *icon; } colours[] = {
        { CMD_ICON_RED, 1, "Red", "OPEN_ZORVEX2" }, { CMD_ICON_GREEN, 2, "Green", "OPEN_ZORVEX3" },
        { CMD_ICON_YELLOW, 3, "Yellow", "OPEN_ZORVEX4" }, { CMD_ICON_GRAY, 0, "Gray", "OPEN_ZORVEX" },
    };
    const UINT items[4] = { CMD_ICON_GRAY, CMD_ICON_RED, CMD_ICON_GREEN, CMD_ICON_YELLOW };
    for (auto &c : colours) {
        SetWindowTextA(MainWindow, "changed");
        Command(c.id);
        EXPECT_EQ(IconColor, c.colour);
        EXPECT_EQ(StoredOption("IconColor"), c.text);
        for (UINT item : items)
            EXPECT_EQ(Checked(item), item == c.id) << c.text << " item " << item;
        EXPECT_EQ((HICON)GetClassLongPtrA(MainWindow, GCLP_HICON), LoadIconA(GetModuleHandleA(NULL), c.icon));
        char title[40];
        GetWindowTextA(MainWindow, title, sizeof title);
        EXPECT_STREQ(title, "Zorvex");
    }
    // Choosing the current colour still writes all five options.
    for (const char *key : FiveKeys)
        StoreOption(key, "zz");
    Command(CMD_ICON_GRAY);
    EXPECT_EQ(StoredOption("IconColor"), "Gray");
    EXPECT_EQ(StoredOption("SecurityLevel"), "Restricted");
    EXPECT_EQ(StoredOption("UseShiftKey"), "Yes");
}

TEST_F(Shell, StatusHelpFollowsTheMenuSelection)
{
    ASSERT_NE(Start(), (HWND)NULL);
    auto Select = [](UINT id, UINT flags) {
        return SendMessageA(MainWindow, WM_MENUSELECT, MAKEWPARAM(id, flags), (LPARAM)MainMenu);
    };
    auto Shown = []() {
        // Wine reads a simple-mode bar's text back as part 0.
        char text[100] = "";
        SendMessageA(StatusBar, SB_GETTEXTA, 0, (LPARAM)text);
        return std::string(text);
    };
    EXPECT_EQ(Shown(), "");
    EXPECT_EQ(Select(CMD_ALLOW_DIRECTORY_DELETE, 0), 0);
    EXPECT_EQ(Shown(), "Allows Directory Deletes");
    Select(CMD_EXIT, 0);
    EXPECT_EQ(Shown(), "Quits the program");
    Select(0, MF_SEPARATOR);
    Select(1, MF_POPUP);
    Select(CMD_DISK_FORMAT, 0);
    EXPECT_EQ(Shown(), "Quits the program");   // left as it was
    Select(0, 0xFFFF);                          // the menu closes
    EXPECT_EQ(Shown(), "Quits the program");
    const struct { UINT id; const char *text; } table[] = {
        { 5, "Displays version, copyright, & other information" }, { 7, "Toggles delete confirmation option" },
        { 8, "Sets the delete security level" }, { 9, "Deletes file(s)" }, { 13, "Displays warning information" },
        { 98, "Deletes file(s)" }, { 99, "Opens help file" }, { 101, "Sets icon to gray color" },
        { 102, "Use or do not use last directory" }, { 104, "Toggles minimize option" },
        { 105, "Toggles shiftkey option" }, { 106, "Sets icon to red color" },
        { 107, "Sets icon to green color" }, { 108, "Sets icon to yellow color" },
    };
    for (auto &t : table) {
        Select(t.id, 0);
        EXPECT_EQ(Shown(), t.text) << t.id;
    }
    SetStatusHelp(33);   // help text of the item that is never shown
    EXPECT_EQ(Shown(), "Sets program to type of disk format you have");
    SetStatusHelp(38);
    EXPECT_EQ(Shown(), "");
    SetStatusHelp(49);   // a tooltip text is no status help
    EXPECT_EQ(Shown(), "");
}

TEST_F(Shell, TooltipsNameTheTwoButtons)
{
    ASSERT_NE(Start(), (HWND)NULL);
    auto Ask = [](UINT_PTR id, UINT code, LRESULT *result) {
        NMTTDISPINFOA info = {};
        info.hdr.hwndFrom = Tooltip;
        info.hdr.idFrom = id;
        info.hdr.code = code;
        *result = SendMessageA(MainWindow, WM_NOTIFY, id, (LPARAM)&info);
        return std::string(info.lpszText ? info.lpszText : "<none>");
    };
    LRESULT result;
    EXPECT_EQ(Ask(CMD_DELETE, TTN_NEEDTEXTA, &result), "Delete");
    EXPECT_EQ(result, 0);
    EXPECT_EQ(Ask(CMD_EXIT, TTN_NEEDTEXTA, &result), "Quit");
    EXPECT_EQ(Ask(ID_TOOLTIP_TOOL, TTN_NEEDTEXTA, &result), "");
    EXPECT_EQ(result, 0);
    EXPECT_EQ(Ask(CMD_DELETE, TTN_SHOW, &result), "<none>");
    EXPECT_EQ(result, 1);
}

TEST_F(Shell, ExitAndCloseEndTheLoopWithCodeZero)
{
    ASSERT_NE(Start(), (HWND)NULL);
    // The Quit button is the same command as File > Exit.
    HWND button_window = Toolbar;
    PostMessageA(MainWindow, WM_COMMAND, MAKEWPARAM(CMD_EXIT, BN_CLICKED), (LPARAM)button_window);
    EXPECT_EQ(RunMessageLoop(), 0);
    EXPECT_TRUE(IsWindow(MainWindow));   // closing does not destroy the window
    PostMessageA(MainWindow, WM_CLOSE, 0, 0);
    EXPECT_EQ(RunMessageLoop(), 0);
}

// Moved, or moved and then made an icon: the next start finds it where it
// last stood as a window.
TEST_F(Shell, WindowPositionIsSavedOnMoveAndRestoredAtTheNextStart)
{
    for (int icon = 0; icon <= 1; icon++) {
        int x = 123 + 17 * icon, y = 77 + 13 * icon;
        ASSERT_NE(Start(), (HWND)NULL);
        SetWindowPos(MainWindow, NULL, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        if (icon) {
            ShowWindow(MainWindow, SW_MINIMIZE);
            PumpMessages();
            ASSERT_TRUE(IsIconic(MainWindow));
        }
        EXPECT_EQ(StoredOption("XLoc"), std::to_string(x)) << icon;
        EXPECT_EQ(StoredOption("YLoc"), std::to_string(y)) << icon;
        Stop();
        ASSERT_NE(Start(), (HWND)NULL);
        EXPECT_EQ(Position().x, x) << icon;
        EXPECT_EQ(Position().y, y) << icon;
        Stop();
    }
}

// Alt+X through the program's own loop: the accelerator table, not the
// menu, ends it with code 0. The same key without Alt does nothing.
TEST_F(Shell, AltXInTheProgramsOwnLoopEndsItWithCodeZero)
{
    ASSERT_NE(Start(), (HWND)NULL);
    SetForegroundWindow(MainWindow);
    SetFocus(MainWindow);
    EXPECT_EQ(RunProgramLoop({ [] { Keystroke('X'); } }), LoopTimedOut);
    EXPECT_TRUE(IsWindow(MainWindow));
    EXPECT_EQ(RunProgramLoop({ [] { Keystroke('X', { VK_MENU }); } }), 0);
    EXPECT_TRUE(IsWindow(MainWindow));   // WM_CLOSE only posts the quit
}

TEST_F(Shell, WithoutTheLibraryTheWindowStartsAt50AndEveryAccessSaysSo)
{
    RegLibName = "ostrel32-missing.dll";
    HWND window = NULL;
    std::vector<SeenBox> boxes = BoxesOf([&] { window = Start(); });
    ASSERT_NE(window, (HWND)NULL);
    // Four reads in WM_CREATE, the second LoadOptions, and a save per move.
    EXPECT_GE(boxes.size(), 5u);
    for (const SeenBox &box : boxes)
        EXPECT_TRUE(BoxIs(box, "Zorvex", "Unable to load ostrel32.dll", ""));
    EXPECT_EQ(Position().x, 50);
    EXPECT_EQ(Position().y, 50);
    EXPECT_EQ(ConfirmDelete, 0);   // defaults stay as they were before loading
    EXPECT_EQ(ExtendBeforeOverwrite, 0);
    EXPECT_FALSE(OptionKeyExists("ConfirmDelete"));
}

TEST_F(Shell, TheRealProgramRunsOncePerDesktop)
{
    PROCESS_INFORMATION first = StartProgram("S:\\bin\\zorvex32.exe");
    HWND window = WaitForWindow(MAIN_CLASS);
    ASSERT_NE(window, (HWND)NULL);
    WaitForInputIdle(first.hProcess, 5000);
    ShowWindow(window, SW_MINIMIZE);
    ASSERT_TRUE(IsIconic(window));

    PROCESS_INFORMATION second = StartProgram("S:\\bin\\zorvex32.exe");
    ASSERT_EQ(WaitForSingleObject(second.hProcess, 20000), WAIT_OBJECT_0);
    DWORD code = 99;
    GetExitCodeProcess(second.hProcess, &code);
    EXPECT_EQ(code, 1u);
    for (int i = 0; i < 100 && IsIconic(window); i++)
        Sleep(20);
    EXPECT_FALSE(IsIconic(window));   // restored by the second start

    PostMessageA(window, WM_CLOSE, 0, 0);
    ASSERT_EQ(WaitForSingleObject(first.hProcess, 20000), WAIT_OBJECT_0);
    GetExitCodeProcess(first.hProcess, &code);
    EXPECT_EQ(code, 0u);
    EXPECT_FALSE(IsWindow(window));
    for (HANDLE h : { first.hProcess, first.hThread, second.hProcess, second.hThread })
        CloseHandle(h);
}
