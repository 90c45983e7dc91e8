// The named looks of the program's windows, all in one table.
#include "toolkit/looks.h"

#include <map>
#include <mutex>

namespace pt {
namespace {

constexpr Color kLine = MakeColor(235, 235, 235);
constexpr Color kFrameLine = MakeColor(220, 220, 220);
constexpr Color kAccent = MakeColor(0, 136, 255);

StateLook ButtonLook() {
    StateLook s;
    Look n = Look::Border(kBorderAll, kFrameLine);
    n.fill = MakeColor(255, 255, 255);
    n.radius = 3;
    s.normal = n;
    Look h = n;
    h.borderColor = kAccent;
    h.fill = MakeColor(242, 248, 255);
    s.hover = h;
    Look p = h;
    p.fill = MakeColor(225, 238, 252);
    s.pressed = p;
    Look c = p;
    s.checked = c;
    Look d = n;
    d.fill = MakeColor(245, 245, 245);
    d.borderColor = MakeColor(230, 230, 230);
    s.disabled = d;
    return s;
}

StateLook EditLook() {
    StateLook s;
    Look n = Look::Border(kBorderAll, kFrameLine);
    n.fill = MakeColor(255, 255, 255);
    n.radius = 3;
    s.normal = n;
    Look h = n;
    h.borderColor = MakeColor(180, 180, 180);
    s.hover = h;
    Look f = n;
    f.borderColor = kAccent;
    s.focused = f;
    Look d = n;
    d.fill = MakeColor(245, 245, 245);
    s.disabled = d;
    return s;
}

std::map<std::string, StateLook, std::less<>> BuiltIn() {
    std::map<std::string, StateLook, std::less<>> m;
    m["border.top"] = StateLook::Plain(Look::Border(kBorderTop, kLine));
    m["border.left"] = StateLook::Plain(Look::Border(kBorderLeft, kLine));
    m["border.right"] = StateLook::Plain(Look::Border(kBorderRight, kLine));
    m["border.bottom"] = StateLook::Plain(Look::Border(kBorderBottom, kLine));
    m["bkInfo_line"] = StateLook::Plain(Look::Fill(MakeColor(210, 210, 210)));
    m["bkInfo_button"] = ButtonLook();
    m["bkInfo_edit"] = EditLook();
    m["sethotkey.button"] = ButtonLook();
    m["sethotkey.edit"] = EditLook();
    // A tab of the settings column: flat, a light fill on hover and a
    // stronger one with an accent bar while checked.
    StateLook tab;
    tab.hover = Look::Fill(MakeColor(238, 238, 238));
    tab.pressed = Look::Fill(MakeColor(230, 230, 230));
    Look checked = Look::Fill(MakeColor(232, 240, 250));
    checked.borderSides = kBorderLeft;
    checked.borderColor = kAccent;
    checked.borderWidth = 3;
    tab.checked = checked;
    m["label.setting"] = tab;
    return m;
}

struct Registry {
    std::mutex mutex;
    std::map<std::string, StateLook, std::less<>> looks = BuiltIn();
};

Registry& TheRegistry() {
    static Registry* r = new Registry;
    return *r;
}

}  // namespace

const Look& StateLook::For(VisualState state) const {
    switch (state) {
        case VisualState::kDisabled:
            return disabled ? *disabled : normal;
        case VisualState::kPressed:
            if (pressed)
                return *pressed;
            return hover ? *hover : normal;
        case VisualState::kChecked:
            return checked ? *checked : normal;
        case VisualState::kHover:
            return hover ? *hover : normal;
        case VisualState::kNormal:
        default:
            return normal;
    }
}

bool FindNamedLook(std::string_view name, StateLook& out) {
    Registry& r = TheRegistry();
    std::lock_guard lock(r.mutex);
    auto it = r.looks.find(name);
    if (it == r.looks.end())
        return false;
    out = it->second;
    return true;
}

void SetNamedLook(std::string_view name, const StateLook& look) {
    Registry& r = TheRegistry();
    std::lock_guard lock(r.mutex);
    r.looks[std::string(name)] = look;
}

}  // namespace pt
