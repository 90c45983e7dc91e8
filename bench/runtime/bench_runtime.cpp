// Runtime benchmark, two figures:
//  1. Ctrl+` pressed (SendInput) until the panel is visible and painted,
//     against the bare program showing its hidden window on the same
//     hotkey; medians of interleaved rounds, as a ratio.
//  2. The CPU time the program takes over 10 s while its panel is parked
//     at the left edge and slid away (only the edge timer runs), as a share
//     of one core, beside the bare program idling as long.
//
// "Painted" is read off the screen: the pixel in the middle of the window's
// lower half shows the panel background. Each process runs from a fresh
// folder of its own with a settings file written for the figure.
//
// Usage: bench_runtime [rounds] [presses]   (default 5 x 10; run under the
// test Wine session)
#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

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

BOOL CALLBACK FindPanel(HWND w, LPARAM p) {
    auto* query = reinterpret_cast<Found*>(p);
    DWORD owner = 0;
    GetWindowThreadProcessId(w, &owner);
    wchar_t cls[32] = {};
    GetClassNameW(w, cls, 32);
    if (owner == query->pid && lstrcmpW(cls, L"Pinatrove") == 0) {
        query->window = w;
        return FALSE;
    }
    return TRUE;
}

HWND WindowOf(DWORD pid) {
    Found f{pid, nullptr};
    EnumWindows(FindPanel, reinterpret_cast<LPARAM>(&f));
    return f.window;
}

bool Painted(HWND window) {
    RECT r;
    if (!IsWindowVisible(window) || !GetWindowRect(window, &r))
        return false;
    HDC screen = GetDC(nullptr);
    COLORREF c = GetPixel(screen, (r.left + r.right) / 2, r.top + (r.bottom - r.top) * 3 / 4);
    ReleaseDC(nullptr, screen);
    auto within = [](int a, int b) { return a - b <= 3 && b - a <= 3; };
    return c != CLR_INVALID && within(GetRValue(c), 245) && within(GetGValue(c), 245) &&
           within(GetBValue(c), 245);
}

void PressHotkey() {
    INPUT in[4] = {};
    const WORD keys[4] = {VK_CONTROL, VK_OEM_3, VK_OEM_3, VK_CONTROL};
    for (int i = 0; i < 4; ++i) {
        in[i].type = INPUT_KEYBOARD;
        in[i].ki.wVk = keys[i];
        in[i].ki.dwFlags = i >= 2 ? KEYEVENTF_KEYUP : 0;
    }
    SendInput(4, in, sizeof(INPUT));
}

template <typename Pred>
bool WaitFor(Pred done, std::chrono::milliseconds limit) {
    const auto end = Clock::now() + limit;
    while (Clock::now() < end) {
        if (done())
            return true;
        Sleep(1);
    }
    return false;
}

// One program started in a folder of its own, ended and cleaned up on leave.
class Program {
  public:
    Program(const std::wstring& source, const std::wstring& folder, const std::string& settings)
        : folder_(folder) {
        CreateDirectoryW(folder.c_str(), nullptr);
        const std::wstring exe = folder + L"\\Pinatrove.exe";
        CopyFileW(source.c_str(), exe.c_str(), FALSE);
        if (!settings.empty()) {
            CreateDirectoryW((folder + L"\\data").c_str(), nullptr);
            std::wstring wide(settings.begin(), settings.end());  // ASCII only
            HANDLE f = CreateFileW((folder + L"\\data\\Settings").c_str(), GENERIC_WRITE, 0,
                                   nullptr, CREATE_ALWAYS, 0, nullptr);
            DWORD written = 0;
            WriteFile(f, wide.data(), static_cast<DWORD>(wide.size() * 2), &written, nullptr);
            CloseHandle(f);
        }
        std::wstring commandLine = L"\"" + exe + L"\"";
        STARTUPINFOW si{};
        si.cb = sizeof si;
        if (CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                           folder.c_str(), &si, &pi_)) {
            WaitFor([&] { return (window_ = WindowOf(pi_.dwProcessId)) != nullptr; }, 20s);
        }
    }
    ~Program() {
        if (window_)
            PostMessageW(window_, WM_CLOSE, 1, 0);
        if (pi_.hProcess) {
            if (WaitForSingleObject(pi_.hProcess, 5000) != WAIT_OBJECT_0)
                TerminateProcess(pi_.hProcess, 1);
            CloseHandle(pi_.hProcess);
            CloseHandle(pi_.hThread);
        }
        std::wstring from = folder_ + L'\0';
        SHFILEOPSTRUCTW op{};
        op.wFunc = FO_DELETE;
        op.pFrom = from.c_str();
        op.fFlags = FOF_NO_UI;
        SHFileOperationW(&op);
    }
    HWND Window() const { return window_; }
    // User and kernel time so far, in milliseconds. Wine's answer for
    // another process does not move, so its host's process table (drive Z:
    // is the host's root) is asked first.
    double CpuMs() const {
        const double host = HostCpuMs();
        if (host >= 0)
            return host;
        FILETIME created, exited, kernel, user;
        if (!GetProcessTimes(pi_.hProcess, &created, &exited, &kernel, &user))
            return -1;
        auto ms = [](const FILETIME& t) {
            return ((static_cast<ULONGLONG>(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 1e4;
        };
        return ms(kernel) + ms(user);
    }

  private:
    // utime + stime of the host process whose command line names our exe,
    // at the usual 100 ticks a second; -1 when there is no such process.
    double HostCpuMs() const {
        const std::string needle = Narrow(folder_ + L"\\Pinatrove.exe");
        WIN32_FIND_DATAW found;
        HANDLE find = FindFirstFileW(L"Z:\\proc\\*", &found);
        if (find == INVALID_HANDLE_VALUE)
            return 0;
        double result = -1;  // no such process
        do {
            const std::wstring dir = std::wstring(L"Z:\\proc\\") + found.cFileName;
            if (found.cFileName[0] < L'0' || found.cFileName[0] > L'9')
                continue;
            const std::string cmdline = ReadAll(dir + L"\\cmdline");
            if (cmdline.find(needle) == std::string::npos)
                continue;
            const std::string stat = ReadAll(dir + L"\\stat");
            const size_t close = stat.rfind(')');
            if (close == std::string::npos)
                continue;
            // Fields after the name: state is 3, utime 14 and stime 15.
            unsigned long long field[16] = {};
            const char* p = stat.c_str() + close + 2;
            char state = 0;
            std::sscanf(p, "%c %llu %llu %llu %llu %llu %llu %llu %llu %llu %llu %llu %llu", &state,
                        &field[4], &field[5], &field[6], &field[7], &field[8], &field[9],
                        &field[10], &field[11], &field[12], &field[13], &field[14], &field[15]);
            result = (field[14] + field[15]) * 10.0;
        } while (FindNextFileW(find, &found));
        FindClose(find);
        return result;
    }
    static std::string Narrow(const std::wstring& w) {
        std::string out;
        for (wchar_t c : w)
            out += static_cast<char>(c == L'\\' ? '\\' : c);
        return out;
    }
    static std::string ReadAll(const std::wstring& path) {
        HANDLE f = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                               nullptr, OPEN_EXISTING, 0, nullptr);
        if (f == INVALID_HANDLE_VALUE)
            return {};
        std::string out;
        char buffer[4096];
        DWORD n = 0;
        while (ReadFile(f, buffer, sizeof buffer, &n, nullptr) && n > 0)
            out.append(buffer, n);
        CloseHandle(f);
        for (char& c : out) {
            if (c == '\0')
                c = ' ';
        }
        return out;
    }

    std::wstring folder_;
    PROCESS_INFORMATION pi_{};
    HWND window_ = nullptr;
};

// Milliseconds from each press that shows the hidden window until it is
// painted; the press after hides it again.
bool MeasureShows(const Program& p, int presses, std::vector<double>& out) {
    HWND w = p.Window();
    // Ready once the program has published its single-instance mapping,
    // which both programs do after registering the hotkey.
    const bool ready = WaitFor(
        [] {
            HANDLE m = OpenFileMappingW(FILE_MAP_READ, FALSE, L"Pinatrove");
            if (m)
                CloseHandle(m);
            return m != nullptr;
        },
        20s);
    if (!w || !ready || !WaitFor([&] { return !IsWindowVisible(w); }, 10s)) {
        std::fprintf(stderr, "no hidden window to start from (%p, ready %d)\n",
                     static_cast<void*>(w), ready);
        return false;
    }
    for (int i = 0; i < presses; ++i) {
        const auto start = Clock::now();
        PressHotkey();
        if (!WaitFor([&] { return Painted(w); }, 10s)) {
            RECT r{};
            GetWindowRect(w, &r);
            std::fprintf(stderr, "press %d: not shown and painted (visible %d, %ld %ld %ld %ld)\n",
                         i, IsWindowVisible(w), r.left, r.top, r.right, r.bottom);
            return false;
        }
        out.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        // The hide is not measured; a press that got lost is repeated.
        bool hidden = false;
        for (int tries = 0; tries < 5 && !hidden; ++tries) {
            PressHotkey();
            hidden = WaitFor([&] { return !IsWindowVisible(w); }, 2s);
        }
        if (!hidden) {
            std::fprintf(stderr, "press %d: not hidden again\n", i);
            return false;
        }
        Sleep(50);
    }
    return true;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::max(1, atoi(argv[1])) : 5;
    const int presses = argc > 2 ? std::max(1, atoi(argv[2])) : 10;
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring base =
        std::wstring(temp) + L"pt-bench-runtime-" + std::to_wstring(GetCurrentProcessId());
    const std::wstring app = WindowsPath(PT_APP_EXE), bare = WindowsPath(PT_BARE_EXE);
    RECT work;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    // The mouse away from the panel and the left edge.
    SetCursorPos(work.right - 5, work.bottom - 5);

    // 1. Hotkey to painted. The two programs take turns: only one of them
    // can hold the hotkey at a time.
    // A settings file holds every key it uses: absent ones read as off.
    const std::string hotkey =
        R"("Shortcutkey":{"RegFailTips":0,"Pinatrove":{"bEnable":1,"HotKey":"Ctrl + `"}},)"
        R"("Skin":{"background-color":-657931,"style-mac":0,"border-radius":1})";
    const std::string hidden = R"({"Action":{"HideAfterStartup":1,"DockPanel":0},)" + hotkey + "}";
    std::vector<double> appTimes, bareTimes;
    for (int i = 0; i < rounds; ++i) {
        {
            Program b(bare, base + L"-b" + std::to_wstring(i), "");
            if (!MeasureShows(b, presses, bareTimes)) {
                std::fprintf(stderr, "bare round %d failed\n", i);
                return 1;
            }
        }
        {
            Program a(app, base + L"-a" + std::to_wstring(i), hidden);
            if (!MeasureShows(a, presses, appTimes)) {
                std::fprintf(stderr, "panel round %d failed\n", i);
                return 1;
            }
        }
    }
    const double ma = Median(appTimes), mb = Median(bareTimes);
    std::printf("hotkey to painted window, median of %d presses\n", rounds * presses);
    std::printf("  bare window: %.1f ms\n  Pinatrove:   %.1f ms\n  ratio:       %.2f\n", mb, ma,
                ma / mb);

    // 2. CPU while parked and slid away at the left edge.
    const std::string docked =
        R"({"Action":{"DockPanel":1},"General":{"PosRemember":{"bEnable":1,)"
        R"("PosLast":{"xPos":0,"yPos":100}}},"More":{"Easing":{"bEnable":1,"Speed":25}},)" +
        hotkey + "}";
    Program a(app, base + L"-cpu-a", docked);
    Program b(bare, base + L"-cpu-b", "");
    HWND w = a.Window();
    RECT r{};
    const bool parked = w && WaitFor(
                                 [&] {
                                     GetWindowRect(w, &r);
                                     return r.right <= work.left + 2;
                                 },
                                 10s);
    if (!parked) {
        std::fprintf(stderr, "the panel did not slide away\n");
        return 1;
    }
    Sleep(500);
    const double a0 = a.CpuMs(), b0 = b.CpuMs();
    const auto t0 = Clock::now();
    Sleep(10000);
    const double wall = std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
    const double a1 = a.CpuMs(), b1 = b.CpuMs();
    if (a0 < 0 || a1 < 0 || b0 < 0 || b1 < 0) {
        std::fprintf(stderr, "no process times to read\n");
        return 1;
    }
    std::printf("  (cumulative: Pinatrove %.0f ms, bare %.0f ms)\n", a1, b1);
    std::printf("CPU over %.1f s, panel parked and slid away\n", wall / 1000);
    std::printf("  bare window: %.1f ms (%.3f %% of a core)\n", b1 - b0, 100 * (b1 - b0) / wall);
    std::printf("  Pinatrove:   %.1f ms (%.3f %% of a core)\n", a1 - a0, 100 * (a1 - a0) / wall);
    return 0;
}
