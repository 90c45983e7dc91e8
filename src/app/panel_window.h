// The main panel's window. For now a plain window of class "Pinatrove" with a
// light frame and a caption; it already answers the show/hide request of a
// second start and the close-and-exit message.
#pragma once

#include <windows.h>

#include "app/shared_fonts.h"

namespace pt {

inline constexpr wchar_t kPanelClass[] = L"Pinatrove";
inline constexpr wchar_t kPanelTitle[] = L"Pinatrove";
inline constexpr int kPanelWidth = 810;
inline constexpr int kPanelHeight = 610;
inline constexpr int kCaptionHeight = 40;
// Panel background, RGB 245,245,245.
inline constexpr COLORREF kPanelBackground = RGB(245, 245, 245);

// The show/hide request (WM_USER, wParam 1); lParam is one of these.
enum ShowRequest : LPARAM { kToggle = 0, kShowOrFront = 1, kToggleAtCursor = 2 };

class PanelWindow {
public:
    PanelWindow(HINSTANCE instance, float scale, const SharedFonts& fonts);
    PanelWindow(const PanelWindow&) = delete;
    PanelWindow& operator=(const PanelWindow&) = delete;
    ~PanelWindow();

    bool Create();
    HWND Handle() const { return window_; }
    void Show();

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void HandleShowRequest(LPARAM mode);
    void CentreIn(const RECT& area);
    void Paint(HDC dc);

    HINSTANCE instance_;
    float scale_;
    const SharedFonts& fonts_;
    HWND window_ = nullptr;
};

}  // namespace pt
