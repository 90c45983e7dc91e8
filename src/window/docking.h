// Docking at the screen edges and every show and hide of the panel. The
// panel parks at the left, top or right edge of the primary work area when
// a move ends there; a 100 ms edge timer then slides it away (leaving a
// 2-pixel strip) when the mouse leaves it and back when the mouse touches
// the strip, eased by the quintic curve. Without docking a show or hide is
// a plain show or hide of the window.
//
// State lives in the panel's window properties, where the grid and the
// runtime read and write it too: "bEnable" (docking on), "bDockShow"
// (expanded), "bTopmost", "bEase", "nSpeed", "xPos"/"yPos" (the expanded
// position, set at each move end), "bSkipTimer" (the timer leaves the panel
// alone) and "bSkipLMouse" (an item drag is running).
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>

#include "toolkit/geometry.h"
#include "toolkit/handler_list.h"

namespace pt {

class Window;
struct WindowMessage;

inline constexpr UINT kDockTimerMs = 100;

// The edge timer's id: the CRC-32 of "Dock", as hotkey ids are computed.
UINT_PTR DockTimerId();

// The toolkit popup menu's window while one is open, else null.
HWND OpenToolkitMenu();

class Docking {
  public:
    Docking() = default;
    ~Docking();
    Docking(const Docking&) = delete;
    Docking& operator=(const Docking&) = delete;

    // Takes over `window` (a toolkit window): it counts as shown and pinned
    // until the settings say otherwise. False for any other window.
    bool Attach(HWND window);
    void ApplySettings(bool ease, int speed, bool topmost, bool dock);
    void SetTopmost(bool on);
    // On: the timer runs while the panel is at an edge. Off: the timer stops
    // and the panel comes back at its expanded position.
    void SetDocking(bool on);
    bool IsDocking() const;
    bool IsShown() const;
    bool IsTimerRunning() const { return timerRunning_; }

    // The one show and hide of the panel. A docked panel at an edge slides;
    // the slide blocks the thread for its steps (10 ms each).
    void ShowHide(bool show);
    void Show() { ShowHide(true); }
    void Hide() { ShowHide(false); }
    // Above every window without staying pinned (unless "bTopmost").
    void Raise();
    // The end of a move: snap into the work area, remember the place, and
    // start or stop the edge timer.
    void Snap();
    // Runs after each eased step has been moved and painted.
    void SetSlideStepObserver(std::function<void()> observer) { slideStep_ = std::move(observer); }

  private:
    void HandleMessage(Window& window, WindowMessage& message, bool& handled);
    void Tick();
    void SetTimerRunning(bool on);
    void Slide(bool out);

    HWND hwnd_ = nullptr;
    HandlerId handler_ = 0;
    bool timerRunning_ = false;
    std::function<void()> slideStep_;
};

}  // namespace pt
