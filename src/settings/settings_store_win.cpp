// The settings store's Windows side: the file in the data folder with atomic
// saves, the windowless thread timer of the deferred save, and the store
// operations that talk to the system (hotkeys, autostart).
#include "settings/settings_store.h"

#include "base/atomic_file.h"
#include "base/text.h"
#include "settings/hotkeys.h"
#include "settings/shortcut.h"

#include <windows.h>

#include <unordered_map>
#include <utility>

namespace pt {
namespace {

class FileSettingsStorage;

// A thread timer without a window reaches its callback with nothing but its
// identifier, so the storages with an armed timer are found through this
// table. UI thread only, like the timers themselves.
std::unordered_map<UINT_PTR, FileSettingsStorage*>& ArmedTimers() {
    static std::unordered_map<UINT_PTR, FileSettingsStorage*> timers;
    return timers;
}

class FileSettingsStorage final : public SettingsStorage {
  public:
    FileSettingsStorage(std::string folder, unsigned delayMs)
        : folder_(std::move(folder)), file_(folder_ + "\\Settings"), delayMs_(delayMs) {}
    ~FileSettingsStorage() override { CancelTimer(); }

    FileReadStatus Read(std::string* bytes) override { return ReadWholeFile(file_, bytes); }

    bool Write(std::string_view bytes, uint32_t* error) override {
        EnsureDirectory(folder_);  // a failure shows in the write itself
        return WriteFileAtomic(file_, bytes, error);
    }

    std::string KeepBrokenCopy() override { return pt::KeepBrokenCopy(file_); }

    void ArmTimer(std::function<void()> fire) override {
        CancelTimer();
        fire_ = std::move(fire);
        timer_ = ::SetTimer(nullptr, 0, delayMs_, &FileSettingsStorage::OnTimer);
        if (timer_)
            ArmedTimers()[timer_] = this;
    }

    void CancelTimer() override {
        if (!timer_)
            return;
        ::KillTimer(nullptr, timer_);
        ArmedTimers().erase(timer_);
        timer_ = 0;
    }

  private:
    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR id, DWORD) noexcept {
        auto& timers = ArmedTimers();
        auto it = timers.find(id);
        if (it == timers.end()) {
            ::KillTimer(nullptr, id);
            return;
        }
        FileSettingsStorage* self = it->second;
        // Thread timers repeat; this one is meant to fire once.
        self->CancelTimer();
        std::function<void()> fire = std::move(self->fire_);
        try {
            if (fire)
                fire();
        } catch (...) {
            // Nothing may unwind into the message loop; the save stays due.
        }
    }

    std::string folder_;
    std::string file_;
    unsigned delayMs_;
    UINT_PTR timer_ = 0;
    std::function<void()> fire_;
};

}  // namespace

std::unique_ptr<SettingsStorage> MakeFileSettingsStorage(std::string dataFolder, unsigned delayMs) {
    return std::make_unique<FileSettingsStorage>(std::move(dataFolder), delayMs);
}

bool SettingsStore::RegisterHotkey(std::string_view entry, std::string_view text) {
    return RegisterHotkeyFor(static_cast<HWND>(hotkeyWindow_), entry, text, keys_);
}

void SettingsStore::UnregisterHotkey(std::string_view entry) {
    UnregisterHotkeyFor(static_cast<HWND>(hotkeyWindow_), entry);
}

bool SettingsStore::IsAutostart() const {
    return IsAutostartFor(RunningExePath());
}

void SettingsStore::SetAutostart(bool on) {
    SetAutostartFor(on, RunningExePath());
}

}  // namespace pt
