// Implementation of the end-to-end helpers.
#include "e2e_support.h"

#include <shellapi.h>

#include <atomic>
#include <thread>

namespace pt::test {

bool WaitFor(const std::function<bool()>& done, std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    for (;;) {
        if (done()) return true;
        if (std::chrono::steady_clock::now() >= end) return false;
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

TempDir::TempDir() {
    wchar_t base[MAX_PATH];
    DWORD n = ::GetTempPathW(MAX_PATH, base);
    static std::atomic<unsigned> counter{0};
    for (unsigned attempt = 0; attempt < 1000; ++attempt) {
        std::wstring candidate = std::wstring(base, n) + L"pt-test-" +
                                 std::to_wstring(::GetCurrentProcessId()) + L"-" +
                                 std::to_wstring(counter++) + L"-" + std::to_wstring(::GetTickCount());
        if (::CreateDirectoryW(candidate.c_str(), nullptr)) {
            path_ = candidate;
            return;
        }
    }
}

TempDir::~TempDir() {
    if (path_.empty()) return;
    // SHFileOperation wants a double-NUL-terminated list.
    std::wstring from = path_ + L'\0';
    SHFILEOPSTRUCTW op{};
    op.wFunc = FO_DELETE;
    op.pFrom = from.c_str();
    op.fFlags = FOF_NO_UI;
    ::SHFileOperationW(&op);
}

bool WriteFileBytes(const std::wstring& path, const std::string& bytes) {
    UniqueKernelHandle file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                          FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    DWORD written = 0;
    return ::WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

std::optional<std::string> ReadFileBytes(const std::wstring& path) {
    UniqueKernelHandle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                          nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return std::nullopt;
    std::string bytes;
    char buffer[65536];
    DWORD got = 0;
    while (::ReadFile(file.Get(), buffer, sizeof buffer, &got, nullptr) && got > 0) bytes.append(buffer, got);
    return bytes;
}

bool FileExists(const std::wstring& path) {
    return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::wstring BuildPath(const char* path) {
    std::wstring out;
    for (const char* p = path; *p; ++p) out += static_cast<wchar_t>(*p == '/' ? '\\' : *p);
    if (!out.empty() && out[0] == L'\\') out = L"Z:" + out;
    return out;
}

std::wstring BuiltAppPath() { return BuildPath(PT_APP_EXE); }

AppProcess::~AppProcess() { Kill(); }

std::optional<AppProcess> AppProcess::Launch(const TempDir& dir, const std::wstring& arguments,
                                             const std::wstring& workDir) {
    return LaunchIn(dir.Path(), arguments, workDir);
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
    if (!WaitFor([&] { return !Running(); }, limit)) return std::nullopt;
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
    WaitFor([&] { return (found = FindWindowOfClass(className)) != nullptr || !Running(); }, limit);
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
