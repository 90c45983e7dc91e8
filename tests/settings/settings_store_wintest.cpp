// The settings store on a real data folder with the real thread timer: the
// deferred save is watched by pumping messages (no blind sleeps), broken
// files are kept aside, and a save that cannot be written is reported once.
#include "settings/settings_store.h"

#include "base/text.h"
#include "support/counting_storage.h"
#include "support/poll.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <functional>

namespace pt {
namespace {

using CountingStorage = test::CountingStorage<SettingsStorage>;
using test::FileExists;
using test::PollUntil;
using test::PumpFor;
using test::ReadBytes;
using test::TempFolder;

class SettingsFileTest : public testing::Test {
protected:
    std::unique_ptr<SettingsStore> MakeStore() {
        auto store = std::make_unique<SettingsStore>(std::make_unique<CountingStorage>(
            MakeFileSettingsStorage(DataFolder()), &writes_));
        store->Load();
        return store;
    }
    std::string DataFolder() const { return folder_.File("data"); }
    std::string SettingsFile() const { return DataFolder() + "\\Settings"; }

    TempFolder folder_;
    int writes_ = 0;
};

TEST_F(SettingsFileTest, FirstChangeIsWrittenFiveSecondsLater) {
    auto store = MakeStore();
    EXPECT_TRUE(store->GetDockPanel());
    EXPECT_FALSE(FileExists(DataFolder()));  // loading writes nothing

    const ULONGLONG changed = ::GetTickCount64();
    store->SetTopMost(true);
    PollUntil([&] { return FileExists(SettingsFile()); }, 8000);
    const ULONGLONG elapsed = ::GetTickCount64() - changed;
    ASSERT_TRUE(FileExists(SettingsFile()));
    EXPECT_GE(elapsed, 4900u);
    EXPECT_LT(elapsed, 7000u);
    EXPECT_EQ(writes_, 1);
    EXPECT_FALSE(store->SaveDue());
    EXPECT_FALSE(FileExists(SettingsFile() + ".tmp"));

    auto reloaded = MakeStore();
    EXPECT_TRUE(reloaded->GetTopMost());
    EXPECT_EQ(reloaded->DocumentText(), store->DocumentText());
}

TEST_F(SettingsFileTest, TenChangesWithinASecondAreOneWriteAfterTheLast) {
    auto store = MakeStore();
    ULONGLONG lastChange = 0;
    for (int i = 0; i < 10; ++i) {
        store->SetSpeed(10 + i);
        lastChange = ::GetTickCount64();
        PumpFor(100);  // the timer must not fire meanwhile
    }
    EXPECT_EQ(writes_, 0);
    PollUntil([&] { return writes_ > 0; }, 8000);
    const ULONGLONG sinceLast = ::GetTickCount64() - lastChange;
    ASSERT_EQ(writes_, 1);
    EXPECT_GE(sinceLast, 4900u);
    EXPECT_LT(sinceLast, 7000u);
    PumpFor(700);  // and it does not fire again
    EXPECT_EQ(writes_, 1);
    EXPECT_EQ(MakeStore()->GetSpeed(), 19);
}

TEST_F(SettingsFileTest, ExitFlushWritesAPendingChangeAtOnce) {
    auto store = MakeStore();
    store->SetHideAfterExec(true);
    store->FlushPendingSave();
    EXPECT_EQ(writes_, 1);
    EXPECT_TRUE(MakeStore()->GetHideAfterExec());
    PumpFor(300);
    store.reset();  // a destroyed store leaves no timer behind to fire
    PumpFor(200);
    EXPECT_EQ(writes_, 1);
}

TEST_F(SettingsFileTest, BrokenFileIsKeptAsideBeforeDefaultsAreUsed) {
    ASSERT_TRUE(EnsureDirectory(DataFolder()));
    const std::string broken("{\0\"\0G\0", 6);  // UTF-16 text cut short
    ASSERT_TRUE(WriteFileAtomic(SettingsFile(), broken));
    auto store = MakeStore();
    EXPECT_TRUE(store->GetDockPanel());  // defaults
    const std::string copy = store->BrokenCopyName();
    ASSERT_FALSE(copy.empty());
    // data\Settings.broken-YYYYMMDD-HHMMSS
    const std::string prefix = SettingsFile() + ".broken-";
    ASSERT_EQ(copy.substr(0, prefix.size()), prefix);
    EXPECT_EQ(copy.size(), prefix.size() + 15);
    EXPECT_EQ(copy[prefix.size() + 8], '-');
    EXPECT_EQ(ReadBytes(copy), broken);

    // A second broken start within the same second keeps both copies.
    auto again = MakeStore();
    EXPECT_FALSE(again->BrokenCopyName().empty());
    EXPECT_NE(again->BrokenCopyName(), copy);

    store->SetTopMost(true);
    store->FlushPendingSave();
    EXPECT_TRUE(MakeStore()->GetTopMost());
    EXPECT_EQ(ReadBytes(copy), broken);
}

TEST_F(SettingsFileTest, SaveThatCannotBeWrittenIsReportedOnceAndRetried) {
    // A file where the data folder should be: neither the folder nor the
    // settings file can be created.
    ASSERT_TRUE(WriteFileAtomic(DataFolder(), "in the way"));
    auto store = MakeStore();
    int reports = 0;
    uint32_t reported = 0;
    store->SetSaveFailureHandler([&](uint32_t error) {
        ++reports;
        reported = error;
    });
    store->SetTopMost(true);
    EXPECT_FALSE(store->SaveNow());
    store->SetPosLock(true);
    store->FlushPendingSave();
    EXPECT_EQ(reports, 1);
    EXPECT_NE(reported, 0u);
    EXPECT_TRUE(store->SaveDue());
    EXPECT_TRUE(store->GetTopMost());

    ::DeleteFileW(ToWide(DataFolder()).c_str());
    store->FlushPendingSave();
    EXPECT_FALSE(store->SaveDue());
    auto reloaded = MakeStore();
    EXPECT_TRUE(reloaded->GetTopMost());
    EXPECT_TRUE(reloaded->GetPosLock());
}

TEST_F(SettingsFileTest, DefaultEntriesRegisterOnlyTheShowHideHotkey) {
    HWND window = ::CreateWindowExW(0, L"STATIC", L"panel", WS_POPUP, 0, 0, 10, 10, nullptr,
                                    nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    auto store = MakeStore();
    store->SetHotkeyWindow(window);
    // What start-up does for each entry.
    for (const char* entry : {"Pinatrove", "Camera"}) {
        std::string text;
        if (store->GetHotkey(entry, &text)) {
            EXPECT_TRUE(store->RegisterHotkey(entry, text));
        }
    }
    auto taken = [&](UINT modifiers, UINT key) {
        if (!::RegisterHotKey(window, 0x0102, modifiers, key)) return true;
        ::UnregisterHotKey(window, 0x0102);
        return false;
    };
    EXPECT_TRUE(taken(MOD_CONTROL, 0xC0));
    EXPECT_FALSE(taken(0, VK_F4));
    store->UnregisterHotkey("Pinatrove");
    EXPECT_FALSE(taken(MOD_CONTROL, 0xC0));
    ::DestroyWindow(window);
}

}  // namespace
}  // namespace pt
