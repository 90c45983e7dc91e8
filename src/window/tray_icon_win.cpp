// Tray icon and tray menu; see tray_icon.h.
#include "window/tray_icon.h"

#include <string>

#include "base/hotkey_text.h"
#include "toolkit/dll_binding.h"
#include "toolkit/menu.h"
#include "toolkit/window.h"
#include "window/menu_look.h"
#include "window/colors.h"

namespace pt {
namespace {

constexpr wchar_t kTrayTip[] = L"Pinatrove";

std::wstring ExePath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0)
            return {};
        if (n < path.size()) {
            path.resize(n);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

}  // namespace

UINT TrayIconId() {
    static const UINT id = HotkeyIdentifier("Pinatrove");
    return id;
}

bool TrayIcon::Add(HWND window) {
    if (!icon_) {
        const std::wstring exe = ExePath();
        icon_.Reset(::ExtractIconW(::GetModuleHandleW(nullptr), exe.c_str(), 0));
        // ExtractIcon answers 1 for a file that is no icon source.
        if (icon_.Get() == reinterpret_cast<HICON>(1))
            icon_.Release();
    }
    data_ = NOTIFYICONDATAW{};
    data_.cbSize = sizeof data_;
    data_.hWnd = window;
    data_.uID = TrayIconId();
    data_.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data_.uCallbackMessage = kMsgTrayCallback;
    data_.hIcon = icon_.Get();
    ::lstrcpynW(data_.szTip, kTrayTip, ARRAYSIZE(data_.szTip));
    added_ = ::Shell_NotifyIconW(NIM_ADD, &data_) != FALSE;
    return added_;
}

void TrayIcon::Remove() {
    if (data_.hWnd)
        ::Shell_NotifyIconW(NIM_DELETE, &data_);
    added_ = false;
}

bool TrayIcon::Readd() {
    if (!data_.hWnd)
        return false;
    ::Shell_NotifyIconW(NIM_DELETE, &data_);
    added_ = ::Shell_NotifyIconW(NIM_ADD, &data_) != FALSE;
    return added_;
}

bool TrayIcon::IsHovered() const {
    if (!added_)
        return false;
    // Bound late: shells before it lack the export, and the answer is then
    // simply "not over the icon".
    static DllFunction<decltype(&::Shell_NotifyIconGetRect)> getRect{"shell32.dll",
                                                                     "Shell_NotifyIconGetRect"};
    auto fn = getRect.Optional();
    if (!fn)
        return false;
    NOTIFYICONIDENTIFIER id{};
    id.cbSize = sizeof id;
    id.hWnd = data_.hWnd;
    id.uID = data_.uID;
    RECT where{};
    if (FAILED(fn(&id, &where)))
        return false;
    POINT cursor{};
    ::GetCursorPos(&cursor);
    return ::PtInRect(&where, cursor) != FALSE;
}

TrayMenu::~TrayMenu() {
    if (menu_ && menu_->IsOpen())
        menu_->Close();
    if (Window* w = Window::FromHwnd(owner_))
        w->RemoveHandler(handler_);
}

bool TrayMenu::IsOpen() const {
    return menu_ && menu_->IsOpen();
}

bool TrayMenu::Open(HWND owner, Color background, bool roundCorners,
                    std::function<void(int)> chosen) {
    Window* window = Window::FromHwnd(owner);
    if (!window)
        return false;
    if (owner_ != owner) {
        if (Window* old = Window::FromHwnd(owner_))
            old->RemoveHandler(handler_);
        owner_ = owner;
        handler_ = window->OnMessage(
            [this](Window&, WindowMessage& m, bool& handled) { HandleMessage(m, handled); });
    }
    // The menu closes when the user clicks elsewhere only if the panel's
    // thread owns the foreground.
    ::SetForegroundWindow(owner);
    auto menu = Menu::Create();
    menu->EnableDrawItem(true);
    menu->EnableDrawBackground(true);
    menu->SetBorderColor(kFaintColor);
    menu->AddItem(kTrayItemPanel, "启动板");
    menu->AddItem(kTrayItemExit, "退出软件");
    menu->SetItemHeight(28);
    menu->SetBorderSize(5, 10, 5, 10);
    menu_ = menu;
    chosen_ = std::move(chosen);
    background_ = background;
    roundCorners_ = roundCorners;
    POINT cursor{};
    ::GetCursorPos(&cursor);
    if (!menu->Popup(owner, Point{cursor.x, cursor.y})) {
        menu_.reset();
        chosen_ = nullptr;
        return false;
    }
    return true;
}

void TrayMenu::HandleMessage(WindowMessage& message, bool& handled) {
    if (!menu_)
        return;
    auto* info = reinterpret_cast<MenuDrawInfo*>(message.lParam);
    const bool ours = info && info->menu == menu_.get();
    switch (message.message) {
        case kMsgMenuPopupWindow:
            if (ours && info->window)
                DressMenuWindow(*info->window, roundCorners_);
            break;
        case kMsgMenuDrawBackground:
            if (ours && info->canvas) {
                info->canvas->FillRect(info->rect, background_);
                handled = true;
            }
            break;
        case kMsgMenuDrawItem:
            if (ours && info->canvas) {
                DrawMenuItem(*info);
                handled = true;
            }
            break;
        case kMsgMenuSelect:
            // Posted after the menu closed; an open menu is a newer one.
            if (!menu_->IsOpen()) {
                std::function<void(int)> chosen = std::move(chosen_);
                chosen_ = nullptr;
                menu_.reset();
                handled = true;
                if (chosen)
                    chosen(static_cast<int>(message.wParam));
            }
            break;
        case kMsgMenuExit:
            if (!menu_->IsOpen()) {
                menu_.reset();
                chosen_ = nullptr;
            }
            break;
        default:
            break;
    }
}

}  // namespace pt
