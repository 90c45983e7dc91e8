// Input context switching and IME window placement.
#include "toolkit/ime.h"

#include <imm.h>

namespace pt {

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
    HIMC imc = ::ImmGetContext(hwnd);
    if (!imc)
        return false;
    ::ImmReleaseContext(hwnd, imc);
    return true;
}

void PlaceImeWindows(HWND hwnd, POINT caret, int lineHeight, const LOGFONTW* font) {
    HIMC imc = ::ImmGetContext(hwnd);
    if (!imc)
        return;
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
    ::ImmReleaseContext(hwnd, imc);
}

}  // namespace pt
