// The settings document logic against an in-memory storage: defaults and
// broken files, the repairs, the accessors' side effects, save scheduling
// and failed saves.
#include "settings/settings_store.h"

#include "base/text.h"
#include "doc/json_document.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace pt {
namespace {

// What the fake storage holds and records; shared with the test because the
// store owns the storage object.
struct Disk {
    FileReadStatus readStatus = FileReadStatus::kMissing;
    std::string file;
    int writes = 0;
    bool failWrites = false;
    std::vector<std::string> copies;
    bool armed = false;
    int arms = 0;
    std::function<void()> fire;
};

class FakeStorage final : public SettingsStorage {
public:
    explicit FakeStorage(std::shared_ptr<Disk> disk) : disk_(std::move(disk)) {}
    FileReadStatus Read(std::string* bytes) override {
        *bytes = disk_->readStatus == FileReadStatus::kOk ? disk_->file : std::string();
        return disk_->readStatus;
    }
    bool Write(std::string_view bytes, uint32_t* error) override {
        ++disk_->writes;
        if (disk_->failWrites) {
            *error = 112;  // ERROR_DISK_FULL
            return false;
        }
        disk_->file = std::string(bytes);
        disk_->readStatus = FileReadStatus::kOk;
        return true;
    }
    std::string KeepBrokenCopy() override {
        disk_->copies.push_back(disk_->file);
        return "Settings.broken-" + std::to_string(disk_->copies.size());
    }
    void ArmTimer(std::function<void()> fire) override {
        disk_->armed = true;
        ++disk_->arms;
        disk_->fire = std::move(fire);
    }
    void CancelTimer() override {
        disk_->armed = false;
        disk_->fire = nullptr;
    }

private:
    std::shared_ptr<Disk> disk_;
};

// UTF-16LE bytes of text with the writer's two terminating zero bytes.
std::string FileBytes(std::string_view text) {
    std::string bytes;
    for (char16_t c : Utf8ToWide(text)) {
        bytes += static_cast<char>(c & 0xFF);
        bytes += static_cast<char>(c >> 8);
    }
    bytes.append(2, '\0');
    return bytes;
}

class SettingsStoreTest : public testing::Test {
protected:
    // A store loaded from a file holding text (or from no file).
    std::unique_ptr<SettingsStore> Load(const char* text = nullptr) {
        if (text) {
            disk_->readStatus = FileReadStatus::kOk;
            disk_->file = FileBytes(text);
        }
        auto store = std::make_unique<SettingsStore>(std::make_unique<FakeStorage>(disk_));
        store->Load();
        return store;
    }
    // Lets the armed timer elapse.
    void Fire() {
        ASSERT_TRUE(disk_->armed);
        auto fire = std::move(disk_->fire);
        disk_->armed = false;
        fire();
    }
    std::shared_ptr<Disk> disk_ = std::make_shared<Disk>();
};

TEST_F(SettingsStoreTest, NoFileGivesDefaultsAndTheFirstChangeIsWrittenByTheTimer) {
    auto store = Load();
    EXPECT_EQ(store->DocumentText(), kDefaultSettingsText);
    EXPECT_TRUE(store->BrokenCopyName().empty());
    EXPECT_TRUE(store->GetShowTrayIcon());
    EXPECT_TRUE(store->GetDockPanel());
    EXPECT_TRUE(store->GetShiftShowMenu());
    EXPECT_TRUE(store->GetRegFailTips());
    EXPECT_TRUE(store->GetBorderRadius());
    EXPECT_TRUE(store->GetEasing());
    EXPECT_EQ(store->GetSpeed(), 25);
    EXPECT_EQ(store->GetBackgroundColor(), -657931);
    EXPECT_FALSE(store->GetTopMost());
    EXPECT_FALSE(store->GetPosRemember());
    EXPECT_EQ(disk_->writes, 0);
    EXPECT_FALSE(disk_->armed);
    EXPECT_FALSE(store->SaveDue());

    store->SetTopMost(true);
    EXPECT_EQ(disk_->writes, 0);
    EXPECT_TRUE(store->SaveDue());
    Fire();
    EXPECT_EQ(disk_->writes, 1);
    EXPECT_FALSE(store->SaveDue());
    std::string expected(kDefaultSettingsText);
    expected.replace(expected.find("\"TopMost\":0"), 11, "\"TopMost\":1");
    EXPECT_EQ(disk_->file, FileBytes(expected));
}

TEST_F(SettingsStoreTest, EmptyBrokenAndUnreadableFiles) {
    disk_->readStatus = FileReadStatus::kOk;  // a file of 0 bytes
    auto store = std::make_unique<SettingsStore>(std::make_unique<FakeStorage>(disk_));
    store->Load();
    EXPECT_EQ(store->DocumentText(), kDefaultSettingsText);
    EXPECT_TRUE(disk_->copies.empty());  // an empty file is not worth keeping

    for (const char* broken : {"{\"General\":{\"TopMost\":1", "[1,2]", "\"text\""}) {
        disk_->copies.clear();
        store = Load(broken);
        EXPECT_EQ(store->DocumentText(), kDefaultSettingsText) << broken;
        ASSERT_EQ(disk_->copies.size(), 1u) << broken;
        EXPECT_EQ(disk_->copies[0], FileBytes(broken));
        EXPECT_EQ(store->BrokenCopyName(), "Settings.broken-1");
        EXPECT_EQ(disk_->writes, 0);  // nothing written until a change
    }

    disk_->copies.clear();
    disk_->readStatus = FileReadStatus::kFailed;
    store = std::make_unique<SettingsStore>(std::make_unique<FakeStorage>(disk_));
    store->Load();
    EXPECT_EQ(disk_->copies.size(), 1u);
    EXPECT_TRUE(store->GetDockPanel());

    // A document that parses keeps what it has; missing keys read as 0.
    disk_->copies.clear();
    store = Load("{\"General\":{\"TopMost\":1}}");
    EXPECT_TRUE(disk_->copies.empty());
    EXPECT_TRUE(store->GetTopMost());
    EXPECT_FALSE(store->GetDockPanel());
    EXPECT_FALSE(store->GetShowTrayIcon());
    EXPECT_EQ(store->GetBackgroundColor(), 0);
    EXPECT_EQ(store->GetSpeed(), 5);
    std::string text;
    EXPECT_FALSE(store->GetHotkey("Pinatrove", &text));
    EXPECT_EQ(text, "");
}

// Notepad saves "Unicode" with a byte-order mark, or UTF-8 (with or
// without one); older versions wrote code page 936.
TEST_F(SettingsStoreTest, FilesSavedByAnEditorAreRead) {
    const std::string text = "{\"General\":{\"TopMost\":1},\"Skin\":{\"name\":\"\xE7\xBB\xBF\"}}";
    for (const std::string& file :
         {"\xFF\xFE" + FileBytes(text), "\xEF\xBB\xBF" + text, text,
          std::string("{\"General\":{\"TopMost\":1},\"Skin\":{\"name\":\"\xC2\xCC\"}}")}) {
        disk_->copies.clear();
        disk_->readStatus = FileReadStatus::kOk;
        disk_->file = file;
        auto store = std::make_unique<SettingsStore>(std::make_unique<FakeStorage>(disk_));
        store->Load();
        EXPECT_TRUE(disk_->copies.empty());
        EXPECT_TRUE(store->GetTopMost());
        EXPECT_EQ(store->DocumentText(), text);
        // Written back in the program's own form: UTF-16LE without a mark.
        ASSERT_TRUE(store->SaveNow());
        EXPECT_EQ(disk_->file.substr(0, 2), std::string("{\0", 2));
    }
}

TEST_F(SettingsStoreTest, LoadRepairsKeysOfOlderVersionsInPlace) {
    auto store = Load(
        "{\"General\":{\"PosLast\":{\"xPos\":1},\"TopMost\":1,\"SizeLast\":2,\"IndexLast\":3,"
        "\"PosRemember\":{\"bEnable\":1,\"PosLast\":{\"xPos\":7,\"yPos\":8}}},"
        "\"Shortcutkey\":{\"A\":1,\"ConflictWarning\":0,\"B\":2}}");
    EXPECT_FALSE(store->GetRegFailTips());
    EXPECT_EQ(store->DocumentText(),
              "{\"General\":{\"TopMost\":1,\"PosRemember\":{\"bEnable\":1,\"PosLast\":{\"xPos\":7,"
              "\"yPos\":8}}},\"Shortcutkey\":{\"A\":1,\"RegFailTips\":0,\"B\":2}}");
    int x = 0, y = 0;
    store->GetPosLast(&x, &y);
    EXPECT_EQ(x, 7);
    EXPECT_EQ(y, 8);
    EXPECT_FALSE(disk_->armed);  // the repair alone is not a change to save

    // Nothing to repair: nothing is added either.
    store = Load("{\"Skin\":{}}");
    EXPECT_EQ(store->DocumentText(), "{\"Skin\":{}}");
}

TEST_F(SettingsStoreTest, RememberSwitchesForgetTheirLastValues) {
    auto store = Load(
        "{\"General\":{\"PosRemember\":{\"bEnable\":1,\"PosLast\":{\"xPos\":5,\"yPos\":6}},"
        "\"SizeRemember\":{\"bEnable\":0,\"SizeLast\":{\"width\":300,\"height\":200}},"
        "\"IndexRemember\":{\"bEnable\":1,\"IndexLast\":{\"iClass\":2,\"iGRoup\":3}}}}");
    int a = 0, b = 0;
    store->GetSizeLast(&a, &b);
    EXPECT_EQ(a, 300);
    EXPECT_EQ(b, 200);
    store->GetIndexLast(&a, &b);
    EXPECT_EQ(a, 2);
    EXPECT_EQ(b, 3);

    store->SetPosRemember(true);  // the same value still forgets
    store->SetSizeRemember(true);
    store->SetIndexRemember(false);
    EXPECT_TRUE(store->GetPosRemember());
    EXPECT_TRUE(store->GetSizeRemember());
    EXPECT_FALSE(store->GetIndexRemember());
    EXPECT_EQ(store->DocumentText(),
              "{\"General\":{\"PosRemember\":{\"bEnable\":1},\"SizeRemember\":{\"bEnable\":1},"
              "\"IndexRemember\":{\"bEnable\":0}}}");

    store->SetPosLast(-10, 20);
    store->SetSizeLast(640, 480);
    store->SetIndexLast(4, 1);
    store->GetPosLast(&a, &b);
    EXPECT_EQ(a, -10);
    EXPECT_EQ(b, 20);
    EXPECT_NE(store->DocumentText().find("\"IndexLast\":{\"iClass\":4,\"iGRoup\":1}"),
              std::string::npos);
}

TEST_F(SettingsStoreTest, DpiAwareAlsoSetsDpiReset) {
    auto store = Load();
    store->SetDPIAware(true);
    EXPECT_TRUE(store->GetDPIAware());
    EXPECT_TRUE(store->GetDPIReset());
    store->SetDPIReset(false);
    store->SetDPIAware(false);
    EXPECT_FALSE(store->GetDPIAware());
    EXPECT_TRUE(store->GetDPIReset());
}

TEST_F(SettingsStoreTest, RebuildsWriteGeneralAndActionInCanonicalOrder) {
    auto store = Load(
        "{\"Action\":{\"DoubleClick\":1,\"Extra\":5,\"HideAfterExec\":1},"
        "\"General\":{\"IndexRemember\":{\"bEnable\":1},\"Unknown\":9,\"TopMost\":1,"
        "\"PosRemember\":{\"bEnable\":1,\"PosLast\":{\"xPos\":3,\"yPos\":4}}}}");
    store->SetHideAfterKillFocus(true);
    store->SetShowFollowsMouse(true);
    EXPECT_EQ(store->DocumentText(),
              "{\"Action\":{\"HideAfterStartup\":0,\"HideAfterExec\":1,\"HideAfterKillFocus\":1,"
              "\"DockPanel\":0,\"ExitAfterClose\":0,\"DoubleClick\":1,\"ShiftShowMenu\":0,"
              "\"MouseHoveCheck\":0},"
              "\"General\":{\"DPIAware\":0,\"DPIReset\":0,\"TopMost\":1,\"ShowTrayIcon\":0,"
              "\"ShowFollowsMouse\":1,\"PosLock\":0,\"SizeLock\":0,"
              "\"PosRemember\":{\"bEnable\":1,\"PosLast\":{\"xPos\":3,\"yPos\":4}},"
              "\"IndexRemember\":{\"bEnable\":1}}}");
    EXPECT_TRUE(store->GetHideAfterKillFocus());
    EXPECT_FALSE(store->GetDockPanel());
    EXPECT_TRUE(disk_->armed);

    // On the default document the rebuild changes only the value set.
    disk_ = std::make_shared<Disk>();
    store = Load();
    store->SetShowFollowsMouse(true);
    store->SetShowFollowsMouse(false);
    store->SetHideAfterKillFocus(false);
    EXPECT_EQ(store->DocumentText(), kDefaultSettingsText);
}

TEST_F(SettingsStoreTest, SpeedIsClampedOnReadOnly) {
    for (auto [stored, read] : {std::pair{2, 5}, {99, 30}, {5, 5}, {30, 30}, {17, 17}, {-4, 5}}) {
        auto store = Load(("{\"More\":{\"Easing\":{\"Speed\":" + std::to_string(stored) + "}}}").c_str());
        EXPECT_EQ(store->GetSpeed(), read) << stored;
    }
    auto store = Load();
    store->SetSpeed(99);
    EXPECT_EQ(store->GetSpeed(), 30);
    EXPECT_NE(store->DocumentText().find("\"Speed\":99"), std::string::npos);
}

TEST_F(SettingsStoreTest, HotkeyEntries) {
    auto store = Load();
    std::string text;
    EXPECT_TRUE(store->GetHotkey("Pinatrove", &text));
    EXPECT_EQ(text, "Ctrl + `");
    EXPECT_FALSE(store->GetHotkey("Camera", &text));
    EXPECT_EQ(text, "F4");
    EXPECT_FALSE(store->GetHotkey("Nothing", &text));
    EXPECT_EQ(text, "");

    store->SetHotkey("Camera", "Ctrl + Shift + 无", true);
    EXPECT_TRUE(store->GetHotkey("Camera", &text));
    EXPECT_EQ(text, "Ctrl + Shift + 无");
    store->SetHotkey("New.Entry", "F1", false);  // a dot in the name is not a path step
    EXPECT_FALSE(store->GetHotkey("New.Entry", &text));
    EXPECT_EQ(text, "F1");
    std::string doc = store->DocumentText();
    EXPECT_NE(doc.find("\"New.Entry\":{\"bEnable\":0,\"HotKey\":\"F1\"}"), std::string::npos);
    EXPECT_TRUE(disk_->armed);
    EXPECT_EQ(store->Keys().Find("Space"), 0x20u);
}

TEST_F(SettingsStoreTest, EveryAccessorSurvivesASaveAndReload) {
    using Getter = bool (SettingsStore::*)() const;
    using Setter = void (SettingsStore::*)(bool);
    const std::pair<Getter, Setter> flags[] = {
        {&SettingsStore::GetDPIReset, &SettingsStore::SetDPIReset},
        {&SettingsStore::GetTopMost, &SettingsStore::SetTopMost},
        {&SettingsStore::GetShowTrayIcon, &SettingsStore::SetShowTrayIcon},
        {&SettingsStore::GetShowFollowsMouse, &SettingsStore::SetShowFollowsMouse},
        {&SettingsStore::GetPosLock, &SettingsStore::SetPosLock},
        {&SettingsStore::GetSizeLock, &SettingsStore::SetSizeLock},
        {&SettingsStore::GetPosRemember, &SettingsStore::SetPosRemember},
        {&SettingsStore::GetSizeRemember, &SettingsStore::SetSizeRemember},
        {&SettingsStore::GetIndexRemember, &SettingsStore::SetIndexRemember},
        {&SettingsStore::GetHideAfterStartup, &SettingsStore::SetHideAfterStartup},
        {&SettingsStore::GetHideAfterExec, &SettingsStore::SetHideAfterExec},
        {&SettingsStore::GetHideAfterKillFocus, &SettingsStore::SetHideAfterKillFocus},
        {&SettingsStore::GetDockPanel, &SettingsStore::SetDockPanel},
        {&SettingsStore::GetExitAfterClose, &SettingsStore::SetExitAfterClose},
        {&SettingsStore::GetDoubleClick, &SettingsStore::SetDoubleClick},
        {&SettingsStore::GetShiftShowMenu, &SettingsStore::SetShiftShowMenu},
        {&SettingsStore::GetMouseHoveCheck, &SettingsStore::SetMouseHoveCheck},
        {&SettingsStore::GetRegFailTips, &SettingsStore::SetRegFailTips},
        {&SettingsStore::GetStyleMac, &SettingsStore::SetStyleMac},
        {&SettingsStore::GetBorderRadius, &SettingsStore::SetBorderRadius},
        {&SettingsStore::GetEasing, &SettingsStore::SetEasing},
        {&SettingsStore::GetDragFlag, &SettingsStore::SetDragFlag},
        {&SettingsStore::GetDPIAware, &SettingsStore::SetDPIAware},
    };
    for (bool value : {true, false}) {
        auto store = Load();
        for (auto [get, set] : flags) (store.get()->*set)(value);
        store->SetBackgroundColor(value ? 0x7F00FF00 : -1);
        store->SetSpeed(value ? 11 : 29);
        store->SetPosLast(1, 2);
        store->SetSizeLast(3, 4);
        store->SetIndexLast(5, 6);
        store->FlushPendingSave();
        EXPECT_FALSE(disk_->armed);

        auto reloaded = Load();  // from what was written
        for (size_t i = 0; i < std::size(flags); ++i) {
            auto get = flags[i].first;
            bool expected = get == &SettingsStore::GetDPIReset || value;  // DPIAware sets it
            EXPECT_EQ((reloaded.get()->*get)(), expected) << i;
        }
        EXPECT_EQ(reloaded->GetBackgroundColor(), value ? 0x7F00FF00 : -1);
        EXPECT_EQ(reloaded->GetSpeed(), value ? 11 : 29);
        int a = 0, b = 0;
        reloaded->GetPosLast(&a, &b);
        EXPECT_EQ(a * 10 + b, 12);
        reloaded->GetSizeLast(&a, &b);
        EXPECT_EQ(a * 10 + b, 34);
        reloaded->GetIndexLast(&a, &b);
        EXPECT_EQ(a * 10 + b, 56);
        // Booleans are stored as the numbers 0 and 1.
        std::string doc = reloaded->DocumentText();
        EXPECT_EQ(doc.find("true"), std::string::npos);
        EXPECT_EQ(doc.find("false"), std::string::npos);
    }
}

TEST_F(SettingsStoreTest, ABurstOfChangesIsOneWriteAndExitFlushesIt) {
    auto store = Load();
    for (int i = 0; i < 10; ++i) store->SetSpeed(10 + i);
    EXPECT_EQ(disk_->arms, 10);  // each change re-arms the one timer
    EXPECT_EQ(disk_->writes, 0);
    Fire();
    EXPECT_EQ(disk_->writes, 1);
    store->FlushPendingSave();  // nothing due
    EXPECT_EQ(disk_->writes, 1);

    store->SetTopMost(true);
    store->FlushPendingSave();
    EXPECT_EQ(disk_->writes, 2);
    EXPECT_FALSE(disk_->armed);  // the flush cancelled the timer
    EXPECT_TRUE(Load()->GetTopMost());
}

TEST_F(SettingsStoreTest, FailedSavesAreRetriedAndReportedOnce) {
    auto store = Load();
    std::vector<uint32_t> reports;
    store->SetSaveFailureHandler([&](uint32_t error) { reports.push_back(error); });
    disk_->failWrites = true;
    store->SetTopMost(true);
    Fire();
    EXPECT_EQ(disk_->writes, 1);
    EXPECT_TRUE(store->SaveDue());
    EXPECT_TRUE(store->GetTopMost());  // the document stays authoritative
    store->SetPosLock(true);
    Fire();
    EXPECT_FALSE(store->SaveNow());
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0], 112u);

    disk_->failWrites = false;
    store->FlushPendingSave();  // the exit path retries without a new change
    EXPECT_FALSE(store->SaveDue());
    auto reloaded = Load();
    EXPECT_TRUE(reloaded->GetTopMost());
    EXPECT_TRUE(reloaded->GetPosLock());
    EXPECT_EQ(reports.size(), 1u);
}

TEST_F(SettingsStoreTest, ProcessWideInstance) {
    auto store = Load();
    InstallSettings(store.get());
    EXPECT_EQ(&Settings(), store.get());
    InstallSettings(nullptr);
}

}  // namespace
}  // namespace pt

namespace pt {
namespace {

TEST_F(SettingsStoreTest, ObserversHearWhichSettingChangedAndOnlyOnChange) {
    auto store = Load();
    std::vector<std::string> heard;
    int second = 0;
    const int first = store->Subscribe([&](std::string_view key) {
        heard.emplace_back(key);
        // An observer may unsubscribe another one while being told.
        if (key == kSettingEasingSpeed)
            store->Unsubscribe(second);
    });
    int secondCalls = 0;
    second = store->Subscribe([&](std::string_view) { ++secondCalls; });

    store->SetTopMost(!store->GetTopMost());
    store->SetTopMost(store->GetTopMost());  // the same value again: nobody is told
    store->SetHotkey("Camera", "Ctrl + F4", true);
    store->SetHotkey("Camera", "Ctrl + F4", true);
    store->SetPosLast(10, 20);
    store->SetPosLast(11, 20);  // the first coordinate alone counts too
    store->SetShowFollowsMouse(!store->GetShowFollowsMouse());
    store->SetSpeed(store->GetSpeed() + 1);
    store->SetEasing(!store->GetEasing());
    EXPECT_EQ(heard, (std::vector<std::string>{
                         std::string(kSettingTopMost), "Shortcutkey.Camera",
                         "General.PosRemember.PosLast", "General.PosRemember.PosLast",
                         "General.ShowFollowsMouse", std::string(kSettingEasingSpeed),
                         std::string(kSettingEasing)}));
    EXPECT_EQ(secondCalls, 5) << "unsubscribed while the speed was announced";
    store->Unsubscribe(first);
    store->SetTopMost(!store->GetTopMost());
    EXPECT_EQ(heard.size(), 7u);
}

}  // namespace
}  // namespace pt
