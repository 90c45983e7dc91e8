// The program's start-up as a user meets it: one instance only, with the
// request handed over to the running panel; data beside the exe whatever the
// working directory; a clean exit on request.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "app/single_instance.h"
#include "e2e_support.h"
#include "support/utf16.h"

namespace pt::test {
namespace {

constexpr wchar_t kPanel[] = L"Pinatrove";

bool Visible(HWND window) { return ::IsWindowVisible(window) != FALSE; }

TEST(StartupTest, SecondStartHandsOverToTheRunningPanel) {
    TempFolder dir;
    auto first = AppProcess::Launch(dir);
    ASSERT_TRUE(first);
    HWND panel = first->WaitForWindow(kPanel);
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(WindowText(panel), L"Pinatrove");
    ASSERT_TRUE(PollUntil([&] { return Visible(panel); }));

    // Hidden panel: a second start shows it again, and ends with code 0.
    ::SendMessageW(panel, WM_USER, 1, 0);
    ASSERT_TRUE(PollUntil([&] { return !Visible(panel); }));
    auto second = AppProcess::Start(dir / L"Pinatrove.exe", L"", dir.WidePath());
    ASSERT_TRUE(second);
    EXPECT_EQ(second->WaitExit(), std::optional<DWORD>(0));
    EXPECT_TRUE(PollUntil([&] { return Visible(panel); }));

    // Started from elsewhere too: the running one answers, still one panel.
    TempFolder other;
    auto third = AppProcess::Launch(other);
    ASSERT_TRUE(third);
    EXPECT_EQ(third->WaitExit(), std::optional<DWORD>(0));
    EXPECT_EQ(WindowsOfProcess(first->Id(), kPanel).size(), 1u);

    EXPECT_TRUE(first->Exit(panel));
    EXPECT_EQ(first->WaitExit(), std::optional<DWORD>(0));
}

TEST(StartupTest, SecondStartBringsAShownPanelToTheFront) {
    TempFolder dir;
    auto first = AppProcess::Launch(dir);
    ASSERT_TRUE(first);
    HWND panel = first->WaitForWindow(kPanel);
    ASSERT_NE(panel, nullptr);
    ASSERT_TRUE(PollUntil([&] { return Visible(panel); }));

    // Another window takes the foreground.
    HWND other = ::CreateWindowExW(0, L"STATIC", L"other", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10,
                                   200, 100, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(other, nullptr);
    ::SetForegroundWindow(other);
    ASSERT_TRUE(PollUntil([&] { return ::GetForegroundWindow() == other; }));

    auto second = AppProcess::Start(dir / L"Pinatrove.exe", L"", dir.WidePath());
    ASSERT_TRUE(second);
    EXPECT_EQ(second->WaitExit(), std::optional<DWORD>(0));
    EXPECT_TRUE(PollUntil([&] { return ::GetForegroundWindow() == panel; }));
    EXPECT_TRUE(Visible(panel));

    ::DestroyWindow(other);
    EXPECT_TRUE(first->Exit(panel));
}

TEST(StartupTest, StaleHandleInTheMappingEndsTheSecondStartQuietly) {
    // A dead window's handle in a mapping someone else keeps open.
    HWND gone = ::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(gone, nullptr);
    const UINT32 value = HandleToValue(gone);
    ::DestroyWindow(gone);
    UniqueKernelHandle mapping(::CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 4,
                                                    kInstanceMappingName));
    ASSERT_TRUE(mapping);
    UniqueMappedView view(::MapViewOfFile(mapping.Get(), FILE_MAP_ALL_ACCESS, 0, 0, 0));
    ASSERT_TRUE(view);
    std::memcpy(view.Get(), &value, sizeof value);

    TempFolder dir;
    auto app = AppProcess::Launch(dir);
    ASSERT_TRUE(app);
    EXPECT_EQ(app->WaitExit(), std::optional<DWORD>(0));
    UINT32 after = 0;
    std::memcpy(&after, view.Get(), sizeof after);
    EXPECT_EQ(after, value);  // the second start never publishes itself
}

TEST(StartupTest, WorksBesideTheExeWhateverTheWorkingDirectory) {
    TempFolder dir;
    TempFolder elsewhere;
    auto app = AppProcess::Launch(dir, L"", elsewhere.WidePath());
    ASSERT_TRUE(app);
    HWND panel = app->WaitForWindow(kPanel);
    ASSERT_NE(panel, nullptr);
    EXPECT_TRUE(PollUntil([&] { return FileExists(dir / L"data"); }));
    EXPECT_FALSE(FileExists(elsewhere / L"data"));
    EXPECT_TRUE(app->Exit(panel));
    EXPECT_EQ(app->WaitExit(), std::optional<DWORD>(0));
}

TEST(StartupTest, RunsFromAFolderWithAnyName) {
    TempFolder dir;
    const std::wstring folder = dir / L"快捷 启动 \u00e9\U0001F600";
    ASSERT_TRUE(::CreateDirectoryW(folder.c_str(), nullptr));
    auto app = AppProcess::LaunchIn(folder);
    ASSERT_TRUE(app);
    HWND panel = app->WaitForWindow(L"Pinatrove");
    ASSERT_NE(panel, nullptr);
    EXPECT_TRUE(PollUntil([&] { return FileExists(folder + L"\\data"); }));
    EXPECT_TRUE(app->Exit(panel));
}

TEST(StartupTest, PanelIsCentredInTheWorkArea) {
    TempFolder dir;
    auto app = AppProcess::Launch(dir);
    ASSERT_TRUE(app);
    HWND panel = app->WaitForWindow(kPanel);
    ASSERT_NE(panel, nullptr);
    RECT work{}, rect{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    ASSERT_TRUE(PollUntil([&] {
        ::GetWindowRect(panel, &rect);
        return rect.left > 0;
    }));
    EXPECT_EQ(rect.right - rect.left, 810);  // the test display runs at 96 DPI
    EXPECT_EQ(rect.bottom - rect.top, 610);
    EXPECT_LE(std::abs((rect.left + rect.right) / 2 - (work.left + work.right) / 2), 1);
    EXPECT_LE(std::abs((rect.top + rect.bottom) / 2 - (work.top + work.bottom) / 2), 1);
    EXPECT_TRUE(::GetWindowLongW(panel, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    EXPECT_TRUE(app->Exit(panel));
}

// A settings file beside the exe (UTF-16LE text), written before the
// program starts.
void WriteSettings(const TempFolder& dir, const std::string& json) {
    ::CreateDirectoryW((dir / L"data").c_str(), nullptr);
    ASSERT_TRUE(WriteFileBytes(dir / L"data\\Settings", Utf16Bytes(json)));
}

// The settings file as text (it is stored as UTF-16LE).
std::string SettingsText(const TempFolder& dir) {
    return Utf16Text(ReadFileBytes(dir / L"data\\Settings").value_or(std::string()));
}

TEST(StartupTest, OpensWhereTheSettingsSay) {
    TempFolder dir;
    // Docking off: at the left edge a docked panel would slide away.
    WriteSettings(dir, R"({"General":{"PosRemember":{"bEnable":1,"PosLast":{"xPos":-3000,"yPos":30}},)"
                       R"("SizeRemember":{"bEnable":1,"SizeLast":{"width":700,"height":600}}},)"
                       R"("Action":{"DockPanel":0}})");
    auto app = AppProcess::Launch(dir);
    ASSERT_TRUE(app);
    HWND panel = app->WaitForWindow(kPanel);
    ASSERT_NE(panel, nullptr);
    ASSERT_TRUE(PollUntil([&] { return Visible(panel); }));
    RECT work{}, rect{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    ::GetWindowRect(panel, &rect);
    // A screen that is gone: centred on the primary one.
    EXPECT_EQ(rect.left, work.left + (work.right - work.left - 700) / 2);
    EXPECT_EQ(rect.top, work.top + (work.bottom - work.top - 600) / 2);
    EXPECT_EQ(rect.right - rect.left, 700);
    EXPECT_EQ(rect.bottom - rect.top, 600);
    EXPECT_TRUE(app->Exit(panel));
}

TEST(StartupTest, ExitWritesAPendingSettingsChange) {
    TempFolder dir;
    // After a DPI change the start stores the new place and clears the flag:
    // a change whose deferred save is still pending when the exit comes.
    WriteSettings(dir, R"({"General":{"DPIReset":1,"PosRemember":{"bEnable":1}}})");
    auto app = AppProcess::Launch(dir);
    ASSERT_TRUE(app);
    HWND panel = app->WaitForWindow(kPanel);
    ASSERT_NE(panel, nullptr);
    ASSERT_TRUE(PollUntil([&] { return Visible(panel); }));
    EXPECT_EQ(SettingsText(dir).find("\"DPIReset\":0"), std::string::npos);
    // The exit comes well within the 5 s of the deferred save.
    EXPECT_TRUE(app->Exit(panel));
    const std::string text = SettingsText(dir);
    EXPECT_NE(text.find("\"DPIReset\":0"), std::string::npos) << text;
    EXPECT_NE(text.find("\"PosLast\":{\"xPos\":"), std::string::npos) << text;
}

TEST(StartupTest, CloseHidesAndExitAfterCloseEnds) {
    {
        TempFolder dir;
        auto app = AppProcess::Launch(dir);
        ASSERT_TRUE(app);
        HWND panel = app->WaitForWindow(kPanel);
        ASSERT_NE(panel, nullptr);
        ASSERT_TRUE(PollUntil([&] { return Visible(panel); }));
        ::PostMessageW(panel, WM_CLOSE, 0, 0);
        EXPECT_TRUE(PollUntil([&] { return !Visible(panel); }));
        EXPECT_TRUE(app->Running());
        EXPECT_TRUE(app->Exit(panel));
    }
    {
        TempFolder dir;
        WriteSettings(dir, R"({"Action":{"ExitAfterClose":1}})");
        auto app = AppProcess::Launch(dir);
        ASSERT_TRUE(app);
        HWND panel = app->WaitForWindow(kPanel);
        ASSERT_NE(panel, nullptr);
        ASSERT_TRUE(PollUntil([&] { return Visible(panel); }));
        ::PostMessageW(panel, WM_CLOSE, 0, 0);
        EXPECT_EQ(app->WaitExit(), std::optional<DWORD>(0));
    }
}

}  // namespace
}  // namespace pt::test
