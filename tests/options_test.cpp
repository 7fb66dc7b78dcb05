// The options store against Wine's real registry.
#include "support.h"
#include "settings/options.h"
#include "res/resource.h"
#include <gtest/gtest.h>

namespace {

const char *const FiveKeys[] = { "IconColor", "SecurityLevel", "ConfirmDelete", "Minimized", "UseShiftKey" };

class Options : public testing::Test {
protected:
    HWND window = NULL;
    void SetUp() override
    {
        ClearOptionKeys();
        SecurityLevel = ConfirmDelete = Minimized = UseShiftKey = IconColor = 0;
        UseDirectory = AllowDirectoryDelete = ExtendBeforeOverwrite = 0;
        window = CreateWindowExA(0, "STATIC", "options", WS_OVERLAPPEDWINDOW, 50, 50, 200, 100, NULL,
                                 LoadMenuA(GetModuleHandleA(NULL), MAKEINTRESOURCEA(IDM_MAIN)),
                                 GetModuleHandleA(NULL), NULL);
        ASSERT_NE(window, (HWND)NULL);
    }
    void TearDown() override
    {
        DestroyWindow(window);
        ClearOptionKeys();
    }
    POINT Position()
    {
        RECT r;
        GetWindowRect(window, &r);
        return POINT{ r.left, r.top };
    }
    // The window starts where the stored texts say, as read.
    void ExpectStartAt(const char *x, const char *y, int want_x, int want_y)
    {
        StoreOption("XLoc", x);
        StoreOption("YLoc", y);
        LoadWindowPos(window);
        EXPECT_EQ(Position().x, want_x) << x;
        EXPECT_EQ(Position().y, want_y) << y;
    }
    bool Checked(UINT id) { return GetMenuState(GetMenu(window), id, MF_BYCOMMAND) & MF_CHECKED; }
};

} // namespace

TEST_F(Options, FirstRunCreatesEveryKeyEmptyAndGivesTheDefaults)
{
    LoadOptions(window);
    LoadWindowPos(window);
    EXPECT_EQ(LoadUseDirectory(), 0);
    EXPECT_EQ(LoadAllowDirectoryDelete(), 0);
    EXPECT_EQ(IconColor, 0);
    EXPECT_EQ(SecurityLevel, 1);
    EXPECT_EQ(ConfirmDelete, 1);
    EXPECT_EQ(Minimized, 0);
    EXPECT_EQ(UseShiftKey, 1);
    EXPECT_EQ(ExtendBeforeOverwrite, 1);
    EXPECT_EQ(Position().x, 0);
    EXPECT_EQ(Position().y, 0);
    for (const char *key : { "IconColor", "SecurityLevel", "ConfirmDelete", "Minimized", "UseShiftKey", "XLoc",
                             "YLoc", "UseDirectory", "AllowDirectoryDelete" })
        EXPECT_TRUE(OptionKeyExists(key)) << key;
    EXPECT_FALSE(OptionKeyExists("DoubleSpaceDrives"));
    EXPECT_FALSE(OptionKeyExists("By512ByteSize"));
    EXPECT_FALSE(OptionKeyExists("LastDirectory"));
    EXPECT_TRUE(Checked(CMD_CONFIRM_DELETE));
    EXPECT_FALSE(Checked(CMD_START_AS_ICON));
    EXPECT_TRUE(Checked(CMD_USE_SHIFT_KEY));
}

TEST_F(Options, StoredTextsFollowTheirReadRules)
{
    struct Case { const char *key, *text; int *option; int want; };
    const Case cases[] = {
        { "Minimized", "Yes", &Minimized, 1 }, { "Minimized", "yes", &Minimized, 0 },
        { "Minimized", "", &Minimized, 0 },
        { "ConfirmDelete", "No", &ConfirmDelete, 0 }, { "ConfirmDelete", "no", &ConfirmDelete, 1 },
        { "ConfirmDelete", "", &ConfirmDelete, 1 },
        { "UseShiftKey", "No", &UseShiftKey, 0 }, { "UseShiftKey", "NO", &UseShiftKey, 1 },
        { "SecurityLevel", "topsecret", &SecurityLevel, 4 }, { "SecurityLevel", "Top Secret", &SecurityLevel, 1 },
        { "SecurityLevel", "SECRET", &SecurityLevel, 3 }, { "SecurityLevel", "Confidential", &SecurityLevel, 2 },
        { "SecurityLevel", "Restricted", &SecurityLevel, 1 },
        { "IconColor", "Blue", &IconColor, 0 }, { "IconColor", "rEd", &IconColor, 1 },
        { "IconColor", "gREEN", &IconColor, 2 }, { "IconColor", "YELLOW", &IconColor, 3 },
        { "IconColor", "Gray", &IconColor, 0 },
    };
    for (const Case &c : cases) {
        StoreOption(c.key, c.text);
        *c.option = -9;
        LoadOptions(window);
        EXPECT_EQ(*c.option, c.want) << c.key << " = '" << c.text << "'";
    }
    StoreOption("UseDirectory", "true");
    EXPECT_EQ(LoadUseDirectory(), 1);
    StoreOption("UseDirectory", "Yes");
    EXPECT_EQ(LoadUseDirectory(), 0);
    StoreOption("AllowDirectoryDelete", "TRUE");
    EXPECT_EQ(LoadAllowDirectoryDelete(), 1);
}

TEST_F(Options, PositionTextsAreReadAsLeadingDecimalNumbers)
{
    const struct { const char *x, *y; int want_x, want_y; } cases[] = {
        { "-120", "12abc", -120, 12 }, { "  +7", "abc", 7, 0 }, { "300", "-0", 300, 0 },
    };
    for (auto &c : cases)
        ExpectStartAt(c.x, c.y, c.want_x, c.want_y);
    // Whole numbers, however long, held at the ends of the int's range.
    EXPECT_EQ(NumberFromText("1000000000"), 1000000000);
    EXPECT_EQ(NumberFromText("2147483647"), 2147483647);
    EXPECT_EQ(NumberFromText("2147483648"), 2147483647);
    EXPECT_EQ(NumberFromText("-2147483648"), (int)0x80000000);
    EXPECT_EQ(NumberFromText("99999999999999999999"), 2147483647);
    EXPECT_EQ(NumberFromText("-99999999999999999999"), (int)0x80000000);
    EXPECT_EQ(NumberFromText("\t 0042x"), 42);
    EXPECT_EQ(NumberFromText("--5"), 0);
    EXPECT_EQ(NumberFromText(""), 0);
    SaveWindowPos(-5, 321);
    EXPECT_EQ(StoredOption("XLoc"), "-5");
    EXPECT_EQ(StoredOption("YLoc"), "321");
}

TEST_F(Options, SaveOptionsWritesAllFiveTextsWhateverChanged)
{
    for (const char *key : FiveKeys)
        StoreOption(key, "zz");
    StoreOption("UseDirectory", "zz");
    SecurityLevel = 0;
    IconColor = 7;
    ConfirmDelete = 5;
    Minimized = 0;
    UseShiftKey = 1;
    SaveOptions();
    EXPECT_EQ(StoredOption("SecurityLevel"), "Restricted");
    EXPECT_EQ(StoredOption("IconColor"), "Gray");
    EXPECT_EQ(StoredOption("ConfirmDelete"), "Yes");
    EXPECT_EQ(StoredOption("Minimized"), "No");
    EXPECT_EQ(StoredOption("UseShiftKey"), "Yes");
    EXPECT_EQ(StoredOption("UseDirectory"), "zz");
    const struct { int level; const char *text; } levels[] = { { 2, "Confidential" }, { 3, "Secret" }, { 4, "TopSecret" } };
    for (auto &l : levels) {
        SecurityLevel = l.level;
        SaveOptions();
        EXPECT_EQ(StoredOption("SecurityLevel"), l.text);
        LoadOptions(window);
        EXPECT_EQ(SecurityLevel, l.level);
    }
    for (int colour = 0; colour <= 3; colour++) {
        IconColor = colour;
        SaveOptions();
        IconColor = -1;
        LoadOptions(window);
        EXPECT_EQ(IconColor, colour);
    }
    SaveUseDirectory(1);
    EXPECT_EQ(StoredOption("UseDirectory"), "True");
    SaveAllowDirectoryDelete(0);
    EXPECT_EQ(StoredOption("AllowDirectoryDelete"), "False");
}

TEST_F(Options, TooLongStoredTextsReadAsTheEmptyText)
{
    std::string long_text(85, 'N');
    StoreOption("ConfirmDelete", "No");
    LoadOptions(window);
    ASSERT_EQ(ConfirmDelete, 0);
    // The value buffer held "No" a moment ago; a failed read must not reuse it.
    StoreOption("ConfirmDelete", long_text);
    StoreOption("UseShiftKey", long_text);
    StoreOption("Minimized", long_text);
    StoreOption("XLoc", long_text);
    LoadOptions(window);
    LoadWindowPos(window);
    EXPECT_EQ(ConfirmDelete, 1);
    EXPECT_EQ(UseShiftKey, 1);
    EXPECT_EQ(Minimized, 0);
    EXPECT_EQ(Position().x, 0);
}

TEST_F(Options, LastDirectoryRoundTripsUpTo79Characters)
{
    std::string d79 = "C:\\" + std::string(75, 'd') + "\\";
    std::string d80 = "C:\\" + std::string(76, 'e') + "\\";
    ASSERT_EQ(d79.size(), 79u);
    char buffer[516] = "";
    SaveLastDirectory(d79.c_str());
    LoadLastDirectory(buffer);
    EXPECT_EQ(std::string(buffer), d79);
    SaveLastDirectory(d80.c_str());
    EXPECT_EQ(StoredOption("LastDirectory"), d80);   // stored whole
    buffer[0] = 0;
    LoadLastDirectory(buffer);
    EXPECT_STREQ(buffer, "");   // but not read back
}

TEST_F(Options, KeysThatCannotBeCreatedGiveTheFallbacks)
{
    // Below a volatile key no ordinary key can be created.
    HKEY volatile_key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Halvorn\\Zorvex\\Options", 0, NULL,
                              REG_OPTION_VOLATILE, KEY_ALL_ACCESS, NULL, &volatile_key, NULL), ERROR_SUCCESS);
    RegCloseKey(volatile_key);
    SecurityLevel = ConfirmDelete = Minimized = UseShiftKey = IconColor = 9;
    LoadOptions(window);
    LoadWindowPos(window);
    EXPECT_EQ(IconColor, 0);
    EXPECT_EQ(SecurityLevel, 1);
    EXPECT_EQ(ConfirmDelete, 1);
    EXPECT_EQ(Minimized, 0);
    EXPECT_EQ(UseShiftKey, 0);   // unlike the empty text, which gives 1
    EXPECT_EQ(LoadUseDirectory(), 0);
    EXPECT_EQ(Position().x, 50);
    EXPECT_EQ(Position().y, 50);
    char buffer[81] = "kept";
    LoadLastDirectory(buffer);
    EXPECT_STREQ(buffer, "kept");
    SaveOptions();   // skipped key by key, without a message
    EXPECT_FALSE(OptionKeyExists("SecurityLevel"));
}

TEST_F(Options, ALibraryThatDoesNotLoadLeavesValuesAndSaysSo)
{
    RegLibName = "ostrel32-missing.dll";
    SecurityLevel = 3;
    UseShiftKey = 0;
    SetWindowPos(window, NULL, 10, 10, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    std::vector<SeenBox> boxes = BoxesOf([&] {
        LoadOptions(window);
        LoadWindowPos(window);
        EXPECT_EQ(LoadUseDirectory(), 0);
        SaveOptions();
    });
    ASSERT_EQ(boxes.size(), 4u);
    for (const SeenBox &box : boxes)
        EXPECT_TRUE(BoxIs(box, "Zorvex", "Unable to load ostrel32.dll", ""));   // OK alone, no icon
    EXPECT_EQ(SecurityLevel, 3);
    EXPECT_EQ(UseShiftKey, 0);
    EXPECT_EQ(ExtendBeforeOverwrite, 0);
    EXPECT_EQ(Position().x, 50);
    EXPECT_EQ(Position().y, 50);
    EXPECT_FALSE(OptionKeyExists("SecurityLevel"));
}

TEST_F(Options, AStoredPositionFarOffTheScreenIsBroughtBackToIt)
{
    // The test window is 200 by 100; at least 32 pixels of it stay visible.
    int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    const struct { const char *x, *y; int want_x, want_y; } cases[] = {
        { "1000000000", "1000000000", width - 32, height - 32 },
        { "-32000", "-32000", -200 + 32, -100 + 32 },
        { "99999999999999", "garbage", width - 32, 0 },
        { "-168", "-68", -168, -68 },
    };
    for (auto &c : cases)
        ExpectStartAt(c.x, c.y, c.want_x, c.want_y);
}
