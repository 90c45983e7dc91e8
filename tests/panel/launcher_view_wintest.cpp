// The panel's content driven through the real panel window: the lists built
// from data\Data, selection by click and hover, the category and group
// commands, the rename editor (Enter, Escape, click-away, undo), item
// reordering by dragging with the mouse, the popup menus opened by a right
// click and answered in their own windows (the editor's edit menu too), and
// the cell tooltip, and the grid's icons (decoded only when painted, shared
// between cells, the generic icon for a damaged one), checked in the UI and
// in the file.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "base/text.h"
#include "launcher/icon_cache.h"
#include "launcher/icons.h"
#include "launcher/target.h"
#include "panel/launcher_view.h"
#include "panel/panel_window.h"
#include "panel/ui_test_util.h"
#include "settings/settings_store.h"
#include "support/counting_storage.h"
#include "support/menu_input.h"
#include "support/temp_folder.h"
#include "support/utf16.h"
#include "toolkit/clipboard.h"
#include "toolkit/dpi.h"
#include "toolkit/menu.h"
#include "toolkit/tooltip.h"
#include "window/skin_frame.h"

namespace pt {
namespace {

using CountingStorage = test::CountingStorage<LauncherDataStorage>;
using test::HeldKeys;
using test::PollUntil;
using test::Pump;
using test::TempFolder;

[[maybe_unused]] testing::Environment* const g_env =
    testing::AddGlobalTestEnvironment(new test::UiEnvironment);

constexpr unsigned kSaveDelayMs = 150;

// Two categories with groups and items, and a third with one empty group.
constexpr char kSample[] = R"({"class":[
  {"name":"常用","group":[
    {"name":"程序","item":[
      {"name":"a","path":"C:\\windows\\notepad.exe"},
      {"name":"b","path":"C:\\windows\\regedit.exe"},
      {"name":"c","path":"C:\\windows"},
      {"name":"gone","path":"C:\\no\\such\\file.exe"},
      {"name":"secret","path":"encrypt:QUJD"}]},
    {"name":"工具","item":[{"name":"x","path":"C:\\windows\\system32\\cmd.exe"}]}]},
  {"name":"系统","group":[{"name":"全部"},{"name":"更多"}]},
  {"name":"文档","group":[{"name":"资料"}]}]})";

// data\Cache as the icon store reads it, from memory.
class MemoryCache final : public DocumentStorage {
  public:
    explicit MemoryCache(std::string bytes) : bytes_(std::move(bytes)) {}
    FileReadStatus Read(std::string* bytes) override {
        *bytes = bytes_;
        return FileReadStatus::kOk;
    }
    bool Write(std::string_view bytes, uint32_t*) override {
        bytes_ = std::string(bytes);
        return true;
    }
    std::string KeepBrokenCopy() override { return {}; }
    void ArmTimer(std::function<void()>) override {}
    void CancelTimer() override {}

  private:
    std::string bytes_;
};

class LauncherViewTest : public testing::Test {
  protected:
    void SetUp() override {
        SetDisplayScale(1.0f);
        // The desktop's pointer from an earlier test or a person must not
        // hover a cell: the hover fill would be in the pixels compared.
        ::SetCursorPos(0, 0);
    }
    void TearDown() override {
        if (auto menu = Menu::Current())
            menu->Close();
        HideTooltip();
        if (Window* w = Window::FromHwnd(hwnd_))
            w->Destroy();
        Pump();
        panel_.reset();
        view_.reset();
        data_.reset();
        settings_.reset();
    }

    void Build(const char* dataText = kSample, bool hoverCheck = false, bool dashed = false) {
        folder_.MakeFile("Data", dataText);
        settings_ = std::make_unique<SettingsStore>(MakeFileSettingsStorage(folder_.Path(), 60000));
        settings_->Load();
        settings_->SetMouseHoveCheck(hoverCheck);
        settings_->SetDragFlag(dashed);
        settings_->SetIndexRemember(true);
        data_ = std::make_unique<LauncherData>(
            std::make_unique<CountingStorage>(
                MakeFileLauncherDataStorage(folder_.Path(), kSaveDelayMs), &writes_),
            MakeShellLauncherSystem());
        LauncherViewServices vs;
        vs.data = data_.get();
        vs.settings = settings_.get();
        vs.icons = icons_;
        vs.confirm = [this](const std::string& text) {
            questions_.push_back(text);
            return answer_;
        };
        view_ = std::make_unique<LauncherView>(vs);
        PanelServices ps;
        ps.settings = settings_.get();
        ps.content = view_.get();
        panel_ = std::make_unique<PanelWindow>(ps);
        ASSERT_TRUE(panel_->Create());
        hwnd_ = panel_->Handle();
        Window::FromHwnd(hwnd_)->SetKeepsBackBuffer(true);  // the tests read its picture back
        panel_->Show();
        Window::FromHwnd(hwnd_)->PaintNow();
        Pump();
    }

    // Entry texts of the column, e.g. "常用 系统 文档", the checked one in [].
    std::string Column() const {
        std::string out;
        for (int c = 0; Button* b = view_->ClassEntry(c); ++c)
            out += (out.empty() ? "" : " ") + (b->IsChecked() ? "[" + b->Text() + "]" : b->Text());
        return out;
    }
    std::string Tabs(int c) const {
        std::string out;
        for (int g = 0; Button* b = view_->Tab(c, g); ++g)
            out += (out.empty() ? "" : " ") + (b->IsChecked() ? "[" + b->Text() + "]" : b->Text());
        return out;
    }
    std::string Cells(int c, int g) const {
        std::string out;
        ListView* list = view_->Grid(c, g);
        for (int i = 0; list && i < list->ItemCount(0); ++i)
            out += list->ItemText(ListIndex{0, i}, "name");
        return out;
    }
    // data\Data as UTF-8 (the store writes UTF-16LE).
    std::string FileText() const { return test::Utf16Text(test::ReadBytes(folder_.File("Data"))); }
    Point CellCentre(int c, int g, int i) const {
        const Rect r = view_->Grid(c, g)->ItemWindowRect(ListIndex{0, i});
        return test::Centre(r);
    }
    void Press(Point p) { test::LeftDown(hwnd_, p); }
    void DragTo(Point p) { test::MouseMove(hwnd_, p, MK_LBUTTON); }
    void Release(Point p) { test::LeftUp(hwnd_, p); }
    void Key(int vk) { test::Key(hwnd_, vk); }
    void Type(std::u16string_view text) { test::Type(hwnd_, text); }

    TempFolder folder_;
    std::unique_ptr<MemoryCache> iconCache_;
    std::unique_ptr<IconStore> iconStore_;
    IconStore* icons_ = nullptr;
    int writes_ = 0;
    std::vector<std::string> questions_;
    bool answer_ = true;
    std::unique_ptr<SettingsStore> settings_;
    std::unique_ptr<LauncherData> data_;
    std::unique_ptr<LauncherView> view_;
    std::unique_ptr<PanelWindow> panel_;
    HWND hwnd_ = nullptr;
};

TEST_F(LauncherViewTest, ShowsTheFileAsColumnTabsAndCells) {
    Build();
    EXPECT_EQ(Column(), "[常用] 系统 文档");
    EXPECT_EQ(Tabs(0), "[程序] 工具");
    EXPECT_EQ(Tabs(1), "[全部] 更多");
    EXPECT_EQ(Cells(0, 0), "abcgonesecret");
    EXPECT_TRUE(view_->Grid(0, 0)->IsShown());
    EXPECT_FALSE(view_->Grid(0, 1)->IsShown());
    EXPECT_FALSE(view_->Grid(1, 0)->IsShown());

    ListView* grid = view_->Grid(0, 0);
    struct Case {
        int item;
        std::optional<Color> color;
    } cases[] = {
        {0, std::nullopt},              // exists: the template's colour
        {2, std::nullopt},              // a folder
        {3, MakeColor(192, 192, 192)},  // missing target: grey
        {4, MakeColor(0, 136, 255)},    // enciphered: COLORREF 0xFF8800
    };
    for (const Case& c : cases)
        EXPECT_EQ(grid->Item(ListIndex{0, c.item})->textColor, c.color) << c.item;
    EXPECT_EQ(view_->TooltipText(0, 0, 4), "文件名：secret\r\n位置：数据已加密");
    EXPECT_EQ(view_->TooltipText(0, 0, 0), "文件名：a\r\n位置：C:\\windows\\notepad.exe");
}

// On a dark skin every text of the content turns light, so it stays
// readable, and a light skin brings the first colours back: the column's
// entries, the tabs of every category, the cells of every group, the date.
TEST_F(LauncherViewTest, ContentTextsFollowADarkSkinAndBack) {
    Build();
    Window* window = Window::FromHwnd(hwnd_);
    Element* date = window->FindByName("date");
    ASSERT_NE(date, nullptr);
    const auto texts = [&] {
        std::vector<std::optional<Color>> out;
        out.push_back(view_->ClassEntry(0)->TextColor());
        out.push_back(view_->Tab(1, 1)->TextColor());
        out.push_back(static_cast<Button*>(date)->TextColor());
        for (int i : {0, 3, 4})
            out.push_back(view_->Grid(0, 0)->Item(ListIndex{0, i})->textColor);
        out.push_back(view_->Grid(0, 1)->Item(ListIndex{0, 0})->textColor);
        return out;
    };
    const auto light = texts();
    Skin dark;
    dark.background = static_cast<Color>(-11584460);  // a dark skin of the table
    ApplySkinFrameToAll(dark);
    const auto shown = texts();
    for (size_t i = 0; i < shown.size(); ++i) {
        SCOPED_TRACE(i);
        ASSERT_TRUE(shown[i].has_value());
        if (i == 5)  // enciphered keeps its blue
            continue;
        EXPECT_GT(
            ColorRed(*shown[i]) * 299 + ColorGreen(*shown[i]) * 587 + ColorBlue(*shown[i]) * 114,
            128 * 1000);
    }
    // A category added on the dark skin is made light at once.
    ASSERT_TRUE(data_->NewClass());
    EXPECT_EQ(view_->ClassEntry(3)->TextColor(), shown[0]);
    ApplySkinFrameToAll(Skin{});
    EXPECT_EQ(texts(), light);
}

// The grid decodes only the cells it paints, reading their bytes from the
// store only then (a save in between included); cells with the same bytes
// share one image, and a damaged cached image shows the shell's generic
// icon, as a missing one does.
TEST_F(LauncherViewTest, GridIconsDecodeWhenPaintedAndShareTheirBytes) {
    const std::string generic = ExtractIconPng(kFallbackIconFile, 0, true, 1.0f);
    const std::string shared = ExtractIconPng(kFallbackIconFile, 3, true, 1.0f);
    const std::string other = ExtractIconPng(kFallbackIconFile, 4, true, 1.0f);
    ASSERT_FALSE(generic.empty());
    ASSERT_FALSE(shared.empty());
    ASSERT_FALSE(other.empty());
    ASSERT_NE(shared, other);
    std::string damaged = shared.substr(0, 40);
    damaged.append(200, '\x5A');
    const auto key = [](std::string_view source) { return IconKeyOf(source, 1.0f); };
    IconImages images;
    images[key("C:\\windows\\notepad.exe")] = shared;
    images[key("C:\\windows\\regedit.exe")] = shared;
    images[key("C:\\windows\\system32\\cmd.exe")] = generic;
    images[key("C:\\windows\\system32\\calc.exe")] = damaged;
    images[key("C:\\windows\\winhlp32.exe")] = other;
    iconCache_ = std::make_unique<MemoryCache>(*SerializeIconCache(images));
    iconStore_ = std::make_unique<IconStore>(key, iconCache_.get());
    iconStore_->Load();
    icons_ = iconStore_.get();
    Build(R"({"class":[{"name":"图标","group":[
      {"name":"甲","item":[
        {"name":"a","path":"C:\\windows\\notepad.exe"},
        {"name":"b","path":"C:\\windows\\regedit.exe"},
        {"name":"c","path":"C:\\windows\\system32\\cmd.exe"},
        {"name":"bad","path":"C:\\windows\\system32\\calc.exe"}]},
      {"name":"乙","item":[{"name":"x","path":"C:\\windows\\winhlp32.exe"}]}]}]})");
    ASSERT_FALSE(::testing::Test::HasFatalFailure());
    ListView* shown = view_->Grid(0, 0);
    ListView* hidden = view_->Grid(0, 1);
    ASSERT_TRUE(shown && hidden);
    const auto icon = [](ListView* list, int i) -> std::shared_ptr<EncodedImage> {
        const ListItem* item = list->Item(ListIndex{0, i});
        if (!item || !item->images.count("icon"))
            return nullptr;
        const std::shared_ptr<Image>& image = item->images.find("icon")->second;
        if (auto stored = std::dynamic_pointer_cast<StoredIconImage>(image))
            return stored->Shared();
        return std::dynamic_pointer_cast<EncodedImage>(image);
    };
    EXPECT_LE(iconStore_->BytesHeld(), 2 * shared.size() + generic.size() + damaged.size())
        << "the bytes of a tab never shown are not read";
    ASSERT_TRUE(icon(shown, 0) && icon(shown, 1) && icon(shown, 3) && icon(hidden, 0));
    EXPECT_EQ(icon(shown, 0), icon(shown, 1)) << "the same bytes, one image";
    EXPECT_NE(icon(shown, 0), icon(hidden, 0));
    EXPECT_TRUE(icon(shown, 0)->Decoded());
    EXPECT_FALSE(icon(hidden, 0)->Decoded()) << "a tab never shown decodes nothing";
    EXPECT_TRUE(icon(shown, 3)->Broken());

    // The damaged image's cell shows exactly the generic icon of cell c.
    Window* w = Window::FromHwnd(hwnd_);
    const auto iconBox = [&](int i) {
        const Rect r = shown->ItemWindowRect(ListIndex{0, i});
        const int left = r.left + (r.Width() - 40) / 2;
        std::vector<uint32_t> px;
        for (int y = r.top + 8; y < r.top + 48; ++y) {
            for (int x = left; x < left + 40; ++x)
                px.push_back(w->BackBuffer().At(x, y));
        }
        return px;
    };
    w->PaintNow();
    const std::vector<uint32_t> generic0 = iconBox(2);
    EXPECT_TRUE(iconBox(3) == generic0) << "the damaged image's cell differs from cell c";
    EXPECT_FALSE(iconBox(0) == generic0);
    const uint32_t ground = w->BackBuffer().At(shown->ItemWindowRect(ListIndex{0, 2}).left + 2,
                                               shown->ItemWindowRect(ListIndex{0, 2}).top + 2);
    EXPECT_GT(
        std::count_if(generic0.begin(), generic0.end(), [&](uint32_t p) { return p != ground; }),
        100)
        << "the generic icon is drawn, not an empty box";

    // The store lets go of the bytes it loaded when it saves: the image not
    // decoded yet still finds its own.
    ASSERT_TRUE(iconStore_->Save());
    test::Click(hwnd_, *view_->Tab(0, 1));
    w->PaintNow();
    EXPECT_TRUE(icon(hidden, 0)->Decoded());
    EXPECT_FALSE(icon(hidden, 0)->Broken());

    // A deleted item's image goes with its cell.
    const std::weak_ptr<EncodedImage> gone = icon(hidden, 0);
    ASSERT_TRUE(data_->DeleteItem(0, 1, 0));
    EXPECT_TRUE(gone.expired());

    // The key a shared image was made for may leave the cache: decoded
    // again, it finds the bytes under the other key.
    ASSERT_TRUE(data_->DeleteItem(0, 0, 0));
    EXPECT_EQ(iconStore_->Get("C:\\windows\\notepad.exe"), "");
    const size_t limit = DecodedImageLimit();
    SetDecodedImageLimit(1);
    icon(shown, 1)->NaturalSize();  // the only picture kept now
    EXPECT_FALSE(icon(shown, 0)->Decoded());
    icon(shown, 0)->NaturalSize();
    SetDecodedImageLimit(limit);
    EXPECT_TRUE(icon(shown, 0)->Decoded());
}

// An icon not in the store never holds up the grid: its cell shows a drawn
// stand-in at once and the image once the resolver brings it. What could
// not be found is stored as the generic icon, so the next start asks for
// nothing, until verification finds that the target is back.
TEST_F(LauncherViewTest, MissingIconsArriveAfterTheCellsShow) {
    const std::string late = folder_.File("late.exe");
    std::string json = R"({"class":[{"name":"c","group":[{"name":"g","item":[)"
                       R"({"type":".exe","name":"np","path":"C:\\windows\\notepad.exe"},)"
                       R"({"type":".exe","name":"late","path":"LATE"},)"
                       R"({"type":"url","name":"web","path":"https://example.com/",)"
                       R"("icon":"%SystemRoot%\\system32\\url.dll,0"},)"
                       R"({"type":"folder","name":"win","path":"C:\\windows"}]}]}]})";
    json.replace(json.find("LATE"), 4, ReplaceAllNoCase(late, "\\", "\\\\"));
    const auto key = [](std::string_view source) { return IconKeyOf(source, 1.0f); };
    iconCache_ = std::make_unique<MemoryCache>("");
    auto start = [&] {
        if (Window* w = Window::FromHwnd(hwnd_))
            w->Destroy();
        Pump();
        panel_.reset();
        view_.reset();
        data_.reset();
        iconStore_ = std::make_unique<IconStore>(key, iconCache_.get());
        iconStore_->Load();
        icons_ = iconStore_.get();
        Build(json.c_str());
    };
    const auto encoded = [&](int i) {
        const ListItem* item = view_->Grid(0, 0)->Item(ListIndex{0, i});
        return item && item->images.count("icon") &&
               std::dynamic_pointer_cast<EncodedImage>(item->images.find("icon")->second);
    };
    const auto settled = [&] {
        return PollUntil(
            [&] { return view_->IconsOutstanding() == 0 && data_->UnverifiedCount() == 0; });
    };

    start();
    ASSERT_TRUE(settled());
    for (int i = 0; i < 4; ++i)
        EXPECT_TRUE(encoded(i)) << i;
    EXPECT_EQ(iconStore_->ImageCount(), 4u);
    EXPECT_EQ(iconStore_->Get(late), FallbackIconPng(1.0f));
    // A new cell has its stand-in before any message is pumped.
    ItemRecord added;
    added.name = "reg";
    added.path = "C:\\windows\\regedit.exe";
    ASSERT_TRUE(data_->AddItem(0, 0, added));
    const ListItem* cell = view_->Grid(0, 0)->Item(ListIndex{0, 4});
    ASSERT_TRUE(cell && cell->images.count("icon"));
    EXPECT_FALSE(encoded(4));
    ASSERT_TRUE(settled());
    EXPECT_TRUE(encoded(4));
    ASSERT_TRUE(data_->DeleteItem(0, 0, 4));
    ASSERT_TRUE(iconStore_->Save());

    start();  // nothing changed: nothing to extract
    EXPECT_EQ(view_->IconsOutstanding(), 0);
    ASSERT_TRUE(settled());
    EXPECT_EQ(iconStore_->Get(late), FallbackIconPng(1.0f));

    ASSERT_TRUE(::CopyFileW(L"C:\\windows\\notepad.exe", ToWide(late).c_str(), FALSE));
    start();  // the target is back
    EXPECT_TRUE(PollUntil(
        [&] { return iconStore_->Get(late) == iconStore_->Get("C:\\windows\\notepad.exe"); }));
}

TEST_F(LauncherViewTest, ItemsLoadedOnTrustAreCheckedOnceShown) {
    // As a save writes them: each stored type agrees with its path's text,
    // so none of these cost the start a look at the disk.
    Build(R"({"class":[{"name":"c","group":[{"name":"g","item":[)"
          R"({"type":".exe","name":"np","path":"C:\\windows\\notepad.exe"},)"
          R"({"type":".exe","name":"gone","path":"C:\\no\\such\\file.exe"},)"
          R"({"type":"folder","name":"win","path":"C:\\windows"}]}]},)"
          R"({"name":"d","group":[{"name":"h","item":[)"
          R"({"type":".exe","name":"gone2","path":"C:\\no\\such\\other.exe"}]}]}]})");
    ListView* grid = view_->Grid(0, 0);
    ASSERT_TRUE(PollUntil([&] { return data_->UnverifiedCount() == 0; }, 5000));
    EXPECT_EQ(grid->Item(ListIndex{0, 1})->textColor, MakeColor(192, 192, 192));
    EXPECT_EQ(view_->Grid(1, 0)->Item(ListIndex{0, 0})->textColor, MakeColor(192, 192, 192));
    EXPECT_EQ(grid->Item(ListIndex{0, 0})->textColor, std::nullopt);
    EXPECT_EQ(grid->Item(ListIndex{0, 2})->textColor, std::nullopt);
    EXPECT_EQ(Cells(0, 0), "npgonewin");
    // Verification corrects the grid, never the file by itself.
    EXPECT_FALSE(data_->SaveDue());
    EXPECT_EQ(writes_, 0);
}

TEST_F(LauncherViewTest, ClickSelectsAndIsRemembered) {
    Build();
    test::Click(hwnd_, *view_->ClassEntry(2));
    EXPECT_EQ(Column(), "常用 系统 [文档]");
    EXPECT_EQ(data_->CurrentClass(), 2);
    EXPECT_TRUE(view_->Grid(2, 0)->IsShown());
    // The page that was hidden at start is placed and painted now.
    Window* w = Window::FromHwnd(hwnd_);
    const Rect tab = view_->Tab(2, 0)->WindowRect();
    EXPECT_FALSE(tab.IsEmpty());
    EXPECT_TRUE(PollUntil(
        [&] { return test::AreaHasTint(*w, tab, MakeColor(245, 245, 245), MakeColor(70, 70, 70)); },
        2000))
        << tab.left << "," << tab.top << " " << tab.Width() << "x" << tab.Height();
    test::Click(hwnd_, *view_->ClassEntry(1));
    test::Click(hwnd_, *view_->Tab(1, 1));
    EXPECT_EQ(Tabs(1), "全部 [更多]");
    EXPECT_TRUE(view_->Grid(1, 1)->IsShown());
    EXPECT_FALSE(view_->Grid(1, 0)->IsShown());
    int c = -1, g = -1;
    settings_->GetIndexLast(&c, &g);
    EXPECT_EQ(c, 1);
    EXPECT_EQ(g, 1);
    // Each category keeps its own tab.
    test::Click(hwnd_, *view_->ClassEntry(0));
    EXPECT_EQ(Tabs(0), "[程序] 工具");
    test::Click(hwnd_, *view_->ClassEntry(1));
    EXPECT_EQ(Tabs(1), "全部 [更多]");
    EXPECT_EQ(writes_, 0);  // selecting changes no data
}

TEST_F(LauncherViewTest, HoverSwitchesOnlyWithMouseHoveCheck) {
    for (bool hover : {false, true}) {
        SCOPED_TRACE(hover);
        TearDown();
        Build(kSample, hover);
        test::MouseMove(hwnd_, test::Centre(*view_->ClassEntry(1)));
        EXPECT_EQ(data_->CurrentClass(), hover ? 1 : 0);
        test::MouseMove(hwnd_, test::Centre(*view_->Tab(data_->CurrentClass(), 1)));
        EXPECT_EQ(data_->CurrentGroup(), hover ? 1 : 0);
    }
}

TEST_F(LauncherViewTest, CategoryCommandsChangeColumnAndFile) {
    Build();
    view_->RunClassCommand(kCmdNew);
    EXPECT_EQ(Column(), "常用 系统 文档 [新建分类4]");
    EXPECT_EQ(Tabs(3), "[新建分组1]");
    EXPECT_TRUE(view_->Grid(3, 0)->IsShown());
    view_->RunClassCommand(kCmdUp);
    EXPECT_EQ(Column(), "常用 系统 [新建分类4] 文档");
    EXPECT_EQ(Tabs(2), "[新建分组1]");
    EXPECT_EQ(Tabs(3), "[资料]");

    answer_ = false;
    view_->RunClassCommand(kCmdDelete);
    EXPECT_EQ(questions_, std::vector<std::string>{kConfirmDeleteClass});
    EXPECT_EQ(Column(), "常用 系统 [新建分类4] 文档");
    answer_ = true;
    view_->RunClassCommand(kCmdDelete);
    EXPECT_EQ(Column(), "常用 系统 [文档]");
    EXPECT_EQ(FileText().find("新建分类4"), std::string::npos);
    EXPECT_NE(FileText().find("文档"), std::string::npos);
    int c = -1, g = -1;
    settings_->GetIndexLast(&c, &g);
    EXPECT_EQ(c, 2);
}

TEST_F(LauncherViewTest, GroupCommandsIncludingMoveToAnotherCategory) {
    Build();
    // The menu offers the other categories under their own ids.
    const auto menu = view_->GroupMenu(true);
    ASSERT_EQ(menu[3].children.size(), 5u);
    EXPECT_EQ(menu[3].children[4].text, "文档");
    view_->RunGroupCommand(menu[3].children[4].id);  // 程序 -> 文档
    EXPECT_EQ(Tabs(0), "[工具]");
    EXPECT_EQ(Tabs(2), "[资料] 程序");  // the target keeps its own current tab
    EXPECT_EQ(Cells(2, 1), "abcgonesecret");
    EXPECT_TRUE(view_->Grid(0, 0)->IsShown());
    const std::string file = FileText();
    EXPECT_LT(file.find("资料"), file.find("\"a\""));
    // The last group can go nowhere and cannot be deleted.
    EXPECT_FALSE(view_->GroupMenu(true)[6].enabled);
    view_->RunGroupCommand(kCmdDelete);
    EXPECT_EQ(Tabs(0), "[工具]");
    EXPECT_TRUE(questions_.empty());

    view_->RunGroupCommand(kCmdNew);
    EXPECT_EQ(Tabs(0), "工具 [新建分组2]");
    view_->RunGroupCommand(kCmdMoveLeft);
    EXPECT_EQ(Tabs(0), "[新建分组2] 工具");
    test::Click(hwnd_, *view_->Tab(0, 1));
    view_->RunGroupCommand(kCmdClear);
    EXPECT_EQ(questions_, std::vector<std::string>{kConfirmClearGroup});
    EXPECT_EQ(Cells(0, 1), "");
    EXPECT_EQ(data_->ItemCount(0, 1), 0);
    view_->RunGroupCommand(kCmdDelete);
    EXPECT_EQ(Tabs(0), "[新建分组2]");
}

TEST_F(LauncherViewTest, RenameByEnterEscapeAndClickAway) {
    struct Case {
        const char* what;
        std::u16string typed;  // u"\b": the Backspace key
        int endKey;            // 0: click on another entry
        const char* expected;
        bool saved;
    } cases[] = {
        {"Enter renames", u"办公", VK_RETURN, "办公", true},
        {"Escape keeps", u"办公", VK_ESCAPE, "常用", false},
        {"click away commits", u"办公", 0, "办公", true},
        {"empty is unnamed", u"\b", VK_RETURN, "未命名", true},
        {"unchanged saves nothing", u"常用", VK_RETURN, "常用", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TearDown();
        writes_ = 0;
        Build();
        view_->RunClassCommand(kCmdRename);
        Edit* editor = view_->RenameEditor();
        ASSERT_NE(editor, nullptr);
        EXPECT_TRUE(editor->HasFocus());
        EXPECT_EQ(editor->SelectedText(), "常用");
        if (c.typed == u"\b")
            Key(VK_BACK);
        else
            Type(c.typed);
        if (c.endKey)
            Key(c.endKey);
        else
            test::Click(hwnd_, *view_->Tab(0, 1));
        ASSERT_TRUE(PollUntil([&] { return view_->RenameEditor() == nullptr; }, 2000));
        EXPECT_EQ(view_->ClassEntry(0)->Text(), c.expected);
        EXPECT_EQ(data_->ClassName(0), c.expected);
        EXPECT_EQ(writes_ > 0, c.saved);
        if (c.saved) {
            EXPECT_NE(FileText().find(c.expected), std::string::npos);
        }
    }
}

TEST_F(LauncherViewTest, RenameEditorUndoAndRedo) {
    Build();
    test::Click(hwnd_, *view_->Tab(0, 1));
    view_->RunGroupCommand(kCmdRename);
    Edit* editor = view_->RenameEditor();
    ASSERT_NE(editor, nullptr);
    Type(u"new name");
    {
        HeldKeys ctrl({VK_CONTROL});
        Key('Z');
        EXPECT_EQ(editor->Text(), "new ");
        Key('Z');
        EXPECT_EQ(editor->Text(), "工具");
        EXPECT_EQ(editor->SelectedText(), "工具");  // the selection comes back too
        Key('Y');
        EXPECT_EQ(editor->Text(), "new ");
    }
    Key(VK_RETURN);
    EXPECT_EQ(data_->GroupName(0, 1), "new ");
    EXPECT_EQ(view_->Tab(0, 1)->Text(), "new ");
}

TEST_F(LauncherViewTest, DraggingAnItemReordersGridAndFile) {
    struct Case {
        const char* what;
        bool dashed;
        int target;
        int dx;  // from the target cell's centre
        int dy;
        const char* expected;
    } cases[] = {
        {"I-beam, right half of c: after c", false, 2, 10, 0, "bcagonesecret"},
        {"I-beam, left half of c: before c", false, 2, -10, 0, "bacgonesecret"},
        {"I-beam, below the last row: after the last", false, 4, 0, 200, "bcgonesecreta"},
        {"dashed: takes the target's place", true, 3, -10, 0, "bcgoneasecret"},
        {"onto its own place: nothing", false, 0, 10, 0, "abcgonesecret"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TearDown();
        writes_ = 0;
        Build(kSample, false, c.dashed);
        const Point from = CellCentre(0, 0, 0);
        Point to = CellCentre(0, 0, c.target);
        to.x += c.dx;
        to.y += c.dy;
        Press(from);
        DragTo(Point{from.x + 20, from.y + 20});
        DragTo(to);
        Release(to);
        EXPECT_EQ(Cells(0, 0), c.expected);
        std::string order;
        for (int i = 0; i < data_->ItemCount(0, 0); ++i)
            order += data_->Item(0, 0, i)->name;
        EXPECT_EQ(order, c.expected);
        if (std::string(c.expected) != "abcgonesecret") {
            ASSERT_TRUE(PollUntil([&] { return writes_ > 0; }, 3000));
            const std::string file = FileText();
            EXPECT_LT(file.find("\"b\""), file.find("\"a\""));
        } else {
            EXPECT_FALSE(data_->SavePending());
        }
    }
}

TEST_F(LauncherViewTest, DropOutsideTheGridDoesNothing) {
    Build();
    const Point from = CellCentre(0, 0, 1);
    Press(from);
    DragTo(Point{from.x + 20, from.y});
    const Point outside = test::Centre(*view_->ClassEntry(1));
    DragTo(outside);
    Release(outside);
    EXPECT_EQ(Cells(0, 0), "abcgonesecret");
    EXPECT_FALSE(data_->SavePending());
    EXPECT_EQ(data_->CurrentClass(), 0);
}

TEST_F(LauncherViewTest, DragMarkersAreDrawn) {
    constexpr Color kBackground = MakeColor(255, 255, 255);
    for (bool dashed : {false, true}) {
        SCOPED_TRACE(dashed);
        TearDown();
        Build(kSample, false, dashed);
        Window* w = Window::FromHwnd(hwnd_);
        const Point from = CellCentre(0, 0, 0);
        const Rect target = view_->Grid(0, 0)->ItemWindowRect(ListIndex{0, 2});
        const Rect leftEdge{target.left - 6, target.top, target.left + 1, target.bottom};
        const Rect topEdge{target.left + 10, target.top - 1, target.right - 10, target.top + 1};
        Press(from);
        DragTo(Point{from.x + 20, from.y});
        DragTo(Point{target.left + 5, target.top + 30});
        w->PaintNow();
        EXPECT_TRUE(test::AreaHasTint(*w, dashed ? topEdge : leftEdge, kBackground,
                                      MakeColor(192, 192, 192)));
        // Over its own cell the dashed marker disappears; the I-beam stays.
        DragTo(Point{from.x + 2, from.y});
        w->PaintNow();
        const Rect own = view_->Grid(0, 0)->ItemWindowRect(ListIndex{0, 0});
        const Rect ownRight{own.right - 1, own.top, own.right + 6, own.bottom};
        const Rect ownTop{own.left + 10, own.top - 1, own.right - 10, own.top + 1};
        EXPECT_EQ(test::AreaHasTint(*w, dashed ? ownTop : ownRight, kBackground,
                                    MakeColor(192, 192, 192)),
                  !dashed);
        Release(Point{from.x + 2, from.y});
    }
}

// The panel's real popup menus: opened by a right click on the window,
// answered by a click on an item of the menu's own window.
class ContentMenuTest : public LauncherViewTest {
  protected:
    void RightClick(Point p) {
        test::MouseMove(hwnd_, p);
        ::SendMessageW(hwnd_, WM_RBUTTONDOWN, MK_RBUTTON, test::At(p));
        ::SendMessageW(hwnd_, WM_RBUTTONUP, 0, test::At(p));
    }
    static bool MenuOpen() { return Menu::Current() != nullptr; }
    std::string Names() const {
        std::string out;
        for (int c = 0; c < data_->ClassCount(); ++c)
            out += (out.empty() ? "" : " ") + data_->ClassName(c);
        return out;
    }
};

TEST_F(ContentMenuTest, SidebarMenusRunTheChosenCommand) {
    struct Case {
        const char* what;
        int entry;  // -1: the free area below the entries
        int pick;
        const char* names;
        const char* question;
    } cases[] = {
        {"new on the free area", -1, kCmdNew, "常用 系统 文档 新建分类4", nullptr},
        {"new on an entry", 0, kCmdNew, "常用 系统 文档 新建分类4", nullptr},
        {"move up", 1, kCmdUp, "系统 常用 文档", nullptr},
        {"move down", 1, kCmdDown, "常用 文档 系统", nullptr},
        {"delete the entry clicked", 2, kCmdDelete, "常用 系统", kConfirmDeleteClass},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TearDown();
        questions_.clear();
        Build();
        Element* sidebar = view_->Sidebar();
        const Point at = c.entry < 0
                             ? Point{test::Centre(*sidebar).x, sidebar->WindowRect().bottom - 8}
                             : test::Centre(*view_->ClassEntry(c.entry));
        RightClick(at);
        ASSERT_TRUE(PollUntil(MenuOpen, 2000));
        ASSERT_TRUE(test::PickMenuItem(c.pick));
        ASSERT_TRUE(PollUntil([&] { return Names() == c.names; }, 2000)) << Names();
        EXPECT_FALSE(MenuOpen());
        EXPECT_EQ(questions_.size(), c.question ? 1u : 0u);
        EXPECT_TRUE(PollUntil(
            [&] {
                return FileText().find(data_->ClassName(data_->ClassCount() - 1)) !=
                           std::string::npos &&
                       writes_ > 0;
            },
            2000));
        if (c.entry >= 0 && c.pick != kCmdDelete) {
            EXPECT_TRUE(view_->ClassEntry(data_->CurrentClass())->IsChecked());
        }
    }
}

TEST_F(ContentMenuTest, DisabledOrDismissedMenusChangeNothing) {
    Build();
    // The first category cannot move up; the only way out is Escape.
    RightClick(test::Centre(*view_->ClassEntry(0)));
    ASSERT_TRUE(PollUntil(MenuOpen, 2000));
    ASSERT_TRUE(test::PickMenuItem(kCmdUp));
    Pump();
    auto menu = Menu::Current();
    ASSERT_TRUE(menu && !menu->OpenWindows().empty());
    ::SendMessageW(menu->OpenWindows()[0]->Hwnd(), WM_KEYDOWN, VK_ESCAPE, 1);
    menu.reset();
    ASSERT_TRUE(PollUntil([] { return !MenuOpen(); }, 2000));
    // A late answer must not come from the dismissed menu either.
    EXPECT_FALSE(PollUntil([&] { return writes_ > 0 || Names() != "常用 系统 文档"; }, 300));
}

TEST_F(ContentMenuTest, TabMenuMovesAGroupToAnotherCategory) {
    Build();
    RightClick(test::Centre(*view_->Tab(0, 1)));
    ASSERT_TRUE(PollUntil(MenuOpen, 2000));
    EXPECT_EQ(data_->CurrentGroup(), 1);  // the tab clicked became current
    ASSERT_TRUE(test::HoverMenuItem(kCmdMoveTo));
    ASSERT_TRUE(PollUntil(
        [] { return Menu::Current() && Menu::Current()->OpenWindows().size() == 2; }, 3000));
    ASSERT_TRUE(test::PickMenuItem(MoveToClassId(2)));
    ASSERT_TRUE(PollUntil([&] { return Tabs(2).find("工具") != std::string::npos; }, 2000));
    EXPECT_EQ(Tabs(0), "[程序]");
    EXPECT_EQ(data_->GroupCount(2), 2);
    EXPECT_EQ(Cells(2, 1), "x");
    const std::string file = FileText();
    EXPECT_LT(file.find("资料"), file.find("工具"));
}

TEST_F(ContentMenuTest, RenameFromTheMenuWithTheEditorsOwnMenu) {
    Build();
    RightClick(test::Centre(*view_->Tab(0, 0)));
    ASSERT_TRUE(PollUntil(MenuOpen, 2000));
    ASSERT_TRUE(test::PickMenuItem(kCmdRename));
    ASSERT_TRUE(PollUntil([&] { return view_->RenameEditor() != nullptr; }, 2000));
    Edit* editor = view_->RenameEditor();
    EXPECT_EQ(editor->SelectedText(), "程序");

    const auto editMenu = [&](int pick) {
        RightClick(test::Centre(*editor));
        ASSERT_TRUE(PollUntil(MenuOpen, 2000));
        ASSERT_TRUE(test::PickMenuItem(pick));
        ASSERT_TRUE(PollUntil([] { return !MenuOpen(); }, 2000));
        Pump();
    };
    editMenu(kCmdEditCut);
    ASSERT_TRUE(PollUntil([&] { return editor->Text().empty(); }, 2000));
    EXPECT_EQ(GetClipboardText(hwnd_).value_or(""), "程序");
    editMenu(kCmdEditPaste);
    ASSERT_TRUE(PollUntil([&] { return editor->Text() == "程序"; }, 2000));
    editMenu(kCmdEditSelectAll);
    ASSERT_TRUE(PollUntil([&] { return editor->SelectedText() == "程序"; }, 2000));
    Type(u"办公");
    Key(VK_RETURN);
    ASSERT_TRUE(PollUntil([&] { return view_->RenameEditor() == nullptr; }, 2000));
    EXPECT_EQ(data_->GroupName(0, 0), "办公");
    EXPECT_EQ(Tabs(0), "[办公] 工具");
}

TEST_F(ContentMenuTest, RestingOnACellShowsItsTooltipUntilTheMouseLeaves) {
    Build();
    test::MouseMove(hwnd_, CellCentre(0, 0, 0));
    ASSERT_TRUE(PollUntil([] { return CurrentTooltip() != nullptr; }, 3000));
    EXPECT_EQ(view_->ShownTooltip(), view_->TooltipText(0, 0, 0));
    test::MouseMove(hwnd_, test::Centre(*view_->ClassEntry(1)));
    ASSERT_TRUE(PollUntil([] { return CurrentTooltip() == nullptr; }, 2000));
    EXPECT_EQ(view_->ShownTooltip(), "");
}

}  // namespace
}  // namespace pt
