// The text of the save-failure message; see save_failure_report.h.
#include "dialogs/save_failure_report.h"

namespace pt {

std::string SaveFailureText(std::string_view file, std::string_view reason) {
    std::string text = "保存失败：无法写入文件“";
    text += file;
    text += "”。\n原因：";
    text += reason.empty() ? std::string_view("未知错误") : reason;
    text += "\n更改仍保留在程序中，稍后会再次尝试保存。请检查该文件夹是否可写、磁盘是否已满。";
    return text;
}

}  // namespace pt
