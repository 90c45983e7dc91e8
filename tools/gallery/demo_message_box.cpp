// The gallery's "message-box" demo: the message box, one button set at a
// time (PinatroveGallery.exe --demo message-box [--flags 0x40] [--dark]).
#include <windows.h>

#include <cstdlib>
#include <string>

#include "dialogs/message_box.h"
#include "window/skin_frame.h"
#include "demos.h"
#include "toolkit/dpi.h"

namespace pt {
namespace {

VOID CALLBACK EndDemo(HWND, UINT, UINT_PTR, DWORD) {
    if (HWND box = ::FindWindowW(L"Pinatrove", nullptr))
        ::PostMessageW(box, WM_CLOSE, 0, 0);
}

}  // namespace

int RunMessageBoxDemo(int seconds, unsigned flags, bool dark) {
    if (dark)
        SetCurrentSkin(Skin{MakeColor(40, 40, 40), false, true});
    const unsigned f = flags;
    ::SetTimer(nullptr, 0, static_cast<UINT>(seconds) * 1000, &EndDemo);
    const std::string text = (f & 15) == 2
                                 ? "无法写入文件“data\\Settings”。\n请选择中止、重试或忽略。"
                                 : "确定要删除分组“常用工具”及其中的 12 个项目吗？";
    ShowMessageBox(nullptr, text, "", f);
    return 0;
}

}  // namespace pt
