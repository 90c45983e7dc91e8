// Launcher data benchmark: from the files on disk to a loaded model whose
// every grid entry has its image bytes, as the panel does at start, and the
// verification the panel runs once it shows.
//
//   warm  data\Data of N items (default 10,000) as this program saves it and
//         a data\Cache that holds every icon: icon store load + data load
//         (items taken on trust, each grid entry's icon resolved from the
//         cache), then verification in the panel's slices, then Save. The
//         same items in an older file (no usable types) show the load where
//         every item asks the disk.
//   cold  200 items and no cache: every icon extracted through the shell.
//
// The baseline is the floor of any loader: reading data\Data and parsing it
// into a document, nothing else. Targets are real files, folders, web
// addresses, shell objects and missing files, so the file system is asked
// what it would be asked at a real start. Medians of interleaved runs.
//
// Usage: bench_launcher [items] [runs]   (run under the test Wine session)
#include <windows.h>
#include <objbase.h>
#include <objidl.h>
#include <shellapi.h>
#include <gdiplus.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "base/atomic_file.h"
#include "base/text.h"
#include "doc/json_document.h"
#include "launcher/icon_cache.h"
#include "launcher/icons.h"
#include "launcher/launcher_data.h"

namespace pt {
namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double, std::milli>(to - from).count();
}

// CPU time of this thread (user + kernel): on a busy machine the wall clock
// also counts the time other processes had the processor.
double ThreadCpuMs() {
    FILETIME created, exited, kernel, user;
    ::GetThreadTimes(::GetCurrentThread(), &created, &exited, &kernel, &user);
    auto ms = [](FILETIME t) {
        return static_cast<double>(static_cast<ULONGLONG>(t.dwHighDateTime) << 32 |
                                   t.dwLowDateTime) /
               10000.0;
    };
    return ms(kernel) + ms(user);
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

constexpr float kScale = 1.0f;
constexpr int kCategories = 10;
constexpr int kGroups = 10;

void MakeFile(const std::string& path) {
    HANDLE file = ::CreateFileW(ToWide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE)
        ::CloseHandle(file);
}

// One folder of targets and one data folder per item count.
struct Setup {
    std::string root;
    std::string dataFolder;
    std::vector<ItemRecord> items;
};

// A mix like a real panel: mostly programs and documents that exist, some
// folders, web addresses, shell objects and targets that are gone.
Setup MakeSetup(const std::string& name, int count) {
    wchar_t temp[MAX_PATH];
    ::GetTempPathW(MAX_PATH, temp);
    Setup setup;
    setup.root = FromWide(temp) + "pt_bench_launcher_" + name;
    setup.dataFolder = setup.root + "\\data";
    ::CreateDirectoryW(ToWide(setup.root).c_str(), nullptr);
    ::CreateDirectoryW(ToWide(setup.root + "\\apps").c_str(), nullptr);
    ::CreateDirectoryW(ToWide(setup.root + "\\dirs").c_str(), nullptr);
    static const char* const kExtensions[] = {".exe", ".txt", ".docx", ".png", ".exe"};
    for (int i = 0; i < count; ++i) {
        ItemRecord item;
        item.name = "项目 " + std::to_string(i);
        const int kind = i % 20;
        if (kind < 16) {
            item.path = setup.root + "\\apps\\app" + std::to_string(i) + kExtensions[i % 5];
            MakeFile(item.path);
            if (i % 7 == 0)
                item.param = "--option " + std::to_string(i);
            if (i % 11 == 0)
                item.workDir = "C:\\work";
            if (i % 13 == 0)
                item.remarks = "备注 " + std::to_string(i);
        } else if (kind == 16) {
            item.path = setup.root + "\\dirs\\dir" + std::to_string(i);
            ::CreateDirectoryW(ToWide(item.path).c_str(), nullptr);
        } else if (kind == 17) {
            item.path = "https://example.com/page" + std::to_string(i);
        } else if (kind == 18) {
            item.path = "::{20D04FE0-3AEA-1069-A2D8-08002B30309D}";
        } else {
            item.path = setup.root + "\\gone\\old" + std::to_string(i) + ".exe";
        }
        setup.items.push_back(std::move(item));
    }
    return setup;
}

// data\Data with the items spread over 10 categories of 10 groups, as an
// older version left it: every type unknown, so each item takes the full
// canonical add at load.
void WriteOldDataFile(const Setup& setup) {
    JsonDocument document;
    const int perGroup =
        std::max<int>(1, static_cast<int>(setup.items.size()) / (kCategories * kGroups));
    size_t next = 0;
    for (int c = 0; c < kCategories; ++c) {
        const std::string classPath = "class[" + std::to_string(c) + "]";
        document.SetText(classPath + ".name", "分类" + std::to_string(c));
        for (int g = 0; g < kGroups; ++g) {
            const std::string groupPath = classPath + ".group[" + std::to_string(g) + "]";
            document.SetText(groupPath + ".name", "分组" + std::to_string(g));
            for (int i = 0; i < perGroup && next < setup.items.size(); ++i, ++next) {
                const ItemRecord& item = setup.items[next];
                const std::string itemPath = groupPath + ".item[" + std::to_string(i) + "]";
                document.SetText(itemPath + ".type", "?");
                document.SetText(itemPath + ".name", item.name);
                document.SetText(itemPath + ".path", item.path);
                if (!item.param.empty())
                    document.SetText(itemPath + ".param", item.param);
                if (!item.workDir.empty())
                    document.SetText(itemPath + ".WorkDir", item.workDir);
                if (!item.remarks.empty())
                    document.SetText(itemPath + ".remarks", item.remarks);
            }
        }
    }
    EnsureDirectory(setup.dataFolder);
    WriteFileAtomic(setup.dataFolder + "\\Data", document.Serialize());
}

// The same data as this program saves it (what a real start finds).
void WriteSavedDataFile(const Setup& setup) {
    WriteOldDataFile(setup);
    LauncherData data(MakeFileLauncherDataStorage(setup.dataFolder), MakeShellLauncherSystem());
    data.Load();
    data.Save();
}

// Resolves each new grid entry's icon through the store, as the grid does,
// and again for an entry that verification refreshed.
class GridBuilder final : public LauncherObserver {
  public:
    explicit GridBuilder(IconStore& store) : store_(store) {}
    void OnItemAdded(int, int, int, const ItemLook& item) override {
        GridIcon icon = ResolveGridIcon(store_, item.record.icon, item.record.path, kScale);
        ++entries;
        if (icon.png.empty())
            ++empty;
        bytes += icon.png.size();
    }
    void OnItemRefreshed(int, int, int, const ItemLook& item) override {
        // The new source is counted before the old one goes.
        GridIcon icon = ResolveGridIcon(store_, item.record.icon, item.record.path, kScale);
        store_.Release(icon.source);
        ++refreshed;
    }
    void OnClassAdded(int, std::string_view) override {}
    void OnGroupAdded(int, int, std::string_view) override {}
    void OnClassRemoved(int) override {}
    void OnGroupRemoved(int, int) override {}
    void OnItemRemoved(int, int, int) override {}
    void OnGroupCleared(int, int) override {}
    void OnClassMoved(int, int) override {}
    void OnGroupMoved(int, int, int) override {}
    void OnItemMoved(int, int, int, int) override {}
    void OnGroupMovedToClass(int, int, int, int) override {}
    void OnClassRenamed(int, std::string_view) override {}
    void OnGroupRenamed(int, int, std::string_view) override {}
    void OnSelected(int, int) override {}

    int entries = 0;
    int empty = 0;
    int refreshed = 0;
    size_t bytes = 0;

  private:
    IconStore& store_;
};

// data\Cache holding an image for every item's icon source: what a previous
// run leaves behind.
void WriteWarmCache(const Setup& setup) {
    LauncherData data(MakeFileLauncherDataStorage(setup.dataFolder), MakeShellLauncherSystem());
    data.Load();
    while (data.VerifySome(1000)) {
    }
    const std::string png = ExtractIconPng(kFallbackIconFile, 0, true, kScale);
    IconImages images;
    for (int c = 0; c < data.ClassCount(); ++c) {
        for (int g = 0; g < data.GroupCount(c); ++g) {
            for (int i = 0; i < data.ItemCount(c, g); ++i) {
                ItemRecord item = *data.Item(c, g, i);
                std::string source = item.icon.empty() ? item.path : item.icon;
                images[IconKeyOf(source, kScale)] = png;
            }
        }
    }
    WriteFileAtomic(setup.dataFolder + "\\Cache", *SerializeIconCache(images));
}

// The panel's verification slices (launcher_view_win.cpp): batches of 16
// items until 4 ms of the tick are used.
constexpr int kVerifyBatch = 16;
constexpr double kVerifySliceMs = 4;

struct Run {
    double baseline = 0;  // read + parse data\Data
    double model = 0;     // data load without icons
    double oldModel = 0;  // the same from the older file: every item asks the disk
    double cache = 0;     // icon store load
    double load = 0;      // data load with every grid entry's icon
    double verify = 0;    // every slice of verification together
    double slice = 0;     // the longest slice
    int slices = 0;
    int refreshed = 0;  // entries that verification changed
    double save = 0;    // data\Data written
    double cacheSave = 0;
    double cpu = 0;  // thread CPU time of cache + load
    int entries = 0;
    int empty = 0;
    bool extracted = false;  // some icon was not in the cache
};

double ModelLoadMs(const Setup& setup) {
    const Clock::time_point start = Clock::now();
    LauncherData model(MakeFileLauncherDataStorage(setup.dataFolder), MakeShellLauncherSystem());
    model.Load();
    return Ms(start, Clock::now());
}

Run RunOnce(const Setup& setup, bool warm) {
    Run run;
    const std::string cacheFile = setup.dataFolder + "\\Cache";
    if (warm) {
        WriteOldDataFile(setup);
        run.oldModel = ModelLoadMs(setup);
        WriteSavedDataFile(setup);
    } else {
        WriteOldDataFile(setup);
        ::DeleteFileW(ToWide(cacheFile).c_str());
    }

    Clock::time_point start = Clock::now();
    {
        std::string bytes;
        ReadWholeFile(setup.dataFolder + "\\Data", &bytes);
        JsonDocument document;
        document.ParseBytes(bytes);
    }
    run.baseline = Ms(start, Clock::now());
    run.model = ModelLoadMs(setup);

    const double cpuStart = ThreadCpuMs();
    start = Clock::now();
    IconCacheFile cache(cacheFile);
    IconStore store([](std::string_view source) { return IconKeyOf(source, kScale); }, &cache);
    store.Load();
    Clock::time_point cached = Clock::now();
    LauncherData data(MakeFileLauncherDataStorage(setup.dataFolder), MakeShellLauncherSystem());
    GridBuilder grid(store);
    data.SetObserver(&grid);
    data.Load();
    Clock::time_point loaded = Clock::now();
    run.cpu = ThreadCpuMs() - cpuStart;
    run.extracted = store.SavePending();  // only a new image schedules a cache save

    for (bool more = data.UnverifiedCount() > 0; more;) {
        const Clock::time_point sliceStart = Clock::now();
        double elapsed = 0;
        while (more && elapsed < kVerifySliceMs) {
            more = data.VerifySome(kVerifyBatch);
            elapsed = Ms(sliceStart, Clock::now());
        }
        run.verify += elapsed;
        run.slice = std::max(run.slice, elapsed);
        ++run.slices;
    }
    run.refreshed = grid.refreshed;

    Clock::time_point saving = Clock::now();
    data.Save();
    Clock::time_point saved = Clock::now();
    if (!warm) {
        store.Save();
        run.cacheSave = Ms(saved, Clock::now());
    }
    run.cache = Ms(start, cached);
    run.load = Ms(cached, loaded);
    run.save = Ms(saving, saved);
    run.entries = grid.entries;
    run.empty = grid.empty;
    return run;
}

void RemoveTree(const std::string& folder) {
    std::wstring from = ToWide(folder);
    from.push_back(L'\0');
    SHFILEOPSTRUCTW op{};
    op.wFunc = FO_DELETE;
    op.pFrom = from.c_str();
    op.fFlags = FOF_NO_UI;
    ::SHFileOperationW(&op);
}

}  // namespace
}  // namespace pt

int main(int argc, char** argv) {
    using namespace pt;
    const int items = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10000;
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 7;
    ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    // The program's UI keeps GDI+ running for its whole life, so an icon
    // conversion there never pays for GDI+'s start; neither does it here.
    ULONG_PTR gdiplus = 0;
    Gdiplus::GdiplusStartupInput gdiplusInput;
    Gdiplus::GdiplusStartup(&gdiplus, &gdiplusInput, nullptr);

    Setup warm = MakeSetup("warm", items);
    WriteSavedDataFile(warm);
    WriteWarmCache(warm);
    Setup cold = MakeSetup("cold", 200);

    std::vector<double> baseline, model, oldModel, cache, load, total, cpu, verify, slice, save,
        coldLoad, coldCacheSave;
    int slices = 0, refreshed = 0;
    bool complete = true;
    for (int r = 0; r < runs; ++r) {
        Run w = RunOnce(warm, true);
        baseline.push_back(w.baseline);
        model.push_back(w.model);
        oldModel.push_back(w.oldModel);
        cpu.push_back(w.cpu);
        cache.push_back(w.cache);
        load.push_back(w.load);
        total.push_back(w.cache + w.load);
        verify.push_back(w.verify);
        slice.push_back(w.slice);
        slices = w.slices;
        refreshed = w.refreshed;
        save.push_back(w.save);
        complete = complete && w.entries == items && w.empty == 0 && !w.extracted;
        Run c = RunOnce(cold, false);
        coldLoad.push_back(c.cache + c.load + c.verify);
        coldCacheSave.push_back(c.cacheSave);
    }

    const double base = std::max(0.001, Median(baseline));
    auto line = [base](const char* what, double ms) {
        std::printf("  %-44s %8.1f ms  %6.1fx the baseline\n", what, ms, ms / base);
    };
    std::printf("launcher data, %d items, warm icon cache (median of %d runs)\n", items, runs);
    std::printf("  %-44s %8.1f ms\n", "read + parse data\\Data only (baseline)", base);
    line("data load without icons (model only)", Median(model));
    line("  the same from an older file (all verified)", Median(oldModel));
    line("icon cache load", Median(cache));
    line("data load, every grid icon resolved", Median(load));
    line("to a loaded model (goal <= 150 ms)", Median(total));
    line("  of which CPU time of this thread", Median(cpu));
    line("verification after the show, all slices", Median(verify));
    line("  its longest slice", Median(slice));
    std::printf("  %-44s %8d slices, %d entries refreshed\n", "", slices, refreshed);
    line("save data\\Data", Median(save));
    if (!complete)
        std::printf("  WARNING: not every grid entry was served from the cache\n");
    std::printf("launcher data, 200 items, cold icon cache\n");
    std::printf("  load with every icon extracted           %8.1f ms  (%.2f ms per item)\n",
                Median(coldLoad), Median(coldLoad) / 200);
    std::printf("  save data\\Cache                         %8.1f ms\n", Median(coldCacheSave));

    RemoveTree(warm.root);
    RemoveTree(cold.root);
    Gdiplus::GdiplusShutdown(gdiplus);
    ::CoUninitialize();
    return complete ? 0 : 1;
}
