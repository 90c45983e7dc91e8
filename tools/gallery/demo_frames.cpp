// The gallery's "frames" demo: a framed window with a caption, system buttons
// drawn from SVG icons, check tabs, a text and a footer, in the light look
// and on a dark background (PinatroveGallery.exe --demo frames).
#include <windows.h>

#include <chrono>
#include <cstdlib>
#include <string>

#include "toolkit/toolkit.h"
#include "toolkit/window.h"
#include "demos.h"

namespace pt {
namespace {

constexpr char kCloseSvg[] =
    "<svg viewBox='0 0 20 20'><path d='M5 5 L15 15 M15 5 L5 15' stroke='#000' stroke-width='1.6' "
    "stroke-linecap='round' fill='none'/></svg>";
constexpr char kMiniSvg[] =
    "<svg viewBox='0 0 20 20'><rect x='4' y='9.2' width='12' height='1.6' rx='0.8'/></svg>";
constexpr char kMenuSvg[] =
    "<svg viewBox='0 0 20 20'><path d='M5 8 l5 5 l5 -5' fill='none' stroke='#000' "
    "stroke-width='1.6' "
    "stroke-linejoin='round' stroke-linecap='round'/></svg>";
constexpr char kSkinSvg[] =
    "<svg viewBox='0 0 20 20'><path d='M7 3 L3 6 L5 9 L6 8 V17 H14 V8 L15 9 L17 6 L13 3 Q10 6 7 3 "
    "Z'/></svg>";

void AddIconButton(Element& bar, const char* name, const char* svg, bool dark, bool rotateOnHover,
                   Color hover) {
    auto* b = bar.Add<Button>();
    b->SetName(name);
    b->SetFixedSize(20, 20);
    b->SetTransparent(true);
    auto base = SvgImage::FromBytes(svg);
    if (!base)
        return;
    const Color normal = dark ? MakeColor(255, 255, 255, 225) : MakeColor(115, 115, 115);
    auto n = base->Clone();
    n->SetFill(normal);
    auto h = base->Clone();
    h->SetFill(dark ? MakeColor(255, 255, 255) : hover);
    h->SetRotate180(rotateOnHover);
    b->SetImage(VisualState::kNormal, n);
    b->SetImage(VisualState::kHover, h);
    if (std::string(name) == "close")
        b->SetButtonType(ButtonType::kClose);
}

Window* BuildDemo(int x, int y, Color background, bool roundCorners) {
    const bool dark = IsDarkColor(background);
    WindowOptions o;
    o.x = x;
    o.y = y;
    o.width = 520;
    o.height = 360;
    o.title = "Pinatrove";
    o.exStyle = WS_EX_TOOLWINDOW;
    Window* w = Window::Create(o);
    if (!w)
        return nullptr;
    w->SetTransparentAlpha(254);
    w->EnableLayoutOverlayBorder(true);
    w->SetBorderSize(0, 40, 0, 0);
    w->SetShadow(ShadowParams{5, 255, 5, !roundCorners, 0});
    w->SetBackground(Look::Fill(background));
    auto* titbar = w->Root().Add<Element>();
    titbar->SetName("titbar");
    titbar->SetHorizontal(true);
    titbar->SetWidth(SizeSpec::Fill());
    titbar->SetHeight(SizeSpec::Fixed(40));
    titbar->SetPadding(10, 0, 8, 0);
    titbar->SetSpacing(10);
    titbar->SetAlign(Align::kStart, Align::kCenter);
    Look bar = Look::Fill(background);
    if (!dark) {
        bar.borderSides = kBorderBottom;
        bar.borderColor = MakeColor(235, 235, 235);
    }
    titbar->SetLook(StateLook::Plain(bar));
    auto* title = titbar->Add<TextElement>("Pinatrove 设置");
    title->SetName("title");
    title->SetFont(Font::Create("微软雅黑", 10));
    title->SetTextColor(dark ? MakeColor(255, 255, 255) : MakeColor(60, 60, 60));
    titbar->Add<Element>()->SetWidth(SizeSpec::Weight(1));
    AddIconButton(*titbar, "skin", kSkinSvg, dark, false, MakeColor(0, 136, 255));
    auto* line = titbar->Add<Element>();
    line->SetName("line");
    line->SetFixedSize(1, 10);
    line->SetLookName("bkInfo_line");
    AddIconButton(*titbar, "menu", kMenuSvg, dark, true, MakeColor(0, 136, 255));
    AddIconButton(*titbar, "mini", kMiniSvg, dark, false, MakeColor(0, 136, 255));
    AddIconButton(*titbar, "close", kCloseSvg, dark, false, MakeColor(249, 120, 102));

    auto* body = w->Root().Add<Element>();
    body->SetHorizontal(true);
    body->SetWidth(SizeSpec::Fill());
    body->SetHeight(SizeSpec::Weight(1));
    auto* tabs = body->Add<Element>();
    tabs->SetWidth(SizeSpec::Fixed(105));
    tabs->SetHeight(SizeSpec::Fill());
    tabs->SetPadding(0, 10, 0, 0);
    tabs->SetLookName("border.right");
    const char* names[] = {"关于", "常规", "动作", "热键", "更多"};
    for (int i = 0; i < 5; ++i) {
        auto* t = tabs->Add<Button>(names[i]);
        t->SetLookName("label.setting");
        t->SetTextColor(MakeColor(100, 100, 100));
        t->SetWidth(SizeSpec::Fill());
        t->SetHeight(SizeSpec::Fixed(34));
        t->SetGroup(1);
        t->SetIdentifier(i + 1);
        if (i == 1)
            t->SetChecked(true);
    }
    auto* page = body->Add<Element>();
    page->SetWidth(SizeSpec::Weight(1));
    page->SetHeight(SizeSpec::Fill());
    page->SetPadding(20, 20, 20, 20);
    page->SetSpacing(10);
    page->Add<TextElement>("启动")->SetTextColor(MakeColor(130, 130, 130));
    auto* check = page->Add<Button>("开机时自动启动");
    check->SetCheckMode(true);
    check->SetChecked(true);
    check->SetHeight(SizeSpec::Fixed(25));
    check->SetTextColor(MakeColor(130, 130, 130));
    auto* row = page->Add<Element>();
    row->SetHorizontal(true);
    row->SetSpacing(10);
    auto* ok = row->Add<Button>("确定");
    ok->SetFixedSize(80, 28);
    auto* cancel = row->Add<Button>("取消");
    cancel->SetFixedSize(80, 28);
    cancel->SetEnabled(false);

    auto* footer = w->Root().Add<Element>();
    footer->SetWidth(SizeSpec::Fill());
    footer->SetHeight(SizeSpec::Fixed(40));
    footer->SetPadding(10, 0, 15, 0);
    footer->SetAlign(Align::kStart, Align::kCenter);
    footer->SetLookName("border.top");
    auto* date = footer->Add<Button>("丙午年（马） 正月初一 周四");
    date->SetTransparent(true);
    date->SetMouseThrough(true);
    date->SetTextColor(MakeColor(80, 80, 80));
    w->AdjustLayout();
    return w;
}

}  // namespace

int RunFramesDemo(int seconds) {
    Window* light = BuildDemo(60, 60, -657931, true);
    Window* dark = BuildDemo(640, 200, -11584460, false);
    if (!(light && dark))
        return 1;
    light->ShowWindow(SW_SHOWNA);
    dark->ShowWindow(SW_SHOWNA);
    // Hover the light window's menu button, so its turned icon shows.
    if (Element* menu = light->FindByName("menu")) {
        const Rect r = menu->WindowRect();
        ::SendMessageW(light->Hwnd(), WM_MOUSEMOVE, 0,
                       MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2));
    }
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    MSG msg;
    while (std::chrono::steady_clock::now() < end) {
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
    light->Destroy();
    dark->Destroy();
    return 0;
}

}  // namespace pt
