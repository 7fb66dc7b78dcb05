#include "support.h"
#include "dialogs/help.h"
#include "app/window.h"
#include "settings/options.h"
#include "shred/links.h"
#include "shred/newer.h"
#include <shlwapi.h>
#include <gtest/gtest.h>

static const char SandboxRoot[] = "S:\\work\\";

static std::wstring LongName(const std::string &path)
{
    return L"\\\\?\\" + std::wstring(path.begin(), path.end());
}

static FileCallTable TestFileCalls;

FileCallTable &SwapFileCalls()
{
    if (FileCalls != &TestFileCalls) {
        TestFileCalls = RealFileCalls;
        FileCalls = &TestFileCalls;
    }
    return TestFileCalls;
}

void RestoreSeams()
{
    FileCalls = &RealFileCalls;
    ShowHelp = CallWinHelp;
    RegLibName = "ostrel32.dll";
    LinksHiddenByPlatform = -1;
    LookUpNewerCalls();
}

std::string SandboxFolder(const std::string &name)
{
    std::string path = SandboxRoot + name;
    RemoveSandboxTree(path);
    CreateDirectoryA(path.c_str(), NULL);
    return path + "\\";
}

void RemoveSandboxTree(const std::string &path)
{
    if (_strnicmp(path.c_str(), SandboxRoot, sizeof SandboxRoot - 1) != 0 ||
        path.size() <= sizeof SandboxRoot - 1 || path.find("..") != std::string::npos) {
        ADD_FAILURE() << "refusing to remove " << path;
        return;
    }
    std::string base = path;
    if (base.back() == '\\')
        base.pop_back();
    std::wstring wide = LongName(base);
    DWORD attributes = GetFileAttributesW(wide.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return;
    SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        DeleteFileW(wide.c_str());
        return;
    }
    if (!(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        WIN32_FIND_DATAW data;
        HANDLE find = FindFirstFileW((wide + L"\\*").c_str(), &data);
        if (find != INVALID_HANDLE_VALUE) {
            do {
                std::wstring entry = data.cFileName;
                if (entry != L"." && entry != L"..")
                    RemoveSandboxTree(base + "\\" + std::string(entry.begin(), entry.end()));
            } while (FindNextFileW(find, &data));
            FindClose(find);
        }
    }
    RemoveDirectoryW(wide.c_str());
}

void MakeLongFolder(const std::string &path)
{
    for (size_t at = path.find('\\', 3); at != std::string::npos; at = path.find('\\', at + 1))
        CreateDirectoryW(LongName(path.substr(0, at)).c_str(), NULL);
    CreateDirectoryW(LongName(path).c_str(), NULL);
}

void WriteLong(const std::string &path, const std::string &bytes)
{
    HANDLE file = CreateFileW(LongName(path).c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
    DWORD written;
    WriteFile(file, bytes.data(), (DWORD)bytes.size(), &written, NULL);
    CloseHandle(file);
}

std::string ReadLong(const std::string &path)
{
    HANDLE file = CreateFileW(LongName(path).c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return "<unreadable>";
    char buffer[256];
    DWORD got = 0;
    ReadFile(file, buffer, sizeof buffer, &got, NULL);
    CloseHandle(file);
    return std::string(buffer, got);
}

void WriteBytes(const std::string &path, const std::string &bytes)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
    DWORD written = 0;
    if (!bytes.empty())
        WriteFile(file, bytes.data(), (DWORD)bytes.size(), &written, NULL);
    CloseHandle(file);
    ASSERT_EQ(written, bytes.size());
}

std::string ReadBytes(const std::string &path)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              NULL, OPEN_EXISTING, 0, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return "<unreadable>";
    std::string bytes;
    char buffer[65536];
    DWORD got;
    while (ReadFile(file, buffer, sizeof buffer, &got, NULL) && got)
        bytes.append(buffer, got);
    CloseHandle(file);
    return bytes;
}

bool Exists(const std::string &path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::wstring WineShortName(const std::wstring &path)
{
    const std::wstring full = L"\\\\?\\" + path;
    CloseHandle(CreateFileW(full.c_str(), GENERIC_WRITE, 0, NULL, CREATE_NEW, 0, NULL));
    WCHAR short_path[MAX_PATH] = L"";
    GetShortPathNameW(full.c_str(), short_path, MAX_PATH);
    DeleteFileW(full.c_str());
    const WCHAR *last = wcsrchr(short_path, L'\\');
    return last ? last + 1 : L"";
}

static const char OptionsRoot[] = "Software\\Halvorn\\Zorvex\\Options\\";

void ClearOptionKeys()
{
    SHDeleteKeyA(HKEY_CURRENT_USER, "Software\\Halvorn");
}

std::string StoredOption(const std::string &name)
{
    return StoredValue(OptionsRoot + name);
}

std::string StoredValue(const std::string &path)
{
    HKEY key;
    if (RegOpenKeyA(HKEY_CURRENT_USER, path.c_str(), &key) != ERROR_SUCCESS)
        return "<missing>";
    char text[600] = "";
    DWORD size = sizeof text - 1, type = 0;
    LONG rc = RegQueryValueExA(key, NULL, NULL, &type, (BYTE *)text, &size);
    RegCloseKey(key);
    return rc == ERROR_SUCCESS ? std::string(text) : std::string("<no value>");
}

void StoreOption(const std::string &name, const std::string &text)
{
    HKEY key;
    ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, (OptionsRoot + name).c_str(), &key), ERROR_SUCCESS);
    RegSetValueExA(key, NULL, 0, REG_SZ, (const BYTE *)text.c_str(), (DWORD)text.size() + 1);
    RegCloseKey(key);
}

bool OptionKeyExists(const std::string &name)
{
    HKEY key;
    if (RegOpenKeyA(HKEY_CURRENT_USER, (OptionsRoot + name).c_str(), &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

void PumpMessages()
{
    MSG msg;
    for (int round = 0; round < 3; round++) {
        while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        Sleep(10);
    }
}

BoxAnswerer::BoxAnswerer(int button) : buttons_{ button }, thread_(&BoxAnswerer::Run, this) {}
BoxAnswerer::BoxAnswerer(std::vector<int> buttons, std::function<void(size_t)> before)
    : buttons_(buttons), before_(before), thread_(&BoxAnswerer::Run, this) {}

BoxAnswerer::~BoxAnswerer()
{
    stop_ = true;
    thread_.join();
}

std::vector<SeenBox> BoxAnswerer::Boxes()
{
    std::lock_guard<std::mutex> hold(lock_);
    return boxes_;
}

typedef std::pair<const std::function<bool(HWND)> *, HWND> Search;

static BOOL CALLBACK TryWindow(HWND window, LPARAM param)
{
    Search *search = (Search *)param;
    if (!(*search->first)(window))
        return TRUE;
    search->second = window;
    return FALSE;
}

HWND FindWindowWhere(HWND parent, const std::function<bool(HWND)> &wanted)
{
    Search search(&wanted, NULL);
    if (parent)
        EnumChildWindows(parent, TryWindow, (LPARAM)&search);
    else
        EnumWindows(TryWindow, (LPARAM)&search);
    return search.second;
}

bool IsOfClass(HWND window, const char *cls)
{
    char name[64] = "";
    GetClassNameA(window, name, sizeof name);
    return lstrcmpiA(name, cls) == 0;
}

// A dialog of this process that asks something: captionless dialogs (the
// progress popup) are not asked anything.
static HWND FindBox()
{
    return FindWindowWhere(NULL, [](HWND window) {
        DWORD process = 0;
        GetWindowThreadProcessId(window, &process);
        return process == GetCurrentProcessId() && IsOfClass(window, "#32770") && IsWindowVisible(window) &&
               IsWindowEnabled(window) && (GetWindowLongA(window, GWL_STYLE) & WS_CAPTION) == WS_CAPTION;
    });
}

// A message box shows its type through the shared system icon in its icon
// control (Wine's template calls it stc1) and through its buttons.
static std::string BoxIcon(HWND box)
{
    HICON icon = (HICON)SendDlgItemMessageA(box, 0x0440, STM_GETICON, 0, 0);
    if (!icon)
        return "";
    struct { LPCSTR id; const char *name; } kinds[] = {
        { IDI_HAND, "stop" }, { IDI_QUESTION, "question" }, { IDI_ASTERISK, "information" },
        { IDI_EXCLAMATION, "warning" },
    };
    for (auto &kind : kinds)
        if (LoadIconA(NULL, kind.id) == icon)
            return kind.name;
    return "other";
}

static std::vector<int> BoxButtons(HWND box)
{
    std::vector<int> ids;
    for (int id = IDOK; id <= IDNO; id++) {
        HWND button = GetDlgItem(box, id);
        if (button && IsOfClass(button, "Button") && IsWindowVisible(button))
            ids.push_back(id);
    }
    return ids;
}

std::string WideText(HWND window)
{
    WCHAR text[1024] = L"";
    char utf8[3072] = "";
    if (window)
        GetWindowTextW(window, text, 1024);
    WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8, sizeof utf8, NULL, NULL);
    return utf8;
}

// Every line of a control's text within its client area, in its own font.
static bool TextFits(HWND control)
{
    if (!control)
        return false;
    WCHAR text[1024] = L"";
    GetWindowTextW(control, text, 1024);
    RECT inside;
    GetClientRect(control, &inside);
    HDC dc = GetDC(control);
    HGDIOBJ old = SelectObject(dc, (HGDIOBJ)SendMessageA(control, WM_GETFONT, 0, 0));
    TEXTMETRICW metrics;
    GetTextMetricsW(dc, &metrics);
    bool fits = true;
    int lines = 0;
    for (WCHAR *line = text; line; lines++) {
        WCHAR *end = wcsstr(line, L"\r\n");
        SIZE size;
        GetTextExtentPoint32W(dc, line, end ? (int)(end - line) : lstrlenW(line), &size);
        fits = fits && size.cx <= inside.right;
        line = end ? end + 2 : NULL;
    }
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    return fits && lines * metrics.tmHeight <= inside.bottom;
}

void BoxAnswerer::Run()
{
    while (!stop_) {
        HWND found = FindBox();
        if (found) {
            Sleep(100);   // let the dialog finish its set-up, as DialogScript does
            SeenBox box;
            box.caption = WideText(found);
            box.text = WideText(GetDlgItem(found, 0xFFFF));   // a message box's text
            box.owner = GetWindow(found, GW_OWNER);
            HWND cancel = GetDlgItem(found, IDCANCEL);
            box.cancel_enabled = cancel && IsWindowEnabled(cancel);
            // The confirmation's path, however many lines it is shown on.
            for (char c : WideText(GetDlgItem(found, 102)))
                if (c != '\r' && c != '\n')
                    box.path += c;
            box.path_fits = TextFits(GetDlgItem(found, 102));
            box.icon = BoxIcon(found);
            box.buttons = BoxButtons(found);
            size_t index;
            {
                std::lock_guard<std::mutex> hold(lock_);
                boxes_.push_back(box);
                index = boxes_.size() - 1;
            }
            if (before_)
                before_(index);
            int id = buttons_[index < buttons_.size() ? index : buttons_.size() - 1];
            HWND button = GetDlgItem(found, id);
            if (button && IsWindowEnabled(button))
                SendMessageA(button, BM_CLICK, 0, 0);
            else
                PostMessageA(found, WM_COMMAND, id, 0);
            for (int i = 0; i < 200 && IsWindow(found) && IsWindowVisible(found); i++)
                Sleep(5);
        }
        Sleep(10);
    }
}

std::vector<SeenBox> BoxesOf(const std::function<void()> &action, std::vector<int> buttons)
{
    BoxAnswerer answer(buttons);
    action();
    return answer.Boxes();
}

testing::AssertionResult BoxIs(const SeenBox &box, const std::string &caption, const std::string &text,
                               const std::string &icon)
{
    if (box.caption == caption && (text == "*" || box.text == text) && box.icon == icon && !box.owner &&
        box.buttons == std::vector<int>{ IDOK })
        return testing::AssertionSuccess();
    return testing::AssertionFailure() << "box \"" << box.caption << "\": \"" << box.text << "\", icon \""
                                       << box.icon << "\", owner " << box.owner << ", " << box.buttons.size()
                                       << " button(s), first " << (box.buttons.empty() ? 0 : box.buttons[0]);
}

static void PressKey(WORD key, bool down)
{
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
    SendInput(1, &input, sizeof input);
}

void PressShift(bool down)
{
    PressKey(VK_SHIFT, down);
    Sleep(50);
}

static std::vector<std::function<void()>> LoopSteps;
static size_t LoopStep;

static void CALLBACK NextLoopStep(HWND, UINT, UINT_PTR timer, DWORD)
{
    if (LoopStep < LoopSteps.size()) {
        LoopSteps[LoopStep++]();
        return;
    }
    KillTimer(NULL, timer);
    PostQuitMessage(LoopTimedOut);
}

int RunProgramLoop(const std::vector<std::function<void()>> &steps, DWORD gap)
{
    LoopSteps = steps;
    LoopStep = 0;
    UINT_PTR timer = SetTimer(NULL, 0, gap, NextLoopStep);
    int code = RunMessageLoop();
    KillTimer(NULL, timer);
    return code;
}

void Keystroke(WORD key, std::vector<WORD> held)
{
    for (WORD k : held)
        PressKey(k, true);
    PressKey(key, true);
    PressKey(key, false);
    for (auto k = held.rbegin(); k != held.rend(); ++k)
        PressKey(*k, false);
}

DialogScript::DialogScript(std::vector<std::function<void(HWND)>> steps)
    : steps_(steps), thread_(&DialogScript::Run, this) {}

DialogScript::~DialogScript()
{
    stop_ = true;
    thread_.join();
}

// Waits until the window is gone; false after a few seconds.
static bool WaitClosed(HWND window)
{
    for (int i = 0; i < 600; i++) {
        if (!IsWindow(window) || !IsWindowVisible(window))
            return true;
        Sleep(10);
    }
    return false;
}

void DialogScript::Run()
{
    while (!stop_) {
        HWND found = FindBox();
        if (found) {
            Sleep(100);   // let the dialog finish its set-up
            size_t step = taken_;
            if (step < steps_.size()) {
                // Counted first: the step's click may end the program's wait
                // before this thread runs again.
                taken_++;
                steps_[step](found);
            } else {
                PostMessageA(found, WM_COMMAND, IDCANCEL, 0);
            }
            WaitClosed(found);
        }
        Sleep(10);
    }
}

std::string ControlText(HWND dialog, int id)
{
    char text[1024] = "";
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}

bool IsChecked(HWND dialog, int id)
{
    return SendDlgItemMessageA(dialog, id, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void Click(HWND dialog, int id)
{
    SendDlgItemMessageA(dialog, id, BM_CLICK, 0, 0);
}

std::string Cwd()
{
    char here[MAX_PATH];
    GetCurrentDirectoryA(sizeof here, here);
    return here;
}

PROCESS_INFORMATION StartProgram(const std::string &program, const char *folder)
{
    STARTUPINFOA si = { sizeof si };
    PROCESS_INFORMATION pi = {};
    std::string command = program;
    EXPECT_TRUE(CreateProcessA(NULL, &command[0], NULL, NULL, FALSE, 0, NULL, folder, &si, &pi)) << program;
    return pi;
}

HWND WaitForWindow(const char *cls)
{
    for (int i = 0; i < 1500; i++) {
        HWND w = FindWindowA(cls, NULL);
        if (w)
            return w;
        Sleep(20);
    }
    return NULL;
}

static std::vector<HelpCall> SeenHelp;
static bool ForwardHelp;

static BOOL RecordHelp(HWND owner, LPCSTR file, UINT command, ULONG_PTR data)
{
    HelpCall call = { owner, file ? file : "<null>", command, "", data };
    if (command == HELP_KEY && data)
        call.keyword = (const char *)data;
    SeenHelp.push_back(call);
    return ForwardHelp ? CallWinHelp(owner, file, command, data) : TRUE;
}

HelpWatch::HelpWatch(bool forward)
{
    SeenHelp.clear();
    ForwardHelp = forward;
    ShowHelp = RecordHelp;
}

HelpWatch::~HelpWatch()
{
    RestoreSeams();
}

const std::vector<HelpCall> &HelpWatch::Calls() const
{
    return SeenHelp;
}

testing::AssertionResult OneHelpCall(const HelpWatch &help, HWND owner, UINT command, const char *keyword)
{
    if (help.Calls().size() != 1)
        return testing::AssertionFailure() << help.Calls().size() << " help calls";
    const HelpCall &call = help.Calls()[0];
    if (call.owner == owner && call.file == "zorvex.hlp" && call.command == command &&
        (command == HELP_KEY ? call.keyword == keyword : call.data == 0))
        return testing::AssertionSuccess();
    return testing::AssertionFailure() << "help call: owner " << call.owner << ", \"" << call.file << "\", command "
                                       << call.command << ", keyword \"" << call.keyword << "\", data " << call.data;
}

HWND MainWindowTest::Start()
{
    HWND window = StartMainWindow(GetModuleHandleA(NULL));
    PumpMessages();   // the posted CMD_APPLY_ICON
    return window;
}

void MainWindowTest::Stop()
{
    if (MainWindow)
        DestroyWindow(MainWindow);
    MainWindow = NULL;
    UnregisterClassA(MAIN_CLASS, GetModuleHandleA(NULL));
    MSG msg;
    while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {}
}

void MainWindowTest::SetUp()
{
    ClearOptionKeys();
    cwd = Cwd();
    dir = SandboxFolder(testing::UnitTest::GetInstance()->current_test_info()->name());
    if (start_) {
        ASSERT_NE(Start(), (HWND)NULL);
    }
}

void MainWindowTest::TearDown()
{
    Stop();
    SetCurrentDirectoryA(cwd.c_str());   // a dialog or a walk may have moved it
    RemoveSandboxTree(dir);
    ClearOptionKeys();
}

std::string MainWindowTest::File(const std::string &name, const std::string &content)
{
    WriteBytes(dir + name, content);
    return dir + name;
}

std::string MainWindowTest::Folder(const std::string &name)
{
    CreateDirectoryA((dir + name).c_str(), NULL);
    return dir + name;
}
