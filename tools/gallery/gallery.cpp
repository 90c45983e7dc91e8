// The widget gallery: every toolkit widget in each of its states, once in
// the default light look and once on a dark background, with an open popup
// menu (a submenu open, items selected, checked and disabled) and a tooltip.
// It is for looking at: run it under Xvfb and take a screenshot.
//
//   PinatroveGallery.exe [--seconds N] [--menu light|dark|none] [--no-tooltip]
//   PinatroveGallery.exe --page 2|3 [--seconds N]
//   PinatroveGallery.exe --demo frames|lists|message-box [--seconds N]
//                        [--flags 0x40] [--dark]      (the message box's flags)
//
// Page 2 shows the data controls: the item grid and the skin list (hover and
// selected cells, a scrolled list), edits in each state and a scroll view.
// Page 3 shows the dialog widgets: check boxes and switches, radio buttons,
// hotkey boxes, image boxes, a tab view, a form with a read-only field and
// dialog buttons, with the keyboard focus mark.
//
// States that need the mouse (hover, pressed) are put on the widgets
// through their own input hooks, so one picture shows them all side by side.
#include <windows.h>
#include <shellapi.h>

#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "base/text.h"
#include "toolkit/edit.h"
#include "toolkit/graphics.h"
#include "toolkit/list_view.h"
#include "toolkit/menu.h"
#include "toolkit/resource_archive.h"
#include "toolkit/scroll_view.h"
#include "toolkit/slider.h"
#include "toolkit/toolkit.h"
#include "toolkit/tooltip.h"
#include "demos.h"
#include "toolkit/widgets.h"
#include "toolkit/window.h"

namespace pt {
namespace {

struct Palette {
    Color background;
    bool dark;
    Color title;       // caption text
    Color text;        // body text
    Color heading;     // section headings
    Color iconNormal;  // system button glyphs per state
    Color iconHover;
    Color iconPressed;
    Color closeHover;
    Color closePressed;
};

const Palette kLight{-657931,
                     false,
                     MakeColor(60, 60, 60),
                     MakeColor(80, 80, 80),
                     MakeColor(130, 130, 130),
                     MakeColor(115, 115, 115),
                     MakeColor(0, 136, 255),
                     MakeColor(2, 96, 200),
                     MakeColor(249, 120, 102),
                     MakeColor(242, 82, 44)};

const Palette kDark{-11584460,
                    true,
                    MakeColor(255, 255, 255),
                    MakeColor(225, 225, 225),
                    MakeColor(170, 170, 170),
                    MakeColor(255, 255, 255, 225),
                    MakeColor(255, 255, 255),
                    MakeColor(255, 255, 255, 200),
                    MakeColor(255, 255, 255),
                    MakeColor(255, 255, 255, 200)};

// ---------------------------------------------------------------- images

std::shared_ptr<SvgImage> Svg(const char* entry, int size, std::optional<Color> fill = {},
                              bool rotate = false) {
    static std::map<std::string, std::shared_ptr<SvgImage>> cache;
    auto& base = cache[entry];
    if (!base)
        base = SvgImage::FromBytes(ResourceArchive::Instance().ReadText(entry));
    if (!base)
        return nullptr;
    auto image = base->Clone();
    image->SetSize(size, size);
    if (fill)
        image->SetFill(*fill);
    image->SetRotate180(rotate);
    return image;
}

std::shared_ptr<RasterImage> Png(const char* entry) {
    const std::vector<uint8_t> bytes = ResourceArchive::Instance().Read(entry);
    return bytes.empty() ? nullptr : RasterImage::FromBytes(bytes.data(), bytes.size());
}

// ---------------------------------------------------------------- pieces

Element* Row(Element& parent, int spacing = 10, int height = 0) {
    auto* row = parent.Add<Element>();
    row->SetHorizontal(true);
    row->SetSpacing(spacing);
    row->SetAlign(Align::kStart, Align::kCenter);
    if (height > 0)
        row->SetHeight(SizeSpec::Fixed(height));
    return row;
}

TextElement* Label(Element& parent, const std::string& text, Color color) {
    auto* t = parent.Add<TextElement>(text);
    t->SetTextColor(color);
    return t;
}

void Heading(Element& parent, const std::string& text, const Palette& p) {
    Label(parent, text, p.heading);
}

// A system button in one state, drawn as that state would draw it.
Button* SysButton(Element& parent, const char* name, const Palette& p, VisualState state) {
    const std::string file = std::string("res\\appframework\\SysButton\\") + name + ".svg";
    const bool close = std::string(name) == "close";
    const bool menu = std::string(name) == "menu";
    auto* b = parent.Add<Button>();
    b->SetName(name);
    b->SetFixedSize(20, 20);
    b->SetTransparent(true);
    b->SetImage(VisualState::kNormal, Svg(file.c_str(), 20, p.iconNormal));
    b->SetImage(VisualState::kHover,
                Svg(file.c_str(), 20, close ? p.closeHover : p.iconHover, menu));
    b->SetImage(VisualState::kPressed,
                Svg(file.c_str(), 20, close ? p.closePressed : p.iconPressed, menu));
    if (state == VisualState::kHover) {
        b->OnHover(true);
    } else if (state == VisualState::kPressed) {
        b->OnPress();
    }
    return b;
}

// The caption band: title, the four system buttons and the separator line.
void Caption(Window& w, const std::string& title, const Palette& p) {
    auto* bar = w.Root().Add<Element>();
    bar->SetName("titbar");
    bar->SetHorizontal(true);
    bar->SetWidth(SizeSpec::Fill());
    bar->SetHeight(SizeSpec::Fixed(40));
    bar->SetPadding(10, 0, 8, 0);
    bar->SetSpacing(10);
    bar->SetAlign(Align::kStart, Align::kCenter);
    Look look = Look::Fill(p.background);
    if (!p.dark) {
        look.borderSides = kBorderBottom;
        look.borderColor = MakeColor(235, 235, 235);
    }
    bar->SetLook(StateLook::Plain(look));
    auto* t = bar->Add<TextElement>(title);
    t->SetName("title");
    t->SetFont(Font::Create("微软雅黑", 10));
    t->SetTextColor(p.title);
    auto* gap = bar->Add<Element>();
    gap->SetWidth(SizeSpec::Weight(1));
    gap->SetMouseThrough(true);
    SysButton(*bar, "skin", p, VisualState::kNormal)->SetTooltip("换肤");
    auto* line = bar->Add<Element>();
    line->SetName("line");
    line->SetFixedSize(1, 10);
    line->SetLookName("bkInfo_line");
    line->SetVisible(!p.dark);
    SysButton(*bar, "menu", p, VisualState::kNormal)->SetTooltip("菜单");
    SysButton(*bar, "mini", p, VisualState::kNormal)->SetTooltip("最小化");
    SysButton(*bar, "close", p, VisualState::kNormal)->SetTooltip("关闭");
}

// The Mac-like system buttons: round coloured dots.
void MacDot(Element& parent, Color color, int size) {
    auto* dot = parent.Add<Element>();
    dot->SetFixedSize(size, size);
    dot->SetLook(StateLook::Plain(Look::Fill(color, size / 2)));
}

Button* PushButton(Element& parent, const std::string& text, VisualState state) {
    auto* b = parent.Add<Button>(text);
    b->SetFixedSize(80, 28);
    b->SetTextColor(MakeColor(120, 120, 120));
    switch (state) {
        case VisualState::kHover:
            b->OnHover(true);
            break;
        case VisualState::kPressed:
            b->OnPress();
            break;
        case VisualState::kChecked:
            b->SetCheckMode(true);
            b->SetChecked(true);
            break;
        case VisualState::kDisabled:
            b->SetEnabled(false);
            break;
        default:
            break;
    }
    return b;
}

// A check box: the check images beside the text, no frame.
Button* ImageCheck(Element& parent, const std::string& text, bool checked, bool enabled,
                   const Palette& p,
                   const char* onImage = "res\\appframework\\CheckButton\\check.svg") {
    auto* b = parent.Add<Button>(text);
    b->SetCheckMode(true);
    b->SetTransparent(true);
    b->SetHeight(SizeSpec::Fixed(25));
    b->SetTextColor(p.heading);
    b->SetCursor(IDC_HAND);
    const Color accent = MakeColor(0, 136, 255);
    auto off = Svg("res\\appframework\\CheckButton\\normal.svg", 20, p.dark ? p.text : p.heading);
    auto on = Svg(onImage, 20, accent);
    b->SetImageSize(20, 20);
    b->SetImage(VisualState::kNormal, off);
    b->SetImage(VisualState::kHover, off);
    b->SetImage(VisualState::kChecked, on);
    b->SetChecked(checked);
    b->SetEnabled(enabled);
    if (!enabled) {
        b->SetImage(VisualState::kDisabled, checked
                                                ? Svg(onImage, 20, WithAlpha(accent, 110))
                                                : Svg("res\\appframework\\CheckButton\\normal.svg",
                                                      20, WithAlpha(p.heading, 110)));
    }
    return b;
}

Slider* SpeedSlider(Element& parent, int position, VisualState look, bool enabled) {
    auto* s = parent.Add<Slider>();
    s->SetFixedSize(110, 25);
    s->SetRange(0, 25);
    s->SetPosition(position);
    s->SetThumbSize(20, 20);
    // The hover and pressed thumbs are shown through the normal image slot,
    // so every state stands side by side in one picture.
    const bool raised = look == VisualState::kHover || look == VisualState::kPressed;
    s->SetThumbImage(VisualState::kNormal, Svg(raised ? "res\\appframework\\SliderBar\\hover.svg"
                                                      : "res\\appframework\\SliderBar\\normal.svg",
                                               20, MakeColor(0, 136, 255)));
    s->SetThumbImage(VisualState::kHover,
                     Svg("res\\appframework\\SliderBar\\hover.svg", 20, MakeColor(0, 136, 255)));
    s->SetEnabled(enabled);
    return s;
}

Element* Box(Element& parent, const char* lookName, VisualState state, int width, int height) {
    StateLook look;
    FindNamedLook(lookName, look);
    auto* e = parent.Add<Element>();
    e->SetFixedSize(width, height);
    const Look& shown =
        state == VisualState::kPressed && look.focused ? *look.focused : look.For(state);
    e->SetLook(StateLook::Plain(shown));
    return e;
}

// ---------------------------------------------------------------- windows

// A gallery page: a framed tool window with its caption and nothing more.
Window* PageWindow(int x, int y, const Palette& p, const std::string& title) {
    WindowOptions o;
    o.x = x;
    o.y = y;
    o.width = 620;
    o.height = 600;
    o.title = title;
    o.exStyle = WS_EX_TOOLWINDOW;
    Window* w = Window::Create(o);
    if (!w)
        return nullptr;
    w->SetTransparentAlpha(254);
    w->EnableLayoutOverlayBorder(true);
    w->SetBorderSize(0, 40, 0, 0);
    w->SetShadow(ShadowParams{5, 255, 5, p.dark, 0});
    w->SetBackground(Look::Fill(p.background));
    Caption(*w, title, p);
    return w;
}

// The body of a page as two columns, the left one `leftWidth` wide.
std::pair<Element*, Element*> TwoColumns(Window& w, int leftWidth) {
    auto* body = w.Root().Add<Element>();
    body->SetHorizontal(true);
    body->SetWidth(SizeSpec::Fill());
    body->SetHeight(SizeSpec::Weight(1));
    body->SetPadding(15, 10, 15, 10);
    body->SetSpacing(20);
    auto* left = body->Add<Element>();
    left->SetWidth(SizeSpec::Fixed(leftWidth));
    left->SetHeight(SizeSpec::Fill());
    left->SetSpacing(6);
    auto* right = body->Add<Element>();
    right->SetWidth(SizeSpec::Weight(1));
    right->SetHeight(SizeSpec::Fill());
    right->SetSpacing(6);
    return {left, right};
}

Window* BuildGallery(int x, int y, const Palette& p, const std::string& title) {
    Window* w = PageWindow(x, y, p, title);
    if (!w)
        return nullptr;

    auto [left, right] = TwoColumns(*w, 330);

    Heading(*left, "系统按钮：常态 · 悬停 · 按下 · 苹果风", p);
    auto* sys = Row(*left, 6, 24);
    for (VisualState s : {VisualState::kNormal, VisualState::kHover, VisualState::kPressed}) {
        for (const char* name : {"skin", "menu", "mini", "close"})
            SysButton(*sys, name, p, s);
        sys->Add<Element>()->SetFixedSize(4, 1);
    }
    auto* mac = Row(*left, 8, 22);
    for (Color c : {-6842624, -13915412, -12202708, -10332422})
        MacDot(*mac, c, 12);
    for (Color c : {-6842624, -13915412, -12202708, -10332422})
        MacDot(*mac, c, 20);

    Heading(*left, "按钮：常态 · 悬停 · 按下 · 选中 · 禁用", p);
    auto* buttons = Row(*left, 4, 30);
    PushButton(*buttons, "确定", VisualState::kNormal)->SetFixedSize(62, 28);
    PushButton(*buttons, "确定", VisualState::kHover)->SetFixedSize(62, 28);
    PushButton(*buttons, "确定", VisualState::kPressed)->SetFixedSize(62, 28);
    PushButton(*buttons, "保存", VisualState::kChecked)->SetFixedSize(62, 28);
    PushButton(*buttons, "取消", VisualState::kDisabled)->SetFixedSize(62, 28);

    Heading(*left, "复选框与单选组", p);
    auto* checks = Row(*left, 10, 25);
    ImageCheck(*checks, "开机时自动启动", false, true, p)->SetWidth(SizeSpec::Fixed(150));
    ImageCheck(*checks, "窗口置顶", true, true, p);
    auto* checks2 = Row(*left, 10, 25);
    ImageCheck(*checks2, "锁定面板位置", true, false, p)->SetWidth(SizeSpec::Fixed(150));
    ImageCheck(*checks2, "不可用", false, false, p);
    auto* radios = Row(*left, 10, 25);
    auto* r1 = ImageCheck(*radios, "后台运行", true, true, p,
                          "res\\appframework\\CheckButton\\switch.svg");
    r1->SetWidth(SizeSpec::Fixed(150));
    r1->SetGroup(100);
    auto* r2 = ImageCheck(*radios, "退出程序", false, true, p,
                          "res\\appframework\\CheckButton\\switch.svg");
    r2->SetGroup(100);

    Heading(*left, "设置页标签：常态 · 悬停 · 选中", p);
    auto* tabs = Row(*left, 0, 32);
    const char* tabNames[] = {"关于", "常规", "动作"};
    for (int i = 0; i < 3; ++i) {
        auto* t = tabs->Add<Button>(tabNames[i]);
        t->SetLookName("label.setting");
        t->SetTextColor(MakeColor(100, 100, 100));
        t->SetFixedSize(105, 32);
        t->SetGroup(7);
        if (i == 1)
            t->OnHover(true);
        if (i == 2)
            t->SetChecked(true);
    }

    Heading(*left, "滑块：常态 · 悬停 · 按下 · 禁用", p);
    auto* sliders = Row(*left, 4, 26);
    Label(*sliders, "速度级别：25", p.heading)->SetFixedSize(100, 25);
    SpeedSlider(*sliders, 20, VisualState::kNormal, true)->SetFixedSize(105, 25);
    auto* sliders2 = Row(*left, 4, 26);
    SpeedSlider(*sliders2, 5, VisualState::kHover, true)->SetFixedSize(105, 25);
    SpeedSlider(*sliders2, 13, VisualState::kPressed, true)->SetFixedSize(105, 25);
    SpeedSlider(*sliders2, 25, VisualState::kNormal, false)->SetFixedSize(105, 25);

    Heading(*left, "编辑框与线条外观", p);
    auto* looks = Row(*left, 6, 32);
    Box(*looks, "bkInfo_edit", VisualState::kNormal, 75, 30);
    Box(*looks, "bkInfo_edit", VisualState::kHover, 75, 30);
    Box(*looks, "bkInfo_edit", VisualState::kPressed, 75, 30);  // focused
    Box(*looks, "bkInfo_edit", VisualState::kDisabled, 75, 30);

    // Right column: text, pictures, large shapes.
    Heading(*right, "文本", p);
    Label(*right, "一款界面简洁的快捷启动工具", p.text);
    auto* para = right->Add<TextElement>(
        "系统热键注册失败，此快捷键可能无效或已被其他的程序使用，请在选项对话框中重新设置热键。");
    para->SetTextColor(p.text);
    para->SetWrapWidth(230);
    const std::vector<uint8_t> ttf = ResourceArchive::Instance().Read("res\\Pinatrove.ttf");
    auto* product = right->Add<TextElement>("Pinatrove");
    product->SetFont(Font::FromMemory(ttf.data(), ttf.size(), 18));
    product->SetTextColor(p.title);
    Label(*right, "版本 1.1.7", MakeColor(150, 150, 150));

    Heading(*right, "图片", p);
    auto* pics = Row(*right, 8, 100);
    pics->Add<PictureElement>(Svg("res\\appframework\\app.svg", 100))->SetFixedSize(100, 100);
    auto* bigDots = pics->Add<Element>();
    bigDots->SetSpacing(6);
    MacDot(*bigDots, -6842624, 44);
    MacDot(*bigDots, -10332422, 44);
    auto* more = pics->Add<Element>();
    more->SetSpacing(6);
    more->Add<PictureElement>(Svg("res\\appframework\\tag.svg", 35, p.text))->SetFixedSize(35, 35);
    more->Add<PictureElement>(Svg("res\\appframework\\plugin.svg", 20, p.text))
        ->SetFixedSize(20, 20);
    more->Add<PictureElement>(Svg("res\\appframework\\failed.svg", 16))->SetFixedSize(16, 16);
    auto* icons = Row(*right, 4, 44);
    for (const char* name : {"ok", "infor", "question", "warning", "error"}) {
        const std::string file = std::string("res\\appframework\\MessageBox\\") + name + ".svg";
        icons->Add<PictureElement>(Svg(file.c_str(), 44, p.text))->SetFixedSize(44, 44);
    }
    auto* shadow = Row(*right, 6, 40);
    shadow->Add<PictureElement>(Png("res\\images\\Shadow2.png"))->SetFixedSize(60, 40);
    shadow->Add<PictureElement>(Svg("res\\appframework\\more.svg", 20, p.text))
        ->SetFixedSize(20, 20);
    shadow->Add<PictureElement>(Svg("res\\appframework\\eye\\normal.svg", 20, p.text))
        ->SetFixedSize(20, 20);
    shadow->Add<PictureElement>(Svg("res\\appframework\\eye\\check.svg", 20, p.text))
        ->SetFixedSize(20, 20);
    auto* line = right->Add<Element>();
    line->SetFixedSize(200, 1);
    line->SetLookName("bkInfo_line");

    auto* footer = w->Root().Add<Element>();
    footer->SetWidth(SizeSpec::Fill());
    footer->SetHeight(SizeSpec::Fixed(40));
    footer->SetPadding(10, 0, 15, 0);
    footer->SetAlign(Align::kStart, Align::kCenter);
    footer->SetLookName("border.top");
    auto* date = footer->Add<Button>("丙午年（马） 正月初一 周二");
    date->SetTransparent(true);
    date->SetMouseThrough(true);
    date->SetTextColor(p.dark ? p.text : MakeColor(80, 80, 80));
    w->AdjustLayout();
    return w;
}

// Page 2: the item grid, the skin list, edits and a scroll view.
Window* BuildControls(int x, int y, const Palette& p, const std::string& title) {
    Window* w = PageWindow(x, y, p, title);
    if (!w)
        return nullptr;

    auto* body = w->Root().Add<Element>();
    body->SetWidth(SizeSpec::Fill());
    body->SetHeight(SizeSpec::Weight(1));
    body->SetPadding(15, 10, 15, 10);
    body->SetSpacing(6);

    Heading(*body, "项目列表：常态 · 悬停 · 选中 · 加密 · 丢失", p);
    auto* grid = body->Add<ListView>();
    grid->SetWidth(SizeSpec::Fill());
    grid->SetHeight(SizeSpec::Fixed(175));
    grid->LoadTemplate("layout\\item\\listview.main.xml");
    grid->SetSpacing(5, 5);
    const char* names[] = {"记事本",     "计算器",     "Visual Studio Code", "画图",
                           "控制面板",   "命令提示符", "资源管理器",         "加密的项目",
                           "丢失的文件", "浏览器"};
    for (int i = 0; i < 30; ++i) {
        ListItem item;
        item.texts["name"] = names[i % 10];
        item.images["icon"] =
            Svg(i % 3 == 1 ? "res\\appframework\\plugin.svg" : "res\\appframework\\app.svg", 40,
                p.text);
        if (i % 10 == 7)
            item.textColor = MakeColor(255, 136, 0);
        else if (i % 10 == 8)
            item.textColor = MakeColor(192, 192, 192);
        else if (p.dark)
            item.textColor = p.text;
        grid->AddItem(std::move(item));
    }
    grid->SetSelected(ListIndex{0, 2});

    Heading(*body, "皮肤列表（已滚动）", p);
    auto* skins = body->Add<ListView>();
    skins->SetWidth(SizeSpec::Fill());
    skins->SetHeight(SizeSpec::Fixed(110));
    skins->LoadTemplate("layout\\item\\listview.skin.xml");
    skins->SetItemSize(140, 90);
    skins->SetSpacing(5, 5);
    const std::pair<const char*, Color> kSkins[] = {
        {"简约白", -657931}, {"深空灰", -9345434}, {"自然绿", -9915902}, {"中国红", -12366369},
        {"浅绿", -3881616},  {"深蓝", -2258392},   {"玫红", -8297755},   {"紫色", -6267815},
        {"粉晶", -3552521},  {"节日", -13483555},  {"灿绿", -11286663},  {"草木绿", -11816568}};
    for (const auto& [name, colour] : kSkins) {
        ListItem item;
        item.texts["name"] = name;
        item.colors["swatch"] = colour;
        if (p.dark)
            item.textColor = p.text;
        skins->AddItem(std::move(item));
    }
    skins->SetSelected(ListIndex{0, 1});

    auto* lower = body->Add<Element>();
    lower->SetHorizontal(true);
    lower->SetWidth(SizeSpec::Fill());
    lower->SetHeight(SizeSpec::Weight(1));
    lower->SetSpacing(15);
    auto* form = lower->Add<Element>();
    form->SetWidth(SizeSpec::Weight(3));
    form->SetHeight(SizeSpec::Fill());
    form->SetSpacing(5);
    Heading(*form, "编辑框：选中 · 提示 · 只读 · 密码 · 禁用", p);
    auto addEdit = [&](const char* text) {
        auto* e = form->Add<Edit>(text);
        e->SetWidth(SizeSpec::Fill());
        e->SetHeight(SizeSpec::Fixed(26));
        e->SetPadding(5, 0, 5, 0);
        e->SetLookName("bkInfo_edit");
        e->SetTextColor(MakeColor(120, 120, 120));
        return e;
    };
    Edit* target = addEdit("C:\\Program Files\\Pinatrove\\Pinatrove.exe");
    addEdit("")->SetPlaceholder("请输入名称");
    Edit* readOnly = addEdit("");
    readOnly->SetPlaceholder("只读");
    readOnly->SetReadOnly(true);
    addEdit("secret key")->SetPassword(true);
    Edit* off = addEdit("Ctrl + `");
    off->SetEnabled(false);

    auto* view = lower->Add<ScrollView>();
    view->SetWidth(SizeSpec::Weight(2));
    view->SetHeight(SizeSpec::Fill());
    view->SetLookName("border.left");
    view->Content().SetPadding(15, 5, 5, 5);
    view->Content().SetSpacing(6);
    for (int i = 0; i < 12; ++i) {
        ImageCheck(view->Content(), "滚动区选项 " + std::to_string(i + 1), i % 3 == 0, true, p)
            ->SetHeight(SizeSpec::Fixed(24));
    }
    w->AdjustLayout();
    skins->SetScrollY(30);
    view->SetScrollY(40);
    target->SetSelection(3, 16);
    return w;
}

// Page 3: the dialog widgets in their states. Each window shows one focus
// mark (keyboard focus): a check box in the light one, a push button in the
// dark one.
struct DialogPage {
    Window* window = nullptr;
    Element* focus = nullptr;
};

DialogPage BuildDialogWidgets(int x, int y, const Palette& p, const std::string& title) {
    DialogPage page;
    Window* w = PageWindow(x, y, p, title);
    if (!w)
        return page;
    page.window = w;

    auto [left, right] = TwoColumns(*w, 270);

    const auto check = [&](Element& row, const std::string& text, bool on, bool enabled,
                           bool switchLook) {
        auto* c = row.Add<CheckBox>(text);
        c->SetSwitchLook(switchLook);
        c->SetChecked(on);
        c->SetEnabled(enabled);
        c->SetTextColor(p.text);
        c->SetHeight(SizeSpec::Fixed(25));
        return c;
    };
    Heading(*left, "复选框：关 · 开 · 悬停 · 禁用", p);
    auto* checks = Row(*left, 12, 25);
    check(*checks, "关", false, true, false);
    check(*checks, "开", true, true, false);
    check(*checks, "悬停", false, true, false)->OnHover(true);
    check(*checks, "禁用", true, false, false);
    Heading(*left, "键盘焦点（焦点框）", p);
    auto* focusRow = Row(*left, 12, 25);
    CheckBox* focused = check(*focusRow, "窗口置顶", true, true, false);
    if (!p.dark)
        page.focus = focused;

    Heading(*left, "开关：关 · 开 · 禁用", p);
    auto* switches = Row(*left, 12, 25);
    check(*switches, "关", false, true, true);
    check(*switches, "开", true, true, true);
    check(*switches, "禁用", true, false, true);

    Heading(*left, "单选按钮（一组）", p);
    auto* radios = Row(*left, 12, 25);
    const int group = p.dark ? 201 : 200;
    for (const char* text : {"单击鼠标", "双击鼠标", "禁用"}) {
        auto* r = radios->Add<RadioButton>(text, group);
        r->SetTextColor(p.text);
        r->SetHeight(SizeSpec::Fixed(25));
        if (std::string(text) == "单击鼠标")
            r->SetChecked(true);
        if (std::string(text) == "禁用")
            r->SetEnabled(false);
    }

    Heading(*left, "快捷键框：常态 · 禁用", p);
    auto* keys = Row(*left, 10, 30);
    auto* hotkey = keys->Add<HotkeyBox>("Ctrl + `");
    hotkey->SetFixedSize(120, 30);
    auto* off = keys->Add<HotkeyBox>("Alt + F4");
    off->SetFixedSize(120, 30);
    off->SetEnabled(false);

    Heading(*left, "图片框：48 × 48 预览", p);
    auto* images = Row(*left, 10, 75);
    auto* preview = images->Add<ImageBox>(48, 48);
    preview->SetFixedSize(75, 75);
    preview->SetLook(StateLook::Plain(Look::Border(kBorderAll, MakeColor(220, 220, 220))));
    preview->SetImage(Svg("res\\appframework\\app.svg", 48));
    auto* empty = images->Add<ImageBox>(48, 48);
    empty->SetFixedSize(75, 75);
    empty->SetLook(StateLook::Plain(Look::Border(kBorderAll, MakeColor(220, 220, 220))));

    Heading(*right, "页签视图", p);
    auto* tabs = right->Add<TabView>(p.dark ? 301 : 300, 80, 30);
    tabs->SetWidth(SizeSpec::Fill());
    tabs->SetHeight(SizeSpec::Fixed(110));
    for (const char* name : {"关于", "常规", "热键"}) {
        Element* pg = tabs->AddPage(name);
        pg->SetPadding(10, 10, 10, 10);
        Label(*pg, std::string("“") + name + "”页", p.text);
    }
    for (size_t i = 0; i < tabs->PageCount(); ++i)
        tabs->Tab(i)->SetTextColor(MakeColor(120, 120, 120));
    tabs->Select(1);

    Heading(*right, "表单：标签 · 控件 · 按钮", p);
    auto* form = right->Add<FormLayout>(60, 30, 60, 8);
    form->SetWidth(SizeSpec::Fill());
    form->SetLabelColor(p.text);
    auto name = std::make_unique<Edit>();
    name->SetLookName("bkInfo_edit");
    name->SetText("记事本");
    form->AddRow("名称", std::move(name));
    auto target = std::make_unique<Edit>();
    target->SetLookName("bkInfo_edit");
    target->SetText("C:\\Windows\\notepad.exe");
    auto browse = std::make_unique<Button>("浏览");
    browse->SetTextColor(MakeColor(120, 120, 120));
    form->AddRow("目标路径", std::move(target), std::move(browse));
    auto param = std::make_unique<Edit>();
    param->SetLook(ReadOnlyEditLook());
    param->SetReadOnly(true);
    param->SetPlaceholder("不可用");
    param->SetPlaceholderColor(MakeColor(150, 150, 150));
    auto browse2 = std::make_unique<Button>("浏览");
    browse2->SetEnabled(false);
    form->AddRow("参数", std::move(param), std::move(browse2));

    Heading(*right, "对话框按钮（深色窗口：键盘焦点）", p);
    auto* buttons = Row(*right, 10, 30);
    auto* ok = buttons->Add<Button>("确定");
    ok->SetFixedSize(80, 28);
    ok->SetFocusable(true);
    ok->SetTextColor(MakeColor(120, 120, 120));
    auto* cancel = buttons->Add<Button>("取消");
    cancel->SetFixedSize(80, 28);
    cancel->SetTextColor(MakeColor(120, 120, 120));
    if (p.dark)
        page.focus = ok;
    w->AdjustLayout();
    return page;
}

// The tab menu of the group tabs, with its submenu open.
std::shared_ptr<Menu> OpenMenu(Window& owner, const Palette& p) {
    auto menu = Menu::Create();
    menu->AddItem(100, "新建分组");
    menu->AddItem(200, "清空分组");
    menu->AddSeparator();
    menu->AddItem(300, "移动到");
    menu->AddItem(301, "左移分组", 300, kMenuItemDisabled);
    menu->AddItem(302, "右移分组", 300);
    menu->AddSeparator(300);
    menu->AddItem(311, "工具", 300, kMenuItemChecked);
    menu->AddItem(312, "文档", 300);
    menu->AddSeparator();
    menu->AddItem(400, "重命名");
    menu->AddItem(500, "删除", kMenuRoot, kMenuItemDisabled);
    menu->SetItemHeight(28);
    menu->SetBorderSize(5, 10, 5, 10);
    if (p.dark) {
        // On a dark skin the owner draws the background in the skin colour
        // and the items in light ink.
        menu->EnableDrawBackground(true);
        menu->EnableDrawItem(true);
        const Color background = p.background;
        owner.OnMessage([background](Window&, WindowMessage& m, bool& handled) {
            auto* info = reinterpret_cast<MenuDrawInfo*>(m.lParam);
            if (m.message == kMsgMenuDrawBackground) {
                info->canvas->FillRect(info->rect, background);
                handled = true;
            } else if (m.message == kMsgMenuDrawItem && !(info->state & kMenuItemSeparator)) {
                if (info->state & kMenuItemSelected)
                    info->canvas->FillRect(info->rect, MakeColor(255, 255, 255, 40));
                const Color ink = (info->state & kMenuItemDisabled) ? MakeColor(140, 140, 150)
                                                                    : MakeColor(240, 240, 240);
                const Rect r = info->rect;
                info->canvas->DrawText(info->text, *DefaultFont(), ink,
                                       Rect{r.left + 35, r.top, r.right - 5, r.bottom},
                                       TextFormat{});
                const int midY = (r.top + r.bottom) / 2;
                if (info->state & kMenuItemChecked)
                    info->canvas->FillEllipse(Rect::FromSize(r.left + 20, midY - 5, 10, 10), ink);
                if (info->state & kMenuItemPopup) {
                    const float x = static_cast<float>(r.right - 14);
                    const float y = static_cast<float>(midY);
                    info->canvas->DrawPolyline({{x - 3, y - 6}, {x + 3, y}, {x - 3, y + 6}}, ink,
                                               1.5f);
                }
                handled = true;
            }
        });
    }
    owner.OnMessage([](Window&, WindowMessage& m, bool&) {
        if (m.message != kMsgMenuPopupWindow)
            return;
        Window* w = reinterpret_cast<MenuDrawInfo*>(m.lParam)->window;
        w->SetTransparentType(2);
        w->SetShadow(ShadowParams{5, 150, 3, false, 0});
        w->SetTransparentAlpha(250);
    });
    const Rect r = owner.GetRect();
    if (!menu->Popup(owner.Hwnd(), Point{r.left + 360, r.top + 330}))
        return nullptr;
    HWND root = menu->OpenWindows()[0]->Hwnd();
    for (WPARAM vk : {VK_DOWN, VK_DOWN, VK_DOWN, VK_RIGHT, VK_DOWN})
        ::SendMessageW(root, WM_KEYDOWN, vk, 0);
    return menu;
}

ListView* FindListView(Element& e) {
    if (auto* list = dynamic_cast<ListView*>(&e))
        return list;
    for (size_t i = 0; i < e.ChildCount(); ++i)
        if (ListView* found = FindListView(*e.Child(i)))
            return found;
    return nullptr;
}

void CALLBACK TimeUp(HWND, UINT, UINT_PTR, DWORD) {
    ExitMessageLoop(0);
}

}  // namespace

void PumpForSeconds(int seconds) {
    const DWORD end = ::GetTickCount() + static_cast<DWORD>(seconds) * 1000;
    MSG msg;
    while (static_cast<int>(end - ::GetTickCount()) > 0) {
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
}

namespace {

int Run() {
    int seconds = 0;
    std::string menuOn = "light";
    bool tooltip = true;
    int page = 1;
    std::string demo;
    unsigned flags = 0x40;
    bool darkDemo = false;
    int argc = 0;
    LPWSTR* argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
    for (int i = 1; argv && i < argc; ++i) {
        const std::string a = FromWide(argv[i]);
        if (a == "--seconds" && i + 1 < argc)
            seconds = std::atoi(FromWide(argv[++i]).c_str());
        else if (a == "--menu" && i + 1 < argc)
            menuOn = FromWide(argv[++i]);
        else if (a == "--no-tooltip")
            tooltip = false;
        else if (a == "--page" && i + 1 < argc)
            page = std::atoi(FromWide(argv[++i]).c_str());
        else if (a == "--demo" && i + 1 < argc)
            demo = FromWide(argv[++i]);
        else if (a == "--flags" && i + 1 < argc)
            flags = static_cast<unsigned>(std::strtoul(FromWide(argv[++i]).c_str(), nullptr, 0));
        else if (a == "--dark")
            darkDemo = true;
    }
    if (argv)
        ::LocalFree(argv);

    if (!InitToolkit(::GetModuleHandleW(nullptr)))
        return 1;
    ResourceArchive::Instance().LoadFromModule(nullptr);
    // The pointer away from the windows, so it hovers nothing.
    ::SetCursorPos(::GetSystemMetrics(SM_CXSCREEN) - 2, ::GetSystemMetrics(SM_CYSCREEN) - 2);
    if (!demo.empty()) {
        const int demoSeconds = seconds > 0 ? seconds : 6;
        const int code = demo == "frames"        ? RunFramesDemo(demoSeconds)
                         : demo == "lists"       ? RunListsDemo(demoSeconds)
                         : demo == "message-box" ? RunMessageBoxDemo(demoSeconds, flags, darkDemo)
                                                 : 2;
        ShutdownToolkit();
        return code;
    }
    if (page == 3) {
        DialogPage light = BuildDialogWidgets(10, 10, kLight, "Pinatrove 对话框组件");
        DialogPage dark = BuildDialogWidgets(645, 10, kDark, "Pinatrove 对话框组件（深色）");
        if (!light.window || !dark.window)
            return 1;
        for (DialogPage* d : {&light, &dark}) {
            d->window->ShowWindow(SW_SHOWNA);
            d->window->SetFocusFromKeyboard(d->focus);
        }
        if (seconds > 0)
            ::SetTimer(nullptr, 0, static_cast<UINT>(seconds) * 1000, &TimeUp);
        const int code = RunMessageLoop();
        ShutdownToolkit();
        return code;
    }
    const bool controls = page == 2;
    Window* light = controls ? BuildControls(10, 10, kLight, "Pinatrove 列表与编辑框")
                             : BuildGallery(10, 10, kLight, "Pinatrove 组件一览");
    Window* dark = controls ? BuildControls(645, 10, kDark, "Pinatrove 列表与编辑框（深色）")
                            : BuildGallery(645, 10, kDark, "Pinatrove 深色背景");
    if (!light || !dark)
        return 1;
    light->ShowWindow(SW_SHOWNA);
    dark->ShowWindow(SW_SHOWNA);
    std::shared_ptr<Menu> menu;
    if (controls) {
        menuOn = "none";
        tooltip = false;
        // Hover one cell of the light grid so its look shows.
        if (auto* grid = FindListView(light->Root())) {
            const Rect cell = grid->ItemWindowRect(ListIndex{0, 6});
            const LPARAM at =
                MAKELPARAM((cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2);
            ::SendMessageW(light->Hwnd(), WM_MOUSEMOVE, 0, at);
        }
    }
    if (menuOn == "light" || menuOn == "dark")
        menu = OpenMenu(menuOn == "light" ? *light : *dark, menuOn == "light" ? kLight : kDark);
    if (tooltip) {
        Element* close = dark->FindByName("close");
        if (close)
            ShowTooltip("文件名：记事本\r\n位置：C:\\Windows\\notepad.exe\r\n参数：/A readme.txt",
                        close->ScreenRect(), nullptr);
    }
    if (seconds > 0)
        ::SetTimer(nullptr, 0, static_cast<UINT>(seconds) * 1000, &TimeUp);
    const int code = RunMessageLoop();
    ShutdownToolkit();
    return code;
}

}  // namespace
}  // namespace pt

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    return pt::Run();
}
