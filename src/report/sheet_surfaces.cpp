#include "report/sheet_surfaces.h"

#include <cmath>
#include <vector>

namespace ws {

RegionSurface::RegionSurface(Surface& base, double left, double top, double width, double height,
                             double scale)
    : base_(base),
      left_(left),
      top_(top),
      width_(width),
      height_(height),
      scale_(scale > 0 && std::isfinite(scale) ? scale : 1.0),
      fontPoints_(base.FontSize() / scale_) {}

void RegionSurface::Clear(Rgb background) {
    base_.FilledBox(X(0), Y(0), X(width_), Y(height_), background);
    SetCurrentX(0);
    SetCurrentY(0);
}

void RegionSurface::Line(double x1, double y1, double x2, double y2, Rgb color) {
    base_.Line(X(x1), Y(y1), X(x2), Y(y2), color);
}

void RegionSurface::FilledBox(double x1, double y1, double x2, double y2, Rgb color) {
    base_.FilledBox(X(x1), Y(y1), X(x2), Y(y2), color);
}

void RegionSurface::Polygon(const PixelPoint* points, int count, Rgb pen, Rgb brush) {
    // Device pixels of the region are device pixels of the base, moved to the region's corner.
    const double dx = left_ / base_.UnitsPerPixelX(), dy = top_ / base_.UnitsPerPixelY();
    std::vector<PixelPoint> moved(points, points + (count > 0 ? count : 0));
    for (PixelPoint& p : moved) {
        p.x = static_cast<int32_t>(std::lround(p.x * scale_ + dx));
        p.y = static_cast<int32_t>(std::lround(p.y * scale_ + dy));
    }
    base_.Polygon(moved.data(), count, pen, brush);
}

void RegionSurface::SetFont(std::string_view name, double points) {
    fontPoints_ = points;
    base_.SetFont(name, points * scale_);
}

void RegionSurface::SetFontSize(double points) {
    fontPoints_ = points;
    base_.SetFontSize(points * scale_);
}

void RegionSurface::SetCurrentX(double x) {
    base_.SetCurrentX(X(x));
}
void RegionSurface::SetCurrentY(double y) {
    base_.SetCurrentY(Y(y));
}
double RegionSurface::CurrentX() const {
    return (base_.CurrentX() - left_) / scale_;
}
double RegionSurface::CurrentY() const {
    return (base_.CurrentY() - top_) / scale_;
}

void RegionSurface::Print(std::string_view text) {
    base_.Print(text);
    // The next line starts at the region's left edge, not the sheet's.
    base_.SetCurrentX(left_);
}

double RegionSurface::TextWidth(std::string_view text) const {
    return base_.TextWidth(text) / scale_;
}
double RegionSurface::TextHeight() const {
    return base_.TextHeight() / scale_;
}

std::optional<Rgb> RegionSurface::GetPixel(double x, double y) const {
    return base_.GetPixel(X(x), Y(y));
}
void RegionSurface::SetPixel(double x, double y) {
    base_.SetPixel(X(x), Y(y));
}

void RegionSurface::DrawPixels(double x, double y, double width, double height,
                               const uint32_t* pixels, int widthPx, int heightPx,
                               int stridePixels) {
    base_.DrawPixels(X(x), Y(y), width * scale_, height * scale_, pixels, widthPx, heightPx,
                     stridePixels);
}

}  // namespace ws
