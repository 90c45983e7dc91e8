// What the key of an enciphered item may be: 4 to 20 characters from 0-9,
// a-z and A-Z, as the key dialog's hint says.
#pragma once

#include <string>
#include <string_view>

namespace pt {

inline constexpr int kKeyMinLength = 4;
inline constexpr int kKeyMaxLength = 20;
inline constexpr char kKeyDialogTitle[] = "请输入密码";
inline constexpr char kKeyHint[] = "密码格式：[0-9a-zA-Z][4-20]";

// The characters of `text` a key may hold, in order, the first 20 of them.
std::string KeyCharacters(std::string_view text);

}  // namespace pt
