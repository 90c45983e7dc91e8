// End-to-end test support: runs the real program from a fresh folder of its
// own (so data\ beside it belongs to the test), finds its windows and talks
// to it through messages and input. Folders, files and waiting come from
// support/.
#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "base/win_handles.h"
#include "support/build_path.h"
#include "support/poll.h"
#include "support/temp_folder.h"

namespace pt::test {

using namespace std::chrono_literals;

// The program under test, as built.
std::wstring BuiltAppPath();

class AppProcess {
public:
    AppProcess() = default;
    AppProcess(AppProcess&&) = default;
    AppProcess& operator=(AppProcess&&) = default;
    ~AppProcess();  // ends the program if it still runs

    // Copies the built exe into `dir` and starts it there. `workDir` is the
    // working directory it starts in (default: `dir`).
    static std::optional<AppProcess> Launch(const TempFolder& dir, const std::wstring& arguments = {},
                                            const std::wstring& workDir = {});
    static std::optional<AppProcess> LaunchIn(const std::wstring& folder, const std::wstring& arguments = {},
                                              const std::wstring& workDir = {});
    // Starts an exe in place.
    static std::optional<AppProcess> Start(const std::wstring& exe, const std::wstring& arguments,
                                           const std::wstring& workDir);

    DWORD Id() const { return id_; }
    HANDLE Handle() const { return process_.Get(); }
    bool Running() const;
    // The exit code once the process ended within `limit`.
    std::optional<DWORD> WaitExit(std::chrono::milliseconds limit = 10s) const;
    // The first top-level window of `className` that belongs to the process.
    HWND FindWindowOfClass(const wchar_t* className) const;
    HWND WaitForWindow(const wchar_t* className, std::chrono::milliseconds limit = 10s) const;
    // Asks the program to end (the panel's close message with exit intent)
    // and waits; kills it when it does not end in time.
    bool Exit(HWND panel, std::chrono::milliseconds limit = 10s);
    void Kill();

private:
    UniqueKernelHandle process_;
    DWORD id_ = 0;
};

// Top-level windows of a process, of any class when `className` is null.
std::vector<HWND> WindowsOfProcess(DWORD processId, const wchar_t* className = nullptr);
std::wstring WindowText(HWND window);
std::wstring ClassName(HWND window);

}  // namespace pt::test
