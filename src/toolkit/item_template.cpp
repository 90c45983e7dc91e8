// Reading and scaling list-view cell templates.
#include "toolkit/item_template.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "toolkit/xml_tree.h"

namespace pt {
namespace {

bool ParseInt(std::string_view s, int& out) {
    while (!s.empty() && s.front() == ' ')
        s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ')
        s.remove_suffix(1);
    if (s.empty())
        return false;
    int v = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (ec != std::errc() || end != s.data() + s.size() || v < -100000 || v > 100000)
        return false;
    out = v;
    return true;
}

bool ParseFloat(std::string_view s, float& out) {
    float v = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (ec != std::errc() || end != s.data() + s.size() || !(v >= 0) || v > 1000)
        return false;
    out = v;
    return true;
}

bool ParseBool(std::string_view s, bool& out) {
    if (s == "true" || s == "1") {
        out = true;
        return true;
    }
    if (s == "false" || s == "0") {
        out = false;
        return true;
    }
    return false;
}

int HexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

class Reader {
  public:
    explicit Reader(std::string* error) : error_(error) {}

    bool Fail(const std::string& what) {
        if (error_)
            *error_ = what;
        return false;
    }

    bool Int(const XmlNode& n, std::string_view key, int& out) {
        const std::string* v = n.Attribute(key);
        if (v && !ParseInt(*v, out))
            return Fail("bad number in " + std::string(key) + "=\"" + *v + "\"");
        return true;
    }
    bool NonNegative(const XmlNode& n, std::string_view key, int& out) {
        if (!n.Attribute(key))
            return true;
        if (!Int(n, key, out))
            return false;
        if (out < 0)
            return Fail("negative " + std::string(key));
        return true;
    }
    bool ColorAttr(const XmlNode& n, std::string_view key, std::optional<Color>& out) {
        const std::string* v = n.Attribute(key);
        if (!v)
            return true;
        Color c = 0;
        if (!ParseColorText(*v, c))
            return Fail("bad colour in " + std::string(key) + "=\"" + *v + "\"");
        out = c;
        return true;
    }
    bool Bool(const XmlNode& n, std::string_view key, bool& out) {
        const std::string* v = n.Attribute(key);
        if (v && !ParseBool(*v, out))
            return Fail("bad flag in " + std::string(key) + "=\"" + *v + "\"");
        return true;
    }

    bool Part(const XmlNode& n, TemplatePart& p) {
        if (n.name == "image") {
            p.kind = PartKind::kImage;
        } else if (n.name == "shape") {
            p.kind = PartKind::kShape;
        } else if (n.name == "button") {
            p.kind = PartKind::kButton;
        } else {
            return Fail("unknown part <" + n.name + ">");
        }
        if (const std::string* v = n.Attribute("name"))
            p.name = *v;
        if (const std::string* v = n.Attribute("image"))
            p.image = *v;
        if (const std::string* v = n.Attribute("text"))
            p.text = *v;
        if (!Int(n, "left", p.left) || !Int(n, "top", p.top) || !Int(n, "right", p.right) ||
            !Int(n, "bottom", p.bottom) || !NonNegative(n, "width", p.width) ||
            !NonNegative(n, "height", p.height) || !NonNegative(n, "radius", p.radius) ||
            !ColorAttr(n, "color", p.color) || !ColorAttr(n, "background", p.background) ||
            !Bool(n, "ellipsis", p.ellipsis) || !Bool(n, "visible", p.visible))
            return false;
        if (const std::string* v = n.Attribute("fill")) {
            if (*v == "width") {
                p.fillWidth = true;
            } else if (*v == "height") {
                p.fillHeight = true;
            } else if (*v == "both") {
                p.fillWidth = p.fillHeight = true;
            } else if (*v != "none") {
                return Fail("bad fill=\"" + *v + "\"");
            }
        }
        if (const std::string* v = n.Attribute("align")) {
            if (*v == "center") {
                p.align = PartAlign::kCenter;
            } else if (*v == "end" || *v == "right") {
                p.align = PartAlign::kEnd;
            } else if (*v == "start" || *v == "left") {
                p.align = PartAlign::kStart;
            } else {
                return Fail("bad align=\"" + *v + "\"");
            }
        }
        if (const std::string* v = n.Attribute("state")) {
            if (*v == "selected") {
                p.state = PartState::kSelected;
            } else if (*v == "hover") {
                p.state = PartState::kHover;
            } else if (*v == "normal") {
                p.state = PartState::kNormal;
            } else if (*v != "always") {
                return Fail("bad state=\"" + *v + "\"");
            }
        }
        if (const std::string* v = n.Attribute("font-size")) {
            if (!ParseFloat(*v, p.fontSize))
                return Fail("bad font-size=\"" + *v + "\"");
        }
        return true;
    }

  private:
    std::string* error_;
};

int ScaleBy(int v, float f) {
    return v < 0 ? v : static_cast<int>(std::lround(v * f));
}

}  // namespace

Rect TemplatePart::RectIn(Size cell) const {
    int x = left;
    int w = cell.width - left - right;
    if (!fillWidth && width >= 0) {
        w = width;
        if (align == PartAlign::kCenter)
            x = left + (cell.width - left - right - w) / 2;
        else if (align == PartAlign::kEnd)
            x = cell.width - right - w;
    }
    int h = cell.height - top - bottom;
    if (!fillHeight && height >= 0)
        h = height;
    return Rect::FromSize(x, top, std::max(w, 0), std::max(h, 0));
}

const TemplatePart* ItemTemplate::Find(std::string_view name) const {
    for (const TemplatePart& p : parts) {
        if (p.name == name)
            return &p;
    }
    return nullptr;
}

void ItemTemplate::Scale(float factor) {
    if (!(factor > 0) || factor == 1.0f)
        return;
    size.width = ScaleBy(size.width, factor);
    size.height = ScaleBy(size.height, factor);
    radius = ScaleBy(radius, factor);
    for (TemplatePart& p : parts) {
        // Margins keep their sign; a negative one reaches out of the cell.
        p.left = static_cast<int>(std::lround(p.left * factor));
        p.top = static_cast<int>(std::lround(p.top * factor));
        p.right = static_cast<int>(std::lround(p.right * factor));
        p.bottom = static_cast<int>(std::lround(p.bottom * factor));
        p.width = ScaleBy(p.width, factor);
        p.height = ScaleBy(p.height, factor);
        p.radius = ScaleBy(p.radius, factor);
        // Font sizes are points: the font itself follows the screen's DPI.
    }
}

bool ParseColorText(std::string_view text, Color& out) {
    if (!text.empty() && text.front() == '#') {
        if (text.size() != 7)
            return false;
        int v[6];
        for (int i = 0; i < 6; ++i) {
            v[i] = HexValue(text[static_cast<size_t>(i) + 1]);
            if (v[i] < 0)
                return false;
        }
        out = MakeColor(v[0] * 16 + v[1], v[2] * 16 + v[3], v[4] * 16 + v[5]);
        return true;
    }
    int parts[4] = {0, 0, 0, 255};
    int n = 0;
    while (true) {
        const size_t comma = text.find(',');
        const std::string_view piece = text.substr(0, comma);
        if (n == 4 || !ParseInt(piece, parts[n]) || parts[n] < 0 || parts[n] > 255)
            return false;
        ++n;
        if (comma == std::string_view::npos)
            break;
        text.remove_prefix(comma + 1);
    }
    if (n < 3)
        return false;
    out = MakeColor(parts[0], parts[1], parts[2], parts[3]);
    return true;
}

bool ParseItemTemplate(std::string_view xml, ItemTemplate& out, std::string* error) {
    out = ItemTemplate{};
    XmlNode root;
    if (!ParseXml(xml, root, error))
        return false;
    Reader r(error);
    ItemTemplate t;
    if (root.name != "item")
        return r.Fail("root is <" + root.name + ">, not <item>");
    if (!r.NonNegative(root, "width", t.size.width) ||
        !r.NonNegative(root, "height", t.size.height) || !r.NonNegative(root, "radius", t.radius) ||
        !r.ColorAttr(root, "hover-fill", t.hoverFill) ||
        !r.ColorAttr(root, "hover-border", t.hoverBorder) ||
        !r.ColorAttr(root, "selected-fill", t.selectedFill) ||
        !r.ColorAttr(root, "selected-border", t.selectedBorder))
        return false;
    if (!root.Attribute("width") || !root.Attribute("height") || t.size.width <= 0 ||
        t.size.height <= 0)
        return r.Fail("the item needs a width and a height");
    for (const XmlNode& child : root.children) {
        TemplatePart p;
        if (!r.Part(child, p))
            return false;
        t.parts.push_back(std::move(p));
    }
    out = std::move(t);
    return true;
}

}  // namespace pt
