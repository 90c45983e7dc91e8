// The SVG subset reader: the toolkit's XML tree, style inheritance through
// groups, and the reduction of every shape to moves, lines and cubics.
#include "toolkit/svg_document.h"

#include "toolkit/xml_tree.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace pt {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kKappa = 0.5522847498307936;  // cubic approximation of a quarter circle
constexpr size_t kMaxCoords = 4'000'000;       // a bound for hostile input

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

// A cursor over number lists: "10-5.5e2,.5.5" reads 10, -550, .5, .5.
class NumberReader {
  public:
    explicit NumberReader(std::string_view s) : s_(s) {}

    void SkipSeparators() {
        while (pos_ < s_.size() && (IsSpace(s_[pos_]) || s_[pos_] == ','))
            ++pos_;
    }
    void SkipSpaces() {
        while (pos_ < s_.size() && IsSpace(s_[pos_]))
            ++pos_;
    }
    bool AtEnd() {
        SkipSeparators();
        return pos_ >= s_.size();
    }
    char Peek() const { return pos_ < s_.size() ? s_[pos_] : '\0'; }
    void Advance() { ++pos_; }

    bool Number(double& out) {
        SkipSeparators();
        size_t p = pos_;
        double sign = 1.0;
        if (p < s_.size() && (s_[p] == '+' || s_[p] == '-')) {
            if (s_[p] == '-')
                sign = -1.0;
            ++p;
        }
        double value = 0.0;
        bool digits = false;
        while (p < s_.size() && s_[p] >= '0' && s_[p] <= '9') {
            value = value * 10.0 + (s_[p] - '0');
            ++p;
            digits = true;
        }
        if (p < s_.size() && s_[p] == '.') {
            ++p;
            double scale = 0.1;
            while (p < s_.size() && s_[p] >= '0' && s_[p] <= '9') {
                value += (s_[p] - '0') * scale;
                scale *= 0.1;
                ++p;
                digits = true;
            }
        }
        if (!digits)
            return false;
        if (p < s_.size() && (s_[p] == 'e' || s_[p] == 'E')) {
            size_t q = p + 1;
            int esign = 1;
            if (q < s_.size() && (s_[q] == '+' || s_[q] == '-')) {
                if (s_[q] == '-')
                    esign = -1;
                ++q;
            }
            if (q < s_.size() && s_[q] >= '0' && s_[q] <= '9') {
                int e = 0;
                while (q < s_.size() && s_[q] >= '0' && s_[q] <= '9') {
                    if (e < 10000)
                        e = e * 10 + (s_[q] - '0');
                    ++q;
                }
                value *= std::pow(10.0, esign * e);
                p = q;
            }
        }
        if (!std::isfinite(value))
            return false;
        out = sign * value;
        pos_ = p;
        return true;
    }

    // Arc flags are single digits and may be run together ("a1 1 0 01 5 5").
    bool Flag(bool& out) {
        SkipSeparators();
        if (pos_ < s_.size() && (s_[pos_] == '0' || s_[pos_] == '1')) {
            out = s_[pos_] == '1';
            ++pos_;
            return true;
        }
        return false;
    }

  private:
    std::string_view s_;
    size_t pos_ = 0;
};

class PathBuilder {
  public:
    explicit PathBuilder(SvgPath& path) : path_(path) {}

    bool Room(size_t n) const { return path_.coords.size() + n <= kMaxCoords; }
    void Move(double x, double y) {
        if (!Room(2))
            return;
        path_.ops.push_back(SvgOp::kMove);
        path_.coords.insert(path_.coords.end(), {x, y});
        cx_ = startX_ = x;
        cy_ = startY_ = y;
        open_ = true;
    }
    void Line(double x, double y) {
        EnsureFigure();
        if (!Room(2))
            return;
        path_.ops.push_back(SvgOp::kLine);
        path_.coords.insert(path_.coords.end(), {x, y});
        cx_ = x;
        cy_ = y;
    }
    void Cubic(double x1, double y1, double x2, double y2, double x, double y) {
        EnsureFigure();
        if (!Room(6))
            return;
        path_.ops.push_back(SvgOp::kCubic);
        path_.coords.insert(path_.coords.end(), {x1, y1, x2, y2, x, y});
        cx_ = x;
        cy_ = y;
    }
    void Quad(double qx, double qy, double x, double y) {
        Cubic(cx_ + 2.0 / 3.0 * (qx - cx_), cy_ + 2.0 / 3.0 * (qy - cy_), x + 2.0 / 3.0 * (qx - x),
              y + 2.0 / 3.0 * (qy - y), x, y);
    }
    void Close() {
        if (!open_)
            return;
        path_.ops.push_back(SvgOp::kClose);
        cx_ = startX_;
        cy_ = startY_;
        open_ = false;
        closed_ = true;
    }
    // The endpoint parameterisation of SVG arcs, turned into at most four
    // cubic segments per quarter turn.
    void Arc(double rx, double ry, double angle, bool large, bool sweep, double x, double y) {
        const double x0 = cx_;
        const double y0 = cy_;
        if (x0 == x && y0 == y)
            return;
        rx = std::abs(rx);
        ry = std::abs(ry);
        if (rx == 0 || ry == 0) {
            Line(x, y);
            return;
        }
        const double phi = angle * kPi / 180.0;
        const double cosPhi = std::cos(phi);
        const double sinPhi = std::sin(phi);
        const double dx = (x0 - x) / 2.0;
        const double dy = (y0 - y) / 2.0;
        const double x1p = cosPhi * dx + sinPhi * dy;
        const double y1p = -sinPhi * dx + cosPhi * dy;
        const double lambda = (x1p * x1p) / (rx * rx) + (y1p * y1p) / (ry * ry);
        if (lambda > 1) {
            const double s = std::sqrt(lambda);
            rx *= s;
            ry *= s;
        }
        const double num = rx * rx * ry * ry - rx * rx * y1p * y1p - ry * ry * x1p * x1p;
        const double den = rx * rx * y1p * y1p + ry * ry * x1p * x1p;
        double coef = den == 0 ? 0 : std::sqrt(std::max(0.0, num / den));
        if (large == sweep)
            coef = -coef;
        const double cxp = coef * rx * y1p / ry;
        const double cyp = -coef * ry * x1p / rx;
        const double cx = cosPhi * cxp - sinPhi * cyp + (x0 + x) / 2.0;
        const double cy = sinPhi * cxp + cosPhi * cyp + (y0 + y) / 2.0;
        const auto angleOf = [](double ux, double uy, double vx, double vy) {
            const double a = std::atan2(ux * vy - uy * vx, ux * vx + uy * vy);
            return a;
        };
        const double theta1 = angleOf(1, 0, (x1p - cxp) / rx, (y1p - cyp) / ry);
        double delta =
            angleOf((x1p - cxp) / rx, (y1p - cyp) / ry, (-x1p - cxp) / rx, (-y1p - cyp) / ry);
        if (!sweep && delta > 0)
            delta -= 2 * kPi;
        if (sweep && delta < 0)
            delta += 2 * kPi;
        if (!std::isfinite(delta) || !std::isfinite(cx) || !std::isfinite(cy)) {
            Line(x, y);
            return;
        }
        const int segments =
            std::clamp(static_cast<int>(std::ceil(std::abs(delta) / (kPi / 2) - 1e-9)), 1, 4);
        const double step = delta / segments;
        const double t = 4.0 / 3.0 * std::tan(step / 4.0);
        double a1 = theta1;
        for (int i = 0; i < segments; ++i) {
            const double a2 = a1 + step;
            const double c1 = std::cos(a1), s1 = std::sin(a1);
            const double c2 = std::cos(a2), s2 = std::sin(a2);
            const auto map = [&](double ux, double uy, double& ox, double& oy) {
                ox = cx + rx * ux * cosPhi - ry * uy * sinPhi;
                oy = cy + rx * ux * sinPhi + ry * uy * cosPhi;
            };
            double p1x, p1y, p2x, p2y, ex, ey;
            map(c1 - t * s1, s1 + t * c1, p1x, p1y);
            map(c2 + t * s2, s2 - t * c2, p2x, p2y);
            if (i == segments - 1) {
                ex = x;
                ey = y;
            } else {
                map(c2, s2, ex, ey);
            }
            Cubic(p1x, p1y, p2x, p2y, ex, ey);
            a1 = a2;
        }
    }

    double X() const { return cx_; }
    double Y() const { return cy_; }

  private:
    // A drawing command right after a close starts a new figure at the
    // close's point, as SVG says.
    void EnsureFigure() {
        if (!open_)
            Move(cx_, cy_);
    }

    SvgPath& path_;
    double cx_ = 0, cy_ = 0, startX_ = 0, startY_ = 0;
    bool open_ = false;
    bool closed_ = false;
};

bool IsCommand(char c) {
    return std::string_view("MmLlHhVvCcSsQqTtAaZz").find(c) != std::string_view::npos;
}

// ---------------------------------------------------------------- styles

struct Style {
    bool fill = true;
    uint32_t fillRgb = 0;
    double fillOpacity = 1;
    bool stroke = false;
    uint32_t strokeRgb = 0;
    double strokeOpacity = 1;
    double strokeWidth = 1;
    int lineCap = 0;
    int lineJoin = 0;
    bool evenOdd = false;
    double opacity = 1;  // the product of the ancestors' opacities
    SvgMatrix matrix;
};

std::string Lower(std::string_view s) {
    std::string out(s);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return out;
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsSpace(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && IsSpace(s.back()))
        s.remove_suffix(1);
    return s;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Paint: "none", #rgb, #rrggbb, rgb(r, g, b) (numbers or percentages), a few
// names. false: not understood (the attribute is then ignored).
bool ParsePaint(std::string_view text, bool& on, uint32_t& rgb) {
    text = Trim(text);
    const std::string v = Lower(text);
    if (v == "none" || v == "transparent") {
        on = false;
        return true;
    }
    if (v == "currentcolor") {
        on = true;
        rgb = 0;
        return true;
    }
    if (!v.empty() && v[0] == '#') {
        if (v.size() == 4) {
            int d[3];
            for (int i = 0; i < 3; ++i) {
                d[i] = HexDigit(v[1 + i]);
                if (d[i] < 0)
                    return false;
            }
            rgb = static_cast<uint32_t>((d[0] * 17) << 16 | (d[1] * 17) << 8 | d[2] * 17);
            on = true;
            return true;
        }
        if (v.size() == 7) {
            uint32_t value = 0;
            for (int i = 1; i < 7; ++i) {
                const int h = HexDigit(v[i]);
                if (h < 0)
                    return false;
                value = value << 4 | static_cast<uint32_t>(h);
            }
            rgb = value;
            on = true;
            return true;
        }
        return false;
    }
    if (v.rfind("rgb(", 0) == 0 && v.back() == ')') {
        std::string_view inner(v.data() + 4, v.size() - 5);
        uint32_t value = 0;
        size_t start = 0;
        for (int i = 0; i < 3; ++i) {
            const size_t comma = inner.find(',', start);
            std::string_view part = Trim(
                inner.substr(start, comma == std::string_view::npos ? inner.npos : comma - start));
            NumberReader r(part);
            double n = 0;
            if (!r.Number(n))
                return false;
            if (!part.empty() && part.back() == '%')
                n = n * 255.0 / 100.0;
            value =
                value << 8 | static_cast<uint32_t>(std::clamp(static_cast<int>(n + 0.5), 0, 255));
            if (comma == std::string_view::npos && i < 2)
                return false;
            start = comma + 1;
        }
        rgb = value;
        on = true;
        return true;
    }
    static const struct {
        const char* name;
        uint32_t rgb;
    } kNames[] = {{"black", 0x000000}, {"white", 0xFFFFFF},  {"red", 0xFF0000},
                  {"green", 0x008000}, {"blue", 0x0000FF},   {"gray", 0x808080},
                  {"grey", 0x808080},  {"yellow", 0xFFFF00}, {"orange", 0xFFA500},
                  {"silver", 0xC0C0C0}};
    for (const auto& n : kNames) {
        if (v == n.name) {
            rgb = n.rgb;
            on = true;
            return true;
        }
    }
    return false;
}

bool ParseLength(std::string_view text, double& out) {
    NumberReader r(Trim(text));
    return r.Number(out);
}

double ParseOpacity(std::string_view text, double fallback) {
    double v = 0;
    if (!ParseLength(text, v))
        return fallback;
    text = Trim(text);
    if (!text.empty() && text.back() == '%')
        v /= 100.0;
    return std::clamp(v, 0.0, 1.0);
}

bool ParseTransform(std::string_view text, SvgMatrix& out) {
    SvgMatrix m;
    size_t pos = 0;
    while (pos < text.size()) {
        while (pos < text.size() && (IsSpace(text[pos]) || text[pos] == ','))
            ++pos;
        if (pos >= text.size())
            break;
        const size_t open = text.find('(', pos);
        if (open == text.npos)
            return false;
        const size_t close = text.find(')', open);
        if (close == text.npos)
            return false;
        const std::string name = Lower(Trim(text.substr(pos, open - pos)));
        NumberReader r(text.substr(open + 1, close - open - 1));
        double v[6];
        int n = 0;
        while (n < 6 && r.Number(v[n]))
            ++n;
        if (!r.AtEnd())
            return false;
        SvgMatrix t;
        if (name == "matrix" && n == 6) {
            t = SvgMatrix{v[0], v[1], v[2], v[3], v[4], v[5]};
        } else if (name == "translate" && (n == 1 || n == 2)) {
            t.e = v[0];
            t.f = n == 2 ? v[1] : 0;
        } else if (name == "scale" && (n == 1 || n == 2)) {
            t.a = v[0];
            t.d = n == 2 ? v[1] : v[0];
        } else if (name == "rotate" && (n == 1 || n == 3)) {
            const double a = v[0] * kPi / 180.0;
            SvgMatrix rot{std::cos(a), std::sin(a), -std::sin(a), std::cos(a), 0, 0};
            if (n == 3) {
                SvgMatrix to{1, 0, 0, 1, v[1], v[2]};
                SvgMatrix back{1, 0, 0, 1, -v[1], -v[2]};
                t = back.Then(rot).Then(to);
            } else {
                t = rot;
            }
        } else if (name == "skewx" && n == 1) {
            t.c = std::tan(v[0] * kPi / 180.0);
        } else if (name == "skewy" && n == 1) {
            t.b = std::tan(v[0] * kPi / 180.0);
        } else {
            return false;
        }
        // Listed transforms apply right to left: the last one first.
        m = t.Then(m);
        pos = close + 1;
    }
    out = m;
    return true;
}

void ApplyProperty(Style& s, std::string_view name, std::string_view value, double& ownOpacity) {
    const std::string n = Lower(Trim(name));
    if (n == "fill") {
        ParsePaint(value, s.fill, s.fillRgb);
    } else if (n == "stroke") {
        ParsePaint(value, s.stroke, s.strokeRgb);
    } else if (n == "stroke-width") {
        double w = 0;
        if (ParseLength(value, w) && w >= 0)
            s.strokeWidth = w;
    } else if (n == "fill-opacity") {
        s.fillOpacity = ParseOpacity(value, s.fillOpacity);
    } else if (n == "stroke-opacity") {
        s.strokeOpacity = ParseOpacity(value, s.strokeOpacity);
    } else if (n == "opacity") {
        ownOpacity = ParseOpacity(value, 1.0);
    } else if (n == "stroke-linecap") {
        const std::string v = Lower(Trim(value));
        s.lineCap = v == "round" ? 1 : v == "square" ? 2 : 0;
    } else if (n == "stroke-linejoin") {
        const std::string v = Lower(Trim(value));
        s.lineJoin = v == "round" ? 1 : v == "bevel" ? 2 : 0;
    } else if (n == "fill-rule") {
        s.evenOdd = Lower(Trim(value)) == "evenodd";
    }
}

// --------------------------------------------------------------- shapes

void AddEllipse(PathBuilder& b, double cx, double cy, double rx, double ry) {
    const double kx = rx * kKappa;
    const double ky = ry * kKappa;
    b.Move(cx + rx, cy);
    b.Cubic(cx + rx, cy + ky, cx + kx, cy + ry, cx, cy + ry);
    b.Cubic(cx - kx, cy + ry, cx - rx, cy + ky, cx - rx, cy);
    b.Cubic(cx - rx, cy - ky, cx - kx, cy - ry, cx, cy - ry);
    b.Cubic(cx + kx, cy - ry, cx + rx, cy - ky, cx + rx, cy);
    b.Close();
}

double Attr(const XmlNode& t, std::string_view name, double fallback = 0) {
    const std::string* v = t.Attribute(name);
    double d = fallback;
    if (v && ParseLength(*v, d))
        return d;
    return fallback;
}

bool ShapePath(const XmlNode& t, std::string_view name, SvgPath& path) {
    PathBuilder b(path);
    if (name == "path") {
        const std::string* d = t.Attribute("d");
        return d && ParseSvgPathData(*d, path);
    }
    if (name == "rect") {
        const double x = Attr(t, "x"), y = Attr(t, "y"), w = Attr(t, "width"),
                     h = Attr(t, "height");
        if (!(w > 0) || !(h > 0))
            return false;
        const std::string* rxs = t.Attribute("rx");
        const std::string* rys = t.Attribute("ry");
        double rx = Attr(t, "rx", -1), ry = Attr(t, "ry", -1);
        if (!rxs || rx < 0)
            rx = -1;
        if (!rys || ry < 0)
            ry = -1;
        if (rx < 0 && ry >= 0)
            rx = ry;
        if (ry < 0 && rx >= 0)
            ry = rx;
        rx = std::min(std::max(rx, 0.0), w / 2);
        ry = std::min(std::max(ry, 0.0), h / 2);
        if (rx <= 0 || ry <= 0) {
            b.Move(x, y);
            b.Line(x + w, y);
            b.Line(x + w, y + h);
            b.Line(x, y + h);
            b.Close();
            return true;
        }
        const double kx = rx * kKappa, ky = ry * kKappa;
        b.Move(x + rx, y);
        b.Line(x + w - rx, y);
        b.Cubic(x + w - rx + kx, y, x + w, y + ry - ky, x + w, y + ry);
        b.Line(x + w, y + h - ry);
        b.Cubic(x + w, y + h - ry + ky, x + w - rx + kx, y + h, x + w - rx, y + h);
        b.Line(x + rx, y + h);
        b.Cubic(x + rx - kx, y + h, x, y + h - ry + ky, x, y + h - ry);
        b.Line(x, y + ry);
        b.Cubic(x, y + ry - ky, x + rx - kx, y, x + rx, y);
        b.Close();
        return true;
    }
    if (name == "circle") {
        const double r = Attr(t, "r");
        if (!(r > 0))
            return false;
        AddEllipse(b, Attr(t, "cx"), Attr(t, "cy"), r, r);
        return true;
    }
    if (name == "ellipse") {
        const double rx = Attr(t, "rx"), ry = Attr(t, "ry");
        if (!(rx > 0) || !(ry > 0))
            return false;
        AddEllipse(b, Attr(t, "cx"), Attr(t, "cy"), rx, ry);
        return true;
    }
    if (name == "line") {
        b.Move(Attr(t, "x1"), Attr(t, "y1"));
        b.Line(Attr(t, "x2"), Attr(t, "y2"));
        return true;
    }
    if (name == "polyline" || name == "polygon") {
        const std::string* pts = t.Attribute("points");
        if (!pts)
            return false;
        NumberReader r(*pts);
        double x = 0, y = 0;
        bool first = true;
        while (r.Number(x) && r.Number(y)) {
            if (first) {
                b.Move(x, y);
                first = false;
            } else {
                b.Line(x, y);
            }
        }
        if (first)
            return false;
        if (name == "polygon")
            b.Close();
        return true;
    }
    return false;
}

void TransformPath(SvgPath& path, const SvgMatrix& m) {
    for (size_t i = 0; i + 1 < path.coords.size(); i += 2)
        m.Apply(path.coords[i], path.coords[i + 1]);
}

bool ParseViewBox(std::string_view text, double v[4]) {
    NumberReader r(text);
    for (int i = 0; i < 4; ++i) {
        if (!r.Number(v[i]))
            return false;
    }
    return v[2] > 0 && v[3] > 0;
}

}  // namespace

SvgMatrix SvgMatrix::Then(const SvgMatrix& o) const {
    // First this, then o: o × this in column-vector terms.
    return SvgMatrix{o.a * a + o.c * b, o.b * a + o.d * b,       o.a * c + o.c * d,
                     o.b * c + o.d * d, o.a * e + o.c * f + o.e, o.b * e + o.d * f + o.f};
}

void SvgMatrix::Apply(double& x, double& y) const {
    const double nx = a * x + c * y + e;
    const double ny = b * x + d * y + f;
    x = nx;
    y = ny;
}

double SvgMatrix::Scale() const {
    return std::sqrt(std::abs(a * d - b * c));
}

bool ParseSvgPathData(std::string_view data, SvgPath& out) {
    out = SvgPath{};
    PathBuilder b(out);
    NumberReader r(data);
    char cmd = 0;
    // Second control point of the last C/S and the control point of the last
    // Q/T, for the smooth forms.
    double lastCx = 0, lastCy = 0, lastQx = 0, lastQy = 0;
    char prev = 0;
    bool first = true;
    while (!r.AtEnd()) {
        const char c = r.Peek();
        if (IsCommand(c)) {
            cmd = c;
            r.Advance();
        } else if (cmd == 0 || cmd == 'z' || cmd == 'Z') {
            break;  // numbers without a command
        }
        if (first && cmd != 'M' && cmd != 'm')
            break;  // path data must begin with a move
        first = false;
        const bool rel = cmd >= 'a' && cmd <= 'z';
        const double ox = rel ? b.X() : 0;
        const double oy = rel ? b.Y() : 0;
        const char up = static_cast<char>(rel ? cmd - 'a' + 'A' : cmd);
        double v[7];
        const auto read = [&](int n) {
            for (int i = 0; i < n; ++i) {
                if (!r.Number(v[i]))
                    return false;
            }
            return true;
        };
        bool ok = true;
        switch (up) {
            case 'M':
                ok = read(2);
                if (ok) {
                    b.Move(ox + v[0], oy + v[1]);
                    cmd = rel ? 'l' : 'L';  // further pairs are lines
                }
                break;
            case 'L':
                ok = read(2);
                if (ok)
                    b.Line(ox + v[0], oy + v[1]);
                break;
            case 'H':
                ok = read(1);
                if (ok)
                    b.Line(ox + v[0], b.Y());
                break;
            case 'V':
                ok = read(1);
                if (ok)
                    b.Line(b.X(), oy + v[0]);
                break;
            case 'C':
                ok = read(6);
                if (ok) {
                    b.Cubic(ox + v[0], oy + v[1], ox + v[2], oy + v[3], ox + v[4], oy + v[5]);
                    lastCx = ox + v[2];
                    lastCy = oy + v[3];
                }
                break;
            case 'S':
                ok = read(4);
                if (ok) {
                    double x1 = b.X(), y1 = b.Y();
                    if (prev == 'C' || prev == 'S') {
                        x1 = 2 * b.X() - lastCx;
                        y1 = 2 * b.Y() - lastCy;
                    }
                    b.Cubic(x1, y1, ox + v[0], oy + v[1], ox + v[2], oy + v[3]);
                    lastCx = ox + v[0];
                    lastCy = oy + v[1];
                }
                break;
            case 'Q':
                ok = read(4);
                if (ok) {
                    lastQx = ox + v[0];
                    lastQy = oy + v[1];
                    b.Quad(lastQx, lastQy, ox + v[2], oy + v[3]);
                }
                break;
            case 'T':
                ok = read(2);
                if (ok) {
                    double qx = b.X(), qy = b.Y();
                    if (prev == 'Q' || prev == 'T') {
                        qx = 2 * b.X() - lastQx;
                        qy = 2 * b.Y() - lastQy;
                    }
                    lastQx = qx;
                    lastQy = qy;
                    b.Quad(qx, qy, ox + v[0], oy + v[1]);
                }
                break;
            case 'A': {
                bool large = false, sweep = false;
                ok = r.Number(v[0]) && r.Number(v[1]) && r.Number(v[2]) && r.Flag(large) &&
                     r.Flag(sweep) && r.Number(v[3]) && r.Number(v[4]);
                if (ok)
                    b.Arc(v[0], v[1], v[2], large, sweep, ox + v[3], oy + v[4]);
                break;
            }
            case 'Z':
                b.Close();
                break;
            default:
                ok = false;
        }
        if (!ok)
            break;
        prev = up == 'M' ? 'L' : up;
        if (!b.Room(6))
            break;
    }
    // Only a move and nothing else draws nothing.
    bool drawable = false;
    for (SvgOp op : out.ops)
        drawable = drawable || op == SvgOp::kLine || op == SvgOp::kCubic;
    if (!drawable)
        out = SvgPath{};
    return drawable;
}

bool SvgPathBounds(const SvgPath& path, double box[4]) {
    if (path.coords.size() < 2)
        return false;
    box[0] = box[2] = path.coords[0];
    box[1] = box[3] = path.coords[1];
    for (size_t i = 0; i + 1 < path.coords.size(); i += 2) {
        box[0] = std::min(box[0], path.coords[i]);
        box[2] = std::max(box[2], path.coords[i]);
        box[1] = std::min(box[1], path.coords[i + 1]);
        box[3] = std::max(box[3], path.coords[i + 1]);
    }
    return true;
}

namespace {

// Walks one element and its children: the style inherited down the tree,
// the drawn shapes collected in document order.
struct SvgWalk {
    SvgDocument& out;
    size_t totalCoords = 0;

    bool Element(const XmlNode& node, const Style& parent, bool skipped) {
        const std::string name = Lower(node.name);
        Style s = parent;
        double own = 1.0;
        // Attributes first, then the style attribute, which wins.
        for (const auto& [key, value] : node.attributes)
            ApplyProperty(s, key, value, own);
        if (const std::string* style = node.Attribute("style")) {
            std::string_view rest = *style;
            while (!rest.empty()) {
                const size_t semi = rest.find(';');
                const std::string_view decl = rest.substr(0, semi);
                const size_t colon = decl.find(':');
                if (colon != decl.npos)
                    ApplyProperty(s, decl.substr(0, colon), decl.substr(colon + 1), own);
                if (semi == rest.npos)
                    break;
                rest.remove_prefix(semi + 1);
            }
        }
        s.opacity *= own;
        if (const std::string* tr = node.Attribute("transform")) {
            SvgMatrix m;
            if (ParseTransform(*tr, m))
                s.matrix = m.Then(s.matrix);
        }
        const bool container = name == "svg" || name == "g";
        const bool hidden = name == "defs" || name == "clippath" || name == "mask" ||
                            name == "symbol" || name == "pattern" || name == "lineargradient" ||
                            name == "radialgradient" || name == "style" || name == "title" ||
                            name == "desc" || name == "metadata";
        if (!skipped && !hidden && !container) {
            SvgShape shape;
            if (ShapePath(node, name, shape.path)) {
                totalCoords += shape.path.coords.size();
                if (totalCoords > kMaxCoords)
                    return false;
                TransformPath(shape.path, s.matrix);
                shape.fill = s.fill && name != "line" && name != "polyline" ? s.fill : false;
                if (name == "polyline")
                    shape.fill = s.fill;  // SVG fills open polylines too
                shape.fillRgb = s.fillRgb;
                shape.fillOpacity = s.fillOpacity;
                shape.stroke = s.stroke && s.strokeWidth > 0;
                shape.strokeRgb = s.strokeRgb;
                shape.strokeOpacity = s.strokeOpacity;
                shape.strokeWidth = s.strokeWidth * s.matrix.Scale();
                shape.lineCap = s.lineCap;
                shape.lineJoin = s.lineJoin;
                shape.evenOdd = s.evenOdd;
                shape.opacity = s.opacity;
                if (shape.fill || shape.stroke)
                    out.shapes.push_back(std::move(shape));
            }
        }
        for (const XmlNode& child : node.children) {
            if (!Element(child, s, skipped || hidden))
                return false;
        }
        return true;
    }
};

}  // namespace

bool ParseSvg(std::string_view text, SvgDocument& out) {
    out = SvgDocument{};
    // The toolkit's XML reader (depth-limited, fuzzed) gives the tree.
    XmlNode root;
    if (!ParseXml(text, root) || Lower(root.name) != "svg")
        return out = SvgDocument{}, false;
    if (const std::string* vb = root.Attribute("viewBox")) {
        double v[4];
        if (ParseViewBox(*vb, v)) {
            out.viewX = v[0];
            out.viewY = v[1];
            out.viewWidth = v[2];
            out.viewHeight = v[3];
        }
    }
    const double width = Attr(root, "width");
    const double height = Attr(root, "height");
    SvgWalk walk{out};
    if (!walk.Element(root, Style{}, false))
        return out = SvgDocument{}, false;
    if (out.viewWidth <= 0 || out.viewHeight <= 0) {
        if (width > 0 && height > 0) {
            out.viewWidth = width;
            out.viewHeight = height;
        } else {
            // No size at all: the drawing's own extent.
            double lo[2] = {0, 0}, hi[2] = {0, 0};
            bool any = false;
            for (const SvgShape& sh : out.shapes) {
                double box[4];
                if (!SvgPathBounds(sh.path, box))
                    continue;
                if (!any) {
                    lo[0] = box[0], lo[1] = box[1], hi[0] = box[2], hi[1] = box[3];
                    any = true;
                } else {
                    lo[0] = std::min(lo[0], box[0]), lo[1] = std::min(lo[1], box[1]);
                    hi[0] = std::max(hi[0], box[2]), hi[1] = std::max(hi[1], box[3]);
                }
            }
            if (!any || hi[0] <= lo[0] || hi[1] <= lo[1])
                return out = SvgDocument{}, false;
            out.viewX = lo[0], out.viewY = lo[1];
            out.viewWidth = hi[0] - lo[0], out.viewHeight = hi[1] - lo[1];
        }
    }
    if (out.shapes.empty())
        return out = SvgDocument{}, false;
    return true;
}

}  // namespace pt
