// The skin frame; see skin_frame.h. The system button icons are parsed once
// per run and recoloured per state by cloning, so switching skins never
// re-reads the resource archive.
#include "window/skin_frame.h"

#include <map>
#include <memory>
#include <string>

#include "settings/settings_store.h"
#include "toolkit/dpi.h"
#include "toolkit/graphics.h"
#include "toolkit/property_table.h"
#include "toolkit/resource_archive.h"

namespace pt {
namespace {

constexpr char kMacDotSvg[] =
    "<svg xmlns='http://www.w3.org/2000/svg' viewBox='0 0 20 20'>"
    "<circle cx='10' cy='10' r='9'/></svg>";

Skin& TheSkin() {
    static Skin skin;
    return skin;
}

// Null when the archive lacks the icon: the button then shows nothing
// rather than a broken image.
std::shared_ptr<SvgImage> SysButtonIcon(std::string_view name) {
    static std::map<std::string, std::shared_ptr<SvgImage>, std::less<>> cache;
    auto it = cache.find(name);
    if (it != cache.end())
        return it->second;
    const std::string path = "res\\appframework\\SysButton\\" + std::string(name) + ".svg";
    std::shared_ptr<SvgImage> icon =
        SvgImage::FromBytes(ResourceArchive::Instance().ReadText(path));
    cache.emplace(std::string(name), icon);
    return icon;
}

std::shared_ptr<SvgImage> MacDot() {
    static std::shared_ptr<SvgImage> dot = SvgImage::FromBytes(kMacDotSvg);
    return dot;
}

std::shared_ptr<SvgImage> Tinted(const SvgImage& base, Color fill, bool turned) {
    std::shared_ptr<SvgImage> image = base.Clone();
    image->SetSize(Dpi(20), Dpi(20));
    image->SetFill(fill);
    image->SetRotate180(turned);
    return image;
}

void DressSysButton(Button& button, std::string_view name, const Skin& skin, bool dark) {
    button.ClearLook();
    button.SetTransparent(true);
    button.SetImageSize(Dpi(20), Dpi(20));
    if (skin.styleMac) {
        if (std::shared_ptr<SvgImage> dot = MacDot()) {
            std::shared_ptr<SvgImage> image = Tinted(*dot, MacDotColor(name), false);
            button.SetImage(VisualState::kNormal, image);
            button.SetImage(VisualState::kHover, image);
            button.SetImage(VisualState::kPressed, image);
        }
        return;
    }
    std::shared_ptr<SvgImage> icon = SysButtonIcon(name);
    if (!icon) {
        for (VisualState s : {VisualState::kNormal, VisualState::kHover, VisualState::kPressed})
            button.SetImage(s, nullptr);
        return;
    }
    const SysButtonColors colors = SysButtonIconColors(name, dark);
    const bool turn = SysButtonTurnsOnHover(name);
    button.SetImage(VisualState::kNormal, Tinted(*icon, colors.normal, false));
    button.SetImage(VisualState::kHover, Tinted(*icon, colors.hover, turn));
    button.SetImage(VisualState::kPressed, Tinted(*icon, colors.pressed, turn));
}

BOOL CALLBACK CollectToolkitWindow(HWND hwnd, LPARAM param) {
    wchar_t cls[32] = {};
    if (::GetClassNameW(hwnd, cls, 32) && std::wstring_view(cls) == kWindowClass &&
        Window::FromHwnd(hwnd)) {
        reinterpret_cast<std::vector<HWND>*>(param)->push_back(hwnd);
    }
    return TRUE;
}

}  // namespace

void PublishFramePart(Window& window, std::string_view role, Element* element) {
    SetWindowProperty(window.Hwnd(), role, element ? element->Handle() : 0);
}

Element* FramePart(HWND window, std::string_view role) {
    const int32_t handle = GetWindowProperty(window, role);
    return handle ? Element::FromHandle(handle) : nullptr;
}

void SetCurrentSkin(const Skin& skin) {
    TheSkin() = skin;
}

const Skin& CurrentSkin() {
    return TheSkin();
}

void ApplySkinFrame(Window& window, const Skin& skin) {
    const HWND hwnd = window.Hwnd();
    const bool dark = IsDarkColor(skin.background);
    if (Element* titbar = FramePart(hwnd, "titbar")) {
        Look bar = Look::Fill(skin.background);
        if (!dark) {
            bar.borderSides = kBorderBottom;
            bar.borderColor = kTitleBarLine;
        }
        titbar->SetLook(StateLook::Plain(bar));
    }
    if (auto* title = dynamic_cast<TextElement*>(FramePart(hwnd, "title")))
        title->SetTextColor(TitleColor(dark));
    if (Element* line = FramePart(hwnd, "line"))
        line->SetEnabled(!dark);
    for (std::string_view name : kSysButtons) {
        if (auto* button = dynamic_cast<Button*>(FramePart(hwnd, name)))
            DressSysButton(*button, name, skin, dark);
    }
    if (GetWindowFlag(hwnd, kSkinBodyProperty))
        window.SetBackground(Look::Fill(skin.background));
    window.SetShadow(ShadowParams{Dpi(5), 255, 5, !skin.borderRadius, 0});
    window.AdjustLayout();
    window.Redraw();
}

void ApplySkinFrameToAll(const Skin& skin) {
    std::vector<HWND> windows;
    ::EnumThreadWindows(::GetCurrentThreadId(), &CollectToolkitWindow,
                        reinterpret_cast<LPARAM>(&windows));
    for (HWND hwnd : windows) {
        if (Window* window = Window::FromHwnd(hwnd))
            ApplySkinFrame(*window, skin);
    }
}

Skin SkinFromSettings(const SettingsStore& settings) {
    Skin skin;
    skin.background = settings.GetBackgroundColor();
    skin.styleMac = settings.GetStyleMac();
    skin.borderRadius = settings.GetBorderRadius();
    return skin;
}

}  // namespace pt
