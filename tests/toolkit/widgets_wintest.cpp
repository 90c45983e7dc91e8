// The slider and the tooltip window under mouse messages: a press on the
// track and a drag of the thumb with their change events, the settings
// page's snapping done in the change handler, the thumb's state images;
// a tooltip's size, lines, placement at the work-area edges, its one-at-a-
// time rule and its going on a press or when the hover leaves its element.
#include <gtest/gtest.h>

#include <windows.h>

#include <vector>

#include "support/desktop.h"
#include "toolkit/back_buffer.h"
#include "toolkit/graphics.h"
#include "toolkit/ui_probe.h"
#include "toolkit/slider.h"
#include "toolkit/tooltip.h"
#include "toolkit_test_util.h"

namespace pt {
namespace {

using test::MakeTestWindow;
using test::WorkArea;

LPARAM At(int x, int y) {
    return MAKELPARAM(x, y);
}

// The easing speed row of the settings page: 0..25, 150 × 25, thumb 20 × 20,
// snapped to multiples of 5 by its change handler, speed = position + 5.
struct SpeedRow {
    Window* window = nullptr;
    Slider* slider = nullptr;
    std::vector<int> changes;
    int speed = 25;
};

void BuildSpeedRow(SpeedRow& row) {
    row.window = MakeTestWindow(100, 100, 300, 100);
    if (!row.window)
        return;
    row.window->Root().SetPadding(20, 20, 20, 20);
    row.slider = row.window->Root().Add<Slider>();
    row.slider->SetFixedSize(150, 25);
    row.slider->SetRange(0, 25);
    row.slider->SetThumbSize(20, 20);
    row.slider->SetPosition(20);
    row.slider->On(
        ElementEvent::kSliderChange, [&row](Element& e, const ElementEventArgs& a, bool&) {
            const int position = static_cast<int>(a.wParam);
            row.changes.push_back(position);
            const int snapped = position % 5 >= 3 ? position / 5 * 5 + 5 : position / 5 * 5;
            static_cast<Slider&>(e).SetPosition(snapped);
            row.speed = snapped + 5;
        });
    row.window->AdjustLayout();
}

TEST(SliderTest, TrackPressJumpsDragMovesAndTheHandlerSnaps) {
    SpeedRow row;
    BuildSpeedRow(row);
    ASSERT_TRUE(row.slider);
    const HWND h = row.window->Hwnd();
    const Rect r = row.slider->WindowRect();
    ASSERT_EQ(r, (Rect{20, 20, 170, 45}));
    // Thumb at 20 of 25: offset 104 of 130.
    EXPECT_EQ(row.slider->ThumbRect(), (Rect{124, 22, 144, 42}));
    const int y = 32;
    // Press on the track where position 13's thumb centre is (offset 68).
    ::SendMessageW(h, WM_MOUSEMOVE, 0, At(r.left + 78, y));
    ::SendMessageW(h, WM_LBUTTONDOWN, MK_LBUTTON, At(r.left + 78, y));
    EXPECT_EQ(row.changes, (std::vector<int>{13}));
    EXPECT_EQ(row.slider->Position(), 15) << "13 snaps to 15";
    EXPECT_EQ(row.speed, 20);
    EXPECT_EQ(row.slider->ThumbState(), VisualState::kPressed);
    // Dragged on to position 11's place: snaps to 10.
    ::SendMessageW(h, WM_MOUSEMOVE, MK_LBUTTON, At(r.left + 65, y));
    ::SendMessageW(h, WM_LBUTTONUP, 0, At(r.left + 65, y));
    EXPECT_EQ(row.changes, (std::vector<int>{13, 11}));
    EXPECT_EQ(row.slider->Position(), 10);
    EXPECT_EQ(row.speed, 15);
    EXPECT_EQ(row.slider->ThumbState(), VisualState::kHover) << "released on the thumb";
    // Dragged far past the end: 25, speed 30; from code: no event.
    const size_t events = row.changes.size();
    const Rect thumb = row.slider->ThumbRect();
    ::SendMessageW(h, WM_LBUTTONDOWN, MK_LBUTTON, At(thumb.left + 5, y));
    EXPECT_EQ(row.changes.size(), events) << "a press on the thumb does not move it";
    ::SendMessageW(h, WM_MOUSEMOVE, MK_LBUTTON, At(400, y));
    ::SendMessageW(h, WM_LBUTTONUP, 0, At(400, y));
    EXPECT_EQ(row.slider->Position(), 25);
    EXPECT_EQ(row.speed, 30);
    row.changes.clear();
    row.slider->SetPosition(3);
    EXPECT_TRUE(row.changes.empty());
    EXPECT_EQ(probe::Read(*row.slider).value, 3);
    // Disabled: presses do nothing.
    row.slider->SetEnabled(false);
    ::SendMessageW(h, WM_LBUTTONDOWN, MK_LBUTTON, At(r.left + 140, y));
    ::SendMessageW(h, WM_LBUTTONUP, 0, At(r.left + 140, y));
    EXPECT_EQ(row.slider->Position(), 3);
    EXPECT_TRUE(row.changes.empty());
    EXPECT_EQ(row.slider->ThumbState(), VisualState::kDisabled);
    row.window->Destroy();
}

TEST(SliderTest, ThumbImagesFollowTheState) {
    SpeedRow row;
    BuildSpeedRow(row);
    ASSERT_TRUE(row.slider);
    auto dot =
        SvgImage::FromBytes("<svg viewBox='0 0 20 20'><circle cx='10' cy='10' r='8'/></svg>");
    ASSERT_TRUE(dot);
    auto normal = dot->Clone();
    normal->SetFill(MakeColor(255, 0, 0));
    auto hover = dot->Clone();
    hover->SetFill(MakeColor(0, 0, 255));
    row.slider->SetThumbImage(VisualState::kNormal, normal);
    row.slider->SetThumbImage(VisualState::kHover, hover);
    const auto centrePixel = [&] {
        row.window->PaintNow();
        const Point c = test::Centre(row.slider->ThumbRect());
        return row.window->BackBuffer().At(c.x, c.y);
    };
    EXPECT_EQ(centrePixel(), 0xFFFF0000u) << "normal: red";
    const Point c = test::Centre(row.slider->ThumbRect());
    ::SendMessageW(row.window->Hwnd(), WM_MOUSEMOVE, 0, At(c.x, c.y));
    EXPECT_EQ(centrePixel(), 0xFF0000FFu) << "hover: blue";
    ::SendMessageW(row.window->Hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, At(c.x, c.y));
    EXPECT_EQ(centrePixel(), 0xFF0000FFu) << "pressed without its own image: the hover one";
    ::SendMessageW(row.window->Hwnd(), WM_LBUTTONUP, 0, At(c.x, c.y));
    row.window->Destroy();
}

// Draws into a fresh transparent buffer through a canvas, as a window does.
template <typename Paint>
PixelBuffer PaintBuffer(int width, int height, Paint paint) {
    PixelBuffer buf(width, height);
    Gdiplus::Bitmap bmp(width, height, width * 4, PixelFormat32bppPARGB,
                        reinterpret_cast<BYTE*>(buf.Data()));
    Gdiplus::Graphics g(&bmp);
    g.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
    Canvas canvas(g);
    paint(canvas, g);
    g.Flush(Gdiplus::FlushIntentionSync);
    return buf;
}

int PartialPixels(const PixelBuffer& b) {
    int n = 0;
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x)
            n += PixelAlpha(b.At(x, y)) > 0 && PixelAlpha(b.At(x, y)) < 255;
    return n;
}

TEST(SmoothShapesTest, CirclesCornersAndIconsGetSoftEdgesInPlace) {
    const Color teal = -6842624;  // a skin button's dot
    const uint32_t opaque = 0xFF000000u | (ColorRed(teal) << 16) | (ColorGreen(teal) << 8) |
                            static_cast<uint32_t>(ColorBlue(teal));
    // A 44-pixel dot: smooth rim, solid middle, nothing outside its box.
    PixelBuffer dot = PaintBuffer(60, 60, [&](Canvas& c, Gdiplus::Graphics&) {
        c.FillRoundRect(Rect::FromSize(8, 8, 44, 44), 22, teal);
    });
    EXPECT_GT(PartialPixels(dot), 60) << "anti-aliased rim";
    EXPECT_EQ(dot.At(30, 30), opaque);
    EXPECT_EQ(dot.At(29, 10), opaque) << "just inside the rim, where the corners meet";
    EXPECT_EQ(PixelAlpha(dot.At(8, 8)), 0) << "the box's corner is outside the circle";
    EXPECT_EQ(PixelAlpha(dot.At(7, 30)), 0);
    EXPECT_EQ(PixelAlpha(dot.At(52, 30)), 0);
    // Drawn in place: the leftmost and rightmost pixels of the middle row are
    // both nearly covered (a shift by a pixel would empty one of them).
    EXPECT_GT(PixelAlpha(dot.At(8, 30)), 160);
    EXPECT_GT(PixelAlpha(dot.At(51, 30)), 160);

    // A button's rounded rectangle: no seams where corners meet the sides.
    PixelBuffer box = PaintBuffer(100, 40, [&](Canvas& c, Gdiplus::Graphics&) {
        c.FillRoundRect(Rect{0, 0, 100, 40}, 3, teal);
    });
    for (int x = 3; x < 97; ++x)
        ASSERT_EQ(box.At(x, 0), opaque) << x;
    for (int y = 3; y < 37; ++y)
        ASSERT_EQ(box.At(0, y), opaque) << y;
    EXPECT_LT(PixelAlpha(box.At(0, 0)), 128);

    // A large icon: its circle has a soft rim too (GDI+ under Wine has none).
    auto icon = SvgImage::FromBytes(
        "<svg viewBox='0 0 20 20'><circle cx='10' cy='10' r='8' fill='none' stroke='#000' "
        "stroke-width='1.5'/></svg>");
    ASSERT_TRUE(icon);
    PixelBuffer big = PaintBuffer(110, 110, [&](Canvas& c, Gdiplus::Graphics&) {
        c.DrawImage(*icon, Rect::FromSize(5, 5, 100, 100));
    });
    EXPECT_GT(PartialPixels(big), 200);
    EXPECT_EQ(PixelAlpha(big.At(55, 55)), 0) << "a ring, hollow";
    EXPECT_EQ(PixelAlpha(big.At(55, 5 + 10)), 255) << "on the ring: r 8 of 10, at 100 px";
    int outside = 0;
    for (int y = 0; y < 110; ++y)
        for (int x = 0; x < 110; ++x)
            if (x < 5 || y < 5 || x >= 105 || y >= 105)
                outside += PixelAlpha(big.At(x, y)) != 0;
    EXPECT_EQ(outside, 0);
}

TEST(TooltipTest, SizedFromItsLinesAndKeptInsideTheWorkArea) {
    const std::string text = "文件名：记事本\r\n位置：C:\\Windows\\notepad.exe\r\n参数：/a";
    Window* tip = ShowTooltip(text, Rect{300, 300, 380, 380});
    ASSERT_TRUE(tip);
    EXPECT_EQ(CurrentTooltip(), tip);
    wchar_t cls[64] = {};
    ::GetClassNameW(tip->Hwnd(), cls, 64);
    EXPECT_STREQ(cls, kTooltipWindowClass);
    EXPECT_TRUE(::GetWindowLongW(tip->Hwnd(), GWL_EXSTYLE) & WS_EX_NOACTIVATE);
    EXPECT_TRUE(tip->IsVisible());
    EXPECT_NE(::GetForegroundWindow(), tip->Hwnd());
    const std::vector<Element*> lines = probe::FindAll(tip->Root(), "tooltip.line");
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(probe::Read(*lines[1]).text, "位置：C:\\Windows\\notepad.exe");
    int widest = 0;
    int total = 0;
    for (Element* line : lines) {
        widest = std::max(widest, line->WindowRect().Width());
        total += line->WindowRect().Height();
    }
    const Rect r = tip->GetRect();
    EXPECT_EQ(r.Width(), widest + 16);
    EXPECT_EQ(r.Height(), total + 16);
    EXPECT_EQ(r.left, 300);
    EXPECT_EQ(r.top, 382) << "below the anchor";

    // At the work area's corners it stays inside (and replaces the last one).
    const Rect work = WorkArea();
    const Rect corners[] = {
        {work.right - 10, work.bottom - 10, work.right, work.bottom},
        {work.left - 50, work.top, work.left + 5, work.top + 5},
        {work.right - 5, work.top, work.right + 40, work.top + 20},
    };
    for (const Rect& anchor : corners) {
        Window* t = ShowTooltip(text, anchor);
        ASSERT_TRUE(t);
        const Rect placed = t->GetRect();
        EXPECT_GE(placed.left, work.left);
        EXPECT_GE(placed.top, work.top);
        EXPECT_LE(placed.right, work.right);
        EXPECT_LE(placed.bottom, work.bottom);
        EXPECT_EQ(probe::FindWindows(kTooltipWindowClass).size(), 1u) << "one at a time";
    }
    HideTooltip();
    EXPECT_EQ(CurrentTooltip(), nullptr);
    EXPECT_TRUE(probe::FindWindows(kTooltipWindowClass).empty());
    EXPECT_EQ(ShowTooltip("", Rect{0, 0, 10, 10}), nullptr);
}

TEST(TooltipTest, GoesWhenTheHoverLeavesItsElementOrAButtonIsPressed) {
    Window* w = MakeTestWindow(100, 100, 300, 200);
    ASSERT_TRUE(w);
    w->ShowWindow(SW_SHOWNA);
    w->Root().SetHorizontal(true);
    auto* skin = w->Root().Add<Button>();
    skin->SetFixedSize(40, 40);
    skin->SetTooltip("换肤");
    auto* other = w->Root().Add<Button>();
    other->SetFixedSize(40, 40);
    w->AdjustLayout();
    const auto moveTo = [&](Element& e) {
        const Point c = test::Centre(e.WindowRect());
        ::SendMessageW(w->Hwnd(), WM_MOUSEMOVE, 0, At(c.x, c.y));
    };
    moveTo(*skin);
    ASSERT_TRUE(ShowTooltip(skin->Tooltip(), skin->ScreenRect(), skin));
    moveTo(*skin);
    EXPECT_TRUE(CurrentTooltip()) << "moving on its own element keeps it";
    moveTo(*other);
    EXPECT_FALSE(CurrentTooltip()) << "leaving its element hides it";

    ASSERT_TRUE(ShowTooltip(skin->Tooltip(), skin->ScreenRect(), skin));
    moveTo(*skin);
    const Point c = test::Centre(skin->WindowRect());
    ::SendMessageW(w->Hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, At(c.x, c.y));
    ::SendMessageW(w->Hwnd(), WM_LBUTTONUP, 0, At(c.x, c.y));
    EXPECT_FALSE(CurrentTooltip()) << "a press hides it";

    // Destroyed with the window it belongs to.
    ASSERT_TRUE(ShowTooltip(skin->Tooltip(), skin->ScreenRect(), skin));
    HWND tip = CurrentTooltip()->Hwnd();
    w->Destroy();
    EXPECT_FALSE(::IsWindow(tip));
    EXPECT_EQ(CurrentTooltip(), nullptr);
}

}  // namespace
}  // namespace pt
