// The SVG reader: every path command, shapes, styles and transforms, and
// malformed input that must yield nothing rather than crash.
#include <gtest/gtest.h>

#include <string>

#include "toolkit/svg_document.h"

namespace pt {
namespace {

std::vector<double> EndPoints(const SvgPath& p) {
    std::vector<double> out;
    size_t k = 0;
    for (SvgOp op : p.ops) {
        if (op == SvgOp::kMove || op == SvgOp::kLine) {
            out.push_back(p.coords[k]);
            out.push_back(p.coords[k + 1]);
            k += 2;
        } else if (op == SvgOp::kCubic) {
            out.push_back(p.coords[k + 4]);
            out.push_back(p.coords[k + 5]);
            k += 6;
        }
    }
    return out;
}

TEST(SvgPathTest, AbsoluteAndRelativeLineCommands) {
    SvgPath p;
    ASSERT_TRUE(ParseSvgPathData("M10 10 L20 10 H30 V20 l-5,5 h-5 v-5 m5-5 10 0z", p));
    EXPECT_EQ(EndPoints(p), (std::vector<double>{10, 10, 20, 10, 30, 10, 30, 20, 25, 25, 20, 25, 20,
                                                 20, 25, 15, 35, 15}));
    // "m" with extra pairs draws relative lines; after z the pen returns to 25,15.
    EXPECT_EQ(p.ops.back(), SvgOp::kClose);
}

TEST(SvgPathTest, CurvesSmoothFormsAndCompactNumbers) {
    SvgPath p;
    ASSERT_TRUE(ParseSvgPathData("M0,0C10,0 20,10 20,20S30,40 40,40Q50,40 50,50T50,70t0,10", p));
    ASSERT_EQ(p.ops.size(), 6u);
    for (size_t i = 1; i < p.ops.size(); ++i)
        EXPECT_EQ(p.ops[i], SvgOp::kCubic);
    // S reflects the previous second control point (20,10) about (20,20).
    EXPECT_DOUBLE_EQ(p.coords[8], 20);
    EXPECT_DOUBLE_EQ(p.coords[9], 30);
    EXPECT_EQ(EndPoints(p), (std::vector<double>{0, 0, 20, 20, 40, 40, 50, 50, 50, 70, 50, 80}));
    SvgPath q;
    ASSERT_TRUE(ParseSvgPathData("M.5.5l1e1-2.5E0", q));  // ".5.5" is two numbers
    EXPECT_EQ(EndPoints(q), (std::vector<double>{0.5, 0.5, 10.5, -2}));
}

TEST(SvgPathTest, ArcsEndExactlyAndBulgeTheRightWay) {
    SvgPath p;
    // A half circle of radius 10 from (0,10) to (20,10), sweep 1: goes above
    // the chord in screen terms (y down), i.e. through (10,0).
    ASSERT_TRUE(ParseSvgPathData("M0 10 A10 10 0 0 1 20 10", p));
    const auto ends = EndPoints(p);
    EXPECT_NEAR(ends[ends.size() - 2], 20, 1e-9);
    EXPECT_NEAR(ends.back(), 10, 1e-9);
    double box[4];
    ASSERT_TRUE(SvgPathBounds(p, box));
    EXPECT_NEAR(box[1], 0, 0.6);
    EXPECT_NEAR(box[3], 10, 1e-9);
    // Packed flags, a radius too small (scaled up), zero radius = line.
    SvgPath q;
    ASSERT_TRUE(ParseSvgPathData("M0 0a1 1 0 1120 0a0 5 0 0 0 5 5", q));
    EXPECT_EQ(q.ops.back(), SvgOp::kLine);
    const auto qe = EndPoints(q);
    EXPECT_NEAR(qe[2 * (qe.size() / 2) - 4], 20, 1e-9);
}

TEST(SvgPathTest, ErrorsKeepWhatCameBefore) {
    SvgPath p;
    EXPECT_TRUE(ParseSvgPathData("M0 0 L10 10 L20 X 30 30", p));
    EXPECT_EQ(EndPoints(p), (std::vector<double>{0, 0, 10, 10}));
    EXPECT_FALSE(ParseSvgPathData("L10 10", p)) << "must begin with a move";
    EXPECT_FALSE(ParseSvgPathData("M10 10", p)) << "a lone move draws nothing";
    EXPECT_FALSE(ParseSvgPathData("", p));
    EXPECT_FALSE(ParseSvgPathData("M 1e99999 0 L 1 1", p));
    EXPECT_TRUE(p.Empty());
}

TEST(SvgDocumentTest, ShapesStylesAndGroupTransforms) {
    const std::string svg = R"SVG(<?xml version="1.0"?>
<!-- icon -->
<svg xmlns="http://www.w3.org/2000/svg" viewBox="0 0 24 24" width="20" height="20">
  <defs><path d="M0 0 L5 5"/></defs>
  <g fill="#f00" transform="translate(2,3)">
    <rect x="1" y="1" width="10" height="6" rx="2"/>
    <circle cx="5" cy="5" r="3" style="fill:none; stroke: rgb(0,128,255); stroke-width:2"/>
    <g transform="scale(2)" opacity="0.5"><ellipse cx="1" cy="1" rx="1" ry="0.5" fill-opacity="50%"/></g>
  </g>
  <line x1="0" y1="0" x2="4" y2="4" stroke="black" stroke-linecap="round"/>
  <polyline points="0,0 1,1 2,0" fill="none" stroke="#abc"/>
  <polygon points="0 0, 4 0, 2 3" fill-rule="evenodd"/>
</svg>)SVG";
    SvgDocument doc;
    ASSERT_TRUE(ParseSvg(svg, doc));
    EXPECT_DOUBLE_EQ(doc.viewWidth, 24);
    ASSERT_EQ(doc.shapes.size(), 6u) << "defs are not drawn";
    const SvgShape& rect = doc.shapes[0];
    EXPECT_TRUE(rect.fill);
    EXPECT_EQ(rect.fillRgb, 0xFF0000u);
    double box[4];
    ASSERT_TRUE(SvgPathBounds(rect.path, box));
    EXPECT_DOUBLE_EQ(box[0], 3);  // x 1 + translate 2
    EXPECT_DOUBLE_EQ(box[3], 10);
    const SvgShape& circle = doc.shapes[1];
    EXPECT_FALSE(circle.fill);
    EXPECT_TRUE(circle.stroke);
    EXPECT_EQ(circle.strokeRgb, 0x0080FFu);
    EXPECT_DOUBLE_EQ(circle.strokeWidth, 2);
    const SvgShape& ell = doc.shapes[2];
    EXPECT_DOUBLE_EQ(ell.opacity, 0.5);
    EXPECT_DOUBLE_EQ(ell.fillOpacity, 0.5);
    ASSERT_TRUE(SvgPathBounds(ell.path, box));
    EXPECT_DOUBLE_EQ(box[0], 2);  // (1-1)*2 + 2
    EXPECT_DOUBLE_EQ(box[2], 6);
    EXPECT_FALSE(doc.shapes[3].fill) << "a line is never filled";
    EXPECT_EQ(doc.shapes[3].lineCap, 1);
    EXPECT_EQ(doc.shapes[4].strokeRgb, 0xAABBCCu);
    EXPECT_TRUE(doc.shapes[5].evenOdd);
    EXPECT_EQ(doc.shapes[5].fillRgb, 0u) << "default fill black";
}

TEST(SvgDocumentTest, SizeWithoutViewBoxAndRotateTransform) {
    SvgDocument doc;
    ASSERT_TRUE(ParseSvg(
        R"SVG(<svg width="16px" height="8"><path transform="rotate(90 4 4)" d="M4 0 L8 0"/></svg>)SVG",
        doc));
    EXPECT_DOUBLE_EQ(doc.viewWidth, 16);
    EXPECT_DOUBLE_EQ(doc.viewHeight, 8);
    const auto& c = doc.shapes[0].path.coords;
    EXPECT_NEAR(c[0], 8, 1e-9);  // (4,0) turned 90° about (4,4)
    EXPECT_NEAR(c[1], 4, 1e-9);
    EXPECT_NEAR(c[2], 8, 1e-9);
    EXPECT_NEAR(c[3], 8, 1e-9);
}

TEST(SvgDocumentTest, MalformedDocumentsGiveNothing) {
    const char* bad[] = {
        "",
        "not xml at all",
        "<html><path d='M0 0 L1 1'/></html>",
        "<svg viewBox='0 0 10 10'><path d='M0 0 L1 1'",
        "<svg viewBox='0 0 10 10'><path d=M0/></svg>",
        "<svg viewBox='0 0 10 10'></svg>",
        "<svg viewBox='0 0 10 10'><rect width='-5' height='3'/><circle r='0'/></svg>",
        "<svg viewBox='0 0 10 10'><!-- unterminated",
        "<svg viewBox='0 0 0 0'><path d='M0 0 L0 0'/></svg>",
        "</svg>",
        "<svg viewBox='0 0 10 10'><path d='M0 0 L1 1' fill='none'/></svg>",
    };
    for (const char* text : bad) {
        SvgDocument doc;
        EXPECT_FALSE(ParseSvg(text, doc)) << text;
        EXPECT_TRUE(doc.Empty());
    }
    // Deep nesting is refused, not recursed into.
    std::string deep = "<svg viewBox='0 0 1 1'>";
    for (int i = 0; i < 200; ++i)
        deep += "<g>";
    deep += "<path d='M0 0 L1 1'/>";
    SvgDocument doc;
    EXPECT_FALSE(ParseSvg(deep, doc));
    // Unknown paints and transforms are ignored, the shape still drawn.
    ASSERT_TRUE(
        ParseSvg("<svg viewBox='0 0 4 4'><path fill='url(#g)' transform='wobble(3)' d='M0 0 H4 V4 "
                 "Z'/></svg>",
                 doc));
    EXPECT_EQ(doc.shapes.size(), 1u);
}

}  // namespace
}  // namespace pt
