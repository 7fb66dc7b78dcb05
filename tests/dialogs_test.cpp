// The Security Level, About and Caveat dialogs, run for real and answered
// from a second thread.
#include "support.h"
#include "app/app.h"
#include "settings/options.h"
#include "dialogs/dialogs.h"
#include "res/resource.h"
#include <gtest/gtest.h>

namespace {

const int LevelIds[4] = { IDC_TOP_SECRET, IDC_SECRET, IDC_CONFIDENTIAL, IDC_RESTRICTED };

// The ids of the checked level buttons.
std::vector<int> Checked(HWND dialog)
{
    std::vector<int> ids;
    for (int id : LevelIds)
        if (IsChecked(dialog, id))
            ids.push_back(id);
    return ids;
}

class Dialogs : public testing::Test {
protected:
    void SetUp() override
    {
        ClearOptionKeys();
        RegLibName = "ostrel32.dll";
        ASSERT_NE(StartMainWindow(GetModuleHandleA(NULL)), (HWND)NULL);
        PumpMessages();
    }
    void TearDown() override
    {
        DestroyWindow(MainWindow);
        MainWindow = NULL;
        UnregisterClassA(MAIN_CLASS, GetModuleHandleA(NULL));
        ClearOptionKeys();
    }
    LRESULT Command(int id) { return SendMessageA(MainWindow, WM_COMMAND, id, 0); }
};

} // namespace

TEST_F(Dialogs, SecurityLevelShowsTheCurrentLevelAndAnyOtherValueAsRestricted)
{
    const int expected[8] = { IDC_RESTRICTED, IDC_RESTRICTED, IDC_CONFIDENTIAL, IDC_SECRET,
                              IDC_TOP_SECRET, IDC_RESTRICTED, IDC_RESTRICTED, IDC_RESTRICTED };
    for (int level = 0; level <= 7; level++) {
        SecurityLevel = level;
        std::vector<int> seen;
        std::string caption;
        {
            DialogScript script({ [&](HWND dialog) {
                seen = Checked(dialog);
                char text[64] = "";
                GetWindowTextA(dialog, text, sizeof text);
                caption = text;
                Click(dialog, IDOK);
            } });
            EXPECT_EQ(RunSecurityDialog(MainWindow), 1);
        }
        EXPECT_EQ(caption, "Security Level");
        EXPECT_EQ(seen, std::vector<int>{ expected[level] }) << "level " << level;
        int stored = level >= 2 && level <= 4 ? level : 1;
        EXPECT_EQ(SecurityLevel, stored) << "level " << level;
    }
}

TEST_F(Dialogs, ClicksKeepExactlyOneLevelCheckedAndOkStoresIt)
{
    SecurityLevel = 1;
    std::vector<std::vector<int>> seen;
    bool automatic = true;
    {
        DialogScript script({ [&](HWND dialog) {
            // Plain radio buttons: the procedure, not the control, checks them.
            LONG style = GetWindowLongA(GetDlgItem(dialog, IDC_SECRET), GWL_STYLE);
            automatic = (style & BS_TYPEMASK) == BS_AUTORADIOBUTTON;
            for (int id : { IDC_SECRET, IDC_TOP_SECRET, IDC_CONFIDENTIAL, IDC_CONFIDENTIAL, IDC_RESTRICTED,
                            IDC_SECRET }) {
                Click(dialog, id);
                seen.push_back(Checked(dialog));
            }
            Click(dialog, IDOK);
        } });
        EXPECT_EQ(Command(CMD_SECURITY_LEVEL), 0);
    }
    EXPECT_FALSE(automatic);
    std::vector<std::vector<int>> expected = { { IDC_SECRET }, { IDC_TOP_SECRET }, { IDC_CONFIDENTIAL },
                                               { IDC_CONFIDENTIAL }, { IDC_RESTRICTED }, { IDC_SECRET } };
    EXPECT_EQ(seen, expected);
    EXPECT_EQ(SecurityLevel, 3);
    EXPECT_EQ(StoredOption("SecurityLevel"), "Secret");
}

TEST_F(Dialogs, CancelChangesNothingAndOkWithoutChangeStillSaves)
{
    SecurityLevel = 2;
    SaveOptions();
    ASSERT_EQ(StoredOption("SecurityLevel"), "Confidential");
    SecurityLevel = 4;   // in memory only, not yet saved
    {
        DialogScript script({ [](HWND dialog) {
            Click(dialog, IDC_SECRET);
            Click(dialog, IDCANCEL);
        } });
        Command(CMD_SECURITY_LEVEL);
    }
    EXPECT_EQ(SecurityLevel, 4);
    EXPECT_EQ(StoredOption("SecurityLevel"), "Confidential");

    {
        DialogScript script({ [](HWND dialog) { Click(dialog, IDOK); } });
        Command(CMD_SECURITY_LEVEL);
    }
    EXPECT_EQ(SecurityLevel, 4);
    EXPECT_EQ(StoredOption("SecurityLevel"), "TopSecret");
}

TEST_F(Dialogs, SecurityHelpLeavesTheDialogOpenWithItsChecks)
{
    SecurityLevel = 3;
    bool open_after_help = false;
    std::vector<int> after;
    {
        DialogScript script({ [&](HWND dialog) {
            Click(dialog, IDC_TOP_SECRET);
            Click(dialog, IDC_DIALOG_HELP);
            Sleep(300);
            open_after_help = IsWindow(dialog) && IsWindowVisible(dialog);
            after = Checked(dialog);
            Click(dialog, IDCANCEL);
        } });
        EXPECT_EQ(RunSecurityDialog(MainWindow), 0);
    }
    EXPECT_TRUE(open_after_help);
    EXPECT_EQ(after, std::vector<int>{ IDC_TOP_SECRET });
    EXPECT_EQ(SecurityLevel, 3);
    WinHelpA(MainWindow, HELP_FILE, HELP_QUIT, 0);
}

TEST_F(Dialogs, AboutShowsItsRuntimeTextsAndClosesEveryWay)
{
    struct Seen { std::string name, date, caption; HWND focus = NULL, button = NULL, owner = NULL; };
    std::vector<Seen> seen;
    auto look = [&](HWND dialog) {
        Seen s;
        s.name = ControlText(dialog, IDC_ABOUT_NAME);
        s.date = ControlText(dialog, IDC_ABOUT_VERSION);
        char text[64] = "x";
        GetWindowTextA(dialog, text, sizeof text);
        s.caption = text;
        GUITHREADINFO gui = { sizeof gui };
        GetGUIThreadInfo(GetWindowThreadProcessId(dialog, NULL), &gui);
        s.focus = gui.hwndFocus;
        s.button = GetDlgItem(dialog, IDOK);
        s.owner = GetWindow(dialog, GW_OWNER);
        seen.push_back(s);
    };
    // The button, Enter, Esc and the close box.
    std::vector<std::function<void(HWND)>> ways = {
        [&](HWND d) { look(d); Click(d, IDOK); },
        [&](HWND d) { look(d); PostMessageA(GetDlgItem(d, IDOK), WM_KEYDOWN, VK_RETURN, 0); },
        [&](HWND d) { look(d); PostMessageA(GetDlgItem(d, IDOK), WM_KEYDOWN, VK_ESCAPE, 0); },
        [&](HWND d) { look(d); PostMessageA(d, WM_SYSCOMMAND, SC_CLOSE, 0); },
    };
    {
        DialogScript script(ways);
        for (int way = 0; way < 4; way++)
            EXPECT_EQ(DialogBoxParamA(AppInstance, MAKEINTRESOURCEA(IDD_ABOUT), MainWindow, AboutProc, 0), 1)
                << "way " << way;
        EXPECT_EQ(script.StepsTaken(), 4);
    }
    ASSERT_EQ(seen.size(), 4u);
    for (const Seen &s : seen) {
        EXPECT_EQ(s.name, "Zorvex");
        EXPECT_EQ(s.date, "April 12, 1996");
        EXPECT_EQ(s.caption, "");
        EXPECT_EQ(s.focus, s.button);
        EXPECT_EQ(s.owner, MainWindow);
    }

    // And through the Info menu's command.
    {
        DialogScript script({ [&](HWND d) { look(d); Click(d, IDOK); } });
        EXPECT_EQ(Command(CMD_ABOUT), 0);
        EXPECT_EQ(script.StepsTaken(), 1);
    }
}

TEST_F(Dialogs, AboutTemplateHoldsItsIconsAndControlsInOrder)
{
    std::vector<int> ids;
    std::vector<std::string> classes;
    bool icons_loaded = false;
    {
        DialogScript script({ [&](HWND dialog) {
            for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
                ids.push_back((short)GetDlgCtrlID(child));
                char cls[32] = "";
                GetClassNameA(child, cls, sizeof cls);
                classes.push_back(cls);
            }
            HWND icon = GetDlgItem(dialog, IDC_ABOUT_ICON);
            icons_loaded = SendMessageA(icon, STM_GETICON, 0, 0) != 0;
            Click(dialog, IDOK);
        } });
        Command(CMD_ABOUT);
    }
    std::vector<int> expected = { -1, -1, -1, IDOK, -1, -1, -1, -1, -1, IDC_ABOUT_ICON, IDC_ABOUT_VERSION,
                                  IDC_ABOUT_NAME, -1, -1, -1, -1, -1, -1, -1 };
    EXPECT_EQ(ids, expected);
    EXPECT_TRUE(icons_loaded);
    EXPECT_NE(LoadIconA(AppInstance, "LOGO"), (HICON)NULL);
    EXPECT_NE(LoadIconA(AppInstance, "aaa"), (HICON)NULL);
}

TEST_F(Dialogs, CaveatKeepsItsFixedTextsAndHelpLeavesItOpen)
{
    std::string caption, first, last;
    bool open_after_help = false;
    {
        DialogScript script({
            [&](HWND dialog) {
                char text[64] = "";
                GetWindowTextA(dialog, text, sizeof text);
                caption = text;
                HWND child = GetWindow(dialog, GW_CHILD);
                for (int i = 0; i < 2; i++)
                    child = GetWindow(child, GW_HWNDNEXT);   // past OK and the frame
                GetWindowTextA(child, text, sizeof text);
                first = text;
                Click(dialog, IDC_DIALOG_HELP);
                Sleep(300);
                open_after_help = IsWindow(dialog) && IsWindowVisible(dialog);
                Click(dialog, IDOK);
            },
            [](HWND dialog) { PostMessageA(GetDlgItem(dialog, IDOK), WM_KEYDOWN, VK_ESCAPE, 0); },
            [](HWND dialog) { PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); },
        });
        EXPECT_EQ(Command(CMD_CAVEAT), 0);
        EXPECT_EQ(DialogBoxParamA(AppInstance, MAKEINTRESOURCEA(IDD_CAVEAT), MainWindow, CaveatProc, 0), 1);
        EXPECT_EQ(DialogBoxParamA(AppInstance, MAKEINTRESOURCEA(IDD_CAVEAT), MainWindow, CaveatProc, 0), 1);
        EXPECT_EQ(script.StepsTaken(), 3);
    }
    EXPECT_EQ(caption, "Caveat Emptor");
    EXPECT_EQ(first, "It appears you are using a program");
    EXPECT_TRUE(open_after_help);
    WinHelpA(MainWindow, HELP_FILE, HELP_QUIT, 0);
}
