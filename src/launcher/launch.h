// Launching an item's target through the shell, the texts shown when the
// shell refuses, and Internet shortcut (.url) files.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace pt {

// Message for a ShellExecute result of 32 or less; other codes as decimal text.
std::string ShellExecuteErrorText(int64_t code);
// Message for a failing HRESULT; unknown codes as signed decimal text.
std::string HresultErrorText(int32_t hr);

// The message for a failed ShellExecuteResult: ShellExecuteErrorText, or the
// system error's number for a negated one.
std::string LaunchErrorText(int64_t result);

struct InternetShortcut {
    std::string url;
    std::string iconLocation;  // "file" or "file,index"; empty when there is none
};

// The text of a .url file, lines ending in CR LF, IconIndex before IconFile.
std::string BuildInternetShortcut(std::string_view url, std::string_view iconLocation);
// Nothing unless the text has the section and a URL that is not a drive path.
std::optional<InternetShortcut> ParseInternetShortcut(std::string_view text);

// File bytes: code page 936 text as earlier versions wrote it when every
// character has a form there, else UTF-8 behind its byte-order mark, so a URL
// with any characters survives a write and a read unchanged.
std::string EncodeInternetShortcutFile(std::string_view url, std::string_view iconLocation);
std::optional<InternetShortcut> DecodeInternetShortcutFile(std::string_view bytes);

#ifdef _WIN32

// Replaces the file; false, with the Win32 error in *error, when it cannot
// be written.
bool WriteInternetShortcut(std::string_view fileName, std::string_view url,
                           std::string_view iconLocation, uint32_t* error = nullptr);
std::optional<InternetShortcut> ReadInternetShortcut(std::string_view fileName);

// Receives the error text of a failed launch (shown with MB_ICONERROR by the
// program's message box, which the UI plugs in here).
using LaunchErrorSink = std::function<void(const std::string& text)>;

// ShellExecuteExW with SW_SHOWNORMAL, no owner window and no message of the
// shell's own; empty parameters, directory or verb are passed as none. The
// texts go to the shell as they are, whatever their length. The result as
// ShellExecute gives it: above 32 for success, else its error code (0 to 32),
// with the system's error mapped to that code where the shell left none, or
// a system error code that has no such code, negated. It
// may wait as long as the target takes to answer (a network path): call it
// off the UI thread, with COM initialised there.
int64_t ShellExecuteResult(std::string_view file, std::string_view parameters,
                           std::string_view directory, std::string_view verb);

// ShellExecuteResult, then true when it is above 32; otherwise onError (if
// set) gets LaunchErrorText of the result.
bool LaunchTarget(std::string_view file, std::string_view parameters, std::string_view directory,
                  std::string_view verb, const LaunchErrorSink& onError);

#endif

}  // namespace pt
