// zorvex.hlp in Wine's real help viewer: what it shows for each topic, the
// jumps of the contents topic, the keyword index, and the program's calls.
#include "support.h"
#include "app/window.h"
#include "dialogs/help.h"
#include "settings/options.h"
#include "dialogs/about.h"
#include "dialogs/security.h"
#include "res/resource.h"
#include <prsht.h>
#include <gtest/gtest.h>

namespace {

const char ContentsText[] = "Zorvex destroys files and folders";
const char SecurityText[] = "The security level decides what happens to each file";
const char CaveatText[] = "It cannot reach copies that it is not shown";
const int VIEWER_TEXT_ID = 0x701;
const int INDEX_BUTTON = 501;

// A visible top-level window of a class, of one process (or of any).
HWND TopWindow(const char *cls, DWORD process)
{
    return FindWindowWhere(NULL, [&](HWND window) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        return IsOfClass(window, cls) && IsWindowVisible(window) && (!process || owner == process);
    });
}

// The visible viewer window (of one process, or of any).
HWND Viewer(DWORD process = 0)
{
    return TopWindow("MS_WINHELP", process);
}

HWND TextOf(HWND viewer)
{
    return FindWindowWhere(viewer, [](HWND child) { return GetDlgCtrlID(child) == VIEWER_TEXT_ID; });
}

std::string ViewerText(HWND viewer)
{
    HWND shown = TextOf(viewer);
    if (!shown)
        return "";
    // WM_GETTEXT, not GetWindowText: across processes only the message
    // reaches the RichEdit's text.
    static char text[16384];
    text[0] = 0;
    DWORD_PTR got = 0;
    SendMessageTimeoutA(shown, WM_GETTEXT, sizeof text, (LPARAM)text, SMTO_ABORTIFHUNG, 2000, &got);
    return text;
}

// Waits, pumping this thread's messages, until a viewer shows `wanted`.
std::string WaitForText(const char *wanted, DWORD process = 0)
{
    std::string shown;
    for (int i = 0; i < 300; i++) {
        PumpMessages();
        HWND viewer = Viewer(process);
        if (viewer) {
            shown = ViewerText(viewer);
            if (shown.find(wanted) != std::string::npos)
                return shown;
        }
        Sleep(20);
    }
    return shown;
}

bool AnyViewer()
{
    return FindWindowA("MS_WINHELP", NULL) != NULL;
}

bool WaitNoViewer()
{
    for (int i = 0; i < 300; i++) {
        PumpMessages();
        if (!AnyViewer())
            return true;
        Sleep(20);
    }
    return false;
}

// Clicks the hotspot whose text is `label` in the viewer's topic text.
void ClickHotspot(HWND viewer, const std::string &label)
{
    std::string text = ViewerText(viewer);
    size_t at = text.find(label);
    ASSERT_NE(at, std::string::npos) << label;
    // The RichEdit counts a paragraph end as one character.
    size_t index = 0;
    for (size_t i = 0; i < at; i++)
        if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n'))
            index++;
    HWND shown = TextOf(viewer);
    ASSERT_NE(shown, (HWND)NULL);
    DWORD_PTR point = 0;
    SendMessageTimeoutA(shown, EM_POSFROMCHAR, index + 1, 0, SMTO_ABORTIFHUNG, 2000, &point);
    LPARAM where = MAKELPARAM(LOWORD(point) + 2, HIWORD(point) + 4);
    PostMessageA(shown, WM_LBUTTONDOWN, MK_LBUTTON, where);
    PostMessageA(shown, WM_LBUTTONUP, 0, where);
}

class Help : public MainWindowTest {
protected:
    Help() : MainWindowTest(false) {}
    void SetUp() override
    {
        MainWindowTest::SetUp();
        // The program names the file bare; the viewer finds it in the
        // folder it was started in, the program's own.
        ASSERT_TRUE(SetCurrentDirectoryA("S:\\bin"));
        ASSERT_TRUE(Exists("S:\\bin\\zorvex.hlp"));
        ASSERT_FALSE(AnyViewer());
        ASSERT_NE(Start(), (HWND)NULL);
    }
    void TearDown() override
    {
        WinHelpA(MainWindow, HELP_FILE, HELP_QUIT, 0);
        EXPECT_TRUE(WaitNoViewer());
        MainWindowTest::TearDown();
    }
    // Help! from the menu, and the viewer on the contents topic.
    bool ShowContents()
    {
        Command(CMD_HELP);
        return WaitForText(ContentsText).find(ContentsText) != std::string::npos;
    }
};

} // namespace

TEST_F(Help, HelpCommandShowsTheContentsTopic)
{
    HelpWatch help(true);
    Command(CMD_HELP);
    EXPECT_TRUE(OneHelpCall(help, MainWindow, HELP_CONTENTS));
    std::string shown = WaitForText(ContentsText);
    EXPECT_NE(shown.find(ContentsText), std::string::npos) << shown;
    EXPECT_NE(shown.find("Shift+Del"), std::string::npos);
    EXPECT_NE(shown.find("HKEY_CURRENT_USER\\Software\\Halvorn\\Zorvex\\Options"), std::string::npos);
}

TEST_F(Help, F1ShowsTheContentsTopic)
{
    ShowWindow(MainWindow, SW_SHOW);
    SetForegroundWindow(MainWindow);
    SetFocus(MainWindow);
    HelpWatch help(true);
    EXPECT_EQ(RunProgramLoop({ [] { Keystroke(VK_F1); } }), LoopTimedOut);
    EXPECT_TRUE(OneHelpCall(help, MainWindow, HELP_CONTENTS));
    std::string shown = WaitForText(ContentsText);
    EXPECT_NE(shown.find(ContentsText), std::string::npos) << shown;
}

TEST_F(Help, EveryTopicOpensByItsContextId)
{
    const struct { const char *context, *text; } topics[] = {
        { "contents", ContentsText }, { "security", SecurityText }, { "caveat_emptor", CaveatText } };
    for (auto &topic : topics) {
        char line[200];
        wsprintfA(line, "winhlp32.exe -i %s S:\\bin\\zorvex.hlp", topic.context);
        STARTUPINFOA start = { sizeof start };
        PROCESS_INFORMATION process;
        ASSERT_TRUE(CreateProcessA(NULL, line, NULL, NULL, FALSE, 0, NULL, NULL, &start, &process));
        std::string shown = WaitForText(topic.text, process.dwProcessId);
        EXPECT_NE(shown.find(topic.text), std::string::npos) << topic.context << ": " << shown;
        HWND viewer = Viewer(process.dwProcessId);
        if (viewer)
            PostMessageA(viewer, WM_CLOSE, 0, 0);
        if (WaitForSingleObject(process.hProcess, 5000) != WAIT_OBJECT_0)
            TerminateProcess(process.hProcess, 1);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
}

TEST_F(Help, TheContentsTopicJumpsToBothOtherTopics)
{
    const struct { const char *label, *text; } jumps[] = { { "Security Level", SecurityText },
                                                           { "Caveat Emptor", CaveatText } };
    for (auto &jump : jumps) {
        ASSERT_TRUE(ShowContents());
        ClickHotspot(Viewer(), jump.label);
        std::string shown = WaitForText(jump.text);
        EXPECT_NE(shown.find(jump.text), std::string::npos) << jump.label << ": " << shown;
    }
}

TEST_F(Help, TheIndexListsBothKeywordsAndOpensTheirTopics)
{
    const struct { const char *keyword, *text; } keywords[] = { { "Caveat Emptor", CaveatText },
                                                                { "Security", SecurityText } };
    for (auto &keyword : keywords) {
        ASSERT_TRUE(ShowContents());
        HWND viewer = Viewer();
        DWORD process = 0;
        GetWindowThreadProcessId(viewer, &process);
        PostMessageA(viewer, WM_COMMAND, INDEX_BUTTON, 0);
        HWND sheet = NULL, list = NULL;
        for (int i = 0; i < 250 && !list; i++) {
            Sleep(20);
            sheet = TopWindow("#32770", process);
            if (sheet)
                list = FindWindowWhere(sheet, [](HWND child) { return IsOfClass(child, "ListBox"); });
        }
        ASSERT_NE(list, (HWND)NULL) << "no index";
        std::vector<std::string> listed;
        int count = (int)SendMessageA(list, LB_GETCOUNT, 0, 0);
        // The viewer's list is a Unicode window: ask it in Unicode.
        for (int i = 0; i < count; i++) {
            WCHAR item[128] = L"";
            SendMessageW(list, LB_GETTEXT, i, (LPARAM)item);
            char narrow[128] = "";
            WideCharToMultiByte(CP_ACP, 0, item, -1, narrow, sizeof narrow, NULL, NULL);
            listed.push_back(narrow);
        }
        EXPECT_EQ(listed, (std::vector<std::string>{ "Caveat Emptor", "Security" }));
        WCHAR wanted[128];
        MultiByteToWideChar(CP_ACP, 0, keyword.keyword, -1, wanted, 128);
        EXPECT_GE(SendMessageW(list, LB_SELECTSTRING, (WPARAM)-1, (LPARAM)wanted), 0);
        SendMessageA(sheet, PSM_PRESSBUTTON, PSBTN_OK, 0);
        // The sheet's own loop notices that it has ended at its next message.
        PostMessageA(sheet, WM_NULL, 0, 0);
        std::string shown = WaitForText(keyword.text);
        EXPECT_NE(shown.find(keyword.text), std::string::npos) << keyword.keyword << ": " << shown;
    }
}

// Wine 8's viewer does not carry out HELP_KEY: the two Help buttons reach
// it, but it keeps the topic it shows. (Windows opens the keyword's topic.)
TEST_F(Help, OnWineTheHelpButtonsLeaveTheViewerWhereItIs)
{
    ASSERT_TRUE(ShowContents());
    {
        DialogScript script({ [](HWND dialog) {
            Click(dialog, IDC_DIALOG_HELP);
            Sleep(500);
            Click(dialog, IDCANCEL);
        } });
        RunSecurityDialog(MainWindow);
        EXPECT_EQ(script.StepsTaken(), 1);
    }
    std::string shown = WaitForText(ContentsText);
    EXPECT_NE(shown.find(ContentsText), std::string::npos);
    EXPECT_EQ(shown.find(SecurityText), std::string::npos);
    {
        DialogScript script({ [](HWND dialog) {
            Click(dialog, IDC_DIALOG_HELP);
            Sleep(500);
            Click(dialog, IDOK);
        } });
        Command(CMD_CAVEAT);
        EXPECT_EQ(script.StepsTaken(), 1);
    }
    shown = WaitForText(ContentsText);
    EXPECT_NE(shown.find(ContentsText), std::string::npos);
    EXPECT_EQ(shown.find(CaveatText), std::string::npos);
}

TEST_F(Help, LeavingTheProgramClosesTheViewer)
{
    ASSERT_TRUE(ShowContents());
    HelpWatch help(true);
    PostMessageA(MainWindow, WM_CLOSE, 0, 0);
    EXPECT_EQ(RunMessageLoop(), 0);
    EndMainWindow();
    EXPECT_TRUE(OneHelpCall(help, MainWindow, HELP_QUIT));
    EXPECT_TRUE(WaitNoViewer());
}
