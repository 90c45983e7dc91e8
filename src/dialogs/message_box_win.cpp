// The message box; see message_box.h.
#include "dialogs/message_box.h"

#include <algorithm>
#include <optional>
#include <string>

#include "base/text.h"
#include "toolkit/dpi.h"
#include "toolkit/resource_archive.h"
#include "toolkit/toolkit.h"
#include "window/dialog.h"
#include "window/colors.h"

namespace pt {
namespace {

// Where the toolkit cannot make a window (it never started, or the system
// refused one), the user still gets the message from the system's box.
int SystemFallback(HWND owner, std::string_view text, const std::string& title,
                   const MessageBoxLayout& box, unsigned flags) {
    const UINT type = box.set | (flags & 0xF0);
    const int id = ::MessageBoxW(owner, ToWide(text).c_str(), ToWide(title).c_str(), type);
    return id > 0 ? id - 1 : box.forcedCloseResult;
}

void BuildBody(Dialog& dialog, const MessageBoxLayout& box, std::string_view text, Size textSize) {
    Element& area = *dialog.Body();
    auto* body = area.Add<Element>();
    body->SetName("message");
    body->SetHorizontal(true);
    body->SetWidth(SizeSpec::Fill());
    body->SetHeight(SizeSpec::Weight(1));
    body->SetPadding(Dpi(20), Dpi(20), Dpi(20), Dpi(20));
    body->SetSpacing(Dpi(15));
    body->SetAlign(Align::kStart, Align::kStart);

    auto* icon = body->Add<PictureElement>();
    icon->SetName("icon");
    icon->SetFixedSize(Dpi(45), Dpi(45));
    if (std::shared_ptr<SvgImage> image =
            SvgImage::FromBytes(ResourceArchive::Instance().ReadText(box.iconEntry))) {
        image->SetSize(Dpi(45), Dpi(45));
        image->SetFill(box.iconColor);
        icon->SetImage(image);
    }

    auto* message = body->Add<TextElement>(text);
    message->SetName("text");
    message->SetTextColor(kBodyTextColor);
    TextFormat format;
    format.wrap = true;
    format.vertical = TextAlign::kCenter;
    message->SetTextFormat(format);
    message->SetWrapWidth(Dpi(kMessageTextWidth));
    // A short text sits level with the middle of the icon.
    message->SetFixedSize(textSize.width, std::max(textSize.height, Dpi(45)));

    auto* row = area.Add<Element>();
    row->SetName("buttons");
    row->SetHorizontal(true);
    row->SetWidth(SizeSpec::Fill());
    row->SetHeight(SizeSpec::Fixed(Dpi(50)));
    row->SetPadding(Dpi(20), 0, Dpi(20), Dpi(20));
    row->SetSpacing(Dpi(10));
    row->SetAlign(Align::kEnd, Align::kStart);
    for (const MessageButton& entry : box.buttons) {
        Button* button = dialog.AddButton(*row, entry.text, entry.result);
        button->SetName("result." + std::to_string(entry.result));
        button->SetFixedSize(Dpi(80), Dpi(30));
        button->SetTextColor(kButtonTextColor);
    }
}

int RunMessageBox(HWND owner, const std::string& text, const std::string& title, unsigned flags) {
    const MessageBoxLayout box = DescribeMessageBox(flags);
    const std::string caption = MessageBoxTitle(title);
    if (owner && !Window::FromHwnd(owner))
        owner = nullptr;
    std::shared_ptr<Font> font = DefaultFont();
    if (!font || !ToolkitReady())
        return SystemFallback(owner, text, caption, box, flags);
    const Size textSize = MeasureText(text, *font, Dpi(kMessageTextWidth), true);
    const Size size = MessageBoxSize(textSize.height, DisplayScale());

    DialogOptions options;
    options.width = size.width;
    options.height = size.height;
    options.title = caption;
    options.owner = owner;
    // Close button, Esc and Alt+F4 give closeResult; a box without them
    // closed from outside gives forcedCloseResult (the same where both exist).
    options.closeButton = box.closable;
    options.closeResult = box.forcedCloseResult;
    Dialog dialog(options);
    if (!dialog.IsValid())
        return SystemFallback(owner, text, caption, box, flags);
    BuildBody(dialog, box, text, textSize);
    return dialog.RunModal();
}

}  // namespace

int ShowMessageBox(HWND owner, std::string_view text, std::string_view title, unsigned flags) {
    const int fallback = DescribeMessageBox(flags).forcedCloseResult;
    // Copies: the caller's views may not outlive a hop to the UI thread.
    std::string textCopy(text);
    std::string titleCopy(title);
    try {
        std::optional<int> result = CallOnUiThread([&]() -> std::optional<int> {
            try {
                return RunMessageBox(owner, textCopy, titleCopy, flags);
            } catch (...) {
                return std::nullopt;
            }
        });
        return result.value_or(fallback);
    } catch (...) {
        return fallback;
    }
}

}  // namespace pt
