// Dropping onto the real panel: files through a real OLE drag (DoDragDrop
// with a data object of the test's own), shortcuts, an Internet shortcut,
// dotted folders, long Chinese paths and shell objects through the
// registered target's methods, and the data objects the panel must refuse
// (no usable format, a "::" path with more components, hostile ID list
// arrays), checked in the grid and in data\Data.
#include <windows.h>
#include <ole2.h>
#include <shellapi.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "base/text.h"
#include "launcher/drop_blocks.h"
#include "launcher/launch.h"
#include "launcher/target.h"
#include "panel/drop_target.h"
#include "panel/launcher_view.h"
#include "panel/panel_window.h"
#include "panel/ui_test_util.h"
#include "settings/settings_store.h"
#include "base/shortcut.h"
#include "support/counting_storage.h"
#include "support/drop_source.h"
#include "support/temp_folder.h"
#include "support/utf16.h"
#include "toolkit/dpi.h"

namespace pt {
namespace {

using test::BlockData;
using test::DropAtOnce;
using test::FileList;
using test::PollUntil;
using test::Pump;
using test::TempFolder;

[[maybe_unused]] testing::Environment* const g_env =
    testing::AddGlobalTestEnvironment(new test::UiEnvironment);

constexpr unsigned kSaveDelayMs = 200;
constexpr char kComputer[] = "::{20D04FE0-3AEA-1069-A2D8-08002B30309D}";
constexpr char kControlPanelInComputer[] =
    "::{20D04FE0-3AEA-1069-A2D8-08002B30309D}\\::{21EC2020-3AEA-1069-A2DD-08002B30309D}";

std::string IdListBytes(PCIDLIST_ABSOLUTE list) {
    return std::string(reinterpret_cast<const char*>(list), ::ILGetSize(list));
}

// The array the shell would hand over for these parsing names, each a child
// of the desktop.
std::string ShellArray(const std::vector<std::string>& names) {
    std::vector<std::string> children;
    for (const std::string& name : names) {
        PIDLIST_ABSOLUTE list = nullptr;
        EXPECT_HRESULT_SUCCEEDED(
            ::SHParseDisplayName(ToWide(name).c_str(), nullptr, &list, 0, nullptr))
            << name;
        if (!list)
            return {};
        children.push_back(IdListBytes(list));
        ::ILFree(list);
    }
    return BuildIdListArray(std::string(2, '\0'), children);
}

CLIPFORMAT ShellIdListFormat() {
    return static_cast<CLIPFORMAT>(::RegisterClipboardFormatW(L"Shell IDList Array"));
}

class DropTargetTest : public testing::Test {
  protected:
    void SetUp() override {
        SetDisplayScale(1.0f);
        folder_.MakeFile("Data", R"({"class":[{"name":"常用","group":[
            {"name":"程序","item":[{"name":"old","path":"C:\\windows\\notepad.exe"}]},
            {"name":"工具"}]}]})");
        settings_ = std::make_unique<SettingsStore>(MakeFileSettingsStorage(folder_.Path(), 60000));
        settings_->Load();
        data_ = std::make_unique<LauncherData>(
            std::make_unique<test::CountingStorage<LauncherDataStorage>>(
                MakeFileLauncherDataStorage(folder_.Path(), kSaveDelayMs), &writes_),
            MakeShellLauncherSystem());
        LauncherViewServices vs;
        vs.data = data_.get();
        vs.settings = settings_.get();
        view_ = std::make_unique<LauncherView>(vs);
        PanelServices ps;
        ps.settings = settings_.get();
        ps.content = view_.get();
        panel_ = std::make_unique<PanelWindow>(ps);
        ASSERT_TRUE(panel_->Create());
        panel_->Show();
        drop_ = std::make_unique<PanelDropTarget>(*data_, *view_);
        ASSERT_TRUE(drop_->Register(panel_->Handle()));
        Pump();
    }
    void TearDown() override {
        drop_.reset();
        if (Window* w = Window::FromHwnd(panel_ ? panel_->Handle() : nullptr))
            w->Destroy();
        Pump();
        panel_.reset();
        view_.reset();
        data_.reset();
    }

    // What the target says at DragEnter, then, unless refused, the drop.
    DWORD Enter(IDataObject* data) {
        DWORD effect = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
        EXPECT_HRESULT_SUCCEEDED(drop_->Target()->DragEnter(data, 0, GridPoint(), &effect));
        return effect;
    }
    DWORD EnterAndDrop(IDataObject* data) {
        if (Enter(data) == DROPEFFECT_NONE) {
            drop_->Target()->DragLeave();
            return DROPEFFECT_NONE;
        }
        DWORD effect = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
        EXPECT_HRESULT_SUCCEEDED(drop_->Target()->Drop(data, 0, GridPoint(), &effect));
        return effect;
    }
    POINTL GridPoint() const {
        const Rect r = view_->Grid(0, 0)->ScreenRect();
        return POINTL{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }
    std::string Cells() const {
        std::string out;
        ListView* list = view_->Grid(0, 0);
        for (int i = 0; i < list->ItemCount(0); ++i)
            out += (i ? "|" : "") + list->ItemText(ListIndex{0, i}, "name");
        return out;
    }
    ItemRecord Last() const { return *data_->Item(0, 0, data_->ItemCount(0, 0) - 1); }

    TempFolder folder_;
    int writes_ = 0;
    std::unique_ptr<SettingsStore> settings_;
    std::unique_ptr<LauncherData> data_;
    std::unique_ptr<LauncherView> view_;
    std::unique_ptr<PanelWindow> panel_;
    std::unique_ptr<PanelDropTarget> drop_;
};

TEST_F(DropTargetTest, ThreeFilesDroppedThroughOleAreAppendedAndSavedOnce) {
    const std::vector<std::string> files = {folder_.MakeFile("b.txt"), folder_.MakeFile("a.exe"),
                                            folder_.MakeFile("c")};
    BlockData data;
    data.Put(CF_HDROP, FileList(files));
    const POINTL at = GridPoint();
    ASSERT_TRUE(::SetCursorPos(at.x, at.y));
    DropAtOnce source;
    DWORD effect = DROPEFFECT_NONE;
    EXPECT_EQ(::DoDragDrop(&data, &source, DROPEFFECT_COPY | DROPEFFECT_LINK, &effect),
              DRAGDROP_S_DROP);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_COPY));
    EXPECT_EQ(Cells(), "old|b|a|c") << "in the shell's order, at the end of the current group";
    EXPECT_EQ(Last().path, files[2]);
    EXPECT_EQ(writes_, 0) << "the save is deferred";
    ASSERT_TRUE(PollUntil([&] { return writes_ > 0; }));
    test::PumpFor(2 * kSaveDelayMs);
    EXPECT_EQ(writes_, 1) << "one write for the whole drop";
    const std::string file = test::Utf16Text(test::ReadBytes(folder_.File("Data")));
    EXPECT_NE(file.find(R"("name":"a","path":)"), std::string::npos) << file;
}

TEST_F(DropTargetTest, ShortcutsFoldersAndLongPathsBecomeTheirItems) {
    const std::string tool = folder_.MakeFile("tool.exe");
    const std::string start = folder_.Folder("start");
    ShortcutRecord link;
    link.linkFile = folder_.File("我的工具.lnk");
    link.targetPath = tool;
    link.arguments = "--fast";
    link.workingDirectory = start;
    link.description = "the tool";
    link.iconLocation = tool + ",1";
    ASSERT_TRUE(WriteShortcut(link));
    const std::string url = folder_.File("site.url");
    ASSERT_TRUE(WriteInternetShortcut(url, "https://example.com/page", ""));
    const std::string dotted = folder_.Folder("v1.2");
    // Never created: the drop takes the path as the list gives it, whole.
    std::string longPath = "C:\\";
    while (longPath.size() < 400)
        longPath += "很长的文件夹名字第一层\\";
    longPath += "说明.txt";

    BlockData data;
    data.Put(CF_HDROP, FileList({link.linkFile, url, dotted, longPath}));
    EXPECT_EQ(EnterAndDrop(&data), static_cast<DWORD>(DROPEFFECT_COPY));
    ASSERT_EQ(data_->ItemCount(0, 0), 5);
    const ItemRecord lnk = *data_->Item(0, 0, 1);
    EXPECT_EQ(lnk.name, "我的工具");
    EXPECT_EQ(lnk.path, tool);
    EXPECT_EQ(lnk.param, "--fast");
    EXPECT_EQ(lnk.workDir, start);
    EXPECT_EQ(lnk.remarks, "the tool");
    EXPECT_EQ(lnk.icon, tool + ",1");
    const ItemRecord site = *data_->Item(0, 0, 2);
    EXPECT_EQ(site.type, "url");
    EXPECT_EQ(site.name, "site");
    EXPECT_EQ(site.path, "https://example.com/page");
    const ItemRecord folder = *data_->Item(0, 0, 3);
    EXPECT_EQ(folder.type, "folder");
    EXPECT_EQ(folder.name, "v1");
    const ItemRecord deep = *data_->Item(0, 0, 4);
    EXPECT_EQ(deep.path, longPath);
    EXPECT_EQ(deep.name, "说明");
    EXPECT_EQ(Cells(), "old|我的工具|site|v1|说明");
}

TEST_F(DropTargetTest, ShellObjectsAreLinkedOrRefused) {
    BlockData computer;
    computer.Put(ShellIdListFormat(), ShellArray({kComputer}));
    EXPECT_EQ(EnterAndDrop(&computer), static_cast<DWORD>(DROPEFFECT_LINK));
    ASSERT_EQ(data_->ItemCount(0, 0), 2);
    const ItemRecord item = Last();
    EXPECT_EQ(item.type, "shell");
    EXPECT_TRUE(EqualsNoCase(item.path, kComputer)) << item.path;  // Wine spells it in lower case
    // The registry's localised name, as the shell shows the object.
    PIDLIST_ABSOLUTE list = nullptr;
    ASSERT_HRESULT_SUCCEEDED(
        ::SHParseDisplayName(ToWide(kComputer).c_str(), nullptr, &list, 0, nullptr));
    SHFILEINFOW info{};
    ::SHGetFileInfoW(reinterpret_cast<LPCWSTR>(list), 0, &info, sizeof info,
                     SHGFI_PIDL | SHGFI_DISPLAYNAME);
    ::ILFree(list);
    EXPECT_EQ(item.name, FromWide(info.szDisplayName));
    EXPECT_FALSE(item.name.empty());

    // Control Panel below the computer: a "::" path with more components.
    BlockData nested;
    nested.Put(ShellIdListFormat(), ShellArray({kComputer, kControlPanelInComputer}));
    EXPECT_EQ(Enter(&nested), static_cast<DWORD>(DROPEFFECT_NONE));
    drop_->Target()->DragLeave();
    DWORD effect = DROPEFFECT_LINK;
    EXPECT_HRESULT_SUCCEEDED(drop_->Target()->Drop(&nested, 0, GridPoint(), &effect));
    EXPECT_EQ(data_->ItemCount(0, 0), 2) << "a refused array imports none of its objects";
}

TEST_F(DropTargetTest, UnusableDataObjectsAreRefused) {
    BlockData nothing;
    nothing.Put(CF_UNICODETEXT, test::Utf16Bytes("C:\\windows") + std::string(2, '\0'));
    EXPECT_EQ(Enter(&nothing), static_cast<DWORD>(DROPEFFECT_NONE));
    drop_->Target()->DragLeave();

    // Hostile arrays: a count beyond the block, an offset past its end, a
    // child list without its terminator.
    const std::string sound = ShellArray({kComputer});
    ASSERT_FALSE(sound.empty());
    std::string bigCount = sound;
    bigCount[3] = '\x7F';
    std::string farOffset = sound;
    farOffset[8] = '\xF0';
    farOffset[11] = '\x7F';
    const std::string cut = sound.substr(0, sound.size() - 2);
    for (const std::string& block : {bigCount, farOffset, cut}) {
        BlockData hostile;
        hostile.Put(ShellIdListFormat(), block);
        EXPECT_EQ(Enter(&hostile), static_cast<DWORD>(DROPEFFECT_NONE));
        drop_->Target()->DragLeave();
        DWORD effect = DROPEFFECT_LINK;
        EXPECT_HRESULT_SUCCEEDED(drop_->Target()->Drop(&hostile, 0, GridPoint(), &effect));
        EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
    }
    // A file list whose names never close.
    BlockData open;
    open.Put(CF_HDROP, FileList({"C:\\a"}).substr(0, sizeof(DROPFILES) + 8));
    DWORD effect = DROPEFFECT_COPY;
    EXPECT_HRESULT_SUCCEEDED(drop_->Target()->Drop(&open, 0, GridPoint(), &effect));
    EXPECT_EQ(data_->ItemCount(0, 0), 1);
    EXPECT_EQ(Cells(), "old");
}

// The exit path lets go of the target while the window still exists; a
// close that only hides the panel keeps it.
TEST_F(DropTargetTest, TheExitPathRevokesTheTarget) {
    bool windowAlive = false;
    panel_->AddBeforeExit([&] {
        windowAlive = ::IsWindow(panel_->Handle()) != FALSE;
        drop_->Revoke();
    });
    ::SendMessageW(panel_->Handle(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(drop_->Registered());
    ::SendMessageW(panel_->Handle(), WM_CLOSE, 1, 0);
    EXPECT_TRUE(windowAlive);
    EXPECT_FALSE(drop_->Registered());
}

TEST_F(DropTargetTest, DraggingNearTheGridsEdgesScrollsIt) {
    std::vector<std::string> files;
    for (int i = 0; i < 60; ++i)
        files.push_back(folder_.MakeFile("f" + std::to_string(i) + ".txt"));
    BlockData data;
    data.Put(CF_HDROP, FileList(files));
    ASSERT_EQ(EnterAndDrop(&data), static_cast<DWORD>(DROPEFFECT_COPY));
    ListView* grid = view_->Grid(0, 0);
    ASSERT_GT(grid->MaxScrollY(), 0);
    grid->SetScrollY(0);
    const Rect r = grid->ScreenRect();
    EXPECT_EQ(Enter(&data), static_cast<DWORD>(DROPEFFECT_COPY));
    DWORD effect = DROPEFFECT_COPY;
    drop_->Target()->DragOver(0, POINTL{(r.left + r.right) / 2, r.bottom - Dpi(10)}, &effect);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_COPY));
    const int down = grid->ScrollY();
    EXPECT_GT(down, 0);
    drop_->Target()->DragOver(0, POINTL{(r.left + r.right) / 2, (r.top + r.bottom) / 2}, &effect);
    EXPECT_EQ(grid->ScrollY(), down) << "the middle of the grid does not scroll";
    drop_->Target()->DragOver(0, POINTL{(r.left + r.right) / 2, r.top + Dpi(10)}, &effect);
    EXPECT_LT(grid->ScrollY(), down);
    drop_->Target()->DragLeave();
}

}  // namespace
}  // namespace pt
