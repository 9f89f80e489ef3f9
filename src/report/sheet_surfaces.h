#pragma once
// Surfaces that let drawings made for a whole window or page land on part of a report sheet:
// a region (moved and, when the drawing is bigger than the room left, scaled down as a whole,
// fonts included) and a surface that draws nothing, for the window a viewer's load expects.

#include <functional>
#include <string>

#include "ui/surface.h"

namespace ws {

// Part of another surface: (0, 0) of the region is (left, top) there; every length is
// multiplied by `scale`. The region reports its own width and height, so a drawing that fills
// "the whole surface" fills the region.
class RegionSurface : public Surface {
  public:
    RegionSurface(Surface& base, double left, double top, double width, double height,
                  double scale = 1.0);

    void Clear(Rgb background) override;  // fills the region only
    void SetForeColor(Rgb color) override { base_.SetForeColor(color); }
    Rgb ForeColor() const override { return base_.ForeColor(); }
    void SetLineWidth(int pixels) override { base_.SetLineWidth(pixels); }
    void Line(double x1, double y1, double x2, double y2, Rgb color) override;
    void FilledBox(double x1, double y1, double x2, double y2, Rgb color) override;
    void Polygon(const PixelPoint* points, int count, Rgb pen, Rgb brush) override;
    void SetFont(std::string_view name, double points) override;
    void SetFontSize(double points) override;
    double FontSize() const override { return fontPoints_; }
    std::string FontName() const override { return base_.FontName(); }
    void SetCurrentX(double x) override;
    void SetCurrentY(double y) override;
    double CurrentX() const override;
    double CurrentY() const override;
    void Print(std::string_view text) override;
    double TextWidth(std::string_view text) const override;
    double TextHeight() const override;
    std::optional<Rgb> GetPixel(double x, double y) const override;
    void SetPixel(double x, double y) override;
    void DrawPixels(double x, double y, double width, double height, const uint32_t* pixels,
                    int widthPx, int heightPx, int stridePixels) override;
    // A drawing that runs off the region does not get another sheet: the report plans its
    // sheets so that nothing needs one.
    bool NewPage() override { return false; }
    double Width() const override { return width_; }
    double Height() const override { return height_; }
    double UnitsPerPixelX() const override { return base_.UnitsPerPixelX() / scale_; }
    double UnitsPerPixelY() const override { return base_.UnitsPerPixelY() / scale_; }

  private:
    double X(double x) const { return left_ + x * scale_; }
    double Y(double y) const { return top_ + y * scale_; }

    Surface& base_;
    double left_, top_, width_, height_, scale_;
    double fontPoints_;
};

// Draws nothing; measures text as a 96 dpi screen would, roughly. For procedures that insist
// on drawing a window before the page the report wants.
class NullSurface : public Surface {
  public:
    NullSurface(double width, double height) : width_(width), height_(height) {}
    void Clear(Rgb) override { x_ = y_ = 0; }
    void SetForeColor(Rgb color) override { fore_ = color; }
    Rgb ForeColor() const override { return fore_; }
    void SetLineWidth(int) override {}
    void Line(double, double, double, double, Rgb) override {}
    void FilledBox(double, double, double, double, Rgb) override {}
    void Polygon(const PixelPoint*, int, Rgb, Rgb) override {}
    void SetFont(std::string_view name, double points) override {
        font_ = std::string(name);
        points_ = points;
    }
    void SetFontSize(double points) override { points_ = points; }
    double FontSize() const override { return points_; }
    std::string FontName() const override { return font_; }
    void SetCurrentX(double x) override { x_ = x; }
    void SetCurrentY(double y) override { y_ = y; }
    double CurrentX() const override { return x_; }
    double CurrentY() const override { return y_; }
    void Print(std::string_view) override {
        x_ = 0;
        y_ += TextHeight();
    }
    // Points are 20 twips; an average glyph is about half its height wide.
    double TextWidth(std::string_view text) const override {
        return static_cast<double>(text.size()) * points_ * 10;
    }
    double TextHeight() const override { return points_ * 20 * 1.2; }
    std::optional<Rgb> GetPixel(double, double) const override { return std::nullopt; }
    void SetPixel(double, double) override {}
    double Width() const override { return width_; }
    double Height() const override { return height_; }
    double UnitsPerPixelX() const override { return 15; }
    double UnitsPerPixelY() const override { return 15; }

  private:
    double width_, height_;
    double x_ = 0, y_ = 0;
    double points_ = 8;
    std::string font_ = "MS Sans Serif";
    Rgb fore_ = kBlack;
};

}  // namespace ws
