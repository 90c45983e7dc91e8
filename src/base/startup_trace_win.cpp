// Start-up stage marks; see startup_trace.h.
#include "base/startup_trace.h"

#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <string>

#include "base/win_handles.h"

namespace pt {
namespace {

struct Trace {
    std::wstring file;
    // The process's age at the first mark, and the counter then: the system
    // clock alone ticks too coarsely on some systems.
    double firstMs = 0;
    LARGE_INTEGER counterAtFirst{};
    LARGE_INTEGER frequency{};
};

ULONGLONG Ticks(const FILETIME& time) {
    return (static_cast<ULONGLONG>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

const Trace& TheTrace() {
    static const Trace trace = [] {
        Trace t;
        wchar_t file[MAX_PATH] = {};
        const DWORD n = ::GetEnvironmentVariableW(L"PT_STARTUP_STAGES", file, MAX_PATH);
        if (n == 0 || n >= MAX_PATH)
            return t;
        FILETIME creation{}, exitTime{}, kernel{}, user{};
        if (!::GetProcessTimes(::GetCurrentProcess(), &creation, &exitTime, &kernel, &user))
            return t;
        FILETIME now{};
        ::GetSystemTimeAsFileTime(&now);
        ::QueryPerformanceCounter(&t.counterAtFirst);
        ::QueryPerformanceFrequency(&t.frequency);
        t.firstMs = static_cast<double>(Ticks(now) - Ticks(creation)) / 10000.0;
        t.file = file;
        return t;
    }();
    return trace;
}

}  // namespace

void MarkStartupStage(const char* name) {
    const Trace& trace = TheTrace();
    if (trace.file.empty())
        return;
    LARGE_INTEGER counter{};
    ::QueryPerformanceCounter(&counter);
    const double ms =
        trace.firstMs + static_cast<double>(counter.QuadPart - trace.counterAtFirst.QuadPart) *
                            1000.0 / static_cast<double>(trace.frequency.QuadPart);
    PROCESS_MEMORY_COUNTERS memory{};
    memory.cb = sizeof memory;
    ::K32GetProcessMemoryInfo(::GetCurrentProcess(), &memory, sizeof memory);
    char line[128];
    const int size = std::snprintf(line, sizeof line, "%s %.1f %.1f\n", name, ms,
                                   static_cast<double>(memory.WorkingSetSize) / (1024.0 * 1024.0));
    if (size <= 0 || size >= static_cast<int>(sizeof line))
        return;
    UniqueKernelHandle file(::CreateFileW(trace.file.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ,
                                          nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    if (file)
        ::WriteFile(file.Get(), line, static_cast<DWORD>(size), &written, nullptr);
}

}  // namespace pt
