// Start-up benchmark: how long from process start until the panel is visible
// and painted, against the bare window program, as ratios of medians, for
// the default panel and for generated launcher data:
//
//   default        no data folder
//   cached 1000    1,000 .exe items in one group, every icon in data\Cache
//   distinct 1000  the same, every cached image made different (as the
//                  icons of real programs are), so no two cells share bytes
//   mixed 1000     a quarter each .exe, folder, web address and document on
//                  a drive that is gone; its first start (empty cache: the
//                  time to paint and the time until every icon is in) and
//                  its second start (the cache the first one wrote)
//
// "Painted" is read off the screen: the pixel in the middle of the window's
// lower half shows the panel background. "Every icon in" asks the program's
// worker windows how much they have left (kWorkerOutstandingQuery). The
// working set is the process's once it is painted and every icon is in.
// Each run starts from a fresh copy of the exe in a folder of its own.
//
// Usage: bench_startup [runs] [data folder]   (default 9 runs; under the
// test Wine session). With a data folder, that folder's Data and Cache are
// measured (as a second start) instead of the generated cases.
#include <windows.h>
#include <psapi.h>
#include <shellapi.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "base/crc32.h"
#include "launcher/background_worker.h"
#include "launcher/icon_cache.h"

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

// Icons the process still waits for: the sum over its worker windows; -1
// when it has none (the bare window, or no icon was ever asked for).
int Outstanding(DWORD pid) {
    int total = -1;
    HWND w = nullptr;
    while ((w = FindWindowExW(HWND_MESSAGE, w, pt::kWorkerWindowClass, nullptr)) != nullptr) {
        DWORD owner = 0;
        GetWindowThreadProcessId(w, &owner);
        DWORD_PTR left = 0;
        if (owner == pid && SendMessageTimeoutW(w, pt::kWorkerOutstandingQuery, 0, 0,
                                                SMTO_ABORTIFHUNG, 1000, &left)) {
            total = std::max(total, 0) + static_cast<int>(left);
        }
    }
    return total;
}

struct Run {
    double painted = -1;   // ms until painted
    double complete = -1;  // ms until every icon was in
    double workingSetMb = 0;
    std::vector<std::pair<std::string, double>> stages;  // marks, ms since process creation
    std::vector<double> stageMb;                         // working set at each mark
};

// The program's stage marks (PT_STARTUP_STAGES), "name ms MB" a line.
void ReadStages(const std::wstring& file, Run* run) {
    FILE* f = _wfopen(file.c_str(), L"r");
    if (!f)
        return;
    char line[256];
    while (std::fgets(line, sizeof line, f)) {
        std::string text(line);
        const size_t last = text.find_last_of(' ');
        const size_t space = last == std::string::npos ? last : text.find_last_of(' ', last - 1);
        if (space == std::string::npos)
            continue;
        run->stages.emplace_back(text.substr(0, space), std::atof(text.c_str() + space + 1));
        run->stageMb.push_back(std::atof(text.c_str() + last + 1));
    }
    std::fclose(f);
}

void DeleteTree(const std::wstring& folder) {
    std::wstring from = folder + L'\0';
    SHFILEOPSTRUCTW op{};
    op.wFunc = FO_DELETE;
    op.pFrom = from.c_str();
    op.fFlags = FOF_NO_UI | FOF_NOCONFIRMATION | FOF_SILENT;
    SHFileOperationW(&op);
}

// One start of exe in folder (whose data\ is left as prepared).
Run RunOnce(const std::wstring& source, const std::wstring& folder, bool waitForIcons) {
    Run run;
    CreateDirectoryW(folder.c_str(), nullptr);
    const std::wstring exe = folder + L"\\" + source.substr(source.find_last_of(L'\\') + 1);
    const std::wstring stagesFile = folder + L"\\stages.txt";
    DeleteFileW(stagesFile.c_str());
    SetEnvironmentVariableW(L"PT_STARTUP_STAGES", stagesFile.c_str());
    CopyFileW(source.c_str(), exe.c_str(), FALSE);
    std::wstring commandLine = L"\"" + exe + L"\"";
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    const auto start = Clock::now();
    if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.c_str(), &si, &pi)) {
        return run;
    }
    const auto since = [&] {
        return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    };
    HWND window = nullptr;
    while (Clock::now() - start < std::chrono::seconds(30)) {
        if (!window)
            window = WindowOf(pi.dwProcessId);
        if (window && Painted(window)) {
            run.painted = since();
            break;
        }
        if (WaitForSingleObject(pi.hProcess, 1) == WAIT_OBJECT_0)
            break;
    }
    if (run.painted >= 0 && waitForIcons) {
        while (Clock::now() - start < std::chrono::seconds(30)) {
            if (Outstanding(pi.dwProcessId) <= 0) {
                run.complete = since();
                break;
            }
            Sleep(2);
        }
    }
    if (run.painted >= 0) {
        // Settled: what stays resident, not the peak of the start.
        Sleep(300);
        PROCESS_MEMORY_COUNTERS counters{};
        counters.cb = sizeof counters;
        if (GetProcessMemoryInfo(pi.hProcess, &counters, sizeof counters))
            run.workingSetMb = counters.WorkingSetSize / (1024.0 * 1024.0);
    }
    if (window)
        PostMessageW(window, WM_CLOSE, 1, 0);
    if (WaitForSingleObject(pi.hProcess, 10000) != WAIT_OBJECT_0)
        TerminateProcess(pi.hProcess, 1);
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    ReadStages(stagesFile, &run);
    return run;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

bool WriteUtf8(const std::wstring& file, const std::string& text) {
    HANDLE h = CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    const bool ok = WriteFile(h, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
                    written == text.size();
    CloseHandle(h);
    return ok;
}

bool ReadAll(const std::wstring& file, std::string* bytes) {
    HANDLE h = CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    LARGE_INTEGER size{};
    bool ok = GetFileSizeEx(h, &size) != 0;
    bytes->assign(ok ? static_cast<size_t>(size.QuadPart) : 0, '\0');
    DWORD read = 0;
    ok = ok && ReadFile(h, bytes->data(), static_cast<DWORD>(bytes->size()), &read, nullptr) &&
         read == bytes->size();
    CloseHandle(h);
    return ok;
}

void PutBigEndian(std::string& out, uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out += static_cast<char>((v >> shift) & 0xFF);
}

// Rewrites a cache so that each image differs from every other: a text
// chunk naming its key goes after the PNG's header chunk (decoders skip it).
bool MakeImagesDistinct(const std::wstring& cacheFile) {
    std::string bytes;
    if (!ReadAll(cacheFile, &bytes))
        return false;
    std::optional<pt::IconImages> images = pt::ParseIconCache(bytes);
    if (!images || images->empty())
        return false;
    constexpr size_t kAfterHeader = 8 + 25;  // the signature and the IHDR chunk
    for (auto& [key, png] : *images) {
        if (png.size() <= kAfterHeader)
            continue;
        const std::string body = std::string("tEXtComment") + '\0' + std::to_string(key);
        std::string chunk;
        PutBigEndian(chunk, static_cast<uint32_t>(body.size() - 4));
        chunk += body;
        PutBigEndian(chunk, pt::Crc32(body.data(), body.size()));
        png.insert(kAfterHeader, chunk);
    }
    std::optional<std::string> out = pt::SerializeIconCache(*images);
    return out && WriteUtf8(cacheFile, *out);
}

std::string Narrow(const std::wstring& text) {
    std::string out;
    for (wchar_t c : text)
        out += static_cast<char>(c);  // the bench's own folders are ASCII
    return out;
}

std::string JsonPath(const std::wstring& path) {
    std::string out;
    for (char c : Narrow(path)) {
        if (c == '\\')
            out += "\\\\";
        else
            out += c;
    }
    return out;
}

// data\Data of one group holding `count` items made by item(i).
std::string DataText(int count, const std::function<std::string(int)>& item) {
    std::string text = "{\"class\":[{\"name\":\"bench\",\"group\":[{\"name\":\"items\",\"item\":[";
    for (int i = 0; i < count; ++i) {
        if (i)
            text += ',';
        text += item(i);
    }
    return text + "]}]}]}";
}

std::string Item(const std::string& type, int i, const std::string& path,
                 const std::string& icon = "") {
    std::string text = "{\"type\":\"" + type + "\",\"name\":\"item " + std::to_string(i) +
                       "\",\"path\":\"" + path + "\"";
    if (!icon.empty())
        text += ",\"icon\":\"" + icon + "\"";
    return text + "}";
}

// The targets the generated items point at: small files named .exe (the
// shell gives them the generic program icon) and empty folders.
void MakeTargets(const std::wstring& targets, int count) {
    CreateDirectoryW(targets.c_str(), nullptr);
    for (int i = 0; i < count; ++i) {
        WriteUtf8(targets + L"\\app" + std::to_wstring(i) + L".exe", "MZ");
        CreateDirectoryW((targets + L"\\folder" + std::to_wstring(i)).c_str(), nullptr);
    }
}

std::string ExeItems(const std::wstring& targets, int count) {
    return DataText(count, [&](int i) {
        return Item(".exe", i, JsonPath(targets + L"\\app" + std::to_wstring(i) + L".exe"));
    });
}

std::string MixedItems(const std::wstring& targets, int count) {
    return DataText(count, [&](int i) {
        const std::string n = std::to_string(i);
        switch (i % 4) {
            case 0:
                return Item(".exe", i, JsonPath(targets + L"\\app" + std::to_wstring(i) + L".exe"));
            case 1:
                return Item("folder", i, JsonPath(targets + L"\\folder" + std::to_wstring(i)));
            case 2:
                return Item("url", i, "https://example" + n + ".com/",
                            "%SystemRoot%\\\\system32\\\\url.dll,0");
            default:  // a drive that is gone
                return Item(".docx", i, "Q:\\\\gone\\\\report" + n + ".docx");
        }
    });
}

void CopyData(const std::wstring& from, const std::wstring& folder) {
    CreateDirectoryW(folder.c_str(), nullptr);
    CreateDirectoryW((folder + L"\\data").c_str(), nullptr);
    for (const wchar_t* name : {L"\\Data", L"\\Cache", L"\\Settings"})
        CopyFileW((from + name).c_str(), (folder + L"\\data" + name).c_str(), FALSE);
}

struct Series {
    explicit Series(const char* label) : name(label) {}
    const char* name;
    std::vector<double> painted, complete, workingSet;
    std::vector<std::pair<std::string, std::vector<double>>> stages;  // each stage's own length
    std::vector<std::vector<double>> growth;  // MB the working set grew by in each stage
    void Add(const Run& r) {
        painted.push_back(r.painted);
        if (r.complete >= 0)
            complete.push_back(r.complete);
        workingSet.push_back(r.workingSetMb);
        double previous = 0, previousMb = 0;
        for (size_t i = 0; i < r.stages.size(); ++i) {
            if (stages.size() <= i) {
                stages.emplace_back(r.stages[i].first, std::vector<double>());
                growth.emplace_back();
            }
            if (stages[i].first == r.stages[i].first) {
                stages[i].second.push_back(r.stages[i].second - previous);
                growth[i].push_back(r.stageMb[i] - previousMb);
            }
            previous = r.stages[i].second;
            previousMb = r.stageMb[i];
        }
    }
};

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 9;
    const std::wstring given = argc > 2 ? WindowsPath(argv[2]) : std::wstring();
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring base =
        std::wstring(temp) + L"pt-bench-" + std::to_wstring(GetCurrentProcessId());
    const std::wstring app = WindowsPath(PT_APP_EXE), bare = WindowsPath(PT_BARE_EXE);
    const std::wstring targets = base + L"-targets";
    constexpr int kItems = 1000;

    // Data folders to copy from: a given one as it is; the cached case
    // primed by one start that extracts every icon and writes data\Cache.
    std::wstring cachedData = base + L"-cached";
    std::wstring distinctData = base + L"-distinct";
    std::wstring mixedData = base + L"-mixed";
    if (given.empty()) {
        MakeTargets(targets, kItems);
        CreateDirectoryW(cachedData.c_str(), nullptr);
        CreateDirectoryW((cachedData + L"\\data").c_str(), nullptr);
        WriteUtf8(cachedData + L"\\data\\Data", ExeItems(targets, kItems));
        // Twice: a worker that reports nothing left while its last answers
        // are still on their way would leave the first start's cache short,
        // and every measured run would extract what is missing.
        for (int pass = 0; pass < 2; ++pass) {
            if (RunOnce(app, cachedData, true).complete < 0) {
                std::fprintf(stderr, "priming the cached case failed\n");
                return 1;
            }
        }
        cachedData += L"\\data";
        CopyData(cachedData, distinctData);
        distinctData += L"\\data";
        if (!MakeImagesDistinct(distinctData + L"\\Cache")) {
            std::fprintf(stderr, "making the cached images distinct failed\n");
            return 1;
        }
        CreateDirectoryW(mixedData.c_str(), nullptr);
        WriteUtf8(mixedData + L"\\Data", MixedItems(targets, kItems));
    } else {
        cachedData = given;
    }

    Series bareRuns{"bare window"}, defaults{"default panel"},
        cached{given.empty() ? "1,000 .exe, cached" : "given data"},
        distinct{"1,000 .exe, distinct"}, mixedFirst{"mixed, 1st start"},
        mixedSecond{"mixed, 2nd start"};
    RunOnce(bare, base + L"-warm", false);
    // Interleaved, so drift in the machine's load hits every case alike.
    for (int i = 0; i < runs; ++i) {
        const std::wstring n = std::to_wstring(i);
        Run b = RunOnce(bare, base + L"-b" + n, false);
        bareRuns.Add(b);
        Run d = RunOnce(app, base + L"-d" + n, true);
        defaults.Add(d);
        CopyData(cachedData, base + L"-c" + n);
        Run c = RunOnce(app, base + L"-c" + n, true);
        cached.Add(c);
        bool failed = b.painted < 0 || d.painted < 0 || c.painted < 0;
        if (given.empty()) {
            CopyData(distinctData, base + L"-i" + n);
            Run unshared = RunOnce(app, base + L"-i" + n, true);
            distinct.Add(unshared);
            CopyData(mixedData, base + L"-m" + n);
            Run first = RunOnce(app, base + L"-m" + n, true);
            Run second = RunOnce(app, base + L"-m" + n, true);  // the cache the first wrote
            mixedFirst.Add(first);
            mixedSecond.Add(second);
            failed = failed || unshared.painted < 0 || first.painted < 0 || second.painted < 0;
        }
        for (const wchar_t* f : {L"-b", L"-d", L"-c", L"-i", L"-m"})
            DeleteTree(base + f + n);
        if (failed) {
            std::fprintf(stderr, "run %d failed\n", i);
            return 1;
        }
    }
    DeleteTree(base + L"-warm");
    if (given.empty()) {
        DeleteTree(base + L"-cached");
        DeleteTree(base + L"-distinct");
        DeleteTree(mixedData);
        DeleteTree(targets);
    }

    const double bareMs = Median(bareRuns.painted);
    const double bareWs = Median(bareRuns.workingSet);
    std::printf("start-up to painted window, median of %d interleaved runs\n", runs);
    std::printf("  %-20s %8s %7s %13s %12s\n", "case", "painted", "ratio", "icons all in",
                "working set");
    std::printf("  %-20s %6.0f ms %7s %13s %9.1f MB\n", bareRuns.name, bareMs, "1.00", "", bareWs);
    for (Series* s : {&defaults, &cached, &distinct, &mixedFirst, &mixedSecond}) {
        if (s->painted.empty())
            continue;
        const double ms = Median(s->painted);
        char complete[32] = "";
        if (!s->complete.empty())
            std::snprintf(complete, sizeof complete, "%.0f ms", Median(s->complete));
        std::printf("  %-20s %6.0f ms %7.2f %13s %9.1f MB (+%.1f)\n", s->name, ms, ms / bareMs,
                    complete, Median(s->workingSet), Median(s->workingSet) - bareWs);
    }
    std::printf(
        "\nby stage (median ms of each stage's own length and MB the working set grew\n"
        "by in it; the first stage counts from process creation, the bare window\n"
        "paints at %.0f ms):\n",
        bareMs);
    std::printf("  %-26s", "");
    for (Series* s : {&defaults, &cached, &distinct, &mixedSecond})
        std::printf(" %20s", s->name);
    std::printf("\n");
    for (const auto& [name, lengths] : defaults.stages) {
        std::printf("  %-26s", name.c_str());
        for (Series* s : {&defaults, &cached, &distinct, &mixedSecond}) {
            auto found = std::find_if(s->stages.begin(), s->stages.end(),
                                      [&name](const auto& stage) { return stage.first == name; });
            if (found == s->stages.end() || found->second.empty()) {
                std::printf(" %20s", "");
                continue;
            }
            const std::vector<double>& grown =
                s->growth[static_cast<size_t>(found - s->stages.begin())];
            std::printf(" %7.1f ms %+6.1f MB", Median(found->second),
                        grown.empty() ? 0.0 : Median(grown));
        }
        std::printf("\n");
    }
    return 0;
}
