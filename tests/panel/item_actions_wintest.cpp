// Starting items and the item menu, through the real panel: a small program
// (probes/args_probe.cpp) started as an item reports its command line and
// working directory; the shell call is watched through the view's seam for
// the verb; errors arrive where the message box would show them. The item
// menu opens on a right-button release and is answered in its own window;
// with Shift the shell's own menu opens instead (closed again by a timer of
// this thread while it tracks).
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <cstdio>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "base/text.h"
#include "launcher/cipher.h"
#include "launcher/icons.h"
#include "launcher/item_cipher.h"
#include "launcher/launch.h"
#include "launcher/shell_actions.h"
#include "panel/item_menu.h"
#include "panel/launcher_view.h"
#include "panel/panel_window.h"
#include "panel/ui_test_util.h"
#include "settings/settings_store.h"
#include "base/shortcut.h"
#include "support/counting_storage.h"
#include "support/menu_input.h"
#include "support/temp_folder.h"
#include "support/utf16.h"
#include "toolkit/clipboard.h"
#include "toolkit/dpi.h"
#include "toolkit/menu.h"
#include "toolkit/widgets.h"

namespace pt {
namespace {

using CountingStorage = test::CountingStorage<LauncherDataStorage>;
using test::PollUntil;
using test::Pump;
using test::TempFolder;

[[maybe_unused]] testing::Environment* const g_env =
    testing::AddGlobalTestEnvironment(new test::UiEnvironment);

constexpr unsigned kSaveDelayMs = 150;

std::string Json(std::string_view text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '\\' || c == '"')
            out += '\\';
        out += c;
    }
    return out + "\"";
}

struct Item {
    std::string name = {};
    std::string path = {};
    std::string param = {};
    std::string workDir = {};
    bool admin = false;
    std::string icon = {};
    std::string remarks = {};
};

std::string DataText(const std::vector<Item>& items) {
    std::string text = R"({"class":[{"name":"c","group":[{"name":"g","item":[)";
    for (size_t i = 0; i < items.size(); ++i) {
        const Item& it = items[i];
        text += (i ? "," : "") + std::string("{\"name\":") + Json(it.name) +
                ",\"path\":" + Json(it.path);
        if (!it.param.empty())
            text += ",\"param\":" + Json(it.param);
        if (!it.workDir.empty())
            text += ",\"WorkDir\":" + Json(it.workDir);
        if (!it.icon.empty())
            text += ",\"icon\":" + Json(it.icon);
        if (!it.remarks.empty())
            text += ",\"remarks\":" + Json(it.remarks);
        if (it.admin)
            text += ",\"IsAdministrator\":1";
        text += "}";
    }
    return text + "]}]}]}";
}

class ItemActionsTest : public testing::Test {
  protected:
    void SetUp() override {
        SetDisplayScale(1.0f);
        out_ = folder_.File("out.txt");
        ::SetEnvironmentVariableW(L"PT_ARGS_PROBE_OUT", ToWide(out_).c_str());
    }
    void TearDown() override {
        if (auto menu = Menu::Current())
            menu->Close();
        if (Window* w = Window::FromHwnd(hwnd_))
            w->Destroy();
        Pump();
        panel_.reset();
        view_.reset();
        data_.reset();
        settings_.reset();
        icons_.reset();
    }

    // A copy of the probe program at `path` (inside the test's folder).
    std::string Probe(std::string_view relative) {
        const std::string path = folder_.File(relative);
        const std::wstring wide = ToWide(path);
        for (size_t cut = wide.find(L'\\', folder_.WidePath().size() + 1);
             cut != std::wstring::npos; cut = wide.find(L'\\', cut + 1))
            ::CreateDirectoryW((L"\\\\?\\" + wide.substr(0, cut)).c_str(), nullptr);
        EXPECT_TRUE(::CopyFileW(ToWide(PT_ARGS_PROBE).c_str(), (L"\\\\?\\" + wide).c_str(), FALSE))
            << path;
        return path;
    }

    void Build(const std::vector<Item>& items, bool doubleClick = false) {
        folder_.MakeFile("Data", DataText(items));
        settings_ = std::make_unique<SettingsStore>(MakeFileSettingsStorage(folder_.Path(), 60000));
        settings_->Load();
        settings_->SetDoubleClick(doubleClick);
        data_ = std::make_unique<LauncherData>(
            std::make_unique<CountingStorage>(
                MakeFileLauncherDataStorage(folder_.Path(), kSaveDelayMs), &writes_),
            MakeShellLauncherSystem());
        LauncherViewServices vs;
        vs.data = data_.get();
        vs.settings = settings_.get();
        vs.confirm = [this](const std::string& text) {
            questions_.push_back(text);
            return answer_;
        };
        vs.showError = [this](const std::string& text) { errors_.push_back(text); };
        vs.showNotice = [this](const std::string& text) { notices_.push_back(text); };
        vs.icons = icons_.get();
        vs.pickers = pickers_;
        vs.askKey = [this] {
            ++keyQuestions_;
            return key_;
        };
        vs.shellCall = [this](const LaunchRequest& r) {
            {
                std::lock_guard<std::mutex> lock(callsMutex_);
                calls_.push_back(r);
            }
            while (holdShell_.load())
                ::Sleep(5);
            return ShellExecuteResult(r.file, r.parameters, r.directory, r.verb);
        };
        view_ = std::make_unique<LauncherView>(vs);
        PanelServices ps;
        ps.settings = settings_.get();
        ps.content = view_.get();
        panel_ = std::make_unique<PanelWindow>(ps);
        ASSERT_TRUE(panel_->Create());
        hwnd_ = panel_->Handle();
        panel_->Show();
        Window::FromHwnd(hwnd_)->PaintNow();
        Pump();
    }

    ListView& Grid() { return *view_->Grid(0, 0); }
    Point Cell(int i) { return test::Centre(Grid().ItemWindowRect(ListIndex{0, i})); }
    int Pending() { return view_->Actions().Runner().PendingCount(); }
    std::vector<LaunchRequest> Calls() {
        std::lock_guard<std::mutex> lock(callsMutex_);
        return calls_;
    }
    // The probe's report: its command line and its working directory.
    std::optional<std::pair<std::string, std::string>> Report(int ms = 10000) {
        if (!PollUntil([&] { return test::FileExists(out_); }, ms))
            return std::nullopt;
        const std::string text = test::ReadBytes(out_);
        ::DeleteFileW(ToWide(out_).c_str());
        const size_t cut = text.find('\n');
        return std::make_pair(text.substr(0, cut), text.substr(cut + 1, text.size() - cut - 2));
    }
    std::string FileText() const { return test::Utf16Text(test::ReadBytes(folder_.File("Data"))); }
    void Run(int i, int id) { view_->Actions().RunItemCommand(Grid(), 0, 0, i, id); }

    TempFolder folder_;
    std::string out_;
    int writes_ = 0;
    std::vector<std::string> questions_;
    std::vector<std::string> errors_;
    std::vector<std::string> notices_;
    std::unique_ptr<IconStore> icons_;
    ShellPickers pickers_;
    bool answer_ = true;
    std::optional<std::string> key_;
    int keyQuestions_ = 0;
    std::mutex callsMutex_;
    std::vector<LaunchRequest> calls_;
    std::atomic<bool> holdShell_{false};
    std::unique_ptr<SettingsStore> settings_;
    std::unique_ptr<LauncherData> data_;
    std::unique_ptr<LauncherView> view_;
    std::unique_ptr<PanelWindow> panel_;
    HWND hwnd_ = nullptr;
};

TEST_F(ItemActionsTest, ClickOrDoubleClickStartsTheItemAsTheSettingSays) {
    const std::string probe = Probe("bin\\probe.exe");
    const std::string other = folder_.Folder("其他 目录");
    for (bool doubleClick : {false, true}) {
        SCOPED_TRACE(doubleClick);
        TearDown();
        calls_.clear();
        Build({{"p", probe, "--名字 \"a b\"", ""}, {"q", probe, "x", other}}, doubleClick);
        // The other gesture starts nothing.
        if (doubleClick)
            test::Click(hwnd_, Cell(0));
        else
            ::SendMessageW(hwnd_, WM_LBUTTONDBLCLK, MK_LBUTTON, test::At(Cell(0)));
        EXPECT_EQ(Pending(), 0);
        if (doubleClick)
            test::DoubleClick(hwnd_, Cell(0));
        else
            test::Click(hwnd_, Cell(0));
        auto report = Report();
        ASSERT_TRUE(report);
        EXPECT_NE(report->first.find(" --名字 \"a b\""), std::string::npos) << report->first;
        EXPECT_EQ(report->second, folder_.File("bin")) << "the folder of the program";
        ASSERT_TRUE(PollUntil([&] { return Pending() == 0; }));
        EXPECT_EQ(Calls().size(), 1u);
        EXPECT_EQ(Calls()[0].verb, "open");
    }
    view_->Actions().RunItem(0, 0, 1);
    auto report = Report();
    ASSERT_TRUE(report);
    EXPECT_EQ(report->second, other) << "WorkDir wins";
    EXPECT_TRUE(errors_.empty());
}

TEST_F(ItemActionsTest, ChineseNamesAndLongPathsStartExactly) {
    if (!test::HostTakesUnicodeNames(folder_.Path()))
        return;
    std::string deep = "中文 目录\\";
    while (folder_.Path().size() + deep.size() < 300)
        deep += "一个很长的文件夹名称abcdefghij\\";
    const std::string chinese = Probe("中文 目录\\启动 程序.exe");
    const std::string longPath = Probe(deep + "probe.exe");
    ASSERT_GT(longPath.size(), 260u);
    const std::string longParam = "--" + std::string(400, 'x') + " 参数";
    Build({{"中", chinese, "参数 一"}, {"长", longPath, longParam}});
    test::Click(hwnd_, Cell(0));
    auto report = Report();
    ASSERT_TRUE(report);
    EXPECT_NE(report->first.find("启动 程序.exe"), std::string::npos) << report->first;
    EXPECT_NE(report->first.find(" 参数 一"), std::string::npos);
    EXPECT_EQ(report->second, folder_.File("中文 目录"));
    ASSERT_TRUE(PollUntil([&] { return Pending() == 0; }));

    test::Click(hwnd_, Cell(1));
    ASSERT_TRUE(PollUntil([&] { return Pending() == 0; }));
    ASSERT_EQ(Calls().size(), 2u);
    EXPECT_EQ(Calls()[1].file, longPath) << "handed on whole";
    EXPECT_EQ(Calls()[1].parameters, longParam);
    if (errors_.empty()) {
        report = Report();
        ASSERT_TRUE(report);
        EXPECT_NE(report->first.find(longParam), std::string::npos);
    } else {
        // A system that cannot start a program this deep says so once.
        std::printf("note: %s\n", errors_[0].c_str());
        EXPECT_EQ(errors_.size(), 1u);
    }
}

TEST_F(ItemActionsTest, VerbAndHideAfterExec) {
    const std::string probe = Probe("probe.exe");
    Build({{"plain", probe}, {"admin", probe, "", "", true}});
    settings_->SetHideAfterExec(true);
    test::Click(hwnd_, Cell(1));
    ASSERT_TRUE(Report());
    ASSERT_TRUE(PollUntil([&] { return !::IsWindowVisible(hwnd_); }, 5000))
        << "a successful launch hides the panel";
    panel_->Show();
    settings_->SetHideAfterExec(false);
    Run(0, kItemRunAsAdmin);
    ASSERT_TRUE(Report());
    ASSERT_TRUE(PollUntil([&] { return Pending() == 0; }));
    ASSERT_EQ(Calls().size(), 2u);
    EXPECT_EQ(Calls()[0].verb, "runas");
    EXPECT_EQ(Calls()[1].verb, "runas");
    EXPECT_EQ(Calls()[1].file, probe);
    EXPECT_TRUE(::IsWindowVisible(hwnd_));
}

TEST_F(ItemActionsTest, AMissingTargetIsReportedAndChangesNothing) {
    Build({{"gone", folder_.File("no such.exe")}});
    const std::string before = test::ReadBytes(folder_.File("Data"));
    settings_->SetHideAfterExec(true);
    test::Click(hwnd_, Cell(0));
    ASSERT_TRUE(PollUntil([&] { return !errors_.empty(); }));
    EXPECT_EQ(errors_, std::vector<std::string>{"找不到指定的文件"});
    EXPECT_TRUE(::IsWindowVisible(hwnd_));
    EXPECT_FALSE(data_->SaveDue());
    EXPECT_EQ(test::ReadBytes(folder_.File("Data")), before);
}

TEST_F(ItemActionsTest, AnEncipheredItemStartsOnlyWithTheRightKey) {
    const std::string probe = Probe("bin\\probe.exe");
    Build({{"secret", "encrypt:" + CipherEncode(probe, "abcd"),
            "encrypt:" + CipherEncode("--hidden", "abcd"),
            "encrypt:" + CipherEncode(folder_.Path(), "abcd")}});
    key_ = std::nullopt;  // the dialog closed
    test::Click(hwnd_, Cell(0));
    EXPECT_EQ(keyQuestions_, 1);
    EXPECT_EQ(Pending(), 0);
    key_ = "zzzz";
    test::Click(hwnd_, Cell(0));
    EXPECT_EQ(errors_, std::vector<std::string>{"密钥错误！"});
    EXPECT_EQ(Pending(), 0);
    key_ = "abcd";
    test::Click(hwnd_, Cell(0));
    auto report = Report();
    ASSERT_TRUE(report);
    EXPECT_NE(report->first.find(" --hidden"), std::string::npos) << report->first;
    EXPECT_EQ(report->second, folder_.Path());
    EXPECT_EQ(Calls().size(), 1u);
    EXPECT_EQ(errors_.size(), 1u);
}

TEST_F(ItemActionsTest, AWaitingLaunchKeepsThePanelAnsweringAndStartsOnce) {
    const std::string probe = Probe("probe.exe");
    Build({{"p", probe}, {"q", probe, "other"}});
    holdShell_ = true;
    test::Click(hwnd_, Cell(0));
    ASSERT_TRUE(PollUntil([&] { return Calls().size() == 1; }));
    // The shell is stuck; the panel still paints and takes clicks.
    test::Click(hwnd_, Cell(0));
    Window::FromHwnd(hwnd_)->PaintNow();
    test::Click(hwnd_, Cell(1));
    ASSERT_TRUE(PollUntil([&] { return Calls().size() == 2; }));
    EXPECT_EQ(Pending(), 2);
    EXPECT_EQ(Calls()[1].parameters, "other");
    holdShell_ = false;
    ASSERT_TRUE(PollUntil([&] { return Pending() == 0; }));
    test::Click(hwnd_, Cell(0));
    ASSERT_TRUE(PollUntil([&] { return Calls().size() == 3; }));
    ASSERT_TRUE(PollUntil([&] { return Pending() == 0; }));
}

// ---- the item menu -----------------------------------------------------

class ItemMenuWinTest : public ItemActionsTest {
  protected:
    static bool MenuOpen() { return Menu::Current() != nullptr; }
    // Right click with Shift held; true when the shell's menu tracked
    // (found by a timer of this thread, which also closes it).
    static std::atomic<bool>& ShellMenuSeen() {
        static std::atomic<bool> seen;
        return seen;
    }
    // A plain lambda is no stdcall function on 32-bit builds.
    static void CALLBACK CloseShellMenu(HWND, UINT, UINT_PTR, DWORD) {
        if (HWND menu = ::FindWindowW(L"#32768", nullptr); menu && ::IsWindowVisible(menu)) {
            ShellMenuSeen() = true;
            ::EndMenu();
        }
    }
    bool ShiftRightClick(Point p) {
        std::atomic<bool>& seen = ShellMenuSeen();
        seen = false;
        const UINT_PTR timer = ::SetTimer(nullptr, 0, 50, &CloseShellMenu);
        {
            test::HeldKeys shift({VK_SHIFT});
            test::RightClick(hwnd_, p);
        }
        Pump();
        ::KillTimer(nullptr, timer);
        return seen;
    }
};

TEST_F(ItemMenuWinTest, RightReleaseOpensTheMenuAndRunsTheChoice) {
    const std::string probe = Probe("probe.exe");
    Build({{"p", probe}, {"web", "https://example.com/"}});
    test::RightClick(hwnd_, Cell(0));
    ASSERT_TRUE(PollUntil(MenuOpen, 2000));
    Rect r;
    EXPECT_TRUE(Menu::Current()->ItemScreenRect(kItemRunAsAdmin, r));
    ASSERT_TRUE(test::PickMenuItem(kItemCopyPath));
    ASSERT_TRUE(PollUntil([&] { return GetClipboardText(hwnd_).value_or("") == probe; }, 2000));

    // A disabled entry does nothing; Escape closes the menu with no command.
    test::RightClick(hwnd_, Cell(1));
    ASSERT_TRUE(PollUntil(MenuOpen, 2000));
    EXPECT_FALSE(Menu::Current()->ItemScreenRect(kItemRunAsAdmin, r));
    ASSERT_TRUE(test::PickMenuItem(kItemOpenLocation));
    auto menu = Menu::Current();
    ASSERT_TRUE(menu && !menu->OpenWindows().empty());
    ::SendMessageW(menu->OpenWindows()[0]->Hwnd(), WM_KEYDOWN, VK_ESCAPE, 1);
    menu.reset();
    ASSERT_TRUE(PollUntil([] { return !MenuOpen(); }, 2000));
    test::PumpFor(200);
    EXPECT_TRUE(errors_.empty());
    EXPECT_EQ(Pending(), 0);
}

TEST_F(ItemMenuWinTest, ShiftShowsTheShellMenuWhenTheSettingIsOn) {
    const std::string file = folder_.MakeFile("note.txt", "x");
    Build({{"note", file}, {"gone", folder_.File("gone.txt")}});
    settings_->SetShiftShowMenu(true);
    EXPECT_TRUE(ShiftRightClick(Cell(0)));
    EXPECT_FALSE(MenuOpen());
    EXPECT_TRUE(::IsWindowEnabled(hwnd_));

    EXPECT_FALSE(ShiftRightClick(Cell(1)));
    EXPECT_EQ(errors_, std::vector<std::string>{"找不到指定的文件"});
    EXPECT_FALSE(MenuOpen());

    settings_->SetShiftShowMenu(false);
    EXPECT_FALSE(ShiftRightClick(Cell(0)));
    EXPECT_TRUE(PollUntil(MenuOpen, 2000)) << "the program's own menu";
}

TEST_F(ItemMenuWinTest, OpenLocationOpensTheFolderWindow) {
    const std::string file = folder_.MakeFile("选中.txt", "x");
    Build({{"f", file}, {"gone", folder_.File("gone.txt")}});
    // The folder window is titled with the folder's name.
    const std::wstring title = folder_.WidePath().substr(folder_.WidePath().rfind(L'\\') + 1);
    const auto folderWindow = [&] { return ::FindWindowW(nullptr, title.c_str()); };
    Run(0, kItemOpenLocation);
    EXPECT_TRUE(errors_.empty());
    EXPECT_TRUE(PollUntil([&] { return folderWindow() != nullptr; }, 10000));
    ::PostMessageW(folderWindow(), WM_CLOSE, 0, 0);
    Run(1, kItemOpenLocation);
    EXPECT_EQ(errors_, std::vector<std::string>{kFileOrPathNotFound});
    Run(1, kItemOpenWith);
    Run(1, kItemShellMenu);
    EXPECT_EQ(errors_.size(), 3u);
    EXPECT_EQ(errors_[2], "找不到指定的文件");
    EXPECT_EQ(Pending(), 0);
}

TEST_F(ItemMenuWinTest, DesktopShortcutsAsLinkAndInternetShortcut) {
    std::string desktop;
    ASSERT_TRUE(GetDesktopFolder(&desktop));
    ::CreateDirectoryW(ToWide(desktop).c_str(), nullptr);
    const std::string probe = Probe("probe.exe");
    const std::string start = folder_.Folder("start");
    Build({{"a/b:c", probe, "-x 参数", start, false, probe + ",0", "备注"},
           {"网站", "https://example.com/?q=1", "", "", false, "C:\\icons\\web.ico,2"}});
    Run(0, kItemDesktopLink);
    Run(1, kItemDesktopLink);
    EXPECT_TRUE(errors_.empty()) << errors_[0];
    const std::string link = desktop + "\\a_b_c.lnk";
    const std::string url = desktop + "\\网站.url";
    ShortcutRecord read;
    ASSERT_TRUE(ReadShortcut(link, &read));
    EXPECT_EQ(read.targetPath, probe);
    EXPECT_EQ(read.arguments, "-x 参数");
    EXPECT_EQ(read.workingDirectory, start);
    EXPECT_EQ(read.description, "备注");
    EXPECT_EQ(read.iconLocation, probe);
    EXPECT_EQ(test::ReadBytes(url),
              "[InternetShortcut]\r\nURL=https://example.com/?q=1\r\nIconIndex=2\r\n"
              "IconFile=C:\\icons\\web.ico\r\n");
    ::DeleteFileW(ToWide(link).c_str());
    ::DeleteFileW(ToWide(url).c_str());
}

TEST_F(ItemMenuWinTest, DeleteAsksRemovesTheItemAndLeavesTheTarget) {
    const std::string file = folder_.MakeFile("keep.txt", "x");
    Build({{"留下", file}, {"b", folder_.File("b.txt")}});
    answer_ = false;
    Run(0, kItemDelete);
    EXPECT_EQ(questions_, std::vector<std::string>{"删除项目数据：留下"});
    EXPECT_EQ(data_->ItemCount(0, 0), 2);
    answer_ = true;
    Run(0, kItemDelete);
    EXPECT_EQ(data_->ItemCount(0, 0), 1);
    EXPECT_EQ(Grid().ItemText(ListIndex{0, 0}, "name"), "b");
    EXPECT_EQ(writes_, 0) << "the save is deferred";
    ASSERT_TRUE(PollUntil([&] { return writes_ > 0; }, 3000));
    EXPECT_EQ(FileText().find("留下"), std::string::npos);
    EXPECT_TRUE(test::FileExists(file));
}

TEST_F(ItemMenuWinTest, EncipherAndDecipherKeepTheCellAndRestoreTheRecord) {
    const std::string probe = Probe("bin\\probe.exe");
    const std::string note = folder_.MakeFile("说明.txt", "x");
    icons_ =
        std::make_unique<IconStore>([](std::string_view s) { return IconKeyOf(s, 1.0f); }, nullptr);
    icons_->Put(probe, FallbackIconPng(1.0f));
    Build({{"p", probe, "-x 参数", folder_.Path(), true, "", "备注"}, {"n", note}});
    const ItemRecord plain = *data_->Item(0, 0, 0);
    const ItemRecord plainNote = *data_->Item(0, 0, 1);
    const auto image = [&] { return Grid().Item(ListIndex{0, 0})->images.at("icon"); };
    const std::shared_ptr<Image> shown = image();
    ASSERT_TRUE(shown);

    key_ = std::nullopt;
    Run(0, kItemCipher);
    EXPECT_EQ(*data_->Item(0, 0, 0), plain) << "no key, no change";
    key_ = "abcd";
    Run(0, kItemCipher);
    const ItemRecord enc = *data_->Item(0, 0, 0);
    EXPECT_EQ(enc.type, "encrypt");
    EXPECT_EQ(CipherDecode(AfterEncryptPrefix(enc.path), "abcd"), probe);
    EXPECT_EQ(CipherDecode(AfterEncryptPrefix(enc.workDir), "abcd"), folder_.Path());
    EXPECT_EQ(notices_, std::vector<std::string>{"加密成功，设置密钥为（abcd），请妥善保存！"});
    EXPECT_EQ(writes_, 1) << "written at once";
    EXPECT_NE(FileText().find(Json(enc.path)), std::string::npos);
    EXPECT_EQ(image(), shown) << "the cell keeps its icon";
    EXPECT_EQ(icons_->RefCount(probe), 1);
    EXPECT_NE(view_->TooltipText(0, 0, 0).find("位置：数据已加密"), std::string::npos);
    for (const ContentMenuEntry& entry : view_->Actions().Menu(0, 0, 0)) {
        if (entry.id == kItemCopyPath) {
            EXPECT_FALSE(entry.enabled);
        } else if (entry.id == kItemCipher) {
            EXPECT_EQ(entry.text, "解密数据");
        }
    }

    key_ = "abce";
    Run(0, kItemCipher);
    EXPECT_EQ(errors_, std::vector<std::string>{"密钥错误！"});
    EXPECT_EQ(*data_->Item(0, 0, 0), enc);
    EXPECT_EQ(writes_, 1);
    key_ = "abcd";
    Run(0, kItemCipher);
    EXPECT_EQ(*data_->Item(0, 0, 0), plain);
    EXPECT_EQ(image(), shown);
    EXPECT_EQ(icons_->RefCount(probe), 1);
    // Once more: new cipher text, deciphering as well.
    Run(0, kItemCipher);
    EXPECT_NE(data_->Item(0, 0, 0)->path, enc.path);
    Run(0, kItemCipher);
    EXPECT_EQ(*data_->Item(0, 0, 0), plain);

    // An item without an icon has none again afterwards.
    ASSERT_TRUE(plainNote.icon.empty());
    Run(1, kItemCipher);
    EXPECT_EQ(CipherDecode(AfterEncryptPrefix(data_->Item(0, 0, 1)->icon), kIconCipherKey), note);
    Run(1, kItemCipher);
    EXPECT_EQ(*data_->Item(0, 0, 1), plainNote);
    EXPECT_EQ(errors_.size(), 1u);
}

// ---- the properties dialog ---------------------------------------------

class PropertiesDialogTest : public ItemActionsTest {
  protected:
    // Opens the dialog on item i and runs `act` on it from inside its loop;
    // `act` ends it.
    void Properties(int i, const std::function<void(Window& dialog)>& act) {
        PostUiTask([act] {
            const HWND found = test::OpenModal();
            Window* w = Window::FromHwnd(found);
            ASSERT_NE(w, nullptr);
            act(*w);
            if (Window::FromHwnd(found) && w->IsModal()) {
                ADD_FAILURE() << "the dialog is still open";
                w->EndModal(0);
            }
        });
        Run(i, kItemProperties);
    }
    static Edit& Field(Window& w, const char* name) {
        return *static_cast<Edit*>(w.FindByName(name));
    }
    static Button& Control(Window& w, const char* name) {
        return *static_cast<Button*>(w.FindByName(name));
    }
    static std::string PreviewBytes(Window& w) {
        auto* box = static_cast<ImageBox*>(w.FindByName("preview"));
        auto* image = dynamic_cast<EncodedImage*>(box->GetImage().get());
        return image ? std::string(image->Bytes()) : std::string();
    }
    static void Press(Window& w, const char* name) {
        test::Click(w.Hwnd(), *w.FindByName(name));
        Pump();
    }
    static void Retype(Window& w, const char* name, std::string_view text) {
        Edit& edit = Field(w, name);
        edit.SetFocus();
        edit.SelectAll();
        test::Key(w.Hwnd(), VK_DELETE);
        test::Type(w.Hwnd(), Utf8ToWide(text));
    }
    bool Stays(Window& w) { return Window::FromHwnd(w.Hwnd()) && w.IsModal(); }
};

TEST_F(PropertiesDialogTest, AnUnchangedOkWritesTheCanonicalRecordAtOnce) {
    const std::string probe = Probe("bin\\probe.exe");
    // Stored out of order, without a type, with a start folder equal to the default.
    const std::string icon = "C:\\windows\\system32\\shell32.dll,4";
    Build({{"p", probe, "", folder_.File("bin"), false, icon, "备注"}});
    EXPECT_NE(test::ReadBytes(folder_.File("Data")).find("WorkDir"), std::string::npos);
    ASSERT_EQ(writes_, 0);
    ::SetCurrentDirectoryW(folder_.WidePath().c_str());
    Properties(0, [&](Window& w) {
        EXPECT_EQ(w.GetRect().Width(), 430);
        EXPECT_EQ(w.GetRect().Height(), 525);
        wchar_t title[16] = {};
        ::GetWindowTextW(w.Hwnd(), title, 16);
        EXPECT_EQ(std::wstring(title), L"属性");
        EXPECT_EQ(::GetWindow(w.Hwnd(), GW_OWNER), hwnd_);
        EXPECT_FALSE(::IsWindowEnabled(hwnd_)) << "modal over the panel";
        EXPECT_EQ(Field(w, "startFolder").Text(), folder_.File("bin"));
        EXPECT_TRUE(Control(w, "elevated").IsEnabled());
        Press(w, "ok");
    });
    EXPECT_EQ(writes_, 1) << "written at once";
    EXPECT_NE(FileText().find(R"({"type":".exe","name":"p","path":)" + Json(probe) +
                              R"(,"remarks":"备注","icon":)" + Json(icon) + "}"),
              std::string::npos)
        << FileText();
    wchar_t cwd[MAX_PATH];
    ::GetCurrentDirectoryW(MAX_PATH, cwd);
    std::wstring exe(MAX_PATH, L'\0');
    exe.resize(::GetModuleFileNameW(nullptr, exe.data(), MAX_PATH));
    EXPECT_EQ(std::wstring(cwd), exe.substr(0, exe.rfind(L'\\'))) << "back in the exe's folder";
}

TEST_F(PropertiesDialogTest, EditingTheTargetAndTheName) {
    const std::string probe = Probe("工具\\新程序.exe");
    const std::string note = folder_.MakeFile("说明.txt", "x");
    const std::string folderIcon = "%SystemRoot%\\system32\\shell32.dll,3";
    Build({{"说明书", note, "", "", true, folderIcon}, {"二", note, "", "", true, folderIcon}});
    // An emptied name keeps the old one; an emptied target keeps the dialog open.
    Properties(0, [&](Window& w) {
        Edit& target = Field(w, "target");
        EXPECT_TRUE(Control(w, "elevated").IsChecked());
        EXPECT_FALSE(Control(w, "elevated").IsEnabled()) << "no program";
        Retype(w, "name", "");
        Retype(w, "target", "");
        Field(w, "name").SetFocus();
        Press(w, "ok");
        EXPECT_TRUE(Stays(w));
        EXPECT_TRUE(target.HasFocus());
        target.SetText(note);
        Field(w, "name").SetText("");
        Press(w, "ok");
    });
    EXPECT_EQ(data_->Item(0, 0, 0)->name, "说明书");
    EXPECT_EQ(data_->Item(0, 0, 0)->path, note);

    // A new program: name, start folder, elevation box and preview follow it.
    Properties(1, [&](Window& w) {
        const std::string before = PreviewBytes(w);
        Retype(w, "target", probe);
        EXPECT_EQ(Field(w, "name").Text(), "新程序");
        EXPECT_EQ(Field(w, "startFolder").Text(), folder_.File("工具"));
        EXPECT_TRUE(Control(w, "elevated").IsEnabled());
        EXPECT_FALSE(Control(w, "elevated").IsChecked());
        EXPECT_NE(PreviewBytes(w), before);
        Press(w, "ok");
    });
    const ItemRecord edited = *data_->Item(0, 0, 1);
    EXPECT_EQ(edited, (ItemRecord{".exe", "新程序", probe, "", "", "", false, ""}));
    EXPECT_EQ(Grid().ItemText(ListIndex{0, 1}, "name"), "新程序");
    EXPECT_NE(view_->TooltipText(0, 0, 1).find(probe), std::string::npos);
}

TEST_F(PropertiesDialogTest, ShellObjectsAndEncipheredItemsKeepTheirLockedRows) {
    const std::string shell = "::{20D04FE0-3AEA-1069-A2D8-08002B30309D}";
    const std::string probe = Probe("probe.exe");
    const ItemRecord plain{".exe", "秘密", probe, "--x", folder_.Folder("w"), "", false, ""};
    const ItemRecord enc = EncipherItem(plain, "abcd");
    pickers_.icon = [](HWND, std::string_view, int) {
        return std::optional<PickedIcon>(PickedIcon{"C:\\icons\\新.ico", 2});
    };
    Build({{"电脑", shell, "参数"}, {enc.name, enc.path, enc.param, enc.workDir, false, enc.icon}});
    const ItemRecord storedEnc = *data_->Item(0, 0, 1);
    Properties(0, [&](Window& w) {
        EXPECT_EQ(Field(w, "target").Text(), "");
        EXPECT_EQ(Field(w, "target").Placeholder(), "{20D04FE0-3AEA-1069-A2D8-08002B30309D}");
        EXPECT_EQ(Field(w, "startFolder").Placeholder(), "不可用");
        EXPECT_EQ(Field(w, "param").Placeholder(), "不可用");
        EXPECT_TRUE(Field(w, "param").IsReadOnly());
        EXPECT_FALSE(Control(w, "browseTarget").IsEnabled());
        EXPECT_FALSE(Control(w, "browseFolder").IsEnabled());
        Press(w, "ok");
    });
    const ItemRecord computer = *data_->Item(0, 0, 0);
    EXPECT_EQ(computer.path, shell);
    EXPECT_EQ(computer.type, "shell");
    EXPECT_TRUE(computer.param.empty() && computer.workDir.empty());

    Properties(1, [&](Window& w) {
        for (const char* name : {"target", "startFolder", "param"}) {
            EXPECT_EQ(Field(w, name).Placeholder(), "数据已加密") << name;
            EXPECT_TRUE(Field(w, name).IsReadOnly()) << name;
        }
        EXPECT_FALSE(Control(w, "defaultIcon").IsEnabled());
        Field(w, "target").SetFocus();
        test::Type(w.Hwnd(), u"C:\\x.exe");
        EXPECT_EQ(Field(w, "target").Text(), "");
        Press(w, "ok");
    });
    EXPECT_EQ(*data_->Item(0, 0, 1), storedEnc) << "the enciphered values stay";
    Properties(1, [&](Window& w) {
        Press(w, "changeIcon");
        Press(w, "ok");
    });
    const ItemRecord changed = *data_->Item(0, 0, 1);
    EXPECT_EQ(CipherDecode(AfterEncryptPrefix(changed.icon), kIconCipherKey),
              "C:\\icons\\新.ico,2");
    EXPECT_EQ(changed.path, storedEnc.path);
    EXPECT_EQ(changed.param, storedEnc.param);
}

TEST_F(PropertiesDialogTest, AChosenIconIsKeptOnlyByOk) {
    const std::string probe = Probe("probe.exe");
    std::vector<std::pair<std::string, int>> asked;
    pickers_.icon = [&](HWND, std::string_view file, int index) {
        asked.emplace_back(file, index);
        return std::optional<PickedIcon>(PickedIcon{"C:\\windows\\system32\\shell32.dll", 5});
    };
    pickers_.file = [&](HWND) { return std::optional<std::string>(probe); };
    icons_ =
        std::make_unique<IconStore>([](std::string_view s) { return IconKeyOf(s, 1.0f); }, nullptr);
    Build({{"p", probe, "", "", false, probe + ",0"}, {"dir", folder_.Path()}});
    const ItemRecord before = *data_->Item(0, 0, 0);
    for (const char* end : {"cancel", "close"}) {
        Properties(0, [&](Window& w) {
            const std::string shown = PreviewBytes(w);
            Press(w, "changeIcon");
            EXPECT_NE(PreviewBytes(w), shown);
            Press(w, end);
        });
        EXPECT_EQ(*data_->Item(0, 0, 0), before) << end;
    }
    EXPECT_EQ(writes_, 0);
    ASSERT_EQ(asked.size(), 2u);
    EXPECT_EQ(asked[0], std::make_pair(probe, 0)) << "started on the item's own file";
    Properties(0, [&](Window& w) {
        Press(w, "changeIcon");
        Press(w, "ok");
    });
    EXPECT_EQ(data_->Item(0, 0, 0)->icon, "C:\\windows\\system32\\shell32.dll,5");
    EXPECT_EQ(writes_, 1);
    EXPECT_EQ(icons_->RefCount("C:\\windows\\system32\\shell32.dll,5"), 1) << "the cell's new icon";
    EXPECT_EQ(icons_->RefCount(probe + ",0"), 0);
    // A folder starts the picker on the shell's folder icon; a browsed
    // target counts as a typed one.
    Properties(1, [&](Window& w) {
        Press(w, "changeIcon");
        Press(w, "browseTarget");
        EXPECT_EQ(Field(w, "name").Text(), "probe");
        Press(w, "cancel");
    });
    ASSERT_EQ(asked.size(), 4u);
    EXPECT_EQ(asked[3].second, 3);
    EXPECT_NE(asked[3].first.find("shell32.dll"), std::string::npos);
}

}  // namespace
}  // namespace pt
