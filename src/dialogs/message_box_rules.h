// What the program's message box shows for a flags word: its buttons with
// the values they return, whether it has a close button and what closing
// (or Esc) returns, its icon, its title and its size. The flags and the
// returned values mirror the system's MB_ constants and button identifiers
// (the value is the identifier minus one). Pure, tested without a window.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "toolkit/color.h"
#include "toolkit/geometry.h"

namespace pt {

// Returned values.
enum MessageBoxResult : int {
    kMbOk = 0,
    kMbCancel = 1,
    kMbAbort = 2,
    kMbRetry = 3,
    kMbIgnore = 4,
    kMbYes = 5,
    kMbNo = 6,
};

// Button sets (flags & 15) and icons (flags & 0xF0), as the system numbers them.
inline constexpr unsigned kMbSetOk = 0;
inline constexpr unsigned kMbSetOkCancel = 1;
inline constexpr unsigned kMbSetAbortRetryIgnore = 2;
inline constexpr unsigned kMbSetYesNoCancel = 3;
inline constexpr unsigned kMbSetYesNo = 4;
inline constexpr unsigned kMbSetRetryCancel = 5;
inline constexpr unsigned kMbIconError = 0x10;
inline constexpr unsigned kMbIconQuestion = 0x20;
inline constexpr unsigned kMbIconWarning = 0x30;
inline constexpr unsigned kMbIconInformation = 0x40;

struct MessageButton {
    std::string_view text;
    int result;
};

struct MessageBoxLayout {
    unsigned set = 0;  // the button set actually used (unknown sets act as 0)
    std::vector<MessageButton> buttons;
    // Close button, Esc and Alt+F4 end the box with closeResult; without a
    // close button they do nothing.
    bool closable = true;
    int closeResult = kMbOk;
    // What the box returns when something else closes it (the system at the
    // end of the session): the answer that changes nothing.
    int forcedCloseResult = kMbOk;
    std::string_view iconEntry;  // resource archive entry
    Color iconColor = 0;         // the icons are drawn in one colour
};

MessageBoxLayout DescribeMessageBox(unsigned flags);

// The caller's title, or "提示" when it is empty.
std::string MessageBoxTitle(std::string_view title);

// Design sizes, multiplied by the display scale factor.
inline constexpr int kMessageBoxWidth = 450;
inline constexpr int kMessageTextWidth = 340;
inline constexpr int kMessageOneLineHeight = 180;
inline constexpr int kMessageBaseHeight = 135;
inline constexpr int kMessageTallText = 45;

// The box's size for a text `textHeight` pixels high (measured at most
// kMessageTextWidth × scale wide) at the display scale `scale`.
Size MessageBoxSize(int textHeight, float scale);

}  // namespace pt
