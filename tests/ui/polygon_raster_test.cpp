// The direct polygon path against the painter it stands in for: the same pixels for every
// polygon it takes, and the polygons it declines still drawn (by the painter). The relief and
// profile pixel comparisons cover ordinary shapes; these are the edge cases.
#include <QImage>
#include <QPainter>
#include <QtTest>
#include <vector>

#include "ui/polygon_raster.h"
#include "ui/qt_surface.h"

using ws::PixelPoint;

namespace {

constexpr int kW = 61, kH = 47;

QImage Blank() {
    QImage img(kW, kH, QImage::Format_RGB32);
    img.fill(QColor(255, 255, 255));
    return img;
}

// The painter's polygon the direct path stands in for: aliased, with a cosmetic pen.
QImage ByPainter(const std::vector<PixelPoint>& pts, QRgb pen, QRgb brush) {
    QImage img = Blank();
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, false);
    QPen qpen{QColor(pen)};
    qpen.setWidth(0);
    qpen.setCapStyle(Qt::SquareCap);
    qpen.setJoinStyle(Qt::MiterJoin);
    p.setPen(qpen);
    p.setBrush(QBrush(QColor(brush)));
    std::vector<QPoint> q;
    for (const auto& v : pts)
        q.emplace_back(v.x, v.y);
    p.drawPolygon(q.data(), static_cast<int>(q.size()));
    p.end();
    return img;
}

QImage Direct(const std::vector<PixelPoint>& pts, QRgb pen, QRgb brush, int bands = 1) {
    QImage img = Blank();
    for (int b = 0; b < bands; ++b) {
        ws::PixelTarget t;
        t.pixels = reinterpret_cast<uint32_t*>(img.bits());
        t.stride = static_cast<int>(img.bytesPerLine() / 4);
        t.width = kW;
        t.height = kH;
        t.rowBegin = kH * b / bands;
        t.rowEnd = kH * (b + 1) / bands;
        ws::FillAndOutline(t, pts.data(), static_cast<int>(pts.size()), pen, brush);
    }
    return img;
}

}  // namespace

class PolygonRasterTest : public QObject {
    Q_OBJECT
  private slots:
    void HandPicked_data();
    void HandPicked();
};

void PolygonRasterTest::HandPicked_data() {
    QTest::addColumn<QVector<int>>("xy");
    QTest::addColumn<bool>("handled");
    QTest::newRow("one point") << QVector<int>{5, 5, 5, 5, 5, 5, 5, 5} << true;
    QTest::newRow("flat segment") << QVector<int>{3, 9, 20, 9, 20, 9, 3, 9} << true;
    QTest::newRow("steep segment") << QVector<int>{7, 2, 9, 30, 9, 30, 7, 2} << true;
    QTest::newRow("thin sliver") << QVector<int>{10, 10, 11, 40, 12, 40, 11, 10} << true;
    QTest::newRow("bow tie") << QVector<int>{5, 5, 30, 30, 30, 5, 5, 30} << true;
    QTest::newRow("across the left side") << QVector<int>{-1, 4, 12, 9, 6, 30, -1, 40} << true;
    QTest::newRow("across the right side") << QVector<int>{50, 2, 62, 10, 62, 44, 40, 30} << true;
    QTest::newRow("on the bottom edge") << QVector<int>{3, 40, 50, 48, 30, 48, 0, 44} << true;
    QTest::newRow("far off the picture") << QVector<int>{-500, 3, 20, 9, 20, 20, -400, 30} << false;
    QTest::newRow("closed on its first corner")
        << QVector<int>{18, 24, 15, 20, 19, 22, 18, 24} << true;
}

void PolygonRasterTest::HandPicked() {
    QFETCH(QVector<int>, xy);
    QFETCH(bool, handled);
    std::vector<PixelPoint> pts;
    for (int i = 0; i + 1 < xy.size(); i += 2)
        pts.push_back({xy[i], xy[i + 1]});
    QCOMPARE(ws::RasterHandles(pts.data(), 4, kW, kH), handled);
    if (handled) {
        const QImage want = ByPainter(pts, qRgb(179, 0, 71), qRgb(255, 0, 102));
        QCOMPARE(Direct(pts, qRgb(179, 0, 71), qRgb(255, 0, 102)), want);
        QCOMPARE(Direct(pts, qRgb(179, 0, 71), qRgb(255, 0, 102), 3), want);  // in three bands
    }
}

QTEST_GUILESS_MAIN(PolygonRasterTest)
#include "polygon_raster_test.moc"
