// The settings windows driven as a user drives them, over a real panel: the
// settings window opened from the title bar and its options taking effect,
// the speed slider, the hotkey rows, the conflict notice at start and the
// skin window.
#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "app/settings_link.h"
#include "dialogs/settings_ui.h"
#include "doc/json_document.h"
#include "panel/panel_window.h"
#include "panel/ui_test_util.h"
#include "settings/settings_store.h"
#include "base/shortcut.h"
#include "support/desktop.h"
#include "support/temp_folder.h"
#include "support/utf16.h"
#include "toolkit/dpi.h"
#include "toolkit/list_view.h"
#include "toolkit/property_table.h"
#include "toolkit/slider.h"
#include "toolkit/widgets.h"
#include "window/skin_frame.h"

namespace pt {
namespace {

using test::PollUntil;
using test::PressPanelHotkey;
using test::Pump;
using test::TrayIconExists;
using test::WorkArea;

[[maybe_unused]] testing::Environment* const g_env =
    testing::AddGlobalTestEnvironment(new test::UiEnvironment);

constexpr unsigned kSaveDelayMs = 300;

// Holds a combination for another window, as another program would.
class TakenHotkey {
  public:
    TakenHotkey(UINT modifiers, UINT vk) {
        window_ =
            ::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
        ok_ = ::RegisterHotKey(window_, 1, modifiers, vk) != FALSE;
    }
    ~TakenHotkey() {
        ::UnregisterHotKey(window_, 1);
        ::DestroyWindow(window_);
    }
    bool Ok() const { return ok_; }

  private:
    HWND window_ = nullptr;
    bool ok_ = false;
};

Button* FindButton(Element& root, std::string_view text) {
    if (auto* b = dynamic_cast<Button*>(&root); b && b->Text() == text)
        return b;
    for (size_t i = 0; i < root.ChildCount(); ++i) {
        if (Button* found = FindButton(*root.Child(i), text))
            return found;
    }
    return nullptr;
}

bool HasText(Element& root, std::string_view text) {
    if (root.DisplayText() == text)
        return true;
    for (size_t i = 0; i < root.ChildCount(); ++i) {
        if (HasText(*root.Child(i), text))
            return true;
    }
    return false;
}

std::wstring Title(HWND window) {
    wchar_t text[64] = {};
    ::GetWindowTextW(window, text, 64);
    return text;
}

// The next message box, answered with its OK button from inside its own
// loop once `look` has seen it.
std::function<void(Window&)> g_lookAtBox;
VOID CALLBACK AnswerBoxTimer(HWND, UINT, UINT_PTR id, DWORD) {
    for (Window* w : Window::All()) {
        Button* ok = w->IsModal() ? FindButton(w->Root(), "确定") : nullptr;
        if (!ok)
            continue;
        ::KillTimer(nullptr, id);
        if (g_lookAtBox)
            g_lookAtBox(*w);
        g_lookAtBox = nullptr;
        test::Click(w->Hwnd(), *ok);
        return;
    }
}
void AnswerMessageBox(std::function<void(Window&)> look) {
    g_lookAtBox = std::move(look);
    ::SetTimer(nullptr, 0, 50, &AnswerBoxTimer);
}

int CountWindowsTitled(const wchar_t* title) {
    int n = 0;
    for (HWND w = ::FindWindowExW(nullptr, nullptr, kWindowClass, title); w;
         w = ::FindWindowExW(nullptr, w, kWindowClass, title)) {
        if (Window::FromHwnd(w))
            ++n;
    }
    return n;
}

class SettingsUiTest : public testing::Test {
  protected:
    void SetUp() override {
        SetDisplayScale(1.0f);
        const Rect work = WorkArea();
        ::SetCursorPos(work.right - 3, work.top + 3);
    }
    void TearDown() override {
        follower_.reset();
        ui_.reset();
        if (Window* w = Window::FromHwnd(panelHwnd_))
            w->Destroy();
        Pump();
        panel_.reset();
        settings_.reset();
    }

    // A panel with docking off, the tray icon and the panel hotkey on, plus
    // the JSON members given per section.
    bool Start(const std::string& general = "", const std::string& more = "",
               const std::string& skin = "", const std::string& camera = "") {
        const std::string json =
            R"({"Action":{"DockPanel":0},"General":{"ShowTrayIcon":1)" + general +
            R"(},"More":{"Easing":{"bEnable":1,"Speed":10})" + more + "}" + R"(,"Skin":{)" +
            (skin.empty() ? R"("background-color":-657931,"style-mac":0,"border-radius":1)"
                          : skin) +
            "}" +
            R"(,"Shortcutkey":{"RegFailTips":1,"Pinatrove":{"bEnable":1,"HotKey":"Ctrl + `"})" +
            camera + "}}";
        folder_.MakeFile("Settings", test::Utf16Bytes(json));
        settings_ =
            std::make_unique<SettingsStore>(MakeFileSettingsStorage(folder_.Path(), kSaveDelayMs));
        settings_->Load();
        SettingsUiServices uiServices;
        uiServices.settings = settings_.get();
        ui_ = std::make_unique<SettingsUi>(uiServices);
        PanelServices services;
        services.settings = settings_.get();
        services.hotkeyRefused = [this](const std::string&) { ui_->OpenHotkeyConflict(); };
        panel_ = std::make_unique<PanelWindow>(services);
        if (!panel_->Create())
            return false;
        panelHwnd_ = panel_->Handle();
        ConnectSettingsUi(*panel_, *ui_);
        follower_ = std::make_unique<SettingsFollower>(*settings_, *panel_,
                                                       [](int* c, int* g) { *c = 1, *g = 2; });
        panel_->FinishStart();
        return true;
    }

    // The settings window, opened by the title bar's menu button.
    Window* OpenFromTitleBar() {
        Window* panel = Window::FromHwnd(panelHwnd_);
        Element* menu = panel ? panel->FindByName("menu") : nullptr;
        if (!menu)
            return nullptr;
        test::Click(panelHwnd_, *menu);
        Pump();
        return Window::FromHwnd(ui_->SettingsWindow());
    }
    Window* Settings() const { return Window::FromHwnd(ui_->SettingsWindow()); }
    int SelectedTab() const {
        for (int id = 1; id <= 5; ++id) {
            auto* tab = dynamic_cast<Button*>(Settings()->FindByIdentifier(id));
            if (tab && tab->IsChecked())
                return id;
        }
        return 0;
    }
    void ClickTab(int id) { test::Click(Settings()->Hwnd(), *Settings()->FindByIdentifier(id)); }
    Button* Option(std::string_view text) { return FindButton(Settings()->Root(), text); }
    void ClickOption(std::string_view text) {
        Button* b = Option(text);
        ASSERT_NE(b, nullptr) << text;
        ASSERT_TRUE(b->IsShown()) << text;
        test::Click(Settings()->Hwnd(), *b);
    }
    // The value at `path` in data\Settings, as last written.
    int SavedInt(std::string_view path) const {
        JsonDocument doc;
        doc.ParseBytes(test::ReadBytes(folder_.File("Settings")));
        return doc.GetInt(path);
    }
    bool SavedBecomes(std::string_view path, int value) const {
        return PollUntil([&] { return SavedInt(path) == value; }, 3000);
    }

    test::TempFolder folder_;
    std::unique_ptr<SettingsStore> settings_;
    std::unique_ptr<SettingsUi> ui_;
    std::unique_ptr<PanelWindow> panel_;
    std::unique_ptr<SettingsFollower> follower_;
    HWND panelHwnd_ = nullptr;
};

TEST_F(SettingsUiTest, OpensOnAboutFromTheTitleBarAndOnlySwitchesTabsAfter) {
    ASSERT_TRUE(Start());
    ui_->SetPluginNames({"演示插件"});
    Window* w = OpenFromTitleBar();
    ASSERT_NE(w, nullptr);
    ASSERT_TRUE(PollUntil([&] { return w->IsVisible(); }, 3000));
    EXPECT_EQ(SelectedTab(), 1);
    EXPECT_TRUE(w->FindByName("product")->IsShown());
    EXPECT_TRUE(HasText(*w->FindByName("plugins"), "演示插件"));
    EXPECT_EQ(w->GetRect().Width(), 580);
    EXPECT_EQ(w->GetRect().Height(), 480);
    EXPECT_EQ(Title(w->Hwnd()), L"设置");

    ClickTab(3);
    EXPECT_EQ(SelectedTab(), 3);
    ui_->OpenSettings(0);  // the title bar again: nothing changes
    EXPECT_EQ(SelectedTab(), 3);
    ui_->OpenSettings(4);
    EXPECT_EQ(SelectedTab(), 4);
    EXPECT_TRUE(w->FindByIdentifier(402)->IsShown());
    EXPECT_EQ(Settings(), w);
    EXPECT_EQ(CountWindowsTitled(L"设置"), 1);

    // Esc closes it; the next request builds it anew.
    test::Key(w->Hwnd(), VK_ESCAPE);
    ASSERT_TRUE(PollUntil([&] { return ui_->SettingsWindow() == nullptr; }, 3000));
    ui_->OpenSettings(5);
    ASSERT_NE(Settings(), nullptr);
    EXPECT_EQ(SelectedTab(), 5);
}

TEST_F(SettingsUiTest, GeneralOptionsAreSavedAndTakeEffect) {
    ASSERT_TRUE(Start());
    ASSERT_NE(OpenFromTitleBar(), nullptr);
    ClickTab(2);
    Window* panel = Window::FromHwnd(panelHwnd_);

    ASSERT_TRUE(TrayIconExists(panelHwnd_));
    ClickOption("通知区域图标");
    EXPECT_FALSE(TrayIconExists(panelHwnd_));
    EXPECT_TRUE(SavedBecomes("General.ShowTrayIcon", 0));
    ClickOption("通知区域图标");
    EXPECT_TRUE(TrayIconExists(panelHwnd_));

    const auto topmost = [&] {
        return (::GetWindowLongPtrW(panelHwnd_, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
    };
    const bool wasTopmost = topmost();
    ClickOption("窗口置顶");
    EXPECT_NE(topmost(), wasTopmost);
    EXPECT_TRUE(SavedBecomes("General.TopMost", wasTopmost ? 0 : 1));

    ClickOption("锁定面板大小");
    EXPECT_FALSE(panel->IsDragBorder());
    EXPECT_EQ(panel->DragBorderSize(), (Insets{0, 0, 0, 0}));
    ClickOption("锁定面板大小");
    EXPECT_TRUE(panel->IsDragBorder());
    EXPECT_EQ(panel->DragBorderSize(), (Insets{5, 5, 5, 5}));
    ClickOption("锁定面板位置");
    EXPECT_FALSE(panel->IsDragCaption());
    EXPECT_TRUE(SavedBecomes("General.PosLock", 1));

    ClickOption("记住面板位置");
    const Rect r = panel->GetRect();
    EXPECT_TRUE(SavedBecomes("General.PosRemember.PosLast.xPos", r.left));
    EXPECT_EQ(SavedInt("General.PosRemember.PosLast.yPos"), r.top);
    ClickOption("记住面板大小");
    EXPECT_TRUE(SavedBecomes("General.SizeRemember.SizeLast.width", r.Width()));
    ClickOption("记住最后打开类别");
    EXPECT_TRUE(SavedBecomes("General.IndexRemember.IndexLast.iClass", 1));
    EXPECT_EQ(SavedInt("General.IndexRemember.IndexLast.iGRoup"), 2);

    for (std::string_view text : {"忽略系统DPI设置（需重启）", "显示时跟随鼠标位置"})
        ClickOption(text);
    EXPECT_TRUE(SavedBecomes("General.DPIAware", 1));
    EXPECT_EQ(SavedInt("General.ShowFollowsMouse"), 1);

    // The autostart shortcut of the running exe comes and goes.
    const bool autostart = settings_->IsAutostart();
    ClickOption("开机时自动启动");
    EXPECT_NE(settings_->IsAutostart(), autostart);
    ClickOption("开机时自动启动");
    EXPECT_EQ(settings_->IsAutostart(), autostart);
}

TEST_F(SettingsUiTest, ActionAndMoreOptionsAreSaved) {
    ASSERT_TRUE(Start());
    ASSERT_NE(OpenFromTitleBar(), nullptr);
    ClickTab(3);
    const struct {
        const char* text;
        const char* path;
        int value;
    } options[] = {
        {"程序启动后", "Action.HideAfterStartup", 1},
        {"运行项目后", "Action.HideAfterExec", 1},
        {"失去焦点后", "Action.HideAfterKillFocus", 1},
        {"退出程序", "Action.ExitAfterClose", 1},
        {"双击鼠标", "Action.DoubleClick", 1},
        {"鼠标悬停切换分类或分组", "Action.MouseHoveCheck", 1},
        {"Shift + 鼠标右键显示项目原生系统菜单", "Action.ShiftShowMenu", 1},
        {"单击鼠标", "Action.DoubleClick", 0},
    };
    for (const auto& o : options) {
        ClickOption(o.text);
        EXPECT_TRUE(SavedBecomes(o.path, o.value)) << o.text;
    }
    // Docking follows at once: the edge logic is on.
    ClickOption("停靠屏幕边缘时吸附(多屏时仅支持顶部吸附)");
    EXPECT_TRUE(panel_->Dock().IsDocking());
    EXPECT_TRUE(SavedBecomes("Action.DockPanel", 1));

    ClickTab(5);
    ClickOption("停靠屏幕边缘时收缩展开动画");
    EXPECT_FALSE(GetWindowFlag(panelHwnd_, "bEase"));
    EXPECT_TRUE(SavedBecomes("More.Easing.bEnable", 0));
    ClickOption("虚线边框");
    EXPECT_TRUE(SavedBecomes("More.drag-flag", 1));
}

TEST_F(SettingsUiTest, SpeedSliderSnapsToFives) {
    ASSERT_TRUE(Start());
    ASSERT_NE(OpenFromTitleBar(), nullptr);
    ClickTab(5);
    auto* slider = dynamic_cast<Slider*>(Settings()->FindByName("speed.slider"));
    ASSERT_NE(slider, nullptr);
    EXPECT_EQ(slider->Position(), 5);  // speed 10
    auto* level = dynamic_cast<TextElement*>(Settings()->FindByName("speed"));
    for (auto [position, snapped, speed] : {std::tuple{13, 15, 20}, std::tuple{12, 10, 15}}) {
        // A click on the track where position `position` lies.
        const Rect r = slider->WindowRect();
        SliderLogic logic = slider->Logic();
        logic.SetGeometry(r.Width(), slider->ThumbSize().width);
        int x = r.left;
        while (x < r.right && logic.PositionAt(x - r.left) != position)
            ++x;
        ASSERT_LT(x, r.right);
        test::Click(Settings()->Hwnd(), Point{x, (r.top + r.bottom) / 2});
        EXPECT_EQ(slider->Position(), snapped);
        EXPECT_EQ(level->Text(), "速度级别：" + std::to_string(speed));
        EXPECT_EQ(GetWindowProperty(panelHwnd_, "nSpeed"), speed);
        EXPECT_TRUE(SavedBecomes("More.Easing.Speed", speed));
    }
}

TEST_F(SettingsUiTest, HotkeyBoxRecordsCombinations) {
    ASSERT_TRUE(Start());
    ASSERT_NE(OpenFromTitleBar(), nullptr);
    ClickTab(4);
    const HWND h = Settings()->Hwnd();
    auto* box = dynamic_cast<HotkeyBox*>(Settings()->FindByIdentifier(403));
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->Text(), "Ctrl + `");
    EXPECT_FALSE(box->IsEnabled());
    auto* set = dynamic_cast<Button*>(Settings()->FindByIdentifier(402));
    test::Click(h, *set);
    EXPECT_EQ(set->Text(), "保存");
    ASSERT_TRUE(box->IsEnabled());
    ASSERT_TRUE(box->HasFocus());

    const auto press = [&](std::vector<int> held, int vk) {
        test::HeldKeys keys(held);
        test::Key(h, vk);
    };
    const auto release = [&](int vk) { test::Key(h, vk, WM_KEYUP); };
    // Shift went down first: the prefix order is fixed anyway.
    press({VK_SHIFT}, VK_SHIFT);
    EXPECT_EQ(box->Text(), "Shift + ");
    press({VK_SHIFT, VK_CONTROL}, VK_CONTROL);
    press({VK_SHIFT, VK_CONTROL}, 'A');
    EXPECT_EQ(box->Text(), "Ctrl + Shift + A");
    release('A');
    EXPECT_EQ(box->Text(), "Ctrl + Shift + A");
    press({}, VK_SPACE);
    release(VK_SPACE);
    EXPECT_EQ(box->Text(), "无");
    press({VK_CONTROL}, VK_SPACE);
    EXPECT_EQ(box->Text(), "Ctrl + Space");
    press({VK_CONTROL}, VK_CONTROL);
    EXPECT_EQ(box->Text(), "Ctrl + ");
    release(VK_CONTROL);
    EXPECT_EQ(box->Text(), "无");
    {
        test::HeldKeys alt({VK_MENU});  // Alt combinations arrive as system keys
        test::Key(h, VK_F3, WM_SYSKEYDOWN);
        test::Key(h, VK_F3, WM_SYSKEYUP);
    }
    EXPECT_EQ(box->Text(), "Alt + F3");

    // Saving stores the working text; the edit box goes quiet again.
    test::Click(h, *set);
    EXPECT_EQ(set->Text(), "设置");
    EXPECT_FALSE(box->IsEnabled());
    std::string text;
    EXPECT_TRUE(settings_->GetHotkey("Pinatrove", &text));
    EXPECT_EQ(text, "Alt + F3");

    // Esc is no hotkey: it closes the window, editing or not.
    test::Click(h, *set);
    ASSERT_TRUE(box->HasFocus());
    test::Key(h, VK_ESCAPE);
    EXPECT_TRUE(PollUntil([&] { return ui_->SettingsWindow() == nullptr; }, 3000));
}

TEST_F(SettingsUiTest, HotkeySwitchRegistersWithdrawsAndGuardsTheEdit) {
    ASSERT_TRUE(Start());
    ASSERT_NE(OpenFromTitleBar(), nullptr);
    ClickTab(4);
    const HWND h = Settings()->Hwnd();
    auto* enable = dynamic_cast<Button*>(Settings()->FindByIdentifier(401));
    Element* failed = Settings()->FindByIdentifier(404);
    EXPECT_FALSE(failed->IsVisible());
    const auto toggles = [&] {
        const bool before = ::IsWindowVisible(panelHwnd_) != FALSE;
        PressPanelHotkey();
        return PollUntil([&] { return (::IsWindowVisible(panelHwnd_) != FALSE) != before; }, 1500);
    };

    test::Click(h, *enable);
    EXPECT_FALSE(enable->IsChecked());
    EXPECT_FALSE(toggles());
    EXPECT_TRUE(SavedBecomes("Shortcutkey.Pinatrove.bEnable", 0));
    test::Click(h, *enable);
    EXPECT_TRUE(toggles());
    EXPECT_TRUE(toggles());

    // While the row is being edited its switch refuses, with a message.
    test::Click(h, *Settings()->FindByIdentifier(402));
    std::string said;
    AnswerMessageBox([&](Window& box) {
        said = HasText(box.Root(), "当前快捷键处于编辑状态，请先保存！") ? "save first" : "?";
    });
    test::Click(h, *enable);
    EXPECT_EQ(said, "save first");
    EXPECT_TRUE(enable->IsChecked());

    // "无" saved: refused, and the old Ctrl+` does not stay behind.
    test::Click(h, *Settings()->FindByIdentifier(403));
    test::Key(h, VK_SPACE);
    test::Key(h, VK_SPACE, WM_KEYUP);
    test::Click(h, *Settings()->FindByIdentifier(402));
    EXPECT_TRUE(failed->IsVisible());
    EXPECT_EQ(failed->Tooltip(), "热键注册失败，可能无效或已被其他程序使用！");
    EXPECT_FALSE(toggles());

    // A combination someone else holds shows the icon too.
    TakenHotkey taken(MOD_CONTROL | MOD_SHIFT, VK_F9);
    ASSERT_TRUE(taken.Ok());
    test::Click(h, *enable);  // off: the icon goes
    EXPECT_FALSE(failed->IsVisible());
    test::Click(h, *enable);
    test::Click(h, *Settings()->FindByIdentifier(402));
    {
        test::HeldKeys keys({VK_CONTROL, VK_SHIFT});
        test::Key(h, VK_F9);
    }
    test::Click(h, *Settings()->FindByIdentifier(402));
    EXPECT_TRUE(failed->IsVisible());
}

TEST_F(SettingsUiTest, ConflictAtStartRisesOnceAndViewOpensHotkeys) {
    TakenHotkey panelKey(MOD_CONTROL, VK_OEM_3);
    TakenHotkey cameraKey(0, VK_F4);
    ASSERT_TRUE(panelKey.Ok() && cameraKey.Ok());
    ASSERT_TRUE(Start("", "", "", R"(,"Camera":{"bEnable":1,"HotKey":"F4"})"));
    const HWND conflict = ui_->ConflictWindow();
    ASSERT_NE(conflict, nullptr);
    EXPECT_EQ(CountWindowsTitled(L"热键冲突"), 1);
    EXPECT_FALSE(::IsWindowVisible(conflict));
    const auto started = std::chrono::steady_clock::now();
    ASSERT_TRUE(PollUntil([&] { return ::IsWindowVisible(conflict) != FALSE; }, 3000));
    EXPECT_GE(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(400));
    Window* w = Window::FromHwnd(conflict);
    const Rect work = WorkArea();
    EXPECT_EQ(w->GetRect(), Rect::FromSize(work.right - 350, work.bottom - 250, 350, 250));

    test::Click(conflict, *w->FindByName("quiet"));
    EXPECT_FALSE(settings_->GetRegFailTips());
    test::Click(conflict, *w->FindByName("view"));
    ASSERT_TRUE(PollUntil([&] { return ui_->ConflictWindow() == nullptr; }, 3000));
    ASSERT_NE(Settings(), nullptr);
    EXPECT_EQ(SelectedTab(), 4);
}

TEST_F(SettingsUiTest, SkinWindowSelectsTheSettingAndRecoloursEveryWindow) {
    ASSERT_TRUE(Start());
    Window* panel = Window::FromHwnd(panelHwnd_);
    test::Click(panelHwnd_, *panel->FindByName("skin"));
    Window* skins = Window::FromHwnd(ui_->SkinWindow());
    ASSERT_NE(skins, nullptr);
    auto* list = dynamic_cast<ListView*>(skins->FindByName("skins"));
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->ItemCount(), 28);
    EXPECT_EQ(list->Selected(), (ListIndex{0, 0}));
    EXPECT_EQ(list->ItemText(ListIndex{0, 0}, "name"), "简约白");

    ASSERT_NE(OpenFromTitleBar(), nullptr);
    const ListIndex dark{0, 19};
    ASSERT_EQ(list->ItemText(dark, "name"), "暗黑无界");
    list->EnsureVisible(dark);
    skins->AdjustLayout();
    test::Click(skins->Hwnd(), test::Centre(list->ItemWindowRect(dark)));
    EXPECT_EQ(list->Selected(), dark);
    EXPECT_EQ(settings_->GetBackgroundColor(), -11584460);
    EXPECT_TRUE(SavedBecomes("Skin.background-color", -11584460));
    for (HWND hwnd : {panelHwnd_, ui_->SettingsWindow(), ui_->SkinWindow()}) {
        Element* bar = FramePart(hwnd, "titbar");
        ASSERT_NE(bar, nullptr);
        EXPECT_EQ(bar->GetLook().normal.fill, std::optional<Color>(-11584460));
        auto* title = dynamic_cast<TextElement*>(FramePart(hwnd, "title"));
        EXPECT_EQ(title->TextColor(), MakeColor(255, 255, 255));
    }
    test::Click(skins->Hwnd(), *skins->FindByName("border-radius"));
    EXPECT_FALSE(settings_->GetBorderRadius());
}

TEST_F(SettingsUiTest, ColourOutsideTheTableSelectsNoSkin) {
    ASSERT_TRUE(Start("", "", R"("background-color":-123456)"));
    ui_->OpenSkinWindow();
    Window* skins = Window::FromHwnd(ui_->SkinWindow());
    ASSERT_NE(skins, nullptr);
    auto* list = dynamic_cast<ListView*>(skins->FindByName("skins"));
    EXPECT_FALSE(list->Selected().Valid());
    // A press between the swatches leaves it so.
    const Rect first = list->ItemWindowRect(ListIndex{0, 0});
    test::Click(skins->Hwnd(), Point{first.right + 2, first.top + 10});
    EXPECT_FALSE(list->Selected().Valid());
    EXPECT_EQ(settings_->GetBackgroundColor(), -123456);
}

}  // namespace
}  // namespace pt
