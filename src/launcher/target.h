// What an item's target is (folder, shell object, enciphered value, network
// path, URL, local file) and the path helpers that go with it: the check for a
// well-formed drive path, the default working directory, CLSID shell object
// names, environment variables in icon locations, icon location splitting and
// the registry reader with its 64-bit view rules for a 32-bit process.
//
// All text is UTF-8. The string rules work on bytes and only ever look for
// ASCII characters, which never occur inside a UTF-8 multibyte sequence, so
// they hold whatever the system code page is.
#pragma once

#include <string>
#include <string_view>

namespace pt {

// Kind numbers as stored nowhere but compared by callers; the text is what an
// item's "type" key holds.
enum class TargetKindId {
    kExtension = 0,  // local path with an extension; the text is the extension
    kFolder = 1,
    kShell = 2,
    kEncrypt = 3,
    kUnc = 4,
    kUrl = 5,
    kUnknown = 6,
    kFile = 7,
};

struct TargetKind {
    TargetKindId id = TargetKindId::kUnknown;
    std::string text;  // "folder", "shell", ..., or ".exe" with the path's letter case
};

// The shell tests that classification needs, injectable so the order of the
// rules can be checked without a file system.
struct TargetProbe {
    bool (*isDirectory)(std::string_view path) = nullptr;
    bool (*isUnc)(std::string_view path) = nullptr;
    bool (*isUrl)(std::string_view path) = nullptr;
};

inline constexpr std::string_view kEncryptPrefix = "encrypt:";

// --- Pure rules --------------------------------------------------------------

// Classification with the given probes, first match wins: existing directory,
// "::", "encrypt:", UNC, URL, not a local path, then extension or "file".
TargetKind ClassifyTargetWith(std::string_view path, const TargetProbe& probe);

// A well-formed drive path: "X:" first, no "\\" and no "/", the first
// backslash no later than the third character, none of : * ? " < > | after
// the drive.
bool IsLocalPath(std::string_view path);

// The extension as the shell finds it: from the last dot of the last path
// component, dot included; a space or backslash after the dot cancels it.
std::string_view FindExtension(std::string_view path);

// Removes one trailing backslash unless the text is a root as the shell
// counts them: "\", "C:\", or a UNC text with at most one backslash after its
// leading two ("\\server\", "\\server\share").
void RemoveTrailingBackslash(std::string& path);
bool IsPathRoot(std::string_view path);

// The parent folder of a local file or folder path (a root keeps its
// backslash); empty for every other kind.
std::string DefaultWorkDirFor(std::string_view path, TargetKindId kind);

struct IconLocation {
    std::string file;
    int index = 0;
    bool hasIndex = false;  // a comma was found
};
// "file,index": split at the last comma; the index is read like atoi.
IconLocation SplitIconLocation(std::string_view location);

// Leading and trailing ASCII spaces and full-width spaces (U+3000) removed.
std::string TrimSpaces(std::string_view text);

// Replaces every occurrence of `from` (ASCII letters compared without case).
std::string ReplaceAllNoCase(std::string_view text, std::string_view from, std::string_view to);
bool ContainsNoCase(std::string_view text, std::string_view part);
bool EqualsNoCase(std::string_view a, std::string_view b);

// "::{xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx}" exactly: gives the braced CLSID.
bool ShellObjectClsid(std::string_view path, std::string_view* clsid);

// The text after the last "encrypt:" (the whole text when there is none).
std::string_view AfterEncryptPrefix(std::string_view value);

// The icon sources the shell uses for network paths and web addresses.
inline constexpr std::string_view kUncIconSource = "%SystemRoot%\\system32\\shell32.dll,15";
inline constexpr std::string_view kUrlIconSource = "%SystemRoot%\\system32\\url.dll,0";

// The icon source of an item without one, given its kind: a folder's
// desktop.ini icon (folderIcon, "" when it has none that exists), the shell's
// network and URL icons, else the path itself.
std::string DefaultIconSourceFor(std::string_view path, TargetKindId kind,
                                 std::string_view folderIcon);

// --- Windows -----------------------------------------------------------------
#ifdef _WIN32

TargetKind ClassifyTarget(std::string_view path);
// The same, also telling whether the path names an existing file or folder:
// the one look at the disk the folder test makes answers both.
TargetKind ClassifyTarget(std::string_view path, bool* exists);
// The same without the folder test: the text rules and the shell's UNC and
// URL tests, which never touch the disk. An existing folder comes out as
// the kind its name would have.
TargetKind ClassifyTargetText(std::string_view path);
std::string DefaultWorkDir(std::string_view path);

struct ShellObjectInfo {
    std::string displayName;
    std::string infoTip;
    std::string defaultIcon;  // icon location as read
};
// True for a "::{CLSID}" path of exactly 40 characters.
bool GetShellObjectInfo(std::string_view path, ShellObjectInfo* info);

// Environment variables expanded; under Wow64 %ProgramFiles% and
// %CommonProgramFiles% first point at the 64-bit folders.
std::string ExpandPathVariables(std::string_view text);

// Hive numbers: 1 HKCR, 2 HKCC, 3 HKCU, 4 HKLM, 5 HKU. `keyAndValue` is the key
// path and the value name joined by a backslash (empty name: default value).
std::string ReadRegistryText(int hive, std::string_view keyAndValue, std::string_view defaultText);

bool IsWow64();

// File or folder exists.
bool PathExists(std::string_view path);

// A UNC path, or a path on a drive letter mapped to a share: a look at it
// may wait seconds on a server. Answered from the text and the drive table
// (each letter asked once per run), never from the server. Any thread.
bool IsNetworkPath(std::string_view path);

#endif

}  // namespace pt
