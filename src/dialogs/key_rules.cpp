// The key's character rule; see key_rules.h.
#include "dialogs/key_rules.h"

namespace pt {

std::string KeyCharacters(std::string_view text) {
    std::string out;
    for (char c : text) {
        const bool allowed =
            (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        if (allowed && static_cast<int>(out.size()) < kKeyMaxLength)
            out.push_back(c);
    }
    return out;
}

}  // namespace pt
