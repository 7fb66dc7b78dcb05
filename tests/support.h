// Helpers for tests that drive the real program code inside Wine.
#ifndef TEST_SUPPORT_H
#define TEST_SUPPORT_H

#include <windows.h>
#include <shlwapi.h>
#include <string>
#include <vector>
#include <mutex>
#include <thread>
#include <atomic>
#include <functional>
#include <gtest/gtest.h>
#include "shred/fileio.h"
#include "app/window.h"

// Seams: the program's own pointers that tests swap. Every test ends with
// RestoreSeams() (test_main's listener), so no swap outlives its test.
//   FileCalls              the shredder's file-system calls: SwapFileCalls
//                          puts in a copy of the real table and returns it
//   ShowHelp               the help viewer: HelpWatch records its calls
//   RegLibName             the registry library: a missing one
//   LinksHiddenByPlatform  the link rule of Windows (0) or of Wine (1)
//   NewerCalls             the calls looked up at run time: cleared, as on
//                          an older system
FileCallTable &SwapFileCalls();
void RestoreSeams();

// A fresh, empty folder S:\work\NAME\ (with the trailing backslash).
std::string SandboxFolder(const std::string &name);
// Removes a tree, but only below S:\work\ , however long its paths.
void RemoveSandboxTree(const std::string &path);

// Paths past what the ANSI calls reach, made and read through \\?\ names.
void MakeLongFolder(const std::string &path);   // with every folder above it
void WriteLong(const std::string &path, const std::string &bytes);
std::string ReadLong(const std::string &path);  // "<unreadable>" when it cannot

void WriteBytes(const std::string &path, const std::string &bytes);
std::string ReadBytes(const std::string &path);
bool Exists(const std::string &path);
// The short name Wine gives a file of this full path: the name alone
// decides it, so the file is made, asked and removed again.
std::wstring WineShortName(const std::wstring &path);

// Deletes HKCU\Software\Halvorn with everything below it.
void ClearOptionKeys();
// The default value of an option key, or "<missing>" when the key is absent.
std::string StoredOption(const std::string &name);
// The default value of any key below HKCU, or "<missing>".
std::string StoredValue(const std::string &path);
void StoreOption(const std::string &name, const std::string &text);
bool OptionKeyExists(const std::string &name);

// The process's current directory.
std::string Cwd();

// Presses or releases Shift through the system's input queue.
void PressShift(bool down);

// Runs the program's own message loop (RunMessageLoop) and, from a timer,
// carries out one step every `gap` milliseconds. One gap after the last
// step it ends the loop with LoopTimedOut, unless the program ended it
// first. Returns the loop's exit code.
const int LoopTimedOut = 99;
int RunProgramLoop(const std::vector<std::function<void()>> &steps, DWORD gap = 300);
// Presses and releases a key, with modifiers held around it.
void Keystroke(WORD key, std::vector<WORD> held = {});

// Pumps the calling thread's messages until none is left.
void PumpMessages();

// A window's text as the wide call reads it, in UTF-8.
std::string WideText(HWND window);

struct SeenBox {
    std::string caption;
    std::string text;
    HWND owner;
    bool cancel_enabled;   // the dialog's button 2
    std::string path;      // the confirmation's path (control 102), its lines joined
    bool path_fits;        // every line of it within the control
    std::string icon;      // a message box's: "stop", "question", "information", "warning" or ""
    std::vector<int> buttons;   // ids of its buttons among IDOK..IDNO, in id order
};

// Answers every dialog box of this process from a second thread: records
// its caption and text, then presses the button with id `button`.
class BoxAnswerer {
public:
    explicit BoxAnswerer(int button = IDOK);
    // The i-th box gets buttons[i]; the last one answers all after it.
    // `before` runs with the box's index while it is up, before the click.
    explicit BoxAnswerer(std::vector<int> buttons, std::function<void(size_t)> before = nullptr);
    ~BoxAnswerer();
    std::vector<SeenBox> Boxes();
private:
    void Run();
    std::vector<int> buttons_;
    std::function<void(size_t)> before_;
    std::atomic<bool> stop_{false};
    std::mutex lock_;
    std::vector<SeenBox> boxes_;
    std::thread thread_;
};

// Carries out one step per dialog of this process, in order, from a second
// thread; each step gets the dialog's window and must close it (or leave it
// to the program). Dialogs after the last step are cancelled.
class DialogScript {
public:
    explicit DialogScript(std::vector<std::function<void(HWND)>> steps);
    ~DialogScript();
    int StepsTaken() const { return taken_; }
private:
    void Run();
    std::vector<std::function<void(HWND)>> steps_;
    std::atomic<bool> stop_{false};
    std::atomic<int> taken_{0};
    std::thread thread_;
};

// The boxes shown while `action` runs, answered as BoxAnswerer(buttons) does.
std::vector<SeenBox> BoxesOf(const std::function<void()> &action, std::vector<int> buttons = { IDOK });
// A message box of the program's: its caption, text and icon ("*" takes any
// text), no owner and an OK button alone.
testing::AssertionResult BoxIs(const SeenBox &box, const std::string &caption, const std::string &text,
                               const std::string &icon);

// The first window `wanted` accepts among the children of `parent`, or among
// the top-level windows when `parent` is null; null when none is.
HWND FindWindowWhere(HWND parent, const std::function<bool(HWND)> &wanted);
bool IsOfClass(HWND window, const char *cls);   // without regard to case

// Starts a program (in `folder` when one is given) and waits for a
// top-level window of a class; null after 30 seconds (a
// second program starts slowly under emulation on a busy machine).
PROCESS_INFORMATION StartProgram(const std::string &program, const char *folder = NULL);
HWND WaitForWindow(const char *cls);

// Every call the program makes of the help viewer while one of these
// lives; with `forward` each also reaches Wine's real viewer.
struct HelpCall {
    HWND owner;
    std::string file;
    UINT command;
    std::string keyword;   // HELP_KEY's data
    ULONG_PTR data;
};
class HelpWatch {
public:
    explicit HelpWatch(bool forward = false);
    ~HelpWatch();
    const std::vector<HelpCall> &Calls() const;
};

// The watch saw one call: to zorvex.hlp with this owner and command, with
// `keyword` for HELP_KEY and no data for the others.
testing::AssertionResult OneHelpCall(const HelpWatch &help, HWND owner, UINT command, const char *keyword = "");

// The real main window for each test: option keys cleared before and after,
// a fresh folder S:\work\<test name>\ in `dir`, the current directory put
// back. Fixtures that set options first start it themselves (start = false).
class MainWindowTest : public testing::Test {
protected:
    explicit MainWindowTest(bool start = true) : start_(start) {}
    void SetUp() override;
    void TearDown() override;
    static HWND Start();   // StartMainWindow and the messages it posts
    static void Stop();    // destroys it and its class
    static LRESULT Command(UINT id) { return SendMessageA(MainWindow, WM_COMMAND, id, 0); }
    std::string File(const std::string &name, const std::string &content = "secret words");
    std::string Folder(const std::string &name);
    std::string dir, cwd;
private:
    bool start_;
};

// Helpers for the steps: a control's text and check state, a click.
std::string ControlText(HWND dialog, int id);
bool IsChecked(HWND dialog, int id);
void Click(HWND dialog, int id);

#endif
