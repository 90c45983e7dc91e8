// Placeholder panel window: creation, painting, the show request and exit.
#include "app/panel_window.h"

#include "app/display_scale.h"
#include "base/text.h"
#include "base/win_handles.h"

namespace pt {

PanelWindow::PanelWindow(HINSTANCE instance, float scale, const SharedFonts& fonts)
    : instance_(instance), scale_(scale), fonts_(fonts) {}

PanelWindow::~PanelWindow() {
    if (window_) ::DestroyWindow(window_);
}

bool PanelWindow::Create() {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = instance_;
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.hIcon = ::LoadIconW(instance_, MAKEINTRESOURCEW(1));
    wc.lpszClassName = kPanelClass;
    if (!::RegisterClassExW(&wc) && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return false;

    const int width = Scaled(kPanelWidth, scale_);
    const int height = Scaled(kPanelHeight, scale_);
    window_ = ::CreateWindowExW(WS_EX_TOOLWINDOW, kPanelClass, kPanelTitle,
                                WS_POPUP | WS_CLIPCHILDREN | WS_MINIMIZEBOX, 0, 0, width, height,
                                nullptr, nullptr, instance_, this);
    if (!window_) return false;
    RECT work{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    CentreIn(work);
    return true;
}

void PanelWindow::Show() {
    ::ShowWindow(window_, SW_SHOW);
    ::SetForegroundWindow(window_);
}

void PanelWindow::CentreIn(const RECT& area) {
    RECT rect{};
    ::GetWindowRect(window_, &rect);
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    int x = area.left + (area.right - area.left - width) / 2;
    int y = area.top + (area.bottom - area.top - height) / 2;
    ::SetWindowPos(window_, nullptr, x < 0 ? 0 : x, y < 0 ? 0 : y, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void PanelWindow::HandleShowRequest(LPARAM mode) {
    const bool visible = ::IsWindowVisible(window_) != FALSE;
    if (mode == kShowOrFront) {
        Show();
        return;
    }
    if (visible) {
        ::ShowWindow(window_, SW_HIDE);
        return;
    }
    if (mode == kToggleAtCursor) {
        POINT cursor{};
        ::GetCursorPos(&cursor);
        MONITORINFO info{};
        info.cbSize = sizeof info;
        ::GetMonitorInfoW(::MonitorFromPoint(cursor, MONITOR_DEFAULTTONEAREST), &info);
        RECT rect{};
        ::GetWindowRect(window_, &rect);
        const int width = rect.right - rect.left;
        const int height = rect.bottom - rect.top;
        RECT around{cursor.x - width / 2, cursor.y - height / 2, cursor.x + width / 2,
                    cursor.y + height / 2};
        if (around.left < info.rcWork.left) ::OffsetRect(&around, info.rcWork.left - around.left, 0);
        if (around.top < info.rcWork.top) ::OffsetRect(&around, 0, info.rcWork.top - around.top);
        if (around.right > info.rcWork.right) ::OffsetRect(&around, info.rcWork.right - around.right, 0);
        if (around.bottom > info.rcWork.bottom) ::OffsetRect(&around, 0, info.rcWork.bottom - around.bottom);
        ::SetWindowPos(window_, nullptr, around.left, around.top, 0, 0,
                       SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    Show();
}

void PanelWindow::Paint(HDC dc) {
    RECT client{};
    ::GetClientRect(window_, &client);
    UniqueBrush background(::CreateSolidBrush(kPanelBackground));
    ::FillRect(dc, &client, background.Get());

    const int caption = Scaled(kCaptionHeight, scale_);
    RECT line{client.left, caption - 1, client.right, caption};
    UniqueBrush lineBrush(::CreateSolidBrush(RGB(235, 235, 235)));
    ::FillRect(dc, &line, lineBrush.Get());

    RECT title{client.left + Scaled(10, scale_), client.top, client.right, caption};
    ScopedSelect font(dc, fonts_.captionFont.Get());
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, RGB(60, 60, 60));
    ::DrawTextW(dc, kPanelTitle, -1, &title, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
}

LRESULT CALLBACK PanelWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        auto* self = static_cast<PanelWindow*>(create->lpCreateParams);
        self->window_ = window;
        ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<PanelWindow*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self) return ::DefWindowProcW(window, message, wParam, lParam);
    // Nothing thrown below may unwind through the system's message dispatch.
    try {
        return self->HandleMessage(message, wParam, lParam);
    } catch (...) {
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
}

LRESULT PanelWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_USER:
            if (wParam == 1) HandleShowRequest(lParam);
            return 0;
        case WM_NCHITTEST: {
            // The caption band moves the window, as a title bar would.
            LRESULT hit = ::DefWindowProcW(window_, message, wParam, lParam);
            POINT point{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
            ::ScreenToClient(window_, &point);
            if (hit == HTCLIENT && point.y < Scaled(kCaptionHeight, scale_)) return HTCAPTION;
            return hit;
        }
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = ::BeginPaint(window_, &ps);
            Paint(dc);
            ::EndPaint(window_, &ps);
            return 0;
        }
        case WM_CLOSE:
            // Until the tray icon exists there is no other way back to a
            // hidden panel, so every close ends the program.
            ::DestroyWindow(window_);
            return 0;
        case WM_DESTROY:
            ::SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
            window_ = nullptr;
            ::PostQuitMessage(0);
            return 0;
        default:
            return ::DefWindowProcW(window_, message, wParam, lParam);
    }
}

}  // namespace pt
