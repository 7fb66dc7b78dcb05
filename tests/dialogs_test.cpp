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

class Dialogs : public MainWindowTest {};

} // namespace

TEST_F(Dialogs, SecurityLevelShowsTheCurrentLevelAndAnyOtherValueAsRestricted)
{
    const int expected[8] = { IDC_RESTRICTED, IDC_RESTRICTED, IDC_CONFIDENTIAL, IDC_SECRET,
                              IDC_TOP_SECRET, IDC_RESTRICTED, IDC_RESTRICTED, IDC_RESTRICTED };
    for (int level = 0; level <= 7; level++) {
        SecurityLevel = level;
        std::vector<int> seen;
        {
            DialogScript script({ [&](HWND dialog) {
                seen = Checked(dialog);
                Click(dialog, IDOK);
            } });
            EXPECT_EQ(RunSecurityDialog(MainWindow), 1);
        }
        EXPECT_EQ(seen, std::vector<int>{ expected[level] }) << "level " << level;
        int stored = level >= 2 && level <= 4 ? level : 1;
        EXPECT_EQ(SecurityLevel, stored) << "level " << level;
    }
}

TEST_F(Dialogs, ClicksKeepExactlyOneLevelCheckedAndOkStoresIt)
{
    SecurityLevel = 1;
    std::vector<std::vector<int>> seen;
    {
        // Plain radio buttons (see the dump): the procedure checks them.
        DialogScript script({ [&](HWND dialog) {
            for (int id : { IDC_SECRET, IDC_TOP_SECRET, IDC_CONFIDENTIAL, IDC_CONFIDENTIAL, IDC_RESTRICTED,
                            IDC_SECRET }) {
                Click(dialog, id);
                seen.push_back(Checked(dialog));
            }
            Click(dialog, IDOK);
        } });
        EXPECT_EQ(Command(CMD_SECURITY_LEVEL), 0);
    }
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
    EXPECT_TRUE(OneHelpCall(help, shown, HELP_KEY, "Security"));
}

TEST_F(Dialogs, AboutShowsItsRuntimeTextsAndClosesEveryWay)
{
    struct Seen {
        std::string name, date, caption;
        HWND focus = NULL, button = NULL, owner = NULL;
        bool icon = false;
    };
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
        s.icon = SendDlgItemMessageA(dialog, IDC_ABOUT_ICON, STM_GETICON, 0, 0) != 0;
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
        EXPECT_TRUE(s.icon);
    }

    // And through the Info menu's command.
    {
        DialogScript script({ [&](HWND d) { look(d); Click(d, IDOK); } });
        EXPECT_EQ(Command(CMD_ABOUT), 0);
        EXPECT_EQ(script.StepsTaken(), 1);
    }
}

TEST_F(Dialogs, CaveatHelpLeavesItOpenAndEveryWayClosesIt)
{
    bool open_after_help = false;
    HWND shown = NULL;
    HelpWatch help;
    {
        DialogScript script({
            [&](HWND dialog) {
                shown = dialog;
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
    EXPECT_TRUE(open_after_help);
    // Only the Help button calls the viewer; closing the dialog ends nothing.
    EXPECT_TRUE(OneHelpCall(help, shown, HELP_KEY, "Caveat Emptor"));
}

// Every resource as the program carries it, read from the module itself: one
// line per dialog control, menu item, accelerator, string, icon and bitmap,
// compared with tests/expected-resources.txt, so that a change of the .rc
// shows as a change of that file. On a difference the dump found is left in
// S:\work\resources-found.txt.
namespace {

static const char ExpectedResources[] =
#include "expected-resources.inc"
    ;

std::string Quoted(const std::string &text)
{
    std::string out = "\"";
    for (unsigned char c : text) {
        char code[8];
        wsprintfA(code, c == '\t' ? "\\t" : c < ' ' ? "\\x%02X" : "%c", c);
        out += code;
    }
    return out + "\"";
}

std::string Format(const char *format, ...)
{
    char line[600];
    va_list args;
    va_start(args, format);
    wvsprintfA(line, format, args);
    va_end(args);
    return line;
}

std::string Style(DWORD style)
{
    static const struct { DWORD bits; const char *name; } names[] = {
        { WS_POPUP, "POPUP" }, { WS_CHILD, "CHILD" }, { WS_VISIBLE, "VISIBLE" }, { WS_CAPTION, "CAPTION" },
        { WS_BORDER, "BORDER" }, { WS_SYSMENU, "SYSMENU" }, { WS_GROUP, "GROUP" }, { WS_TABSTOP, "TABSTOP" },
    };
    std::string out;
    for (auto &n : names)
        if ((style & n.bits) == n.bits) {
            out += std::string(n.name) + " ";
            style &= ~n.bits;
        }
    return out + Format("0x%lX", style);
}

// A name or an ordinal, as templates store them; ordinals as "#n".
std::string NameOrOrdinal(const WORD *&p)
{
    std::string out;
    if (*p == 0xFFFF) {
        out = Format("#%u", p[1]);
        p += 2;
        return out;
    }
    while (*p)
        out += (char)*p++;
    p++;
    return out;
}

std::string DumpDialog(const char *name)
{
    HMODULE module = GetModuleHandleA(NULL);
    const DLGTEMPLATE *head =
        (const DLGTEMPLATE *)LockResource(LoadResource(module, FindResourceA(module, name, (LPCSTR)RT_DIALOG)));
    const WORD *p = (const WORD *)(head + 1);
    NameOrOrdinal(p);   // menu
    NameOrOrdinal(p);   // class
    std::string out = Format("dialog %s %s at %d,%d %dx%d %s", name, Quoted(NameOrOrdinal(p)).c_str(), head->x,
                             head->y, head->cx, head->cy, Style(head->style).c_str());
    if (head->style & DS_SETFONT) {
        int points = *p++;
        out += Format(" font %d %s", points, Quoted(NameOrOrdinal(p)).c_str());
    }
    out += "\n";
    for (int i = 0; i < head->cdit; i++) {
        p = (const WORD *)(((ULONG_PTR)p + 3) & ~(ULONG_PTR)3);
        const DLGITEMTEMPLATE *item = (const DLGITEMTEMPLATE *)p;
        p = (const WORD *)(item + 1);
        // Stored as an ordinal or by name: the dialog manager takes both.
        std::string cls = NameOrOrdinal(p);
        CharLowerA(&cls[0]);
        cls = cls == "#128" ? "button" : cls == "#130" ? "static" : cls;
        std::string text = Quoted(NameOrOrdinal(p));
        p = (const WORD *)((const BYTE *)p + sizeof(WORD) + *p);   // creation data
        out += Format("  %d %s %s at %d,%d %dx%d %s\n", (short)item->id, cls.c_str(), text.c_str(), item->x, item->y,
                      item->cx, item->cy, Style(item->style).c_str());
    }
    return out;
}

std::string DumpMenu(HMENU menu, const std::string &indent)
{
    std::string out;
    for (int i = 0; i < GetMenuItemCount(menu); i++) {
        char text[100] = "";
        MENUITEMINFOA info = { sizeof info };
        info.fMask = MIIM_ID | MIIM_SUBMENU | MIIM_FTYPE | MIIM_STATE | MIIM_STRING;
        info.dwTypeData = text;
        info.cch = sizeof text;
        GetMenuItemInfoA(menu, i, TRUE, &info);
        if (info.fType & MFT_SEPARATOR) {
            out += indent + "separator\n";
            continue;
        }
        out += indent + (info.hSubMenu ? "popup " : Format("item %u ", info.wID)) + Quoted(text) +
               (info.fState & MFS_CHECKED ? " checked" : "") + (info.fState & MFS_GRAYED ? " grayed" : "") +
               (info.fType & MFT_RIGHTJUSTIFY ? " right" : "") + "\n";
        if (info.hSubMenu)
            out += DumpMenu(info.hSubMenu, indent + "  ");
    }
    return out;
}

std::string DumpAccelerators(const char *name)
{
    HACCEL table = LoadAcceleratorsA(GetModuleHandleA(NULL), name);
    ACCEL entries[32];
    int count = CopyAcceleratorTableA(table, entries, 32);
    std::string out = Format("accelerators %s\n", name);
    for (int i = 0; i < count; i++) {
        BYTE v = entries[i].fVirt;
        out += Format("  command %u:%s%s%s%s key 0x%X\n", entries[i].cmd, v & FALT ? " ALT" : "",
                      v & FCONTROL ? " CONTROL" : "", v & FSHIFT ? " SHIFT" : "", v & FVIRTKEY ? " VIRTKEY" : "",
                      entries[i].key);
    }
    DestroyAcceleratorTable(table);
    return out;
}

BOOL CALLBACK AddName(HMODULE, LPCSTR, LPSTR name, LONG_PTR names)
{
    ((std::vector<std::string> *)names)->push_back(IS_INTRESOURCE(name) ? Format("#%u", (UINT)(ULONG_PTR)name)
                                                                        : std::string(name));
    return TRUE;
}

std::vector<std::string> Names(LPCSTR type)
{
    std::vector<std::string> names;
    EnumResourceNamesA(GetModuleHandleA(NULL), type, AddName, (LONG_PTR)&names);
    return names;
}

std::string DumpResources()
{
    HMODULE module = GetModuleHandleA(NULL);
    std::string out;
    for (const std::string &name : Names((LPCSTR)RT_DIALOG))
        out += DumpDialog(name.c_str());
    for (const std::string &name : Names((LPCSTR)RT_MENU)) {
        HMENU menu = LoadMenuA(module, name.c_str());
        out += "menu " + name + "\n" + DumpMenu(menu, "  ");
        DestroyMenu(menu);
    }
    for (const std::string &name : Names((LPCSTR)RT_ACCELERATOR))
        out += DumpAccelerators(name.c_str());
    // Strings come in blocks of sixteen; the block's name is its first id / 16 + 1.
    for (const std::string &block : Names((LPCSTR)RT_STRING))
        for (UINT id = (atoi(block.c_str() + 1) - 1) * 16, end = id + 16; id < end; id++) {
            char text[600];
            int length = LoadStringA(module, id, text, sizeof text);
            if (length)
                out += Format("string %u ", id) + Quoted(std::string(text, length)) + "\n";
        }
    for (const std::string &name : Names((LPCSTR)RT_GROUP_ICON))
        out += "icon " + name + "\n";
    for (const std::string &name : Names((LPCSTR)RT_BITMAP))
        out += "bitmap " + name + "\n";
    return out;
}

} // namespace

TEST(Resources, AreTheExpectedOnes)
{
    std::string found = DumpResources();
    EXPECT_EQ(found, ExpectedResources);
    if (found != ExpectedResources)
        WriteBytes("S:\\work\\resources-found.txt", found);
}
