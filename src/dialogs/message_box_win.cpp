// The message box; see message_box.h.
#include "dialogs/message_box.h"

#include <algorithm>
#include <optional>
#include <string>

#include "base/text.h"
#include "window/dialog_frame.h"
#include "window/skin_frame.h"
#include "toolkit/dpi.h"
#include "toolkit/resource_archive.h"
#include "toolkit/toolkit.h"

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

void BuildBody(Window& window, const MessageBoxLayout& box, std::string_view text, Size textSize) {
    auto* body = window.Root().Add<Element>();
    body->SetName("body");
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
    message->SetTextColor(MakeColor(80, 80, 80));
    TextFormat format;
    format.wrap = true;
    format.vertical = TextAlign::kCenter;
    message->SetTextFormat(format);
    message->SetWrapWidth(Dpi(kMessageTextWidth));
    // A short text sits level with the middle of the icon.
    message->SetFixedSize(textSize.width, std::max(textSize.height, Dpi(45)));

    auto* row = window.Root().Add<Element>();
    row->SetName("buttons");
    row->SetHorizontal(true);
    row->SetWidth(SizeSpec::Fill());
    row->SetHeight(SizeSpec::Fixed(Dpi(50)));
    row->SetPadding(Dpi(20), 0, Dpi(20), Dpi(20));
    row->SetSpacing(Dpi(10));
    row->SetAlign(Align::kEnd, Align::kStart);
    const HWND hwnd = window.Hwnd();
    for (const MessageButton& entry : box.buttons) {
        auto* button = row->Add<Button>(entry.text);
        button->SetName("result." + std::to_string(entry.result));
        button->SetFixedSize(Dpi(80), Dpi(30));
        button->SetLookName("bkInfo_button");
        button->SetTextColor(MakeColor(120, 120, 120));
        const int result = entry.result;
        button->On(ElementEvent::kClick,
                   [hwnd, result](Element&, const ElementEventArgs&, bool& handled) {
                       handled = true;
                       if (Window* w = Window::FromHwnd(hwnd))
                           w->EndModal(result);
                   });
    }
}

void HandleBoxMessage(Window& window, const MessageBoxLayout& box, WindowMessage& m,
                      bool& handled) {
    switch (m.message) {
        case WM_KEYDOWN:
            if (m.wParam == VK_ESCAPE) {
                handled = true;
                if (box.closable)
                    window.EndModal(box.closeResult);
            }
            break;
        case WM_SYSKEYDOWN:
            // Alt+F4 counts as Esc; no other Alt key opens the window menu.
            handled = true;
            if (m.wParam == VK_F4 && box.closable)
                window.EndModal(box.closeResult);
            break;
        case WM_SYSCHAR:
            handled = true;
            break;
        case WM_LBUTTONDOWN: {
            const Point p{static_cast<short>(LOWORD(m.lParam)),
                          static_cast<short>(HIWORD(m.lParam))};
            if (!window.FrameRect().Contains(p))
                handled = true;  // a press on the shadow does nothing
            break;
        }
        case WM_LBUTTONUP:
            // A drag may have left the box partly off the work area.
            KeepSecondaryOnScreen(window);
            break;
        default:
            break;
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

    WindowOptions options;
    options.width = size.width;
    options.height = size.height;
    options.title = caption;
    options.owner = owner;
    Window* window = Window::Create(options);
    if (!window)
        return SystemFallback(owner, text, caption, box, flags);
    ApplyDialogRecipe(*window);
    window->SetModalCloseResult(box.forcedCloseResult);
    BuildDialogCaption(*window, caption, box.closable);
    BuildBody(*window, box, text, textSize);
    PlaceSecondaryWindow(*window, owner);
    ApplySkinFrame(*window, CurrentSkin());
    window->OnMessage([box](Window& w, WindowMessage& m, bool& handled) {
        HandleBoxMessage(w, box, m, handled);
    });
    return window->DoModal();
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
