// A fresh folder under the temp folder for one test, removed with its
// content afterwards. Windows tests only.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <string>
#include <string_view>

#include "base/text.h"

namespace pt {

class TempFolder {
  public:
    TempFolder() {
        wchar_t base[MAX_PATH];
        ::GetTempPathW(MAX_PATH, base);
        ::CreateDirectoryW(base, nullptr);  // a fresh Wine prefix names one it never made
        path_ = FromWide(base) + "pt_launcher_" + std::to_string(::GetCurrentProcessId()) + "_" +
                std::to_string(counter_++) + " dir";
        ::CreateDirectoryW(ToWide(path_).c_str(), nullptr);
    }
    ~TempFolder() {
        std::wstring from = ToWide(path_);
        from.push_back(L'\0');  // SHFileOperation wants a double-terminated list
        SHFILEOPSTRUCTW op{};
        op.wFunc = FO_DELETE;
        op.pFrom = from.c_str();
        op.fFlags = FOF_NO_UI;
        ::SHFileOperationW(&op);
    }
    const std::string& Path() const { return path_; }
    std::string File(std::string_view name, std::string_view content = "x") const {
        std::string full = path_ + "\\" + std::string(name);
        HANDLE h = ::CreateFileW(ToWide(full).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
        DWORD written = 0;
        ::WriteFile(h, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
        ::CloseHandle(h);
        return full;
    }
    std::string Folder(std::string_view name) const {
        std::string full = path_ + "\\" + std::string(name);
        ::CreateDirectoryW(ToWide(full).c_str(), nullptr);
        return full;
    }

  private:
    static inline int counter_ = 0;
    std::string path_;
};

}  // namespace pt
