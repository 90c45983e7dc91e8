// Start-up benchmark: how long from process start until the panel is visible
// and painted, against the bare window program, as a ratio of medians.
//
// "Painted" is read off the screen: the pixel in the middle of the window's
// lower half shows the panel background. Each run starts from a fresh copy
// of the exe in a folder of its own, so data\ is new every time.
//
// Usage: bench_startup [runs]   (default 15; run under the test Wine session)
#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

std::wstring WindowsPath(const char* path) {
    std::wstring out;
    for (const char* p = path; *p; ++p)
        out += static_cast<wchar_t>(*p == '/' ? '\\' : *p);
    if (!out.empty() && out[0] == L'\\')
        out = L"Z:" + out;
    return out;
}

struct Found {
    DWORD pid;
    HWND window;
};

BOOL CALLBACK FindVisible(HWND w, LPARAM p) {
    auto* query = reinterpret_cast<Found*>(p);
    DWORD owner = 0;
    GetWindowThreadProcessId(w, &owner);
    if (owner == query->pid && IsWindowVisible(w)) {
        query->window = w;
        return FALSE;
    }
    return TRUE;
}

HWND WindowOf(DWORD pid) {
    Found f{pid, nullptr};
    EnumWindows(FindVisible, reinterpret_cast<LPARAM>(&f));
    return f.window;
}

bool Painted(HWND window) {
    RECT r;
    if (!GetWindowRect(window, &r))
        return false;
    HDC screen = GetDC(nullptr);
    COLORREF c = GetPixel(screen, (r.left + r.right) / 2, r.top + (r.bottom - r.top) * 3 / 4);
    ReleaseDC(nullptr, screen);
    // The panel draws with per-pixel alpha 254; without a compositor the
    // premultiplied colour lands on screen, a step or two darker.
    auto within = [](int a, int b) { return a - b <= 3 && b - a <= 3; };
    return c != CLR_INVALID && within(GetRValue(c), 245) && within(GetGValue(c), 245) &&
           within(GetBValue(c), 245);
}

// One start; milliseconds until painted, or a negative number on failure.
double RunOnce(const std::wstring& source, const std::wstring& folder) {
    CreateDirectoryW(folder.c_str(), nullptr);
    const std::wstring exe = folder + L"\\Pinatrove.exe";
    CopyFileW(source.c_str(), exe.c_str(), FALSE);
    std::wstring commandLine = L"\"" + exe + L"\"";
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    const auto start = Clock::now();
    if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.c_str(), &si, &pi)) {
        return -1;
    }
    double ms = -1;
    HWND window = nullptr;
    while (Clock::now() - start < std::chrono::seconds(20)) {
        if (!window)
            window = WindowOf(pi.dwProcessId);
        if (window && Painted(window)) {
            ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
            break;
        }
        if (WaitForSingleObject(pi.hProcess, 1) == WAIT_OBJECT_0)
            break;
    }
    if (window)
        PostMessageW(window, WM_CLOSE, 1, 0);
    if (WaitForSingleObject(pi.hProcess, 5000) != WAIT_OBJECT_0)
        TerminateProcess(pi.hProcess, 1);
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    std::wstring from = folder + L'\0';
    SHFILEOPSTRUCTW op{};
    op.wFunc = FO_DELETE;
    op.pFrom = from.c_str();
    op.fFlags = FOF_NO_UI;
    SHFileOperationW(&op);
    return ms;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 15;
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring base =
        std::wstring(temp) + L"pt-bench-" + std::to_wstring(GetCurrentProcessId());
    const std::wstring app = WindowsPath(PT_APP_EXE), bare = WindowsPath(PT_BARE_EXE);
    std::vector<double> appTimes, bareTimes;
    // Interleaved, so drift in the machine's load hits both alike.
    RunOnce(bare, base + L"-warm");
    for (int i = 0; i < runs; ++i) {
        double b = RunOnce(bare, base + L"-b" + std::to_wstring(i));
        double a = RunOnce(app, base + L"-a" + std::to_wstring(i));
        if (a < 0 || b < 0) {
            std::fprintf(stderr, "run %d failed (app %.1f, bare %.1f)\n", i, a, b);
            return 1;
        }
        appTimes.push_back(a);
        bareTimes.push_back(b);
    }
    const double ma = Median(appTimes), mb = Median(bareTimes);
    std::printf("startup to painted window, median of %d runs\n", runs);
    std::printf("  bare window: %.1f ms\n  Pinatrove:   %.1f ms\n  ratio:       %.2f\n", mb, ma,
                ma / mb);
    return 0;
}
