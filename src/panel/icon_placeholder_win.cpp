// The drawn stand-ins for icons not extracted yet; see icon_placeholder.h.
#include "panel/icon_placeholder.h"

#include <gdiplus.h>

#include <array>

namespace pt {
namespace {

class PlaceholderImage final : public Image {
  public:
    PlaceholderImage(IconPlaceholderKind kind, int side) : kind_(kind), side_(side) {}
    Size NaturalSize() const override { return Size{side_, side_}; }

    void Draw(Gdiplus::Graphics& g, const Rect& box) const override {
        const Gdiplus::REAL w = static_cast<Gdiplus::REAL>(box.Width());
        const Gdiplus::REAL h = static_cast<Gdiplus::REAL>(box.Height());
        if (w <= 0 || h <= 0)
            return;
        const Gdiplus::REAL x = static_cast<Gdiplus::REAL>(box.left);
        const Gdiplus::REAL y = static_cast<Gdiplus::REAL>(box.top);
        const Gdiplus::REAL u = (w < h ? w : h) / 40.0f;  // drawn on a 40-unit grid
        const Gdiplus::SmoothingMode oldMode = g.GetSmoothingMode();
        g.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
        Gdiplus::Pen outline(Gdiplus::Color(255, 150, 150, 150), 1.2f * u);
        switch (kind_) {
            case IconPlaceholderKind::kFile: {
                // A page with its top right corner folded down.
                const Gdiplus::PointF page[] = {{x + 9 * u, y + 4 * u},
                                                {x + 25 * u, y + 4 * u},
                                                {x + 32 * u, y + 11 * u},
                                                {x + 32 * u, y + 36 * u},
                                                {x + 9 * u, y + 36 * u}};
                Gdiplus::SolidBrush paper(Gdiplus::Color(255, 250, 250, 250));
                g.FillPolygon(&paper, page, 5);
                g.DrawPolygon(&outline, page, 5);
                const Gdiplus::PointF fold[] = {
                    {x + 25 * u, y + 4 * u}, {x + 25 * u, y + 11 * u}, {x + 32 * u, y + 11 * u}};
                g.DrawLines(&outline, fold, 3);
                break;
            }
            case IconPlaceholderKind::kFolder: {
                Gdiplus::SolidBrush back(Gdiplus::Color(255, 232, 184, 72));
                Gdiplus::SolidBrush front(Gdiplus::Color(255, 250, 206, 98));
                const Gdiplus::PointF tab[] = {{x + 4 * u, y + 9 * u},   {x + 15 * u, y + 9 * u},
                                               {x + 18 * u, y + 12 * u}, {x + 36 * u, y + 12 * u},
                                               {x + 36 * u, y + 33 * u}, {x + 4 * u, y + 33 * u}};
                g.FillPolygon(&back, tab, 6);
                g.FillRectangle(&front, x + 4 * u, y + 16 * u, 32 * u, 17 * u);
                break;
            }
            case IconPlaceholderKind::kWeb: {
                // A globe: its rim, the equator and one meridian.
                Gdiplus::Pen line(Gdiplus::Color(255, 40, 120, 200), 1.6f * u);
                Gdiplus::SolidBrush sea(Gdiplus::Color(255, 214, 234, 250));
                g.FillEllipse(&sea, x + 6 * u, y + 6 * u, 28 * u, 28 * u);
                g.DrawEllipse(&line, x + 6 * u, y + 6 * u, 28 * u, 28 * u);
                g.DrawEllipse(&line, x + 14 * u, y + 6 * u, 12 * u, 28 * u);
                g.DrawLine(&line, x + 6 * u, y + 20 * u, x + 34 * u, y + 20 * u);
                break;
            }
        }
        g.SetSmoothingMode(oldMode);
    }

  private:
    IconPlaceholderKind kind_;
    int side_;
};

}  // namespace

IconPlaceholderKind PlaceholderKindOfType(std::string_view type) {
    if (type == "folder" || type == "unc")
        return IconPlaceholderKind::kFolder;
    if (type == "url")
        return IconPlaceholderKind::kWeb;
    return IconPlaceholderKind::kFile;
}

std::shared_ptr<Image> IconPlaceholder(IconPlaceholderKind kind, int side) {
    static std::array<std::shared_ptr<PlaceholderImage>, 3> made;
    std::shared_ptr<PlaceholderImage>& image = made[static_cast<size_t>(kind)];
    if (!image || image->NaturalSize().width != side)
        image = std::make_shared<PlaceholderImage>(kind, side);
    return image;
}

}  // namespace pt
