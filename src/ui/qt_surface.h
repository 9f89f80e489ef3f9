#pragma once
// Surfaces over QPainter: a retained image for windows and PNG export, and a page surface for
// the printer and PDF files.

#include <QFont>
#include <QIcon>
#include <QImage>
#include <QPainter>

#include "ui/surface.h"

class QPrinter;

namespace ws {

class PainterSurface : public Surface {
  public:
    PainterSurface(double unitsPerPixelX, double unitsPerPixelY);
    ~PainterSurface() override;
    PainterSurface(const PainterSurface&) = delete;
    PainterSurface& operator=(const PainterSurface&) = delete;

    void Clear(Rgb background) override;
    void SetForeColor(Rgb color) override { fore_ = color; }
    Rgb ForeColor() const override { return fore_; }
    void SetLineWidth(int pixels) override { lineWidth_ = pixels < 1 ? 1 : pixels; }
    void Line(double x1, double y1, double x2, double y2, Rgb color) override;
    void FilledBox(double x1, double y1, double x2, double y2, Rgb color) override;
    void Polygon(const PixelPoint* points, int count, Rgb pen, Rgb brush) override;
    void SetFont(std::string_view name, double points) override;
    void SetFontSize(double points) override;
    double FontSize() const override { return fontPoints_; }
    std::string FontName() const override { return fontName_; }
    void SetCurrentX(double x) override { curX_ = x; }
    void SetCurrentY(double y) override { curY_ = y; }
    double CurrentX() const override { return curX_; }
    double CurrentY() const override { return curY_; }
    void Print(std::string_view text) override;
    double TextWidth(std::string_view text) const override;
    double TextHeight() const override;
    std::optional<Rgb> GetPixel(double x, double y) const override { return std::nullopt; }
    void SetPixel(double x, double y) override;
    void DrawPixels(double x, double y, double width, double height, const uint32_t* pixels,
                    int widthPx, int heightPx, int stridePixels) override;
    double Width() const override;
    double Height() const override;
    double UnitsPerPixelX() const override { return uppX_; }
    double UnitsPerPixelY() const override { return uppY_; }

    // Ends painting so the device can be read or shown; the next drawing call begins again.
    void Finish();
    // True while painting works; false when the device refused to start (an unwritable PDF).
    bool Active() { return Painter().isActive(); }

  protected:
    virtual QPaintDevice* Device() = 0;
    virtual const QPaintDevice* Device() const = 0;
    QPainter& Painter();
    int ToPxX(double x) const;
    int ToPxY(double y) const;
    QFont MakeFont() const;

  private:
    void UsePen(Rgb color, int width);
    void UseBrush(Rgb color);

    double uppX_, uppY_;
    QPainter painter_;
    Rgb fore_ = kBlack;
    int lineWidth_ = 1;
    std::string fontName_ = "MS Sans Serif";
    double fontPoints_ = 8.25;
    double curX_ = 0, curY_ = 0;
    // Pens and brushes are switched only when their colour changes: the relief draws tens of
    // thousands of polygons in a few colours.
    bool penValid_ = false, brushValid_ = false;
    Rgb penColor_{}, brushColor_{};
    int penWidth_ = 0;
};

// A retained picture: what a window shows and what PNG export saves.
class ImageSurface : public PainterSurface {
  public:
    // Size in device pixels; `dpi` fixes the twips per pixel (1440 / dpi).
    ImageSurface(int widthPx, int heightPx, double dpi);
    // The painter must end while the image still exists: the base class is destroyed after it.
    ~ImageSurface() override { Finish(); }
    void Resize(int widthPx, int heightPx);
    std::optional<Rgb> GetPixel(double x, double y) const override;
    void SetPixel(double x, double y) override;
    // Polygons go straight into the picture's pixels, the painter's own pixels at a fraction
    // of its cost per polygon; a polygon with corners far off the picture still goes through
    // the painter.
    void Polygon(const PixelPoint* points, int count, Rgb pen, Rgb brush) override;
    // A long run is drawn by two threads, each in its own half of the rows; every polygon is
    // cut at the same rows whatever the split, so the picture is the one a single thread draws.
    void Quads(const PixelQuad* quads, size_t count) override;
    // The whole picture in one colour; a large one by two threads, half of the rows each.
    void Clear(Rgb background) override;
    // A box in one colour is a rectangle of whole pixels: written straight into the picture.
    void FilledBox(double x1, double y1, double x2, double y2, Rgb color) override;
    // Off: every polygon and box through the painter (the reference the direct path is
    // proven against).
    void SetDirectPixels(bool on) { directPixels_ = on; }
    // The picture, with all painting finished.
    const QImage& Image();

  protected:
    QPaintDevice* Device() override { return &image_; }
    const QPaintDevice* Device() const override { return &image_; }

  private:
    QImage image_;
    double dpi_;
    bool directPixels_ = true;
};

// A printer page (paper or PDF) in twips.
class PageSurface : public PainterSurface {
  public:
    explicit PageSurface(QPrinter& printer);
    ~PageSurface() override { Finish(); }
    bool NewPage() override;

  protected:
    QPaintDevice* Device() override;
    const QPaintDevice* Device() const override;

  private:
    QPrinter& printer_;
};

// Maps the fonts the windows name ("MS Sans Serif", "Courier New", "Times New Roman") to
// installed, metric-compatible fonts with Cyrillic. Call once after QApplication exists.
void InstallFontSubstitutes();

// A printer drawn in a few strokes: the fonts at hand have no printer glyph, and a button
// showing an empty box tells the operator nothing.
QIcon PrinterIcon();

// Logical screen resolution used to turn twips into pixels.
double ScreenDpi();
int TwipsToPx(double twips);

}  // namespace ws
