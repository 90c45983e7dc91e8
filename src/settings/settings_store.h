// The settings store: every user preference lives in one JSON document
// (data\Settings), read once at start-up and changed only through the typed
// accessors below. Each change re-arms a 5-second deferred save, so a burst
// of changes costs one write; pending changes are flushed at exit. The store
// also carries the hotkey key lookup and the autostart operations.
//
// File and timer access sit behind SettingsStorage so the document logic is
// pure; the Windows implementation (settings_store_win.cpp) keeps the file in
// a data folder, saves it atomically, and uses a windowless thread timer.
#pragma once

#include "base/save_outcome.h"
#include "base/atomic_file.h"
#include "base/save_timer.h"
#include "base/hotkey_text.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>
#include <string_view>

namespace pt {

class JsonDocument;

inline constexpr unsigned kSettingsSaveDelayMs = 5000;

// The settings document used when data\Settings is missing, empty or broken.
extern const std::string_view kDefaultSettingsText;

// Where the settings file lives and how the deferred save is timed.
using SettingsStorage = DocumentStorage;

#ifdef _WIN32
// dataFolder\Settings, atomic saves, a thread timer of delayMs (SetTimer
// without a window; the UI thread's message loop runs it). A broken file is
// copied to dataFolder\Settings.broken-YYYYMMDD-HHMMSS.
std::unique_ptr<SettingsStorage> MakeFileSettingsStorage(std::string dataFolder,
                                                         unsigned delayMs = kSettingsSaveDelayMs);
#endif

// Which setting changed, as its path in the document ("General.TopMost",
// "Skin.background-color", "More.Easing.Speed"); a hotkey as
// "Shortcutkey.<entry>", a remembered position or size as its object
// ("General.PosRemember.PosLast"). The names of the ones that others follow:
inline constexpr std::string_view kSettingTopMost = "General.TopMost";
inline constexpr std::string_view kSettingShowTrayIcon = "General.ShowTrayIcon";
inline constexpr std::string_view kSettingSkinBackground = "Skin.background-color";
inline constexpr std::string_view kSettingSkinStyleMac = "Skin.style-mac";
inline constexpr std::string_view kSettingSkinBorderRadius = "Skin.border-radius";
inline constexpr std::string_view kSettingEasing = "More.Easing.bEnable";
inline constexpr std::string_view kSettingEasingSpeed = "More.Easing.Speed";
inline constexpr std::string_view kSettingHotkeyPrefix = "Shortcutkey.";
// Told after a setter changed a value (a setter that stores the same value
// again tells nobody). It may call setters and subscribe or unsubscribe.
using SettingsObserver = std::function<void(std::string_view key)>;

class SettingsStore {
  public:
    explicit SettingsStore(std::unique_ptr<SettingsStorage> storage);
    ~SettingsStore();
    SettingsStore(const SettingsStore&) = delete;
    SettingsStore& operator=(const SettingsStore&) = delete;

    // --- life cycle ---

    // Reads the file (defaults when it is missing, empty or unparsable; a
    // non-empty file that cannot be used is copied aside first) and repairs
    // the keys of older versions. Writes nothing.
    void Load();
    // Arms or re-arms the deferred save.
    void ScheduleSave();
    // Cancels a pending deferred save and writes the file now. A failure
    // keeps the document as it is and leaves the save due (FlushPendingSave
    // and the next change retry); the first failure of a run is reported to
    // the failure handler. True when the file was written.
    bool SaveNow();
    // Writes if a save is due (armed, or an earlier one failed). For exit.
    void FlushPendingSave();
    bool SaveDue() const { return savePending_ || saveOutcome_.Failed(); }
    // Called once, for the first failed save of the run, with its error.
    void SetSaveFailureHandler(std::function<void(uint32_t error)> handler);

    // ---- change notifications
    // Returns an id for Unsubscribe (never 0).
    int Subscribe(SettingsObserver observer);
    void Unsubscribe(int id);
    // Name of the copy Load made of a broken file; "" when it made none.
    const std::string& BrokenCopyName() const { return brokenCopy_; }
    // The document as the next save would write it (UTF-8 JSON text).
    std::string DocumentText() const;

    // --- General ---
    bool GetDPIAware() const;
    void SetDPIAware(bool value);  // also sets DPIReset to 1
    bool GetDPIReset() const;
    void SetDPIReset(bool value);
    bool GetTopMost() const;
    void SetTopMost(bool value);
    bool GetShowTrayIcon() const;
    void SetShowTrayIcon(bool value);
    bool GetShowFollowsMouse() const;
    void SetShowFollowsMouse(bool value);  // rewrites General in canonical order
    bool GetPosLock() const;
    void SetPosLock(bool value);
    bool GetSizeLock() const;
    void SetSizeLock(bool value);
    // The three Remember switches empty their object first, so switching
    // either way forgets the remembered values.
    bool GetPosRemember() const;
    void SetPosRemember(bool value);
    void GetPosLast(int* xPos, int* yPos) const;
    void SetPosLast(int xPos, int yPos);
    bool GetSizeRemember() const;
    void SetSizeRemember(bool value);
    void GetSizeLast(int* width, int* height) const;
    void SetSizeLast(int width, int height);
    bool GetIndexRemember() const;
    void SetIndexRemember(bool value);
    void GetIndexLast(int* iClass, int* iGroup) const;
    void SetIndexLast(int iClass, int iGroup);

    // --- Action ---
    bool GetHideAfterStartup() const;
    void SetHideAfterStartup(bool value);
    bool GetHideAfterExec() const;
    void SetHideAfterExec(bool value);
    bool GetHideAfterKillFocus() const;
    void SetHideAfterKillFocus(bool value);  // rewrites Action in canonical order
    bool GetDockPanel() const;
    void SetDockPanel(bool value);
    bool GetExitAfterClose() const;
    void SetExitAfterClose(bool value);
    bool GetDoubleClick() const;
    void SetDoubleClick(bool value);
    bool GetShiftShowMenu() const;
    void SetShiftShowMenu(bool value);
    bool GetMouseHoveCheck() const;
    void SetMouseHoveCheck(bool value);

    // --- Shortcutkey ---
    bool GetRegFailTips() const;
    void SetRegFailTips(bool value);
    // Hotkey entries ("Pinatrove", "Camera"): text out, enable returned.
    bool GetHotkey(std::string_view entry, std::string* text) const;
    void SetHotkey(std::string_view entry, std::string_view text, bool enable);
    const KeyLookup& Keys() const { return keys_; }

    // --- Skin ---
    int32_t GetBackgroundColor() const;  // ABGR
    void SetBackgroundColor(int32_t value);
    bool GetStyleMac() const;
    void SetStyleMac(bool value);
    bool GetBorderRadius() const;
    void SetBorderRadius(bool value);

    // --- More ---
    bool GetEasing() const;
    void SetEasing(bool value);
    int GetSpeed() const;  // clamped to 5..30 on read
    void SetSpeed(int value);
    bool GetDragFlag() const;
    void SetDragFlag(bool value);

    // --- Windows only (settings_store_win.cpp) ---
    // The panel's window (an HWND), which receives WM_HOTKEY.
    void SetHotkeyWindow(void* window) { hotkeyWindow_ = window; }
    bool RegisterHotkey(std::string_view entry, std::string_view text);
    void UnregisterHotkey(std::string_view entry);
    // The autostart shortcut of the running executable (not in the document).
    bool IsAutostart() const;
    void SetAutostart(bool on);

  private:
    bool Bool(std::string_view path) const;
    int Int(std::string_view path) const;
    void WriteInt(std::string_view path, int value);  // write + ScheduleSave + Announce
    // Tells the observers that `key` changed.
    void Announce(std::string_view key);
    void Repair();
    void SetRemember(std::string_view object, bool value);
    void RebuildGeneral(bool showFollowsMouse);
    void RebuildAction(bool hideAfterKillFocus);

    std::unique_ptr<SettingsStorage> storage_;
    std::unique_ptr<JsonDocument> document_;
    KeyLookup keys_;
    bool savePending_ = false;
    SaveOutcome saveOutcome_;
    std::string brokenCopy_;
    void* hotkeyWindow_ = nullptr;
    std::vector<std::pair<int, std::shared_ptr<SettingsObserver>>> observers_;
    int nextObserver_ = 0;
};

// The one store of the process: start-up creates and loads it and installs
// it here before anything else runs; everything else reaches it through
// Settings(). UI thread only.
void InstallSettings(SettingsStore* store);
SettingsStore& Settings();

}  // namespace pt
