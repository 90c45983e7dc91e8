// The main panel; see panel_window.h.
#include "panel/panel_window.h"

#include <windowsx.h>

#include <cmath>

#include "launcher/icon_store.h"
#include "window/placement.h"
#include "window/skin_frame.h"
#include "base/hotkey_text.h"
#include "settings/settings_store.h"
#include "toolkit/dpi.h"
#include "toolkit/property_table.h"
#include "toolkit/screen_areas.h"

namespace pt {
namespace {

HWND g_panel = nullptr;

constexpr char kPanelHotkey[] = "Pinatrove";
constexpr char kCameraHotkey[] = "Camera";

// The work area of the monitor under the centre of `rect`.
Rect WorkAreaUnder(const Rect& rect) {
    return WorkAreaUnder(QueryMonitors(), rect);
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
    if (settingsObserver_)
        services_.settings->Unsubscribe(settingsObserver_);
    // The window's handlers point at this object: a window that outlives it
    // (the loop ended without a close) goes with it.
    SetSkinFollower(hwnd_, nullptr);
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
    // A rename under way stays open while another program has the focus.
    window->SetFocusFollowsWindow(false);

    window->SetTransparentType(2);
    window->SetTransparentAlpha(254);
    // The panel paints on a change, not continuously: its 2 MB buffer is
    // made for each paint rather than kept beside the system's copy.
    window->SetKeepsBackBuffer(false);
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
    Element* footer = BuildDateFooter(window->Root(), services_.today);

    Place(*window);

    SettingsStore& settings = *services_.settings;
    SetSkinFollower(hwnd_, [content = services_.content, footer](const Skin& skin) {
        const bool dark = IsDarkColor(skin.background);
        if (content)
            content->FollowSkin(dark);
        DressDateFooter(*footer, dark);
    });
    SetCurrentSkin(SkinFromSettings(settings));
    ApplySkinFrame(*window, CurrentSkin());

    // Ahead of the docking's handler: a move's end is remembered before
    // the snap moves the panel.
    messageHandler_ = window->OnMessage(
        [this](Window& w, WindowMessage& m, bool& handled) { HandleMessage(w, m, handled); });
    dock_.Attach(hwnd_);
    dock_.ApplySettings(settings.GetEasing(), settings.GetSpeed(), settings.GetTopMost(),
                        settings.GetDockPanel());
    settingsObserver_ = settings.Subscribe([this](std::string_view key) { FollowSetting(key); });
    taskbarCreated_ = ::RegisterWindowMessageW(L"TaskbarCreated");
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
        // Withdrawn, not parked: a docked panel does not leave its strip.
        if (Window* w = Window::FromHwnd(hwnd_))
            w->Show(false);
    });

    Button* close = AddSysButton(window, *titbar, "close", "关闭");
    close->SetButtonType(ButtonType::kClose);
}

void PanelWindow::Place(Window& window) {
    SettingsStore& settings = *services_.settings;
    PanelPlacementInput in;
    in.monitors = QueryMonitors();
    const Rect created = window.GetRect();
    in.created = Size{created.Width(), created.Height()};
    in.minimum = Size{kPanelMinWidth, kPanelMinHeight};
    in.sizeRemember = settings.GetSizeRemember();
    settings.GetSizeLast(&in.sizeLast.width, &in.sizeLast.height);
    in.posRemember = settings.GetPosRemember();
    settings.GetPosLast(&in.posLast.x, &in.posLast.y);
    in.dpiReset = settings.GetDPIReset();
    const PanelPlacement placed = PlacePanel(in);
    window.SetMinimumSize(placed.minimum.width, placed.minimum.height);
    window.SetRect(placed.rect);
    // Shown smaller than asked for: that is the screen's doing, not the
    // user's, so the remembered size stays until the user resizes.
    wantedSize_ = placed.wanted;
    fittedSize_ = Size{placed.rect.Width(), placed.rect.Height()};

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
    // The snap of a move's end, without remembering: the start position
    // is not a change of the user's.
    dock_.Snap();
    if (settings.GetHideAfterStartup() && !dpiReset) {
        ::SetForegroundWindow(hwnd_);
        Hide();
    } else {
        // Show asks for the foreground itself, once the panel is there:
        // asked for before, a hidden window's activation took 3 ms of the
        // first paint under Wine.
        Show();
        // Some window systems (Wine's among them) hand a layered window's
        // new picture to the screen only once its thread waits for
        // messages; a zero wait here shows the first frame now rather than
        // after the rest of the start.
        ::MsgWaitForMultipleObjectsEx(0, nullptr, 0, QS_ALLINPUT, 0);
    }
    // After the first paint: the notification area's answer takes a few
    // milliseconds that the panel's appearance need not wait for.
    if (settings.GetShowTrayIcon() && !tray_.IsAdded())
        tray_.Add(hwnd_);
    if (dpiReset) {
        const Rect rect = window->GetRect();
        if (settings.GetPosRemember())
            settings.SetPosLast(rect.left, rect.top);
        if (settings.GetSizeRemember())
            settings.SetSizeLast(wantedSize_.width, wantedSize_.height);
        settings.SetDPIReset(false);
    }
    RegisterHotkeys();
    itemFormat_ = ::RegisterClipboardFormatW(L"Pinatrove");
    idListFormat_ = ::RegisterClipboardFormatW(L"Shell IDList Array");
}

void PanelWindow::RegisterHotkeys() {
    SettingsStore& settings = *services_.settings;
    settings.SetHotkeyWindow(hwnd_);
    hotkeysRegistered_ = true;
    for (const char* entry : {kPanelHotkey, kCameraHotkey}) {
        std::string text;
        if (!settings.GetHotkey(entry, &text))
            continue;
        if (!settings.RegisterHotkey(entry, text) && settings.GetRegFailTips() &&
            services_.hotkeyRefused)
            services_.hotkeyRefused(entry);
    }
}

void PanelWindow::Show() {
    dock_.Show();
    ::SetForegroundWindow(hwnd_);
}

void PanelWindow::Hide() {
    dock_.Hide();
}

void PanelWindow::FlushStores() {
    if (services_.content)
        services_.content->FlushPendingSave();
    if (services_.icons)
        services_.icons->FlushPendingSave();
    services_.settings->FlushPendingSave();
}

void PanelWindow::RunExitPath() {
    for (const std::function<void()>& hook : beforeExit_) {
        if (hook)
            hook();
    }
    tray_.Remove();
    FlushStores();
}

void PanelWindow::HandleShowRequest(Window& window, LPARAM mode) {
    if (dock_.IsShown()) {
        if (mode == kShowOrFront) {
            ::SetForegroundWindow(hwnd_);
        } else {
            SetWindowFlag(hwnd_, "bSkipTimer", false);
            dock_.Hide();
        }
        return;
    }
    if (mode == kToggleAtCursor) {
        POINT cursor{};
        ::GetCursorPos(&cursor);
        const Rect rect = window.GetRect();
        window.SetPosition(static_cast<int>(std::lround(cursor.x - rect.Width() / 2.0)),
                           static_cast<int>(std::lround(cursor.y - rect.Height() / 2.0)));
        // As at a move's end: clamped, remembered and snapped.
        ::SendMessageW(hwnd_, WM_LBUTTONUP, 0, 0);
    }
    // The edge timer leaves a panel alone that was called up on purpose,
    // until the mouse leaves it or it loses the focus.
    SetWindowFlag(hwnd_, "bSkipTimer", true);
    dock_.Show();
    ::SetForegroundWindow(hwnd_);
}

void PanelWindow::HandleHotkey(WindowMessage& message) {
    const int id = static_cast<int>(message.wParam);
    if (id == HotkeyRegistrationId(kPanelHotkey)) {
        if (HWND menu = OpenToolkitMenu()) {
            // Never leave a menu orphaned over a hidden panel: close it
            // and take the key again once it has gone.
            ::SendMessageW(menu, WM_CLOSE, 0, 0);
            ::PostMessageW(hwnd_, WM_HOTKEY, message.wParam, message.lParam);
            return;
        }
        const LPARAM mode = services_.settings->GetShowFollowsMouse() ? kToggleAtCursor : kToggle;
        ::SendMessageW(hwnd_, WM_USER, 1, mode);
    } else if (id == HotkeyRegistrationId(kCameraHotkey)) {
        if (services_.startCapture)
            services_.startCapture();
    }
}

void PanelWindow::HandleKillFocus() {
    // A click on our own tray icon takes the focus first; the click's own
    // toggle then decides, so the request's protection stays.
    if (!tray_.IsHovered())
        SetWindowFlag(hwnd_, "bSkipTimer", false);
    if (!services_.settings->GetHideAfterKillFocus() || !dock_.IsShown())
        return;
    POINT cursor{};
    ::GetCursorPos(&cursor);
    if (Window::FromHwnd(::WindowFromPoint(cursor)))
        return;  // a click into one of our windows or menus
    // One of the program's dialogs took the focus. Hidden ones do not
    // count: they would keep the panel up for good.
    for (HWND w = ::FindWindowExW(nullptr, nullptr, kWindowClass, nullptr); w;
         w = ::FindWindowExW(nullptr, w, kWindowClass, nullptr)) {
        if (w != hwnd_ && ::IsWindowVisible(w) && Window::FromHwnd(w))
            return;
    }
    SetWindowFlag(hwnd_, "bSkipTimer", false);
    dock_.Hide();
}

void PanelWindow::HandleTray(LPARAM mouseMessage) {
    if (mouseMessage == WM_LBUTTONDOWN) {
        ::SendMessageW(hwnd_, WM_USER, 1, kToggle);
    } else if (mouseMessage == WM_RBUTTONUP) {
        const Skin& skin = CurrentSkin();
        const HWND panel = hwnd_;
        trayMenu_.Open(hwnd_, skin.background, skin.borderRadius, [panel](int id) {
            if (id == kTrayItemPanel) {
                ::SendMessageW(panel, WM_USER, 1, kToggle);
            } else if (id == kTrayItemExit) {
                // Posted: the window must outlive the menu's own dispatch.
                ::PostMessageW(panel, WM_CLOSE, 1, 0);
            }
        });
    }
}

void PanelWindow::RememberPosition(Window& window) {
    // A move ends inside the work area of the monitor it ended on, so the
    // panel never stays half on a screen edge or in the gap between screens.
    const Rect rect = window.GetRect();
    const Rect inside = KeepInsideWorkArea(rect, WorkAreaUnder(rect));
    if (!(inside == rect))
        window.SetPosition(inside.left, inside.top);
    SettingsStore& settings = *services_.settings;
    if (!settings.GetPosRemember())
        return;
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
                RunExitPath();
            } else {
                // Withdrawn, as the mini button does; the hotkey, the tray
                // and a second start bring it back.
                window.Show(false);
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
                const Size now{LOWORD(message.lParam), HIWORD(message.lParam)};
                if (now == fittedSize_ && !(fittedSize_ == wantedSize_))
                    break;  // still the fit to a small screen
                fittedSize_ = wantedSize_ = now;
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
        case WM_HOTKEY:
            HandleHotkey(message);
            handled = true;
            break;
        case WM_KILLFOCUS:
            HandleKillFocus();
            break;
        case kMsgTrayCallback:
            HandleTray(message.lParam);
            handled = true;
            break;
        case WM_SETCURSOR:
            // A click on a panel shown without activation makes it the
            // active window, so its focus loss is seen later.
            if (HIWORD(message.lParam) == WM_LBUTTONDOWN && ::IsWindowEnabled(hwnd_) &&
                ::GetForegroundWindow() != hwnd_)
                ::SetForegroundWindow(hwnd_);
            break;
        case WM_LBUTTONDOWN: {
            const Point p{GET_X_LPARAM(message.lParam), GET_Y_LPARAM(message.lParam)};
            if (!window.ElementAt(p))
                window.SetFocusElement(nullptr);
            // With resizing locked a press beside the frame (on the shadow)
            // does nothing at all.
            if (!window.IsDragBorder() && !window.FrameRect().Contains(p))
                handled = true;
            break;
        }
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
            if (message.message == taskbarCreated_ && taskbarCreated_ != 0 &&
                settings.GetShowTrayIcon() && !tray_.Readd())
                tray_.Add(hwnd_);
            break;
    }
}

}  // namespace pt
