// A private folder under the temp folder for one test, removed with all it
// holds when the test ends, and the small file checks the Windows tests make
// on what they wrote there. Paths are UTF-8 and every call goes through the
// W functions, so non-ASCII names work wherever the host takes them.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace pt::test {

class TempFolder {
  public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& Path() const { return path_; }
    std::wstring WidePath() const;
    // The path of `name` inside; nothing is created.
    std::string File(std::string_view name) const;
    std::wstring operator/(std::wstring_view name) const;
    // Creates (or replaces) the file `name` holding `content`; its path.
    std::string MakeFile(std::string_view name, std::string_view content = "x") const;
    // Creates the folder `name`; its path.
    std::string Folder(std::string_view name) const;

  private:
    std::string path_;
};

bool FileExists(const std::string& path);
bool FileExists(const std::wstring& path);
// The bytes of a file, or "" when it cannot be read.
std::string ReadBytes(const std::string& path);
// Nothing when the file cannot be read: tells an empty file from a missing one.
std::optional<std::string> ReadFileBytes(const std::wstring& path);
bool WriteFileBytes(const std::wstring& path, std::string_view bytes);
// The name of a file as the file system spells it (case included), or "".
std::string StoredName(const std::string& path);
// Under Wine, non-ASCII file names need a UTF-8 host locale that is actually
// installed; elsewhere they always work. Prints a note when they do not.
bool HostTakesUnicodeNames(const std::string& folder);

}  // namespace pt::test
