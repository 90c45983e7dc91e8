// The panel on a laptop-sized screen at 125 % and on a desktop of two
// monitors, run by run.sh on a display of its own (the shared test display
// has one 1280 x 800 monitor at 96 DPI): primary 1366 x 768 with a 40-pixel
// taskbar at the bottom, a 1280 x 1024 monitor below it.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "e2e_support.h"
#include "support/utf16.h"

namespace pt::test {
namespace {

constexpr wchar_t kPanel[] = L"Pinatrove";
constexpr RECT kPrimaryWork{0, 0, 1366, 728};
constexpr RECT kSecondScreen{0, 768, 1280, 1792};

// A named CALLBACK: on i686 a lambda does not convert to a stdcall pointer.
BOOL CALLBACK AddMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM out) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (::GetMonitorInfoW(monitor, &info))
        reinterpret_cast<std::vector<MONITORINFO>*>(out)->push_back(info);
    return TRUE;
}

std::vector<MONITORINFO> Monitors() {
    std::vector<MONITORINFO> list;
    ::EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&list));
    return list;
}

bool Inside(const RECT& inner, const RECT& outer) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

std::string Text(const RECT& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + " - " + std::to_string(r.right) +
           "," + std::to_string(r.bottom);
}

class ScreensTest : public testing::Test {
  protected:
    void SetUp() override {
        if (!std::getenv("PT_SCREENS"))
            GTEST_SKIP() << "needs the desktop of tests/e2e/screens/run.sh";
        // The desktop itself, as the program sees it.
        const std::vector<MONITORINFO> monitors = Monitors();
        ASSERT_EQ(monitors.size(), 2u);
        WindowDc screen(nullptr);
        ASSERT_EQ(::GetDeviceCaps(screen.Get(), LOGPIXELSX), 120);
    }

    // Starts the program with `settings` (none: no file) and returns where
    // its panel shows.
    RECT Open(const std::string& settings) {
        if (!settings.empty()) {
            ::CreateDirectoryW((dir_ / L"data").c_str(), nullptr);
            EXPECT_TRUE(WriteFileBytes(dir_ / L"data\\Settings", Utf16Bytes(settings)));
        }
        app_ = AppProcess::Launch(dir_);
        RECT rect{};
        if (!app_)
            return rect;
        panel_ = app_->WaitForWindow(kPanel);
        EXPECT_TRUE(PollUntil([&] { return panel_ && ::IsWindowVisible(panel_); }));
        ::GetWindowRect(panel_, &rect);
        return rect;
    }

    void TearDown() override {
        if (app_ && panel_) {
            EXPECT_TRUE(app_->Exit(panel_));
        }
    }

    TempFolder dir_;
    std::optional<AppProcess> app_;
    HWND panel_ = nullptr;
};

TEST_F(ScreensTest, OpensAboveTheTaskbarOfA1366x768ScreenAt125Percent) {
    // Docking off: a panel that fills the height touches the top edge, and
    // the edge timer would slide it away while the cursor is elsewhere.
    const RECT rect = Open(R"({"Action":{"DockPanel":0}})");
    // 810 x 610 at 125 % is 1013 x 763: the height is what the taskbar
    // leaves, so the footer at the bottom is on the screen.
    EXPECT_TRUE(Inside(rect, kPrimaryWork)) << Text(rect);
    EXPECT_EQ(rect.right - rect.left, 1013);
    EXPECT_EQ(rect.bottom - rect.top, 728);
}

TEST_F(ScreensTest, OpensOnTheSecondMonitorWhereRemembered) {
    const RECT rect =
        Open(R"({"General":{"PosRemember":{"bEnable":1,"PosLast":{"xPos":100,"yPos":900}}}})");
    EXPECT_EQ(rect.left, 100);
    EXPECT_EQ(rect.top, 900);
    // That screen is tall enough for the whole design size.
    EXPECT_EQ(rect.bottom - rect.top, 763);
    EXPECT_TRUE(Inside(rect, kSecondScreen)) << Text(rect);
}

TEST_F(ScreensTest, APositionBeyondEveryMonitorOpensCentredOnTheFirst) {
    const RECT rect =
        Open(R"({"General":{"PosRemember":{"bEnable":1,"PosLast":{"xPos":3000,"yPos":100}}}})");
    EXPECT_EQ(rect.left, (1366 - 1013) / 2);
    EXPECT_EQ(rect.top, 0);
    EXPECT_TRUE(Inside(rect, kPrimaryWork)) << Text(rect);
}

}  // namespace
}  // namespace pt::test
