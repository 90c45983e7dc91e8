// Launching through ShellExecuteW and the .url file on disk; see launch.h.
#include "launcher/launch.h"

#include <windows.h>
#include <shellapi.h>

#include "base/atomic_file.h"
#include "base/text.h"

namespace pt {
namespace {

// Empty means "none" to the shell; an empty string is not always the same thing.
const wchar_t* OrNull(const std::wstring& text) {
    return text.empty() ? nullptr : text.c_str();
}

}  // namespace

bool WriteInternetShortcut(std::string_view fileName, std::string_view url,
                           std::string_view iconLocation, uint32_t* error) {
    return WriteFileAtomic(fileName, EncodeInternetShortcutFile(url, iconLocation), error);
}

std::optional<InternetShortcut> ReadInternetShortcut(std::string_view fileName) {
    std::string bytes;
    if (ReadWholeFile(fileName, &bytes) != FileReadStatus::kOk)
        return std::nullopt;
    return DecodeInternetShortcutFile(bytes);
}

int64_t ShellExecuteResult(std::string_view file, std::string_view parameters,
                           std::string_view directory, std::string_view verb) {
    std::wstring wideFile = ToWide(file);
    std::wstring wideParameters = ToWide(parameters);
    std::wstring wideDirectory = ToWide(directory);
    std::wstring wideVerb = ToWide(verb);
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof(info);
    // No error box of the shell's: the program reports in its own words.
    // NOASYNC: the call may end with its thread, so the shell must be done.
    info.fMask = SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
    info.lpVerb = OrNull(wideVerb);
    info.lpFile = wideFile.c_str();
    info.lpParameters = OrNull(wideParameters);
    info.lpDirectory = OrNull(wideDirectory);
    info.nShow = SW_SHOWNORMAL;
    if (::ShellExecuteExW(&info))
        return 42;
    const DWORD error = ::GetLastError();
    // hInstApp carries the old-style code, an error code dressed as a handle.
    const INT_PTR code = reinterpret_cast<INT_PTR>(info.hInstApp);
    if (code > 0 && code <= 32)
        return code;
    switch (error) {
        case ERROR_FILE_NOT_FOUND:
            return SE_ERR_FNF;
        case ERROR_PATH_NOT_FOUND:
        case ERROR_BAD_NETPATH:
        case ERROR_BAD_NET_NAME:
            return SE_ERR_PNF;
        case ERROR_ACCESS_DENIED:
            return SE_ERR_ACCESSDENIED;
        case ERROR_NOT_ENOUGH_MEMORY:
        case ERROR_OUTOFMEMORY:
            return SE_ERR_OOM;
        case ERROR_BAD_FORMAT:
            return ERROR_BAD_FORMAT;
        case ERROR_NO_ASSOCIATION:
            return SE_ERR_NOASSOC;
        case ERROR_DLL_NOT_FOUND:
            return SE_ERR_DLLNOTFOUND;
        case ERROR_SHARING_VIOLATION:
            return SE_ERR_SHARE;
        case ERROR_CANCELLED:
            // The elevation prompt was refused: what ShellExecute itself says.
            return SE_ERR_ACCESSDENIED;
        default:
            return -static_cast<int64_t>(error);
    }
}

bool LaunchTarget(std::string_view file, std::string_view parameters, std::string_view directory,
                  std::string_view verb, const LaunchErrorSink& onError) {
    const int64_t code = ShellExecuteResult(file, parameters, directory, verb);
    if (code > 32)
        return true;
    if (onError)
        onError(LaunchErrorText(code));
    return false;
}

}  // namespace pt
