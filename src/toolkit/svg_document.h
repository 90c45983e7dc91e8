// Our SVG reader for the icons the program ships: path data with every
// command (M L H V C S Q T A Z, absolute and relative), rect (rx, ry),
// circle, ellipse, line, polyline, polygon, groups with transforms, and the
// presentation attributes fill, stroke, stroke-width, stroke-linecap,
// stroke-linejoin, fill-rule, opacity, fill-opacity, stroke-opacity (also
// inside a style attribute). Every shape is reduced to moves, lines, cubic
// curves and closes in the document's user space, transforms applied. Pure
// C++: malformed input yields false, never a crash, so it is fuzzed natively.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace pt {

enum class SvgOp : uint8_t { kMove, kLine, kCubic, kClose };

struct SvgPath {
    std::vector<SvgOp> ops;
    std::vector<double> coords;  // 2 per move/line, 6 per cubic, none per close
    bool Empty() const { return ops.empty(); }
};

struct SvgMatrix {
    double a = 1, b = 0, c = 0, d = 1, e = 0, f = 0;
    // this × other: `other` applies first.
    SvgMatrix Then(const SvgMatrix& outer) const;
    void Apply(double& x, double& y) const;
    double Scale() const;  // mean scale, for stroke widths
};

struct SvgShape {
    SvgPath path;
    bool fill = true;
    uint32_t fillRgb = 0;  // 0xRRGGBB
    double fillOpacity = 1.0;
    bool stroke = false;
    uint32_t strokeRgb = 0;
    double strokeOpacity = 1.0;
    double strokeWidth = 1.0;
    int lineCap = 0;   // 0 butt, 1 round, 2 square
    int lineJoin = 0;  // 0 miter, 1 round, 2 bevel
    bool evenOdd = false;
    double opacity = 1.0;
};

struct SvgDocument {
    double viewX = 0, viewY = 0, viewWidth = 0, viewHeight = 0;
    std::vector<SvgShape> shapes;
    bool Empty() const { return shapes.empty(); }
};

// Parses a whole document. False (and an empty document) when the text is
// not an <svg> document, has no usable view box or size, or nothing in it
// can be drawn.
bool ParseSvg(std::string_view text, SvgDocument& out);

// Parses path data (the "d" attribute) in user space. Stops at the first
// error as SVG renderers do, keeping what came before; false when nothing
// usable was read.
bool ParseSvgPathData(std::string_view data, SvgPath& out);

// Bounding box of the control points (xMin, yMin, xMax, yMax); false when empty.
bool SvgPathBounds(const SvgPath& path, double box[4]);

}  // namespace pt
