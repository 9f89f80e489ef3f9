#pragma once
// A surface that keeps every primitive, so a test can assert what was drawn where. It also
// keeps a small pixel map (in units / UnitsPerPixel) so pixel reads see earlier drawing.

#include <cmath>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "ui/surface.h"

namespace ws::test {

struct Primitive {
    enum Kind { Clear, Line, Box, Polygon, Text, Pixel, Image, PageBreak } kind;
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    Rgb color{};  // line, box, text and pixel colour; the pen of a polygon
    Rgb brush{};
    std::vector<PixelPoint> points;
    std::string text;
    double fontSize = 0;
    std::string fontName;
};

class RecordingSurface : public Surface {
  public:
    RecordingSurface(double width = 10000, double height = 6500, double unitsPerPixel = 15)
        : width_(width), height_(height), upp_(unitsPerPixel) {}

    void Clear(Rgb background) override {
        items.push_back({Primitive::Clear, 0, 0, width_, height_, background});
        pixels_.clear();
        background_ = background;
        curX_ = curY_ = 0;
    }
    void SetForeColor(Rgb c) override { fore_ = c; }
    Rgb ForeColor() const override { return fore_; }
    void SetLineWidth(int px) override { lineWidth = px; }
    void Line(double x1, double y1, double x2, double y2, Rgb c) override {
        items.push_back({Primitive::Line, x1, y1, x2, y2, c});
        curX_ = x2;
        curY_ = y2;
    }
    void FilledBox(double x1, double y1, double x2, double y2, Rgb c) override {
        items.push_back({Primitive::Box, x1, y1, x2, y2, c});
        curX_ = x2;
        curY_ = y2;
    }
    void Polygon(const PixelPoint* pts, int n, Rgb pen, Rgb brush) override {
        Primitive p{Primitive::Polygon};
        p.color = pen;
        p.brush = brush;
        p.points.assign(pts, pts + n);
        items.push_back(std::move(p));
    }
    void SetFont(std::string_view name, double pt) override {
        font_ = std::string(name);
        size_ = pt;
    }
    void SetFontSize(double pt) override { size_ = pt; }
    double FontSize() const override { return size_; }
    std::string FontName() const override { return font_; }
    void SetCurrentX(double x) override { curX_ = x; }
    void SetCurrentY(double y) override { curY_ = y; }
    double CurrentX() const override { return curX_; }
    double CurrentY() const override { return curY_; }
    void Print(std::string_view text) override {
        Primitive p{Primitive::Text, curX_, curY_, curX_, curY_, fore_};
        p.text = std::string(text);
        p.fontSize = size_;
        p.fontName = font_;
        items.push_back(std::move(p));
        curX_ = 0;
        curY_ += TextHeight();
    }
    // A fixed-pitch model of text: wide enough to tell layouts apart in tests.
    double TextWidth(std::string_view text) const override {
        size_t chars = 0;
        for (unsigned char c : text)
            if ((c & 0xC0) != 0x80)
                ++chars;
        return static_cast<double>(chars) * size_ * 12.0;
    }
    double TextHeight() const override { return size_ * 20.0 * 1.15; }
    std::optional<Rgb> GetPixel(double x, double y) const override {
        const auto key = Key(x, y);
        if (key.first < 0 || key.second < 0 || x >= width_ || y >= height_)
            return std::nullopt;
        const auto it = pixels_.find(key);
        return it == pixels_.end() ? background_ : it->second;
    }
    void SetPixel(double x, double y) override {
        Primitive p{Primitive::Pixel, x, y, x, y, fore_};
        items.push_back(p);
        pixels_[Key(x, y)] = fore_;
    }
    void DrawPixels(double x, double y, double w, double h, const uint32_t*, int wPx, int hPx,
                    int) override {
        Primitive p{Primitive::Image, x, y, x + w, y + h};
        p.points = {PixelPoint{wPx, hPx}};
        items.push_back(std::move(p));
    }
    bool NewPage() override {
        items.push_back({Primitive::PageBreak});
        ++pages;
        return true;
    }
    int pages = 1;
    double Width() const override { return width_; }
    double Height() const override { return height_; }
    double UnitsPerPixelX() const override { return upp_; }
    double UnitsPerPixelY() const override { return upp_; }

    std::vector<Primitive> Of(Primitive::Kind kind) const {
        std::vector<Primitive> out;
        for (const auto& p : items)
            if (p.kind == kind)
                out.push_back(p);
        return out;
    }
    // How often `text` was printed within half a unit of (x, y); anywhere when x is negative.
    int TextCount(const std::string& text, double x = -1, double y = 0) const {
        int n = 0;
        for (const auto& p : items)
            n += p.kind == Primitive::Text && p.text == text &&
                 (x < 0 || (std::fabs(p.x1 - x) < 0.6 && std::fabs(p.y1 - y) < 0.6));
        return n;
    }
    std::vector<std::string> Texts() const {
        std::vector<std::string> out;
        for (const auto& p : items)
            if (p.kind == Primitive::Text)
                out.push_back(p.text);
        return out;
    }

    std::vector<Primitive> items;
    int lineWidth = 1;

  private:
    std::pair<long, long> Key(double x, double y) const {
        return {static_cast<long>(x / upp_ + (x >= 0 ? 0.5 : -0.5)),
                static_cast<long>(y / upp_ + (y >= 0 ? 0.5 : -0.5))};
    }
    double width_, height_, upp_;
    Rgb fore_ = kBlack, background_ = kWhite;
    std::string font_ = "MS Sans Serif";
    double size_ = 8.25;
    double curX_ = 0, curY_ = 0;
    std::map<std::pair<long, long>, Rgb> pixels_;
};

}  // namespace ws::test
