// Move-only owners for Win32 handles and COM pointers. Every handle the
// program obtains is held by one of these, so nothing is released twice or
// forgotten on an early return. Windows-only.
#pragma once

#include <windows.h>
#include <objbase.h>
#include <ole2.h>
#include <unknwn.h>

#include <utility>

namespace pt {

// Owner of one handle of a kind described by Traits:
//   using Type = ...; static Type Invalid(); static bool IsValid(Type);
//   static void Close(Type);
template <typename Traits>
class UniqueHandle {
  public:
    using Type = typename Traits::Type;

    UniqueHandle() noexcept : handle_(Traits::Invalid()) {}
    explicit UniqueHandle(Type handle) noexcept : handle_(handle) {}
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.Release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other)
            Reset(other.Release());
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    ~UniqueHandle() { Reset(); }

    Type Get() const noexcept { return handle_; }
    explicit operator bool() const noexcept { return Traits::IsValid(handle_); }
    Type Release() noexcept { return std::exchange(handle_, Traits::Invalid()); }
    void Reset(Type handle = Traits::Invalid()) noexcept {
        Type old = std::exchange(handle_, handle);
        if (Traits::IsValid(old))
            Traits::Close(old);
    }

  private:
    Type handle_;
};

namespace handle_traits {

// Kernel handles use two "no handle" values: NULL (CreateFileMapping,
// OpenProcess) and INVALID_HANDLE_VALUE (CreateFile); both mean empty here.
struct Kernel {
    using Type = HANDLE;
    static Type Invalid() { return nullptr; }
    static bool IsValid(Type h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void Close(Type h) { ::CloseHandle(h); }
};
struct FindFile {
    using Type = HANDLE;
    static Type Invalid() { return INVALID_HANDLE_VALUE; }
    static bool IsValid(Type h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void Close(Type h) { ::FindClose(h); }
};
struct Module {
    using Type = HMODULE;
    static Type Invalid() { return nullptr; }
    static bool IsValid(Type h) { return h != nullptr; }
    static void Close(Type h) { ::FreeLibrary(h); }
};
struct Icon {
    using Type = HICON;
    static Type Invalid() { return nullptr; }
    static bool IsValid(Type h) { return h != nullptr; }
    static void Close(Type h) { ::DestroyIcon(h); }
};
struct Menu {
    using Type = HMENU;
    static Type Invalid() { return nullptr; }
    static bool IsValid(Type h) { return h != nullptr; }
    static void Close(Type h) { ::DestroyMenu(h); }
};
template <typename T>
struct GdiObject {
    using Type = T;
    static Type Invalid() { return nullptr; }
    static bool IsValid(Type h) { return h != nullptr; }
    static void Close(Type h) { ::DeleteObject(h); }
};
struct MemoryDc {
    using Type = HDC;
    static Type Invalid() { return nullptr; }
    static bool IsValid(Type h) { return h != nullptr; }
    static void Close(Type h) { ::DeleteDC(h); }
};
struct MappedView {
    using Type = void*;
    static Type Invalid() { return nullptr; }
    static bool IsValid(Type h) { return h != nullptr; }
    static void Close(Type h) { ::UnmapViewOfFile(h); }
};
struct RegKey {
    using Type = HKEY;
    static Type Invalid() { return nullptr; }
    static bool IsValid(Type h) { return h != nullptr; }
    static void Close(Type h) { ::RegCloseKey(h); }
};
struct Window {
    using Type = HWND;
    static Type Invalid() { return nullptr; }
    static bool IsValid(Type h) { return h != nullptr; }
    static void Close(Type h) { ::DestroyWindow(h); }
};
struct GlobalMemory {
    using Type = HGLOBAL;
    static Type Invalid() { return nullptr; }
    static bool IsValid(Type h) { return h != nullptr; }
    static void Close(Type h) { ::GlobalFree(h); }
};

// Blocks a system call allocated for the caller (FormatMessage's buffer).
struct LocalMemory {
    using Type = HLOCAL;
    static Type Invalid() { return nullptr; }
    static bool IsValid(Type h) { return h != nullptr; }
    static void Close(Type h) { ::LocalFree(h); }
};
struct Hook {
    using Type = HHOOK;
    static Type Invalid() { return nullptr; }
    static bool IsValid(Type h) { return h != nullptr; }
    static void Close(Type h) { ::UnhookWindowsHookEx(h); }
};

// Blocks the shell allocates with the COM allocator (item ID lists).
struct CoTaskMemory {
    using Type = void*;
    static Type Invalid() { return nullptr; }
    static bool IsValid(Type h) { return h != nullptr; }
    static void Close(Type h) { ::CoTaskMemFree(h); }
};

}  // namespace handle_traits

using UniqueKernelHandle = UniqueHandle<handle_traits::Kernel>;
using UniqueFindHandle = UniqueHandle<handle_traits::FindFile>;
using UniqueModule = UniqueHandle<handle_traits::Module>;
using UniqueIcon = UniqueHandle<handle_traits::Icon>;
using UniqueMenu = UniqueHandle<handle_traits::Menu>;
using UniqueFont = UniqueHandle<handle_traits::GdiObject<HFONT>>;
using UniqueBitmap = UniqueHandle<handle_traits::GdiObject<HBITMAP>>;
using UniqueBrush = UniqueHandle<handle_traits::GdiObject<HBRUSH>>;
using UniquePen = UniqueHandle<handle_traits::GdiObject<HPEN>>;
using UniqueRegion = UniqueHandle<handle_traits::GdiObject<HRGN>>;
using UniqueMemoryDc = UniqueHandle<handle_traits::MemoryDc>;
using UniqueMappedView = UniqueHandle<handle_traits::MappedView>;
using UniqueRegKey = UniqueHandle<handle_traits::RegKey>;
using UniqueGlobal = UniqueHandle<handle_traits::GlobalMemory>;
using UniqueCoTaskMemory = UniqueHandle<handle_traits::CoTaskMemory>;
using UniqueLocal = UniqueHandle<handle_traits::LocalMemory>;
using UniqueHook = UniqueHandle<handle_traits::Hook>;
// A window the program made for itself (a message-only window, say); toolkit
// windows belong to the toolkit.
using UniqueWindow = UniqueHandle<handle_traits::Window>;

// A window's device context from GetDC, given back with ReleaseDC.
class WindowDc {
  public:
    explicit WindowDc(HWND window) noexcept : window_(window), dc_(::GetDC(window)) {}
    WindowDc(WindowDc&& other) noexcept
        : window_(other.window_), dc_(std::exchange(other.dc_, nullptr)) {}
    WindowDc& operator=(WindowDc&&) = delete;
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    ~WindowDc() {
        if (dc_)
            ::ReleaseDC(window_, dc_);
    }
    HDC Get() const noexcept { return dc_; }
    explicit operator bool() const noexcept { return dc_ != nullptr; }

  private:
    HWND window_;
    HDC dc_;
};

// The clipboard, open for one scope (OpenClipboard succeeded) and closed
// again at its end.
class OpenClipboardScope {
  public:
    explicit OpenClipboardScope(bool opened) noexcept : open_(opened) {}
    OpenClipboardScope(const OpenClipboardScope&) = delete;
    OpenClipboardScope& operator=(const OpenClipboardScope&) = delete;
    ~OpenClipboardScope() {
        if (open_)
            ::CloseClipboard();
    }
    explicit operator bool() const noexcept { return open_; }

  private:
    bool open_;
};

// Selects an object into a DC for one scope and puts the old one back.
class ScopedSelect {
  public:
    ScopedSelect(HDC dc, HGDIOBJ object) noexcept : dc_(dc), old_(::SelectObject(dc, object)) {}
    ScopedSelect(const ScopedSelect&) = delete;
    ScopedSelect& operator=(const ScopedSelect&) = delete;
    ~ScopedSelect() {
        if (old_ && old_ != HGDI_ERROR)
            ::SelectObject(dc_, old_);
    }

  private:
    HDC dc_;
    HGDIOBJ old_;
};

// Owner of one COM interface pointer.
template <typename T>
class ComPtr {
  public:
    ComPtr() noexcept = default;
    explicit ComPtr(T* p) noexcept : p_(p) {}  // takes over a reference
    ComPtr(const ComPtr& other) noexcept : p_(other.p_) {
        if (p_)
            p_->AddRef();
    }
    ComPtr(ComPtr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
    ComPtr& operator=(ComPtr other) noexcept {
        std::swap(p_, other.p_);
        return *this;
    }
    ~ComPtr() { Reset(); }

    T* Get() const noexcept { return p_; }
    T* operator->() const noexcept { return p_; }
    explicit operator bool() const noexcept { return p_ != nullptr; }
    void Reset() noexcept {
        if (T* p = std::exchange(p_, nullptr))
            p->Release();
    }
    T* Detach() noexcept { return std::exchange(p_, nullptr); }
    // For out-parameters: releases what is held and returns the slot.
    T** Put() noexcept {
        Reset();
        return &p_;
    }
    void** PutVoid() noexcept { return reinterpret_cast<void**>(Put()); }

    template <typename U>
    ComPtr<U> As(REFIID iid) const noexcept {
        ComPtr<U> other;
        if (p_)
            p_->QueryInterface(iid, other.PutVoid());
        return other;
    }

  private:
    T* p_ = nullptr;
};

// CoInitializeEx / OleInitialize for one scope, undone only if it succeeded.
class ScopedCom {
  public:
    explicit ScopedCom(DWORD model = COINIT_APARTMENTTHREADED) noexcept
        : ok_(SUCCEEDED(::CoInitializeEx(nullptr, model))) {}
    ScopedCom(const ScopedCom&) = delete;
    ScopedCom& operator=(const ScopedCom&) = delete;
    ~ScopedCom() {
        if (ok_)
            ::CoUninitialize();
    }

  private:
    bool ok_;
};

// OleInitialize for one scope (drag and drop needs OLE, not only COM on the
// thread), undone only if it succeeded.
class ScopedOle {
  public:
    ScopedOle() noexcept : ok_(SUCCEEDED(::OleInitialize(nullptr))) {}
    ScopedOle(const ScopedOle&) = delete;
    ScopedOle& operator=(const ScopedOle&) = delete;
    ~ScopedOle() {
        if (ok_)
            ::OleUninitialize();
    }
    bool Ok() const noexcept { return ok_; }

  private:
    bool ok_;
};

}  // namespace pt
