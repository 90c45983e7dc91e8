// The program with its extensions: it starts with a plugin folder holding a
// plug-in, one whose dependency is missing and one that answers nothing,
// shows no error box, and keeps the plug-in loaded; its Camera key opens the
// capture overlay every time it is pressed.
#include <windows.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cwctype>

#include "e2e_support.h"
#include "ext_test_util.h"

namespace pt::test {
namespace {

bool ProcessHasModule(DWORD processId, const wchar_t* name) {
    UniqueKernelHandle snapshot(
        ::CreateToolhelp32Snapshot(TH32CS_SNAPMODULE | TH32CS_SNAPMODULE32, processId));
    if (!snapshot)
        return false;
    MODULEENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = ::Module32FirstW(snapshot.Get(), &entry); more;
         more = ::Module32NextW(snapshot.Get(), &entry)) {
        if (_wcsicmp(entry.szModule, name) == 0)
            return true;
    }
    return false;
}

HWND CaptureOverlay(const AppProcess& app) {
    HWND overlay = app.FindWindowOfClass(L"PinatroveCapture");
    return overlay && ::IsWindowVisible(overlay) ? overlay : nullptr;
}

TEST(AppExtensionsTest, StartsWithItsPluginsAndOpensTheCaptureOnTheCameraKey) {
    TempFolder dir;
    dir.Folder("plugin");
    dir.Folder("data");
    ASSERT_TRUE(::CopyFileW(BuildPath(PT_SAMPLE_PLUGIN).c_str(),
                            (dir / L"plugin\\sample_plugin.dll").c_str(), FALSE));
    ASSERT_TRUE(::CopyFileW(BuildPath(PT_PLUGIN_NEEDS_DEP).c_str(),
                            (dir / L"plugin\\needs_dep.dll").c_str(), FALSE));
    ASSERT_TRUE(::CopyFileW(BuildPath(PT_PLUGIN_PROBE).c_str(), (dir / L"plugin\\zero.dll").c_str(),
                            FALSE));
    const std::u16string settings =
        u"{\"Shortcutkey\":{\"RegFailTips\":0,\"Camera\":{\"bEnable\":1,\"HotKey\":\"F4\"}}}";
    ASSERT_TRUE(WriteFileBytes(
        dir / L"data\\Settings",
        std::string(reinterpret_cast<const char*>(settings.data()), settings.size() * 2) +
            std::string(2, '\0')));

    auto app = AppProcess::Launch(dir);
    ASSERT_TRUE(app);
    HWND panel = app->WaitForWindow(L"Pinatrove");
    ASSERT_NE(panel, nullptr);
    ASSERT_TRUE(PollUntil([&] { return ::IsWindowVisible(panel) != FALSE; }));
    // The plug-ins load after the first show.
    EXPECT_TRUE(PollUntil([&] { return ProcessHasModule(app->Id(), L"sample_plugin.dll"); }));
    EXPECT_EQ(app->FindWindowOfClass(L"#32770"), nullptr) << "a system box came up";
    EXPECT_TRUE(ProcessHasModule(app->Id(), L"zero.dll"));
    EXPECT_FALSE(ProcessHasModule(app->Id(), L"needs_dep.dll"));

    for (int round = 0; round < 2; ++round) {
        TapKey(VK_F4);
        ASSERT_TRUE(PollUntil([&] { return CaptureOverlay(*app) != nullptr; }))
            << "round " << round;
        ASSERT_TRUE(PollUntil([&] { return ::GetForegroundWindow() == CaptureOverlay(*app); }));
        TapKey(VK_ESCAPE);
        EXPECT_TRUE(PollUntil([&] { return CaptureOverlay(*app) == nullptr; })) << round;
    }
    EXPECT_TRUE(app->Exit(panel));
}

}  // namespace
}  // namespace pt::test
