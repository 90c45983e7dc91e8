// Shell shortcut (.lnk) files: the one reader and writer of the program,
// used by the settings (the autostart shortcut) and by the launcher (reading
// dropped shortcuts, writing desktop shortcuts). The text helpers
// are pure; the file operations are Windows-only (shortcut_win.cpp) and work
// through IShellLinkW + IPersistFile.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace pt {

// All texts UTF-8.
struct ShortcutRecord {
    std::string linkFile;          // full path of the .lnk file
    std::string arguments;         // command-line arguments
    std::string description;       // comment
    std::string hotkey;            // shortcut hotkey as text (LinkHotkeyText form); "" for none
    std::string iconLocation;      // icon file, optionally "," and index
    std::string targetPath;        // the file the shortcut starts
    int32_t windowStyle = 0;       // show command (SW_*)
    std::string workingDirectory;  // start folder
};

// --- pure helpers ---

// The link file name as written: ".lnk" is appended unless the text from the
// last "." is exactly ".lnk" (so "name.LNK" becomes "name.LNK.lnk").
std::string LinkFileWithExtension(std::string_view linkFile);

// "file" or "file,index" (the index only when it is not 0).
std::string JoinIconLocation(std::string_view file, int index);

// Splits "file,index" at the last comma when what follows is an integer;
// otherwise the whole text is the file and the index is 0.
void SplitShortcutIconLocation(std::string_view location, std::string* file, int* index);

// Replaces every "%ProgramFiles%" (any letter case) by value.
std::string ReplaceProgramFilesVariable(std::string_view text, std::string_view value);

// --- Windows only (COM is initialised for the call if the thread has not) ---

// Reads a shortcut. Fills targetPath, arguments, workingDirectory,
// description, iconLocation (with "%ProgramFiles%" resolved for this process:
// ProgramW6432 under Wow64, else ProgramFiles), hotkey, windowStyle and
// linkFile. False when the file cannot be loaded or its target is empty.
bool ReadShortcut(std::string_view linkFile, ShortcutRecord* record);

// Writes record.linkFile (extension rule above), setting Arguments,
// Description, Hotkey, IconLocation, TargetPath, WindowStyle and
// WorkingDirectory in that order, every one even when empty, then saving.
// A property that cannot be set (for example a hotkey text that is not
// understood) does not stop the others or the save, but makes the result
// false, as with the automation object. `failure` (if given) receives the
// first failing HRESULT, 0 when none failed.
bool WriteShortcut(const ShortcutRecord& record, int32_t* failure = nullptr);

}  // namespace pt
