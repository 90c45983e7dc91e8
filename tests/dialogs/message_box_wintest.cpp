// The message box driven as a user would: every button of every set, the
// close button, Esc and Alt+F4 per set, its title, size, owner and place,
// calls from a worker thread, and the once-per-run save failure report.
// A helper thread waits for the box and acts on it through the UI thread
// while the box's modal loop runs.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <thread>

#include "dialogs/message_box.h"
#include "dialogs/save_failure_report.h"
#include "window/placement.h"
#include "panel/ui_test_util.h"
#include "toolkit/dpi.h"

namespace pt {
namespace {

using test::PollUntil;

[[maybe_unused]] testing::Environment* const g_env =
    testing::AddGlobalTestEnvironment(new test::UiEnvironment);

// Waits on a helper thread for the box, then runs `act` on the UI thread.
class BoxDriver {
  public:
    explicit BoxDriver(std::function<void(Window& box)> act)
        : thread_([this, act] {
              const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
              HWND box = nullptr;
              while (!box && std::chrono::steady_clock::now() < end) {
                  box = CallOnUiThread([] { return test::OpenModal(); });
                  if (!box)
                      std::this_thread::sleep_for(std::chrono::milliseconds(10));
              }
              if (box) {
                  CallOnUiThread([&] {
                      if (Window* w = Window::FromHwnd(box))
                          act(*w);
                  });
              }
              done_ = true;
          }) {}
    ~BoxDriver() {
        // The helper may still wait for the UI thread: keep pumping.
        PollUntil([this] { return done_.load(); }, 10000);
        thread_.join();
    }

  private:
    std::atomic<bool> done_{false};
    std::thread thread_;
};

void ClickNamed(Window& box, const std::string& name) {
    Element* e = box.FindByName(name);
    ASSERT_NE(e, nullptr) << name;
    test::Click(box.Hwnd(), *e);
}

void PressEsc(Window& box) {
    ::SendMessageW(box.Hwnd(), WM_KEYDOWN, VK_ESCAPE, 1);
}

void PressAltF4(Window& box) {
    ::SendMessageW(box.Hwnd(), WM_SYSKEYDOWN, VK_F4, 1 | (1 << 29));
}

class MessageBoxTest : public testing::Test {
  protected:
    void SetUp() override {
        SetDisplayScale(1.0f);
        WindowOptions o;
        o.x = 200;
        o.y = 150;
        o.width = 600;
        o.height = 400;
        owner_ = Window::Create(o);
        ASSERT_NE(owner_, nullptr);
        owner_->Show(true);
    }
    void TearDown() override {
        if (Window* w = Window::FromHwnd(ownerHwnd()))
            w->Destroy();
        test::Pump();
    }
    HWND ownerHwnd() const { return owner_ ? owner_->Hwnd() : nullptr; }

    int Show(unsigned flags, std::function<void(Window&)> act, const char* text = "文本",
             const char* title = "") {
        BoxDriver driver(std::move(act));
        return ShowMessageBox(ownerHwnd(), text, title, flags);
    }

    Window* owner_ = nullptr;
};

TEST_F(MessageBoxTest, EveryButtonReturnsItsValue) {
    struct Case {
        unsigned set;
        std::vector<std::pair<const char*, int>> buttons;
    } cases[] = {
        {0, {{"确定", 0}}},
        {1, {{"确定", 0}, {"取消", 1}}},
        {2, {{"中止", 2}, {"重试", 3}, {"忽略", 4}}},
        {3, {{"是", 5}, {"否", 6}, {"取消", 1}}},
        {4, {{"是", 5}, {"否", 6}}},
        {5, {{"重试", 3}, {"取消", 1}}},
    };
    for (const Case& c : cases) {
        for (const auto& [text, value] : c.buttons) {
            SCOPED_TRACE(std::to_string(c.set) + " " + text);
            std::string shown;
            const int got = Show(c.set, [&, value = value](Window& box) {
                auto* b = static_cast<Button*>(box.FindByName("result." + std::to_string(value)));
                ASSERT_NE(b, nullptr);
                shown = b->Text();
                test::Click(box.Hwnd(), *b);
            });
            EXPECT_EQ(got, value);
            EXPECT_EQ(shown, text);
        }
    }
}

TEST_F(MessageBoxTest, ButtonsStandInTheirOrder) {
    std::vector<int> order;
    Show(3, [&](Window& box) {
        Element* row = box.FindByName("buttons");
        ASSERT_NE(row, nullptr);
        for (size_t i = 0; i < row->ChildCount(); ++i)
            order.push_back(std::stoi(row->Child(i)->Name().substr(7)));
        ClickNamed(box, "result.1");
    });
    EXPECT_EQ(order, (std::vector<int>{5, 6, 1}));
}

TEST_F(MessageBoxTest, CloseButtonEscAndAltF4PerSet) {
    struct Case {
        unsigned flags;
        bool closable;
        int closeResult;  // when closable
        int button;       // pressed to end a box that ignores the keys
    } cases[] = {
        {0x40, true, 0, 0}, {1, true, 1, 0},  {2, false, 0, 3},
        {3, true, 1, 5},    {4, false, 0, 6}, {5, true, 1, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.flags);
        if (c.closable) {
            EXPECT_EQ(Show(c.flags, [](Window& box) { ClickNamed(box, "close"); }), c.closeResult);
            EXPECT_EQ(Show(c.flags, PressEsc), c.closeResult);
            EXPECT_EQ(Show(c.flags, PressAltF4), c.closeResult);
        } else {
            bool hasClose = true;
            bool stillOpen = false;
            const int got = Show(c.flags, [&](Window& box) {
                hasClose = box.FindByName("close") != nullptr;
                PressEsc(box);
                PressAltF4(box);
                ::SendMessageW(box.Hwnd(), WM_SYSCHAR, 'x', 1 << 29);
                stillOpen = Window::FromHwnd(box.Hwnd()) && box.IsModal();
                ClickNamed(box, "result." + std::to_string(c.button));
            });
            EXPECT_FALSE(hasClose);
            EXPECT_TRUE(stillOpen);
            EXPECT_EQ(got, c.button);
        }
    }
}

TEST_F(MessageBoxTest, TitleSizeIconAndOwner) {
    std::wstring title;
    Rect rect;
    bool ownerEnabled = true;
    bool hasIcon = false;
    Show(0x40, [&](Window& box) {
        wchar_t text[64] = {};
        ::GetWindowTextW(box.Hwnd(), text, 64);
        title = text;
        rect = box.GetRect();
        ownerEnabled = ::IsWindowEnabled(ownerHwnd()) != FALSE;
        auto* icon = static_cast<PictureElement*>(box.FindByName("icon"));
        hasIcon = icon && icon->GetImage() && icon->WindowRect().Width() == 45;
        ClickNamed(box, "result.0");
    });
    EXPECT_EQ(title, L"提示");
    EXPECT_EQ(rect.Width(), 450);
    EXPECT_EQ(rect.Height(), 180);
    EXPECT_FALSE(ownerEnabled);
    EXPECT_TRUE(::IsWindowEnabled(ownerHwnd()));
    EXPECT_TRUE(hasIcon);

    // A tall text: 135 + its height.
    const std::string tall = "第一行\n第二行\n第三行\n第四行\n第五行";
    const Size textSize = MeasureText(tall, *DefaultFont(), 340, true);
    ASSERT_GT(textSize.height, 45);
    Show(
        0x10,
        [&](Window& box) {
            wchar_t text[64] = {};
            ::GetWindowTextW(box.Hwnd(), text, 64);
            title = text;
            rect = box.GetRect();
            ClickNamed(box, "result.0");
        },
        tall.c_str(), "出错了");
    EXPECT_EQ(title, L"出错了");
    EXPECT_EQ(rect.Height(), 135 + textSize.height);
}

TEST_F(MessageBoxTest, EveryIconLoads) {
    for (unsigned icon : {0x00u, 0x10u, 0x20u, 0x30u, 0x40u}) {
        bool loaded = false;
        Show(icon, [&](Window& box) {
            auto* e = static_cast<PictureElement*>(box.FindByName("icon"));
            loaded = e && e->GetImage();
            ClickNamed(box, "result.0");
        });
        EXPECT_TRUE(loaded) << icon;
    }
}

TEST_F(MessageBoxTest, StaysInsideTheWorkArea) {
    RECT w{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &w, 0);
    const Rect work{w.left, w.top, w.right, w.bottom};
    owner_->SetRect(Rect::FromSize(work.right - 100, work.bottom - 60, 300, 200));
    Rect rect;
    Rect afterDrag;
    Show(0, [&](Window& box) {
        rect = box.GetRect();
        // Dragged past the bottom right corner, then let go.
        box.SetPosition(work.right - 50, work.bottom - 20);
        ::SendMessageW(box.Hwnd(), WM_LBUTTONUP, 0, 0);
        afterDrag = box.GetRect();
        ClickNamed(box, "result.0");
    });
    EXPECT_EQ(KeepInsideWorkArea(rect, work), rect);
    EXPECT_EQ(afterDrag, Rect::FromSize(work.right - 450, work.bottom - 180, 450, 180));
}

TEST_F(MessageBoxTest, CalledFromAWorkerThreadRunsOnTheUiThread) {
    std::atomic<int> result{-1};
    std::atomic<bool> returned{false};
    DWORD boxThread = 0;
    bool callerWaited = false;
    bool escIgnored = false;
    const HWND owner = ownerHwnd();
    {
        BoxDriver driver([&](Window& box) {
            boxThread = ::GetWindowThreadProcessId(box.Hwnd(), nullptr);
            callerWaited = !returned.load();
            PressEsc(box);  // ignored by Yes/No
            escIgnored = test::OpenModal() != nullptr;
            ClickNamed(box, "result.6");
        });
        std::thread worker([&] {
            result = ShowMessageBox(owner, "来自后台线程", "", 4);
            returned = true;
        });
        // This (the UI) thread runs the box from its message loop.
        EXPECT_TRUE(PollUntil([&] { return returned.load(); }, 15000));
        worker.join();
    }
    EXPECT_EQ(boxThread, ::GetCurrentThreadId());
    EXPECT_TRUE(callerWaited);
    EXPECT_TRUE(escIgnored);
    EXPECT_EQ(result.load(), 6);
}

TEST_F(MessageBoxTest, ClosedByOtherMeansGivesTheHarmlessAnswer) {
    struct Case {
        unsigned flags;
        int expected;
    } cases[] = {{0, 0}, {1, 1}, {2, 2}, {3, 1}, {4, 6}, {5, 1}};
    for (const Case& c : cases) {
        EXPECT_EQ(Show(c.flags, [](Window& box) { ::SendMessageW(box.Hwnd(), WM_CLOSE, 0, 0); }),
                  c.expected)
            << c.flags;
    }
}

TEST_F(MessageBoxTest, SaveFailureIsReportedOncePerRun) {
    std::string text;
    std::wstring title;
    bool reported = false;
    {
        BoxDriver driver([&](Window& box) {
            auto* e = static_cast<TextElement*>(box.FindByName("text"));
            if (e)
                text = e->Text();
            wchar_t t[64] = {};
            ::GetWindowTextW(box.Hwnd(), t, 64);
            title = t;
            ClickNamed(box, "result.0");
        });
        reported = ReportSaveFailure(nullptr, "C:\\工具\\data\\Settings", ERROR_ACCESS_DENIED);
    }
    EXPECT_TRUE(reported);
    EXPECT_EQ(title, L"保存失败");
    EXPECT_NE(text.find("C:\\工具\\data\\Settings"), std::string::npos);
    EXPECT_NE(text.find("(5)"), std::string::npos);
    // A second failure, of this file or another, shows nothing.
    EXPECT_FALSE(ReportSaveFailure(nullptr, "C:\\工具\\data\\Data", ERROR_DISK_FULL));
    EXPECT_EQ(test::OpenModal(), nullptr);
}

}  // namespace
}  // namespace pt
