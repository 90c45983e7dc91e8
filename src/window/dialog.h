// The program's secondary windows (settings, skins, hotkey conflict,
// properties, the key dialog, the message box) are built on Dialog: native
// class "Pinatrove", owned by the panel, the dialog recipe (per-pixel alpha
// 254, layout over the border, no resizing) with the 35-pixel caption band
// (title, and a close button when asked), the skin frame, centred on the
// owner's monitor, pulled back inside the work area after a drag. Keys: Tab
// order, Enter and Esc as every toolkit window has them (window.h), Esc
// falling back to the close button; Alt+F4 closes like the close button,
// other Alt keys open no window menu (a focused hotkey box still gets them).
//
// A Dialog is a light handle: the toolkit window owns the element tree and
// the handlers; copies of the handle all name the same window.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "toolkit/window.h"

namespace pt {

// AddButton's result for a button that does not end the dialog by itself.
inline constexpr int kNoDialogResult = -1;

struct DialogOptions {
    std::string title;  // the caption text and the native title
    int width = 400;    // the window's size in pixels (already scaled)
    int height = 300;
    HWND owner = nullptr;     // the panel's window
    bool closeButton = true;  // without one, Esc and Alt+F4 do nothing
    int closeResult = 0;      // what RunModal returns when closed without a result
};

class Dialog {
  public:
    // Creates the window hidden, with its caption and an empty body.
    explicit Dialog(const DialogOptions& options);
    // The handle of a dialog window made before (from its HWND).
    static Dialog Of(HWND hwnd) {
        Dialog d;
        d.hwnd_ = hwnd;
        return d;
    }

    bool IsValid() const { return GetWindow() != nullptr; }
    Window* GetWindow() const { return Window::FromHwnd(hwnd_); }
    HWND Hwnd() const { return hwnd_; }
    // The area under the caption ("body"): vertical layout, filling the rest.
    Element* Body() const;

    // A dialog button (80 x 28 design pixels, style "bkInfo_button",
    // focusable) added to `parent`; a click ends the dialog with `result`,
    // after the kClick handlers the program adds. With kNoDialogResult the
    // button only fires kClick (an OK that checks its fields first).
    Button* AddButton(Element& parent, std::string_view text, int result = kNoDialogResult);
    void SetDefaultButton(Button* button);  // Enter
    void SetCancelButton(Button* button);   // Esc (else the close button)

    // Places the window (centred on the owner, inside its monitor's work
    // area), puts the skin on it, shows it and runs its modal loop: the owner
    // is disabled meanwhile. Returns End's result, or closeResult.
    int RunModal();
    // Places and shows the window without a loop.
    void ShowModeless();
    // Ends a modal run with `result`; a modeless dialog is destroyed.
    void End(int result);

  private:
    Dialog() = default;
    HWND hwnd_ = nullptr;
};

}  // namespace pt
