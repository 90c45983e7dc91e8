// The toolkit's UI-thread services: start-up and shut-down, the message
// loop, the hidden host window that runs cross-thread calls and element
// timers, and the dispatch depth that decides when destroyed objects may
// be freed.
#include "toolkit/toolkit.h"

#include <atomic>
#include <map>
#include <memory>
#include <vector>

#include "toolkit/element.h"
#include "toolkit/graphics.h"
#include "toolkit/window.h"

namespace pt {
namespace {

constexpr wchar_t kHostClass[] = L"PinatroveToolkitHost";
constexpr UINT kMsgCall = WM_APP + 0x301;
constexpr UINT kMsgTask = WM_APP + 0x302;  // lParam: a heap std::function, ours to delete

std::atomic<bool> g_ready{false};
std::atomic<HWND> g_host{nullptr};
std::atomic<DWORD> g_uiThread{0};
HINSTANCE g_instance = nullptr;
int g_depth = 0;
int g_loopDepth = 0;

struct TimerEntry {
    Element* element;
    ElementHandle handle;
    UINT id;
};
std::map<UINT_PTR, TimerEntry>& Timers() {
    static auto* m = new std::map<UINT_PTR, TimerEntry>;
    return *m;
}
UINT_PTR g_nextTimer = 1;

void RunCall(LPARAM lParam) {
    auto* task = reinterpret_cast<std::function<void()>*>(lParam);
    if (!task)
        return;
    try {
        (*task)();  // a packaged task: its own exceptions go to the caller
    } catch (...) {
    }
}

void FireElementTimer(UINT_PTR nativeId) {
    auto it = Timers().find(nativeId);
    if (it == Timers().end()) {
        ::KillTimer(g_host.load(), nativeId);
        return;
    }
    const TimerEntry entry = it->second;
    Element* e = Element::FromHandle(entry.handle);
    if (e != entry.element || !e->OwnerWindow() || !e->OwnerWindow()->IsAlive()) {
        ::KillTimer(g_host.load(), nativeId);
        Timers().erase(it);
        return;
    }
    ElementEventArgs a;
    a.event = ElementEvent::kTimer;
    a.wParam = entry.id;
    e->Fire(a);
}

LRESULT CALLBACK HostProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    DispatchScope scope;
    try {
        switch (message) {
            case kMsgCall:
                RunCall(lParam);
                return 0;
            case kMsgTask: {
                std::unique_ptr<std::function<void()>> task(
                    reinterpret_cast<std::function<void()>*>(lParam));
                if (task && *task)
                    (*task)();
                return 0;
            }
            case WM_TIMER:
                FireElementTimer(wParam);
                return 0;
            default:
                break;
        }
    } catch (...) {
        return 0;
    }
    return ::DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace

namespace detail {

bool PostToUiThread(std::function<void()>* task) {
    HWND host = g_host.load();
    if (!g_ready.load() || !host)
        return false;
    return ::PostMessageW(host, kMsgCall, 0, reinterpret_cast<LPARAM>(task)) != FALSE;
}

void LastWindowMayBeGone() {
    if (g_loopDepth > 0 && Window::LiveCount() == 0)
        ::PostQuitMessage(0);
}

}  // namespace detail

bool PostUiTask(std::function<void()> task) {
    HWND host = g_host.load();
    if (!g_ready.load() || !host || !task)
        return false;
    auto* heap = new std::function<void()>(std::move(task));
    if (!::PostMessageW(host, kMsgTask, 0, reinterpret_cast<LPARAM>(heap))) {
        delete heap;
        return false;
    }
    return true;
}

bool InitToolkit(HINSTANCE instance) {
    if (g_ready.load())
        return IsUiThread();
    g_instance = instance ? instance : ::GetModuleHandleW(nullptr);
    if (!StartGraphics())
        return false;
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = HostProc;
    wc.hInstance = g_instance;
    wc.lpszClassName = kHostClass;
    if (!::RegisterClassExW(&wc) && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        return false;
    HWND host = ::CreateWindowExW(0, kHostClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  g_instance, nullptr);
    if (!host)
        return false;
    g_host.store(host);
    g_uiThread.store(::GetCurrentThreadId());
    g_ready.store(true);
    return true;
}

void ShutdownToolkit() {
    if (!g_ready.load() || !IsUiThread())
        return;
    {
        DispatchScope scope;
        // Menus and tooltips have classes of their own: go by the map, not
        // by class. Destroying one window may destroy the ones it owns.
        std::vector<HWND> all;
        for (Window* w : Window::All())
            all.push_back(w->Hwnd());
        for (HWND h : all) {
            if (Window* w = Window::FromHwnd(h))
                w->Destroy();
        }
    }
    g_ready.store(false);
    HWND host = g_host.exchange(nullptr);
    // Callers waiting on the UI thread get their answer rather than hanging.
    MSG msg;
    while (host && ::PeekMessageW(&msg, host, kMsgCall, kMsgCall, PM_REMOVE))
        RunCall(msg.lParam);
    // Tasks left over are dropped; their objects still have to go.
    while (host && ::PeekMessageW(&msg, host, kMsgTask, kMsgTask, PM_REMOVE))
        delete reinterpret_cast<std::function<void()>*>(msg.lParam);
    for (auto& [id, entry] : Timers())
        ::KillTimer(host, id);
    Timers().clear();
    if (host)
        ::DestroyWindow(host);
    SetDefaultFont(nullptr);
    StopGraphics();
    g_uiThread.store(0);
}

bool ToolkitReady() {
    return g_ready.load();
}

bool IsUiThread() {
    return g_ready.load() && ::GetCurrentThreadId() == g_uiThread.load();
}

HINSTANCE ToolkitInstance() {
    return g_instance;
}

int RunMessageLoop() {
    ++g_loopDepth;
    MSG msg{};
    int code = 0;
    for (;;) {
        const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {
            code = static_cast<int>(msg.wParam);
            break;
        }
        if (got == -1) {
            code = -1;
            break;
        }
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    --g_loopDepth;
    return code;
}

void ExitMessageLoop(int code) {
    ::PostQuitMessage(code);
}

DispatchScope::DispatchScope() {
    ++g_depth;
}

DispatchScope::~DispatchScope() {
    if (--g_depth == 0)
        ReapZombies();
}

int DispatchDepth() {
    return g_depth;
}

bool StartElementTimer(Element* element, UINT id, UINT ms) {
    HWND host = g_host.load();
    if (!element || !host || !IsUiThread())
        return false;
    UINT_PTR native = 0;
    for (auto& [n, e] : Timers()) {
        if (e.element == element && e.id == id)
            native = n;
    }
    if (!native) {
        native = g_nextTimer++;
        Timers()[native] = TimerEntry{element, element->Handle(), id};
    }
    if (!::SetTimer(host, native, ms, nullptr)) {
        Timers().erase(native);
        return false;
    }
    return true;
}

void StopElementTimer(Element* element, UINT id) {
    HWND host = g_host.load();
    for (auto it = Timers().begin(); it != Timers().end();) {
        if (it->second.element == element && it->second.id == id) {
            if (host)
                ::KillTimer(host, it->first);
            it = Timers().erase(it);
        } else {
            ++it;
        }
    }
}

void StopElementTimers(Element* element) {
    HWND host = g_host.load();
    for (auto it = Timers().begin(); it != Timers().end();) {
        if (it->second.element == element) {
            if (host)
                ::KillTimer(host, it->first);
            it = Timers().erase(it);
        } else {
            ++it;
        }
    }
}

}  // namespace pt
