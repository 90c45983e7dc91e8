// Global hotkeys registered for real against a window: the combination the
// system receives, refusals, and what a failed or repeated registration does
// to the previous one.
#include "settings/hotkeys.h"

#include <gtest/gtest.h>

namespace pt {
namespace {

class HotkeyWindowTest : public testing::Test {
protected:
    void SetUp() override {
        window_ = ::CreateWindowExW(0, L"STATIC", L"hotkeys", WS_POPUP, 0, 0, 10, 10, nullptr,
                                    nullptr, nullptr, nullptr);
        ASSERT_NE(window_, nullptr);
    }
    void TearDown() override {
        UnregisterHotkeyFor(window_, "Pinatrove");
        UnregisterHotkeyFor(window_, "Camera");
        ::DestroyWindow(window_);
    }
    // Whether the system still holds this combination for someone: another
    // registration of it must then fail with ERROR_HOTKEY_ALREADY_REGISTERED.
    bool Taken(UINT modifiers, UINT key) {
        if (::RegisterHotKey(window_, kProbeId, modifiers, key)) {
            ::UnregisterHotKey(window_, kProbeId);
            return false;
        }
        EXPECT_EQ(::GetLastError(), DWORD{ERROR_HOTKEY_ALREADY_REGISTERED});
        return true;
    }
    static constexpr int kProbeId = 0x0101;
    HWND window_ = nullptr;
    KeyLookup lookup_;
};

TEST_F(HotkeyWindowTest, RegistersTheParsedCombination) {
    ASSERT_TRUE(RegisterHotkeyFor(window_, "Pinatrove", "Ctrl + `", lookup_));
    EXPECT_TRUE(Taken(MOD_CONTROL, 0xC0));
    ASSERT_TRUE(RegisterHotkeyFor(window_, "Camera", "Shift + Alt + Page Up", lookup_));
    EXPECT_TRUE(Taken(MOD_SHIFT | MOD_ALT, VK_PRIOR));
    EXPECT_FALSE(Taken(MOD_ALT, VK_PRIOR));

    // The same entry again: the old registration is withdrawn first, so it
    // succeeds and the old combination becomes free.
    ASSERT_TRUE(RegisterHotkeyFor(window_, "Pinatrove", "Ctrl + Space", lookup_));
    EXPECT_TRUE(Taken(MOD_CONTROL, VK_SPACE));
    EXPECT_FALSE(Taken(MOD_CONTROL, 0xC0));

    UnregisterHotkeyFor(window_, "Camera");
    EXPECT_FALSE(Taken(MOD_SHIFT | MOD_ALT, VK_PRIOR));
}

TEST_F(HotkeyWindowTest, TextWithoutAKeyFailsAndKeepsTheOldRegistration) {
    ASSERT_TRUE(RegisterHotkeyFor(window_, "Pinatrove", "Ctrl + `", lookup_));
    for (const char* text : {"Ctrl + ", "无", "", "ctrl + a", "Ctrl + Tab"}) {
        EXPECT_FALSE(RegisterHotkeyFor(window_, "Pinatrove", text, lookup_)) << text;
        EXPECT_TRUE(Taken(MOD_CONTROL, 0xC0)) << text;
    }
    EXPECT_FALSE(RegisterHotkeyFor(window_, "", "Ctrl + A", lookup_));
}

TEST_F(HotkeyWindowTest, CombinationHeldElsewhereIsRefused) {
    ASSERT_TRUE(::RegisterHotKey(window_, kProbeId, MOD_CONTROL | MOD_ALT, 'K'));
    EXPECT_FALSE(RegisterHotkeyFor(window_, "Camera", "Ctrl + Alt + K", lookup_));
    EXPECT_EQ(::GetLastError(), DWORD{ERROR_HOTKEY_ALREADY_REGISTERED});
    ::UnregisterHotKey(window_, kProbeId);
    EXPECT_TRUE(RegisterHotkeyFor(window_, "Camera", "Ctrl + Alt + K", lookup_));
}

TEST_F(HotkeyWindowTest, KeyPressArrivesWithTheEntrysIdentifier) {
    ASSERT_TRUE(RegisterHotkeyFor(window_, "Camera", "Ctrl + Shift + F9", lookup_));
    INPUT inputs[6] = {};
    const WORD keys[3] = {VK_CONTROL, VK_SHIFT, VK_F9};
    for (int i = 0; i < 3; ++i) {
        inputs[i].type = INPUT_KEYBOARD;
        inputs[i].ki.wVk = keys[i];
        inputs[5 - i].type = INPUT_KEYBOARD;
        inputs[5 - i].ki.wVk = keys[i];
        inputs[5 - i].ki.dwFlags = KEYEVENTF_KEYUP;
    }
    ASSERT_EQ(::SendInput(6, inputs, sizeof(INPUT)), 6u);
    MSG msg;
    bool got = false;
    const ULONGLONG deadline = ::GetTickCount64() + 3000;
    while (!got && ::GetTickCount64() < deadline) {
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_HOTKEY) {
                got = true;
                EXPECT_EQ(msg.wParam, static_cast<WPARAM>(HotkeyRegistrationId("Camera")));
                EXPECT_EQ(LOWORD(msg.lParam), MOD_CONTROL | MOD_SHIFT);
                EXPECT_EQ(HIWORD(msg.lParam), VK_F9);
            }
            ::DispatchMessageW(&msg);
        }
    }
    EXPECT_TRUE(got) << "no WM_HOTKEY within 3 s";
}

}  // namespace
}  // namespace pt
