// The panel from the keyboard, through the real panel window: typing opens
// the search and Enter starts the first hit, Backspace edits, Esc brings back
// the group that was shown; and one round from the category column to a
// started item with real key presses (SendInput) only.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "launcher/launch.h"
#include "panel/launcher_view.h"
#include "panel/panel_keys.h"
#include "panel/panel_window.h"
#include "panel/ui_test_util.h"
#include "settings/settings_store.h"
#include "support/temp_folder.h"
#include "toolkit/dpi.h"
#include "toolkit/edit.h"
#include "toolkit/list_view.h"
#include "toolkit/ui_probe.h"

namespace pt {
namespace {

using test::PollUntil;
using test::Pump;

[[maybe_unused]] testing::Environment* const g_env =
    testing::AddGlobalTestEnvironment(new test::UiEnvironment);

// Two categories of two groups; the paths are never started (the shell call
// is watched).
constexpr char kData[] = R"({"class":[
 {"name":"常用","group":[
   {"name":"工具","item":[{"name":"记事本","path":"C:\\t\\notepad.exe"},
                          {"name":"计算器","path":"C:\\t\\calc.exe"}]},
   {"name":"网站","item":[{"name":"银行","path":"https://bank.example/"}]}]},
 {"name":"办公","group":[
   {"name":"文档","item":[{"name":"会议记录","path":"C:\\t\\meeting.txt"},
                          {"name":"集思宝","path":"C:\\t\\jsb.exe"}]},
   {"name":"其他","item":[{"name":"画图","path":"C:\\t\\paint.exe"},
                          {"name":"就是不","path":"C:\\t\\no.exe"}]}]}]})";

class PanelKeysTest : public testing::Test {
  protected:
    void SetUp() override {
        SetDisplayScale(1.0f);
        folder_.MakeFile("Data", kData);
        settings_ = std::make_unique<SettingsStore>(MakeFileSettingsStorage(folder_.Path(), 60000));
        settings_->Load();
        settings_->SetHideAfterExec(false);
        data_ = std::make_unique<LauncherData>(MakeFileLauncherDataStorage(folder_.Path(), 60000),
                                               MakeShellLauncherSystem());
        LauncherViewServices vs;
        vs.data = data_.get();
        vs.settings = settings_.get();
        vs.shellCall = [this](const LaunchRequest& r) -> int64_t {
            std::lock_guard<std::mutex> lock(mutex_);
            started_.push_back(r.file);
            return 42;
        };
        view_ = std::make_unique<LauncherView>(vs);
        PanelServices ps;
        ps.settings = settings_.get();
        ps.content = view_.get();
        panel_ = std::make_unique<PanelWindow>(ps);
        ASSERT_TRUE(panel_->Create());
        hwnd_ = panel_->Handle();
        keys_ = std::make_unique<PanelKeys>(*view_, *data_);
        ASSERT_TRUE(keys_->Attach(hwnd_));
        panel_->Show();
        window_ = Window::FromHwnd(hwnd_);
        window_->PaintNow();
        Pump();
    }
    void TearDown() override {
        keys_.reset();
        if (Window* w = Window::FromHwnd(hwnd_))
            w->Destroy();
        Pump();
        panel_.reset();
        view_.reset();
        data_.reset();
        settings_.reset();
    }

    void Type(std::wstring_view text) {
        for (wchar_t ch : text)
            ::SendMessageW(hwnd_, WM_CHAR, ch, 1);
    }
    void Key(WPARAM vk) { ::SendMessageW(hwnd_, WM_KEYDOWN, vk, 1); }
    std::vector<std::string> Started() {
        std::lock_guard<std::mutex> lock(mutex_);
        return started_;
    }

    test::TempFolder folder_;
    std::mutex mutex_;
    std::vector<std::string> started_;
    std::unique_ptr<SettingsStore> settings_;
    std::unique_ptr<LauncherData> data_;
    std::unique_ptr<LauncherView> view_;
    std::unique_ptr<PanelWindow> panel_;
    std::unique_ptr<PanelKeys> keys_;
    HWND hwnd_ = nullptr;
    Window* window_ = nullptr;
};

TEST_F(PanelKeysTest, TypingSearchesEveryGroupEnterStartsTheFirstHitEscRestoresTheGroup) {
    view_->SelectRemembered(1, 1);
    ASSERT_TRUE(view_->Grid(1, 1)->IsShown());

    Type(L"jsb");
    ASSERT_TRUE(keys_->Searching());
    EXPECT_EQ(keys_->SearchField()->Text(), "jsb");
    EXPECT_TRUE(keys_->Results()->IsShown());
    EXPECT_FALSE(view_->Grid(1, 1)->IsShown());
    // Initials in three groups of two categories, in the data's order.
    ASSERT_EQ(keys_->ResultCount(), 3);
    EXPECT_EQ(keys_->ResultPlace(0), (SearchPlace{0, 0, 0}));
    EXPECT_EQ(keys_->ResultPlace(1), (SearchPlace{1, 0, 1}));
    EXPECT_EQ(keys_->ResultPlace(2), (SearchPlace{1, 1, 1}));
    EXPECT_EQ(keys_->Results()->ItemText(ListIndex{0, 1}, "name"), "集思宝");

    Key(VK_RETURN);
    ASSERT_TRUE(PollUntil([&] { return !Started().empty(); }));
    EXPECT_EQ(Started(), std::vector<std::string>{"C:\\t\\notepad.exe"});

    // Backspace edits the query; the arrows move in the results.
    Type(L"x");
    EXPECT_EQ(keys_->ResultCount(), 0);
    Key(VK_BACK);
    EXPECT_EQ(keys_->SearchField()->Text(), "jsb");
    EXPECT_EQ(keys_->ResultCount(), 3);
    Key(VK_RIGHT);
    Key(VK_RIGHT);
    EXPECT_EQ(keys_->Results()->Selected().item, 2);
    Key(VK_RETURN);
    ASSERT_TRUE(PollUntil([&] { return Started().size() == 2; }));
    EXPECT_EQ(Started()[1], "C:\\t\\no.exe");

    Key(VK_ESCAPE);
    EXPECT_FALSE(keys_->Searching());
    EXPECT_FALSE(keys_->Results()->IsShown());
    EXPECT_EQ(data_->CurrentClass(), 1);
    EXPECT_EQ(data_->CurrentGroup(), 1);
    EXPECT_TRUE(view_->Grid(1, 1)->IsShown());
    EXPECT_TRUE(view_->Tab(1, 1)->IsChecked());
}

TEST_F(PanelKeysTest, FullWidthPinyinFindsByAnyReading) {
    Type(L"ｙｉｎｘｉｎｇ");
    ASSERT_EQ(keys_->ResultCount(), 1);
    EXPECT_EQ(keys_->ResultPlace(0), (SearchPlace{0, 1, 0}));
}

TEST_F(PanelKeysTest, AKeyboardRoundFromTheCategoryColumnToAStartedItem) {
    ::SetForegroundWindow(hwnd_);
    ASSERT_TRUE(PollUntil([&] { return ::GetForegroundWindow() == hwnd_; }));
    const auto press = [&](WORD vk, std::initializer_list<WORD> mods = {}) {
        ASSERT_TRUE(probe::PressKey(vk, mods));
        test::PumpFor(40);
    };
    press(VK_TAB);  // the category column
    ASSERT_TRUE(PollUntil([&] { return window_->FocusElement() == view_->ClassEntry(0); }));
    EXPECT_TRUE(view_->ClassEntry(0)->ShowsFocusMark());
    press(VK_DOWN);  // the second category, checked as by a click
    ASSERT_TRUE(PollUntil([&] { return data_->CurrentClass() == 1; }));
    press(VK_TAB);  // its tab row
    ASSERT_TRUE(PollUntil([&] { return window_->FocusElement() == view_->Tab(1, 0); }));
    press(VK_TAB, {VK_CONTROL});  // the next group
    ASSERT_TRUE(PollUntil([&] { return data_->CurrentGroup() == 1; }));
    press(VK_TAB);  // its grid
    ASSERT_TRUE(PollUntil([&] { return window_->FocusElement() == view_->Grid(1, 1); }));
    press(VK_RIGHT);
    press(VK_RIGHT);
    EXPECT_EQ(view_->Grid(1, 1)->Selected().item, 1);
    press(VK_RETURN);
    ASSERT_TRUE(PollUntil([&] { return !Started().empty(); }));
    EXPECT_EQ(Started(), std::vector<std::string>{"C:\\t\\no.exe"});
}

}  // namespace
}  // namespace pt
