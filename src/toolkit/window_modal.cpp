// Modal loops of toolkit windows: the owner disabled while the window runs
// its own message loop, and the end of the loop from inside or outside it.
#include "toolkit/toolkit.h"
#include "toolkit/window.h"

namespace pt {

int Window::DoModal() {
    if (!IsAlive() || modal_)
        return modalCloseResult_;
    DispatchScope scope;  // keeps this object alive until the loop has unwound
    HWND owner = ::GetWindow(hwnd_, GW_OWNER);
    modalOwner_ = owner && ::IsWindowEnabled(owner) ? owner : nullptr;
    if (modalOwner_)
        ::EnableWindow(modalOwner_, FALSE);
    modal_ = true;
    modalDone_ = false;
    modalResult_ = modalCloseResult_;
    ShowWindow(SW_SHOW);
    MSG msg;
    while (!modalDone_) {
        const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {
            // Leave the quit for the outer loop as well.
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (got == -1)
            break;
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    if (modalOwner_) {
        ::EnableWindow(modalOwner_, TRUE);
        modalOwner_ = nullptr;
    }
    if (!destroyed_ && hwnd_)
        ::DestroyWindow(hwnd_);
    modal_ = false;
    return modalResult_;
}

void Window::EndModal(int code) {
    if (!modal_ || modalDone_)
        return;
    DispatchScope scope;
    modalResult_ = code;
    modalDone_ = true;
    // The owner is enabled before the dialog goes, so the activation
    // returns to it rather than to some other application.
    if (modalOwner_) {
        ::EnableWindow(modalOwner_, TRUE);
        modalOwner_ = nullptr;
    }
    if (!destroyed_ && hwnd_)
        ::DestroyWindow(hwnd_);
    ::PostMessageW(nullptr, WM_NULL, 0, 0);  // wakes the loop if the end came from elsewhere
}

}  // namespace pt
