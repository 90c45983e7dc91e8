// Driving toolkit windows from tests: message pumping with a deadline,
// mouse and key messages sent straight to a window, and modifier keys held
// through the thread's key state (what GetKeyState reads), so no test
// depends on the desktop's focus or on real input.
#pragma once

#include <windows.h>

#include <chrono>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "base/zip_test_writer.h"
#include "toolkit/resource_archive.h"
#include "toolkit/toolkit.h"
#include "toolkit/window.h"

namespace pt::test {

inline void Pump() {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

// Pumps messages until `done` holds or the time runs out.
inline bool PollUntil(const std::function<bool()>& done, int ms = 3000) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!done()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        Pump();
    }
    return true;
}

inline Window* MakeTestWindow(int width = 400, int height = 300) {
    WindowOptions o;
    o.x = 80;
    o.y = 80;
    o.width = width;
    o.height = height;
    o.title = "测试";
    o.exStyle = WS_EX_TOOLWINDOW;
    Window* w = Window::Create(o);
    if (w)
        w->EnableDragBorder(false);  // presses near the edges go to elements
    return w;
}

// Destroys the window when the test ends, however it ends.
class WindowGuard {
  public:
    explicit WindowGuard(Window* w) : hwnd_(w ? w->Hwnd() : nullptr) {}
    ~WindowGuard() {
        if (Window* w = Window::FromHwnd(hwnd_))
            w->Destroy();
        Pump();
    }
    WindowGuard(const WindowGuard&) = delete;
    WindowGuard& operator=(const WindowGuard&) = delete;

  private:
    HWND hwnd_;
};

inline LPARAM At(Point p) {
    return MAKELPARAM(p.x, p.y);
}

// `p` in the window's client coordinates (the toolkit's window coordinates).
inline void MouseMove(HWND h, Point p, WPARAM keys = 0) {
    ::SendMessageW(h, WM_MOUSEMOVE, keys, At(p));
}
inline void LeftDown(HWND h, Point p, WPARAM keys = 0) {
    MouseMove(h, p, keys);
    ::SendMessageW(h, WM_LBUTTONDOWN, keys | MK_LBUTTON, At(p));
}
inline void LeftUp(HWND h, Point p, WPARAM keys = 0) {
    ::SendMessageW(h, WM_LBUTTONUP, keys, At(p));
}
inline void Click(HWND h, Point p, WPARAM keys = 0) {
    LeftDown(h, p, keys);
    LeftUp(h, p, keys);
}
inline void DoubleClick(HWND h, Point p) {
    Click(h, p);
    ::SendMessageW(h, WM_LBUTTONDBLCLK, MK_LBUTTON, At(p));
    LeftUp(h, p);
}
inline void RightClick(HWND h, Point p) {
    MouseMove(h, p);
    ::SendMessageW(h, WM_RBUTTONDOWN, MK_RBUTTON, At(p));
    ::SendMessageW(h, WM_RBUTTONUP, 0, At(p));
}
// One wheel notch per 120 of `delta`; the toolkit routes it to the element
// under the mouse, so the mouse is moved there first.
inline void Wheel(HWND h, Point p, int delta) {
    MouseMove(h, p);
    POINT s{p.x, p.y};
    ::ClientToScreen(h, &s);
    ::SendMessageW(h, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(static_cast<short>(delta))),
                   MAKELPARAM(s.x, s.y));
}

inline Point Centre(const Rect& r) {
    return Point{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

// Holds modifier keys (VK_CONTROL, VK_SHIFT, VK_MENU) in the thread's key
// state while it lives.
class HeldKeys {
  public:
    explicit HeldKeys(std::vector<int> keys) : keys_(std::move(keys)) { Set(0x80); }
    ~HeldKeys() { Set(0); }
    HeldKeys(const HeldKeys&) = delete;
    HeldKeys& operator=(const HeldKeys&) = delete;

  private:
    void Set(BYTE value) {
        BYTE state[256];
        ::GetKeyboardState(state);
        for (int k : keys_)
            state[k] = value;
        ::SetKeyboardState(state);
    }
    std::vector<int> keys_;
};

inline void Key(HWND h, int vk, UINT message = WM_KEYDOWN) {
    ::SendMessageW(h, message, static_cast<WPARAM>(vk), 1);
}
inline void Type(HWND h, std::u16string_view text) {
    for (char16_t c : text)
        ::SendMessageW(h, WM_CHAR, static_cast<WPARAM>(c), 1);
}

// Loads the process's resource archive with the named files of the source
// tree's res/archive (plain entries: the reader takes those too).
inline bool LoadSourceArchive(const std::vector<std::string>& entries) {
    ZipTestWriter zip;
    for (const std::string& name : entries) {
        std::string path = std::string("Z:") + PT_RES_ARCHIVE_DIR + "/" + name;
        std::ifstream in(path, std::ios::binary);
        std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), {});
        if (bytes.empty())
            return false;
        zip.Add({name, std::move(bytes), true, "", false});
    }
    return ResourceArchive::Instance().LoadFromBytes(zip.Finish());
}

}  // namespace pt::test
