#include "support.h"
#include "app/help.h"
#include "app/window.h"
#include "settings/options.h"
#include "shred/links.h"
#include <shlwapi.h>
#include <gtest/gtest.h>

static const char SandboxRoot[] = "S:\\work\\";

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
    LookUpLinkCalls();
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
    DWORD attributes = GetFileAttributesA(base.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return;
    SetFileAttributesA(base.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        DeleteFileA(base.c_str());
        return;
    }
    if (!(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        WIN32_FIND_DATAA data;
        HANDLE find = FindFirstFileA((base + "\\*").c_str(), &data);
        if (find != INVALID_HANDLE_VALUE) {
            do {
                std::string entry = data.cFileName;
                if (entry != "." && entry != "..")
                    RemoveSandboxTree(base + "\\" + entry);
            } while (FindNextFileA(find, &data));
            FindClose(find);
        }
    }
    RemoveDirectoryA(base.c_str());
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

struct BoxSearch { DWORD process; HWND found; };

static BOOL CALLBACK FindBox(HWND window, LPARAM param)
{
    BoxSearch *search = (BoxSearch *)param;
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    char cls[32] = "";
    GetClassNameA(window, cls, sizeof cls);
    // Captionless dialogs (the progress popup) are not asked anything.
    if (process == search->process && lstrcmpA(cls, "#32770") == 0 && IsWindowVisible(window) &&
        IsWindowEnabled(window) && (GetWindowLongA(window, GWL_STYLE) & WS_CAPTION) == WS_CAPTION) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
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
        char cls[16] = "";
        if (button && GetClassNameA(button, cls, sizeof cls) && lstrcmpiA(cls, "Button") == 0 &&
            IsWindowVisible(button))
            ids.push_back(id);
    }
    return ids;
}

void BoxAnswerer::Run()
{
    while (!stop_) {
        BoxSearch search = { GetCurrentProcessId(), NULL };
        EnumWindows(FindBox, (LPARAM)&search);
        if (search.found) {
            SeenBox box;
            char text[1024] = "";
            GetWindowTextA(search.found, text, sizeof text);
            box.caption = text;
            text[0] = 0;
            GetDlgItemTextA(search.found, 0xFFFF, text, sizeof text);   // a message box's text
            box.text = text;
            box.owner = GetWindow(search.found, GW_OWNER);
            box.style = GetWindowLongA(search.found, GWL_STYLE);
            HWND cancel = GetDlgItem(search.found, IDCANCEL);
            box.cancel_enabled = cancel && IsWindowEnabled(cancel);
            text[0] = 0;
            GetDlgItemTextA(search.found, 102, text, sizeof text);
            box.path = text;
            box.icon = BoxIcon(search.found);
            box.buttons = BoxButtons(search.found);
            size_t index;
            {
                std::lock_guard<std::mutex> hold(lock_);
                boxes_.push_back(box);
                index = boxes_.size() - 1;
            }
            if (before_)
                before_(index);
            int id = buttons_[index < buttons_.size() ? index : buttons_.size() - 1];
            HWND button = GetDlgItem(search.found, id);
            if (button && IsWindowEnabled(button))
                SendMessageA(button, BM_CLICK, 0, 0);
            else
                PostMessageA(search.found, WM_COMMAND, id, 0);
            for (int i = 0; i < 200 && IsWindow(search.found) && IsWindowVisible(search.found); i++)
                Sleep(5);
        }
        Sleep(10);
    }
}

void PressKey(WORD key, bool down)
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

void DialogScript::Run()
{
    while (!stop_) {
        BoxSearch search = { GetCurrentProcessId(), NULL };
        EnumWindows(FindBox, (LPARAM)&search);
        if (search.found) {
            Sleep(100);   // let the dialog finish its set-up
            size_t step = taken_;
            if (step < steps_.size()) {
                // Counted first: the step's click may end the program's wait
                // before this thread runs again.
                taken_++;
                steps_[step](search.found);
            } else {
                PostMessageA(search.found, WM_COMMAND, IDCANCEL, 0);
            }
            WaitClosed(search.found);
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

bool WaitClosed(HWND window)
{
    for (int i = 0; i < 600; i++) {
        if (!IsWindow(window) || !IsWindowVisible(window))
            return true;
        Sleep(10);
    }
    return false;
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
    for (int i = 0; i < 300; i++) {
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
