// The capture component as the Camera hotkey runs it: mapped from the exe's
// own resources, called and released, leaving nothing mapped; the overlay
// driven by real input copies the dragged rectangle to the clipboard, and a
// cancelled capture leaves the clipboard alone.
#include "ext/capture_component.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <thread>

#include "ext/memory_module.h"
#include "ext_test_util.h"

namespace pt {
namespace {

using namespace test;

constexpr wchar_t kOverlayClass[] = L"PinatroveCapture";

// The built exe, opened for its resources only.
class AppResources {
  public:
    AppResources()
        : module_(::LoadLibraryExW(BuildPath(PT_APP_EXE).c_str(), nullptr,
                                   LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE)) {}
    ~AppResources() {
        if (module_)
            ::FreeLibrary(module_);
    }
    HMODULE Get() const { return module_; }

  private:
    HMODULE module_;
};

MEMORY_BASIC_INFORMATION Query(const void* address) {
    MEMORY_BASIC_INFORMATION info{};
    ::VirtualQuery(address, &info, sizeof info);
    return info;
}

TEST(CaptureComponentTest, MapsFromTheExeAndReleasesEverythingEachTime) {
    AppResources exe;
    ASSERT_TRUE(exe.Get());
    for (int round = 0; round < 2; ++round) {
        std::unique_ptr<MemoryModule> component = MapCaptureComponent(exe.Get());
        ASSERT_TRUE(component) << "round " << round;
        void* prScrn = component->Export(kCaptureExport);
        ASSERT_NE(prScrn, nullptr);
        EXPECT_EQ(component->Export("prscrn"), nullptr);
        // Code runs and cannot be written; the headers are read-only.
        EXPECT_EQ(Query(prScrn).Protect, static_cast<DWORD>(PAGE_EXECUTE_READ));
        EXPECT_EQ(Query(component->Base()).Protect, static_cast<DWORD>(PAGE_READONLY));
        void* base = component->Base();
        const size_t size = component->Size();
        component.reset();
        // Gone: free, or (32-bit Wine) back in an area Wine keeps reserved
        // for itself, but no longer an allocation of its own.
        const MEMORY_BASIC_INFORMATION after = Query(base);
        EXPECT_TRUE(after.State == MEM_FREE || after.AllocationBase != base)
            << after.State << " " << after.AllocationBase << " " << base;
        EXPECT_NE(after.State, static_cast<DWORD>(MEM_COMMIT));
        EXPECT_GE(after.RegionSize, size);
    }
}

// Runs one capture on this thread while `script` drives it from another
// with real input once the overlay is up. An overlay still there after the
// script is closed, so a failing test ends instead of hanging.
bool CaptureDrivenBy(HMODULE exe, const std::function<void(HWND overlay)>& script) {
    bool sawOverlay = false;
    std::thread input([&] {
        HWND overlay = nullptr;
        for (int i = 0; i < 1000 && !overlay; ++i) {
            overlay = ::FindWindowW(kOverlayClass, nullptr);
            if (!overlay || !::IsWindowVisible(overlay) || ::GetForegroundWindow() != overlay) {
                overlay = nullptr;
                ::Sleep(10);
            }
        }
        if (!overlay)
            return;
        sawOverlay = true;
        script(overlay);
        for (int i = 0; i < 500 && ::IsWindow(overlay) && ::IsWindowVisible(overlay); ++i)
            ::Sleep(10);
        if (::IsWindow(overlay))
            ::PostMessageW(overlay, WM_CLOSE, 0, 0);
    });
    const bool ran = RunScreenCapture(exe);
    input.join();
    return ran && sawOverlay;
}

// A window another test process opens may take the activation meanwhile;
// the key goes to the overlay once it has it back.
void KeyToOverlay(HWND overlay, WORD vk) {
    for (int i = 0; i < 200 && ::GetForegroundWindow() != overlay; ++i) {
        ::SetForegroundWindow(overlay);
        ::Sleep(10);
    }
    TapKey(vk);
}

void DragOnScreen(POINT from, POINT to) {
    EXPECT_TRUE(MovePointer(from.x, from.y));
    SendMouse(MOUSEEVENTF_LEFTDOWN);
    SendMouse(MOUSEEVENTF_MOVE, (from.x + to.x) / 2, (from.y + to.y) / 2);
    EXPECT_TRUE(MovePointer(to.x, to.y));
    SendMouse(MOUSEEVENTF_LEFTUP);
}

// Puts the text "keep" on the clipboard, owned by a window of this test.
void PutMarkerOnClipboard(HWND owner) {
    ASSERT_TRUE(::OpenClipboard(owner));
    ::EmptyClipboard();
    HGLOBAL text = ::GlobalAlloc(GMEM_MOVEABLE, 10);
    std::memcpy(::GlobalLock(text), L"keep", 10);
    ::GlobalUnlock(text);
    ::SetClipboardData(CF_UNICODETEXT, text);
    ::CloseClipboard();
}

TEST(CaptureComponentTest, DraggedRectangleIsCopiedAsBitmapAndPng) {
    AppResources exe;
    ASSERT_TRUE(exe.Get());
    // A copy held here takes the component's preferred place, so the
    // capture below runs a relocated one.
    std::unique_ptr<MemoryModule> placeHolder = MapCaptureComponent(exe.Get());
    ASSERT_TRUE(placeHolder);
    HWND owner = ::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr,
                                   nullptr);
    PutMarkerOnClipboard(owner);
    ASSERT_TRUE(CaptureDrivenBy(exe.Get(), [](HWND overlay) {
        DragOnScreen({100, 100}, {300, 250});
        KeyToOverlay(overlay, VK_RETURN);
    }));
    EXPECT_EQ(::FindWindowW(kOverlayClass, nullptr), nullptr);
    ASSERT_TRUE(::OpenClipboard(owner));
    HANDLE dib = ::GetClipboardData(CF_DIB);
    ASSERT_NE(dib, nullptr);
    const auto* header = static_cast<const BITMAPINFOHEADER*>(::GlobalLock(dib));
    ASSERT_NE(header, nullptr);
    EXPECT_EQ(header->biWidth, 200);
    EXPECT_EQ(header->biHeight, 150);
    ::GlobalUnlock(dib);
    HANDLE png = ::GetClipboardData(::RegisterClipboardFormatW(L"PNG"));
    ASSERT_NE(png, nullptr);
    const auto* bytes = static_cast<const uint8_t*>(::GlobalLock(png));
    ASSERT_NE(bytes, nullptr);
    EXPECT_EQ(std::memcmp(bytes, "\x89PNG", 4), 0);
    ::GlobalUnlock(png);
    EXPECT_FALSE(::IsClipboardFormatAvailable(CF_UNICODETEXT));  // the copy replaced it
    ::CloseClipboard();
    ::DestroyWindow(owner);
}

TEST(CaptureComponentTest, EscapeOrRightClickLeavesTheClipboardAsItWas) {
    AppResources exe;
    ASSERT_TRUE(exe.Get());
    HWND owner = ::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr,
                                   nullptr);
    PutMarkerOnClipboard(owner);
    ASSERT_TRUE(CaptureDrivenBy(exe.Get(), [](HWND overlay) {
        DragOnScreen({120, 120}, {260, 220});
        KeyToOverlay(overlay, VK_ESCAPE);
    }));
    ASSERT_TRUE(CaptureDrivenBy(exe.Get(), [](HWND) {
        DragOnScreen({120, 120}, {260, 220});
        SendMouse(MOUSEEVENTF_RIGHTDOWN);
        SendMouse(MOUSEEVENTF_RIGHTUP);
    }));
    EXPECT_EQ(::FindWindowW(kOverlayClass, nullptr), nullptr);
    ASSERT_TRUE(::OpenClipboard(owner));
    EXPECT_FALSE(::IsClipboardFormatAvailable(CF_DIB));
    HANDLE text = ::GetClipboardData(CF_UNICODETEXT);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(std::wstring(static_cast<const wchar_t*>(::GlobalLock(text))), L"keep");
    ::GlobalUnlock(text);
    ::CloseClipboard();
    ::DestroyWindow(owner);
}

}  // namespace
}  // namespace pt
