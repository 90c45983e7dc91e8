// The skin window: the 28 background colours as swatches, the selected one
// tagged, and the two style switches. Every choice is stored at once and
// every open window of the program is dressed in it again.
#include "dialogs/dialog_parts.h"
#include "dialogs/settings_ui.h"
#include "dialogs/skin_table.h"
#include "settings/settings_store.h"
#include "toolkit/dpi.h"
#include "toolkit/list_view.h"
#include "toolkit/resource_archive.h"
#include "toolkit/widgets.h"
#include "window/dialog.h"
#include "window/skin_frame.h"

namespace pt {
namespace {

constexpr int kSkinWidth = 655;
constexpr int kSkinHeight = 450;
constexpr char kSkinTemplate[] = "layout\\item\\listview.skin.xml";

// The tag of the selected swatch, in a colour that shows on it.
std::shared_ptr<SvgImage> TagFor(const SvgImage* tag, Color swatch) {
    if (!tag)
        return nullptr;
    std::shared_ptr<SvgImage> image = tag->Clone();
    image->SetSize(Dpi(35), Dpi(35));
    image->SetFill(SwatchTextColor(swatch));
    return image;
}

}  // namespace

void SettingsUi::OpenSkinWindow() {
    if (Window::FromHwnd(skins_) || !services_.settings)
        return;
    BuildSkinWindow();
}

void SettingsUi::BuildSkinWindow() {
    DialogOptions options;
    options.title = "皮肤";
    options.width = Dpi(kSkinWidth);
    options.height = Dpi(kSkinHeight);
    options.owner = owner_;
    Dialog dialog(options);
    Window* window = dialog.GetWindow();
    if (!window)
        return;
    skins_ = window->Hwnd();
    SettingsStore& settings = *services_.settings;

    Element* body = dialog.Body();
    auto* listArea = body->Add<Element>();
    listArea->SetWidth(SizeSpec::Fill());
    listArea->SetHeight(SizeSpec::Weight(1));
    listArea->SetPadding(Dpi(10), Dpi(5), Dpi(5), Dpi(5));
    auto* list = listArea->Add<ListView>();
    list->SetName("skins");
    list->SetWidth(SizeSpec::Fill());
    list->SetHeight(SizeSpec::Fill());
    list->LoadTemplate(kSkinTemplate);
    list->SetItemSize(Dpi(150), Dpi(100));
    list->SetSpacing(Dpi(5), Dpi(5));
    if (services_.font)
        list->SetFont(services_.font);
    const std::shared_ptr<SvgImage> tag =
        SvgImage::FromBytes(ResourceArchive::Instance().ReadText("res\\appframework\\tag.svg"));
    for (const SkinChoice& choice : SkinChoices()) {
        ListItem item;
        item.texts["name"] = choice.name;
        item.colors["swatch"] = choice.color;
        if (std::shared_ptr<SvgImage> mark = TagFor(tag.get(), choice.color))
            item.images["selected"] = std::move(mark);
        item.userData = static_cast<intptr_t>(choice.color);
        list->AddItem(std::move(item));
    }
    // A colour of the user's own (not in the table) stays in use and
    // selects nothing.
    if (const int index = SkinIndexOf(settings.GetBackgroundColor()); index >= 0)
        list->SetSelected(ListIndex{0, index});

    // A press between the swatches keeps the selection.
    list->On(ElementEvent::kLButtonDown, [](Element& e, const ElementEventArgs& a, bool& handled) {
        if (!static_cast<ListView&>(e).HitTest(a.point).Valid())
            handled = true;
    });
    list->On(kListSelectionChanged, [&settings](Element& e, const ElementEventArgs& a, bool&) {
        const ListIndex index = ListView::EventIndex(a);
        if (!index.Valid())
            return;
        const auto color = static_cast<Color>(static_cast<ListView&>(e).ItemUserData(index));
        // Every window of the program takes the skin through the store's
        // change notification (the panel follows its skin settings).
        settings.SetBackgroundColor(color);
    });

    Element* bottom = AddBottomBar(*body, Dpi(10), Dpi(10));
    bottom->SetSpacing(Dpi(15));
    CheckBox* mac = AddGreySwitch(*bottom, "启用苹果风", settings.GetStyleMac(), services_.font);
    mac->SetName("style-mac");
    mac->On(ElementEvent::kCheckChanged, [&settings](Element&, const ElementEventArgs& a, bool&) {
        settings.SetStyleMac(a.checked);
    });
    auto* line = bottom->Add<Element>();
    line->SetFixedSize(1, Dpi(10));
    line->SetLookName("bkInfo_line");
    CheckBox* radius =
        AddGreySwitch(*bottom, "启用圆角窗口", settings.GetBorderRadius(), services_.font);
    radius->SetName("border-radius");
    radius->On(ElementEvent::kCheckChanged,
               [&settings](Element&, const ElementEventArgs& a, bool&) {
                   settings.SetBorderRadius(a.checked);
               });

    dialog.ShowModeless();
}

}  // namespace pt
