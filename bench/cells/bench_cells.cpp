// Grid cell benchmark: building the cells of N items (default 10,000) in a
// panel-sized window's item grid with the shipped cell template, the way the
// panel builds them at start, then painting the first frame; and what the
// process keeps for them (private bytes and working set).
//
//   names    baseline: the cells with their names only, no image
//   eager    every icon's PNG decoded into a bitmap as the cell is made
//   lazy     the PNG bytes kept (one copy per distinct image, shared by the
//            cells that show the same bytes), decoded when first painted
//   shared   lazy, with the items showing 64 icons between them
//
// The icons are real ones (the shell's own, 40 × 40 PNGs); unless shared,
// each item gets bytes of its own (a private chunk with its number), as in a
// launcher where every program shows its own icon. The image bytes the icon
// store would hold are made before the first measurement, so only what the
// cells keep is counted. Each variant runs in a fresh process (a heap that
// already grew would hide what a variant costs), interleaved, median of runs.
//
// Usage: bench_cells [items] [runs]   (run under the test Wine session)
#include <windows.h>
#include <objbase.h>
#include <psapi.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <unordered_map>
#include <vector>

#include "base/crc32.h"
#include "base/text.h"
#include "launcher/icons.h"
#include "toolkit/graphics.h"
#include "toolkit/list_view.h"
#include "toolkit/toolkit.h"
#include "toolkit/window.h"

namespace {

using Clock = std::chrono::steady_clock;
using namespace pt;

constexpr int kIconCount = 64;

double Ms(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

std::string ReadSource(const std::string& name) {
    std::ifstream in(std::string("Z:") + PT_RES_ARCHIVE_DIR + "/" + name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

struct Memory {
    double privateKb = 0;
    double workingKb = 0;
};

Memory Now() {
    PROCESS_MEMORY_COUNTERS_EX pmc{};
    pmc.cb = sizeof(pmc);
    ::GetProcessMemoryInfo(::GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&pmc),
                           sizeof(pmc));
    // Wine leaves PrivateUsage at 0 and reports the committed private memory
    // as the page file usage, which Windows counts the same.
    const SIZE_T committed = pmc.PrivateUsage ? pmc.PrivateUsage : pmc.PagefileUsage;
    return Memory{committed / 1024.0, pmc.WorkingSetSize / 1024.0};
}

void PutBigEndian(std::string& s, uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8)
        s.push_back(static_cast<char>((v >> shift) & 0xFF));
}

// The PNG with a private ancillary chunk carrying `n` before its IEND:
// other bytes, the same picture.
std::string Numbered(const std::string& png, uint32_t n) {
    if (png.size() < 12)
        return png;
    std::string chunk = "ptIx";
    PutBigEndian(chunk, n);
    std::string out = png.substr(0, png.size() - 12);
    PutBigEndian(out, 4);
    out += chunk;
    PutBigEndian(out, Crc32(chunk.data(), chunk.size()));
    out.append(png, png.size() - 12, 12);
    return out;
}

struct Figures {
    double buildMs = 0;
    double paintMs = 0;
    double privateKb = 0;  // kept after the build
    double workingKb = 0;
    double privateAfterPaintKb = 0;
    double storeKb = 0;  // the image bytes the icon store would hold
    double decodes = 0;
};

// One variant in this process; the figures go to `out`.
int Child(const std::string& mode, int items, const std::string& out) {
    ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    if (!InitToolkit())
        return 1;
    ItemTemplate t;
    if (!ParseItemTemplate(ReadSource("layout/item/listview.main.xml"), t))
        return 1;
    std::vector<std::string> icons;
    for (int i = 0; static_cast<int>(icons.size()) < kIconCount && i < 400; ++i) {
        std::string png = ExtractIconPng(kFallbackIconFile, i, true, 1.0f);
        if (!png.empty())
            icons.push_back(std::move(png));
    }
    if (icons.empty())
        return 1;
    // What the icon store holds: one image per item, or the 64 shared.
    std::vector<std::string> store;
    const bool distinct = mode != "shared";
    for (int i = 0; distinct && i < items; ++i)
        store.push_back(Numbered(icons[i % icons.size()], static_cast<uint32_t>(i)));
    if (!distinct)
        store = icons;
    Figures f;
    for (const std::string& s : store)
        f.storeKb += s.size() / 1024.0;

    WindowOptions o;
    o.x = 40;
    o.y = 40;
    o.width = 810;
    o.height = 610;
    o.exStyle = WS_EX_TOOLWINDOW;
    Window* window = Window::Create(o);
    if (!window)
        return 1;
    ListView* list = window->Root().Add<ListView>();
    list->SetWidth(SizeSpec::Fill());
    list->SetHeight(SizeSpec::Fill());
    list->SetPadding(10, 10, 10, 10);
    list->SetTemplate(t);
    list->SetSpacing(5, 5);
    window->AdjustLayout();

    // The panel's cell images by a hash of their bytes (LauncherView::CellIcon).
    std::unordered_map<size_t, std::weak_ptr<EncodedImage>> known;
    const auto lazyIcon = [&known](std::string png) -> std::shared_ptr<Image> {
        const size_t hash = std::hash<std::string_view>{}(png);
        if (auto image = known[hash].lock(); image && image->Bytes() == png)
            return image;
        auto image = EncodedImage::FromBytes(std::make_shared<const std::string>(std::move(png)));
        known[hash] = image;
        return image;
    };

    const uint64_t decodesBefore = ImageDecodeCount();
    const Memory before = Now();
    const auto start = Clock::now();
    for (int i = 0; i < items; ++i) {
        ListItem cell;
        cell.texts["name"] = "项目 " + std::to_string(i);
        if (mode != "names") {
            // The store hands out a copy of its bytes (ResolveGridIcon).
            std::string png = store[i % store.size()];
            if (mode == "eager")
                cell.images["icon"] = RasterImage::FromBytes(png.data(), png.size());
            else
                cell.images["icon"] = lazyIcon(std::move(png));
        }
        list->AddItem(std::move(cell));
    }
    f.buildMs = Ms(Clock::now() - start);
    const Memory built = Now();
    window->ShowWindow(SW_SHOWNA);
    const auto paintStart = Clock::now();
    window->PaintNow();
    f.paintMs = Ms(Clock::now() - paintStart);
    const Memory painted = Now();
    f.privateKb = built.privateKb - before.privateKb;
    f.workingKb = built.workingKb - before.workingKb;
    f.privateAfterPaintKb = painted.privateKb - before.privateKb;
    f.decodes = static_cast<double>(ImageDecodeCount() - decodesBefore);

    FILE* file = std::fopen(out.c_str(), "w");
    if (!file)
        return 1;
    std::fprintf(file, "%f %f %f %f %f %f %f\n", f.buildMs, f.paintMs, f.privateKb, f.workingKb,
                 f.privateAfterPaintKb, f.storeKb, f.decodes);
    std::fclose(file);
    window->Destroy();
    ShutdownToolkit();
    return 0;
}

bool RunChild(const std::string& mode, int items, Figures* f) {
    wchar_t self[MAX_PATH];
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    wchar_t temp[MAX_PATH];
    ::GetTempPathW(MAX_PATH, temp);
    const std::string out = FromWide(temp) + "bench_cells_" + mode + ".txt";
    ::DeleteFileW(ToWide(out).c_str());
    std::wstring command = L"\"" + std::wstring(self) + L"\" --child " + ToWide(mode) + L" " +
                           std::to_wstring(items) + L" \"" + ToWide(out) + L"\"";
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi{};
    if (!::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &si, &pi))
        return false;
    ::WaitForSingleObject(pi.hProcess, INFINITE);
    ::CloseHandle(pi.hThread);
    ::CloseHandle(pi.hProcess);
    FILE* file = std::fopen(out.c_str(), "r");
    if (!file)
        return false;
    const int n =
        std::fscanf(file, "%lf %lf %lf %lf %lf %lf %lf", &f->buildMs, &f->paintMs, &f->privateKb,
                    &f->workingKb, &f->privateAfterPaintKb, &f->storeKb, &f->decodes);
    std::fclose(file);
    ::DeleteFileW(ToWide(out).c_str());
    return n == 7;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 5 && std::strcmp(argv[1], "--child") == 0)
        return Child(argv[2], std::max(1, std::atoi(argv[3])), argv[4]);
    const int items = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10000;
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
    const char* modes[] = {"names", "eager", "lazy", "shared"};
    std::vector<Figures> all[4];
    for (int r = 0; r < runs; ++r) {
        for (int m = 0; m < 4; ++m) {
            Figures f;
            if (!RunChild(modes[m], items, &f)) {
                std::printf("the %s run failed\n", modes[m]);
                return 1;
            }
            all[m].push_back(f);
        }
    }
    const auto median = [&](int m, double Figures::*field) {
        std::vector<double> v;
        for (const Figures& f : all[m])
            v.push_back(f.*field);
        return Median(v);
    };
    const double baseBuild = std::max(0.001, median(0, &Figures::buildMs));
    const double basePrivate = std::max(1.0, median(0, &Figures::privateKb));
    std::printf("grid cells of %d items (median of %d runs; memory kept after the build)\n", items,
                runs);
    std::printf("  %-8s %9s %7s %9s %10s %8s %10s %9s %8s\n", "", "build ms", "ratio", "frame ms",
                "private KB", "ratio", "working KB", "+painted", "decodes");
    for (int m = 0; m < 4; ++m) {
        std::printf("  %-8s %9.1f %6.2fx %9.1f %10.0f %7.2fx %10.0f %9.0f %8.0f\n", modes[m],
                    median(m, &Figures::buildMs), median(m, &Figures::buildMs) / baseBuild,
                    median(m, &Figures::paintMs), median(m, &Figures::privateKb),
                    median(m, &Figures::privateKb) / basePrivate, median(m, &Figures::workingKb),
                    median(m, &Figures::privateAfterPaintKb), median(m, &Figures::decodes));
    }
    std::printf("  image bytes in the store: %.0f KB distinct, %.0f KB shared\n",
                median(1, &Figures::storeKb), median(3, &Figures::storeKb));
    return 0;
}
