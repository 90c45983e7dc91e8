// Hotkey text: the form in which the settings keep a global hotkey
// ("Ctrl + `", "Ctrl + Shift + A", "F4"), the two key-name tables behind it,
// the identifiers under which hotkeys are registered, and the text of the
// 16-bit hotkey word stored in shortcut (.lnk) files. Pure: no Windows calls.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>

namespace pt {

// Modifier flags as RegisterHotKey takes them (MOD_ALT, MOD_CONTROL, MOD_SHIFT).
inline constexpr uint32_t kHotkeyAlt = 1;
inline constexpr uint32_t kHotkeyCtrl = 2;
inline constexpr uint32_t kHotkeyShift = 4;

// Flags of the high byte of a shortcut file's hotkey word (HOTKEYF_*).
inline constexpr uint8_t kLinkHotkeyShift = 1;
inline constexpr uint8_t kLinkHotkeyCtrl = 2;
inline constexpr uint8_t kLinkHotkeyAlt = 4;

inline constexpr int kLastNamedKey = 222;  // both tables cover codes 1 to 222

// The parts of a hotkey text are joined by this.
inline constexpr std::string_view kHotkeySeparator = " + ";
// The hotkey text that stands for no hotkey.
inline constexpr std::string_view kNoHotkeyText = "无";

// Name of virtual key vk as stored in the key-name table, including its
// marker: "#" never a hotkey's main key, "@" main key only with a modifier.
// Empty for unnamed keys and for vk outside 1..222.
std::string_view KeyNameEntry(int vk);
// The displayed name: the table entry without its marker.
std::string_view KeyName(int vk);
// Marker tests of the key-name table entry of vk.
bool KeyNeverMainKey(int vk);
bool KeyNeedsModifier(int vk);

// Name of virtual key vk in the second table, used for the hotkeys of
// shortcut files: no markers, and other names on the numeric pad and the
// OEM punctuation keys. Empty when unnamed or out of range.
std::string_view LinkKeyName(int vk);

// Name -> virtual-key code for every key that may be a hotkey's main key
// (entries of the key-name table without "#", "@" dropped). Exact,
// case-sensitive matching.
class KeyLookup {
  public:
    KeyLookup();
    // 0 when the name is not a main-key name.
    uint32_t Find(std::string_view name) const;
    size_t Size() const { return codes_.size(); }

  private:
    std::unordered_map<std::string, uint32_t> codes_;
};

struct HotkeyCombo {
    uint32_t modifiers = 0;  // kHotkeyAlt | kHotkeyCtrl | kHotkeyShift
    uint32_t keyCode = 0;    // 0: no valid main key
};

// Splits text at every " + ": "Ctrl", "Shift" and "Alt" (exact case) add
// their flag, any other part sets the key code from the lookup (0 when
// unknown), the last such part winning. "无", "" and modifier-only texts give
// key code 0, which callers treat as "no hotkey".
HotkeyCombo ParseHotkeyText(std::string_view text, const KeyLookup& lookup);

// The editor's form: modifiers in the order Ctrl, Shift, Alt, then the key's
// displayed name. Key code 0 or an unnamed key gives the modifiers alone
// (ending in " + ") so the editor can show a combination being typed.
std::string FormatHotkeyText(uint32_t modifiers, uint32_t keyCode);

// Identifier of a hotkey entry for RegisterHotKey and WM_HOTKEY: CRC-32 over
// the entry name as UTF-16LE including its terminating zero character. The
// full 32-bit value; see HotkeyRegistrationId for the value passed to the OS.
uint32_t HotkeyIdentifier(std::string_view entryName);

// The identifier as registered: RegisterHotKey takes an int and applications
// are meant to stay in 0x0000..0xBFFF, so the CRC is folded into that range
// (value mod 0xC000). Deterministic, so WM_HOTKEY compares against it.
int HotkeyRegistrationId(std::string_view entryName);

// Text of a shortcut file's hotkey word (low byte virtual key, high byte
// kLinkHotkey* flags): "Shift + ", "Ctrl + ", "Alt + " in that order for the
// set flags, then the key's name from the second table. 0 gives "".
std::string LinkHotkeyText(uint16_t word);
// The same from a raw buffer: anything but exactly 2 bytes (little-endian)
// gives "".
std::string LinkHotkeyTextFromBytes(std::string_view bytes);

// Reads a shortcut hotkey text back into its word, for writing shortcut
// files. Accepts the text of LinkHotkeyText and FormatHotkeyText, parts in any
// order, separators "+" with or without blanks, modifier and key names in any
// letter case ("Control" also for Ctrl). "" gives word 0. False when a part is
// not understood or a modifier comes without a key.
bool ParseLinkHotkeyText(std::string_view text, uint16_t* word);

}  // namespace pt
