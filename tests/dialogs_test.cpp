// The Security Level, About and Caveat dialogs, run for real and answered
// from a second thread.
#include "support.h"
#include "app/window.h"
#include "settings/options.h"
#include "dialogs/about.h"
#include "dialogs/security.h"
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
    HWND shown = NULL;
    HelpWatch help;
    {
        DialogScript script({ [&](HWND dialog) {
            shown = dialog;
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
    ASSERT_EQ(help.Calls().size(), 1u);
    EXPECT_EQ(help.Calls()[0].owner, shown);
    EXPECT_EQ(help.Calls()[0].file, "zorvex.hlp");
    EXPECT_EQ(help.Calls()[0].command, (UINT)HELP_KEY);
    EXPECT_EQ(help.Calls()[0].keyword, "Security");
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
            EXPECT_EQ(DialogBoxParamA(GetModuleHandleA(NULL), MAKEINTRESOURCEA(IDD_ABOUT), MainWindow, AboutProc, 0), 1)
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
    EXPECT_NE(LoadIconA(GetModuleHandleA(NULL), "LOGO"), (HICON)NULL);
    EXPECT_NE(LoadIconA(GetModuleHandleA(NULL), "aaa"), (HICON)NULL);
}

TEST_F(Dialogs, CaveatKeepsItsFixedTextsAndHelpLeavesItOpen)
{
    std::string caption, first, last;
    bool open_after_help = false;
    HWND shown = NULL;
    HelpWatch help;
    {
        DialogScript script({
            [&](HWND dialog) {
                shown = dialog;
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
        EXPECT_EQ(DialogBoxParamA(GetModuleHandleA(NULL), MAKEINTRESOURCEA(IDD_CAVEAT), MainWindow, CaveatProc, 0), 1);
        EXPECT_EQ(DialogBoxParamA(GetModuleHandleA(NULL), MAKEINTRESOURCEA(IDD_CAVEAT), MainWindow, CaveatProc, 0), 1);
        EXPECT_EQ(script.StepsTaken(), 3);
    }
    EXPECT_EQ(caption, "Caveat Emptor");
    EXPECT_EQ(first, "It appears you are using a program");
    EXPECT_TRUE(open_after_help);
    // Only the Help button calls the viewer; closing the dialog ends nothing.
    ASSERT_EQ(help.Calls().size(), 1u);
    EXPECT_EQ(help.Calls()[0].owner, shown);
    EXPECT_EQ(help.Calls()[0].file, "zorvex.hlp");
    EXPECT_EQ(help.Calls()[0].command, (UINT)HELP_KEY);
    EXPECT_EQ(help.Calls()[0].keyword, "Caveat Emptor");
}

// The dialog templates as the program carries them: every control's id,
// class, text, style and place, read from the module's own resources.
namespace {

struct Control {
    int id;
    std::string cls;   // "button" or "static"
    std::string text;  // "*" for any text of the implementer's
    DWORD style;
    short x, y, cx, cy;
};

struct Template {
    DWORD style;
    short x, y, cx, cy;
    std::string caption, font;
    WORD points;
    std::vector<Control> controls;
};

std::string Narrow(const WORD *&p)
{
    std::string out;
    while (*p)
        out += (char)*p++;
    p++;
    return out;
}

// A name or an ordinal, as templates store them; ordinals as "#n".
std::string NameOrOrdinal(const WORD *&p)
{
    if (*p == 0xFFFF) {
        p++;
        return "#" + std::to_string(*p++);
    }
    return Narrow(p);
}

Template ReadTemplate(int id)
{
    Template t = {};
    HRSRC found = FindResourceA(GetModuleHandleA(NULL), MAKEINTRESOURCEA(id), (LPCSTR)RT_DIALOG);
    EXPECT_NE(found, (HRSRC)NULL) << "template " << id;
    if (!found)
        return t;
    const DLGTEMPLATE *head = (const DLGTEMPLATE *)LockResource(LoadResource(GetModuleHandleA(NULL), found));
    t.style = head->style;
    t.x = head->x; t.y = head->y; t.cx = head->cx; t.cy = head->cy;
    const WORD *p = (const WORD *)(head + 1);
    NameOrOrdinal(p);   // menu
    NameOrOrdinal(p);   // class
    t.caption = Narrow(p);
    if (t.style & DS_SETFONT) {
        t.points = *p++;
        t.font = Narrow(p);
    }
    for (int i = 0; i < head->cdit; i++) {
        p = (const WORD *)(((ULONG_PTR)p + 3) & ~(ULONG_PTR)3);
        const DLGITEMTEMPLATE *item = (const DLGITEMTEMPLATE *)p;
        Control c = { (short)item->id, "", "", item->style, item->x, item->y, item->cx, item->cy };
        p = (const WORD *)(item + 1);
        // Stored as an ordinal or by name: the dialog manager takes both.
        std::string cls = NameOrOrdinal(p);
        CharLowerA(&cls[0]);
        c.cls = cls == "#128" ? "button" : cls == "#130" ? "static" : cls;
        c.text = NameOrOrdinal(p);
        WORD extra = *p++;
        p = (const WORD *)((const BYTE *)p + extra);
        t.controls.push_back(c);
    }
    return t;
}

void Compare(int id, const Template &want)
{
    Template got = ReadTemplate(id);
    std::string where = "template " + std::to_string(id);
    EXPECT_EQ(got.style, want.style) << where;
    EXPECT_EQ(got.x, want.x) << where;
    EXPECT_EQ(got.y, want.y) << where;
    EXPECT_EQ(got.cx, want.cx) << where;
    EXPECT_EQ(got.cy, want.cy) << where;
    EXPECT_EQ(got.caption, want.caption) << where;
    EXPECT_EQ(got.points, 8) << where;
    EXPECT_EQ(got.font, "MS Sans Serif") << where;
    ASSERT_EQ(got.controls.size(), want.controls.size()) << where;
    for (size_t i = 0; i < want.controls.size(); i++) {
        const Control &g = got.controls[i], &w = want.controls[i];
        std::string at = where + ", control #" + std::to_string(i) + " (" + w.text + ")";
        EXPECT_EQ(g.id, w.id) << at;
        EXPECT_EQ(g.cls, w.cls) << at;
        if (w.text == "*")
            EXPECT_FALSE(g.text.empty()) << at;
        else
            EXPECT_EQ(g.text, w.text) << at;
        EXPECT_EQ(g.style, w.style) << at << std::hex << ": 0x" << g.style << " against 0x" << w.style;
        EXPECT_EQ(g.x, w.x) << at;
        EXPECT_EQ(g.y, w.y) << at;
        EXPECT_EQ(g.cx, w.cx) << at;
        EXPECT_EQ(g.cy, w.cy) << at;
    }
}

const DWORD Modal = WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT;
const DWORD Child = WS_CHILD | WS_VISIBLE;
const DWORD Default = Child | BS_DEFPUSHBUTTON | WS_TABSTOP;
const DWORD Push = Child | BS_PUSHBUTTON | WS_TABSTOP;
const DWORD Centre = Child | SS_CENTER | WS_GROUP;
const DWORD Left = Child | SS_LEFT | WS_GROUP;
const DWORD Right = Child | SS_RIGHT | WS_GROUP;
const DWORD Icon = Child | SS_ICON;
const DWORD Frame = Child | BS_GROUPBOX;

} // namespace

TEST(Templates, SecurityLevel)
{
    Compare(IDD_SECURITY, { Modal, 20, 26, 147, 92, "Security Level", "", 0, {
        { IDOK, "button", "OK", Default, 91, 7, 50, 14 },
        { IDCANCEL, "button", "Cancel", Push, 91, 24, 50, 14 },
        { 9, "button", "Help", Push, 91, 42, 50, 14 },
        { 101, "button", "Top Secret", Child | BS_RADIOBUTTON | WS_TABSTOP, 15, 17, 60, 12 },
        { 102, "button", "Secret", Child | BS_RADIOBUTTON, 15, 34, 60, 12 },
        { 103, "button", "Confidential", Child | BS_RADIOBUTTON, 15, 51, 60, 12 },
        { 104, "button", "Restricted", Child | BS_RADIOBUTTON, 15, 68, 60, 12 },
        { -1, "button", "Security Level", Frame, 5, 3, 78, 84 },
    } });
}

TEST(Templates, ConfirmationAndProgress)
{
    Compare(IDD_CONFIRM, { Modal, 6, 84, 350, 42, "DIALOG_3", "", 0, {
        { IDOK, "button", "OK", Default, 96, 22, 50, 14 },
        { 7, "button", "No", Push, 150, 22, 50, 14 },
        { IDCANCEL, "button", "Cancel", Push, 204, 22, 50, 14 },
        { 102, "static", "This is a justified test", Child | SS_CENTER | WS_BORDER | WS_GROUP, 6, 6, 336, 10 },
    } });
    Compare(IDD_PROGRESS, { WS_POPUP | WS_BORDER | DS_ABSALIGN | DS_SETFONT, 9, 57, 315, 24, "", "", 0, {
        { 101, "static", "", Child | SS_CENTER | WS_BORDER, 7, 7, 301, 10 },
    } });
}

TEST(Templates, About)
{
    Compare(IDD_ABOUT, { Modal, 9, 15, 204, 245, "", "", 0, {
        { -1, "static", "*", Centre, 64, 217, 97, 12 },
        { -1, "static", "*", Left, 52, 171, 103, 9 },
        { -1, "static", "*", Left, 52, 160, 60, 9 },
        { IDOK, "button", "Ave Atque Vale", Default, 66, 134, 72, 17 },
        { -1, "static", "*", Centre, 49, 102, 105, 9 },
        { -1, "static", "*", Centre, 42, 111, 120, 8 },
        { -1, "static", "*", Centre, 45, 119, 113, 9 },
        { -1, "static", "*", Centre | WS_TABSTOP, 49, 94, 105, 9 },
        { -1, "static", "LOGO", Icon, 43, 211, 18, 20 },
        { 110, "static", "aaa", Icon, 93, 37, 18, 20 },
        { 203, "static", "VERSION", Centre | WS_TABSTOP, 43, 27, 117, 8 },
        { 100, "static", "File Zorvex", Centre, 34, 18, 135, 10 },
        { -1, "button", "", Frame, 7, 3, 189, 234 },
        { -1, "static", "*", Left, 52, 182, 119, 8 },
        { -1, "static", "*", Left, 52, 194, 133, 8 },
        { -1, "static", "FTP", Right, 22, 194, 22, 8 },
        { -1, "static", "WWW", Right, 22, 182, 22, 8 },
        { -1, "static", "Email", Right, 22, 171, 22, 8 },
        { -1, "static", "Fax", Right, 22, 160, 22, 8 },
    } });
}

TEST(Templates, CaveatEmptor)
{
    Compare(IDD_CAVEAT, { Modal, 6, 15, 169, 173, "Caveat Emptor", "", 0, {
        { IDOK, "button", "OK", Default, 32, 154, 50, 14 },
        { -1, "button", "", Frame, 6, 3, 157, 145 },
        { -1, "static", "It appears you are using a program", Centre, 19, 17, 130, 8 },
        { -1, "static", "other than the standard:", Centre, 24, 31, 120, 8 },
        { -1, "static", "Microsoft Windows", Centre, 28, 51, 112, 8 },
        { -1, "static", "'Program Manager'", Centre, 28, 64, 113, 8 },
        { -1, "static", "Application (progman.exe)", Centre, 28, 78, 113, 8 },
        { -1, "static", "Use of a program shell other the 'Program", Centre, 10, 99, 148, 8 },
        { -1, "static", "Manager' may cause inconsistenties", Centre, 16, 114, 137, 8 },
        { -1, "static", "to appear in this and other applications", Centre, 14, 128, 140, 8 },
        { 9, "button", "Help", Push, 86, 154, 50, 14 },
    } });
}
