// The secondary windows' frame; see dialog_frame.h.
#include "window/dialog_frame.h"

#include <algorithm>

#include "window/skin_frame.h"
#include "toolkit/dpi.h"
#include "toolkit/popup_placement.h"
#include "toolkit/screen_areas.h"

namespace pt {
namespace {

std::shared_ptr<Font>& CaptionFontSlot() {
    static std::shared_ptr<Font> font;
    return font;
}

}  // namespace

void SetDialogCaptionFont(std::shared_ptr<Font> font) {
    CaptionFontSlot() = std::move(font);
}

std::shared_ptr<Font> DialogCaptionFont() {
    return CaptionFontSlot();
}

void ApplyDialogRecipe(Window& window) {
    window.SetTransparentType(2);
    window.SetTransparentAlpha(254);
    window.EnableLayoutOverlayBorder(true);
    window.SetHorizontal(false);
    window.EnableDragBorder(false);
    window.SetDragBorderSize(0, 0, 0, 0);
    window.SetBorderSize(0, Dpi(kDialogCaptionHeight), 0, 0);
}

void PlaceSecondaryWindow(Window& window, HWND owner) {
    const MonitorList monitors = QueryMonitors();
    Rect over;
    Rect work = PrimaryWorkArea(monitors);
    RECT o{};
    if (owner && ::GetWindowRect(owner, &o)) {
        // A hidden or slid-away owner still has its place: its monitor is
        // the one the user looks at.
        const Rect ownerRect{o.left, o.top, o.right, o.bottom};
        work = WorkAreaUnder(monitors, ownerRect);
        if (::IsWindowVisible(owner))
            over = ownerRect;
    }
    if (over.IsEmpty())
        over = work;
    const Rect rect = window.GetRect();
    window.SetRect(CentredInside(Size{rect.Width(), rect.Height()}, over, work));
}

void KeepSecondaryOnScreen(Window& window) {
    const Rect rect = window.GetRect();
    const Rect inside = KeepInside(rect, WorkAreaUnder(QueryMonitors(), rect));
    if (!(inside == rect))
        window.SetRect(inside);
}

Element* BuildDialogCaption(Window& window, std::string_view title, bool closeButton) {
    auto* titbar = window.Root().Add<Element>();
    titbar->SetName("titbar");
    titbar->SetHorizontal(true);
    titbar->SetWidth(SizeSpec::Fill());
    titbar->SetHeight(SizeSpec::Fixed(Dpi(kDialogCaptionHeight)));
    titbar->SetPadding(Dpi(12), 0, Dpi(8), 0);
    titbar->SetSpacing(Dpi(10));
    titbar->SetAlign(Align::kStart, Align::kCenter);
    PublishFramePart(window, "titbar", titbar);

    auto* text = titbar->Add<TextElement>(title);
    text->SetName("title");
    if (std::shared_ptr<Font> font = DialogCaptionFont())
        text->SetFont(font);
    PublishFramePart(window, "title", text);

    if (closeButton) {
        auto* spacer = titbar->Add<Element>();
        spacer->SetWidth(SizeSpec::Weight(1));
        spacer->SetMouseThrough(true);
        auto* close = titbar->Add<Button>();
        close->SetName("close");
        close->SetFixedSize(Dpi(20), Dpi(20));
        close->SetTransparent(true);
        close->SetTooltip("关闭");
        close->SetButtonType(ButtonType::kClose);
        PublishFramePart(window, "close", close);
    }
    return titbar;
}

}  // namespace pt
