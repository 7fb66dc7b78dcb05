// Drops on the real main window: confirmation, progress popup, the folder
// walk. Drops are DROPFILES blocks in GlobalAlloc memory sent as WM_DROPFILES.
#include "support.h"
#include "app/window.h"
#include "settings/options.h"
#include "shred/links.h"
#include "shred/paths.h"
#include "shred/progress.h"
#include "shred/requests.h"
#include "shred/shredder.h"
#include "shred/walk.h"
#include "res/resource.h"
#include <shlobj.h>
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

HGLOBAL MakeDrop(const std::vector<std::string> &paths)
{
    size_t size = sizeof(DROPFILES) + 1;
    for (auto &p : paths)
        size += p.size() + 1;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
    DROPFILES *drop = (DROPFILES *)GlobalLock(block);
    drop->pFiles = sizeof(DROPFILES);
    char *names = (char *)(drop + 1);
    for (auto &p : paths) {
        memcpy(names, p.c_str(), p.size() + 1);
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
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_TRUE(BoxIs(boxes[0], "File NOT Deleted", top + "\\sub\\locked.txt", "question"));
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
    // dropped-file-link -> outside\\second.txt. Wine follows every open of
    // such a link, so removing one would remove its target: they stay.
    ConfirmDelete = 0;
    const std::string links = "S:\\links\\", top = links + "linked", outside = links + "outside";
    ASSERT_TRUE(GetFileAttributesA((top + "\\to-outside").c_str()) & FILE_ATTRIBUTE_REPARSE_POINT);
    ASSERT_TRUE(ResolvesElsewhere((top + "\\to-precious").c_str()));
    ASSERT_TRUE(ResolvesElsewhere((links + "dropped-file-link").c_str()));
    EXPECT_FALSE(ResolvesElsewhere((top + "\\own.txt").c_str()));
    EXPECT_FALSE(ResolvesElsewhere(top.c_str()));
    EXPECT_FALSE(ResolvesElsewhere((outside + "\\precious.txt").c_str()));

    std::vector<SeenBox> boxes = DropBoxes({ links + "dropped-link", links + "dropped-file-link", top });
    // One box for the whole drop, however many links were left.
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_TRUE(BoxIs(boxes[0], "Zorvex", "Links NOT deleted: 5\r\nA link is never followed: what it points to is "
                                          "untouched.\r\nThe first: S:\\links\\dropped-link", "information"));
    EXPECT_FALSE(Exists(top + "\\own.txt"));
    EXPECT_EQ(ReadBytes(outside + "\\precious.txt"), "precious contents\n");
    EXPECT_EQ(ReadBytes(outside + "\\second.txt"), "also precious\n");
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
    LookUpLinkCalls();
    ASSERT_NE(QueryFileName, (QueryFileInfo)NULL);
    ASSERT_NE(LengthenPath, (LongPathName)NULL);
    // No GetLongPathNameA (Windows 95, NT 4): a short name cannot be told
    // from a link, so it is kept rather than followed.
    LengthenPath = NULL;
    EXPECT_TRUE(ResolvesElsewhere(shorter));
    EXPECT_FALSE(ResolvesElsewhere((top + "\\a rather long file name.text").c_str()));
    EXPECT_TRUE(ResolvesElsewhere("S:\\links\\dropped-file-link"));
    // No ntdll (Windows 95): no file system there hides links.
    QueryFileName = NULL;
    EXPECT_FALSE(ResolvesElsewhere("S:\\links\\dropped-file-link"));
    // With them, neither the short nor the long name is a link.
    LookUpLinkCalls();
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
    BoxesOf([&] { Drop({ top }); });
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
    ASSERT_EQ(boxes.size(), 1u);
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
