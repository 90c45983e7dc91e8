// List view benchmark: the time to paint one whole frame of a panel-sized
// window whose item grid holds 10,000 items (scrolled to places all over the
// list), against the same window holding 100 items; also the time to add the
// items and to hit-test a point. The cell template and icon are the shipped
// ones, read from the source tree.
//
// Usage: bench_listview [frames]   (default 200; run under the test Wine session)
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "toolkit/graphics.h"
#include "toolkit/list_view.h"
#include "toolkit/toolkit.h"
#include "toolkit/window.h"

namespace {

using Clock = std::chrono::steady_clock;
using namespace pt;

std::string ReadSource(const std::string& name) {
    std::ifstream in(std::string("Z:") + PT_RES_ARCHIVE_DIR + "/" + name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

double Ms(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

struct Frames {
    double median = 0;
    double p95 = 0;
    int cells = 0;  // painted in the last frame
};

struct Grid {
    Window* window = nullptr;
    ListView* list = nullptr;
};

Grid MakeGrid(const ItemTemplate& t, const std::shared_ptr<Image>& icon, int items, double* addMs) {
    WindowOptions o;
    o.x = 40;
    o.y = 40;
    o.width = 810;
    o.height = 610;
    o.exStyle = WS_EX_TOOLWINDOW;
    Grid g;
    g.window = Window::Create(o);
    if (!g.window)
        return g;
    g.list = g.window->Root().Add<ListView>();
    g.list->SetWidth(SizeSpec::Fill());
    g.list->SetHeight(SizeSpec::Fill());
    g.list->SetPadding(10, 10, 10, 10);
    g.list->SetTemplate(t);
    g.list->SetSpacing(5, 5);
    g.window->AdjustLayout();
    const auto start = Clock::now();
    for (int i = 0; i < items; ++i) {
        ListItem item;
        item.texts["name"] = "项目 " + std::to_string(i);
        item.images["icon"] = icon;
        g.list->AddItem(std::move(item));
    }
    if (addMs)
        *addMs = Ms(Clock::now() - start);
    g.window->ShowWindow(SW_SHOWNA);
    return g;
}

enum class Motion {
    kStill,  // repaint in place (a hover change)
    kWheel,  // one row further each frame
    kJump,   // to a far place each frame (a dragged thumb)
};

Frames PaintFrames(Grid& g, int frames, Motion motion) {
    std::vector<double> times;
    const int max = g.list->MaxScrollY();
    const int row = g.list->ItemSize().height + 5;
    Frames f;
    for (int i = 0; i < frames; ++i) {
        if (motion == Motion::kWheel)
            g.list->SetScrollY(max == 0 ? 0 : (i * row) % (max + 1));
        else if (motion == Motion::kJump)
            g.list->SetScrollY(max == 0 ? 0 : static_cast<int>((i * 7919LL) % (max + 1)));
        const auto start = Clock::now();
        g.window->PaintNow();
        times.push_back(Ms(Clock::now() - start));
        f.cells = g.list->PaintedCellCount();
    }
    std::sort(times.begin(), times.end());
    f.median = times[times.size() / 2];
    f.p95 = times[times.size() * 95 / 100];
    return f;
}

void Print(const char* what, const Frames& f) {
    std::printf("%-44s median %6.2f ms, p95 %6.2f ms, %2d cells painted\n", what, f.median, f.p95,
                f.cells);
}

}  // namespace

int main(int argc, char** argv) {
    const int frames = argc > 1 ? std::max(10, std::atoi(argv[1])) : 200;
    if (!InitToolkit())
        return 1;
    ItemTemplate t;
    std::string error;
    if (!ParseItemTemplate(ReadSource("layout/item/listview.main.xml"), t, &error)) {
        std::printf("template: %s\n", error.c_str());
        return 1;
    }
    std::shared_ptr<Image> icon = SvgImage::FromBytes(ReadSource("res/appframework/app.svg"));
    if (!icon) {
        std::printf("no icon\n");
        return 1;
    }
    double addMs = 0;
    Grid big = MakeGrid(t, icon, 10000, &addMs);
    Grid small = MakeGrid(t, icon, 100, nullptr);
    Grid none = MakeGrid(t, icon, 0, nullptr);
    if (!big.list || !small.list || !none.list)
        return 1;
    // Warm up (fonts, glyph caches), then measure.
    PaintFrames(big, 10, Motion::kStill);
    PaintFrames(small, 10, Motion::kStill);
    PaintFrames(none, 10, Motion::kStill);
    const Frames empty = PaintFrames(none, frames, Motion::kStill);
    const Frames stillBig = PaintFrames(big, frames, Motion::kStill);
    const Frames stillSmall = PaintFrames(small, frames, Motion::kStill);
    const Frames wheel = PaintFrames(big, frames, Motion::kWheel);
    const Frames jump = PaintFrames(big, frames, Motion::kJump);
    const auto hitStart = Clock::now();
    long long hits = 0;
    for (int i = 0; i < 1000000; ++i)
        hits += big.list->HitTest(Point{i % 790, (i * 13) % 590}).Valid() ? 1 : 0;
    const double hitNs = Ms(Clock::now() - hitStart) * 1e6 / 1000000;
    Print("window without items (its own painting):", empty);
    Print("100 items, repainted in place:", stillSmall);
    Print("10,000 items, repainted in place:", stillBig);
    Print("10,000 items, one row further each frame:", wheel);
    Print("10,000 items, a far jump each frame:", jump);
    std::printf("ratio 10,000 / 100 items in place (median): %.2fx\n",
                stillBig.median / stillSmall.median);
    std::printf("adding 10,000 items: %.1f ms; hit test: %.0f ns (%lld hits)\n", addMs, hitNs,
                hits);
    big.window->Destroy();
    small.window->Destroy();
    none.window->Destroy();
    ShutdownToolkit();
    return 0;
}
