// The temporary folder and file checks of the Windows tests.
#include "support/temp_folder.h"

#include <windows.h>

#include <atomic>
#include <cstdio>

#include "base/text.h"
#include "base/win_handles.h"

namespace pt::test {
namespace {

// Depth first through FindFirstFileW rather than SHFileOperation: no shell
// in the test process, and read-only files (which DeleteFileW refuses) are
// cleared first.
void RemoveTree(const std::wstring& folder) {
    WIN32_FIND_DATAW data;
    UniqueFindHandle find(::FindFirstFileW((folder + L"\\*").c_str(), &data));
    if (find) {
        do {
            const std::wstring name = data.cFileName;
            if (name == L"." || name == L"..")
                continue;
            const std::wstring full = folder + L"\\" + name;
            ::SetFileAttributesW(full.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(full);
            else
                ::DeleteFileW(full.c_str());
        } while (::FindNextFileW(find.Get(), &data));
    }
    find.Reset();  // the folder cannot go while a search holds it open
    ::SetFileAttributesW(folder.c_str(), FILE_ATTRIBUTE_NORMAL);
    ::RemoveDirectoryW(folder.c_str());
}

}  // namespace

TempFolder::TempFolder() {
    wchar_t base[MAX_PATH + 1];
    const DWORD n = ::GetTempPathW(MAX_PATH + 1, base);
    ::CreateDirectoryW(base, nullptr);  // a fresh Wine prefix names one it never made
    static std::atomic<unsigned> counter{0};
    // The process id alone repeats across runs, and a folder a crashed run
    // left behind must not be shared: try until one is new. The space keeps
    // every path the tests hand on in need of quoting.
    for (unsigned attempt = 0; attempt < 1000; ++attempt) {
        const std::wstring candidate =
            std::wstring(base, n) + L"pt-test-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
            std::to_wstring(++counter) + L"-" + std::to_wstring(::GetTickCount()) + L" dir";
        if (::CreateDirectoryW(candidate.c_str(), nullptr)) {
            path_ = FromWide(candidate);
            return;
        }
    }
}

TempFolder::~TempFolder() {
    if (!path_.empty())
        RemoveTree(ToWide(path_));
}

std::wstring TempFolder::WidePath() const {
    return ToWide(path_);
}

std::string TempFolder::File(std::string_view name) const {
    return path_ + "\\" + std::string(name);
}

std::wstring TempFolder::operator/(std::wstring_view name) const {
    return WidePath() + L"\\" + std::wstring(name);
}

std::string TempFolder::MakeFile(std::string_view name, std::string_view content) const {
    const std::string full = File(name);
    WriteFileBytes(ToWide(full), content);
    return full;
}

std::string TempFolder::Folder(std::string_view name) const {
    const std::string full = File(name);
    ::CreateDirectoryW(ToWide(full).c_str(), nullptr);
    return full;
}

bool FileExists(const std::wstring& path) {
    return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool FileExists(const std::string& path) {
    return FileExists(ToWide(path));
}

std::optional<std::string> ReadFileBytes(const std::wstring& path) {
    UniqueKernelHandle file(::CreateFileW(path.c_str(), GENERIC_READ,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                          nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return std::nullopt;
    std::string bytes;
    char buffer[65536];
    DWORD got = 0;
    while (::ReadFile(file.Get(), buffer, sizeof buffer, &got, nullptr) && got > 0)
        bytes.append(buffer, got);
    return bytes;
}

std::string ReadBytes(const std::string& path) {
    return ReadFileBytes(ToWide(path)).value_or(std::string());
}

bool WriteFileBytes(const std::wstring& path, std::string_view bytes) {
    UniqueKernelHandle file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                          FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return false;
    DWORD written = 0;
    return ::WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                       nullptr) &&
           written == bytes.size();
}

std::string StoredName(const std::string& path) {
    WIN32_FIND_DATAW data;
    UniqueFindHandle find(::FindFirstFileW(ToWide(path).c_str(), &data));
    return find ? FromWide(data.cFileName) : std::string();
}

bool HostTakesUnicodeNames(const std::string& folder) {
    const std::wstring probe = ToWide(folder) + L"\\probe-\u540D";
    UniqueKernelHandle file(::CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                          FILE_FLAG_DELETE_ON_CLOSE, nullptr));
    if (!file)
        std::printf("note: this host cannot create non-ASCII file names; skipped\n");
    return static_cast<bool>(file);
}

}  // namespace pt::test
