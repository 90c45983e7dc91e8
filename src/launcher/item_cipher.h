// Enciphering and deciphering one item record as a whole: the target, the
// parameters and the start folder go under the user's key, the icon
// location under the built-in icon key (so the grid keeps showing the icon
// without asking), and the type becomes "encrypt". Deciphering restores the
// record the enciphering started from: the type comes from the deciphered
// target again and an icon that only repeated the target goes.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "launcher/launcher_data.h"

namespace pt {

// The record enciphered under `key`. An item without an icon keeps its
// plain target as the enciphered icon, so its grid entry looks the same.
ItemRecord EncipherItem(const ItemRecord& plain, std::string_view key);

// The record deciphered with `key`; nothing when the key is wrong or the
// target's cipher text is damaged. `kindText` gives the kind text of the
// deciphered target (its classification). A value that carries no cipher
// text (no "encrypt:" or nothing after it) is kept as it is.
std::optional<ItemRecord> DecipherItem(
    const ItemRecord& enciphered, std::string_view key,
    const std::function<std::string(std::string_view)>& kindText);

// "encrypt:" + the cipher text of `plain` under the built-in icon key.
std::string EncipherIconSource(std::string_view plain);

// The text of the notice after an item was enciphered under `key`.
std::string EncipheredNotice(std::string_view key);

}  // namespace pt
