// Drops on the real main window: confirmation, progress popup, the folder
// walk. Drops are DROPFILES blocks in GlobalAlloc memory sent as WM_DROPFILES.
#include "support.h"
#include "app/window.h"
#include "settings/options.h"
#include "shred/links.h"
#include "shred/newer.h"
#include "shred/paths.h"
#include "shred/progress.h"
#include "shred/confirm.h"
#include "shred/requests.h"
#include "shred/shredder.h"
#include "shred/walk.h"
#include "res/resource.h"
#include <shlobj.h>
#include <commctrl.h>
#include <gtest/gtest.h>
#include <algorithm>

namespace {

std::vector<std::string> Progress;   // each text the popup was told to show

LRESULT CALLBACK WatchPopup(int code, WPARAM wParam, LPARAM lParam)
{
    CWPSTRUCT *call = (CWPSTRUCT *)lParam;
    if (code == HC_ACTION && call->message == WM_COMMAND && LOWORD(call->wParam) == CMD_PROGRESS_TEXT)
        Progress.push_back(ProgressText);
    return CallNextHookEx(NULL, code, wParam, lParam);
}

// A DROPFILES block as the shell makes it: ANSI or wide, as the names are.
template <typename Text> HGLOBAL MakeDrop(const std::vector<Text> &paths)
{
    typedef typename Text::value_type Char;
    size_t size = sizeof(DROPFILES) + sizeof(Char);
    for (auto &p : paths)
        size += (p.size() + 1) * sizeof(Char);
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
    DROPFILES *drop = (DROPFILES *)GlobalLock(block);
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = sizeof(Char) > 1;
    Char *names = (Char *)(drop + 1);
    for (auto &p : paths) {
        memcpy(names, p.c_str(), (p.size() + 1) * sizeof(Char));
        names += p.size() + 1;
    }
    GlobalUnlock(block);
    return block;
}

std::vector<std::string> Listing(const std::string &folder)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((folder + "*.*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return names;
    do {
        if (data.cFileName[0] != '.' || !(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            names.push_back(data.cFileName);
    } while (FindNextFileA(find, &data));
    FindClose(find);
    return names;
}

const std::string NoFolders = "Directory deletes NOT allowed.\r\nReset your options if you want to \r\ndelete a directory.";

class Drops : public MainWindowTest {
protected:
    HHOOK hook = NULL;
    void SetUp() override
    {
        MainWindowTest::SetUp();
        // After start-up: confirmation on, Shift on, level 1, no folders.
        SecurityLevel = 2;
        AllowDirectoryDelete = 1;
        Progress.clear();
        hook = SetWindowsHookExA(WH_CALLWNDPROC, WatchPopup, NULL, GetCurrentThreadId());
    }
    void TearDown() override
    {
        UnhookWindowsHookEx(hook);
        MainWindowTest::TearDown();
    }
    LRESULT Drop(const std::vector<std::string> &paths)
    {
        return SendMessageA(MainWindow, WM_DROPFILES, (WPARAM)MakeDrop(paths), 0);
    }
    // The boxes one drop shows.
    std::vector<SeenBox> DropBoxes(const std::vector<std::string> &paths, std::vector<int> buttons = { IDOK })
    {
        return BoxesOf([&] { Drop(paths); }, buttons);
    }
};

} // namespace

TEST_F(Drops, ASingleFileIsConfirmedWithoutCancelAndNoKeepsIt)
{
    std::string kept = File("kept.txt"), gone = File("gone.txt");
    std::vector<SeenBox> boxes = BoxesOf([&] {
        EXPECT_EQ(Drop({ kept }), 1);
        EXPECT_EQ(Drop({ gone }), 1);
    }, { IDC_CONFIRM_NO, IDOK });
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].caption, "Confidential Delete This File");
    EXPECT_EQ(boxes[0].path, kept);
    EXPECT_FALSE(boxes[0].cancel_enabled);
    EXPECT_EQ(boxes[0].owner, MainWindow);
    EXPECT_TRUE(Exists(kept));
    EXPECT_FALSE(Exists(gone));
    EXPECT_EQ(Progress, std::vector<std::string>{ "Deleting gone.txt" });
}

TEST_F(Drops, CancelOnTheSecondOfThreeEndsTheBatch)
{
    std::string a = File("a.txt"), b = File("b.txt"), c = File("c.txt");
    std::vector<SeenBox> boxes = DropBoxes({ a, b, c }, { IDOK, IDCANCEL });
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_TRUE(boxes[0].cancel_enabled);
    EXPECT_TRUE(boxes[1].cancel_enabled);
    EXPECT_FALSE(Exists(a));
    EXPECT_TRUE(Exists(b));
    EXPECT_TRUE(Exists(c));
    EXPECT_EQ(ConfirmReply, REPLY_CANCEL);

    boxes = DropBoxes({ b, c, File("d.txt") }, { IDC_CONFIRM_NO, IDC_CONFIRM_NO, IDOK });
    ASSERT_EQ(boxes.size(), 3u);
    EXPECT_TRUE(boxes[0].cancel_enabled);
    EXPECT_TRUE(boxes[1].cancel_enabled);
    EXPECT_FALSE(boxes[2].cancel_enabled);   // the last item offers no Cancel
    EXPECT_TRUE(Exists(b));
    EXPECT_FALSE(Exists(dir + "d.txt"));
}

// A folder, and a link to one, meet the folder rule before anything else.
TEST_F(Drops, WithoutConfirmationEveryItemGoesAndFoldersNeedPermission)
{
    ConfirmDelete = 0;
    AllowDirectoryDelete = 0;
    std::string a = File("a.txt"), folder = Folder("keepme"), b = File("b.txt");
    WriteBytes(folder + "\\inside.txt", "inside");
    std::vector<SeenBox> boxes = DropBoxes({ a, folder, "S:\\links\\dropped-link", b });
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_TRUE(BoxIs(boxes[0], "Zorvex", NoFolders, "stop"));
    EXPECT_TRUE(BoxIs(boxes[1], "Zorvex", NoFolders, "stop"));
    EXPECT_FALSE(Exists(a));
    EXPECT_FALSE(Exists(b));
    EXPECT_EQ(ReadBytes(folder + "\\inside.txt"), "inside");
    EXPECT_EQ(ReadBytes("S:\\links\\outside\\precious.txt"), "precious contents\n");
    EXPECT_EQ(Progress, (std::vector<std::string>{ "Deleting a.txt", "Deleting b.txt" }));
}

TEST_F(Drops, ShiftForcesLevelOneOnlyWithTheShiftOption)
{
    SecurityLevel = 4;
    std::vector<SeenBox> boxes = BoxesOf([&] {
        UseShiftKey = 1;
        PressShift(true);
        Drop({ File("x.txt") });
        PressShift(false);
        Drop({ File("x.txt") });   // released and queried since: back to the level
        UseShiftKey = 0;
        PressShift(true);
        Drop({ File("x.txt") });
        PressShift(false);
        SecurityLevel = 7;
        Drop({ Folder("f") });
    }, { IDC_CONFIRM_NO });
    ASSERT_EQ(boxes.size(), 4u);
    EXPECT_EQ(boxes[0].caption, "Restricted Delete This File");
    EXPECT_EQ(boxes[1].caption, "Top Secret Delete This File");
    EXPECT_EQ(boxes[2].caption, "Top Secret Delete This File");
    EXPECT_EQ(boxes[3].caption, "Delete This Folder");
}

TEST_F(Drops, AFolderIsWalkedSubfoldersFirstAndRemoved)
{
    ConfirmDelete = 0;
    std::string top = Folder("tree");
    WriteBytes(top + "\\report.txt", "one");
    CreateDirectoryA((top + "\\sub").c_str(), NULL);
    WriteBytes(top + "\\sub\\deep.bin", "two");
    WriteBytes(top + "\\.profile", "dot file");
    std::vector<std::string> order = Listing(top + "\\");
    std::string before = Cwd();
    Drop({ top });
    EXPECT_FALSE(Exists(top));
    EXPECT_EQ(Cwd(), before);
    // The subfolder's file first, then this level in listing order.
    std::vector<std::string> want = { "Deleting deep.bin" };
    for (auto &name : order)
        want.push_back("Deleting " + (name == "sub" ? top + "\\sub" : name));
    EXPECT_EQ(Progress, want);
}

namespace {
int GeometryCalls;
BOOL CountGeometry(LPCSTR root, DWORD *sectors, DWORD *bytes)
{
    GeometryCalls++;
    return RealFileCalls.Geometry(root, sectors, bytes);
}
std::vector<bool> WaitWhileRemoved;
std::vector<std::string> ShownWhileRemoved;
BOOL NoteCursorAndPopup(LPCSTR path)
{
    WaitWhileRemoved.push_back(GetCursor() == LoadCursor(NULL, IDC_WAIT));
    char text[PROGRESS_BUFFER] = "";
    GetDlgItemTextA(FindWindowA("#32770", NULL), IDC_PROGRESS_NAME, text, sizeof text);
    ShownWhileRemoved.push_back(text);
    return RealFileCalls.Remove(path);
}
} // namespace

// Once per request, not per file: the drive's geometry. The wait cursor
// stays up from file to file and the arrow comes back at the end; the popup
// names each file while it is shredded.
TEST_F(Drops, AWalkAsksTheGeometryOnceAndKeepsTheWaitCursorUp)
{
    ConfirmDelete = 0;
    std::string top = Folder("many");
    CreateDirectoryA((top + "\\a").c_str(), NULL);
    CreateDirectoryA((top + "\\b").c_str(), NULL);
    for (const char *name : { "\\a\\same.txt", "\\b\\same.txt", "\\one.txt", "\\two.txt" })
        WriteBytes(top + name, name);
    std::string single = dir + "single.txt";
    WriteBytes(single, "single");
    GeometryCalls = 0;
    WaitWhileRemoved.clear();
    ShownWhileRemoved.clear();
    SwapFileCalls().Geometry = CountGeometry;
    SwapFileCalls().Remove = NoteCursorAndPopup;
    Drop({ top, single });
    EXPECT_FALSE(Exists(top));
    EXPECT_FALSE(Exists(single));
    EXPECT_EQ(GeometryCalls, 1);
    EXPECT_EQ(WaitWhileRemoved, std::vector<bool>(5, true));
    EXPECT_EQ(GetCursor(), LoadCursor(NULL, IDC_ARROW));
    std::vector<std::string> shown = ShownWhileRemoved;
    std::sort(shown.begin(), shown.end());
    EXPECT_EQ(shown, std::vector<std::string>({ "Deleting one.txt", "Deleting same.txt", "Deleting same.txt",
                                                "Deleting single.txt", "Deleting two.txt" }));
}

TEST_F(Drops, ReadOnlyFilesAndDotFoldersStayWithTheFoldersAboveThem)
{
    ConfirmDelete = 0;
    std::string top = Folder("mixed");
    CreateDirectoryA((top + "\\.keep").c_str(), NULL);
    WriteBytes(top + "\\.keep\\hidden.txt", "hidden");
    CreateDirectoryA((top + "\\sub").c_str(), NULL);
    WriteBytes(top + "\\sub\\locked.txt", "locked");
    SetFileAttributesA((top + "\\sub\\locked.txt").c_str(), FILE_ATTRIBUTE_READONLY);
    WriteBytes(top + "\\sub\\free.txt", "free");
    WriteBytes(top + "\\plain.txt", "plain");
    std::vector<SeenBox> boxes = DropBoxes({ top });
    // The file's own box, then the end report: its folders stay.
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_TRUE(BoxIs(boxes[0], "File NOT Deleted", top + "\\sub\\locked.txt", "question"));
    EXPECT_TRUE(BoxIs(boxes[1], "Zorvex", "Folders NOT removed: 2\r\nThe first: " + top + "\\sub", "stop"));
    EXPECT_EQ(ReadBytes(top + "\\.keep\\hidden.txt"), "hidden");
    EXPECT_FALSE(Exists(top + "\\sub\\free.txt"));
    EXPECT_FALSE(Exists(top + "\\plain.txt"));
    EXPECT_TRUE(Exists(top + "\\sub\\locked.txt"));
}

TEST_F(Drops, LinksNeverLeadOutOfTheTreeAndTheirTargetsStayIntact)
{
    // S:\\links is laid out by the test runner with real symbolic links:
    // linked\\to-outside -> outside, linked\\to-empty -> empty-outside,
    // linked\\to-precious -> outside\\precious.txt, dropped-link -> outside,
    // dropped-file-link -> outside\\second.txt, long-link\\to-far -> a file
    // 600 characters deep in far. Wine follows every open of
    // such a link, so removing one would remove its target: they stay.
    ConfirmDelete = 0;
    const std::string links = "S:\\links\\", top = links + "linked", outside = links + "outside";
    ASSERT_TRUE(GetFileAttributesA((top + "\\to-outside").c_str()) & FILE_ATTRIBUTE_REPARSE_POINT);
    ASSERT_TRUE(ResolvesElsewhere((top + "\\to-precious").c_str()));
    ASSERT_TRUE(ResolvesElsewhere((links + "dropped-file-link").c_str()));
    EXPECT_FALSE(ResolvesElsewhere((top + "\\own.txt").c_str()));
    EXPECT_FALSE(ResolvesElsewhere(top.c_str()));
    EXPECT_FALSE(ResolvesElsewhere((outside + "\\precious.txt").c_str()));

    std::vector<SeenBox> boxes =
        DropBoxes({ links + "dropped-link", links + "dropped-file-link", top, links + "long-link" });
    // One box for the whole drop, however many links were left; the folders
    // that hold some stay.
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_TRUE(BoxIs(boxes[0], "Zorvex", "Folders NOT removed: 2\r\nThe first: " + top, "stop"));
    EXPECT_TRUE(BoxIs(boxes[1], "Zorvex", "Links NOT deleted: 6\r\nA link is never followed: what it points to is "
                                          "untouched.\r\nThe first: S:\\links\\dropped-link", "information"));
    EXPECT_FALSE(Exists(top + "\\own.txt"));
    EXPECT_EQ(ReadBytes(outside + "\\precious.txt"), "precious contents\n");
    EXPECT_EQ(ReadBytes(outside + "\\second.txt"), "also precious\n");
    // Its name is longer than the link test's buffer: a query that fails
    // counts as a link.
    std::string deep = links + "far";
    for (int level = 0; level < 5; level++)
        deep += "\\" + std::string(120, 'd');
    EXPECT_EQ(ReadLong(deep + "\\precious.txt"), "far and precious\n");
    EXPECT_TRUE(Exists(links + "long-link\\to-far"));
    EXPECT_EQ(Listing(outside + "\\"), (std::vector<std::string>{ "precious.txt", "second.txt" }));
    EXPECT_TRUE(IsFolder((links + "empty-outside").c_str()));
    EXPECT_TRUE(Exists(links + "dropped-file-link"));
    EXPECT_TRUE(Exists(top + "\\to-precious"));
    ASSERT_FALSE(Progress.empty());
    EXPECT_EQ(Progress.front(), "Deleting S:\\links\\dropped-link");
}

// What Windows 95 lacks is looked up at run time; without it the link test
// stays on the safe side.
TEST_F(Drops, WithoutTheCallsOfNewerSystemsLinksAreStillNeverFollowed)
{
    std::string top = Folder("older");
    WriteBytes(top + "\\a rather long file name.text", "x");
    char shorter[MAX_PATH];
    ASSERT_GT(GetShortPathNameA((top + "\\a rather long file name.text").c_str(), shorter, sizeof shorter), 0u);
    NeedNewerCalls();
    ASSERT_TRUE(NewerCalls.QueryObject != NULL);
    ASSERT_TRUE(NewerCalls.GetLongPathNameW != NULL);
    // No GetLongPathNameW (Windows 95, 98, NT 4): a short name cannot be told
    // from a link, so it is kept rather than followed.
    NewerCalls.GetLongPathNameW = NULL;
    EXPECT_TRUE(ResolvesElsewhere(shorter));
    EXPECT_FALSE(ResolvesElsewhere((top + "\\a rather long file name.text").c_str()));
    EXPECT_FALSE(ResolvesElsewhere((top + "\\").c_str()));   // a folder named with its backslash
    EXPECT_TRUE(ResolvesElsewhere("S:\\links\\dropped-file-link"));
    // No ntdll (Windows 95): no file system there hides links.
    NewerCalls.QueryObject = NULL;
    EXPECT_FALSE(ResolvesElsewhere("S:\\links\\dropped-file-link"));
    // With them, neither the short nor the long name is a link.
    LookUpNewerCalls();
    EXPECT_FALSE(ResolvesElsewhere(shorter));
    EXPECT_FALSE(ResolvesElsewhere((top + "\\a rather long file name.text").c_str()));
}

TEST_F(Drops, FoldersThatCannotBeEnteredAreSkippedNotWalkedFromElsewhere)
{
    ConfirmDelete = 0;
    std::string top = Folder("long");
    WriteBytes(top + "\\shallow.txt", "x");
    // A chain past what an ANSI current directory can hold.
    std::string deep = top;
    while (deep.size() < 326)
        deep += "\\" + std::string(60, 'q');
    MakeLongFolder(deep);
    WriteLong(deep + "\\deep.txt", "deep");
    std::string sibling = Folder("sibling");
    WriteBytes(sibling + "\\untouched.txt", "untouched");
    std::string before = Cwd();
    std::vector<SeenBox> boxes = DropBoxes({ top });
    // Told at the end: the folders kept, and the one no path reaches.
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].text.find("Folders NOT removed: "), 0u) << boxes[0].text;
    EXPECT_EQ(boxes[1].text.find("Paths too long, NOT deleted: 1\r\nThe first: " + top + "\\q"), 0u);
    EXPECT_EQ(Cwd(), before);
    EXPECT_FALSE(Exists(top + "\\shallow.txt"));
    EXPECT_EQ(ReadLong(deep + "\\deep.txt"), "deep");
    EXPECT_EQ(ReadBytes(sibling + "\\untouched.txt"), "untouched");
    EXPECT_TRUE(Exists(top));
}

TEST_F(Drops, AFolderThatCannotBeEnteredDeletesNothing)
{
    WriteBytes(dir + "bystander.txt", "stay");
    SetCurrentDirectoryA(dir.c_str());
    DirWalk(NULL, (dir + "no-such-folder").c_str(), 2, 1);
    EXPECT_EQ(Cwd() + "\\", dir);
    EXPECT_EQ(ReadBytes(dir + "bystander.txt"), "stay");
}

TEST_F(Drops, ProgressNamesFilesByNameAndFoldersByPathAndFitsItsBuffer)
{
    HWND popup = CreateProgressPopup();
    ASSERT_NE(popup, (HWND)NULL);
    EXPECT_FALSE(IsWindowVisible(popup));
    EXPECT_EQ(GetWindowLongA(popup, GWL_STYLE) & WS_DLGFRAME, 0);   // thin border, no caption
    std::string folder = Folder("named"), name(255, 'p');
    const struct { std::string path, shown; } cases[] = {
        { "C:\\Data\\old\\report.txt", "Deleting report.txt" },
        { folder, "Deleting " + folder },
        { "C:\\" + name, "Deleting " + name.substr(0, PROGRESS_BUFFER - 1 - 9) },   // cut to the buffer
    };
    for (auto &c : cases) {
        ShowProgress(popup, c.path.c_str());
        EXPECT_TRUE(IsWindowVisible(popup));
        EXPECT_EQ(std::string(ProgressText), c.shown);
        EXPECT_EQ(ControlText(popup, IDC_PROGRESS_NAME), c.shown);
    }
    // Centred on the screen.
    RECT r;
    GetWindowRect(popup, &r);
    EXPECT_EQ(r.left, (GetSystemMetrics(SM_CXSCREEN) - (r.right - r.left)) / 2);
    EXPECT_EQ(r.top, (GetSystemMetrics(SM_CYSCREEN) - (r.bottom - r.top)) / 2);
    CloseProgressPopup(popup);
    EXPECT_FALSE(IsWindow(popup));
}

static LRESULT CALLBACK RefuseWindows(int code, WPARAM wParam, LPARAM lParam)
{
    return code == HCBT_CREATEWND ? 1 : CallNextHookEx(NULL, code, wParam, lParam);
}

// An owner that is gone makes the dialog call answer 0, a window that cannot
// be made -1: neither is a yes.
TEST_F(Drops, AConfirmationThatCannotBeShownAnswersNo)
{
    lstrcpyA(WorkPath, "S:\\work\\nothing");
    EXPECT_EQ(AskConfirmation((HWND)(ULONG_PTR)0x7FFF1234), 0);
    HHOOK refuse = SetWindowsHookExA(WH_CBT, RefuseWindows, NULL, GetCurrentThreadId());
    EXPECT_EQ(AskConfirmation(MainWindow), 0);
    UnhookWindowsHookEx(refuse);
}

// The walk's limit: in a folder of 240 characters, an entry whose path is 259
// characters is shredded; ones of 260 and 275 are skipped, not tried, and
// told once at the end of the drop.
TEST_F(Drops, AWalkShredsEntriesOf259CharactersAndLeavesLongerOnes)
{
    ConfirmDelete = 0;
    std::string top = Folder("limit");
    WriteBytes(top + "\\near.txt", "x");
    std::string inner = top + "\\" + std::string(239 - top.size(), 'd');
    ASSERT_EQ(inner.size(), 240u);
    MakeLongFolder(inner);
    std::string fits = inner + "\\" + std::string(18, 'f'), over = inner + "\\" + std::string(19, 'o');
    std::string far_off = inner + "\\" + std::string(34, 'n');
    ASSERT_EQ(fits.size(), 259u);
    ASSERT_EQ(over.size(), 260u);
    for (const std::string &path : { fits, over, far_off, inner + "\\ok.txt" })
        WriteLong(path, "kept");
    std::vector<SeenBox> boxes = DropBoxes({ top });
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_TRUE(BoxIs(boxes[0], "Zorvex", "Folders NOT removed: 2\r\nThe first: " + inner, "stop"));
    boxes.erase(boxes.begin());   // its folders stay
    // The first one the listing met, cut to its buffer.
    std::string told = "Paths too long, NOT deleted: 2\r\nThe first: ";
    EXPECT_TRUE(BoxIs(boxes[0], "Zorvex", "*", "stop"));
    EXPECT_TRUE(boxes[0].text == told + over.substr(0, PATH_BUFFER - 3) + "..." ||
                boxes[0].text == told + far_off.substr(0, PATH_BUFFER - 3) + "...") << boxes[0].text;
    EXPECT_EQ(ReadLong(fits), "<unreadable>");
    EXPECT_EQ(ReadLong(over), "kept");
    EXPECT_EQ(ReadLong(far_off), "kept");
    EXPECT_FALSE(Exists(inner + "\\ok.txt"));
    EXPECT_FALSE(Exists(top + "\\near.txt"));
    EXPECT_TRUE(IsFolder(inner.c_str()));
    EXPECT_TRUE(IsFolder(top.c_str()));
}

// A dropped name of 259 characters fits a path buffer; 260 do not, and 263
// would be cut to its namesake of 259 (notes beside notes.txt): both are
// refused, neither is touched, and the drop goes on.
TEST_F(Drops, ADroppedNameLongerThanAPathBufferIsRefusedAndItsNamesakeNotTouched)
{
    std::string folder = dir + std::string(200 - dir.size(), 'f') + "\\" + std::string(52, 'g');
    ASSERT_EQ(folder.size(), 253u);
    MakeLongFolder(folder);
    std::string fits = folder + "\\kkkkk", over = folder + "\\mmmmmm";
    std::string cut = folder + "\\notes", dropped = cut + ".txt";
    ASSERT_EQ(fits.size(), 259u);
    ASSERT_EQ(over.size(), 260u);
    ASSERT_EQ(dropped.size(), 263u);
    for (const std::string &path : { fits, over, cut, dropped })
        WriteLong(path, path.substr(folder.size()));
    std::string next = File("next.txt");
    std::vector<SeenBox> boxes = DropBoxes({ fits, over, dropped, next });
    ASSERT_EQ(boxes.size(), 4u);
    EXPECT_EQ(boxes[0].caption, "Confidential Delete This File");
    EXPECT_EQ(boxes[0].path, fits);
    EXPECT_TRUE(boxes[0].path_fits);   // never cut, whatever the font
    EXPECT_TRUE(BoxIs(boxes[1], "Zorvex", "Path too long, NOT deleted:\r\n" + over.substr(0, 259) + "...", "stop"));
    EXPECT_TRUE(BoxIs(boxes[2], "Zorvex", "Path too long, NOT deleted:\r\n" + dropped.substr(0, 259) + "...", "stop"));
    EXPECT_EQ(boxes[3].caption, "Confidential Delete This File");
    EXPECT_EQ(ReadLong(fits), "<unreadable>");   // shredded
    for (const std::string &path : { over, cut, dropped })
        EXPECT_EQ(ReadLong(path), path.substr(folder.size()));
    EXPECT_FALSE(Exists(next));
    EXPECT_EQ(Progress, (std::vector<std::string>{ "Deleting kkkkk", "Deleting next.txt" }));
}

TEST_F(Drops, AFolderNamedWithATrailingBackslashIsWalkedLikeAnyFolder)
{
    ConfirmDelete = 0;
    std::string top = Folder("slashed");
    WriteBytes(top + "\\inside.txt", "x");
    EXPECT_FALSE(ResolvesElsewhere((top + "\\").c_str()));
    EXPECT_FALSE(ResolvesElsewhere((top + "\\\\").c_str()));
    EXPECT_TRUE(DropBoxes({ top + "\\" }).empty());
    EXPECT_FALSE(Exists(top));
}

TEST_F(Drops, AWholeDriveIsNeverDestroyed)
{
    ConfirmDelete = 0;
    std::string keep = File("keep.txt", "keep");
    std::vector<std::string> roots = { "S:\\", "S:\\work\\..", "s:\\work\\..\\" };
    std::vector<SeenBox> boxes = DropBoxes(roots);
    ASSERT_EQ(boxes.size(), 3u);
    for (size_t i = 0; i < roots.size(); i++)
        EXPECT_TRUE(BoxIs(boxes[i], "Zorvex", "A whole drive is never deleted:\r\n" + roots[i], "stop"));
    EXPECT_EQ(ReadBytes(keep), "keep");
    EXPECT_TRUE(Exists("S:\\bin\\ostrel32.dll"));
    EXPECT_TRUE(Progress.empty());
    for (const char *root : { "C:\\", "\\\\server\\share", "\\\\server\\share\\" })
        EXPECT_TRUE(IsDriveRoot(root)) << root;
    for (const std::string &other : { std::string("\\\\server\\share\\folder"), std::string("S:\\work"), dir })
        EXPECT_FALSE(IsDriveRoot(other.c_str())) << other;
}

// Windows shows every link as a reparse point; there the attribute alone
// decides, so a drive mapping another drive's folder (SUBST, a network
// share) never makes plain files look like links.
TEST_F(Drops, OnWindowsTheLinkAttributeAloneDecides)
{
    const std::string links = "S:\\links\\";
    WriteBytes("T:\\subst.txt", "on a drive that maps a folder of S:");
    EXPECT_FALSE(ResolvesElsewhere("T:\\subst.txt"));   // Wine: names end alike
    int was = LinksHiddenByPlatform;
    LinksHiddenByPlatform = 0;
    DWORD file_link = GetFileAttributesA((links + "dropped-file-link").c_str());
    DWORD folder_link = GetFileAttributesA((links + "dropped-link").c_str());
    EXPECT_FALSE(ResolvesElsewhere((links + "dropped-file-link").c_str()));   // not asked
    EXPECT_FALSE(IsLink((links + "dropped-file-link").c_str(), file_link));    // Wine hides it
    EXPECT_TRUE(IsLink((links + "dropped-link").c_str(), folder_link));
    EXPECT_FALSE(IsLink("T:\\subst.txt", GetFileAttributesA("T:\\subst.txt")));
    LinksHiddenByPlatform = was;
    EXPECT_EQ(LinksHiddenByPlatform, 1);   // this is Wine
    EXPECT_TRUE(IsLink((links + "dropped-file-link").c_str(), file_link));
    DeleteFileA("T:\\subst.txt");
}

// While a box of a running request is up, its message loop runs: whatever
// arrives then must wait for the request's end or be refused, never start
// or change a request inside it. Each row: what starts the request, the
// box during which something arrives, what arrives, the buttons, the boxes
// that must be seen (a piece of each box's caption, text or path), and
// what must be gone or still there afterwards.
TEST_F(Drops, WhatArrivesDuringABoxWaitsForTheRequestsEnd)
{
    struct Row {
        const char *what;
        bool confirm;
        std::vector<std::string> start;   // dropped; "*CMD" gives that command instead
        size_t at;                        // the box during which it arrives
        UINT message;
        WPARAM wparam;                    // for WM_DROPFILES: the drop of `late`
        std::vector<std::string> late;
        std::vector<int> buttons;
        std::vector<std::string> boxes;
        std::vector<std::string> gone, kept;
        bool quits;
    };
    const WPARAM DROP = 0;
    const std::vector<Row> rows = {
        { "a drop during a confirmation: the declined item stays", true, { "a" }, 0, WM_DROPFILES, DROP,
          { "b" }, { IDOK, IDC_CONFIRM_NO }, { "a", "b" }, { "a" }, { "b" }, false },
        { "Cancel in a later drop ends only that drop", true, { "dir", "g", "h" }, 1, WM_DROPFILES, DROP,
          { "x", "y" }, { IDOK, IDOK, IDOK, IDOK, IDOK, IDCANCEL },
          { "dir", "ro.txt", "g", "h", "Folders NOT removed", "x" }, { "g", "h", "dir\\x.txt" }, { "x", "y" },
          false },
        { "a later request keeps the first one's report", false, { "S:\\links\\dropped-link", "ro.txt" }, 0,
          WM_DROPFILES, DROP, { "b" }, { IDOK }, { "ro.txt", "Links NOT deleted: 1" }, { "b" },
          { "ro.txt" }, false },
        { "Delete during a walk's box is refused", false, { "dir" }, 0, WM_COMMAND, CMD_DELETE, {}, { IDOK },
          { "ro.txt", "Folders NOT removed" }, { "dir\\x.txt" }, { "dir\\ro.txt" }, false },
        { "Delete during Shift+Del's chooser is refused", false, { "*98" }, 0, WM_COMMAND, CMD_DELETE, {},
          { IDCANCEL }, { "Restricted Delete" }, {}, {}, false },
        { "an option change during a confirmation is refused", true, { "a" }, 0, WM_COMMAND,
          CMD_CONFIRM_DELETE, {}, { IDOK }, { "a" }, { "a" }, {}, false },
        { "the Security Level dialog waits", true, { "a" }, 0, WM_COMMAND, CMD_SECURITY_LEVEL, {},
          { IDC_CONFIRM_NO }, { "a" }, {}, { "a" }, false },
        { "Exit during a box: every later box is still shown", false, { "ro.txt", "ro2.txt" }, 0, WM_COMMAND,
          CMD_EXIT, {}, { IDOK }, { "ro.txt", "ro2.txt" }, {}, { "ro.txt", "ro2.txt" }, true },
        { "the close box likewise", false, { "ro.txt", "ro2.txt" }, 0, WM_CLOSE, 0, {}, { IDOK },
          { "ro.txt", "ro2.txt" }, {}, { "ro.txt", "ro2.txt" }, true },
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.what);
        RemoveSandboxTree(dir);
        dir = SandboxFolder(testing::UnitTest::GetInstance()->current_test_info()->name());
        for (const char *name : { "a", "b", "g", "h", "x", "y" })
            File(name);
        Folder("dir");
        File("dir\\x.txt");
        for (const char *name : { "ro.txt", "ro2.txt", "dir\\ro.txt" }) {
            File(name);
            SetFileAttributesA((dir + name).c_str(), FILE_ATTRIBUTE_READONLY);
        }
        auto full = [&](const std::string &name) { return name.find(':') != std::string::npos ? name : dir + name; };
        std::vector<std::string> start, late;
        for (auto &name : row.start)
            start.push_back(full(name));
        for (auto &name : row.late)
            late.push_back(full(name));
        ConfirmDelete = row.confirm;
        HWND main = MainWindow;
        bool enabled_during = true;
        std::vector<SeenBox> boxes;
        {
            // Sent from the answering thread, so that it is handled inside
            // the box's own message loop, as a drop or click of the user is.
            BoxAnswerer answer(row.buttons, [&](size_t index) {
                if (index != row.at)
                    return;
                enabled_during = IsWindowEnabled(main);
                LPARAM unused = 0;
                WPARAM wparam = row.message == WM_DROPFILES ? (WPARAM)MakeDrop(late) : row.wparam;
                DWORD_PTR result;
                SendMessageTimeoutA(main, row.message, wparam, unused, SMTO_NORMAL, 3000, &result);
            });
            if (row.start[0][0] == '*')
                SendMessageA(MainWindow, WM_COMMAND, atoi(row.start[0].c_str() + 1), 0);
            else
                Drop(start);
            boxes = answer.Boxes();
        }
        EXPECT_EQ(boxes.size(), row.boxes.size());
        for (size_t i = 0; i < boxes.size() && i < row.boxes.size(); i++)
            EXPECT_NE((boxes[i].caption + "|" + boxes[i].text + "|" + boxes[i].path).find(row.boxes[i]),
                      std::string::npos) << i << ": " << boxes[i].caption << " " << boxes[i].text;
        for (auto &name : row.gone)
            EXPECT_FALSE(Exists(full(name))) << name;
        for (auto &name : row.kept)
            EXPECT_TRUE(Exists(full(name))) << name;
        EXPECT_EQ(ConfirmDelete, row.confirm);
        EXPECT_FALSE(enabled_during);   // nothing on it can be clicked meanwhile
        EXPECT_TRUE(IsWindowEnabled(MainWindow));
        MSG quit;
        EXPECT_EQ(PeekMessageA(&quit, NULL, WM_QUIT, WM_QUIT, PM_REMOVE) != 0, row.quits);
    }
}

// What a request leaves is told at its end, one box per kind: a file held
// open by another program, an overwrite the disk refused.
static BOOL RefuseWrite(HANDLE, const void *, DWORD, DWORD *written)
{
    *written = 0;
    return FALSE;
}
static BOOL LengthUnknown(HANDLE, LONGLONG *) { return FALSE; }
static BOOL RefuseRead(HANDLE, void *, DWORD, DWORD *got)
{
    *got = 0;
    return FALSE;
}

TEST_F(Drops, WhatARequestLeavesIsToldAtItsEnd)
{
    struct Row { int level; bool held; bool refuse_write; const char *told; bool overwritten; bool empty; };
    const Row rows[] = {
        { 2, true, false, "Files overwritten but NOT deleted: 1\r\nAnother program may hold them open.", true, false },
        { 1, true, false, "Files NOT deleted: 1\r\nAnother program may hold them open.", false, false },
        { 2, false, true, "Files whose overwrite failed, NOT deleted: 1\r\nThe system refused a write, a flush or a read (is the disk full?).",
          false, false },
        // Empty and not lengthened: no byte was written, so none was overwritten.
        { 2, true, false, "Files NOT deleted: 1\r\nAnother program may hold them open.", false, true },
        // Neither its length nor a read tells where it ends: not taken for an end.
        { 2, false, true, "Files whose overwrite failed, NOT deleted: 1\r\nThe system refused a write, a flush or a read (is the disk full?).",
          false, true },
    };
    ConfirmDelete = 0;
    for (const Row &row : rows) {
        SCOPED_TRACE(row.told);
        std::string path = File("left.txt", row.empty ? "" : "the original words");
        ExtendBeforeOverwrite = !row.empty;
        HANDLE held = row.held ? CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                             NULL, OPEN_EXISTING, 0, NULL)
                               : INVALID_HANDLE_VALUE;
        if (row.refuse_write && !row.empty)
            SwapFileCalls().Write = RefuseWrite;
        if (row.refuse_write && row.empty) {   // nothing can be read
            SwapFileCalls().Length = LengthUnknown;
            SwapFileCalls().Read = RefuseRead;
        }
        SecurityLevel = row.level;
        std::vector<SeenBox> boxes;
        {
            BoxAnswerer answer;
            Drop({ path });
            boxes = answer.Boxes();
        }
        RestoreSeams();
        if (held != INVALID_HANDLE_VALUE)
            CloseHandle(held);
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text, std::string(row.told) + "\r\nThe first: " + path);
        EXPECT_EQ(boxes[0].icon, "stop");
        ASSERT_TRUE(Exists(path));
        EXPECT_EQ(ReadBytes(path).substr(0, 18) != (row.empty ? "" : "the original words"), row.overwritten);
        DeleteFileA(path.c_str());
    }
}

// A box during a walk runs a message loop; whatever it leaves current,
// the walk removes the folder it was given and nothing else.
static std::string Elsewhere;
static BOOL RemoveAndWander(LPCSTR path)
{
    SetCurrentDirectoryA(Elsewhere.c_str());
    return RealFileCalls.Remove(path);
}

TEST_F(Drops, AWalkRemovesTheFolderItWasGivenWhateverIsCurrentAtItsEnd)
{
    ConfirmDelete = 0;
    std::string top = Folder("given");
    WriteBytes(top + "\\f.txt", "f");
    Elsewhere = Folder("never-chosen");
    SwapFileCalls().Remove = RemoveAndWander;
    std::string before = Cwd();
    Drop({ top });
    EXPECT_FALSE(Exists(top));
    EXPECT_TRUE(IsFolder(Elsewhere.c_str()));
    EXPECT_EQ(Cwd(), before);
}

// Another program moves the folder that holds the walked one while a box
// of the walk leaves some other directory current: the level that cannot
// get back destroys nothing where it lands, and says what it left.
static std::string Moving;
static BOOL RemoveMoveAndWander(LPCSTR path)
{
    BOOL removed = RealFileCalls.Remove(path);
    if (!Moving.empty()) {
        SetCurrentDirectoryA((Elsewhere + "\\inner").c_str());
        MoveFileA(Moving.c_str(), (Moving + "-moved").c_str());
        Moving.clear();
    }
    return removed;
}

TEST_F(Drops, AWalkThatLosesItsPlaceDestroysNothingWhereItLands)
{
    ConfirmDelete = 0;
    Moving = Folder("box");
    std::string given = Folder("box\\given");
    Folder("box\\given\\sub");
    WriteBytes(given + "\\sub\\f.txt", "f");
    WriteBytes(given + "\\g.txt", "g");
    Elsewhere = Folder("never-chosen");
    Folder("never-chosen\\inner");
    WriteBytes(Elsewhere + "\\inner\\keep.txt", "k");
    WriteBytes(Elsewhere + "\\keep.txt", "k");
    SwapFileCalls().Remove = RemoveMoveAndWander;
    std::vector<SeenBox> boxes = DropBoxes({ given });
    EXPECT_TRUE(Exists(Elsewhere + "\\keep.txt"));
    EXPECT_TRUE(Exists(Elsewhere + "\\inner\\keep.txt"));
    EXPECT_TRUE(Exists(dir + "box-moved\\given\\g.txt"));
    ASSERT_FALSE(boxes.empty());
    EXPECT_EQ(boxes[0].text.find("Folders that could not be opened, NOT deleted: 1"), 0u) << boxes[0].text;
}

// Names the code page cannot spell or the path rules would change: each
// item is reached by a name that names exactly it (its own, or its short
// one), or left and told; nothing beside it is touched. Names are made
// through "\\?\", which the path rules leave as they are; a trailing "\"
// makes a folder.
void MakeExact(const std::wstring &path)
{
    std::wstring full = L"\\\\?\\" + path;
    if (full.back() == L'\\') {
        full.pop_back();
        ASSERT_TRUE(CreateDirectoryW(full.c_str(), NULL));
        return;
    }
    HANDLE file = CreateFileW(full.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written;
    WriteFile(file, "words", 5, &written, NULL);
    CloseHandle(file);
}

bool ExistsExact(const std::wstring &path)
{
    std::wstring full = L"\\\\?\\" + path;
    if (full.back() == L'\\')
        full.pop_back();
    return GetFileAttributesW(full.c_str()) != INVALID_FILE_ATTRIBUTES;
}

TEST_F(Drops, EveryNameReachesExactlyItsOwnItem)
{
    const std::wstring full = L"\xff50\xff4c\xff41\xff4e.txt", bs = L"\xff3c";   // fullwidth "plan", "\"
    struct Row {
        const char *what;
        std::vector<std::wstring> make, drop;
        bool wide;
        std::vector<std::wstring> gone, kept;
        std::string told;   // the one box expected, or none
    };
    // Another item may own the short name Wine gives the fullwidth one.
    const std::wstring taken = WineShortName(std::wstring(dir.begin(), dir.end()) + full);
    ASSERT_FALSE(taken.empty());
    const std::vector<Row> rows = {
        { "a fullwidth name, beside its plain look-alike", { full, L"plan.txt" }, { full }, true, { full },
          { L"plan.txt" } },
        { "a trailing dot, beside the name without it", { L"plan.", L"plan" }, { L"plan." }, true, { L"plan." },
          { L"plan" } },
        { "the same dropped by a shell that speaks ANSI", { L"plan.", L"plan" }, { L"plan." }, false,
          { L"plan." }, { L"plan" } },
        { "a folder with a trailing dot", { L"data.\\", L"data.\\in.txt", L"data\\", L"data\\keep.txt" },
          { L"data." }, true, { L"data.\\" }, { L"data\\keep.txt" } },
        { "a folder named ...", { L"up\\", L"up\\...\\", L"up\\...\\in.txt", L"up\\keep.txt" }, { L"up\\..." },
          true, { L"up\\...\\" }, { L"up\\keep.txt" } },
        { "names inside a dropped folder that would climb out of it or name it again",
          { L"walk\\", L"walk\\a" + bs + L".." + bs + L".." + bs + L"victim.txt", L"walk\\b" + bs + L".." + bs +
            L".." + bs + L"sibling\\", L"walk\\b" + bs + L".." + bs + L".." + bs + L"sibling\\in.txt",
            L"walk\\x" + bs + L".." + bs + L"\\", L"walk\\x" + bs + L".." + bs + L"\\in.txt",
            L"walk\\\x4e2d\x6587.txt", L"walk\\\xd83d\xde00.txt", L"walk\\trail ", L"walk\\plan.",
            L"victim.txt", L"sibling\\", L"sibling\\keep.txt", L"walk.txt" },
          { L"walk" }, false, { L"walk\\" }, { L"victim.txt", L"sibling\\keep.txt", L"walk.txt" } },
        { "a trailing-dot link to its namesake", {}, { L"S:\\links\\dotted\\plan." }, true, {},
          { L"S:\\links\\dotted\\plan" }, "Links NOT deleted: 1" },
        { "a name whose short name another item owns", { taken, full }, { full }, true, {}, { taken, full },
          "Name cannot be used exactly, NOT deleted:" },
        { "an item on no drive (Wine hands over such a file so)", {}, { L"\\\\?\\unix\\zorvex-none\\x.txt" },
          true, {}, {}, "Name cannot be used exactly, NOT deleted:\r\n\\\\?\\unix\\zorvex-none\\x.txt\r\n"
          "It lies on none of this system's drives." },
    };
    ConfirmDelete = 0;
    for (const Row &row : rows) {
        SCOPED_TRACE(row.what);
        RemoveSandboxTree(dir);
        dir = SandboxFolder(testing::UnitTest::GetInstance()->current_test_info()->name());
        const std::wstring wdir(dir.begin(), dir.end());
        for (auto &name : row.make)
            MakeExact(wdir + name);
        std::vector<std::wstring> wide;
        std::vector<std::string> narrow;
        auto in_dir = [&](const std::wstring &name) { return name[1] == L':' || name[0] == L'\\' ? name : wdir + name; };
        for (auto &name : row.drop) {
            wide.push_back(in_dir(name));
            narrow.push_back(std::string(wide.back().begin(), wide.back().end()));
        }
        std::vector<SeenBox> boxes;
        {
            BoxAnswerer answer;
            SendMessageA(MainWindow, WM_DROPFILES, (WPARAM)(row.wide ? MakeDrop(wide) : MakeDrop(narrow)), 0);
            boxes = answer.Boxes();
        }
        EXPECT_EQ(boxes.size(), row.told.empty() ? 0u : 1u) << (boxes.empty() ? "" : boxes[0].text);
        if (!row.told.empty() && !boxes.empty())
            EXPECT_EQ(boxes[0].text.find(row.told), 0u) << boxes[0].text;
        for (auto &name : row.gone)
            EXPECT_FALSE(ExistsExact(in_dir(name))) << std::string(name.begin(), name.end());
        for (auto &name : row.kept)
            EXPECT_TRUE(ExistsExact(in_dir(name))) << std::string(name.begin(), name.end());
    }
}

// Only the chosen item, whatever stands beside it or behind it. The
// sandbox's set-up lays these out from Linux under S:\links (paths in
// UTF-8 below): links whose target's path ends their own, a file of two
// names, links to a case twin and to a look-alike, names of devices, a pipe
// and devices. Each row: what is dropped, what must stay with what it
// holds ("" for any), and the boxes that must tell it (a piece of each).
TEST_F(Drops, OnlyTheChosenItemIsDestroyedAndWhatStaysIsToldWhy)
{
    struct Row {
        const char *what;
        std::vector<std::string> drop;
        std::vector<std::pair<std::string, std::string>> kept;
        std::vector<std::string> boxes;
    };
    const std::string fullwidth = "\xef\xbd\x90\xef\xbd\x8c\xef\xbd\x81\xef\xbd\x8e.txt";
    const std::string keep_lines = [] { std::string s; for (int i = 1; i <= 500; i++) s += std::to_string(i) + "\n"; return s; }();
    const std::vector<Row> rows = {
        { "a link whose target's path ends its own", { "mirror\\links\\Work\\plan.doc" },
          { { "Work\\plan.doc", "the real plan\n" }, { "mirror\\links\\Work\\plan.doc", "" } },
          { "Links NOT deleted: 1" } },
        { "the same in a dropped folder", { "mirror" }, { { "Work\\plan.doc", "the real plan\n" } },
          { "Folders NOT removed: 3", "Links NOT deleted: 1" } },
        { "a folder link whose target's path ends its own", { "tree" }, { { "E", "" }, { "tree\\links\\E", "" } },
          { "Folders NOT removed: 2", "Links NOT deleted: 1" } },
        { "a file of two names", { "h1\\chosen\\file.txt" },
          { { "h1\\unchosen\\keep.txt", keep_lines }, { "h1\\chosen\\file.txt", keep_lines } },
          { "Files whose contents other names share, NOT deleted: 1\r\n" } },
        { "the same in a dropped folder, at a renaming level", { "h1\\chosen" },
          { { "h1\\unchosen\\keep.txt", keep_lines }, { "h1\\chosen\\file.txt", keep_lines } },
          { "Folders NOT removed: 1", "Files whose contents other names share, NOT deleted: 1" } },
        { "links to a case twin, to a name in capitals and to a look-alike",
          { "case\\docs\\x.txt", "case\\notes.txt", "case\\plan.txt" },
          { { "case\\Docs\\x.txt", "twin\n" }, { "case\\NOTES.TXT", "upper\n" }, { "case\\" + fullwidth, "fullwidth\n" } },
          { "Links NOT deleted: 3" } },
        { "names of devices", { "dev\\nul", "dev\\NUL.txt" }, { { "dev\\nul", "a file\n" }, { "dev\\NUL.txt", "a file\n" } },
          { "S:\\links\\dev\\nul\r\nThe system's path rules would change it",
            "S:\\links\\dev\\NUL.txt\r\nThe system's path rules would change it" } },
        { "the same in a dropped folder", { "dev" }, { { "dev\\aux", "a file\n" }, { "dev\\com1", "a file\n" } },
          { "Folders NOT removed: 1", "Names that could not be reached, NOT deleted: 4" } },
        // Case twins that need a short name share it, and it leads to the one
        // the listing has first. "?": the dropped one goes, or stays and is told.
        { "case twins with a trailing dot", { "twins1\\report.txt." }, { { "twins1\\Report.txt.", "Report\n" } },
          { "?More than one item here goes by it." } },
        { "the other twin of a trailing dot", { "twins2\\Report.txt." }, { { "twins2\\report.txt.", "report\n" } },
          { "?More than one item here goes by it." } },
        { "the same as a system without wide opens", { "twins5\\report.txt." },
          { { "twins5\\Report.txt.", "Report\n" } }, { "?More than one item here goes by it." } },
        { "a trailing-dot link in a folder the code page cannot spell", { "\xe6\x97\xa5\\plan." },
          { { "\xe6\x97\xa5\\plan", "namesake\n" } }, { "Links NOT deleted: 1" } },
        { "a trailing-dot link to a name of more dots", { "dots\\plan." }, { { "dots\\plan..", "more dots\n" } },
          { "Links NOT deleted: 1" } },
        { "a link in a folder of a trailing dot to its twin of two", { "mid\\dir." },
          { { "mid\\dir..\\x", "unchosen\n" } }, { "Folders NOT removed: 1", "Links NOT deleted: 1" } },
        { "a link on a drive that maps a folder of another", { "T:\\plan-link" },
          { { "Work\\plan.doc", "the real plan\n" } }, { "Links NOT deleted: 1" } },
        { "case twins the code page cannot spell", { "twins3\\plan\xe6\x97\xa5.txt" },
          { { "twins3\\Plan\xe6\x97\xa5.txt", "Plan\n" } }, { "?More than one item here goes by it." } },
        { "the other twin the code page cannot spell", { "twins4\\Plan\xe6\x97\xa5.txt" }, { { "twins4\\plan\xe6\x97\xa5.txt", "plan\n" } },
          { "?More than one item here goes by it." } },
        { "a pipe and devices", { "special\\pipe", "special\\null", "special\\block" },
          { { "special\\pipe", "" }, { "special\\null", "" }, { "special\\block", "" } },
          { "Devices and pipes, NOT deleted: 3\r\nThey are no plain files: nothing was written to them." } },
    };
    // Wine reads no attributes of a pipe or a device, and a name that is
    // only a case twin's finds the twin: the exact name in the listing.
    auto listed = [](const std::wstring &path) {
        size_t cut = path.rfind(L'\\');
        WIN32_FIND_DATAW found;
        HANDLE search = FindFirstFileW((path.substr(0, cut) + L"\\*").c_str(), &found);
        bool seen = false;
        for (BOOL more = search != INVALID_HANDLE_VALUE; more && !seen; more = FindNextFileW(search, &found))
            seen = path.substr(cut + 1) == found.cFileName;
        if (search != INVALID_HANDLE_VALUE)
            FindClose(search);
        return seen;
    };
    auto wide = [](const std::string &utf8) {
        WCHAR out[MAX_PATH * 2];
        MultiByteToWideChar(CP_UTF8, 0, (utf8[1] == ':' ? utf8 : "S:\\links\\" + utf8).c_str(), -1, out, MAX_PATH * 2);
        return std::wstring(out);
    };
    ConfirmDelete = 0;
    for (const Row &row : rows) {
        SCOPED_TRACE(row.what);
        // Where the row says so: at the renaming level, or as a system without wide opens.
        SecurityLevel = strstr(row.what, "renaming") ? 4 : 2;
        if (strstr(row.what, "without wide opens"))
            NewerCalls.CreateFileW = NULL;
        else
            LookUpNewerCalls();
        if (row.what[0] == 'a' && row.what[2] == 'p' && !listed(L"\\\\?\\" + wide("special\\block"))) {
            printf("no pipe or device nodes here (no mknod): row skipped\n");
            continue;
        }
        std::vector<std::wstring> dropped;
        for (auto &name : row.drop)
            dropped.push_back(wide(name));
        std::vector<SeenBox> boxes;
        {
            BoxAnswerer answer;
            SendMessageA(MainWindow, WM_DROPFILES, (WPARAM)MakeDrop(dropped), 0);
            boxes = answer.Boxes();
        }
        std::vector<std::string> told = row.boxes;
        if (told[0][0] == '?') {
            told[0].erase(0, 1);
            if (boxes.empty())
                told.clear();
            EXPECT_EQ(listed(L"\\\\?\\" + dropped[0]), !told.empty());
        }
        EXPECT_EQ(boxes.size(), told.size());
        for (size_t i = 0; i < boxes.size() && i < told.size(); i++)
            EXPECT_NE(boxes[i].text.find(told[i]), std::string::npos) << boxes[i].text;
        for (auto &kept : row.kept) {
            std::wstring path = L"\\\\?\\" + wide(kept.first);
            EXPECT_TRUE(listed(path)) << kept.first;
            if (kept.second.empty())
                continue;
            HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
            char bytes[4096];
            DWORD got = 0;
            ReadFile(file, bytes, sizeof bytes, &got, NULL);
            CloseHandle(file);
            EXPECT_EQ(std::string(bytes, got), kept.second) << kept.first;
        }
    }
}

// Long work stays alive: slowed through the file-call table, a shred takes
// seconds. Meanwhile, from a second thread, the main window and the popup
// must answer within a second throughout; the popup names the file and its
// bar moves, or for a folder counts the items done. Once the popup shows
// Stop, what the row names arrives: a drop, a command, a close, or Stop
// itself (clicked, or Esc). Then: what is gone, what stays, the boxes.
namespace {
DWORD SlowMs;
BOOL SlowWrite(HANDLE file, const void *bytes, DWORD count, DWORD *written)
{
    Sleep(SlowMs);
    return RealFileCalls.Write(file, bytes, count, written);
}
BOOL SlowRemove(LPCSTR path)
{
    Sleep(SlowMs);
    return RealFileCalls.Remove(path);
}
// The progress popup: the dialog of this process without a caption.
HWND FindPopup()
{
    return FindWindowWhere(NULL, [](HWND w) {
        DWORD process = 0;
        GetWindowThreadProcessId(w, &process);
        return process == GetCurrentProcessId() && IsOfClass(w, "#32770") && IsWindowVisible(w) &&
               (GetWindowLongA(w, GWL_STYLE) & WS_CAPTION) != WS_CAPTION;
    });
}
} // namespace

TEST_F(Drops, LongWorkStaysAliveAndStopEndsIt)
{
    enum { NOTHING, CLICK_STOP, ESC, STOP_IN_BOX, STOP_QUEUED };
    struct Row {
        const char *what;
        int level;
        std::vector<std::string> start;
        int stop;
        UINT message;
        WPARAM wparam;
        std::vector<std::string> late;   // dropped meanwhile, with a WM_DROPFILES row
        std::vector<std::string> boxes, gone, kept;
        bool quits;
        const char *named;   // how the popup names what it works on
        const char *shows;   // what it shows under the name: "bar" or "items done"
    };
    const std::vector<Row> rows = {
        { "a drop waits, Delete is refused, the close waits", 2, { "big.bin" }, NOTHING, WM_DROPFILES, 0,
          { "small.txt" }, {}, { "big.bin", "small.txt" }, {}, false, "Deleting big.bin", "bar" },
        { "Delete is refused", 2, { "big.bin" }, NOTHING, WM_COMMAND, CMD_DELETE, {}, {}, { "big.bin" }, {}, false,
          "Deleting big.bin", "bar" },
        { "Exit waits for the end", 2, { "big.bin" }, NOTHING, WM_COMMAND, CMD_EXIT, {}, {}, { "big.bin" }, {}, true,
          "Deleting big.bin", "bar" },
        { "Stop during a file leaves it, the item after it and the drop made meanwhile", 2,
          { "big.bin", "other.txt" }, CLICK_STOP, WM_DROPFILES, 0, { "small.txt" },
          { "Stopped: files left partly overwritten, NOT deleted: 1\r\nThe first: " + dir + "big.bin",
            "Stopped before these were reached, NOT deleted: 1\r\nThey were left as they were.\r\nThe first: " + dir +
              "other.txt",
            "Stopped: the drops made while the delete ran were NOT carried out: 1" },
          {}, { "big.bin", "other.txt", "small.txt" }, false, "Deleting big.bin", "bar" },
        { "the session's end waits for the request", 2, { "big.bin" }, NOTHING, WM_QUERYENDSESSION, 0, {}, {},
          { "big.bin" }, {}, false, "Deleting big.bin", "bar" },
        { "a quit that reaches the work's messages stays for the program's loop", 2, { "big.bin" }, NOTHING, WM_QUIT,
          0, {}, {}, { "big.bin" }, {}, true, "Deleting big.bin", "bar" },
        { "Stop in a drop made meanwhile ends the drops after it", 2, { "short.bin" }, STOP_QUEUED, WM_DROPFILES, 0,
          { "big.bin", "small.txt" },
          { "Stopped: files left partly overwritten, NOT deleted: 1\r\nThe first: " + dir + "big.bin",
            "Stopped: the drops made while the delete ran were NOT carried out: 1" },
          { "short.bin" }, { "big.bin", "small.txt" }, false, "Deleting short.bin", "bar" },
        { "Stop while the next item's confirmation is up: it is not touched after OK", 2,
          { "big.bin", "other.txt" }, STOP_IN_BOX, 0, 0, {},
          { "", "", "Stopped before these were reached, NOT deleted: 1\r\nThey were left as they were.\r\n"
                    "The first: " + dir + "other.txt" },
          { "big.bin" }, { "other.txt" }, false, "Deleting big.bin", "bar" },
        { "Esc during a walk leaves the folder with what it was not reached", 1, { "tree" }, ESC, 0, 0, {},
          { "Stopped before these were reached, NOT deleted: 1\r\nThey were left as they were.\r\nThe first: " + dir +
            "tree" },
          {}, { "tree", "tree\\f99.txt" }, false, "Deleting f", "items done" },
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.what);
        ConfirmDelete = row.stop == STOP_IN_BOX;
        RemoveSandboxTree(dir);
        dir = SandboxFolder(testing::UnitTest::GetInstance()->current_test_info()->name());
        // Long enough that what arrives finds it running: what Stop ends is
        // ten times longer.
        const std::string original((row.stop == CLICK_STOP || row.stop == STOP_QUEUED ? 2500 : 250) * 4096, 'o');
        File("big.bin", original);
        File("short.bin", std::string(250 * 4096, 's'));
        File("other.txt");
        File("small.txt");
        Folder("tree");
        for (int i = 0; i < 100; i++)
            File("tree\\f" + std::string(i < 10 ? "0" : "") + std::to_string(i) + ".txt");
        SlowMs = row.level == 1 ? 100 : 10;
        SwapFileCalls().Write = SlowWrite;
        SwapFileCalls().Remove = SlowRemove;
        SecurityLevel = row.level;
        std::vector<std::string> start, late;
        for (auto &name : row.start)
            start.push_back(dir + name);
        for (auto &name : row.late)
            late.push_back(dir + name);
        HWND main = MainWindow;
        std::atomic<bool> done{ false };
        DWORD slowest = 0;
        DWORD_PTR answered = 1;
        std::vector<int> bar;
        std::string name, under;
        std::vector<SeenBox> boxes;
        {
            // Stop from the popup while the second confirmation is up.
            BoxAnswerer answer({ IDOK }, [&](size_t index) {
                HWND popup = FindPopup();
                DWORD_PTR result;
                if (row.stop == STOP_IN_BOX && index == 1 && popup)
                    SendMessageTimeoutA(GetDlgItem(popup, IDCANCEL), BM_CLICK, 0, 0, SMTO_NORMAL, 3000, &result);
            });
            std::thread watch([&] {
                bool arrived = false, stopped = false;
                while (!done) {
                    HWND popup = FindPopup();
                    for (HWND window : { main, popup }) {
                        DWORD_PTR result, before = GetTickCount();
                        if (window && SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, 2000, &result))
                            slowest = std::max(slowest, (DWORD)(GetTickCount() - before));
                    }
                    HWND stop = popup ? GetDlgItem(popup, IDCANCEL) : NULL;
                    if (popup && IsWindowVisible(stop)) {
                        std::string now = WideText(GetDlgItem(popup, IDC_PROGRESS_NAME));
                        if (name.empty())
                            name = now;
                        DWORD_PTR pos = 0;   // the first item's bar
                        if (now == name && SendMessageTimeoutA(GetDlgItem(popup, IDC_PROGRESS_BAR), PBM_GETPOS, 0, 0,
                                                               SMTO_NORMAL, 1000, &pos) &&
                            IsWindowVisible(GetDlgItem(popup, IDC_PROGRESS_BAR)))
                            bar.push_back((int)pos);
                        std::string count = WideText(GetDlgItem(popup, IDC_PROGRESS_COUNT));
                        if (IsWindowVisible(GetDlgItem(popup, IDC_PROGRESS_COUNT)) && !count.empty())
                            under = count;
                        if (!arrived && (bar.size() >= 2 || !under.empty())) {
                            arrived = true;
                            DWORD_PTR result;
                            if (row.stop == CLICK_STOP)
                                SendMessageTimeoutA(stop, BM_CLICK, 0, 0, SMTO_NORMAL, 3000, &result);
                            if (row.stop == ESC)
                                PostMessageA(stop, WM_KEYDOWN, VK_ESCAPE, 0);
                            if (row.message == WM_QUIT)
                                PostThreadMessageA(GetWindowThreadProcessId(main, NULL), WM_QUIT, 0, 0);
                            else if (row.stop == STOP_QUEUED)
                                for (auto &one : late)
                                    SendMessageTimeoutA(main, WM_DROPFILES, (WPARAM)MakeDrop(std::vector<std::string>{ one }),
                                                        0, SMTO_NORMAL, 3000, &result);
                            else if (row.message)
                                SendMessageTimeoutA(main, row.message,
                                                    row.message == WM_DROPFILES ? (WPARAM)MakeDrop(late) : row.wparam,
                                                    0, SMTO_NORMAL, 3000, &answered);
                        }
                        // The queued drop's own request: Stop once it shows.
                        DWORD_PTR result;
                        if (row.stop == STOP_QUEUED && arrived && !stopped &&
                            now == "Deleting big.bin") {
                            stopped = true;
                            SendMessageTimeoutA(stop, BM_CLICK, 0, 0, SMTO_NORMAL, 3000, &result);
                        }
                    }
                    Sleep(100);
                }
            });
            Drop(start);
            done = true;
            watch.join();
            boxes = answer.Boxes();
        }
        RestoreSeams();
        EXPECT_LT(slowest, 1000u);
        if (row.message == WM_QUERYENDSESSION)
            EXPECT_EQ(answered, 0u);   // not while a request runs
        EXPECT_EQ(name.find(row.named), 0u) << name;
        if (std::string(row.shows) == "bar") {
            ASSERT_GE(bar.size(), 2u);
            EXPECT_LT(bar.front(), bar.back());
        } else {
            EXPECT_NE(under.find(" items done"), std::string::npos) << under;
        }
        EXPECT_EQ(boxes.size(), row.boxes.size());
        for (size_t i = 0; i < boxes.size() && i < row.boxes.size(); i++)
            EXPECT_EQ(boxes[i].text, row.boxes[i]);
        for (auto &gone : row.gone)
            EXPECT_FALSE(Exists(dir + gone)) << gone;
        for (auto &kept : row.kept)
            EXPECT_TRUE(Exists(dir + kept)) << kept;
        if (row.stop == CLICK_STOP)
            EXPECT_NE(ReadBytes(dir + "big.bin").substr(0, 4096), original.substr(0, 4096));
        EXPECT_TRUE(IsWindowEnabled(MainWindow));
        MSG quit;
        EXPECT_EQ(PeekMessageA(&quit, NULL, WM_QUIT, WM_QUIT, PM_REMOVE) != 0, row.quits);
    }
}

// An item is named as the user knows it, wide, in the confirmation and in
// the end-of-request account: never by its short name alone.
TEST_F(Drops, AWideNameIsShownAsItIsNeverByItsShortName)
{
    const std::wstring wdir(dir.begin(), dir.end()), name = L"\x4e2d\x6587.txt";
    MakeExact(wdir + name);
    HANDLE held = CreateFileW((wdir + name).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                              OPEN_EXISTING, 0, NULL);
    std::vector<SeenBox> boxes;
    {
        BoxAnswerer answer;
        SendMessageA(MainWindow, WM_DROPFILES, (WPARAM)MakeDrop(std::vector<std::wstring>{ wdir + name }), 0);
        boxes = answer.Boxes();
    }
    CloseHandle(held);
    const std::string shown = dir + "\xe4\xb8\xad\xe6\x96\x87.txt";
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].path, shown);
    EXPECT_EQ(boxes[1].text, "Files overwritten but NOT deleted: 1\r\nAnother program may hold them open.\r\n"
                             "The first: " + shown);
}
