// Input context switching and IME window placement.
#include "toolkit/ime.h"

#include <imm.h>

namespace pt {
namespace {

// A window's input context from ImmGetContext, given back at scope end.
class ImeContext {
  public:
    explicit ImeContext(HWND hwnd) : hwnd_(hwnd), imc_(::ImmGetContext(hwnd)) {}
    ImeContext(const ImeContext&) = delete;
    ImeContext& operator=(const ImeContext&) = delete;
    ~ImeContext() {
        if (imc_)
            ::ImmReleaseContext(hwnd_, imc_);
    }
    HIMC Get() const { return imc_; }
    explicit operator bool() const { return imc_ != nullptr; }

  private:
    HWND hwnd_;
    HIMC imc_;
};

}  // namespace

bool SetWindowImeEnabled(HWND hwnd, bool on) {
    if (!hwnd || !::IsWindow(hwnd))
        return false;
    if (on) {
        // IACE_DEFAULT restores the default context the system made for the
        // window, so nothing has to be remembered while it is off.
        if (!WindowImeEnabled(hwnd))
            ::ImmAssociateContextEx(hwnd, nullptr, IACE_DEFAULT);
    } else {
        ::ImmAssociateContext(hwnd, nullptr);
    }
    return WindowImeEnabled(hwnd) == on;
}

bool WindowImeEnabled(HWND hwnd) {
    return static_cast<bool>(ImeContext(hwnd));
}

void PlaceImeWindows(HWND hwnd, POINT caret, int lineHeight, const LOGFONTW* font) {
    const ImeContext context(hwnd);
    if (!context)
        return;
    const HIMC imc = context.Get();
    if (font) {
        LOGFONTW lf = *font;
        ::ImmSetCompositionFontW(imc, &lf);
    }
    COMPOSITIONFORM cf{};
    cf.dwStyle = CFS_POINT;
    cf.ptCurrentPos = caret;
    ::ImmSetCompositionWindow(imc, &cf);
    CANDIDATEFORM cand{};
    cand.dwIndex = 0;
    cand.dwStyle = CFS_CANDIDATEPOS;
    cand.ptCurrentPos = POINT{caret.x, caret.y + lineHeight};
    ::ImmSetCandidateWindow(imc, &cand);
}

}  // namespace pt
