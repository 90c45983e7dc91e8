// The panel window: creation in its fixed sizes, the title bar, the show
// request and the close message.
#include "app/panel_window.h"

#include "app/display_scale.h"
#include "toolkit/dpi.h"
#include "toolkit/looks.h"

namespace pt {
namespace {

// Panel background, RGB 245,245,245.
const Color kBackground = MakeColor(245, 245, 245);

}  // namespace

PanelWindow::PanelWindow(const SharedFonts& fonts) : fonts_(fonts) {}

bool PanelWindow::Create() {
    WindowOptions options;
    options.exStyle = WS_EX_TOOLWINDOW;
    options.width = Dpi(kPanelWidth);
    options.height = Dpi(kPanelHeight);
    options.title = kPanelTitle;
    Window* window = Window::Create(options);
    if (!window) return false;
    hwnd_ = window->Hwnd();

    window->SetTransparentType(2);
    window->SetTransparentAlpha(254);
    window->EnableLayoutOverlayBorder(true);
    window->SetHorizontal(false);
    ::SetWindowLongPtrW(hwnd_, GWL_STYLE, ::GetWindowLongPtrW(hwnd_, GWL_STYLE) & ~WS_MAXIMIZEBOX);
    window->EnableDragBorder(true);
    window->SetDragBorderSize(5, 5, 5, 5);
    window->SetBorderSize(0, kCaptionHeight, 0, 0);
    window->SetMinimumSize(460, 590);
    window->SetBackground(Look::Fill(kBackground));
    window->SetShadow(ShadowParams{Dpi(5), 255, 5, true, 0});
    BuildTitleBar(*window);
    window->OnMessage([this](Window& w, WindowMessage& m, bool& handled) { HandleMessage(w, m, handled); });

    RECT work{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const Rect rect = window->GetRect();
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    int x = work.right / 2 - width / 2;
    int y = work.bottom / 2 - height / 2;
    x = x < 0 ? 0 : x;
    y = y < 0 ? 0 : y;
    window->SetRect(Rect{x, y, x + width, y + height});
    window->AdjustLayout();
    window->Redraw();
    return true;
}

void PanelWindow::BuildTitleBar(Window& window) {
    auto* titbar = window.Root().Add<Element>();
    titbar->SetName("titbar");
    titbar->SetHorizontal(true);
    titbar->SetWidth(SizeSpec::Fill());
    titbar->SetHeight(SizeSpec::Fixed(kCaptionHeight));
    titbar->SetPadding(10, 0, 8, 0);
    titbar->SetSpacing(10);
    titbar->SetAlign(Align::kStart, Align::kCenter);
    Look bar = Look::Fill(kBackground);
    bar.borderSides = kBorderBottom;
    bar.borderColor = MakeColor(235, 235, 235);
    titbar->SetLook(StateLook::Plain(bar));

    auto* title = titbar->Add<TextElement>(kPanelTitle);
    title->SetName("title");
    title->SetFont(fonts_.captionFont);
    title->SetTextColor(MakeColor(60, 60, 60));
}

void PanelWindow::Show() {
    if (Window* window = Window::FromHwnd(hwnd_)) {
        window->Show(true);
        ::SetForegroundWindow(hwnd_);
    }
}

void PanelWindow::HandleShowRequest(Window& window, LPARAM mode) {
    if (window.IsVisible()) {
        if (mode == kShowOrFront) {
            ::SetForegroundWindow(hwnd_);
        } else {
            window.Show(false);
        }
        return;
    }
    if (mode == kToggleAtCursor) {
        POINT cursor{};
        ::GetCursorPos(&cursor);
        const Rect rect = window.GetRect();
        const int width = rect.right - rect.left;
        const int height = rect.bottom - rect.top;
        RECT work{};
        ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
        int x = cursor.x - width / 2;
        int y = cursor.y - height / 2;
        if (x + width > work.right) x = work.right - width;
        if (y + height > work.bottom) y = work.bottom - height;
        window.SetPosition(x < 0 ? 0 : x, y < 0 ? 0 : y);
    }
    window.Show(true);
    ::SetForegroundWindow(hwnd_);
}

void PanelWindow::HandleMessage(Window& window, WindowMessage& message, bool& handled) {
    switch (message.message) {
        case WM_USER:
            if (message.wParam == 1) {
                HandleShowRequest(window, message.lParam);
                handled = true;
            }
            break;
        case WM_DESTROY:
            hwnd_ = nullptr;
            break;
        default:
            // WM_CLOSE takes its default course: the window goes, and with
            // the last window the message loop ends. Until the tray icon
            // exists there is no other way back to a hidden panel, so every
            // close ends the program.
            break;
    }
}

}  // namespace pt
