// The panel coming and going as a user drives it: the global hotkey pressed
// through real input, the panel following the mouse, focus loss, the tray
// icon with its clicks and menu, and the way out through the tray menu.
#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "panel/panel_window.h"
#include "panel/ui_test_util.h"
#include "settings/settings_store.h"
#include "support/desktop.h"
#include "support/temp_folder.h"
#include "support/utf16.h"
#include "toolkit/dpi.h"
#include "toolkit/menu.h"
#include "toolkit/property_table.h"

namespace pt {
namespace {

using test::PollUntil;
using test::PressPanelHotkey;
using test::Pump;
using test::TrayIconExists;
using test::WorkArea;

[[maybe_unused]] testing::Environment* const g_env =
    testing::AddGlobalTestEnvironment(new test::UiEnvironment);

class PanelRuntimeTest : public testing::Test {
  protected:
    void SetUp() override {
        SetDisplayScale(1.0f);
        // The mouse in a corner, away from the panel and its menus.
        const Rect work = WorkArea();
        ::SetCursorPos(work.right - 3, work.bottom - 3);
    }
    void TearDown() override {
        if (Window* w = Window::FromHwnd(hwnd_))
            w->Destroy();
        Pump();
        panel_.reset();
        settings_.reset();
    }

    // Settings with docking off (a panel moved to an edge would slide away
    // under the tests' feet), the tray icon and the panel hotkey on, plus
    // `action` and `general` members.
    Window* Start(const std::string& action = "", const std::string& general = "",
                  bool tray = true) {
        const std::string json =
            R"({"Action":{"DockPanel":0)" + action + R"(},"General":{"ShowTrayIcon":)" +
            (tray ? "1" : "0") + general +
            R"(},"Shortcutkey":{"RegFailTips":1,"Pinatrove":{"bEnable":1,"HotKey":"Ctrl + `"}}})";
        folder_.MakeFile("Settings", test::Utf16Bytes(json));
        settings_ = std::make_unique<SettingsStore>(MakeFileSettingsStorage(folder_.Path(), 5000));
        settings_->Load();
        PanelServices services;
        services.settings = settings_.get();
        services.hotkeyRefused = [this](const std::string& entry) { refused_ += entry + " "; };
        panel_ = std::make_unique<PanelWindow>(services);
        if (!panel_->Create())
            return nullptr;
        hwnd_ = panel_->Handle();
        panel_->FinishStart();
        return Window::FromHwnd(hwnd_);
    }
    bool Visible() const { return ::IsWindowVisible(hwnd_) != FALSE; }
    bool Shown() const { return GetWindowFlag(hwnd_, "bDockShow"); }

    test::TempFolder folder_;
    std::unique_ptr<SettingsStore> settings_;
    std::unique_ptr<PanelWindow> panel_;
    HWND hwnd_ = nullptr;
    std::string refused_;
};

TEST_F(PanelRuntimeTest, HotkeyTogglesAndFollowsTheMouse) {
    Window* w = Start("", R"(,"ShowFollowsMouse":1,"PosRemember":{"bEnable":1})");
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(refused_, "");
    ASSERT_TRUE(Visible());
    PressPanelHotkey();
    ASSERT_TRUE(PollUntil([&] { return !Visible(); }, 3000));

    // Shown centred under the cursor, pulled inside the work area at the
    // right, and remembered there.
    const Rect work = WorkArea();
    ::SetCursorPos(work.right - 10, work.top + 400);
    PressPanelHotkey();
    ASSERT_TRUE(PollUntil([&] { return Visible(); }, 3000));
    const Rect r = w->GetRect();
    EXPECT_EQ(r.left, work.right - r.Width());
    EXPECT_EQ(r.top, work.top + 400 - r.Height() / 2);
    int x = 0, y = 0;
    settings_->GetPosLast(&x, &y);
    EXPECT_EQ((Point{x, y}), (Point{r.left, r.top}));
}

TEST_F(PanelRuntimeTest, HotkeyClosesAnOpenMenuFirst) {
    ASSERT_NE(Start(), nullptr);
    auto menu = Menu::Create();
    menu->AddItem(1, "item");
    ASSERT_TRUE(menu->Popup(hwnd_, Point{100, 100}));
    PressPanelHotkey();
    ASSERT_TRUE(PollUntil([&] { return !Visible(); }, 3000));
    EXPECT_FALSE(menu->IsOpen());
}

TEST_F(PanelRuntimeTest, RefusedHotkeyReachesTheConflictSeam) {
    // Someone else holds Ctrl+` already.
    HWND other =
        ::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(::RegisterHotKey(other, 1, MOD_CONTROL, VK_OEM_3));
    ASSERT_NE(Start(), nullptr);
    EXPECT_EQ(refused_, "Pinatrove ");
    ::UnregisterHotKey(other, 1);
    ::DestroyWindow(other);
}

TEST_F(PanelRuntimeTest, FocusLossHidesUnlessOurOwnWindowTakesIt) {
    ASSERT_NE(Start(R"(,"HideAfterKillFocus":1)"), nullptr);
    ::SetForegroundWindow(hwnd_);
    ASSERT_TRUE(PollUntil([&] { return ::GetFocus() == hwnd_; }, 3000));

    WindowOptions o;
    o.x = 10;
    o.y = 10;
    o.width = 200;
    o.height = 100;
    Window* dialog = Window::Create(o);
    ASSERT_NE(dialog, nullptr);
    dialog->Show(true);
    ::SetForegroundWindow(dialog->Hwnd());
    ASSERT_TRUE(PollUntil([&] { return ::GetForegroundWindow() == dialog->Hwnd(); }, 3000));
    test::PumpFor(100);
    EXPECT_TRUE(Visible());
    dialog->Destroy();
    Pump();

    ::SetForegroundWindow(hwnd_);
    ASSERT_TRUE(PollUntil([&] { return ::GetFocus() == hwnd_; }, 3000));
    HWND other = ::CreateWindowExW(0, L"STATIC", L"other", WS_POPUP | WS_VISIBLE, 10, 10, 200, 100,
                                   nullptr, nullptr, nullptr, nullptr);
    ::SetForegroundWindow(other);
    EXPECT_TRUE(PollUntil([&] { return !Visible(); }, 3000));
    EXPECT_FALSE(Shown());
    ::DestroyWindow(other);
}

TEST_F(PanelRuntimeTest, TrayIconFollowsTheSettingAndTheShell) {
    const UINT taskbarCreated = ::RegisterWindowMessageW(L"TaskbarCreated");
    for (bool on : {true, false}) {
        SCOPED_TRACE(on ? "tray on" : "tray off");
        Start("", "", on);
        ASSERT_NE(hwnd_, nullptr);
        EXPECT_EQ(TrayIconExists(hwnd_), on);
        // The shell restarts: its icons are gone until the programs add them.
        NOTIFYICONDATAW gone{};
        gone.cbSize = sizeof gone;
        gone.hWnd = hwnd_;
        gone.uID = TrayIconId();
        ::Shell_NotifyIconW(NIM_DELETE, &gone);
        ::SendMessageW(hwnd_, taskbarCreated, 0, 0);
        EXPECT_EQ(TrayIconExists(hwnd_), on);
        TearDown();
    }
}

TEST_F(PanelRuntimeTest, TrayClicksToggleAndTheMenuOffersPanelAndExit) {
    ASSERT_NE(Start(), nullptr);
    ASSERT_TRUE(Visible());
    ::SendMessageW(hwnd_, kMsgTrayCallback, TrayIconId(), WM_LBUTTONDOWN);
    EXPECT_FALSE(Visible());
    ::SendMessageW(hwnd_, kMsgTrayCallback, TrayIconId(), WM_LBUTTONDOWN);
    EXPECT_TRUE(Visible());

    ::SendMessageW(hwnd_, kMsgTrayCallback, TrayIconId(), WM_RBUTTONUP);
    auto menu = Menu::Current();
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(menu->Model().Items().size(), 2u);
    EXPECT_EQ(menu->Model().Items()[0].id, kTrayItemPanel);
    EXPECT_EQ(menu->Model().Items()[0].text, "启动板");
    EXPECT_EQ(menu->Model().Items()[1].id, kTrayItemExit);
    EXPECT_EQ(menu->Model().Items()[1].text, "退出软件");
}

// The way out: "退出软件" chosen with the mouse in the open tray menu.
TEST_F(PanelRuntimeTest, TrayExitQuitsAndWritesPendingSaves) {
    ASSERT_NE(Start(), nullptr);
    ASSERT_TRUE(TrayIconExists(hwnd_));
    settings_->SetTopMost(true);  // a deferred save still pending
    ::SendMessageW(hwnd_, kMsgTrayCallback, TrayIconId(), WM_RBUTTONUP);
    auto menu = Menu::Current();
    ASSERT_NE(menu, nullptr);
    Rect item;
    ASSERT_TRUE(menu->ItemScreenRect(kTrayItemExit, item));
    HWND menuWindow = menu->OpenWindows().at(0)->Hwnd();
    POINT p{(item.left + item.right) / 2, (item.top + item.bottom) / 2};
    ::ScreenToClient(menuWindow, &p);
    test::Click(menuWindow, Point{p.x, p.y});
    ASSERT_TRUE(PollUntil([&] { return Window::FromHwnd(hwnd_) == nullptr; }, 3000));
    EXPECT_FALSE(settings_->SaveDue());
    const std::string text = test::Utf16Text(test::ReadBytes(folder_.File("Settings")));
    EXPECT_NE(text.find("\"TopMost\":1"), std::string::npos) << text;
    EXPECT_FALSE(TrayIconExists(hwnd_));
}

TEST_F(PanelRuntimeTest, AltF4ExitsOnlyWithExitAfterClose) {
    ASSERT_NE(Start(R"(,"ExitAfterClose":1)"), nullptr);
    ::SendMessageW(hwnd_, WM_SYSKEYDOWN, VK_F4, 1 << 29);
    EXPECT_TRUE(PollUntil([&] { return Window::FromHwnd(hwnd_) == nullptr; }, 3000));
}

}  // namespace
}  // namespace pt
