// The main panel as a user meets it: the frame built in its order, the skin
// frame in light, dark and Mac-like looks, the date footer turning over at
// midnight, placement from the remembered settings, the system buttons, and
// the exit path writing the stores in their order.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "base/text.h"
#include "launcher/icons.h"
#include "base/save_timer.h"
#include "panel/panel_window.h"
#include "support/desktop.h"
#include "window/placement.h"
#include "window/skin_frame.h"
#include "panel/ui_test_util.h"
#include "settings/settings_store.h"
#include "support/temp_folder.h"
#include "support/utf16.h"
#include "toolkit/dpi.h"
#include "toolkit/property_table.h"

namespace pt {
namespace {

using test::FileExists;
using test::PollUntil;
using test::Pump;
using test::TempFolder;
using test::WorkArea;

[[maybe_unused]] testing::Environment* const g_env =
    testing::AddGlobalTestEnvironment(new test::UiEnvironment);

constexpr Color kLightBackground = static_cast<Color>(-657931);
constexpr Color kBlack = MakeColor(0, 0, 0);

// Which of the three store files exist at this moment, e.g. "Data Cache".
std::string FilesPresent(const TempFolder& folder) {
    std::string out;
    for (const char* name : {"Data", "Cache", "Settings"}) {
        if (FileExists(folder.File(name)))
            out += std::string(out.empty() ? "" : " ") + name;
    }
    return out;
}

// A settings file whose writes are logged with the files present then.
class LoggingSettingsStorage final : public SettingsStorage {
  public:
    LoggingSettingsStorage(const TempFolder& folder, std::vector<std::string>* log)
        : folder_(folder), inner_(MakeFileSettingsStorage(folder.Path(), 5000)), log_(log) {}
    FileReadStatus Read(std::string* bytes) override { return inner_->Read(bytes); }
    bool Write(std::string_view bytes, uint32_t* error) override {
        log_->push_back("Settings after [" + FilesPresent(folder_) + "]");
        return inner_->Write(bytes, error);
    }
    std::string KeepBrokenCopy() override { return inner_->KeepBrokenCopy(); }
    void ArmTimer(std::function<void()> fire) override { inner_->ArmTimer(std::move(fire)); }
    void CancelTimer() override { inner_->CancelTimer(); }

  private:
    const TempFolder& folder_;
    std::unique_ptr<SettingsStorage> inner_;
    std::vector<std::string>* log_;
};

class LoggingCacheFile final : public DocumentStorage {
  public:
    LoggingCacheFile(const TempFolder& folder, std::vector<std::string>* log)
        : folder_(folder), inner_(folder.File("Cache")), log_(log) {}
    FileReadStatus Read(std::string* bytes) override { return inner_.Read(bytes); }
    std::unique_ptr<DocumentReader> Open() override { return inner_.Open(); }
    bool Write(std::string_view bytes, uint32_t* error) override {
        log_->push_back("Cache after [" + FilesPresent(folder_) + "]");
        return inner_.Write(bytes, error);
    }
    std::string KeepBrokenCopy() override { return {}; }
    void ArmTimer(std::function<void()> fire) override { inner_.ArmTimer(std::move(fire)); }
    void CancelTimer() override { inner_.CancelTimer(); }

  private:
    const TempFolder& folder_;
    IconCacheFile inner_;
    std::vector<std::string>* log_;
};

// Stands in for the launcher data until its store lands: records what the
// panel asks of it and writes a Data file when a save is pending.
class FakeContent final : public PanelContent {
  public:
    FakeContent(const TempFolder& folder, std::vector<std::string>* log)
        : folder_(folder), log_(log) {}
    void Build(Element& area) override { builtInto = &area; }
    void SelectRemembered(int iClass, int iGroup) override { selected = {iClass, iGroup}; }
    void FlushPendingSave() override {
        if (!pending)
            return;
        pending = false;
        log_->push_back("Data after [" + FilesPresent(folder_) + "]");
        folder_.MakeFile("Data", "{}");
    }
    Element* builtInto = nullptr;
    Point selected{-1, -1};
    bool pending = false;

  private:
    const TempFolder& folder_;
    std::vector<std::string>* log_;
};

class PanelWindowTest : public testing::Test {
  protected:
    void SetUp() override { SetDisplayScale(1.0f); }
    void TearDown() override {
        if (Window* w = Window::FromHwnd(hwnd_))
            w->Destroy();
        Pump();
        panel_.reset();
        icons_.reset();
        settings_.reset();
        SetCurrentSkin(Skin{});
    }

    // Loads settings from `json` (none: no file) and builds the panel.
    Window* Build(const std::string& json = {}) {
        if (!json.empty())
            folder_.MakeFile("Settings", test::Utf16Bytes(json));
        settings_ = std::make_unique<SettingsStore>(
            std::make_unique<LoggingSettingsStorage>(folder_, &log_));
        settings_->Load();
        content_ = std::make_unique<FakeContent>(folder_, &log_);
        cacheFile_ = std::make_unique<LoggingCacheFile>(folder_, &log_);
        icons_ = std::make_unique<IconStore>([](std::string_view) { return 7u; }, cacheFile_.get());
        icons_->Load();
        PanelServices services;
        services.settings = settings_.get();
        services.content = content_.get();
        services.icons = icons_.get();
        services.today = [this] { return today_; };
        panel_ = std::make_unique<PanelWindow>(services);
        if (!panel_->Create())
            return nullptr;
        hwnd_ = panel_->Handle();
        Window* window = Window::FromHwnd(hwnd_);
        window->SetKeepsBackBuffer(true);  // the tests read its picture back
        return window;
    }

    Window* Alive() { return Window::FromHwnd(hwnd_); }
    Element* Part(const char* role) { return FramePart(hwnd_, role); }

    TempFolder folder_;
    std::vector<std::string> log_;
    std::unique_ptr<SettingsStore> settings_;
    std::unique_ptr<FakeContent> content_;
    std::unique_ptr<LoggingCacheFile> cacheFile_;
    std::unique_ptr<IconStore> icons_;
    std::unique_ptr<PanelWindow> panel_;
    CivilDate today_{2026, 12, 8};
    HWND hwnd_ = nullptr;
};

TEST_F(PanelWindowTest, BuildsTheFrameTitleBarContentAndFooterInOrder) {
    Window* w = Build();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(PanelHandle(), hwnd_);
    wchar_t text[64] = {};
    ::GetWindowTextW(hwnd_, text, 64);
    EXPECT_STREQ(text, L"Pinatrove");
    ::GetClassNameW(hwnd_, text, 64);
    EXPECT_STREQ(text, L"Pinatrove");
    EXPECT_TRUE(::GetWindowLongW(hwnd_, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    EXPECT_FALSE(::GetWindowLongW(hwnd_, GWL_STYLE) & WS_MAXIMIZEBOX);
    const Rect r = w->GetRect();
    EXPECT_EQ(r.Width(), 810);
    EXPECT_EQ(r.Height(), 610);
    EXPECT_EQ(w->MinimumSize(), (Size{460, 590}));
    EXPECT_EQ(w->DragBorderSize(), (Insets{5, 5, 5, 5}));
    EXPECT_EQ(w->BorderSize(), (Insets{0, 40, 0, 0}));
    EXPECT_TRUE(w->IsDragBorder());
    EXPECT_TRUE(w->IsDragCaption());
    EXPECT_EQ(w->TransparentAlpha(), 254);

    // The root stacks title bar, content, footer; the content takes the rest.
    Element& root = w->Root();
    ASSERT_EQ(root.ChildCount(), 3u);
    EXPECT_EQ(root.Child(0)->Name(), "titbar");
    EXPECT_EQ(root.Child(1)->Name(), "content");
    EXPECT_EQ(root.Child(2)->Name(), "footer");
    EXPECT_EQ(content_->builtInto, root.Child(1));
    const Rect frame = w->FrameRect();
    EXPECT_EQ(root.Child(0)->WindowRect().top, frame.top);
    EXPECT_EQ(root.Child(0)->WindowRect().Height(), 40);
    EXPECT_EQ(root.Child(2)->WindowRect().bottom, frame.bottom);
    EXPECT_EQ(root.Child(2)->WindowRect().Height(), 40);
    EXPECT_EQ(root.Child(1)->WindowRect().top, root.Child(0)->WindowRect().bottom);

    // Title bar pieces left to right, published for the skin frame.
    struct Piece {
        const char* role;
        const char* tooltip;
    } pieces[] = {{"title", ""},    {"skin", "换肤"},   {"line", ""},
                  {"menu", "菜单"}, {"mini", "最小化"}, {"close", "关闭"}};
    int lastLeft = -1;
    for (const Piece& p : pieces) {
        Element* e = Part(p.role);
        ASSERT_NE(e, nullptr) << p.role;
        EXPECT_EQ(e->Name(), p.role);
        EXPECT_EQ(e->Tooltip(), p.tooltip) << p.role;
        EXPECT_GT(e->WindowRect().left, lastLeft) << p.role;
        lastLeft = e->WindowRect().left;
    }
    EXPECT_EQ(static_cast<TextElement*>(Part("title"))->Text(), "Pinatrove");
    EXPECT_EQ(Part("close")->WindowRect().Width(), 20);
    EXPECT_EQ(static_cast<Button*>(Part("close"))->Type(), ButtonType::kClose);
    EXPECT_EQ(Part("line")->WindowRect().Width(), 1);
    EXPECT_EQ(Part("line")->WindowRect().Height(), 10);
    // The buttons sit at the right end of the bar.
    EXPECT_EQ(Part("close")->WindowRect().right, frame.right - 8);
}

TEST_F(PanelWindowTest, SkinFrameLightDarkAndMacLooks) {
    Window* w = Build();
    ASSERT_NE(w, nullptr);
    struct Case {
        const char* what;
        Skin skin;
        Color closeNormal;
        Color closeHover;
        Color menuHover;
    } cases[] = {
        {"default light",
         {kLightBackground, false, true},
         MakeColor(115, 115, 115),
         MakeColor(249, 120, 102),
         MakeColor(0, 136, 255)},
        {"black",
         {kBlack, false, false},
         MakeColor(255, 255, 255),
         MakeColor(255, 255, 255),
         MakeColor(255, 255, 255)},
        {"mac on light",
         {kLightBackground, true, true},
         MakeColor(250, 86, 98),
         MakeColor(250, 86, 98),
         MakeColor(236, 170, 43)},
        {"mac on black",
         {kBlack, true, true},
         MakeColor(250, 86, 98),
         MakeColor(250, 86, 98),
         MakeColor(236, 170, 43)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const bool dark = IsDarkColor(c.skin.background);
        ApplySkinFrame(*w, c.skin);
        const Look& bar = Part("titbar")->GetLook().normal;
        ASSERT_TRUE(bar.fill.has_value());
        EXPECT_EQ(*bar.fill, c.skin.background);
        EXPECT_EQ(bar.borderSides, dark ? unsigned(kBorderNone) : unsigned(kBorderBottom));
        EXPECT_EQ(static_cast<TextElement*>(Part("title"))->TextColor(),
                  dark ? MakeColor(255, 255, 255) : MakeColor(60, 60, 60));
        EXPECT_EQ(Part("line")->IsEnabled(), !dark);
        EXPECT_EQ(w->Shadow().rightAngled, !c.skin.borderRadius);
        EXPECT_EQ(w->Shadow().size, 5);
        ASSERT_TRUE(w->Background().fill.has_value());
        EXPECT_EQ(*w->Background().fill, c.skin.background);

        // What the screen gets: the icons in their colours, per state.
        Element* close = Part("close");
        Element* menu = Part("menu");
        test::MouseMove(hwnd_, Point{5, 300});
        w->PaintNow();
        EXPECT_TRUE(test::AreaHasTint(*w, close->WindowRect(), c.skin.background, c.closeNormal));
        test::MouseMove(hwnd_, test::Centre(*close));
        w->PaintNow();
        EXPECT_TRUE(test::AreaHasTint(*w, close->WindowRect(), c.skin.background, c.closeHover));
        test::MouseMove(hwnd_, test::Centre(*menu));
        w->PaintNow();
        EXPECT_TRUE(test::AreaHasTint(*w, menu->WindowRect(), c.skin.background, c.menuHover));
        if (!c.skin.styleMac && !dark) {
            // Light bars keep their 1-pixel bottom line.
            const Rect line = Part("titbar")->WindowRect();
            EXPECT_TRUE(test::AreaHasTint(
                *w, Rect{line.left + 2, line.bottom - 1, line.left + 40, line.bottom},
                c.skin.background, kTitleBarLine));
        }
        test::MouseMove(hwnd_, Point{5, 300});
    }
}

TEST_F(PanelWindowTest, SkinFrameReachesEveryProgramWindow) {
    ASSERT_NE(Build(), nullptr);
    WindowOptions o;
    o.width = 300;
    o.height = 200;
    Window* dialog = Window::Create(o);
    ASSERT_NE(dialog, nullptr);
    auto* title = dialog->Root().Add<TextElement>("设置");
    PublishFramePart(*dialog, "title", title);

    ApplySkinFrameToAll(Skin{kBlack, false, true});
    EXPECT_EQ(title->TextColor(), MakeColor(255, 255, 255));
    EXPECT_EQ(static_cast<TextElement*>(Part("title"))->TextColor(), MakeColor(255, 255, 255));
    // Only the panel's body takes the skin colour; a dialog keeps its own.
    EXPECT_NE(dialog->Background().fill, std::optional<Color>(kBlack));
    dialog->Destroy();
}

TEST_F(PanelWindowTest, FollowsSkinAndTopmostSettingsChangedElsewhere) {
    ASSERT_NE(Build(), nullptr);
    settings_->SetBackgroundColor(static_cast<int32_t>(kBlack));
    EXPECT_EQ(CurrentSkin().background, kBlack);
    EXPECT_EQ(static_cast<TextElement*>(Part("title"))->TextColor(), MakeColor(255, 255, 255));
    settings_->SetTopMost(true);
    EXPECT_TRUE(::GetWindowLongPtrW(hwnd_, GWL_EXSTYLE) & WS_EX_TOPMOST);
    settings_->SetTopMost(false);
    EXPECT_FALSE(::GetWindowLongPtrW(hwnd_, GWL_EXSTYLE) & WS_EX_TOPMOST);
}

TEST_F(PanelWindowTest, FooterShowsTheLunarDateAndTurnsOverWithTheDay) {
    Window* w = Build();
    ASSERT_NE(w, nullptr);
    auto* date = static_cast<Button*>(w->FindByName("date"));
    ASSERT_NE(date, nullptr);
    EXPECT_EQ(date->Text(), "丙午年（马） 十月三十 周二");
    EXPECT_TRUE(date->MouseThrough());
    const int oldWidth = date->WindowRect().Width();

    today_ = CivilDate{2026, 12, 22};  // midnight passes; the next tick notices
    ASSERT_TRUE(PollUntil([&] { return date->Text() != "丙午年（马） 十月三十 周二"; }, 3000));
    EXPECT_EQ(date->Text(), FooterDateText(today_));
    EXPECT_NE(date->Text().find("冬至"), std::string::npos);
    EXPECT_GT(date->WindowRect().Width(), oldWidth);  // laid out anew
}

TEST_F(PanelWindowTest, CloseHidesUnlessExitIsMeant) {
    struct Case {
        const char* what;
        const char* settings;
        WPARAM wParam;
        bool exits;
    } cases[] = {
        {"plain close", "", 0, false},
        {"exit request", "", 1, true},
        {"ExitAfterClose", R"({"Action":{"ExitAfterClose":1}})", 0, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_NE(Build(c.settings), nullptr);
        panel_->Show();
        ::SendMessageW(hwnd_, WM_CLOSE, c.wParam, 0);
        Pump();
        EXPECT_EQ(Alive() == nullptr, c.exits);
        if (!c.exits) {
            EXPECT_FALSE(::IsWindowVisible(hwnd_));
        }
        TearDown();
        ::DeleteFileW(ToWide(folder_.File("Settings")).c_str());
    }
}

TEST_F(PanelWindowTest, SystemButtonsAndAltF4) {
    Window* w = Build();
    ASSERT_NE(w, nullptr);
    int skinClicks = 0;
    int menuClicks = 0;
    panel_->SetSkinButtonHandler([&] { ++skinClicks; });
    panel_->SetMenuButtonHandler([&] { ++menuClicks; });
    panel_->Show();
    test::Click(hwnd_, *Part("skin"));
    test::Click(hwnd_, *Part("menu"));
    EXPECT_EQ(skinClicks, 1);
    EXPECT_EQ(menuClicks, 1);
    EXPECT_TRUE(::IsWindowVisible(hwnd_));

    test::Click(hwnd_, *Part("mini"));
    EXPECT_FALSE(::IsWindowVisible(hwnd_));
    EXPECT_EQ(GetWindowProperty(hwnd_, "bDockShow"), 0);

    panel_->Show();
    test::Click(hwnd_, *Part("close"));
    ASSERT_TRUE(PollUntil([&] { return !::IsWindowVisible(hwnd_); }));
    EXPECT_NE(Alive(), nullptr);

    panel_->Show();
    ::SendMessageW(hwnd_, WM_SYSKEYDOWN, VK_F4, 1 << 29);
    ASSERT_TRUE(PollUntil([&] { return !::IsWindowVisible(hwnd_); }));
    EXPECT_NE(Alive(), nullptr);
}

TEST_F(PanelWindowTest, WindowGoesWithThePanelObject) {
    ASSERT_NE(Build(), nullptr);
    panel_.reset();  // a loop that ended without a close
    Pump();
    EXPECT_EQ(Alive(), nullptr);
    EXPECT_EQ(PanelHandle(), nullptr);
}

TEST_F(PanelWindowTest, ExitWritesDataThenCacheThenSettings) {
    ASSERT_NE(Build(), nullptr);
    content_->pending = true;
    icons_->Put("C:\\a.exe", "png bytes");
    settings_->SetTopMost(true);
    EXPECT_EQ(FilesPresent(folder_), "");
    ::SendMessageW(hwnd_, WM_CLOSE, 1, 0);
    Pump();
    EXPECT_EQ(Alive(), nullptr);
    const std::vector<std::string> expected = {"Data after []", "Cache after [Data]",
                                               "Settings after [Data Cache]"};
    EXPECT_EQ(log_, expected);
    EXPECT_EQ(FilesPresent(folder_), "Data Cache Settings");
    EXPECT_FALSE(settings_->SaveDue());
    EXPECT_FALSE(icons_->SavePending());
}

TEST_F(PanelWindowTest, ExitWritesNothingThatIsNotPending) {
    ASSERT_NE(Build(), nullptr);
    ::SendMessageW(hwnd_, WM_CLOSE, 1, 0);
    Pump();
    EXPECT_EQ(Alive(), nullptr);
    EXPECT_TRUE(log_.empty());
    EXPECT_EQ(FilesPresent(folder_), "");
}

TEST_F(PanelWindowTest, EndOfSessionWritesPendingSaves) {
    ASSERT_NE(Build(), nullptr);
    settings_->SetTopMost(true);
    icons_->Put("C:\\a.exe", "png bytes");
    ::SendMessageW(hwnd_, WM_ENDSESSION, TRUE, 0);
    EXPECT_EQ(FilesPresent(folder_), "Cache Settings");
    EXPECT_NE(Alive(), nullptr);
}

TEST_F(PanelWindowTest, OpensWhereRememberedInsideTheWorkArea) {
    const Rect work = WorkArea();
    Window* w = Build(R"({"General":{"PosLock":1,"SizeLock":1,)"
                      R"("PosRemember":{"bEnable":1,"PosLast":{"xPos":-3000,"yPos":30}},)"
                      R"("SizeRemember":{"bEnable":1,"SizeLast":{"width":700,"height":600}},)"
                      R"("IndexRemember":{"bEnable":1,"IndexLast":{"iClass":2,"iGRoup":3}}}})");
    ASSERT_NE(w, nullptr);
    // A position on a screen that is gone opens centred on the primary one.
    const Point centred = CentreIn(work, {700, 600});
    EXPECT_EQ(w->GetRect(), Rect::FromSize(centred.x, centred.y, 700, 600));
    EXPECT_FALSE(w->IsDragCaption());
    EXPECT_FALSE(w->IsDragBorder());
    EXPECT_EQ(w->DragBorderSize(), (Insets{}));
    EXPECT_EQ(content_->selected, (Point{2, 3}));
    // The start itself does not count as a change.
    panel_->FinishStart();
    EXPECT_FALSE(settings_->SaveDue());
}

TEST_F(PanelWindowTest, ARememberedSizeLargerThanTheScreenSurvivesUntilTheUserResizes) {
    const Rect work = WorkArea();
    const int wantedWidth = work.Width() + 300;
    const int wantedHeight = work.Height() + 200;
    Window* w = Build(R"({"General":{"SizeRemember":{"bEnable":1,"SizeLast":{"width":)" +
                      std::to_string(wantedWidth) + R"(,"height":)" + std::to_string(wantedHeight) +
                      "}}}}");
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->GetRect(), work);
    panel_->FinishStart();
    w->AdjustLayout();
    int width = 0, height = 0;
    settings_->GetSizeLast(&width, &height);
    EXPECT_EQ((Size{width, height}), (Size{wantedWidth, wantedHeight}));
    EXPECT_FALSE(settings_->SaveDue());
    // The user's own resize is remembered, smaller or not.
    w->SetRect(Rect::FromSize(work.left, work.top, 700, 600));
    settings_->GetSizeLast(&width, &height);
    EXPECT_EQ((Size{width, height}), (Size{700, 600}));
}

TEST_F(PanelWindowTest, StartAfterDpiChangeRemembersTheNewPlaceAndShows) {
    const Rect work = WorkArea();
    Window* w = Build(
        R"({"General":{"DPIReset":1,"PosRemember":{"bEnable":1,"PosLast":{"xPos":3,"yPos":4}},)"
        R"("SizeRemember":{"bEnable":1,"SizeLast":{"width":500,"height":600}}},)"
        R"("Action":{"HideAfterStartup":1}})");
    ASSERT_NE(w, nullptr);
    const Rect expected = KeepInsideWorkArea(
        Rect::FromSize(CentreIn(work, {810, 610}).x, CentreIn(work, {810, 610}).y, 810, 610), work);
    EXPECT_EQ(w->GetRect(), expected);
    panel_->FinishStart();
    EXPECT_TRUE(::IsWindowVisible(hwnd_));  // shown despite HideAfterStartup
    EXPECT_FALSE(settings_->GetDPIReset());
    int x = 0, y = 0, width = 0, height = 0;
    settings_->GetPosLast(&x, &y);
    settings_->GetSizeLast(&width, &height);
    EXPECT_EQ((Rect::FromSize(x, y, width, height)), expected);
    EXPECT_TRUE(settings_->SaveDue());
}

TEST_F(PanelWindowTest, HideAfterStartupStartsHidden) {
    ASSERT_NE(Build(R"({"Action":{"HideAfterStartup":1}})"), nullptr);
    panel_->FinishStart();
    EXPECT_FALSE(::IsWindowVisible(hwnd_));
    EXPECT_EQ(GetWindowProperty(hwnd_, "bDockShow"), 0);
    ::SendMessageW(hwnd_, WM_USER, 1, kShowOrFront);
    EXPECT_TRUE(::IsWindowVisible(hwnd_));
    EXPECT_EQ(GetWindowProperty(hwnd_, "bDockShow"), 1);
}

TEST_F(PanelWindowTest, ResizingAndMovingAreRememberedWhenAsked) {
    Window* w = Build(R"({"General":{"PosRemember":{"bEnable":1},"SizeRemember":{"bEnable":1}}})");
    ASSERT_NE(w, nullptr);
    panel_->FinishStart();
    const Rect work = WorkArea();
    w->SetRect(Rect::FromSize(work.left + 40, work.top + 50, 720, 640));
    ::SendMessageW(hwnd_, WM_LBUTTONUP, 0, 0);  // the end of a move
    int x = 0, y = 0, width = 0, height = 0;
    settings_->GetPosLast(&x, &y);
    settings_->GetSizeLast(&width, &height);
    EXPECT_EQ(Rect::FromSize(x, y, width, height),
              Rect::FromSize(work.left + 40, work.top + 50, 720, 640));
    // Dragged half off the screen: the panel and what is remembered lie inside.
    w->SetRect(Rect::FromSize(work.right - 100, work.top + 50, 720, 640));
    ::SendMessageW(hwnd_, WM_LBUTTONUP, 0, 0);
    settings_->GetPosLast(&x, &y);
    EXPECT_EQ(x, work.right - 720);
    EXPECT_EQ(w->GetRect().left, work.right - 720);
}

}  // namespace
}  // namespace pt
