// The toolkit's life on the UI thread: start-up (GDI+, the window class, a
// hidden host window for cross-thread calls and element timers), the
// message loop, the call-on-UI-thread service, and the deferred freeing of
// windows and elements destroyed while a message is being dispatched.
#pragma once

#include <windows.h>

#include <functional>
#include <future>
#include <type_traits>

namespace pt {

class Element;

// Call on the UI thread before any window is created. Idempotent.
bool InitToolkit(HINSTANCE instance = nullptr);
// Destroys the remaining windows, runs queued cross-thread calls and stops
// GDI+. No toolkit object may be used afterwards.
void ShutdownToolkit();
bool ToolkitReady();
bool IsUiThread();
HINSTANCE ToolkitInstance();

// Runs the thread's message loop until ExitMessageLoop, WM_QUIT, or the
// last toolkit window is destroyed. Returns the exit code.
int RunMessageLoop();
void ExitMessageLoop(int code = 0);

// While a scope lives, destroyed windows and elements are not freed. Every
// window procedure call and every toolkit entry point that may destroy
// opens one; the outermost one to close frees what was destroyed.
class DispatchScope {
  public:
    DispatchScope();
    ~DispatchScope();
    DispatchScope(const DispatchScope&) = delete;
    DispatchScope& operator=(const DispatchScope&) = delete;
};
int DispatchDepth();

namespace detail {
// Hands `task` to the UI thread and returns at once; false when the
// toolkit's UI thread is gone (the task is then not run).
bool PostToUiThread(std::function<void()>* task);
// Ends RunMessageLoop when no toolkit window is left.
void LastWindowMayBeGone();
}  // namespace detail

// Runs `fn` on the UI thread and returns its result. From the UI thread it
// is a plain call; from another thread the caller waits while the UI thread
// runs it from its message loop (a modal loop included). An exception
// thrown by `fn` reaches the caller. When there is no UI thread any more,
// the result is a value-initialised R.
template <typename F>
auto CallOnUiThread(F&& fn) -> std::invoke_result_t<F> {
    using R = std::invoke_result_t<F>;
    if (IsUiThread())
        return fn();
    std::packaged_task<R()> task(std::forward<F>(fn));
    std::future<R> result = task.get_future();
    std::function<void()> run = [&task] { task(); };
    if (!detail::PostToUiThread(&run)) {
        if constexpr (std::is_void_v<R>) {
            return;
        } else {
            return R{};
        }
    }
    return result.get();
}

// Runs `task` on the UI thread later, from its message loop, after the
// message being handled now; returns at once. False when there is no UI
// thread (the task is dropped). A task that throws ends quietly.
bool PostUiTask(std::function<void()> task);

// Element timers (Element::SetTimer uses these).
bool StartElementTimer(Element* element, UINT id, UINT ms);
void StopElementTimer(Element* element, UINT id);
void StopElementTimers(Element* element);

// Frees destroyed windows and elements now if no dispatch is running.
void ReapZombies();
// Hands a destroyed element's ownership to the toolkit until it is safe to free.
void DeferDelete(std::unique_ptr<Element> element);

}  // namespace pt
