// Implementation of the end-to-end helpers.
#include "e2e_support.h"


#include <atomic>
#include <thread>

namespace pt::test {

std::wstring BuiltAppPath() { return BuildPath(PT_APP_EXE); }

AppProcess::~AppProcess() { Kill(); }

std::optional<AppProcess> AppProcess::Launch(const TempFolder& dir, const std::wstring& arguments,
                                             const std::wstring& workDir) {
    return LaunchIn(dir.WidePath(), arguments, workDir);
}

std::optional<AppProcess> AppProcess::LaunchIn(const std::wstring& folder, const std::wstring& arguments,
                                               const std::wstring& workDir) {
    const std::wstring exe = folder + L"\\Pinatrove.exe";
    if (!::CopyFileW(BuiltAppPath().c_str(), exe.c_str(), FALSE)) return std::nullopt;
    return Start(exe, arguments, workDir.empty() ? folder : workDir);
}

std::optional<AppProcess> AppProcess::Start(const std::wstring& exe, const std::wstring& arguments,
                                            const std::wstring& workDir) {
    std::wstring commandLine = L"\"" + exe + L"\"";
    if (!arguments.empty()) commandLine += L" " + arguments;
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!::CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          workDir.empty() ? nullptr : workDir.c_str(), &si, &pi)) {
        return std::nullopt;
    }
    ::CloseHandle(pi.hThread);
    AppProcess app;
    app.process_.Reset(pi.hProcess);
    app.id_ = pi.dwProcessId;
    return app;
}

bool AppProcess::Running() const {
    return process_ && ::WaitForSingleObject(process_.Get(), 0) == WAIT_TIMEOUT;
}

std::optional<DWORD> AppProcess::WaitExit(std::chrono::milliseconds limit) const {
    if (!process_) return std::nullopt;
    if (!PollUntil([&] { return !Running(); }, static_cast<int>(limit.count()))) return std::nullopt;
    DWORD code = 0;
    ::GetExitCodeProcess(process_.Get(), &code);
    return code;
}

namespace {

struct WindowQuery {
    DWORD id;
    const wchar_t* className;
    std::vector<HWND> found;
};

// A named CALLBACK: a lambda would have the wrong calling convention on i686.
BOOL CALLBACK CollectWindow(HWND window, LPARAM param) {
    auto* q = reinterpret_cast<WindowQuery*>(param);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    if (owner == q->id && (!q->className || ClassName(window) == q->className)) q->found.push_back(window);
    return TRUE;
}

}  // namespace

std::vector<HWND> WindowsOfProcess(DWORD processId, const wchar_t* className) {
    WindowQuery query{processId, className, {}};
    ::EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&query));
    return query.found;
}

HWND AppProcess::FindWindowOfClass(const wchar_t* className) const {
    auto windows = WindowsOfProcess(id_, className);
    return windows.empty() ? nullptr : windows.front();
}

HWND AppProcess::WaitForWindow(const wchar_t* className, std::chrono::milliseconds limit) const {
    HWND found = nullptr;
    PollUntil([&] { return (found = FindWindowOfClass(className)) != nullptr || !Running(); },
              static_cast<int>(limit.count()));
    return found;
}

bool AppProcess::Exit(HWND panel, std::chrono::milliseconds limit) {
    if (!Running()) return true;
    ::PostMessageW(panel, WM_CLOSE, 1, 0);
    if (WaitExit(limit)) return true;
    Kill();
    return false;
}

void AppProcess::Kill() {
    if (Running()) {
        ::TerminateProcess(process_.Get(), 99);
        ::WaitForSingleObject(process_.Get(), 5000);
    }
}

std::wstring WindowText(HWND window) {
    wchar_t text[1024];
    int n = ::GetWindowTextW(window, text, 1024);
    return std::wstring(text, n > 0 ? n : 0);
}

std::wstring ClassName(HWND window) {
    wchar_t name[256];
    int n = ::GetClassNameW(window, name, 256);
    return std::wstring(name, n > 0 ? n : 0);
}

}  // namespace pt::test
