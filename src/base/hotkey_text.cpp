// Key-name tables, hotkey text parsing and formatting, hotkey identifiers.
#include "base/hotkey_text.h"

#include "base/crc32.h"
#include "base/text.h"

#include <array>
#include <vector>

namespace pt {
namespace {

using NameTable = std::array<std::string, kLastNamedKey + 1>;

// The key-name table, markers included. Index = virtual-key code.
const NameTable& MainTable() {
    static const NameTable table = [] {
        NameTable t;
        t[0x08] = "#BackSpace";
        t[0x09] = "#Tab";
        t[0x0C] = "#Clear";
        t[0x0D] = "Enter";
        t[0x10] = "#Shift";
        t[0x11] = "#Ctrl";
        t[0x12] = "#Alt";
        t[0x13] = "#Pause Break";
        t[0x14] = "#Caps Lock";
        t[0x1B] = "#ESC";
        t[0x20] = "@Space";
        t[0x21] = "Page Up";
        t[0x22] = "Page Down";
        t[0x23] = "End";
        t[0x24] = "Home";
        t[0x25] = "@Left";
        t[0x26] = "@Up";
        t[0x27] = "@Right";
        t[0x28] = "@Down";
        t[0x2D] = "#Insert";
        t[0x2E] = "#Delete";
        for (int i = 0; i <= 9; ++i)
            t[0x30 + i] = std::string(1, static_cast<char>('0' + i));
        for (int i = 0; i < 26; ++i)
            t[0x41 + i] = std::string(1, static_cast<char>('A' + i));
        t[0x5B] = "#Win";
        t[0x5D] = "#右键菜单键";
        for (int i = 0; i <= 9; ++i)
            t[0x60 + i] = "NumPad" + std::to_string(i);
        t[0x6A] = "#*";
        t[0x6B] = "#+";
        t[0x6C] = "#Enter";
        t[0x6D] = "#-";
        t[0x6E] = "#。";
        t[0x6F] = "#/";
        for (int i = 0; i < 12; ++i)
            t[0x70 + i] = "F" + std::to_string(i + 1);
        t[0x90] = "#Num Lock";
        t[0x91] = "#Scroll Lock";
        t[0xBA] = "#;:";
        t[0xBB] = "#=+";
        t[0xBC] = "#,<";
        t[0xBD] = "#-_";
        t[0xBE] = "#.>";
        t[0xBF] = "#/?";
        t[0xC0] = "`";
        t[0xDB] = "#[";
        t[0xDC] = "#\\";
        t[0xDD] = "#]";
        t[0xDE] = "#'";
        return t;
    }();
    return table;
}

// The table of shortcut-file hotkeys: the main table without markers, with
// its own names on the numeric pad and the OEM punctuation keys.
const NameTable& LinkTable() {
    static const NameTable table = [] {
        NameTable t;
        for (int vk = 1; vk <= kLastNamedKey; ++vk)
            t[vk] = std::string(KeyName(vk));
        for (int i = 0; i <= 9; ++i)
            t[0x60 + i] = "Num " + std::to_string(i);
        t[0x6A] = "Num *";
        t[0x6B] = "Num +";
        t[0x6C] = "Enter";
        t[0x6D] = "Num -";
        t[0x6E] = "Num Del";
        t[0x6F] = "Num /";
        t[0xBA] = ";";
        t[0xBB] = "=";
        t[0xBC] = ",";
        t[0xBD] = "-";
        t[0xBE] = ".";
        t[0xBF] = "/";
        return t;
    }();
    return table;
}

bool InRange(int vk) {
    return vk >= 1 && vk <= kLastNamedKey;
}

char AsciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (AsciiLower(a[i]) != AsciiLower(b[i]))
            return false;
    }
    return true;
}

std::string_view TrimBlanks(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

}  // namespace

std::string_view KeyNameEntry(int vk) {
    return InRange(vk) ? std::string_view(MainTable()[vk]) : std::string_view();
}

std::string_view KeyName(int vk) {
    std::string_view entry = KeyNameEntry(vk);
    if (!entry.empty() && (entry[0] == '#' || entry[0] == '@'))
        entry.remove_prefix(1);
    return entry;
}

bool KeyNeverMainKey(int vk) {
    std::string_view entry = KeyNameEntry(vk);
    return !entry.empty() && entry[0] == '#';
}

bool KeyNeedsModifier(int vk) {
    std::string_view entry = KeyNameEntry(vk);
    return !entry.empty() && entry[0] == '@';
}

std::string_view LinkKeyName(int vk) {
    return InRange(vk) ? std::string_view(LinkTable()[vk]) : std::string_view();
}

KeyLookup::KeyLookup() {
    for (int vk = 1; vk <= kLastNamedKey; ++vk) {
        std::string_view entry = KeyNameEntry(vk);
        if (entry.empty() || entry[0] == '#')
            continue;
        if (entry[0] == '@')
            entry.remove_prefix(1);
        codes_.emplace(std::string(entry), static_cast<uint32_t>(vk));  // first code wins
    }
}

uint32_t KeyLookup::Find(std::string_view name) const {
    auto it = codes_.find(std::string(name));
    return it == codes_.end() ? 0 : it->second;
}

HotkeyCombo ParseHotkeyText(std::string_view text, const KeyLookup& lookup) {
    HotkeyCombo combo;
    if (text.empty())
        return combo;
    for (;;) {
        size_t end = text.find(kHotkeySeparator);
        std::string_view part = text.substr(0, end);
        if (part == "Ctrl") {
            combo.modifiers |= kHotkeyCtrl;
        } else if (part == "Shift") {
            combo.modifiers |= kHotkeyShift;
        } else if (part == "Alt") {
            combo.modifiers |= kHotkeyAlt;
        } else {
            combo.keyCode = lookup.Find(part);
        }
        if (end == std::string_view::npos)
            break;
        text.remove_prefix(end + kHotkeySeparator.size());
    }
    return combo;
}

std::string FormatHotkeyText(uint32_t modifiers, uint32_t keyCode) {
    std::string text;
    if (modifiers & kHotkeyCtrl)
        text += "Ctrl + ";
    if (modifiers & kHotkeyShift)
        text += "Shift + ";
    if (modifiers & kHotkeyAlt)
        text += "Alt + ";
    text += KeyName(static_cast<int>(keyCode));
    return text;
}

uint32_t HotkeyIdentifier(std::string_view entryName) {
    std::u16string wide = Utf8ToWide(entryName);
    std::vector<uint8_t> bytes;
    bytes.reserve((wide.size() + 1) * 2);
    for (char16_t c : wide) {
        bytes.push_back(static_cast<uint8_t>(c & 0xFF));
        bytes.push_back(static_cast<uint8_t>(c >> 8));
    }
    bytes.push_back(0);
    bytes.push_back(0);
    return Crc32(bytes.data(), bytes.size());
}

int HotkeyRegistrationId(std::string_view entryName) {
    return static_cast<int>(HotkeyIdentifier(entryName) % 0xC000u);
}

std::string LinkHotkeyText(uint16_t word) {
    const unsigned flags = word >> 8;
    const int vk = word & 0xFF;
    std::string text;
    if (flags & kLinkHotkeyShift)
        text += "Shift + ";
    if (flags & kLinkHotkeyCtrl)
        text += "Ctrl + ";
    if (flags & kLinkHotkeyAlt)
        text += "Alt + ";
    if (vk != 0)
        text += LinkKeyName(vk);
    return text;
}

std::string LinkHotkeyTextFromBytes(std::string_view bytes) {
    if (bytes.size() != 2)
        return {};
    return LinkHotkeyText(static_cast<uint16_t>(static_cast<uint8_t>(bytes[0]) |
                                                static_cast<uint8_t>(bytes[1]) << 8));
}

bool ParseLinkHotkeyText(std::string_view text, uint16_t* word) {
    *word = 0;
    text = TrimBlanks(text);
    if (text.empty())
        return true;
    static constexpr struct {
        std::string_view name;
        uint8_t flag;
    } kModifiers[] = {{"shift", kLinkHotkeyShift},
                      {"ctrl", kLinkHotkeyCtrl},
                      {"control", kLinkHotkeyCtrl},
                      {"alt", kLinkHotkeyAlt}};
    // Modifiers are "<name> +" prefixes; whatever follows the last one is the
    // key name, which may itself contain "+" ("Num +").
    unsigned flags = 0;
    for (bool more = true; more;) {
        more = false;
        for (const auto& modifier : kModifiers) {
            if (text.size() <= modifier.name.size() ||
                !EqualsNoCase(text.substr(0, modifier.name.size()), modifier.name)) {
                continue;
            }
            std::string_view rest = TrimBlanks(text.substr(modifier.name.size()));
            if (rest.empty() || rest[0] != '+')
                continue;
            flags |= modifier.flag;
            text = TrimBlanks(rest.substr(1));
            more = true;
            break;
        }
    }
    if (text.empty())
        return false;
    // The shortcut table first: its names are the ones LinkHotkeyText writes
    // ("-" is the OEM minus there, the keypad minus in the main table).
    for (auto name : {LinkKeyName, KeyName}) {
        for (int vk = 1; vk <= kLastNamedKey; ++vk) {
            if (EqualsNoCase(text, name(vk))) {
                *word = static_cast<uint16_t>(flags << 8 | static_cast<unsigned>(vk));
                return true;
            }
        }
    }
    return false;
}

}  // namespace pt
