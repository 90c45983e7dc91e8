// Late binding of functions in system DLLs: each function is looked up by name
// on its first call and its address kept in one slot of its own. DLLs are only
// ever loaded from the system folder, so a DLL planted beside the program or in
// its working directory is never picked up in place of a system DLL.
//
// A required function that cannot be bound is fatal, as it must be for a
// program that cannot work without it: the user sees a "DLL ERROR" message box
// naming the DLL (or the DLL and the function) and the process ends.
#pragma once

#include <windows.h>

#include <atomic>
#include <string>
#include <utility>

namespace pt {

// Limits the DLL search path to the system folder for every later
// LoadLibrary, and drops the current directory from it. Called first thing in
// the process, before any DLL is loaded by name.
void RestrictDllSearchPath();

// The module, loaded from the system folder when it is not loaded yet; null
// when it cannot be found. Modules stay loaded for the process's lifetime.
HMODULE SystemModule(const char* dll);

// The export's address: a name, or "#n" for ordinal n. Null when absent.
void* FindExport(const char* dll, const char* name);

// What happens when a required function cannot be bound. The default shows
// the message box and ends the process; tests install their own.
using DllFailureHandler = void (*)(const std::string& caption, const std::string& message);
DllFailureHandler SetDllFailureHandler(DllFailureHandler handler);

// Texts of the two failures, exactly as the user sees them.
std::string MissingDllText(const char* dll);
std::string MissingFunctionText(const char* dll, const char* name);

// Binds `dll`!`name` or reports the failure; returns null only when a test
// handler let the failure return.
void* BindRequired(const char* dll, const char* name);

// One slot for one function of a system DLL. Declare it static (at namespace
// scope or in a function) with the function's pointer type:
//   static DllFunction<decltype(&::GetDpiForWindow)> getDpiForWindow{"user32.dll",
//   "GetDpiForWindow"};
// Calling a required function binds it on first use; Optional() never reports
// a failure and gives null when the function does not exist on this system.
template <typename FnPtr>
class DllFunction {
  public:
    constexpr DllFunction(const char* dll, const char* name) noexcept : dll_(dll), name_(name) {}
    DllFunction(const DllFunction&) = delete;
    DllFunction& operator=(const DllFunction&) = delete;

    FnPtr Required() {
        void* p = slot_.load(std::memory_order_acquire);
        if (!p) {
            p = BindRequired(dll_, name_);
            slot_.store(p, std::memory_order_release);
        }
        return reinterpret_cast<FnPtr>(p);
    }

    FnPtr Optional() {
        void* p = slot_.load(std::memory_order_acquire);
        if (!p && !probed_.exchange(true)) {
            p = FindExport(dll_, name_);
            slot_.store(p, std::memory_order_release);
        }
        return reinterpret_cast<FnPtr>(p);
    }

    template <typename... Args>
    auto operator()(Args&&... args) {
        return Required()(std::forward<Args>(args)...);
    }

  private:
    const char* dll_;
    const char* name_;
    std::atomic<void*> slot_{nullptr};
    std::atomic<bool> probed_{false};
};

}  // namespace pt
