// The Delete command and its file chooser, with Wine's real file-open
// dialog driven from a second thread.
#include "support.h"
#include "app/window.h"
#include "app/bars.h"
#include "settings/options.h"
#include "shred/chooser.h"
#include "shred/requests.h"
#include "shred/shredder.h"
#include "res/resource.h"
#include <commdlg.h>
#include <commctrl.h>
#include <dlgs.h>
#include <gtest/gtest.h>

namespace {

struct Chooser {
    std::string title, folder, filter;
    std::string initial;   // the initial directory handed to the dialog
    bool cancel_enabled = false;   // for the confirmation
    std::string path;
};

std::string TrimSlash(std::string path)
{
    if (path.size() > 3 && path.back() == '\\')
        path.pop_back();
    return path;
}

// Reads what the file-open dialog shows, then types `choice` and presses
// Open (or Cancel when `choice` is empty).
std::function<void(HWND)> Choose(Chooser &seen, const std::string &choice)
{
    return [&seen, choice](HWND dialog) {
        char text[MAX_PATH] = "";
        GetWindowTextA(dialog, text, sizeof text);
        seen.title = text;
        seen.initial = LastDirectory;
        text[0] = 0;
        SendMessageA(dialog, CDM_GETFOLDERPATH, sizeof text, (LPARAM)text);
        seen.folder = TrimSlash(text);
        HWND types = GetDlgItem(dialog, cmb1);
        int chosen = (int)SendMessageA(types, CB_GETCURSEL, 0, 0);
        text[0] = 0;
        if (chosen >= 0)
            SendMessageA(types, CB_GETLBTEXT, chosen, (LPARAM)text);
        seen.filter = text;
        if (choice.empty()) {
            Click(dialog, IDCANCEL);
            return;
        }
        // The name box is an edit or, on newer systems, a combo box with one.
        HWND name = GetDlgItem(dialog, edt1);
        if (!name)
            name = (HWND)SendDlgItemMessageA(dialog, cmb13, CBEM_GETEDITCONTROL, 0, 0);
        WCHAR wide[MAX_PATH];   // the choice in UTF-8: the box itself is wide
        MultiByteToWideChar(CP_UTF8, 0, choice.c_str(), -1, wide, MAX_PATH);
        SetWindowTextW(name, wide);
        Click(dialog, IDOK);
    };
}

std::function<void(HWND)> Confirm(Chooser &seen, int button)
{
    return [&seen, button](HWND dialog) {
        char text[MAX_PATH] = "";
        GetWindowTextA(dialog, text, sizeof text);
        seen.title = text;
        seen.path = ControlText(dialog, IDC_CONFIRM_PATH);
        HWND cancel = GetDlgItem(dialog, IDCANCEL);
        seen.cancel_enabled = cancel && IsWindowEnabled(cancel);
        Click(dialog, button);
    };
}

class DeleteCommand : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        ConfirmDelete = 0;
        UseDirectory = 0;
        UseShiftKey = 0;
        SecurityLevel = 2;
    }
};

} // namespace

TEST_F(DeleteCommand, TitleFollowsTheLevelAndTheFirstFilterIsSelected)
{
    const char *titles[] = { "Delete", "Restricted Delete", "Confidential Delete", "Secret Delete",
                             "Top Secret Delete", "Delete" };
    for (int level = 0; level <= 5; level++) {
        Chooser seen;
        lstrcpyA(WorkPath, "untouched");
        {
            DialogScript script({ Choose(seen, "") });
            EXPECT_EQ(ListFiles(MainWindow, level), 0);
        }
        EXPECT_EQ(seen.title, titles[level]);
        EXPECT_EQ(seen.filter, "All Files (*.*)");
        EXPECT_STREQ(WorkPath, "untouched");
    }
}

// Chosen and confirmed, chosen and kept with No, and a cancelled chooser
// that asks nothing more (the last step would count a confirmation).
TEST_F(DeleteCommand, ChosenFileIsConfirmedWithoutCancelAndShredded)
{
    std::string victim = File("victim.txt");
    std::string kept = File("kept.txt");
    ConfirmDelete = 1;
    SecurityLevel = 3;
    Chooser chooser, confirm, chooser2, confirm2, cancelled, never;
    {
        DialogScript script({ Choose(chooser, victim), Confirm(confirm, IDOK), Choose(chooser2, kept),
                              Confirm(confirm2, IDC_CONFIRM_NO), Choose(cancelled, ""), Confirm(never, IDCANCEL) });
        for (int round = 0; round < 3; round++)
            EXPECT_EQ(Command(CMD_DELETE), 0);
        Sleep(300);
        EXPECT_EQ(script.StepsTaken(), 5);
    }
    EXPECT_EQ(chooser.title, "Secret Delete");
    EXPECT_EQ(confirm.title, "Secret Delete This File");
    EXPECT_EQ(confirm.path, victim);
    EXPECT_FALSE(confirm.cancel_enabled);
    EXPECT_FALSE(Exists(victim));
    EXPECT_TRUE(Exists(kept));
    EXPECT_FALSE(confirm2.cancel_enabled);
}

TEST_F(DeleteCommand, ShiftDelAlwaysDeletesAtLevelOne)
{
    std::string victim = File("plain.txt");
    ConfirmDelete = 1;
    SecurityLevel = 4;
    UseShiftKey = 0;
    Chooser chooser, confirm;
    {
        DialogScript script({ Choose(chooser, victim), Confirm(confirm, IDOK) });
        Command(CMD_DELETE_PLAIN);
    }
    EXPECT_EQ(chooser.title, "Restricted Delete");
    EXPECT_EQ(confirm.title, "Restricted Delete This File");
    EXPECT_FALSE(Exists(victim));
    EXPECT_EQ(ForcePlainDelete, 0);

    // Afterwards the plain command again follows the options.
    Chooser after;
    {
        DialogScript script({ Choose(after, "") });
        Command(CMD_DELETE);
    }
    EXPECT_EQ(after.title, "Top Secret Delete");
}

TEST_F(DeleteCommand, ShiftCountsOnlyWithTheShiftOption)
{
    SecurityLevel = 3;
    Chooser with, without;
    UseShiftKey = 1;
    PressShift(true);
    {
        DialogScript script({ Choose(with, "") });
        Command(CMD_DELETE);
    }
    UseShiftKey = 0;
    {
        DialogScript script({ Choose(without, "") });
        Command(CMD_DELETE);
    }
    PressShift(false);
    EXPECT_EQ(with.title, "Restricted Delete");
    EXPECT_EQ(without.title, "Secret Delete");
}

TEST_F(DeleteCommand, WithoutUseDirectoryTheRegistryIsNeitherReadNorWritten)
{
    CreateDirectoryA((dir + "elsewhere").c_str(), NULL);
    StoreOption("LastDirectory", dir + "elsewhere\\");
    std::string picked = File("notes.bak");
    Chooser seen;
    {
        DialogScript script({ Choose(seen, picked) });
        EXPECT_NE(ListFiles(MainWindow, 2), 0);
    }
    EXPECT_STREQ(WorkPath, picked.c_str());
    EXPECT_STREQ(LastDirectory, "");
    EXPECT_EQ(seen.initial, "");
    EXPECT_EQ(StoredOption("LastDirectory"), dir + "elsewhere\\");
    EXPECT_TRUE(Exists(picked));   // choosing deletes nothing
}

TEST_F(DeleteCommand, LastDirectoryIsRememberedAndOpenedNextTime)
{
    UseDirectory = 1;
    CreateDirectoryA((dir + "Archive").c_str(), NULL);
    std::string picked = File("Archive\\notes.bak");
    Chooser first, second, third;
    {
        DialogScript script({ Choose(first, picked), Choose(second, ""), Choose(third, "") });
        EXPECT_NE(ListFiles(MainWindow, 1), 0);
        EXPECT_EQ(StoredOption("LastDirectory"), dir + "Archive\\");
        EXPECT_EQ(ListFiles(MainWindow, 1), 0);
        StoreOption("LastDirectory", dir);
        EXPECT_EQ(ListFiles(MainWindow, 1), 0);
    }
    EXPECT_EQ(first.initial, "");
    EXPECT_EQ(second.initial, dir + "Archive\\");
    EXPECT_EQ(lstrcmpiA(second.folder.c_str(), TrimSlash(dir + "Archive").c_str()), 0) << second.folder;
    EXPECT_EQ(lstrcmpiA(third.folder.c_str(), TrimSlash(dir).c_str()), 0) << third.folder;
    // Cancelling after a load stores nothing.
    EXPECT_EQ(StoredOption("LastDirectory"), dir);
}

TEST_F(DeleteCommand, TheRootOfADriveIsStoredWithItsBackslash)
{
    UseDirectory = 1;
    const std::string root_file = "S:\\zorvex-root-choice.txt";
    WriteBytes(root_file, "root");
    Chooser seen;
    {
        DialogScript script({ Choose(seen, root_file) });
        EXPECT_NE(ListFiles(MainWindow, 1), 0);
    }
    DeleteFileA(root_file.c_str());
    EXPECT_EQ(StoredOption("LastDirectory"), "S:\\");
    EXPECT_STREQ(LastDirectory, "S:\\");
}

TEST_F(DeleteCommand, ADirectoryOfEightyCharactersIsStoredButNotReadBack)
{
    UseDirectory = 1;
    // Folders whose stored text, with the trailing backslash, is 79 and 80 long.
    std::string fits = dir + std::string(79 - 1 - dir.size(), 'f') + "\\";
    std::string too_long = dir + std::string(80 - 1 - dir.size(), 'g') + "\\";
    ASSERT_EQ(fits.size(), 79u);
    ASSERT_EQ(too_long.size(), 80u);
    ASSERT_TRUE(CreateDirectoryA(fits.c_str(), NULL));
    ASSERT_TRUE(CreateDirectoryA(too_long.c_str(), NULL));
    WriteBytes(fits + "a.txt", "a");
    WriteBytes(too_long + "b.txt", "b");
    Chooser pick_fits, open_fits, pick_long, open_long;
    {
        DialogScript script({ Choose(pick_fits, fits + "a.txt"), Choose(open_fits, ""),
                              Choose(pick_long, too_long + "b.txt"), Choose(open_long, "") });
        EXPECT_NE(ListFiles(MainWindow, 1), 0);
        EXPECT_EQ(ListFiles(MainWindow, 1), 0);
        SetCurrentDirectoryA(cwd.c_str());
        EXPECT_NE(ListFiles(MainWindow, 1), 0);
        EXPECT_EQ(StoredOption("LastDirectory"), too_long);
        SetCurrentDirectoryA(cwd.c_str());
        EXPECT_EQ(ListFiles(MainWindow, 1), 0);
    }
    EXPECT_EQ(lstrcmpiA(open_fits.folder.c_str(), TrimSlash(fits).c_str()), 0) << open_fits.folder;
    // Too long to read back: the dialog gets no initial directory (Wine then
    // opens the folder it remembers itself).
    EXPECT_EQ(open_long.initial, "");
    EXPECT_EQ(open_fits.initial, fits);
}


TEST_F(DeleteCommand, DelShiftDelAndTheToolbarButtonOpenTheChooser)
{
    SecurityLevel = 4;
    UseShiftKey = 0;
    ShowWindow(MainWindow, SW_SHOW);
    SetForegroundWindow(MainWindow);
    SetFocus(MainWindow);
    Chooser by_del, by_shift_del, by_button;
    {
        DialogScript script({ Choose(by_del, ""), Choose(by_shift_del, ""), Choose(by_button, "") });
        RECT r;
        ASSERT_TRUE(SendMessageA(Toolbar, TB_GETRECT, CMD_DELETE, (LPARAM)&r));
        LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        int code = RunProgramLoop({
            [] { Keystroke(VK_DELETE); },
            [] { Keystroke(VK_DELETE, { VK_SHIFT }); },
            [at] {
                PostMessageA(Toolbar, WM_LBUTTONDOWN, MK_LBUTTON, at);
                PostMessageA(Toolbar, WM_LBUTTONUP, 0, at);
            },
        }, 600);
        EXPECT_EQ(code, LoopTimedOut);
        EXPECT_EQ(script.StepsTaken(), 3);
    }
    EXPECT_EQ(by_del.title, "Top Secret Delete");
    EXPECT_EQ(by_shift_del.title, "Restricted Delete");
    EXPECT_EQ(by_button.title, "Top Secret Delete");
}

// The dialog speaks ANSI: a fullwidth name comes back as its plain
// look-alike, which names it only if nothing else goes by it, nor by the
// short name that would reach it.
TEST_F(DeleteCommand, AChoiceThatNamesNoItemExactlyIsRefused)
{
    const std::wstring wdir(dir.begin(), dir.end()), fullwidth = L"\xff50\xff4c\xff41\xff4e.txt";
    const std::wstring taken = WineShortName(wdir + fullwidth);
    ASSERT_FALSE(taken.empty());
    struct Row {
        const char *folder;    // one a row: what a row leaves, the ANSI clean-up cannot name
        std::wstring beside;   // the other item
        const char *choice;    // typed, in UTF-8
        const char *why;
    } rows[] = {
        { "look-alike", L"plan.txt", "plan.txt", "More than one item here goes by it." },
        { "short", taken, "\xef\xbd\x90\xef\xbd\x8c\xef\xbd\x81\xef\xbd\x8e.txt",
          "It holds characters this system's code page lacks." },
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.why);
        const std::string at = Folder(row.folder) + "\\";
        const std::wstring wat(at.begin(), at.end());
        CloseHandle(CreateFileW((wat + row.beside).c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL));
        CloseHandle(CreateFileW((wat + fullwidth).c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL));
        Chooser chooser;
        std::string told;
        {
            DialogScript script({ Choose(chooser, at + row.choice), [&](HWND box) {
                                     told = ControlText(box, 0xFFFF);
                                     Click(box, IDOK);
                                 } });
            Command(CMD_DELETE);
            EXPECT_EQ(script.StepsTaken(), 2);
        }
        EXPECT_EQ(told, "Name cannot be used exactly, NOT deleted:\r\n" + at + "plan.txt\r\n" + row.why);
        EXPECT_NE(GetFileAttributesW((wat + row.beside).c_str()), INVALID_FILE_ATTRIBUTES);
        EXPECT_NE(GetFileAttributesW((wat + fullwidth).c_str()), INVALID_FILE_ATTRIBUTES);
    }
}
