// The message box's tables; see message_box_rules.h.
#include "dialogs/message_box_rules.h"
#include "window/colors.h"

#include <cmath>

namespace pt {
namespace {

int Scale(int n, float scale) {
    return static_cast<int>(std::lround(static_cast<double>(n) * scale));
}

}  // namespace

MessageBoxLayout DescribeMessageBox(unsigned flags) {
    MessageBoxLayout box;
    box.set = flags & 15;
    switch (box.set) {
        case kMbSetOkCancel:
            box.buttons = {{"确定", kMbOk}, {"取消", kMbCancel}};
            box.closeResult = box.forcedCloseResult = kMbCancel;
            break;
        case kMbSetAbortRetryIgnore:
            box.buttons = {{"中止", kMbAbort}, {"重试", kMbRetry}, {"忽略", kMbIgnore}};
            box.closable = false;
            box.forcedCloseResult = kMbAbort;
            break;
        case kMbSetYesNoCancel:
            box.buttons = {{"是", kMbYes}, {"否", kMbNo}, {"取消", kMbCancel}};
            box.closeResult = box.forcedCloseResult = kMbCancel;
            break;
        case kMbSetYesNo:
            box.buttons = {{"是", kMbYes}, {"否", kMbNo}};
            box.closable = false;
            box.forcedCloseResult = kMbNo;
            break;
        case kMbSetRetryCancel:
            box.buttons = {{"重试", kMbRetry}, {"取消", kMbCancel}};
            box.closeResult = box.forcedCloseResult = kMbCancel;
            break;
        default:
            box.set = kMbSetOk;
            box.buttons = {{"确定", kMbOk}};
            box.closeResult = box.forcedCloseResult = kMbOk;
            break;
    }
    switch (flags & 0xF0) {
        case kMbIconError:
            box.iconEntry = "res\\appframework\\MessageBox\\error.svg";
            box.iconColor = kErrorColor;
            break;
        case kMbIconQuestion:
            box.iconEntry = "res\\appframework\\MessageBox\\question.svg";
            box.iconColor = kAccentColor;
            break;
        case kMbIconWarning:
            box.iconEntry = "res\\appframework\\MessageBox\\warning.svg";
            box.iconColor = kWarningColor;
            break;
        case kMbIconInformation:
            box.iconEntry = "res\\appframework\\MessageBox\\infor.svg";
            box.iconColor = kAccentColor;
            break;
        default:
            box.iconEntry = "res\\appframework\\MessageBox\\ok.svg";
            box.iconColor = kSuccessColor;
            break;
    }
    return box;
}

std::string MessageBoxTitle(std::string_view title) {
    return title.empty() ? std::string("提示") : std::string(title);
}

Size MessageBoxSize(int textHeight, float scale) {
    const int height = textHeight > Scale(kMessageTallText, scale)
                           ? Scale(kMessageBaseHeight, scale) + textHeight
                           : Scale(kMessageOneLineHeight, scale);
    return Size{Scale(kMessageBoxWidth, scale), height};
}

}  // namespace pt
