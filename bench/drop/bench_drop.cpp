// Drop benchmark: N files (default 1,000) dropped on a panel-sized window's
// item grid through the panel's drop target (DragEnter, then Drop with a
// file list data object), until the drop returns and the grid has painted
// its first frame with the new cells; icons excluded (no icon store), since
// their extraction is the icon resolver's work and follows the cells.
//
//   baseline  the same records (name and path) added straight to the
//             store, one AddItem each, cells and paint included
//   drop      the drop target: the file list read at full length, each
//             path named, classified and added the same way
//   read      of that, reading the file list alone (ReadDroppedFiles)
//
// Each variant starts from a fresh store and window; runs interleave and
// the median is printed, with the drop's ratio to the baseline.
//
// Usage: bench_drop [files] [runs]   (run under the test Wine session)
#include <windows.h>
#include <ole2.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "launcher/drop_import.h"
#include "launcher/launcher_data.h"
#include "panel/drop_target.h"
#include "panel/launcher_view.h"
#include "panel/panel_window.h"
#include "settings/settings_store.h"
#include "support/drop_source.h"
#include "support/temp_folder.h"
#include "toolkit/resource_archive.h"
#include "toolkit/toolkit.h"

namespace {

using Clock = std::chrono::steady_clock;
using namespace pt;

double Ms(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

bool LoadResources() {
    std::FILE* f = std::fopen((std::string("Z:") + PT_RESOURCES_ZIP_PATH).c_str(), "rb");
    if (!f)
        return false;
    std::vector<uint8_t> bytes;
    uint8_t buffer[65536];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, f)) > 0;)
        bytes.insert(bytes.end(), buffer, buffer + n);
    std::fclose(f);
    return ResourceArchive::Instance().LoadFromBytes(std::move(bytes));
}

// A store, its panel and the drop target, fresh for one run.
struct Panel {
    explicit Panel(const std::string& folder) {
        settings = std::make_unique<SettingsStore>(MakeFileSettingsStorage(folder, 600000));
        data = std::make_unique<LauncherData>(MakeFileLauncherDataStorage(folder, 600000),
                                              MakeShellLauncherSystem());
        LauncherViewServices vs;
        vs.data = data.get();
        vs.settings = settings.get();
        view = std::make_unique<LauncherView>(vs);
        PanelServices ps;
        ps.settings = settings.get();
        ps.content = view.get();
        window = std::make_unique<PanelWindow>(ps);
        ok = window->Create();
        if (ok) {
            window->Show();
            Window::FromHwnd(window->Handle())->PaintNow();
            target = MakePanelDropTarget(*data, *view);
        }
    }
    ~Panel() {
        target.Reset();
        if (Window* w = Window::FromHwnd(window->Handle()))
            w->Destroy();
    }
    void Paint() { Window::FromHwnd(window->Handle())->PaintNow(); }

    bool ok = false;
    std::unique_ptr<SettingsStore> settings;
    std::unique_ptr<LauncherData> data;
    std::unique_ptr<LauncherView> view;
    std::unique_ptr<PanelWindow> window;
    ComPtr<IDropTarget> target;
};

}  // namespace

int main(int argc, char** argv) {
    const int files = argc > 1 ? std::max(1, std::atoi(argv[1])) : 1000;
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
    ScopedOle ole;
    if (!InitToolkit() || !LoadResources()) {
        std::fprintf(stderr, "toolkit or resources missing\n");
        return 1;
    }
    test::TempFolder folder;
    const std::string dataFolder = folder.Folder("data");
    folder.Folder("files");
    std::vector<std::string> paths;
    for (int i = 0; i < files; ++i)
        paths.push_back(folder.MakeFile("files\\document " + std::to_string(i) + ".txt"));
    test::BlockData dropped;
    dropped.Put(CF_HDROP, test::FileList(paths));

    std::vector<double> baseline;
    std::vector<double> drop;
    std::vector<double> read;
    int added = 0;
    for (int run = 0; run < runs; ++run) {
        {
            Panel panel(dataFolder);
            if (!panel.ok)
                return 1;
            const Clock::time_point start = Clock::now();
            for (const std::string& path : paths) {
                ItemRecord record;
                record.name = DisplayNameFromPathAs(path, false, false);
                record.path = path;
                panel.data->AddItem(0, 0, record);
            }
            panel.Paint();
            baseline.push_back(Ms(Clock::now() - start));
        }
        {
            Panel panel(dataFolder);
            if (!panel.ok)
                return 1;
            const Clock::time_point start = Clock::now();
            DWORD effect = DROPEFFECT_COPY;
            panel.target->DragEnter(&dropped, 0, POINTL{0, 0}, &effect);
            effect = DROPEFFECT_COPY;
            panel.target->Drop(&dropped, 0, POINTL{0, 0}, &effect);
            panel.Paint();
            drop.push_back(Ms(Clock::now() - start));
            added = panel.data->ItemCount(0, 0);
        }
        const Clock::time_point start = Clock::now();
        const auto names = ReadDroppedFiles(&dropped);
        read.push_back(Ms(Clock::now() - start));
        if (!names || static_cast<int>(names->size()) != files)
            return 1;
    }
    const double b = Median(baseline);
    const double d = Median(drop);
    std::printf("%d files, median of %d runs (icons excluded)\n", files, runs);
    std::printf("  baseline (AddItem each)  %8.1f ms\n", b);
    std::printf("  drop target              %8.1f ms  (%d items, %.2fx the baseline)\n", d, added,
                b > 0 ? d / b : 0.0);
    std::printf("  of which reading the list %7.1f ms\n", Median(read));
    ShutdownToolkit();
    return added == files ? 0 : 1;
}
