// A look at the message box on screen, one button set at a time. Disabled by
// default; run it by hand with --gtest_also_run_disabled_tests
// --gtest_filter=*Demo* and PT_DEMO_FLAGS set to the flags word (default 0x40),
// and take a screenshot while the box stays up (PT_DEMO_SECONDS, default 6).
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "dialogs/message_box.h"
#include "window/skin_frame.h"
#include "panel/ui_test_util.h"
#include "toolkit/dpi.h"

namespace pt {
namespace {

[[maybe_unused]] testing::Environment* const g_env =
    testing::AddGlobalTestEnvironment(new test::UiEnvironment);

VOID CALLBACK EndDemo(HWND, UINT, UINT_PTR, DWORD) {
    if (HWND box = ::FindWindowW(L"Pinatrove", nullptr))
        ::PostMessageW(box, WM_CLOSE, 0, 0);
}

TEST(MessageBoxDemo, DISABLED_Demo) {
    const char* flags = std::getenv("PT_DEMO_FLAGS");
    const char* seconds = std::getenv("PT_DEMO_SECONDS");
    const char* dark = std::getenv("PT_DEMO_DARK");
    if (dark && *dark == '1')
        SetCurrentSkin(Skin{MakeColor(40, 40, 40), false, true});
    const unsigned f = flags ? static_cast<unsigned>(std::strtoul(flags, nullptr, 0)) : 0x40;
    ::SetTimer(nullptr, 0, (seconds ? std::atoi(seconds) : 6) * 1000, &EndDemo);
    const std::string text = (f & 15) == 2
                                 ? "无法写入文件“data\\Settings”。\n请选择中止、重试或忽略。"
                                 : "确定要删除分组“常用工具”及其中的 12 个项目吗？";
    ShowMessageBox(nullptr, text, "", f);
}

}  // namespace
}  // namespace pt
