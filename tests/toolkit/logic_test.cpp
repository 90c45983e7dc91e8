// The toolkit's pure pieces: layout arithmetic, button behaviour, frame
// zones and dragging, easing, handler lists, shadow and corner pixels.
#include <gtest/gtest.h>

#include <cmath>

#include "toolkit/back_buffer.h"
#include "toolkit/button_logic.h"
#include "toolkit/color.h"
#include "toolkit/easing.h"
#include "toolkit/frame_logic.h"
#include "toolkit/handler_list.h"
#include "toolkit/layout.h"

namespace pt {
namespace {

LayoutChild Child(SizeSpec w, SizeSpec h, Size content = {}) {
    return LayoutChild{w, h, content};
}

TEST(LayoutTest, VerticalFixedFitAndWeightShareTheRest) {
    BoxParams box;
    box.padding = Insets{10, 5, 8, 5};
    box.spacing = 4;
    const std::vector<LayoutChild> kids = {
        Child(SizeSpec::Fill(), SizeSpec::Fixed(40)),
        Child(SizeSpec::Auto(), SizeSpec::Auto(), Size{30, 12}),
        Child(SizeSpec::Fill(), SizeSpec::Weight(1)),
        Child(SizeSpec::Fixed(20), SizeSpec::Weight(2)),
    };
    const auto r = LayoutBoxChildren(Rect{0, 0, 200, 200}, box, kids);
    ASSERT_EQ(r.size(), 4u);
    EXPECT_EQ(r[0], (Rect{10, 5, 192, 45}));
    EXPECT_EQ(r[1], (Rect{10, 49, 40, 61}));  // fit content, start-aligned across
    // 190 high inside, 52 used, 12 spacing: 126 left, split 1:2.
    EXPECT_EQ(r[2].Height(), 42);
    EXPECT_EQ(r[3].Height(), 84);
    EXPECT_EQ(r[2].top, 65);
    EXPECT_EQ(r[3].bottom, 195);
    EXPECT_EQ(r[3].Width(), 20);
}

TEST(LayoutTest, HorizontalCentringAndRoundingRest) {
    BoxParams box;
    box.horizontal = true;
    box.alignV = Align::kCenter;
    box.spacing = 10;
    // Three weighted children in 100 px: 33 + 33 + 34 (the last takes the rest).
    auto r = LayoutBoxChildren(Rect{0, 0, 120, 40}, box,
                               {Child(SizeSpec::Weight(1), SizeSpec::Fixed(20)),
                                Child(SizeSpec::Weight(1), SizeSpec::Fill()),
                                Child(SizeSpec::Weight(1), SizeSpec::Fixed(10))});
    EXPECT_EQ(r[0].Width() + r[1].Width() + r[2].Width(), 100);
    EXPECT_EQ(r[2].right, 120);
    EXPECT_EQ(r[0].top, 10);  // 20 high centred in 40
    EXPECT_EQ(r[1], (Rect{r[1].left, 0, r[1].right, 40}));
    EXPECT_EQ(r[2].top, 15);

    // No weighted child: the run itself is aligned (end).
    box.alignH = Align::kEnd;
    r = LayoutBoxChildren(Rect{0, 0, 100, 20}, box,
                          {Child(SizeSpec::Fixed(20), SizeSpec::Fixed(20))});
    EXPECT_EQ(r[0].left, 80);
    box.alignH = Align::kCenter;
    r = LayoutBoxChildren(Rect{0, 0, 100, 20}, box,
                          {Child(SizeSpec::Fixed(20), SizeSpec::Fixed(20))});
    EXPECT_EQ(r[0].left, 40);
}

TEST(LayoutTest, OverfullBoxGivesWeightsNothingAndMeasureAddsUp) {
    BoxParams box;
    box.spacing = 5;
    box.padding = Insets{1, 2, 3, 4};
    const std::vector<LayoutChild> kids = {
        Child(SizeSpec::Fixed(50), SizeSpec::Fixed(80)),
        Child(SizeSpec::Auto(), SizeSpec::Weight(1), Size{70, 9})};
    const auto r = LayoutBoxChildren(Rect{0, 0, 60, 50}, box, kids);
    EXPECT_EQ(r[1].Height(), 0);
    EXPECT_EQ(MeasureBox(box, kids), (Size{70 + 4, 80 + 9 + 5 + 6}));
    box.horizontal = true;
    EXPECT_EQ(MeasureBox(box, kids), (Size{50 + 70 + 5 + 4, 80 + 6}));
    EXPECT_TRUE(LayoutBoxChildren(Rect{0, 0, 10, 10}, box, {}).empty());
}

TEST(ButtonBehaviourTest, ClickNeedsPressAndReleaseInside) {
    ButtonBehaviour b;
    EXPECT_EQ(b.State(), VisualState::kNormal);
    b.MouseEnter();
    EXPECT_EQ(b.State(), VisualState::kHover);
    EXPECT_TRUE(b.MouseDown());
    EXPECT_EQ(b.State(), VisualState::kPressed);
    b.MouseLeave();  // dragged off while held: no pressed look
    EXPECT_EQ(b.State(), VisualState::kNormal);
    EXPECT_FALSE(b.MouseUp(false).click);
    EXPECT_FALSE(b.MouseUp(true).click) << "a release without a press is no click";
    b.MouseDown();
    const ButtonOutcome out = b.MouseUp(true);
    EXPECT_TRUE(out.click);
    EXPECT_FALSE(out.checkChanged);
    EXPECT_EQ(b.State(), VisualState::kHover);
    b.MouseDown();
    b.CaptureLost();
    EXPECT_FALSE(b.MouseUp(true).click);
}

TEST(ButtonBehaviourTest, CheckRadioAndDisabled) {
    ButtonBehaviour check;
    check.SetCheckMode(true);
    check.MouseDown();
    EXPECT_TRUE(check.MouseUp(true).checkChanged);
    EXPECT_TRUE(check.Checked());
    EXPECT_EQ(check.State(), VisualState::kChecked) << "checked outranks hover";
    check.MouseDown();
    EXPECT_EQ(check.State(), VisualState::kPressed);
    check.MouseUp(false);
    check.MouseLeave();
    EXPECT_EQ(check.State(), VisualState::kChecked);
    check.MouseDown();
    EXPECT_TRUE(check.MouseUp(true).checkChanged);
    EXPECT_FALSE(check.Checked());

    ButtonBehaviour radio;
    radio.SetCheckMode(true);
    radio.SetRadio(true);
    radio.MouseDown();
    EXPECT_TRUE(radio.MouseUp(true).checkChanged);
    radio.MouseDown();
    const ButtonOutcome again = radio.MouseUp(true);
    EXPECT_TRUE(again.click);
    EXPECT_FALSE(again.checkChanged) << "a radio button never unchecks itself";
    EXPECT_TRUE(radio.Checked());

    radio.SetEnabled(false);
    EXPECT_EQ(radio.State(), VisualState::kDisabled);
    EXPECT_FALSE(radio.MouseDown());
    radio.MouseEnter();
    EXPECT_FALSE(radio.Hover());
}

TEST(FrameLogicTest, ZonesAndSwitches) {
    FrameMetrics m;
    m.frame = Rect{5, 5, 405, 305};
    m.dragBorder = Insets{5, 5, 5, 5};
    m.captionHeight = 40;
    EXPECT_EQ(HitFrame(m, {2, 100}), FrameZone::kNone);  // shadow band
    EXPECT_EQ(HitFrame(m, {6, 6}), FrameZone::kTopLeft);
    EXPECT_EQ(HitFrame(m, {404, 304}), FrameZone::kBottomRight);
    EXPECT_EQ(HitFrame(m, {6, 100}), FrameZone::kLeft);
    EXPECT_EQ(HitFrame(m, {200, 6}), FrameZone::kTop);
    EXPECT_EQ(HitFrame(m, {200, 20}), FrameZone::kCaption);
    EXPECT_EQ(HitFrame(m, {200, 45}), FrameZone::kClient);
    m.dragBorder = Insets{0, 0, 0, 0};  // sizes 0: no edges
    EXPECT_EQ(HitFrame(m, {6, 6}), FrameZone::kCaption);
    m.dragBorder = Insets{5, 5, 5, 5};
    m.dragBorderOn = false;
    EXPECT_EQ(HitFrame(m, {404, 200}), FrameZone::kClient);
    m.dragCaptionOn = false;
    EXPECT_EQ(HitFrame(m, {200, 20}), FrameZone::kClient);
}

TEST(FrameLogicTest, DragMovesAndResizesWithinMinimum) {
    const Rect start{100, 100, 600, 700};
    EXPECT_EQ(DragRect(start, FrameZone::kCaption, -30, 12), (Rect{70, 112, 570, 712}));
    EXPECT_EQ(DragRect(start, FrameZone::kBottomRight, 20, 30, Size{460, 590}),
              (Rect{100, 100, 620, 730}));
    // Shrinking stops at the minimum; the opposite edge stays.
    EXPECT_EQ(DragRect(start, FrameZone::kLeft, 300, 0, Size{460, 590}),
              (Rect{140, 100, 600, 700}));
    EXPECT_EQ(DragRect(start, FrameZone::kTop, 0, 500, Size{460, 590}), (Rect{100, 110, 600, 700}));
    EXPECT_EQ(DragRect(start, FrameZone::kTopRight, -1000, -5, Size{460, 590}),
              (Rect{100, 95, 560, 700}));
}

TEST(EasingTest, QuintEndpointsMonotonyAndDeceleration) {
    for (int mode = 0; mode < 3; ++mode) {
        EXPECT_DOUBLE_EQ(EaseQuint(0.0, mode), 0.0);
        EXPECT_DOUBLE_EQ(EaseQuint(1.0, mode), 1.0);
        EXPECT_DOUBLE_EQ(EaseQuint(-3.0, mode), 0.0);
        EXPECT_DOUBLE_EQ(EaseQuint(7.0, mode), 1.0);
        EXPECT_DOUBLE_EQ(EaseQuint(std::nan(""), mode), 0.0);
        double last = 0;
        for (int i = 1; i <= 100; ++i) {
            const double v = EaseQuint(i / 100.0, mode);
            EXPECT_GE(v, last);
            last = v;
        }
    }
    // Mode 1 starts fast: the first of 10 steps already covers over 40 %,
    // so a 600-pixel panel leaves its 1-pixel test at once.
    EXPECT_GT(EaseQuint(0.1, EaseMode::kOut), 0.4);
    EXPECT_LT(EaseQuint(0.1, EaseMode::kIn), 0.001);
    EXPECT_NEAR(EaseQuint(0.5, EaseMode::kInOut), 0.5, 1e-12);
}

TEST(HandlerListTest, OrderHandledRemovalAndSelfRemoval) {
    HandlerList<int> list;
    std::vector<std::string> log;
    const HandlerId a = list.Add([&](int v, bool&) { log.push_back("a" + std::to_string(v)); });
    HandlerId b = 0;
    b = list.Add([&](int v, bool&) {
        log.push_back("b" + std::to_string(v));
        list.Remove(b);  // removes itself while dispatching
        list.Add([&](int w, bool&) { log.push_back("late" + std::to_string(w)); });
    });
    list.Add([&](int v, bool& handled) {
        log.push_back("c" + std::to_string(v));
        handled = v == 2;
    });
    list.Add([&](int v, bool&) { log.push_back("d" + std::to_string(v)); });
    EXPECT_FALSE(list.Dispatch(1));
    EXPECT_EQ(log, (std::vector<std::string>{"a1", "b1", "c1", "d1"}));
    log.clear();
    EXPECT_TRUE(list.Dispatch(2));
    EXPECT_EQ(log, (std::vector<std::string>{"a2", "c2"}));  // handled stops d and late
    EXPECT_TRUE(list.Remove(a));
    EXPECT_FALSE(list.Remove(a));
    EXPECT_EQ(list.Count(), 3u);
    log.clear();
    list.Dispatch(3);
    EXPECT_EQ(log, (std::vector<std::string>{"c3", "d3", "late3"}));
    EXPECT_EQ(list.Add(nullptr), 0u);
}

TEST(BackBufferTest, ShadowFallsOffAndStaysUnderContent) {
    PixelBuffer buf(60, 40);
    const Rect frame{10, 10, 50, 30};
    // Opaque content in the frame.
    for (int y = frame.top; y < frame.bottom; ++y)
        for (int x = frame.left; x < frame.right; ++x)
            buf.Set(x, y, 0xFFF5F5F5u);
    ShadowParams s;
    s.size = 8;
    s.depth = 255;
    s.cornerSize = 5;
    s.rightAngled = true;
    CompositeShadowUnder(buf, frame, s);
    EXPECT_EQ(buf.At(20, 20), 0xFFF5F5F5u) << "content untouched";
    const int near = PixelAlpha(buf.At(9, 20));
    const int mid = PixelAlpha(buf.At(6, 20));
    const int far = PixelAlpha(buf.At(3, 20));
    EXPECT_GT(near, mid);
    EXPECT_GT(mid, far);
    EXPECT_EQ(PixelAlpha(buf.At(1, 20)), 0) << "beyond the shadow size";
    EXPECT_LE(near, 255 * 4 / 10 + 1);
    EXPECT_EQ(buf.At(9, 20) & 0x00FFFFFFu, 0u) << "black shadow";
    EXPECT_EQ(ShadowAlphaAt(8.0, s), 0);
    // Depth scales it.
    s.depth = 100;
    EXPECT_LT(ShadowAlphaAt(0.5, s), ShadowAlphaAt(0.5, ShadowParams{8, 255, 5, true, 0}));
}

TEST(BackBufferTest, RoundedCornersFadeOutAndShadowFollowsThem) {
    PixelBuffer buf(40, 40);
    const Rect frame{5, 5, 35, 35};
    for (int y = frame.top; y < frame.bottom; ++y)
        for (int x = frame.left; x < frame.right; ++x)
            buf.Set(x, y, 0xFFFFFFFFu);
    RoundFrameCorners(buf, frame, 6);
    EXPECT_EQ(PixelAlpha(buf.At(5, 5)), 0) << "the very corner is cut";
    EXPECT_EQ(buf.At(20, 5), 0xFFFFFFFFu) << "edge middle stays";
    EXPECT_EQ(buf.At(11, 11), 0xFFFFFFFFu);
    const uint32_t rim = buf.At(6, 7);
    EXPECT_GT(PixelAlpha(rim), 0);
    EXPECT_LT(PixelAlpha(rim), 255);
    // Premultiplied: no channel above alpha.
    EXPECT_LE((rim >> 16) & 255u, rim >> 24);
    ShadowParams s{5, 255, 6, false, MakeColor(0, 0, 0)};
    CompositeShadowUnder(buf, frame, s);
    EXPECT_GT(PixelAlpha(buf.At(5, 5)), 0) << "the rounded shadow fills the cut corner";
    EXPECT_EQ(PixelAlpha(buf.At(0, 0)), 0);
    // Out-of-buffer frames do not write outside.
    PixelBuffer small(4, 4);
    CompositeShadowUnder(small, Rect{-10, -10, 2, 2}, s);
    RoundFrameCorners(small, Rect{-10, -10, 2, 2}, 6);
}

TEST(BackBufferTest, BlendOverMixesPremultipliedPixelsInsideTheClipOnly) {
    PixelBuffer buf(6, 4);
    buf.Clear(0xFFFFFFFFu);
    // Opaque, half-covered red (premultiplied), clear and a faint dark pixel.
    const uint32_t picture[4] = {0xFF102030u, 0x80800000u, 0x00000000u, 0x40000000u};
    BlendOver(buf, Rect{0, 0, 6, 4}, picture, 2, 2, 1, 1);
    EXPECT_EQ(buf.At(1, 1), 0xFF102030u);
    EXPECT_EQ(buf.At(2, 1), 0xFFFF7F7Fu);  // 0x80 + 255 * 127 / 255 red, white kept at 127 / 255
    EXPECT_EQ(buf.At(1, 2), 0xFFFFFFFFu);
    EXPECT_EQ(buf.At(2, 2), 0xFFBFBFBFu);
    EXPECT_EQ(buf.At(0, 0), 0xFFFFFFFFu);
    // The clip and the buffer's edges cut the picture, wherever it lies.
    buf.Clear(0);
    BlendOver(buf, Rect{2, 0, 6, 4}, picture, 2, 2, 1, 0);
    EXPECT_EQ(buf.At(1, 0), 0u);
    EXPECT_EQ(buf.At(2, 0), 0x80800000u);
    BlendOver(buf, Rect{0, 0, 6, 4}, picture, 2, 2, -1, -1);
    EXPECT_EQ(buf.At(0, 0), 0x40000000u);
    BlendOver(buf, Rect{0, 0, 6, 4}, picture, 2, 2, 5, 3);
    EXPECT_EQ(buf.At(5, 3), 0xFF102030u);
}

TEST(ColorTest, AbgrLayoutAndDarkTest) {
    EXPECT_EQ(MakeColor(245, 245, 245), -657931);
    EXPECT_EQ(ColorRed(-12366369), 0xDF);
    EXPECT_EQ(ColorBlue(-12366369), 0x43);
    EXPECT_EQ(ToArgb(MakeColor(1, 2, 3, 4)), 0x04010203u);
    EXPECT_FALSE(IsDarkColor(-657931));
    EXPECT_TRUE(IsDarkColor(MakeColor(0, 0, 0)));
    EXPECT_TRUE(IsDarkColor(-11584460));  // "暗黑无界"
}

}  // namespace
}  // namespace pt
