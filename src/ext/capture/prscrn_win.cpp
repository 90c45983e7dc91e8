// The screen-capture component, PrScrn.dll: a DLL of its own that the exe
// carries as a resource and maps from memory when the Camera hotkey fires.
// Its one export, PrScrn, freezes every monitor into a full-screen topmost
// overlay, dimmed; the user drags a rectangle (its size shown beside it),
// moves (also by the arrow keys) or resizes it, and then
//   Enter or a double click  copies it to the clipboard (CF_DIB and "PNG"),
//   Ctrl+S                   saves it as a PNG file (the file-save dialog),
//   Esc or a right click     cancels.
// PrScrn runs its own message loop on the calling thread and returns when
// the user is done, leaving no window, class, GDI object or thread behind.
//
// The system loader never sees this DLL, so nothing here may rely on
// GetModuleHandle or resources of its own, and no exception may be thrown
// (the 32-bit build's unwind tables are not registered for a mapped image).
#include <windows.h>
#include <objidl.h>
#include <shobjidl.h>
#include <gdiplus.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <utility>
#include <vector>

#include "base/win_handles.h"
#include "ext/capture/selection.h"

namespace {

using pt::capture::Point;
using pt::capture::Rect;
using pt::capture::Selection;
using pt::capture::Zone;
namespace gp = Gdiplus::DllExports;

constexpr wchar_t kClassName[] = L"PinatroveCapture";
constexpr COLORREF kFrameColour = RGB(0x1E, 0x90, 0xFF);
constexpr wchar_t kHint[] = L"拖动鼠标选择区域  ·  Enter 或双击复制  ·  Ctrl+S 保存  ·  Esc 取消";

// A 32-bit top-down DIB section and the memory DC it is selected into.
struct Canvas {
    pt::UniqueMemoryDc dc;
    pt::UniqueBitmap bitmap;
    HGDIOBJ old = nullptr;
    uint32_t* bits = nullptr;
    int width = 0;
    int height = 0;

    bool Create(HDC reference, int w, int h) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = w;
        info.bmiHeader.biHeight = -h;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* p = nullptr;
        bitmap.Reset(::CreateDIBSection(reference, &info, DIB_RGB_COLORS, &p, nullptr, 0));
        dc.Reset(::CreateCompatibleDC(reference));
        if (!bitmap || !dc)
            return false;
        old = ::SelectObject(dc.Get(), bitmap.Get());
        bits = static_cast<uint32_t*>(p);
        width = w;
        height = h;
        return true;
    }
    ~Canvas() {
        if (old)
            ::SelectObject(dc.Get(), old);
    }
};

struct Overlay {
    Overlay(int x, int y, int w, int h) : origin{x, y}, selection(Rect{0, 0, w, h}) {}

    Point origin;  // the virtual screen's top-left in screen coordinates
    Canvas frozen;
    Canvas dimmed;
    Canvas back;
    pt::UniqueFont font;
    Selection selection;
    HWND hwnd = nullptr;
    bool done = false;
    bool confirmOnRelease = false;  // a double click copies once the button is up
};

// ---- The picture of the selection -----------------------------------------

// The selected pixels as a bottom-up 24-bit DIB: header and rows.
std::vector<uint8_t> SelectionDib(const Overlay& o, const Rect& r) {
    const int w = r.Width();
    const int h = r.Height();
    const size_t stride = (static_cast<size_t>(w) * 3 + 3) & ~size_t{3};
    std::vector<uint8_t> dib(sizeof(BITMAPINFOHEADER) + stride * h);
    BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = w;
    header.biHeight = h;
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    header.biSizeImage = static_cast<DWORD>(stride * h);
    std::memcpy(dib.data(), &header, sizeof header);
    for (int y = 0; y < h; ++y) {
        uint8_t* row = dib.data() + sizeof header + stride * (h - 1 - y);
        const uint32_t* source = o.frozen.bits + static_cast<size_t>(r.top + y) * o.frozen.width;
        for (int x = 0; x < w; ++x) {
            const uint32_t px = source[r.left + x];
            row[3 * x] = static_cast<uint8_t>(px);
            row[3 * x + 1] = static_cast<uint8_t>(px >> 8);
            row[3 * x + 2] = static_cast<uint8_t>(px >> 16);
        }
    }
    return dib;
}

bool FindPngEncoder(CLSID* clsid) {
    UINT count = 0, bytes = 0;
    if (gp::GdipGetImageEncodersSize(&count, &bytes) != Gdiplus::Ok || bytes == 0)
        return false;
    std::vector<uint8_t> buffer(bytes);
    auto* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
    if (gp::GdipGetImageEncoders(count, bytes, codecs) != Gdiplus::Ok)
        return false;
    for (UINT i = 0; i < count; ++i) {
        if (codecs[i].MimeType && std::wcscmp(codecs[i].MimeType, L"image/png") == 0) {
            *clsid = codecs[i].Clsid;
            return true;
        }
    }
    return false;
}

// The selection encoded as PNG; empty when GDI+ cannot.
std::vector<uint8_t> SelectionPng(const Overlay& o, const Rect& r) {
    std::vector<uint8_t> png;
    CLSID encoder{};
    if (!FindPngEncoder(&encoder))
        return png;
    const uint32_t* first = o.frozen.bits + static_cast<size_t>(r.top) * o.frozen.width + r.left;
    Gdiplus::GpBitmap* bitmap = nullptr;
    if (gp::GdipCreateBitmapFromScan0(
            r.Width(), r.Height(), o.frozen.width * 4, PixelFormat32bppRGB,
            reinterpret_cast<BYTE*>(const_cast<uint32_t*>(first)), &bitmap) != Gdiplus::Ok)
        return png;
    pt::ComPtr<IStream> stream;
    if (SUCCEEDED(::CreateStreamOnHGlobal(nullptr, TRUE, stream.Put())) &&
        gp::GdipSaveImageToStream(bitmap, stream.Get(), &encoder, nullptr) == Gdiplus::Ok) {
        STATSTG stat{};
        HGLOBAL global = nullptr;
        if (SUCCEEDED(stream->Stat(&stat, STATFLAG_NONAME)) &&
            SUCCEEDED(::GetHGlobalFromStream(stream.Get(), &global)) &&
            stat.cbSize.QuadPart <= ::GlobalSize(global)) {
            if (const void* data = ::GlobalLock(global)) {
                const auto* b = static_cast<const uint8_t*>(data);
                png.assign(b, b + static_cast<size_t>(stat.cbSize.QuadPart));
                ::GlobalUnlock(global);
            }
        }
    }
    gp::GdipDisposeImage(bitmap);
    return png;
}

pt::UniqueGlobal GlobalCopy(const std::vector<uint8_t>& bytes) {
    pt::UniqueGlobal global(::GlobalAlloc(GMEM_MOVEABLE, bytes.size()));
    if (!global)
        return global;
    void* p = ::GlobalLock(global.Get());
    if (!p)
        return pt::UniqueGlobal();
    std::memcpy(p, bytes.data(), bytes.size());
    ::GlobalUnlock(global.Get());
    return global;
}

bool CopyToClipboard(const Overlay& o) {
    const Rect r = o.selection.Current();
    pt::UniqueGlobal dib = GlobalCopy(SelectionDib(o, r));
    const std::vector<uint8_t> pngBytes = SelectionPng(o, r);
    pt::UniqueGlobal png = pngBytes.empty() ? pt::UniqueGlobal() : GlobalCopy(pngBytes);
    if (!dib)
        return false;
    // Another program may hold the clipboard for a moment: up to a second.
    bool open = false;
    for (int attempt = 0; attempt < 50 && !(open = ::OpenClipboard(o.hwnd)); ++attempt)
        ::Sleep(20);
    if (!open)
        return false;
    ::EmptyClipboard();
    // The clipboard owns a block once SetClipboardData accepts it.
    if (::SetClipboardData(CF_DIB, dib.Get()))
        dib.Release();
    if (png && ::SetClipboardData(::RegisterClipboardFormatW(L"PNG"), png.Get()))
        png.Release();
    ::CloseClipboard();
    return true;
}

// Asks for a file name and writes the selection there as PNG. False when the
// user cancelled or the file could not be written (the overlay stays).
bool SaveAs(const Overlay& o) {
    pt::ComPtr<IFileSaveDialog> dialog;
    if (FAILED(::CoCreateInstance(CLSID_FileSaveDialog, nullptr, CLSCTX_INPROC_SERVER,
                                  IID_IFileSaveDialog, dialog.PutVoid())))
        return false;
    const COMDLG_FILTERSPEC types[] = {{L"PNG 图片", L"*.png"}};
    dialog->SetFileTypes(1, types);
    dialog->SetDefaultExtension(L"png");
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    wchar_t name[64];
    std::swprintf(name, 64, L"截图_%04u%02u%02u_%02u%02u%02u.png", now.wYear, now.wMonth, now.wDay,
                  now.wHour, now.wMinute, now.wSecond);
    dialog->SetFileName(name);
    if (FAILED(dialog->Show(o.hwnd)))
        return false;
    pt::ComPtr<IShellItem> item;
    if (FAILED(dialog->GetResult(item.Put())))
        return false;
    wchar_t* path = nullptr;
    if (FAILED(item->GetDisplayName(SIGDN_FILESYSPATH, &path)))
        return false;
    pt::UniqueCoTaskMemory pathOwner(path);
    const std::vector<uint8_t> png = SelectionPng(o, o.selection.Current());
    bool written = false;
    if (!png.empty()) {
        pt::UniqueKernelHandle file(::CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                                  FILE_ATTRIBUTE_NORMAL, nullptr));
        DWORD count = 0;
        written =
            file &&
            ::WriteFile(file.Get(), png.data(), static_cast<DWORD>(png.size()), &count, nullptr) &&
            count == png.size();
    }
    if (!written)
        ::MessageBoxW(o.hwnd, L"无法保存截图。", L"屏幕截图", MB_OK | MB_ICONERROR);
    return written;
}

// ---- Painting ---------------------------------------------------------------

void FillBox(HDC dc, const RECT& r, COLORREF colour) {
    pt::UniqueBrush brush(::CreateSolidBrush(colour));
    ::FillRect(dc, &r, brush.Get());
}

void DrawLabel(HDC dc, const wchar_t* text, int x, int y) {
    SIZE size{};
    ::GetTextExtentPoint32W(dc, text, static_cast<int>(std::wcslen(text)), &size);
    const RECT box{x, y, x + size.cx + 12, y + size.cy + 6};
    FillBox(dc, box, RGB(0x20, 0x20, 0x20));
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, RGB(0xFF, 0xFF, 0xFF));
    ::TextOutW(dc, x + 6, y + 3, text, static_cast<int>(std::wcslen(text)));
}

void Paint(Overlay& o, HDC target) {
    HDC dc = o.back.dc.Get();
    const int w = o.back.width;
    const int h = o.back.height;
    ::BitBlt(dc, 0, 0, w, h, o.dimmed.dc.Get(), 0, 0, SRCCOPY);
    HGDIOBJ oldFont = ::SelectObject(dc, o.font.Get());
    if (!o.selection.Has()) {
        SIZE size{};
        ::GetTextExtentPoint32W(dc, kHint, static_cast<int>(std::wcslen(kHint)), &size);
        DrawLabel(dc, kHint, (w - size.cx) / 2 - 6, 24);
    } else {
        const Rect r = o.selection.Current();
        ::BitBlt(dc, r.left, r.top, r.Width(), r.Height(), o.frozen.dc.Get(), r.left, r.top,
                 SRCCOPY);
        const RECT frame{r.left - 1, r.top - 1, r.right + 1, r.bottom + 1};
        pt::UniqueBrush border(::CreateSolidBrush(kFrameColour));
        ::FrameRect(dc, &frame, border.Get());
        const int xs[3] = {r.left, (r.left + r.right) / 2, r.right};
        const int ys[3] = {r.top, (r.top + r.bottom) / 2, r.bottom};
        for (int i = 0; i < 3; ++i) {
            for (int j = 0; j < 3; ++j) {
                if (i == 1 && j == 1)
                    continue;
                const RECT grip{xs[i] - 3, ys[j] - 3, xs[i] + 3, ys[j] + 3};
                FillBox(dc, grip, kFrameColour);
            }
        }
        wchar_t text[48];
        std::swprintf(text, 48, L"%d × %d", r.Width(), r.Height());
        // Above the rectangle when there is room, else just inside it.
        const int labelY = r.top >= 30 ? r.top - 28 : r.top + 4;
        DrawLabel(dc, text, r.left, labelY);
    }
    ::SelectObject(dc, oldFont);
    ::BitBlt(target, 0, 0, w, h, dc, 0, 0, SRCCOPY);
}

LPCWSTR CursorFor(Zone zone) {
    switch (zone) {
        case Zone::kInside:
            return IDC_SIZEALL;
        case Zone::kLeft:
        case Zone::kRight:
            return IDC_SIZEWE;
        case Zone::kTop:
        case Zone::kBottom:
            return IDC_SIZENS;
        case Zone::kTopLeft:
        case Zone::kBottomRight:
            return IDC_SIZENWSE;
        case Zone::kTopRight:
        case Zone::kBottomLeft:
            return IDC_SIZENESW;
        case Zone::kOutside:
            break;
    }
    return IDC_CROSS;
}

Point PointOf(LPARAM lParam) {
    return Point{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
}

// ---- The overlay window -----------------------------------------------------

void Finish(Overlay& o) {
    o.done = true;
    ::ShowWindow(o.hwnd, SW_HIDE);
}

void Confirm(Overlay& o) {
    if (o.selection.Has() && !o.selection.Dragging() && CopyToClipboard(o))
        Finish(o);
}

LRESULT CALLBACK OverlayProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* o = reinterpret_cast<Overlay*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (msg == WM_NCCREATE) {
        o = static_cast<Overlay*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(o));
        o->hwnd = hwnd;
    }
    if (!o || o->done)
        return ::DefWindowProcW(hwnd, msg, wParam, lParam);
    switch (msg) {
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = ::BeginPaint(hwnd, &ps);
            Paint(*o, dc);
            ::EndPaint(hwnd, &ps);
            return 0;
        }
        case WM_SETCURSOR:
            if (LOWORD(lParam) == HTCLIENT) {
                POINT p{};
                ::GetCursorPos(&p);
                ::ScreenToClient(hwnd, &p);
                const Zone zone =
                    o->selection.Dragging() ? Zone::kOutside : o->selection.HitTest({p.x, p.y});
                ::SetCursor(::LoadCursorW(nullptr, CursorFor(zone)));
                return TRUE;
            }
            break;
        case WM_LBUTTONDBLCLK:
            if (o->selection.Has() && o->selection.HitTest(PointOf(lParam)) != Zone::kOutside) {
                // Acting on the release, not here, keeps the button's last
                // message from reaching whatever lies under the overlay.
                o->confirmOnRelease = true;
                ::SetCapture(hwnd);
                return 0;
            }
            [[fallthrough]];
        case WM_LBUTTONDOWN:
            o->selection.Press(PointOf(lParam));
            ::SetCapture(hwnd);
            ::InvalidateRect(hwnd, nullptr, FALSE);
            return 0;
        case WM_MOUSEMOVE:
            if (o->selection.Dragging()) {
                o->selection.Drag(PointOf(lParam));
                ::InvalidateRect(hwnd, nullptr, FALSE);
            }
            return 0;
        case WM_LBUTTONUP:
            o->selection.Release(PointOf(lParam));
            if (::GetCapture() == hwnd)
                ::ReleaseCapture();
            ::InvalidateRect(hwnd, nullptr, FALSE);
            if (std::exchange(o->confirmOnRelease, false))
                Confirm(*o);
            return 0;
        case WM_CAPTURECHANGED:
            if (o->selection.Dragging()) {
                POINT p{};
                ::GetCursorPos(&p);
                ::ScreenToClient(hwnd, &p);
                o->selection.Release({p.x, p.y});
                ::InvalidateRect(hwnd, nullptr, FALSE);
            }
            return 0;
        case WM_RBUTTONDOWN:
            return 0;
        case WM_RBUTTONUP:  // on the release, for the same reason as the double click
            Finish(*o);
            return 0;
        case WM_KEYDOWN:
            if (wParam == VK_LEFT || wParam == VK_RIGHT || wParam == VK_UP || wParam == VK_DOWN) {
                // A pixel at a time, ten with Shift.
                const int step = (::GetKeyState(VK_SHIFT) & 0x8000) ? 10 : 1;
                o->selection.Nudge(wParam == VK_LEFT    ? -step
                                   : wParam == VK_RIGHT ? step
                                                        : 0,
                                   wParam == VK_UP     ? -step
                                   : wParam == VK_DOWN ? step
                                                       : 0);
                ::InvalidateRect(hwnd, nullptr, FALSE);
            } else if (wParam == VK_ESCAPE) {
                Finish(*o);
            } else if (wParam == VK_RETURN) {
                Confirm(*o);
            } else if (wParam == 'S' && (::GetKeyState(VK_CONTROL) & 0x8000) &&
                       o->selection.Has() && !o->selection.Dragging() && SaveAs(*o)) {
                Finish(*o);
            }
            return 0;
        case WM_CLOSE:
            Finish(*o);
            return 0;
        default:
            break;
    }
    return ::DefWindowProcW(hwnd, msg, wParam, lParam);
}

// The frozen screen and its dimmed copy.
bool Freeze(Overlay& o, int w, int h) {
    pt::WindowDc screen(nullptr);
    if (!screen || !o.frozen.Create(screen.Get(), w, h) || !o.dimmed.Create(screen.Get(), w, h) ||
        !o.back.Create(screen.Get(), w, h))
        return false;
    ::BitBlt(o.frozen.dc.Get(), 0, 0, w, h, screen.Get(), o.origin.x, o.origin.y,
             SRCCOPY | CAPTUREBLT);
    ::GdiFlush();
    const size_t count = static_cast<size_t>(w) * h;
    for (size_t i = 0; i < count; ++i) {
        // About 45 % of each channel.
        const uint32_t px = o.frozen.bits[i];
        o.dimmed.bits[i] =
            (((px & 0xFF00FF) * 115 >> 8) & 0xFF00FF) | (((px & 0x00FF00) * 115 >> 8) & 0x00FF00);
    }
    return true;
}

void RunCapture() {
    const int x = ::GetSystemMetrics(SM_XVIRTUALSCREEN);
    const int y = ::GetSystemMetrics(SM_YVIRTUALSCREEN);
    const int w = ::GetSystemMetrics(SM_CXVIRTUALSCREEN);
    const int h = ::GetSystemMetrics(SM_CYVIRTUALSCREEN);
    if (w <= 0 || h <= 0)
        return;
    Overlay* overlay = new (std::nothrow) Overlay(x, y, w, h);
    if (!overlay)
        return;
    std::unique_ptr<Overlay> owner(overlay);
    if (!Freeze(*overlay, w, h))
        return;
    overlay->font.Reset(::CreateFontW(-14, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                      OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY,
                                      DEFAULT_PITCH, L"Microsoft YaHei"));

    // The exe's instance: this image is unknown to the system loader.
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = OverlayProc;
    wc.hInstance = instance;
    wc.hCursor = ::LoadCursorW(nullptr, IDC_CROSS);
    wc.lpszClassName = kClassName;
    if (!::RegisterClassExW(&wc))
        return;
    HWND hwnd = ::CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, kClassName, L"屏幕截图",
                                  WS_POPUP, x, y, w, h, nullptr, nullptr, instance, overlay);
    if (hwnd) {
        ::ShowWindow(hwnd, SW_SHOW);
        ::SetForegroundWindow(hwnd);
        ::SetFocus(hwnd);
        ::UpdateWindow(hwnd);
        bool quit = false;
        WPARAM quitCode = 0;
        MSG msg;
        while (!overlay->done) {
            const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
            if (got == 0) {
                quit = true;
                quitCode = msg.wParam;
                break;
            }
            if (got < 0)
                break;
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        if (::GetCapture() == hwnd)
            ::ReleaseCapture();
        ::DestroyWindow(hwnd);
        // The quit belongs to the caller's loop.
        if (quit)
            ::PostQuitMessage(static_cast<int>(quitCode));
    }
    ::UnregisterClassW(kClassName, instance);
}

}  // namespace

// The fifteen arguments are part of the component's calling form; callers
// pass zeros and the result means nothing.
extern "C" __declspec(dllexport) int WINAPI
    PrScrn(int, int, int, int, int, int, int, int, int, int, int, int, int, int, int) {
    const HRESULT com = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token = 0;
    const bool gdiplus = Gdiplus::GdiplusStartup(&token, &input, nullptr) == Gdiplus::Ok;
    RunCapture();
    if (gdiplus)
        Gdiplus::GdiplusShutdown(token);
    if (SUCCEEDED(com))
        ::CoUninitialize();
    return 0;
}

BOOL WINAPI DllMain(HINSTANCE, DWORD, void*) {
    return TRUE;
}
