#pragma once
// One drawing interface for the window, the printer page, PDF and PNG export and the tests.
// Units are the surface's own (twips, 1440 per inch, on windows and paper), x to the right
// and y downwards. Polygons are the exception: they take device pixels.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace ws {

struct Rgb {
    uint8_t r = 0, g = 0, b = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};
inline constexpr Rgb kBlack{0, 0, 0};
inline constexpr Rgb kWhite{255, 255, 255};

struct PixelPoint {
    int32_t x = 0, y = 0;
    friend bool operator==(const PixelPoint&, const PixelPoint&) = default;
};

// One quadrilateral in device pixels, outlined one pixel wide with `pen`, filled with `brush`.
struct PixelQuad {
    PixelPoint corners[4];
    Rgb pen, brush;
};

class Surface {
  public:
    virtual ~Surface() = default;

    // Fills the whole surface with the background colour, sets the current position to (0, 0).
    virtual void Clear(Rgb background = kWhite) = 0;

    virtual void SetForeColor(Rgb color) = 0;
    virtual Rgb ForeColor() const = 0;
    // Pen width in device pixels; 1 is the thinnest line.
    virtual void SetLineWidth(int pixels) = 0;

    virtual void Line(double x1, double y1, double x2, double y2, Rgb color) = 0;
    // A box filled (and outlined) in one colour, corners in any order.
    virtual void FilledBox(double x1, double y1, double x2, double y2, Rgb color) = 0;
    // A closed polygon in device pixels, outlined one pixel wide with `pen`, filled with `brush`.
    virtual void Polygon(const PixelPoint* points, int count, Rgb pen, Rgb brush) = 0;
    // Quadrilaterals in order, each drawn as Polygon draws it; a surface may draw the run
    // faster than one call each.
    virtual void Quads(const PixelQuad* quads, size_t count) {
        for (size_t i = 0; i < count; ++i)
            Polygon(quads[i].corners, 4, quads[i].pen, quads[i].brush);
    }

    virtual void SetFont(std::string_view name, double points) = 0;
    virtual void SetFontSize(double points) = 0;
    virtual double FontSize() const = 0;
    virtual std::string FontName() const = 0;

    virtual void SetCurrentX(double x) = 0;
    virtual void SetCurrentY(double y) = 0;
    virtual double CurrentX() const = 0;
    virtual double CurrentY() const = 0;
    void MoveTo(double x, double y) {
        SetCurrentX(x);
        SetCurrentY(y);
    }
    // Draws UTF-8 text in the fore colour with its top at the current position; then the
    // position moves to the start of the next line (x = 0, y + text height), like a line printer.
    virtual void Print(std::string_view text) = 0;
    virtual double TextWidth(std::string_view text) const = 0;
    virtual double TextHeight() const = 0;

    // Colour of the pixel at a point, nothing when the point lies outside or the surface
    // cannot be read back (paper).
    virtual std::optional<Rgb> GetPixel(double x, double y) const = 0;
    // Sets one pixel in the fore colour.
    virtual void SetPixel(double x, double y) = 0;

    // Copies a picture of widthPx x heightPx pixels (0xAARRGGBB rows, `stridePixels` apart)
    // onto the rectangle at (x, y) of `width` x `height` units. Surfaces that cannot show
    // pictures ignore it.
    virtual void DrawPixels(double x, double y, double width, double height, const uint32_t* pixels,
                            int widthPx, int heightPx, int stridePixels) {}

    // Paper goes on to a fresh sheet, the drawing state kept; false where there is no next
    // sheet (windows, pictures).
    virtual bool NewPage() { return false; }

    // Size in surface units.
    virtual double Width() const = 0;
    virtual double Height() const = 0;
    // Surface units per device pixel.
    virtual double UnitsPerPixelX() const = 0;
    virtual double UnitsPerPixelY() const = 0;
};

}  // namespace ws
