// Every test binary starts here: it refuses to run unless each drive of the
// Wine prefix stays clear of /, $HOME and the source tree.
#include <windows.h>
#include <gtest/gtest.h>
#include <cstdio>
#include <cstdlib>
#include <string>
#include "support.h"

typedef char *(CDECL *UnixNameFn)(LPCWSTR);

static bool Reaches(const std::string &drive_target, const std::string &guarded)
{
    if (guarded.empty())
        return false;
    std::string t = drive_target, g = guarded;
    while (t.size() > 1 && t.back() == '/') t.pop_back();
    while (g.size() > 1 && g.back() == '/') g.pop_back();
    if (t == "/")
        return true;
    return g == t || g.compare(0, t.size() + 1, t + "/") == 0;
}

static bool SandboxIsSafe()
{
    UnixNameFn unix_name = (UnixNameFn)GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name");
    if (!unix_name) {
        fprintf(stderr, "not running under Wine: refusing to run tests that destroy files\n");
        return false;
    }
    const char *source = getenv("ZORVEX_TEST_SOURCE");
    const char *home = getenv("ZORVEX_TEST_HOME");
    if (!source || !home) {
        fprintf(stderr, "run the tests through tools/wine/wine-run.sh\n");
        return false;
    }
    bool sandbox = false;
    DWORD drives = GetLogicalDrives();
    for (int i = 0; i < 26; i++) {
        if (!(drives & (1u << i)))
            continue;
        WCHAR root[4] = { WCHAR(L'A' + i), L':', L'\\', 0 };
        char *target = unix_name(root);
        if (!target)
            continue;
        std::string t = target;
        HeapFree(GetProcessHeap(), 0, target);
        if (Reaches(t, "/") || Reaches(t, source) || Reaches(t, home)) {
            fprintf(stderr, "drive %c: maps %s, which is not a sandbox: refusing to run\n", 'A' + i, t.c_str());
            return false;
        }
        if (i == 'S' - 'A')
            sandbox = true;
    }
    if (!sandbox)
        fprintf(stderr, "no sandbox drive S:\n");
    return sandbox;
}

// Whatever a test swapped is put back when it ends, even half-way.
class SeamRestorer : public testing::EmptyTestEventListener {
    void OnTestEnd(const testing::TestInfo &) override { RestoreSeams(); }
};

int main(int argc, char **argv)
{
    testing::InitGoogleTest(&argc, argv);
    testing::UnitTest::GetInstance()->listeners().Append(new SeamRestorer);
    if (!SandboxIsSafe())
        return 2;
    return RUN_ALL_TESTS();
}
