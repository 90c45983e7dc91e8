// Face selection and creation of the shared fonts.
#include "app/shared_fonts.h"

#include <windows.h>

#include "app/display_scale.h"
#include "base/text.h"

namespace pt {
namespace {

int CALLBACK FoundFace(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
    *reinterpret_cast<bool*>(found) = true;
    return 0;
}

bool FaceInstalled(const std::wstring& face) {
    WindowDc screen(nullptr);
    if (!screen || face.size() >= LF_FACESIZE) return false;
    LOGFONTW query{};
    query.lfCharSet = DEFAULT_CHARSET;
    face.copy(query.lfFaceName, LF_FACESIZE - 1);
    bool found = false;
    ::EnumFontFamiliesExW(screen.Get(), &query, FoundFace, reinterpret_cast<LPARAM>(&found), 0);
    return found;
}

}  // namespace

std::string ChooseUiFace() {
    // The UI face first (by its Chinese and English names), then faces with
    // Chinese glyphs that ship with Windows or with common Linux desktops
    // under Wine.
    static const wchar_t* const kFaces[] = {
        L"微软雅黑",        L"Microsoft YaHei", L"Microsoft YaHei UI", L"宋体",
        L"SimSun",          L"NSimSun",         L"WenQuanYi Micro Hei", L"Noto Sans CJK SC",
        L"Source Han Sans SC", L"Droid Sans Fallback",
    };
    for (const wchar_t* face : kFaces) {
        if (FaceInstalled(face)) return FromWide(face);
    }
    return kUiFace;
}

UniqueFont CreateUiFont(const std::string& face, int points) {
    WindowDc screen(nullptr);
    const int dpi = screen ? ::GetDeviceCaps(screen.Get(), LOGPIXELSY) : 96;
    LOGFONTW lf{};
    lf.lfHeight = -::MulDiv(points, dpi, 72);
    lf.lfWeight = FW_NORMAL;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfQuality = CLEARTYPE_QUALITY;
    const std::wstring wide = ToWide(face);
    wide.copy(lf.lfFaceName, LF_FACESIZE - 1);
    return UniqueFont(::CreateFontIndirectW(&lf));
}

SharedFonts CreateSharedFonts(bool dpiAware, float measuredScale) {
    SharedFonts fonts;
    fonts.face = ChooseUiFace();
    fonts.defaultSize = AdjustFontSize(kDefaultFontSize, dpiAware, measuredScale);
    fonts.captionSize = AdjustFontSize(kCaptionFontSize, dpiAware, measuredScale);
    fonts.defaultFont = CreateUiFont(fonts.face, fonts.defaultSize);
    fonts.captionFont = CreateUiFont(fonts.face, fonts.captionSize);
    return fonts;
}

}  // namespace pt
