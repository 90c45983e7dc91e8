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
                           std::string_view iconLocation) {
    return WriteFileAtomic(fileName, EncodeInternetShortcutFile(url, iconLocation));
}

std::optional<InternetShortcut> ReadInternetShortcut(std::string_view fileName) {
    std::string bytes;
    if (ReadWholeFile(fileName, &bytes) != FileReadStatus::kOk)
        return std::nullopt;
    return DecodeInternetShortcutFile(bytes);
}

bool LaunchTarget(std::string_view file, std::string_view parameters, std::string_view directory,
                  std::string_view verb, const LaunchErrorSink& onError) {
    std::wstring wideFile = ToWide(file);
    std::wstring wideParameters = ToWide(parameters);
    std::wstring wideDirectory = ToWide(directory);
    std::wstring wideVerb = ToWide(verb);
    HINSTANCE result =
        ::ShellExecuteW(nullptr, OrNull(wideVerb), wideFile.c_str(), OrNull(wideParameters),
                        OrNull(wideDirectory), SW_SHOWNORMAL);
    // The result is an error code dressed as a handle; above 32 means success.
    INT_PTR code = reinterpret_cast<INT_PTR>(result);
    if (code > 32)
        return true;
    if (onError)
        onError(ShellExecuteErrorText(static_cast<int64_t>(code)));
    return false;
}

}  // namespace pt
