#include "ui/qt_surface.h"

#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPixmap>
#include <QPrinter>
#include <QScreen>
#include <QVarLengthArray>
#include <algorithm>
#include <cmath>
#include <thread>

#include "ui/polygon_raster.h"

namespace ws {
namespace {
QColor ToQColor(Rgb c) {
    return QColor(c.r, c.g, c.b);
}

int RoundPx(double v) {
    if (!std::isfinite(v))
        return 0;
    if (v > 1e8)
        return 100000000;
    if (v < -1e8)
        return -100000000;
    return static_cast<int>(std::lround(v));
}
}  // namespace

PainterSurface::PainterSurface(double unitsPerPixelX, double unitsPerPixelY)
    : uppX_(unitsPerPixelX), uppY_(unitsPerPixelY) {}

PainterSurface::~PainterSurface() {
    Finish();
}

QPainter& PainterSurface::Painter() {
    if (!painter_.isActive()) {
        painter_.begin(Device());
        painter_.setRenderHint(QPainter::Antialiasing, false);
        painter_.setRenderHint(QPainter::TextAntialiasing, true);
        penValid_ = brushValid_ = false;
    }
    return painter_;
}

void PainterSurface::Finish() {
    if (painter_.isActive())
        painter_.end();
}

int PainterSurface::ToPxX(double x) const {
    return RoundPx(x / uppX_);
}
int PainterSurface::ToPxY(double y) const {
    return RoundPx(y / uppY_);
}

void PainterSurface::UsePen(Rgb color, int width) {
    if (penValid_ && penColor_ == color && penWidth_ == width)
        return;
    QPen pen(ToQColor(color));
    pen.setWidth(width <= 1 ? 0 : width);  // 0: cosmetic one-pixel pen
    pen.setCapStyle(Qt::SquareCap);
    pen.setJoinStyle(Qt::MiterJoin);
    painter_.setPen(pen);
    penColor_ = color;
    penWidth_ = width;
    penValid_ = true;
}

void PainterSurface::UseBrush(Rgb color) {
    if (brushValid_ && brushColor_ == color)
        return;
    painter_.setBrush(QBrush(ToQColor(color)));
    brushColor_ = color;
    brushValid_ = true;
}

void PainterSurface::Clear(Rgb background) {
    QPainter& p = Painter();
    const QRect all(0, 0, Device()->width(), Device()->height());
    p.fillRect(all, ToQColor(background));
    curX_ = curY_ = 0;
}

void PainterSurface::Line(double x1, double y1, double x2, double y2, Rgb color) {
    QPainter& p = Painter();
    UsePen(color, lineWidth_);
    p.drawLine(ToPxX(x1), ToPxY(y1), ToPxX(x2), ToPxY(y2));
    curX_ = x2;
    curY_ = y2;
}

void PainterSurface::FilledBox(double x1, double y1, double x2, double y2, Rgb color) {
    QPainter& p = Painter();
    int a = ToPxX(x1), b = ToPxX(x2), c = ToPxY(y1), d = ToPxY(y2);
    if (a > b)
        std::swap(a, b);
    if (c > d)
        std::swap(c, d);
    // Both corners are inside the box, as with the classic filled-box line.
    p.fillRect(QRect(QPoint(a, c), QPoint(b, d)), ToQColor(color));
    curX_ = x2;
    curY_ = y2;
}

void PainterSurface::Polygon(const PixelPoint* points, int count, Rgb pen, Rgb brush) {
    if (count < 2)
        return;
    QPainter& p = Painter();
    UsePen(pen, 1);
    UseBrush(brush);
    QVarLengthArray<QPoint, 8> pts;
    for (int i = 0; i < count; ++i)
        pts.append(QPoint(points[i].x, points[i].y));
    p.drawPolygon(pts.constData(), pts.size());
}

QFont PainterSurface::MakeFont() const {
    QFont font(QString::fromStdString(fontName_));
    font.setPointSizeF(fontPoints_ > 0 ? fontPoints_ : 8.25);
    return font;
}

void PainterSurface::SetFont(std::string_view name, double points) {
    fontName_ = std::string(name);
    fontPoints_ = points;
}

void PainterSurface::SetFontSize(double points) {
    fontPoints_ = points;
}

void PainterSurface::Print(std::string_view text) {
    QPainter& p = Painter();
    const QFont font = MakeFont();
    p.setFont(font);
    UsePen(fore_, 1);
    const QFontMetricsF fm(font, Device());
    const QString s = QString::fromUtf8(text.data(), static_cast<int>(text.size()));
    p.drawText(QPointF(curX_ / uppX_, curY_ / uppY_ + fm.ascent()), s);
    curX_ = 0;
    curY_ += fm.height() * uppY_;
}

double PainterSurface::TextWidth(std::string_view text) const {
    const QFontMetricsF fm(MakeFont(), const_cast<QPaintDevice*>(Device()));
    return fm.horizontalAdvance(QString::fromUtf8(text.data(), static_cast<int>(text.size()))) *
           uppX_;
}

double PainterSurface::TextHeight() const {
    const QFontMetricsF fm(MakeFont(), const_cast<QPaintDevice*>(Device()));
    return fm.height() * uppY_;
}

void PainterSurface::SetPixel(double x, double y) {
    QPainter& p = Painter();
    UsePen(fore_, 1);
    p.drawPoint(ToPxX(x), ToPxY(y));
}

double PainterSurface::Width() const {
    return Device()->width() * uppX_;
}
double PainterSurface::Height() const {
    return Device()->height() * uppY_;
}
void PainterSurface::DrawPixels(double x, double y, double width, double height,
                                const uint32_t* pixels, int widthPx, int heightPx,
                                int stridePixels) {
    if (!pixels || widthPx <= 0 || heightPx <= 0 || stridePixels < widthPx)
        return;
    QPainter& p = Painter();
    const QImage img(reinterpret_cast<const uchar*>(pixels), widthPx, heightPx,
                     static_cast<qsizetype>(stridePixels) * 4, QImage::Format_RGB32);
    p.drawImage(QRectF(x / uppX_, y / uppY_, width / uppX_, height / uppY_), img);
}

ImageSurface::ImageSurface(int widthPx, int heightPx, double dpi)
    : PainterSurface(1440.0 / dpi, 1440.0 / dpi), dpi_(dpi) {
    Resize(widthPx, heightPx);
}

void ImageSurface::Resize(int widthPx, int heightPx) {
    Finish();
    image_ = QImage(std::max(1, widthPx), std::max(1, heightPx), QImage::Format_RGB32);
    const int dpm = static_cast<int>(std::lround(dpi_ / 0.0254));
    image_.setDotsPerMeterX(dpm);
    image_.setDotsPerMeterY(dpm);
    image_.fill(Qt::white);
}

std::optional<Rgb> ImageSurface::GetPixel(double x, double y) const {
    const int px = ToPxX(x), py = ToPxY(y);
    if (px < 0 || py < 0 || px >= image_.width() || py >= image_.height())
        return std::nullopt;
    const QRgb c = image_.pixel(px, py);
    return Rgb{static_cast<uint8_t>(qRed(c)), static_cast<uint8_t>(qGreen(c)),
               static_cast<uint8_t>(qBlue(c))};
}

void ImageSurface::SetPixel(double x, double y) {
    const int px = ToPxX(x), py = ToPxY(y);
    if (px < 0 || py < 0 || px >= image_.width() || py >= image_.height())
        return;
    // Straight into the buffer: painting a point through QPainter would be slower and the
    // marker's colours must come back exactly.
    Finish();
    const Rgb c = ForeColor();
    image_.setPixel(px, py, qRgb(c.r, c.g, c.b));
}

void ImageSurface::Polygon(const PixelPoint* points, int count, Rgb pen, Rgb brush) {
    if (!directPixels_ || !RasterHandles(points, count, image_.width(), image_.height())) {
        PainterSurface::Polygon(points, count, pen, brush);
        return;
    }
    // While the painter is active it owns the only reference to the pixels (a copy handed out
    // by Image() was made with painting finished, and begin() detached from it), so bits()
    // never copies under the painter's feet.
    PixelTarget target;
    target.pixels = reinterpret_cast<uint32_t*>(image_.bits());
    target.stride = static_cast<int>(image_.bytesPerLine() / 4);
    target.width = image_.width();
    target.height = image_.height();
    target.rowBegin = 0;
    target.rowEnd = image_.height();
    FillAndOutline(target, points, count, qRgb(pen.r, pen.g, pen.b),
                   qRgb(brush.r, brush.g, brush.b));
}

void ImageSurface::Clear(Rgb background) {
    if (!directPixels_) {
        PainterSurface::Clear(background);
        return;
    }
    uchar* const bits = image_.bits();
    const qsizetype bytesPerLine = image_.bytesPerLine();
    const int w = image_.width(), h = image_.height();
    const uint32_t argb = qRgb(background.r, background.g, background.b);
    auto rows = [=](int from, int to) {
        for (int y = from; y < to; ++y) {
            auto* row = reinterpret_cast<uint32_t*>(bits + y * bytesPerLine);
            std::fill(row, row + w, argb);
        }
    };
    // A zoomed relief's canvas holds millions of pixels: a second thread halves the wait. A
    // window-sized one is filled sooner than a second thread starts on a busy machine.
    constexpr qsizetype kThreadedPixels = qsizetype{1} << 21;
    std::thread helper;
    if (qsizetype{w} * h >= kThreadedPixels) {
        try {
            helper = std::thread(rows, h / 2, h);
        } catch (...) {
            // no second thread: the loop below takes every row
        }
    }
    rows(0, helper.joinable() ? h / 2 : h);
    if (helper.joinable())
        helper.join();
    SetCurrentX(0);
    SetCurrentY(0);
}

void ImageSurface::FilledBox(double x1, double y1, double x2, double y2, Rgb color) {
    if (!directPixels_) {
        PainterSurface::FilledBox(x1, y1, x2, y2, color);
        return;
    }
    // The painter's box from corner pixel to corner pixel, both inside, cut to the picture.
    int a = ToPxX(x1), b = ToPxX(x2), c = ToPxY(y1), d = ToPxY(y2);
    if (a > b)
        std::swap(a, b);
    if (c > d)
        std::swap(c, d);
    a = std::max(a, 0);
    c = std::max(c, 0);
    b = std::min(b, image_.width() - 1);
    d = std::min(d, image_.height() - 1);
    if (a <= b && c <= d) {
        uchar* const bits = image_.bits();
        const qsizetype bytesPerLine = image_.bytesPerLine();
        const uint32_t argb = qRgb(color.r, color.g, color.b);
        for (int y = c; y <= d; ++y) {
            auto* row = reinterpret_cast<uint32_t*>(bits + y * bytesPerLine);
            std::fill(row + a, row + b + 1, argb);
        }
    }
    SetCurrentX(x2);
    SetCurrentY(y2);
}

void ImageSurface::Quads(const PixelQuad* quads, size_t count) {
    // A shorter run takes about a millisecond on one thread: less than starting a second
    // thread and waiting for it costs on a busy machine.
    constexpr size_t kThreadedRun = 8192;
    if (!directPixels_ || count < kThreadedRun || image_.height() < 2) {
        Surface::Quads(quads, count);
        return;
    }
    // The bands write the pixels themselves: the painter must not hold them meanwhile.
    Finish();
    uchar* const bits = image_.bits();
    const int w = image_.width(), h = image_.height();
    const qsizetype bytesPerLine = image_.bytesPerLine();
    const QImage::Format format = image_.format();
    auto band = [=](int rowBegin, int rowEnd) {
        PixelTarget target;
        target.pixels = reinterpret_cast<uint32_t*>(bits);
        target.stride = static_cast<int>(bytesPerLine / 4);
        target.width = w;
        target.height = h;
        target.rowBegin = rowBegin;
        target.rowEnd = rowEnd;
        // A polygon the direct path declines goes to a painter of this band's own over the
        // same pixels, clipped to the band's rows: the engine places pixels by the whole
        // picture and only drops those outside the clip.
        QImage view(bits, w, h, bytesPerLine, format);
        QPainter painter;
        for (size_t i = 0; i < count; ++i) {
            const PixelQuad& q = quads[i];
            if (RasterHandles(q.corners, 4, w, h)) {
                FillAndOutline(target, q.corners, 4, qRgb(q.pen.r, q.pen.g, q.pen.b),
                               qRgb(q.brush.r, q.brush.g, q.brush.b));
                continue;
            }
            if (!painter.isActive()) {
                painter.begin(&view);
                painter.setRenderHint(QPainter::Antialiasing, false);
                painter.setClipRect(QRect(0, rowBegin, w, rowEnd - rowBegin));
            }
            QPen pen(ToQColor(q.pen));
            pen.setWidth(0);
            pen.setCapStyle(Qt::SquareCap);
            pen.setJoinStyle(Qt::MiterJoin);
            painter.setPen(pen);
            painter.setBrush(QBrush(ToQColor(q.brush)));
            const QPoint pts[4] = {{q.corners[0].x, q.corners[0].y},
                                   {q.corners[1].x, q.corners[1].y},
                                   {q.corners[2].x, q.corners[2].y},
                                   {q.corners[3].x, q.corners[3].y}};
            painter.drawPolygon(pts, 4);
        }
        if (painter.isActive())
            painter.end();
    };
    const int middle = h / 2;
    std::thread helper;
    try {
        helper = std::thread(band, middle, h);
    } catch (...) {
        // No second thread to be had: the same bands one after the other.
        band(middle, h);
    }
    band(0, middle);
    if (helper.joinable())
        helper.join();
}

const QImage& ImageSurface::Image() {
    Finish();
    return image_;
}

PageSurface::PageSurface(QPrinter& printer)
    : PainterSurface(1440.0 / printer.resolution(), 1440.0 / printer.resolution()),
      printer_(printer) {}

bool PageSurface::NewPage() {
    return printer_.newPage();
}

QPaintDevice* PageSurface::Device() {
    return &printer_;
}
const QPaintDevice* PageSurface::Device() const {
    return &printer_;
}

void InstallFontSubstitutes() {
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"),
                               {QStringLiteral("DejaVu Sans"), QStringLiteral("Liberation Sans"),
                                QStringLiteral("Microsoft Sans Serif")});
    QFont::insertSubstitutions(QStringLiteral("Courier New"), {QStringLiteral("Liberation Mono"),
                                                               QStringLiteral("DejaVu Sans Mono")});
    QFont::insertSubstitutions(
        QStringLiteral("Times New Roman"),
        {QStringLiteral("Liberation Serif"), QStringLiteral("DejaVu Serif")});
}

double ScreenDpi() {
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        return screen->logicalDotsPerInch();
    return 96.0;
}

int TwipsToPx(double twips) {
    return static_cast<int>(std::lround(twips * ScreenDpi() / 1440.0));
}

}  // namespace ws

namespace ws {

QIcon PrinterIcon() {
    QIcon icon;
    for (const int size : {16, 24, 32, 48}) {
        QPixmap pm(size, size);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(size / 16.0, size / 16.0);
        p.setPen(QPen(QColor(40, 40, 40), 1.0));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(4.5, 1.5, 7, 5));  // the paper going in
        p.setBrush(QColor(150, 150, 150));
        p.drawRoundedRect(QRectF(1.5, 6.5, 13, 6), 1, 1);  // the body
        p.setBrush(Qt::white);
        p.drawRect(QRectF(4.5, 10.5, 7, 4));  // the sheet coming out
        p.drawLine(QPointF(6, 12.5), QPointF(10, 12.5));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 160, 0));
        p.drawEllipse(QPointF(12.5, 8.5), 0.9, 0.9);
        p.end();
        icon.addPixmap(pm);
    }
    return icon;
}

}  // namespace ws
