// Hotkey text: the examples the hotkey editor and the settings file rely on,
// the two name tables, identifiers, and shortcut-file hotkey words.
#include "base/hotkey_text.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <string>

namespace pt {
namespace {

TEST(HotkeyTextTest, LookupHoldsExactlyTheMainKeyNames) {
    KeyLookup lookup;
    // Enter, Space, 4 paging keys, 4 arrows, digits, letters, NumPad0-9, F1-F12, `.
    EXPECT_EQ(lookup.Size(), 69u);
    EXPECT_EQ(lookup.Find("Space"), 0x20u);
    EXPECT_EQ(lookup.Find("Left"), 0x25u);
    EXPECT_EQ(lookup.Find("Enter"), 0x0Du);  // not the keypad's #Enter
    EXPECT_EQ(lookup.Find("Page Down"), 0x22u);
    EXPECT_EQ(lookup.Find("NumPad7"), 0x67u);
    EXPECT_EQ(lookup.Find("F12"), 0x7Bu);
    EXPECT_EQ(lookup.Find("`"), 0xC0u);
    EXPECT_EQ(lookup.Find("Z"), 0x5Au);
    for (const char* absent :
         {"@Space", "Tab", "#Tab", "ESC", "Win", "a", "f4", "", "右键菜单键"}) {
        EXPECT_EQ(lookup.Find(absent), 0u) << absent;
    }
    EXPECT_EQ(KeyNameEntry(0x5D), "#右键菜单键");
    EXPECT_EQ(KeyName(0x5D), "右键菜单键");
    EXPECT_TRUE(KeyNeverMainKey(0x1B));
    EXPECT_TRUE(KeyNeedsModifier(0x28));
    EXPECT_FALSE(KeyNeedsModifier(0x41));
    EXPECT_EQ(KeyName(0), "");
    EXPECT_EQ(KeyName(0x0A), "");
    EXPECT_EQ(KeyName(223), "");
    EXPECT_EQ(KeyName(-1), "");
}

TEST(HotkeyTextTest, ParsesTheEditorsTextsAndRejectsTheRest) {
    KeyLookup lookup;
    struct Case {
        const char* text;
        uint32_t modifiers;
        uint32_t key;
    } cases[] = {
        {"Ctrl + `", 2, 0xC0},
        {"Shift + Alt + Page Up", 5, 0x21},
        {"Ctrl + Space", 2, 0x20},
        {"Alt + F4", 1, 0x73},
        {"F4", 0, 0x73},
        {"A + Ctrl", 2, 0x41},      // any order
        {"Ctrl + A + B", 2, 0x42},  // last key wins
        {"Ctrl + A + Foo", 2, 0},   // ... also an unknown one
        {"Ctrl + Shift + Alt + Ctrl + 1", 7, 0x31},
        {"Ctrl + ", 2, 0},
        {"无", 0, 0},
        {"", 0, 0},
        {"ctrl + a", 0, 0},    // exact case only
        {"Ctrl+A", 0, 0},      // the separator has blanks
        {"Ctrl + Tab", 2, 0},  // "#" keys never count
    };
    for (const Case& c : cases) {
        HotkeyCombo combo = ParseHotkeyText(c.text, lookup);
        EXPECT_EQ(combo.modifiers, c.modifiers) << c.text;
        EXPECT_EQ(combo.keyCode, c.key) << c.text;
    }
}

TEST(HotkeyTextTest, FormatRoundTripsEveryComboInEditorOrder) {
    KeyLookup lookup;
    EXPECT_EQ(FormatHotkeyText(7, 'A'), "Ctrl + Shift + Alt + A");
    EXPECT_EQ(FormatHotkeyText(kHotkeyCtrl, 0xC0), "Ctrl + `");
    EXPECT_EQ(FormatHotkeyText(0, 0x20), "Space");
    EXPECT_EQ(FormatHotkeyText(kHotkeyShift, 0), "Shift + ");
    for (int vk = 1; vk <= kLastNamedKey; ++vk) {
        if (lookup.Find(KeyName(vk)) != static_cast<uint32_t>(vk))
            continue;
        for (uint32_t m = 0; m < 8; ++m) {
            HotkeyCombo combo = ParseHotkeyText(FormatHotkeyText(m, vk), lookup);
            EXPECT_EQ(combo.modifiers, m);
            EXPECT_EQ(combo.keyCode, static_cast<uint32_t>(vk));
        }
    }
}

uint32_t ZlibCrcOfUtf16(const std::u16string& text) {
    std::string bytes;
    for (char16_t c : text) {
        bytes += static_cast<char>(c & 0xFF);
        bytes += static_cast<char>(c >> 8);
    }
    bytes.append(2, '\0');
    return static_cast<uint32_t>(
        crc32(0, reinterpret_cast<const Bytef*>(bytes.data()), static_cast<uInt>(bytes.size())));
}

TEST(HotkeyTextTest, IdentifiersAreCrcOfTheUtf16NameAndFoldApart) {
    EXPECT_EQ(HotkeyIdentifier("Pinatrove"), ZlibCrcOfUtf16(u"Pinatrove"));
    EXPECT_EQ(HotkeyIdentifier("Camera"), ZlibCrcOfUtf16(u"Camera"));
    EXPECT_EQ(HotkeyIdentifier("热键"), ZlibCrcOfUtf16(u"热键"));
    EXPECT_EQ(HotkeyIdentifier(""), ZlibCrcOfUtf16(u""));
    EXPECT_NE(HotkeyIdentifier("Pinatrove"), HotkeyIdentifier("Camera"));
    for (const char* name : {"Pinatrove", "Camera"}) {
        int id = HotkeyRegistrationId(name);
        EXPECT_GE(id, 0);
        EXPECT_LT(id, 0xC000);
        EXPECT_EQ(static_cast<uint32_t>(id), HotkeyIdentifier(name) % 0xC000);
    }
    EXPECT_NE(HotkeyRegistrationId("Pinatrove"), HotkeyRegistrationId("Camera"));
}

TEST(HotkeyTextTest, ShortcutHotkeyWordsToTextAndBack) {
    EXPECT_EQ(LinkHotkeyText(0), "");
    EXPECT_EQ(LinkHotkeyText(0x0641), "Ctrl + Alt + A");
    EXPECT_EQ(LinkHotkeyText(0x0741), "Shift + Ctrl + Alt + A");  // Shift first here
    EXPECT_EQ(LinkHotkeyText(0x0160), "Shift + Num 0");
    EXPECT_EQ(LinkHotkeyText(0x026E), "Ctrl + Num Del");
    EXPECT_EQ(LinkHotkeyText(0x026C), "Ctrl + Enter");
    EXPECT_EQ(LinkHotkeyText(0x02BA), "Ctrl + ;");
    EXPECT_EQ(LinkHotkeyText(0x04BF), "Alt + /");
    EXPECT_EQ(LinkHotkeyText(0x0214), "Ctrl + Caps Lock");  // markers dropped
    EXPECT_EQ(LinkHotkeyText(0x0300), "Shift + Ctrl + ");
    EXPECT_EQ(LinkHotkeyText(0x0070), "F1");
    EXPECT_EQ(LinkHotkeyText(0x02F0), "Ctrl + ");  // key without a name
    EXPECT_EQ(LinkHotkeyTextFromBytes(std::string("\x41\x02", 2)), "Ctrl + A");
    EXPECT_EQ(LinkHotkeyTextFromBytes(std::string("\x41\x02\x00", 3)), "");
    EXPECT_EQ(LinkHotkeyTextFromBytes("A"), "");

    uint16_t word = 1;
    EXPECT_TRUE(ParseLinkHotkeyText("", &word));
    EXPECT_EQ(word, 0);
    EXPECT_TRUE(ParseLinkHotkeyText("ctrl+alt+a", &word));
    EXPECT_EQ(word, 0x0641);
    EXPECT_TRUE(ParseLinkHotkeyText("CONTROL + Shift + F5", &word));
    EXPECT_EQ(word, 0x0374);
    EXPECT_TRUE(ParseLinkHotkeyText("Ctrl + Num +", &word));
    EXPECT_EQ(word, 0x026B);
    EXPECT_FALSE(ParseLinkHotkeyText("Ctrl + ", &word));
    EXPECT_FALSE(ParseLinkHotkeyText("Ctrl + Foo", &word));
    for (unsigned flags = 0; flags < 8; ++flags) {
        for (int vk = 1; vk <= kLastNamedKey; ++vk) {
            if (LinkKeyName(vk).empty() || vk == 0x6C)
                continue;  // 0x6C shares "Enter"
            uint16_t original = static_cast<uint16_t>(flags << 8 | static_cast<unsigned>(vk));
            ASSERT_TRUE(ParseLinkHotkeyText(LinkHotkeyText(original), &word)) << original;
            EXPECT_EQ(word, original) << LinkHotkeyText(original);
        }
    }
}

}  // namespace
}  // namespace pt
