// Helpers shared by the Windows tests of the settings: a private temporary
// folder that is removed with everything in it, and small file checks.
#pragma once

#include "base/text.h"
#include "base/win_handles.h"

#include <cstdio>
#include <string>

namespace pt::test {

class TempFolder {
public:
    TempFolder() {
        wchar_t base[MAX_PATH + 1];
        ::GetTempPathW(MAX_PATH + 1, base);
        static unsigned counter = 0;
        path_ = FromWide(base) + "pt-settings-" + std::to_string(::GetCurrentProcessId()) + "-" +
                std::to_string(++counter);
        ::CreateDirectoryW(ToWide(path_).c_str(), nullptr);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    ~TempFolder() { RemoveTree(ToWide(path_)); }

    const std::string& Path() const { return path_; }
    std::string File(const std::string& name) const { return path_ + "\\" + name; }

private:
    static void RemoveTree(const std::wstring& folder) {
        WIN32_FIND_DATAW data;
        UniqueFindHandle find(::FindFirstFileW((folder + L"\\*").c_str(), &data));
        if (find) {
            do {
                std::wstring name = data.cFileName;
                if (name == L"." || name == L"..") continue;
                std::wstring full = folder + L"\\" + name;
                if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                    RemoveTree(full);
                } else {
                    ::SetFileAttributesW(full.c_str(), FILE_ATTRIBUTE_NORMAL);
                    ::DeleteFileW(full.c_str());
                }
            } while (::FindNextFileW(find.Get(), &data));
        }
        find.Reset();
        ::SetFileAttributesW(folder.c_str(), FILE_ATTRIBUTE_NORMAL);
        ::RemoveDirectoryW(folder.c_str());
    }

    std::string path_;
};

inline bool FileExists(const std::string& path) {
    return ::GetFileAttributesW(ToWide(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The name of a file as the file system spells it (case included), or "".
inline std::string StoredName(const std::string& path) {
    WIN32_FIND_DATAW data;
    UniqueFindHandle find(::FindFirstFileW(ToWide(path).c_str(), &data));
    return find ? FromWide(data.cFileName) : std::string();
}

// Under Wine, non-ASCII file names need a UTF-8 host locale that is actually
// installed; elsewhere they always work.
inline bool HostTakesUnicodeNames(const std::string& folder) {
    std::wstring probe = ToWide(folder) + L"\\probe-\u540D";
    UniqueKernelHandle file(::CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                          FILE_FLAG_DELETE_ON_CLOSE, nullptr));
    if (!file) std::printf("note: this host cannot create non-ASCII file names; skipped\n");
    return static_cast<bool>(file);
}

}  // namespace pt::test
