// Painting of toolkit windows: coalesced redraws, the 32-bit back buffer
// the elements paint into, and presenting it (layered windows through
// UpdateLayeredWindow, the others by a copy to the window).
#include "base/startup_trace.h"
#include "toolkit/toolkit.h"
#include "toolkit/window.h"
#include "toolkit/window_detail.h"

namespace pt {

using window_detail::kMsgRedraw;

void Window::Redraw(bool immediate) {
    if (!hwnd_ || destroyed_)
        return;
    stale_ = true;
    if (immediate) {
        PaintNow();
        return;
    }
    if (!redrawPending_) {
        redrawPending_ = ::PostMessageW(hwnd_, kMsgRedraw, 0, 0) != FALSE;
    }
}

// ----------------------------------------------------------------- drawing

void Window::EnsureBuffer(int width, int height) {
    if (dib_ && pixels_.Width() == width && pixels_.Height() == height)
        return;
    if (!memDc_)
        memDc_.Reset(::CreateCompatibleDC(nullptr));
    if (!memDc_)
        return;
    ReleaseBuffer();
    if (width <= 0 || height <= 0)
        return;
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = -height;  // top-down rows
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    dib_.Reset(::CreateDIBSection(memDc_.Get(), &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!dib_ || !bits) {
        dib_.Reset();
        return;
    }
    oldBitmap_ = ::SelectObject(memDc_.Get(), dib_.Get());
    pixels_.Attach(static_cast<uint32_t*>(bits), width, height);
}

void Window::PaintElement(Element& e, Canvas& canvas, const Rect& clip) {
    if (!e.IsVisible() || e.IsDestroyed())
        return;
    const Rect r = e.WindowRect();
    const Rect c = r.Intersect(clip);
    if (c.IsEmpty())
        return;
    canvas.SetClip(c);
    e.PaintBackground(canvas, r);
    e.PaintContent(canvas, r);
    ElementEventArgs a;
    a.event = ElementEvent::kPaint;
    a.canvas = &canvas;
    e.Fire(a);
    // A paint handler may destroy children: walk a snapshot.
    std::vector<Element*> kids;
    for (size_t i = 0; i < e.ChildCount(); ++i)
        kids.push_back(e.Child(i));
    for (Element* k : kids)
        PaintElement(*k, canvas, c);
    if (&e == focus_ && keyboardFocus_ && !e.IsDestroyed()) {
        canvas.SetClip(c);
        e.PaintFocusMark(canvas, r);
    }
}

void Window::PaintNow() {
    if (!hwnd_ || destroyed_)
        return;
    DispatchScope scope;
    static bool presented = false;
    if (!presented)
        MarkStartupStage("paint begun");
    RECT cr{};
    ::GetClientRect(hwnd_, &cr);
    EnsureBuffer(cr.right, cr.bottom);
    if (!pixels_.Data())
        return;
    // Cleared before the elements paint: one that asks for a redraw while
    // painting leaves the window stale again.
    stale_ = false;
    pixels_.Clear(0);
    const Rect frame = FrameRect();
    {
        Gdiplus::Bitmap bitmap(pixels_.Width(), pixels_.Height(), pixels_.Width() * 4,
                               PixelFormat32bppPARGB, reinterpret_cast<BYTE*>(pixels_.Data()));
        Gdiplus::Graphics g(&bitmap);
        g.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
        g.SetTextRenderingHint(Gdiplus::TextRenderingHintAntiAlias);
        Canvas canvas(g, &pixels_);
        Look bg = background_;
        bg.radius = 0;  // the frame's corners are rounded afterwards, with coverage
        // The ground covers most of the window: set directly, where GDI+
        // took 5 to 10 ms for it under Wine.
        if (bg.fill) {
            FillPixels(pixels_, frame, *bg.fill);
            bg.fill.reset();
        }
        canvas.DrawLook(frame, bg);
        PaintElement(*root_, canvas, frame);
        g.Flush(Gdiplus::FlushIntentionSync);
    }
    if (layered_) {
        RoundFrameCorners(pixels_, frame, CornerRadius());
        CompositeShadowUnder(pixels_, frame, shadow_);
    }
    if (!presented)
        MarkStartupStage("drawn");
    Present();
    presented_ = true;
    if (!presented) {
        presented = true;
        MarkStartupStage("first paint");
    }
    if (layered_ && !keepsBackBuffer_)
        ReleaseBuffer();
}

void Window::ReleaseBuffer() {
    if (memDc_ && oldBitmap_) {
        ::SelectObject(memDc_.Get(), oldBitmap_);
        oldBitmap_ = nullptr;
    }
    dib_.Reset();
    pixels_.Attach(nullptr, 0, 0);
}

void Window::Present() {
    if (!memDc_ || !pixels_.Data())
        return;
    if (layered_) {
        const WindowDc screen(nullptr);
        SIZE size{pixels_.Width(), pixels_.Height()};
        POINT src{0, 0};
        BLENDFUNCTION blend{AC_SRC_OVER, 0, alpha_, AC_SRC_ALPHA};
        ::UpdateLayeredWindow(hwnd_, screen.Get(), nullptr, &size, memDc_.Get(), &src, 0, &blend,
                              ULW_ALPHA);
    } else if (const WindowDc dc(hwnd_); dc) {
        ::BitBlt(dc.Get(), 0, 0, pixels_.Width(), pixels_.Height(), memDc_.Get(), 0, 0, SRCCOPY);
    }
}

}  // namespace pt
