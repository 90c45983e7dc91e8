// A program the launch tests start as an item: it writes its own command
// line and its working directory (UTF-8, one per line) to the file named by
// the environment variable PT_ARGS_PROBE_OUT, then ends.
#include <windows.h>

#include <string>

namespace {

std::string Utf8(const std::wstring& text) {
    const int n = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                        nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n > 0 ? n : 0), '\0');
    if (n > 0)
        ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n,
                              nullptr, nullptr);
    return out;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    wchar_t target[32768];
    if (!::GetEnvironmentVariableW(L"PT_ARGS_PROBE_OUT", target, 32768))
        return 1;
    std::wstring dir(32768, L'\0');
    dir.resize(::GetCurrentDirectoryW(32768, dir.data()));
    const std::string text = Utf8(::GetCommandLineW()) + "\n" + Utf8(dir) + "\n";
    // Written under another name and renamed, so a reader never sees half.
    const std::wstring temp = std::wstring(target) + L".part";
    HANDLE file = ::CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 2;
    DWORD written = 0;
    ::WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    ::CloseHandle(file);
    return ::MoveFileExW(temp.c_str(), target, MOVEFILE_REPLACE_EXISTING) ? 0 : 3;
}
