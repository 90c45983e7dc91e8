// The main panel's window: a toolkit window of class "Pinatrove" with its
// caption band and title. It answers the show/hide request of a second start
// and the close message.
#pragma once

#include <windows.h>

#include "app/shared_fonts.h"
#include "toolkit/window.h"

namespace pt {

inline constexpr char kPanelTitle[] = "Pinatrove";
inline constexpr int kPanelWidth = 810;
inline constexpr int kPanelHeight = 610;
inline constexpr int kCaptionHeight = 40;

// The show/hide request (WM_USER, wParam 1); lParam is one of these.
enum ShowRequest : LPARAM { kToggle = 0, kShowOrFront = 1, kToggleAtCursor = 2 };

class PanelWindow {
  public:
    explicit PanelWindow(const SharedFonts& fonts);
    PanelWindow(const PanelWindow&) = delete;
    PanelWindow& operator=(const PanelWindow&) = delete;

    bool Create();
    HWND Handle() const { return hwnd_; }
    void Show();

  private:
    void BuildTitleBar(Window& window);
    void HandleMessage(Window& window, WindowMessage& message, bool& handled);
    void HandleShowRequest(Window& window, LPARAM mode);

    const SharedFonts& fonts_;
    HWND hwnd_ = nullptr;
};

}  // namespace pt
