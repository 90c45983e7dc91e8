// The shared dialog pieces, built from toolkit elements.
#include "dialogs/dialog_parts.h"

#include "toolkit/dpi.h"

namespace pt {

Element* AddBottomBar(Element& body, int paddingX, int paddingY) {
    auto* bottom = body.Add<Element>();
    bottom->SetName("bottom");
    bottom->SetHorizontal(true);
    bottom->SetWidth(SizeSpec::Fill());
    bottom->SetHeight(SizeSpec::Fixed(Dpi(50)));
    bottom->SetPadding(paddingX, paddingY, paddingX, paddingY);
    bottom->SetAlign(Align::kStart, Align::kCenter);
    bottom->SetLookName("border.top");
    return bottom;
}

CheckBox* AddGreySwitch(Element& row, std::string_view text, bool checked,
                        const std::shared_ptr<Font>& font) {
    auto* box = row.Add<CheckBox>(text);
    box->SetCursor(IDC_HAND);
    box->SetFocusable(true);
    box->SetTextColor(MakeColor(120, 120, 120));
    box->SetChecked(checked);
    if (font)
        box->SetFont(font);
    return box;
}

}  // namespace pt
