// ostrel32.dll against Wine's real registry.
#include "support.h"
#include "registry/ostrel32.h"
#include <gtest/gtest.h>

static const char Base[] = "Software\\Halvorn\\ZorvexTest";

class Registry : public testing::Test {
protected:
    void SetUp() override { SHDeleteKeyA(HKEY_CURRENT_USER, "Software\\Halvorn"); }
    void TearDown() override { SHDeleteKeyA(HKEY_CURRENT_USER, "Software\\Halvorn"); }
    static std::string Path(const char *tail) { return std::string(Base) + "\\" + tail; }
    static bool KeyExists(const std::string &path)
    {
        HKEY key;
        if (RegOpenKeyA(HKEY_CURRENT_USER, path.c_str(), &key) != ERROR_SUCCESS)
            return false;
        RegCloseKey(key);
        return true;
    }
};

TEST(RegistryLibrary, ExportsTheFourRoutinesByUndecoratedName)
{
    HMODULE lib = LoadLibraryA("ostrel32.dll");
    ASSERT_NE(lib, nullptr);
    for (const char *name : { "CheckForRegCreateEx", "DeleteRegKeyEx", "SetRegValueEx", "GetRegValueEx" })
        EXPECT_NE(GetProcAddress(lib, name), nullptr) << name;
    EXPECT_EQ(GetProcAddress(lib, "_GetRegValueEx@12"), nullptr);
    EXPECT_EQ(GetProcAddress(lib, "GetRegValueEx@12"), nullptr);
    // The load-time link and the load by name are the same module.
    EXPECT_EQ((void *)GetProcAddress(lib, "GetRegValueEx"), (void *)&GetRegValueEx);
    FreeLibrary(lib);
}

TEST_F(Registry, CheckCreatesOnlyWhenAskedAndSaysWhenItCannot)
{
    std::string path = Path("A\\B\\C");
    EXPECT_EQ(CheckForRegCreateEx(HKEY_CURRENT_USER, path.c_str(), 0), REG_MISSING);
    EXPECT_FALSE(KeyExists(path));
    EXPECT_FALSE(KeyExists(Base));
    EXPECT_EQ(CheckForRegCreateEx(HKEY_CURRENT_USER, path.c_str(), 1), REG_OK);
    EXPECT_TRUE(KeyExists(path));
    char out[REG_OUT_SIZE] = "untouched";
    EXPECT_EQ(GetRegValueEx(HKEY_CURRENT_USER, path.c_str(), out), REG_OK);
    EXPECT_STREQ(out, "");
    // An existing key is fine whatever the flag, and keeps its value.
    ASSERT_EQ(SetRegValueEx(HKEY_CURRENT_USER, path.c_str(), "kept"), REG_OK);
    EXPECT_EQ(CheckForRegCreateEx(HKEY_CURRENT_USER, path.c_str(), 0), REG_OK);
    EXPECT_EQ(CheckForRegCreateEx(HKEY_CURRENT_USER, path.c_str(), 1), REG_OK);
    EXPECT_EQ(GetRegValueEx(HKEY_CURRENT_USER, path.c_str(), out), REG_OK);
    EXPECT_STREQ(out, "kept");
    // A key cannot be created below a root handle that is not a key.
    EXPECT_EQ(CheckForRegCreateEx((HKEY)(ULONG_PTR)0x1234, "x", 1), REG_CREATE_FAILED);
}

TEST_F(Registry, TextsUpTo79CharactersReadBackAndLongerOnesFail)
{
    std::string path = Path("Text");
    ASSERT_EQ(CheckForRegCreateEx(HKEY_CURRENT_USER, path.c_str(), 1), REG_OK);
    std::string t79(79, 'a'), t80(80, 'b');
    char out[REG_OUT_SIZE];

    EXPECT_EQ(SetRegValueEx(HKEY_CURRENT_USER, path.c_str(), t79.c_str()), REG_OK);
    EXPECT_EQ(GetRegValueEx(HKEY_CURRENT_USER, path.c_str(), out), REG_OK);
    EXPECT_EQ(std::string(out), t79);

    EXPECT_EQ(SetRegValueEx(HKEY_CURRENT_USER, path.c_str(), t80.c_str()), REG_OK);
    memset(out, 0, sizeof out);
    strcpy(out, "previous");
    out[REG_OUT_SIZE - 1] = 'Q';
    EXPECT_EQ(GetRegValueEx(HKEY_CURRENT_USER, path.c_str(), out), REG_READ_FAILED);
    EXPECT_STREQ(out, "previous");
    EXPECT_EQ(out[REG_OUT_SIZE - 1], 'Q');   // nothing written past the text either
    // The stored value itself is whole: the limit is the read's, not the write's.
    EXPECT_EQ(StoredValue(path), t80);

    EXPECT_EQ(SetRegValueEx(HKEY_CURRENT_USER, path.c_str(), ""), REG_OK);
    EXPECT_EQ(GetRegValueEx(HKEY_CURRENT_USER, path.c_str(), out), REG_OK);
    EXPECT_STREQ(out, "");
}

TEST_F(Registry, WritesAndReadsNeverCreateAKey)
{
    std::string path = Path("Missing");
    char out[REG_OUT_SIZE] = "before";
    EXPECT_EQ(SetRegValueEx(HKEY_CURRENT_USER, path.c_str(), "x"), REG_OPEN_FAILED);
    EXPECT_EQ(GetRegValueEx(HKEY_CURRENT_USER, path.c_str(), out), REG_OPEN_FAILED);
    EXPECT_STREQ(out, "before");
    EXPECT_FALSE(KeyExists(path));
}

TEST_F(Registry, AWriteThatFailsSaysSo)
{
    std::string path = Path("ReadOnly");
    ASSERT_EQ(CheckForRegCreateEx(HKEY_CURRENT_USER, path.c_str(), 1), REG_OK);
    // An empty path opens the root itself: here a handle that may only read.
    HKEY reader;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &reader), ERROR_SUCCESS);
    EXPECT_EQ(SetRegValueEx(reader, "", "refused"), REG_WRITE_FAILED);
    EXPECT_EQ(StoredValue(path), "<no value>");
}

TEST_F(Registry, ValueIsTheKeysDefaultStringWithItsTerminator)
{
    std::string path = Path("Form");
    ASSERT_EQ(CheckForRegCreateEx(HKEY_CURRENT_USER, path.c_str(), 1), REG_OK);
    ASSERT_EQ(SetRegValueEx(HKEY_CURRENT_USER, path.c_str(), "Yes"), REG_OK);
    HKEY key;
    ASSERT_EQ(RegOpenKeyA(HKEY_CURRENT_USER, path.c_str(), &key), ERROR_SUCCESS);
    DWORD type = 0, size = 0, values = 0, subkeys = 0;
    EXPECT_EQ(RegQueryValueExA(key, "", NULL, &type, NULL, &size), ERROR_SUCCESS);
    EXPECT_EQ(type, (DWORD)REG_SZ);
    EXPECT_EQ(size, 4u);
    RegQueryInfoKeyA(key, NULL, NULL, NULL, &subkeys, NULL, NULL, &values, NULL, NULL, NULL, NULL);
    EXPECT_EQ(values, 1u);
    EXPECT_EQ(subkeys, 0u);
    RegCloseKey(key);
}

TEST_F(Registry, DeleteNeedsTheParentAndTheChild)
{
    std::string parent = Path("Parent");
    EXPECT_EQ(DeleteRegKeyEx(HKEY_CURRENT_USER, parent.c_str(), "Child"), REG_OPEN_FAILED);
    ASSERT_EQ(CheckForRegCreateEx(HKEY_CURRENT_USER, (parent + "\\Child").c_str(), 1), REG_OK);
    EXPECT_EQ(DeleteRegKeyEx(HKEY_CURRENT_USER, parent.c_str(), "Other"), REG_DELETE_FAILED);
    EXPECT_EQ(DeleteRegKeyEx(HKEY_CURRENT_USER, parent.c_str(), "Child"), REG_OK);
    EXPECT_FALSE(KeyExists(parent + "\\Child"));
    EXPECT_TRUE(KeyExists(parent));
}

// The process's own handles, as the system's handle table lists them
// (GetProcessHandleCount answers 0 under Wine).
static int OwnHandles()
{
    struct Entry { ULONG owner; BYTE type, flags; USHORT value; void *object; ULONG access; };
    struct Table { ULONG count; Entry entries[1]; };
    typedef LONG (WINAPI *QuerySystem)(int, void *, ULONG, ULONG *);
    QuerySystem query = (QuerySystem)(void *)GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation");
    std::vector<char> buffer(1 << 20);
    ULONG size = 0;
    const int SYSTEM_HANDLE_INFORMATION = 16;
    while (query(SYSTEM_HANDLE_INFORMATION, buffer.data(), (ULONG)buffer.size(), &size) == (LONG)0xC0000004)
        buffer.resize(buffer.size() * 2);
    Table *table = (Table *)buffer.data();
    int own = 0;
    for (ULONG i = 0; i < table->count; i++)
        own += table->entries[i].owner == GetCurrentProcessId();
    return own;
}

TEST_F(Registry, EveryRoutineClosesWhatItOpened)
{
    std::string path = Path("Handles");
    ASSERT_EQ(CheckForRegCreateEx(HKEY_CURRENT_USER, path.c_str(), 1), REG_OK);
    // The count sees a leak: 50 keys opened and not closed.
    int start = OwnHandles();
    std::vector<HKEY> leaked(50);
    for (HKEY &key : leaked)
        ASSERT_EQ(RegOpenKeyA(HKEY_CURRENT_USER, path.c_str(), &key), ERROR_SUCCESS);
    EXPECT_GE(OwnHandles(), start + 50);
    for (HKEY key : leaked)
        RegCloseKey(key);
    EXPECT_LE(OwnHandles(), start);

    int before = OwnHandles();
    char out[REG_OUT_SIZE];
    for (int i = 0; i < 50; i++) {
        CheckForRegCreateEx(HKEY_CURRENT_USER, path.c_str(), 1);          // exists
        CheckForRegCreateEx(HKEY_CURRENT_USER, Path("Made").c_str(), 1);  // created, then exists
        CheckForRegCreateEx(HKEY_CURRENT_USER, Path("Never").c_str(), 0);
        SetRegValueEx(HKEY_CURRENT_USER, path.c_str(), std::string(90, 'z').c_str());
        SetRegValueEx(HKEY_CURRENT_USER, Path("Nope").c_str(), "x");
        GetRegValueEx(HKEY_CURRENT_USER, path.c_str(), out);   // fails: too long
        SetRegValueEx(HKEY_CURRENT_USER, path.c_str(), "short");
        GetRegValueEx(HKEY_CURRENT_USER, path.c_str(), out);
        GetRegValueEx(HKEY_CURRENT_USER, Path("Nope").c_str(), out);
        DeleteRegKeyEx(HKEY_CURRENT_USER, path.c_str(), "Nope");
        DeleteRegKeyEx(HKEY_CURRENT_USER, Path("Nope").c_str(), "x");
        DeleteRegKeyEx(HKEY_CURRENT_USER, Base, "Made");
    }
    EXPECT_EQ(OwnHandles(), before);
}
