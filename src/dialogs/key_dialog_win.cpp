// The key dialog; see key_dialog.h.
#include "dialogs/key_dialog.h"

#include <memory>

#include "toolkit/dpi.h"
#include "toolkit/edit.h"
#include "toolkit/resource_archive.h"
#include "window/dialog.h"
#include "window/colors.h"

namespace pt {
namespace {

constexpr int kResultOk = 1;
constexpr int kResultClosed = 0;

std::shared_ptr<Image> EyeImage(const char* entry) {
    std::shared_ptr<SvgImage> image =
        SvgImage::FromBytes(ResourceArchive::Instance().ReadText(entry));
    if (image) {
        image->SetSize(Dpi(20), Dpi(20));
        image->SetFill(kHintTextColor);
    }
    return image;
}

bool IsKeyUnit(WPARAM unit) {
    return unit < 0x80 && !KeyCharacters(std::string(1, static_cast<char>(unit))).empty();
}

}  // namespace

std::optional<std::string> AskKey(HWND owner) {
    if (owner && !Window::FromHwnd(owner))
        owner = nullptr;
    DialogOptions options;
    options.width = Dpi(340);
    options.height = Dpi(190);
    options.title = kKeyDialogTitle;
    options.owner = owner;
    options.closeResult = kResultClosed;  // the close button, Esc and Alt+F4
    Dialog dialog(options);
    if (!dialog.IsValid())
        return std::nullopt;

    auto* body = dialog.Body()->Add<Element>();
    body->SetName("content");
    body->SetWidth(SizeSpec::Fill());
    body->SetHeight(SizeSpec::Weight(1));
    body->SetPadding(Dpi(20), Dpi(15), Dpi(20), 0);
    body->SetSpacing(Dpi(8));

    auto* row = body->Add<Element>();
    row->SetHorizontal(true);
    row->SetWidth(SizeSpec::Fill());
    row->SetHeight(SizeSpec::Fixed(Dpi(30)));
    row->SetSpacing(Dpi(8));
    row->SetAlign(Align::kStart, Align::kCenter);
    auto* edit = row->Add<Edit>();
    edit->SetName("key");
    edit->SetLookName("bkInfo_edit");
    edit->SetPassword(true);
    edit->SetMaxLength(kKeyMaxLength);
    edit->SetWidth(SizeSpec::Weight(1));
    edit->SetHeight(SizeSpec::Fill());
    // Typed characters outside the key's set never arrive; a paste is cut
    // down to what a key may hold.
    edit->On(ElementEvent::kChar, [](Element&, const ElementEventArgs& a, bool& handled) {
        if (a.wParam >= 0x20 && !IsKeyUnit(a.wParam))
            handled = true;
    });
    edit->On(kEditChanged, [](Element& e, const ElementEventArgs&, bool&) {
        auto& self = static_cast<Edit&>(e);
        const std::string text = self.Text();
        const std::string kept = KeyCharacters(text);
        if (kept != text) {
            self.SetText(kept);
            self.SetSelection(self.Length(), self.Length());
        }
    });

    auto* eye = row->Add<Button>();
    eye->SetName("eye");
    eye->SetCheckMode(true);
    eye->SetTransparent(true);
    eye->SetFixedSize(Dpi(20), Dpi(20));
    eye->SetImageSize(Dpi(20), Dpi(20));
    eye->SetImage(VisualState::kNormal, EyeImage("res\\appframework\\eye\\normal.svg"));
    eye->SetImage(VisualState::kChecked, EyeImage("res\\appframework\\eye\\check.svg"));
    eye->On(ElementEvent::kCheckChanged, [edit](Element&, const ElementEventArgs& a, bool&) {
        edit->SetPasswordVisible(a.checked);
        edit->SetFocus();  // typing goes on where it was
        edit->Redraw();
    });

    auto* hint = body->Add<TextElement>(kKeyHint);
    hint->SetName("hint");
    hint->SetTextColor(kHintTextColor);

    auto* buttons = dialog.Body()->Add<Element>();
    buttons->SetName("buttons");
    buttons->SetHorizontal(true);
    buttons->SetWidth(SizeSpec::Fill());
    buttons->SetHeight(SizeSpec::Fixed(Dpi(50)));
    buttons->SetPadding(Dpi(20), 0, Dpi(20), Dpi(15));
    buttons->SetAlign(Align::kEnd, Align::kStart);
    Button* ok = dialog.AddButton(*buttons, "确定");
    ok->SetName("ok");
    ok->SetFixedSize(Dpi(80), Dpi(30));
    ok->SetTextColor(kButtonTextColor);
    dialog.SetDefaultButton(ok);  // Enter

    std::string key;
    const HWND hwnd = dialog.Hwnd();
    ok->On(ElementEvent::kClick, [hwnd, edit, &key](Element&, const ElementEventArgs&, bool& h) {
        h = true;
        if (edit->Length() < kKeyMinLength) {
            edit->SetFocus();
            return;
        }
        key = edit->Text();
        Dialog::Of(hwnd).End(kResultOk);
    });

    edit->SetFocus();
    if (dialog.RunModal() != kResultOk)
        return std::nullopt;
    return key;
}

}  // namespace pt
