// A look at the edit, the list view and the scroll view on screen: an item
// grid with icons, hover and selection beside a column of edits (focused
// with a selection, placeholder, password, read-only, disabled), and a skin
// list of colour swatches beside a scrolled settings page. The gallery's
// "lists" demo (PinatroveGallery.exe --demo lists).
#include <windows.h>

#include <chrono>
#include <cstdlib>
#include <string>

#include "toolkit/edit.h"
#include "toolkit/list_view.h"
#include "toolkit/resource_archive.h"
#include "demos.h"
#include "toolkit/toolkit.h"
#include "toolkit/window.h"
#include "toolkit/scroll_view.h"

namespace pt {
namespace {

const char* const kSkins[] = {
    "简约白,-657931",   "深空灰,-9345434",  "自然绿,-9915902", "中国红,-12366369",
    "浅绿,-3881616",    "深蓝,-2258392",    "玫红,-8297755",   "紫色,-6267815",
    "粉晶,-3552521",    "节日,-13483555",   "灿绿,-11286663",  "草木绿,-11816568",
    "樱草黄,-10956042", "火焰红,-13805841", "臻果褐,-7032879", "静谧蓝,-3102575",
};

Window* MakeFramed(int x, int y, int w, int h, const char* title) {
    WindowOptions o;
    o.x = x;
    o.y = y;
    o.width = w;
    o.height = h;
    o.title = title;
    o.exStyle = WS_EX_TOOLWINDOW;
    Window* win = Window::Create(o);
    if (!win)
        return nullptr;
    win->SetTransparentAlpha(254);
    win->EnableLayoutOverlayBorder(true);
    win->SetBorderSize(0, 35, 0, 0);
    win->SetShadow(ShadowParams{5, 255, 5, false, 0});
    win->SetBackground(Look::Fill(-657931));
    auto* titbar = win->Root().Add<Element>();
    titbar->SetHorizontal(true);
    titbar->SetWidth(SizeSpec::Fill());
    titbar->SetHeight(SizeSpec::Fixed(35));
    titbar->SetPadding(12, 0, 12, 0);
    titbar->SetAlign(Align::kStart, Align::kCenter);
    titbar->SetLookName("border.bottom");
    auto* t = titbar->Add<TextElement>(title);
    t->SetFont(Font::Create("微软雅黑", 10));
    return win;
}

Element* Row(Element& parent, const char* label) {
    auto* row = parent.Add<Element>();
    row->SetHorizontal(true);
    row->SetWidth(SizeSpec::Fill());
    row->SetHeight(SizeSpec::Fixed(30));
    row->SetSpacing(8);
    row->SetAlign(Align::kStart, Align::kCenter);
    auto* l = row->Add<TextElement>(label);
    l->SetFixedSize(70, 28);
    l->SetTextColor(MakeColor(80, 80, 80));
    return row;
}

Edit* AddEdit(Element& row, const char* text) {
    auto* e = row.Add<Edit>(text);
    e->SetWidth(SizeSpec::Weight(1));
    e->SetHeight(SizeSpec::Fixed(30));
    e->SetPadding(5, 0, 5, 0);
    e->SetTextColor(MakeColor(120, 120, 120));
    return e;
}

}  // namespace

int RunListsDemo(int seconds) {
    const std::vector<uint8_t> appSvg =
        ResourceArchive::Instance().Read("res\\appframework\\app.svg");
    const std::vector<uint8_t> plugSvg =
        ResourceArchive::Instance().Read("res\\appframework\\plugin.svg");
    auto app = SvgImage::FromBytes(
        std::string_view(reinterpret_cast<const char*>(appSvg.data()), appSvg.size()));
    auto plug = SvgImage::FromBytes(
        std::string_view(reinterpret_cast<const char*>(plugSvg.data()), plugSvg.size()));

    // Window 1: item grid and edits.
    Window* a = MakeFramed(40, 40, 720, 420, "属性与项目");
    if (!(a))
        return 1;
    auto* body = a->Root().Add<Element>();
    body->SetHorizontal(true);
    body->SetWidth(SizeSpec::Fill());
    body->SetHeight(SizeSpec::Weight(1));
    auto* list = body->Add<ListView>();
    list->SetWidth(SizeSpec::Fixed(380));
    list->SetHeight(SizeSpec::Fill());
    list->SetPadding(10, 10, 10, 10);
    list->SetLookName("border.right");
    if (!(list->LoadTemplate("layout\\item\\listview.main.xml")))
        return 1;
    list->SetSpacing(5, 5);
    const char* names[] = {"记事本",     "计算器",     "Visual Studio Code", "画图",
                           "控制面板",   "命令提示符", "资源管理器",         "加密的项目",
                           "丢失的文件", "浏览器"};
    for (int i = 0; i < 40; ++i) {
        ListItem item;
        item.texts["name"] = names[i % 10];
        item.images["icon"] = i % 3 == 1 ? plug : app;
        if (i % 10 == 7)
            item.textColor = MakeColor(255, 136, 0);  // the program's "enciphered" colour
        if (i % 10 == 8)
            item.textColor = MakeColor(192, 192, 192);
        list->AddItem(std::move(item));
    }
    list->SetSelected(ListIndex{0, 2});

    auto* form = body->Add<Element>();
    form->SetWidth(SizeSpec::Weight(1));
    form->SetHeight(SizeSpec::Fill());
    form->SetPadding(15, 15, 15, 15);
    form->SetSpacing(10);
    Edit* target = AddEdit(*Row(*form, "目标路径"), "C:\\Program Files\\Pinatrove\\Pinatrove.exe");
    AddEdit(*Row(*form, "名称"), "");
    Edit* empty = static_cast<Edit*>(form->Child(1)->Child(1));
    empty->SetPlaceholder("请输入名称");
    Edit* param = AddEdit(*Row(*form, "参数"), "");
    param->SetPlaceholder("不可用");
    param->SetPlaceholderColor(MakeColor(150, 150, 150));
    param->SetReadOnly(true);
    Edit* pass = AddEdit(*Row(*form, "密钥"), "secret key");
    pass->SetPassword(true);
    Edit* hot = AddEdit(*Row(*form, "热键"), "");
    hot->SetPlaceholder("Ctrl + `");
    hot->SetEnabled(false);
    a->AdjustLayout();
    a->ShowWindow(SW_SHOWNA);
    target->SetFocus();
    target->SetSelection(3, 16);
    // Hover a cell so its look shows.
    const Rect cell = list->ItemWindowRect(ListIndex{0, 6});
    ::SendMessageW(a->Hwnd(), WM_MOUSEMOVE, 0,
                   MAKELPARAM((cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2));

    // Window 2: skins and a scrolled page.
    Window* b = MakeFramed(140, 470, 720, 300, "皮肤");
    if (!(b))
        return 1;
    auto* body2 = b->Root().Add<Element>();
    body2->SetHorizontal(true);
    body2->SetWidth(SizeSpec::Fill());
    body2->SetHeight(SizeSpec::Weight(1));
    auto* skins = body2->Add<ListView>();
    skins->SetWidth(SizeSpec::Fixed(480));
    skins->SetHeight(SizeSpec::Fill());
    skins->SetPadding(10, 5, 5, 5);
    if (!(skins->LoadTemplate("layout\\item\\listview.skin.xml")))
        return 1;
    skins->SetItemSize(150, 100);
    skins->SetSpacing(5, 5);
    for (const char* s : kSkins) {
        const std::string text = s;
        const size_t comma = text.find(',');
        ListItem item;
        item.texts["name"] = text.substr(0, comma);
        item.userData = std::atoi(text.c_str() + comma + 1);
        item.colors["swatch"] = static_cast<Color>(item.userData);
        skins->AddItem(std::move(item));
    }
    skins->SetSelected(ListIndex{0, 0});
    auto* view = body2->Add<ScrollView>();
    view->SetWidth(SizeSpec::Weight(1));
    view->SetHeight(SizeSpec::Fill());
    view->SetLookName("border.left");
    view->Content().SetPadding(20, 20, 20, 20);
    view->Content().SetSpacing(10);
    for (int i = 0; i < 14; ++i) {
        auto* check = view->Content().Add<Button>("选项 " + std::to_string(i + 1));
        check->SetCheckMode(true);
        check->SetChecked(i % 3 == 0);
        check->SetHeight(SizeSpec::Fixed(25));
        check->SetTextColor(MakeColor(130, 130, 130));
    }
    b->AdjustLayout();
    b->ShowWindow(SW_SHOWNA);
    view->SetScrollY(60);
    skins->SetScrollY(40);

    PumpForSeconds(seconds);
    a->Destroy();
    b->Destroy();
    return 0;
}

}  // namespace pt
