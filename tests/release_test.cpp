// The packaged program, unpacked into S:\release by release-check.sh, is
// started from its own folder as a user would, and closed again.
#include "support.h"
#include "app/window.h"
#include <gtest/gtest.h>

TEST(Release, ThePackagedProgramStartsShowsItsWindowAndEndsWithCodeZero)
{
    ClearOptionKeys();
    PROCESS_INFORMATION program = StartProgram("S:\\release\\zorvex32.exe", "S:\\release");
    HWND window = WaitForWindow(MAIN_CLASS);
    ASSERT_NE(window, (HWND)NULL);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    EXPECT_EQ(owner, program.dwProcessId);
    WaitForInputIdle(program.hProcess, 5000);
    char title[32] = "";
    GetWindowTextA(window, title, sizeof title);
    EXPECT_STREQ(title, "Zorvex");
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_TRUE(GetMenu(window) != NULL);
    // Its options store reached the registry through the packaged library.
    EXPECT_TRUE(OptionKeyExists("SecurityLevel"));

    PostMessageA(window, WM_CLOSE, 0, 0);
    ASSERT_EQ(WaitForSingleObject(program.hProcess, 20000), WAIT_OBJECT_0);
    DWORD code = 99;
    GetExitCodeProcess(program.hProcess, &code);
    EXPECT_EQ(code, 0u);
    CloseHandle(program.hProcess);
    CloseHandle(program.hThread);
    ClearOptionKeys();
}
