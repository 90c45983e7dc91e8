// Module loading, export lookup and the fatal "DLL ERROR" reports behind
// DllFunction.
#include "toolkit/dll_binding.h"

#include "base/text.h"

#include <cstdlib>
#include <mutex>

namespace pt {
namespace {

#ifndef LOAD_LIBRARY_SEARCH_SYSTEM32
#define LOAD_LIBRARY_SEARCH_SYSTEM32 0x00000800
#endif

std::atomic<DllFailureHandler> gFailureHandler{nullptr};

void ShowFailureAndExit(const std::string& caption, const std::string& message) {
    ::MessageBoxW(nullptr, ToWide(message).c_str(), ToWide(caption).c_str(), MB_ICONERROR);
    ::ExitProcess(1);
}

void ReportFailure(const std::string& message) {
    DllFailureHandler handler = gFailureHandler.load();
    (handler ? handler : ShowFailureAndExit)("DLL ERROR", message);
}

// Whether LoadLibraryExW understands LOAD_LIBRARY_SEARCH_*: Windows 8 and
// later, or Windows 7 with KB2533623. Without it the flag is rejected with
// ERROR_INVALID_PARAMETER, and a full system-folder path is used instead.
bool HasSearchFlags() {
    static const bool has =
        ::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "AddDllDirectory") != nullptr;
    return has;
}

std::wstring SystemFolderPath(const std::wstring& file) {
    wchar_t dir[MAX_PATH];
    UINT n = ::GetSystemDirectoryW(dir, MAX_PATH);
    if (n == 0 || n >= MAX_PATH)
        return file;
    std::wstring path(dir, n);
    if (path.back() != L'\\')
        path += L'\\';
    return path + file;
}

}  // namespace

void RestrictDllSearchPath() {
    using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
    auto setDefault = reinterpret_cast<SetDefaultDllDirectoriesFn>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories")));
    if (setDefault)
        setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32);
    // Removes the current directory from the classic search order too, for
    // systems without SetDefaultDllDirectories and for code that passes its
    // own flags.
    ::SetDllDirectoryW(L"");
}

HMODULE SystemModule(const char* dll) {
    // A module that is already mapped is the one the loader chose at start
    // (a static import or the system's own); GetModuleHandle does not search.
    static std::mutex lock;
    std::lock_guard<std::mutex> guard(lock);
    const std::wstring name = ToWide(dll);
    if (HMODULE m = ::GetModuleHandleW(name.c_str()))
        return m;
    // A name with a path is never searched for: only plain names are ours.
    if (name.find_first_of(L"\\/:") != std::wstring::npos)
        return nullptr;
    HMODULE m = nullptr;
    if (HasSearchFlags())
        m = ::LoadLibraryExW(name.c_str(), nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (!m)
        m = ::LoadLibraryW(SystemFolderPath(name).c_str());
    return m;
}

void* FindExport(const char* dll, const char* name) {
    HMODULE m = SystemModule(dll);
    if (!m || !name || !*name)
        return nullptr;
    FARPROC p;
    if (name[0] == '#') {
        char* end = nullptr;
        unsigned long ordinal = std::strtoul(name + 1, &end, 10);
        if (end == name + 1 || *end != '\0' || ordinal == 0 || ordinal > 0xFFFF)
            return nullptr;
        p = ::GetProcAddress(m, MAKEINTRESOURCEA(ordinal));
    } else {
        p = ::GetProcAddress(m, name);
    }
    return reinterpret_cast<void*>(p);
}

DllFailureHandler SetDllFailureHandler(DllFailureHandler handler) {
    return gFailureHandler.exchange(handler);
}

std::string MissingDllText(const char* dll) {
    return std::string("同目录下无法找到DLL文件:\"") + dll + "\".请与作者联系.";
}

std::string MissingFunctionText(const char* dll, const char* name) {
    return std::string("无法定位DLL文件:\"") + dll + "\"当中的\"" + name + "\"函数.";
}

void* BindRequired(const char* dll, const char* name) {
    if (!SystemModule(dll)) {
        ReportFailure(MissingDllText(dll));
        return nullptr;
    }
    void* p = FindExport(dll, name);
    if (!p)
        ReportFailure(MissingFunctionText(dll, name));
    return p;
}

}  // namespace pt
