// The main panel; see panel_window.h.
#include "panel/panel_window.h"

#include "launcher/icon_store.h"
#include "panel/placement.h"
#include "panel/skin_frame.h"
#include "settings/settings_store.h"
#include "toolkit/dpi.h"
#include "toolkit/property_table.h"

namespace pt {
namespace {

HWND g_panel = nullptr;

Rect WorkArea() {
    RECT work{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    return Rect{work.left, work.top, work.right, work.bottom};
}

Skin SkinFromSettings(const SettingsStore& settings) {
    Skin skin;
    skin.background = settings.GetBackgroundColor();
    skin.styleMac = settings.GetStyleMac();
    skin.borderRadius = settings.GetBorderRadius();
    return skin;
}

Button* AddSysButton(Window& window, Element& bar, const char* name, const char* tooltip) {
    auto* button = bar.Add<Button>();
    button->SetName(name);
    button->SetFixedSize(Dpi(20), Dpi(20));
    button->SetTransparent(true);
    button->SetTooltip(tooltip);
    PublishFramePart(window, name, button);
    return button;
}

}  // namespace

HWND PanelHandle() {
    return g_panel;
}

PanelWindow::PanelWindow(PanelServices services) : services_(std::move(services)) {}

PanelWindow::~PanelWindow() {
    // The window's handlers point at this object: a window that outlives it
    // (the loop ended without a close) goes with it.
    if (Window* window = Window::FromHwnd(hwnd_)) {
        window->RemoveHandler(messageHandler_);
        window->Destroy();
    }
    if (g_panel && g_panel == hwnd_)
        g_panel = nullptr;
}

bool PanelWindow::Create() {
    if (!services_.settings)
        return false;
    WindowOptions options;
    options.exStyle = WS_EX_TOOLWINDOW;
    options.width = Dpi(kPanelWidth);
    options.height = Dpi(kPanelHeight);
    options.title = kPanelTitle;
    Window* window = Window::Create(options);
    if (!window)
        return false;
    hwnd_ = window->Hwnd();
    g_panel = hwnd_;

    window->SetTransparentType(2);
    window->SetTransparentAlpha(254);
    window->EnableLayoutOverlayBorder(true);
    window->SetHorizontal(false);
    ::SetWindowLongPtrW(hwnd_, GWL_STYLE, ::GetWindowLongPtrW(hwnd_, GWL_STYLE) & ~WS_MAXIMIZEBOX);
    window->EnableDragBorder(true);
    window->SetDragBorderSize(5, 5, 5, 5);
    window->SetBorderSize(0, kTitleBarHeight, 0, 0);
    window->SetMinimumSize(kPanelMinWidth, kPanelMinHeight);
    SetWindowFlag(hwnd_, kSkinBodyProperty, true);

    BuildTitleBar(*window);
    auto* content = window->Root().Add<Element>();
    content->SetName("content");
    content->SetWidth(SizeSpec::Fill());
    content->SetHeight(SizeSpec::Weight(1));
    if (services_.content)
        services_.content->Build(*content);
    BuildDateFooter(window->Root(), services_.today);

    Place(*window);

    SettingsStore& settings = *services_.settings;
    SetCurrentSkin(SkinFromSettings(settings));
    ApplySkinFrame(*window, CurrentSkin());

    messageHandler_ = window->OnMessage(
        [this](Window& w, WindowMessage& m, bool& handled) { HandleMessage(w, m, handled); });
    window->AdjustLayout();
    window->Redraw();
    return true;
}

void PanelWindow::BuildTitleBar(Window& window) {
    auto* titbar = window.Root().Add<Element>();
    titbar->SetName("titbar");
    titbar->SetHorizontal(true);
    titbar->SetPosition(0, 0);
    titbar->SetWidth(SizeSpec::Fill());
    titbar->SetHeight(SizeSpec::Fixed(kTitleBarHeight));
    titbar->SetPadding(10, 0, 8, 0);
    titbar->SetSpacing(10);
    titbar->SetAlign(Align::kStart, Align::kCenter);
    PublishFramePart(window, "titbar", titbar);

    auto* title = titbar->Add<TextElement>(kPanelTitle);
    title->SetName("title");
    title->SetFont(services_.captionFont);
    PublishFramePart(window, "title", title);

    // The title takes the free width, so the buttons sit at the right.
    auto* spacer = titbar->Add<Element>();
    spacer->SetWidth(SizeSpec::Weight(1));
    spacer->SetMouseThrough(true);

    Button* skin = AddSysButton(window, *titbar, "skin", "换肤");
    skin->On(ElementEvent::kClick, [this](Element&, const ElementEventArgs&, bool& handled) {
        handled = true;
        if (onSkin_)
            onSkin_();
    });

    auto* line = titbar->Add<Element>();
    line->SetName("line");
    line->SetFixedSize(1, 10);
    StateLook lineLook;
    if (FindNamedLook("bkInfo_line", lineLook)) {
        lineLook.disabled = Look{};  // on a dark title bar the separator goes
        line->SetLook(lineLook);
    }
    PublishFramePart(window, "line", line);

    Button* menu = AddSysButton(window, *titbar, "menu", "菜单");
    menu->On(ElementEvent::kClick, [this](Element&, const ElementEventArgs&, bool& handled) {
        handled = true;
        if (onMenu_)
            onMenu_();
    });

    Button* mini = AddSysButton(window, *titbar, "mini", "最小化");
    mini->On(ElementEvent::kClick, [this](Element&, const ElementEventArgs&, bool& handled) {
        handled = true;
        Hide();
    });

    Button* close = AddSysButton(window, *titbar, "close", "关闭");
    close->SetButtonType(ButtonType::kClose);
}

void PanelWindow::Place(Window& window) {
    SettingsStore& settings = *services_.settings;
    PanelPlacementInput in;
    in.work = WorkArea();
    const Rect created = window.GetRect();
    in.created = Size{created.Width(), created.Height()};
    in.minimum = Size{kPanelMinWidth, kPanelMinHeight};
    in.sizeRemember = settings.GetSizeRemember();
    settings.GetSizeLast(&in.sizeLast.width, &in.sizeLast.height);
    in.posRemember = settings.GetPosRemember();
    settings.GetPosLast(&in.posLast.x, &in.posLast.y);
    in.dpiReset = settings.GetDPIReset();
    window.SetRect(PlacePanel(in));

    if (settings.GetPosLock())
        window.EnableDragCaption(false);
    if (settings.GetSizeLock()) {
        window.EnableDragBorder(false);
        window.SetDragBorderSize(0, 0, 0, 0);
    }
    if (settings.GetIndexRemember() && services_.content) {
        int iClass = 0;
        int iGroup = 0;
        settings.GetIndexLast(&iClass, &iGroup);
        services_.content->SelectRemembered(iClass, iGroup);
    }
}

void PanelWindow::FinishStart() {
    Window* window = Window::FromHwnd(hwnd_);
    if (!window)
        return;
    SettingsStore& settings = *services_.settings;
    const bool dpiReset = settings.GetDPIReset();
    ::SetForegroundWindow(hwnd_);
    if (settings.GetHideAfterStartup() && !dpiReset) {
        Hide();
    } else {
        Show();
    }
    if (dpiReset) {
        const Rect rect = window->GetRect();
        if (settings.GetPosRemember())
            settings.SetPosLast(rect.left, rect.top);
        if (settings.GetSizeRemember())
            settings.SetSizeLast(rect.Width(), rect.Height());
        settings.SetDPIReset(false);
    }
}

void PanelWindow::Show() {
    if (Window* window = Window::FromHwnd(hwnd_)) {
        window->Show(true);
        SetWindowFlag(hwnd_, "bDockShow", true);
        ::SetForegroundWindow(hwnd_);
    }
}

void PanelWindow::Hide() {
    if (Window* window = Window::FromHwnd(hwnd_)) {
        window->Show(false);
        SetWindowFlag(hwnd_, "bDockShow", false);
    }
}

void PanelWindow::FlushStores() {
    if (services_.content)
        services_.content->FlushPendingSave();
    if (services_.icons)
        services_.icons->FlushPendingSave();
    services_.settings->FlushPendingSave();
}

void PanelWindow::HandleShowRequest(Window& window, LPARAM mode) {
    if (window.IsVisible()) {
        if (mode == kShowOrFront) {
            ::SetForegroundWindow(hwnd_);
        } else {
            Hide();
        }
        return;
    }
    if (mode == kToggleAtCursor) {
        POINT cursor{};
        ::GetCursorPos(&cursor);
        const Rect rect = window.GetRect();
        const Rect centred = Rect::FromSize(
            cursor.x - rect.Width() / 2, cursor.y - rect.Height() / 2, rect.Width(), rect.Height());
        const Rect inside = KeepInsideWorkArea(centred, WorkArea());
        window.SetPosition(inside.left, inside.top);
        RememberPosition(window);
    }
    Show();
}

void PanelWindow::RememberPosition(Window& window) {
    SettingsStore& settings = *services_.settings;
    if (!settings.GetPosRemember())
        return;
    const Rect inside = KeepInsideWorkArea(window.GetRect(), WorkArea());
    int x = 0;
    int y = 0;
    settings.GetPosLast(&x, &y);
    if (x != inside.left || y != inside.top)
        settings.SetPosLast(inside.left, inside.top);
}

void PanelWindow::HandleMessage(Window& window, WindowMessage& message, bool& handled) {
    SettingsStore& settings = *services_.settings;
    switch (message.message) {
        case WM_USER:
            if (message.wParam == 1) {
                HandleShowRequest(window, message.lParam);
                handled = true;
            }
            break;
        case WM_CLOSE:
            if (message.wParam == 1 || settings.GetExitAfterClose()) {
                // The exit path; the close then takes its course, the window
                // goes and with it the message loop.
                if (onExit_)
                    onExit_();
                FlushStores();
            } else {
                Hide();
                handled = true;
            }
            break;
        case WM_ENDSESSION:
            // The session ends without a close: the process may be ended as
            // soon as this returns, so pending saves are written now.
            if (message.wParam)
                FlushStores();
            break;
        case WM_SIZE:
            if (message.wParam != SIZE_MINIMIZED && settings.GetSizeRemember()) {
                // Showing and re-laying out repeat the same size; only a
                // real change is worth a save.
                int width = 0;
                int height = 0;
                settings.GetSizeLast(&width, &height);
                if (width != LOWORD(message.lParam) || height != HIWORD(message.lParam))
                    settings.SetSizeLast(LOWORD(message.lParam), HIWORD(message.lParam));
            }
            break;
        case WM_LBUTTONUP:
            // The end of a move by the caption (or of any click).
            RememberPosition(window);
            break;
        case WM_SYSKEYDOWN:
            if (message.wParam == VK_F4) {
                ::PostMessageW(hwnd_, WM_CLOSE, 0, 0);
                handled = true;
            }
            break;
        case WM_SYSKEYUP:
        case WM_SYSCHAR:
            // No window menu, no beep.
            handled = true;
            break;
        case WM_DESTROY:
            if (g_panel == hwnd_)
                g_panel = nullptr;
            hwnd_ = nullptr;
            break;
        default:
            break;
    }
}

}  // namespace pt
