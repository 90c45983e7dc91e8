// The panel from the keyboard, through the real panel window: typing opens
// the search and Enter starts the first hit, Backspace edits, Esc brings back
// the group that was shown; and one round from the category column to a
// started item with real key presses (SendInput) only; and what a screen
// reader reads of the panel (AccessibleObjectFromWindow), roles, names and
// the state of the focused element after a keyboard move.
#include <windows.h>
#include <oleacc.h>

#include <gtest/gtest.h>

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "base/text.h"
#include "base/win_handles.h"
#include "launcher/data_revision.h"
#include "launcher/launch.h"
#include "panel/content_menus.h"
#include "panel/item_menu.h"
#include "panel/launcher_view.h"
#include "panel/panel_keys.h"
#include "window/skin_frame.h"
#include "panel/panel_window.h"
#include "panel/ui_test_util.h"
#include "settings/settings_store.h"
#include "support/accessible_tree.h"
#include "support/temp_folder.h"
#include "toolkit/dpi.h"
#include "toolkit/edit.h"
#include "toolkit/list_view.h"
#include "toolkit/menu.h"
#include "toolkit/ui_probe.h"

namespace pt {
namespace {

using test::Has;
using test::Node;
using test::PollUntil;
using test::Pump;
using test::Read;
using test::Walk;

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
        data_ = std::make_unique<LauncherData>(
            std::make_unique<RevisionCountingStorage>(
                MakeFileLauncherDataStorage(folder_.Path(), 60000), revision_),
            MakeShellLauncherSystem());
        LauncherViewServices vs;
        vs.data = data_.get();
        vs.settings = settings_.get();
        vs.confirm = [this](const std::string& text) {
            questions_.push_back(text);
            return true;
        };
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
        keys_->SetDataRevision([r = revision_] { return *r; });
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
    // A key press as TranslateMessage delivers it: the key, then the
    // character it makes.
    void Key(WPARAM vk) {
        ::SendMessageW(hwnd_, WM_KEYDOWN, vk, 1);
        const wchar_t ch = vk == VK_TAB      ? L'\t'
                           : vk == VK_RETURN ? L'\r'
                           : vk == VK_ESCAPE ? L'\x1b'
                           : vk == VK_BACK   ? L'\b'
                                             : 0;
        if (ch)
            ::SendMessageW(hwnd_, WM_CHAR, ch, 1);
        ::SendMessageW(hwnd_, WM_KEYUP, vk, 0xC0000001);
    }
    std::vector<std::string> Started() {
        std::lock_guard<std::mutex> lock(mutex_);
        return started_;
    }

    test::TempFolder folder_;
    std::mutex mutex_;
    std::vector<std::string> started_;
    std::vector<std::string> questions_;
    std::shared_ptr<uint64_t> revision_ = std::make_shared<uint64_t>(0);
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

    // The mouse resting on the column switches categories meanwhile; Esc
    // still brings back what was shown.
    settings_->SetMouseHoveCheck(true);
    test::MouseMove(hwnd_, test::Centre(*view_->ClassEntry(0)));
    EXPECT_EQ(data_->CurrentClass(), 0);
    EXPECT_TRUE(keys_->Results()->IsShown());

    Key(VK_ESCAPE);
    EXPECT_FALSE(keys_->Searching());
    EXPECT_FALSE(keys_->Results()->IsShown());
    EXPECT_EQ(data_->CurrentClass(), 1);
    EXPECT_EQ(data_->CurrentGroup(), 1);
    EXPECT_TRUE(view_->Grid(1, 1)->IsShown());
    EXPECT_TRUE(view_->Tab(1, 1)->IsChecked());
}

TEST_F(PanelKeysTest, TheSearchFieldWearsTheSkinOfItsSearch) {
    const Skin light = CurrentSkin();
    Skin dark = light;
    dark.background = static_cast<Color>(-11584460);  // a dark skin of the table
    SetCurrentSkin(dark);
    ApplySkinFrameToAll(dark);
    Type(L"j");
    const Color onDark = keys_->SearchField()->TextColor();
    Key(VK_ESCAPE);
    SetCurrentSkin(light);
    ApplySkinFrameToAll(light);
    Type(L"j");
    const Color onLight = keys_->SearchField()->TextColor();
    Key(VK_ESCAPE);
    const auto brightness = [](Color c) {
        return ColorRed(c) * 299 + ColorGreen(c) * 587 + ColorBlue(c) * 114;
    };
    EXPECT_GT(brightness(onDark), 128 * 1000);
    EXPECT_LT(brightness(onLight), 128 * 1000);
}

TEST_F(PanelKeysTest, FullWidthPinyinFindsByAnyReadingAndAClickOnACategoryEndsTheSearch) {
    Type(L"ｙｉｎｘｉｎｇ");
    ASSERT_EQ(keys_->ResultCount(), 1);
    EXPECT_EQ(keys_->ResultPlace(0), (SearchPlace{0, 1, 0}));
    test::Click(hwnd_, *view_->ClassEntry(1));
    EXPECT_FALSE(keys_->Searching());
    EXPECT_EQ(data_->CurrentClass(), 1);
    EXPECT_TRUE(view_->Grid(1, 0)->IsShown());
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
    press(VK_TAB);  // its grid, its first cell selected
    ASSERT_TRUE(PollUntil([&] { return window_->FocusElement() == view_->Grid(1, 1); }));
    ASSERT_TRUE(PollUntil([&] { return view_->Grid(1, 1)->Selected().item == 0; }));
    press(VK_RIGHT);
    EXPECT_EQ(view_->Grid(1, 1)->Selected().item, 1);
    press(VK_RETURN);
    ASSERT_TRUE(PollUntil([&] { return !Started().empty(); }));
    EXPECT_EQ(Started(), std::vector<std::string>{"C:\\t\\no.exe"});
}

TEST_F(PanelKeysTest, F2RenamesTheFocusedTabAndDeleteAsksBeforeDeletingTheSelectedItem) {
    Key(VK_TAB);
    Key(VK_TAB);  // the tab row
    ASSERT_EQ(window_->FocusElement(), view_->Tab(0, 0));
    Key(VK_F2);
    Edit* editor = view_->RenameEditor();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->Text(), "工具");
    Type(L"x");  // typed into the editor, no search starts
    EXPECT_FALSE(keys_->Searching());
    ASSERT_EQ(view_->RenameEditor(), editor);
    EXPECT_EQ(editor->Text(), "x");
    EXPECT_EQ(window_->FocusElement(), editor);
    Key(VK_RETURN);
    EXPECT_EQ(data_->GroupName(0, 0), "x");

    window_->SetFocusFromKeyboard(view_->Grid(0, 0));
    Key(VK_RIGHT);
    Key(VK_RIGHT);  // 计算器
    Key(VK_DELETE);
    ASSERT_EQ(questions_.size(), 1u);
    EXPECT_NE(questions_[0].find("计算器"), std::string::npos);
    ASSERT_EQ(data_->ItemCount(0, 0), 1);
    EXPECT_EQ(data_->Item(0, 0, 0)->name, "记事本");
    // The search's index follows the change.
    Type(L"jsq");
    EXPECT_EQ(keys_->ResultCount(), 0);
    Key(VK_BACK);
    Key(VK_BACK);
    EXPECT_EQ(keys_->SearchField()->Text(), "j");
    EXPECT_EQ(keys_->ResultCount(), 4);  // 记事本, 会议记录, 集思宝, 就是不
}

TEST_F(PanelKeysTest, TheMenuKeyAndShiftF10OpenTheMenuOfWhatIsSelected) {
    const auto closeMenu = [] {
        auto menu = Menu::Current();
        ASSERT_TRUE(menu && !menu->OpenWindows().empty());
        ::SendMessageW(menu->OpenWindows()[0]->Hwnd(), WM_KEYDOWN, VK_ESCAPE, 1);
        menu.reset();
        ASSERT_TRUE(PollUntil([] { return Menu::Current() == nullptr; }, 2000));
    };
    Rect r;
    Type(L"yh");
    Key(VK_APPS);  // the item menu of the first hit
    ASSERT_TRUE(PollUntil([] { return Menu::Current() != nullptr; }, 2000));
    EXPECT_TRUE(Menu::Current()->ItemScreenRect(kItemCopyPath, r) ||
                Menu::Current()->ItemScreenRect(kItemDelete, r));
    closeMenu();
    Key(VK_ESCAPE);

    Key(VK_TAB);
    Key(VK_TAB);  // the tab row: its menu, on Shift+F10
    ASSERT_EQ(window_->FocusElement(), view_->Tab(0, 0));
    {
        test::HeldKeys shift({VK_SHIFT});
        ::SendMessageW(hwnd_, WM_SYSKEYDOWN, VK_F10, 1);
    }
    ASSERT_TRUE(PollUntil([] { return Menu::Current() != nullptr; }, 2000));
    EXPECT_TRUE(Menu::Current()->ItemScreenRect(kCmdRename, r));
    closeMenu();
}

// ---- screen readers -------------------------------------------------------

struct WinEvent {
    HWND hwnd;
    LONG object;
    LONG child;
};
std::vector<WinEvent> g_focusEvents;

void CALLBACK OnFocusEvent(HWINEVENTHOOK, DWORD, HWND hwnd, LONG object, LONG child, DWORD, DWORD) {
    g_focusEvents.push_back(WinEvent{hwnd, object, child});
}

class PanelAccessibleTest : public PanelKeysTest {
  protected:
    void SetUp() override {
        PanelKeysTest::SetUp();
        ASSERT_TRUE(ole_.Ok());
        ASSERT_EQ(
            ::AccessibleObjectFromWindow(hwnd_, static_cast<DWORD>(OBJID_CLIENT),
                                         __uuidof(IAccessible), reinterpret_cast<void**>(&root_)),
            S_OK);
        ASSERT_NE(root_, nullptr);
    }
    void TearDown() override {
        if (root_)
            root_->Release();
        PanelKeysTest::TearDown();
    }
    // The object that has the focus.
    Node Focused() {
        VARIANT v;
        ::VariantInit(&v);
        Node n;
        if (root_->get_accFocus(&v) != S_OK)
            return n;
        if (v.vt == VT_DISPATCH && v.pdispVal) {
            IAccessible* acc = nullptr;
            if (SUCCEEDED(v.pdispVal->QueryInterface(__uuidof(IAccessible),
                                                     reinterpret_cast<void**>(&acc)))) {
                n = Read(acc);
                acc->Release();
            }
        }
        ::VariantClear(&v);
        return n;
    }

    ScopedOle ole_;
    IAccessible* root_ = nullptr;
};

TEST_F(PanelAccessibleTest, EntriesTabsCellsAndTitleBarButtonsHaveRolesAndNames) {
    std::vector<Node> nodes;
    Walk(root_, nodes);
    EXPECT_TRUE(Has(nodes, ROLE_SYSTEM_LIST, ""));
    EXPECT_TRUE(Has(nodes, ROLE_SYSTEM_LISTITEM, "常用"));
    EXPECT_TRUE(Has(nodes, ROLE_SYSTEM_LISTITEM, "办公"));
    EXPECT_TRUE(Has(nodes, ROLE_SYSTEM_PAGETAB, "工具"));
    EXPECT_TRUE(Has(nodes, ROLE_SYSTEM_PAGETAB, "网站"));
    EXPECT_TRUE(Has(nodes, ROLE_SYSTEM_LISTITEM, "记事本"));  // a cell of the grid shown
    EXPECT_TRUE(Has(nodes, ROLE_SYSTEM_LISTITEM, "计算器"));
    // Icon buttons are named by their tooltips.
    for (const char* name : {"换肤", "菜单", "最小化", "关闭"})
        EXPECT_TRUE(Has(nodes, ROLE_SYSTEM_PUSHBUTTON, name)) << name;
    // Hidden pages are not read.
    EXPECT_FALSE(Has(nodes, ROLE_SYSTEM_LISTITEM, "会议记录"));
    const auto entry =
        std::find_if(nodes.begin(), nodes.end(), [](const Node& n) { return n.name == "常用"; });
    ASSERT_NE(entry, nodes.end());
    EXPECT_TRUE(entry->state & STATE_SYSTEM_SELECTED);

    // The close button's place is where it is drawn.
    Element* close = window_->FindByName("close");
    ASSERT_NE(close, nullptr);
    IDispatch* at = nullptr;
    VARIANT hit;
    ::VariantInit(&hit);
    const Rect r = close->ScreenRect();
    ASSERT_EQ(root_->accHitTest((r.left + r.right) / 2, (r.top + r.bottom) / 2, &hit), S_OK);
    ASSERT_EQ(hit.vt, VT_DISPATCH);
    at = hit.pdispVal;
    IAccessible* acc = nullptr;
    ASSERT_TRUE(
        SUCCEEDED(at->QueryInterface(__uuidof(IAccessible), reinterpret_cast<void**>(&acc))));
    EXPECT_EQ(Read(acc).name, "关闭");
    VARIANT self;
    ::VariantInit(&self);
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    long x = 0, y = 0, w = 0, h = 0;
    EXPECT_EQ(acc->accLocation(&x, &y, &w, &h, self), S_OK);
    EXPECT_EQ(Rect({x, y, x + w, y + h}), r);

    // Navigation: a button's neighbours in the title bar, a cell's in its
    // grid, and nothing past either end.
    const auto navigate = [&](IAccessible* from, long direction, HRESULT* result) {
        VARIANT v;
        ::VariantInit(&v);
        *result = from->accNavigate(direction, self, &v);
        Node n;
        IAccessible* to = nullptr;
        if (v.vt == VT_DISPATCH && v.pdispVal &&
            SUCCEEDED(
                v.pdispVal->QueryInterface(__uuidof(IAccessible), reinterpret_cast<void**>(&to)))) {
            n = Read(to);
            to->Release();
        }
        ::VariantClear(&v);
        return n;
    };
    HRESULT hr = E_FAIL;
    EXPECT_EQ(navigate(acc, NAVDIR_PREVIOUS, &hr).name, "最小化");
    navigate(acc, NAVDIR_NEXT, &hr);
    EXPECT_EQ(hr, S_FALSE);
    acc->Release();
    at->Release();

    ListView* grid = view_->Grid(data_->CurrentClass(), data_->CurrentGroup());
    ASSERT_NE(grid, nullptr);
    ASSERT_GE(grid->ItemCount(0), 2);
    const Rect cell = grid->ItemScreenRect(ListIndex{0, 0});
    ::VariantInit(&hit);
    ASSERT_EQ(root_->accHitTest((cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2, &hit),
              S_OK);
    ASSERT_EQ(hit.vt, VT_DISPATCH);
    ASSERT_TRUE(SUCCEEDED(
        hit.pdispVal->QueryInterface(__uuidof(IAccessible), reinterpret_cast<void**>(&acc))));
    ::VariantClear(&hit);
    EXPECT_EQ(navigate(acc, NAVDIR_NEXT, &hr).name, grid->ItemText(ListIndex{0, 1}, "name"));
    navigate(acc, NAVDIR_PREVIOUS, &hr);
    EXPECT_EQ(hr, S_FALSE);
    acc->Release();
    EXPECT_FALSE(navigate(root_, NAVDIR_FIRSTCHILD, &hr).role == 0);
    EXPECT_EQ(hr, S_OK);
}

TEST_F(PanelAccessibleTest, TheFocusedElementAfterKeyboardMovesIsFocusedAndSelected) {
    g_focusEvents.clear();
    const HWINEVENTHOOK hook =
        ::SetWinEventHook(EVENT_OBJECT_FOCUS, EVENT_OBJECT_FOCUS, nullptr, OnFocusEvent,
                          ::GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
    ASSERT_NE(hook, nullptr);
    Key(VK_TAB);
    Key(VK_DOWN);  // the second category, as a keyboard user moves
    Node n = Focused();
    EXPECT_EQ(n.role, ROLE_SYSTEM_LISTITEM);
    EXPECT_EQ(n.name, "办公");
    EXPECT_TRUE(n.state & STATE_SYSTEM_FOCUSED);
    EXPECT_TRUE(n.state & STATE_SYSTEM_SELECTED);

    Key(VK_TAB);
    EXPECT_EQ(Focused().role, ROLE_SYSTEM_PAGETAB);
    Key(VK_TAB);  // the grid, its first cell selected
    n = Focused();
    EXPECT_EQ(n.role, ROLE_SYSTEM_LISTITEM);
    EXPECT_EQ(n.name, "会议记录");
    EXPECT_TRUE(n.state & STATE_SYSTEM_FOCUSED);
    EXPECT_TRUE(n.state & STATE_SYSTEM_SELECTED);

    // The moves were announced; the last names the focused cell.
    ASSERT_TRUE(PollUntil([&] {
        return !g_focusEvents.empty() &&
               g_focusEvents.back().object == view_->Grid(1, 0)->Handle() &&
               g_focusEvents.back().child == 1;
    }));
    ::UnhookWinEvent(hook);
    IAccessible* cell = nullptr;
    VARIANT child;
    ::VariantInit(&child);
    const WinEvent last = g_focusEvents.back();
    ASSERT_EQ(::AccessibleObjectFromEvent(last.hwnd, static_cast<DWORD>(last.object),
                                          static_cast<DWORD>(last.child), &cell, &child),
              S_OK);
    EXPECT_EQ(Read(cell, child.lVal).name, "会议记录");
    cell->Release();
}

}  // namespace
}  // namespace pt
