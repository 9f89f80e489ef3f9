#include "map/map_view.h"

#include <algorithm>
#include <cmath>

#include "data/numbers.h"
#include "data/record.h"

namespace ws {
namespace {

constexpr uint32_t kBackground = 0xFFFFFFFFu;  // beyond the end of a short scan
// A cell is never drawn wider than this (twips): closer in there is nothing more to see.
constexpr double kLargestCell = 900.0;
constexpr double kCellMm = kPointSpacingMm;

std::string Mm(double v) {
    return FormatMask(v, "###0", ".");
}

}  // namespace

double NiceInterval(double span, int target) {
    if (!(span > 0) || !std::isfinite(span) || target < 1)
        return 1.0;
    const double raw = span / target;
    const double p = std::pow(10.0, std::floor(std::log10(raw)));
    const double f = raw / p;
    const double nice = f <= 1.0 ? 1.0 : f <= 2.0 ? 2.0 : f <= 5.0 ? 5.0 : 10.0;
    return nice * p;
}

MapLayout MakeMapLayout(double width, double height, bool header) {
    MapLayout l;
    l.plotLeft = 1100;
    l.plotTop = header ? 1000 : 450;
    l.plotRight = std::max(l.plotLeft + 100, width - 1900);
    l.plotBottom = std::max(l.plotTop + 100, height - 700);
    l.barLeft = l.plotRight + 400;
    l.barRight = l.barLeft + 300;
    l.barTop = l.plotTop;
    l.barBottom = std::max(l.barTop + 100, l.plotBottom - 600);
    return l;
}

MapView::MapView(const MapModel& model) : model_(model), scale_({}, 0, 0) {
    SetThresholds({});
}

void MapView::SetThresholds(Thresholds thresholds) {
    float lo = 0, hi = 0;
    model_.ReadingRange(lo, hi);
    scale_ = ColorScale(thresholds, lo, hi);
}

void MapView::SetSpacing(double mm) {
    if (!(mm > 0) || !std::isfinite(mm))
        return;
    // Keep the scan at the middle of the view where it was.
    const double midRow = (y0_ + plotH_ * mmPerUnit_ / 2) / spacing_;
    spacing_ = mm;
    y0_ = midRow * spacing_ - plotH_ * mmPerUnit_ / 2;
    Clamp();
}

double MapView::MapWidthMm() const {
    return kCellMm * model_.MaxLength();
}

double MapView::MapHeightMm() const {
    return spacing_ * model_.Rows();
}

void MapView::Fit(double plotWidth, double plotHeight) {
    plotW_ = std::max(plotWidth, 1.0);
    plotH_ = std::max(plotHeight, 1.0);
    const double w = std::max(MapWidthMm(), kCellMm), h = std::max(MapHeightMm(), spacing_);
    mmPerUnit_ = std::max(w / plotW_, h / plotH_);
    x0_ = (w - plotW_ * mmPerUnit_) / 2;
    y0_ = (h - plotH_ * mmPerUnit_) / 2;
}

void MapView::Clamp() {
    const double w = std::max(MapWidthMm(), kCellMm), h = std::max(MapHeightMm(), spacing_);
    const double fit = std::max(w / std::max(plotW_, 1.0), h / std::max(plotH_, 1.0));
    mmPerUnit_ = std::clamp(mmPerUnit_, std::min(kCellMm / kLargestCell, fit), fit * 2);
    // At least a quarter of the plot keeps showing the map.
    const double vw = plotW_ * mmPerUnit_, vh = plotH_ * mmPerUnit_;
    x0_ =
        std::clamp(x0_, std::min(-vw * 0.75, (w - vw) / 2), std::max(w - vw * 0.25, (w - vw) / 2));
    y0_ =
        std::clamp(y0_, std::min(-vh * 0.75, (h - vh) / 2), std::max(h - vh * 0.25, (h - vh) / 2));
}

void MapView::ZoomAt(double x, double y, double factor, const MapLayout& l) {
    if (!(factor > 0) || !std::isfinite(factor))
        return;
    plotW_ = l.PlotWidth();
    plotH_ = l.PlotHeight();
    const double ax = AlongMm(x, l), ay = AcrossMm(y, l);
    mmPerUnit_ /= factor;
    Clamp();
    x0_ = ax - (x - l.plotLeft) * mmPerUnit_;
    y0_ = ay - (y - l.plotTop) * mmPerUnit_;
    Clamp();
}

void MapView::Pan(double dx, double dy) {
    x0_ -= dx * mmPerUnit_;
    y0_ -= dy * mmPerUnit_;
    Clamp();
}

std::optional<MapCell> MapView::CellAt(double x, double y, const MapLayout& l) const {
    if (x < l.plotLeft || x >= l.plotRight || y < l.plotTop || y >= l.plotBottom)
        return std::nullopt;
    const double row = std::floor(AcrossMm(y, l) / spacing_);
    const double col = std::floor(AlongMm(x, l) / kCellMm);
    if (row < 0 || col < 0 || row >= model_.Rows() || col >= model_.MaxLength())
        return std::nullopt;
    const MapCell c{static_cast<int32_t>(row), static_cast<int32_t>(col)};
    if (!model_.HasCell(c.row, c.col))
        return std::nullopt;
    return c;
}

bool MapView::CellsIn(double x1, double y1, double x2, double y2, const MapLayout& l, int32_t& row0,
                      int32_t& row1, int32_t& col0, int32_t& col1) const {
    const double a0 = AlongMm(std::min(x1, x2), l), a1 = AlongMm(std::max(x1, x2), l);
    const double c0 = AcrossMm(std::min(y1, y2), l), c1 = AcrossMm(std::max(y1, y2), l);
    const double r0 = std::max(0.0, std::floor(c0 / spacing_));
    const double r1 = std::min(model_.Rows() - 1.0, std::floor(c1 / spacing_));
    const double k0 = std::max(0.0, std::floor(a0 / kCellMm));
    const double k1 = std::min(model_.MaxLength() - 1.0, std::floor(a1 / kCellMm));
    if (r1 < r0 || k1 < k0)
        return false;
    row0 = static_cast<int32_t>(r0);
    row1 = static_cast<int32_t>(r1);
    col0 = static_cast<int32_t>(k0);
    col1 = static_cast<int32_t>(k1);
    return true;
}

void MapView::Render(std::vector<uint32_t>& out, int widthPx, int heightPx, double plotWidth,
                     double plotHeight) const {
    widthPx = std::max(widthPx, 1);
    heightPx = std::max(heightPx, 1);
    out.assign(static_cast<size_t>(widthPx) * static_cast<size_t>(heightPx), kBackground);
    // The cells each pixel column and row covers; -1: none.
    auto ranges = [](int count, double start, double mmPerPx, double cellMm, int32_t cells,
                     std::vector<int32_t>& from, std::vector<int32_t>& to) {
        from.assign(static_cast<size_t>(count), -1);
        to.assign(static_cast<size_t>(count), -1);
        for (int i = 0; i < count; ++i) {
            const double a = start + i * mmPerPx, b = a + mmPerPx;
            double c0, c1;
            if (mmPerPx <= cellMm) {
                // At most two cells meet in this pixel: its centre decides, so edges stay sharp.
                c0 = c1 = std::floor((a + b) / 2 / cellMm);
            } else {
                c0 = std::floor(a / cellMm);
                c1 = std::max(c0, std::ceil(b / cellMm) - 1);
            }
            if (c1 < 0 || c0 >= cells)
                continue;
            from[static_cast<size_t>(i)] = static_cast<int32_t>(std::max(c0, 0.0));
            to[static_cast<size_t>(i)] = static_cast<int32_t>(std::min(c1, cells - 1.0));
        }
    };
    std::vector<int32_t> cFrom, cTo, rFrom, rTo;
    ranges(widthPx, x0_, mmPerUnit_ * plotWidth / widthPx, kCellMm, model_.MaxLength(), cFrom, cTo);
    ranges(heightPx, y0_, mmPerUnit_ * plotHeight / heightPx, spacing_, model_.Rows(), rFrom, rTo);
    const uint32_t grey = scale_.Argb(0.0f);
    for (int py = 0; py < heightPx; ++py) {
        const int32_t r0 = rFrom[static_cast<size_t>(py)], r1 = rTo[static_cast<size_t>(py)];
        if (r0 < 0)
            continue;
        uint32_t* line = out.data() + static_cast<size_t>(py) * static_cast<size_t>(widthPx);
        for (int px = 0; px < widthPx; ++px) {
            const int32_t c0 = cFrom[static_cast<size_t>(px)], c1 = cTo[static_cast<size_t>(px)];
            if (c0 < 0)
                continue;
            bool cell = false;
            float best = 0.0f;
            bool reading = false;
            for (int32_t r = r0; r <= r1; ++r) {
                const int32_t len = model_.RowLength(r);
                if (c0 >= len)
                    continue;
                cell = true;
                const float* v = model_.Row(r);
                const int32_t last = std::min(c1, len - 1);
                for (int32_t c = c0; c <= last; ++c) {
                    const float t = v[c];
                    if (t >= kReadingLimit && (!reading || t < best)) {
                        best = t;
                        reading = true;
                    }
                }
            }
            if (reading)
                line[px] = scale_.Argb(best);
            else if (cell)
                line[px] = grey;
        }
    }
}

void MapView::Draw(Surface& s, const MapLayout& l, int maxPixels) {
    plotW_ = l.PlotWidth();
    plotH_ = l.PlotHeight();
    const int wPx = std::clamp(static_cast<int>(std::lround(plotW_ / s.UnitsPerPixelX())), 1,
                               std::max(maxPixels, 1));
    const int hPx = std::clamp(static_cast<int>(std::lround(plotH_ / s.UnitsPerPixelY())), 1,
                               std::max(maxPixels, 1));
    Render(pixels, wPx, hPx, plotW_, plotH_);
    s.DrawPixels(l.plotLeft, l.plotTop, plotW_, plotH_, pixels.data(), wPx, hPx, wPx);
    s.Line(l.plotLeft, l.plotTop, l.plotRight, l.plotTop, kBlack);
    s.Line(l.plotRight, l.plotTop, l.plotRight, l.plotBottom, kBlack);
    s.Line(l.plotRight, l.plotBottom, l.plotLeft, l.plotBottom, kBlack);
    s.Line(l.plotLeft, l.plotBottom, l.plotLeft, l.plotTop, kBlack);
    DrawAxes(s, l);
    DrawLegend(s, l);
}

void MapView::DrawAxes(Surface& s, const MapLayout& l) const {
    s.SetFontSize(8);
    s.SetForeColor(kBlack);
    const double th = s.TextHeight();
    // Along the scans, under the plot.
    {
        const double from = std::max(0.0, x0_),
                     to = std::min(MapWidthMm(), x0_ + plotW_ * mmPerUnit_);
        // Labels over the part of the map in view: a narrow strip still gets several.
        double step = NiceInterval(std::max(to - from, kCellMm), 8);
        // Never closer than a label and a half: "10000" beside "10200" would run together.
        const double minStep = 1.5 * s.TextWidth("00000") * mmPerUnit_;
        if (step < minStep)
            step = NiceInterval(minStep, 1);
        for (double v = std::ceil(from / step) * step; v <= to + 1e-9; v += step) {
            const double x = l.plotLeft + (v - x0_) / mmPerUnit_;
            s.Line(x, l.plotBottom, x, l.plotBottom + 80, kBlack);
            const std::string t = Mm(v);
            s.MoveTo(x - s.TextWidth(t) / 2, l.plotBottom + 100);
            s.Print(t);
        }
        const std::string caption = "Вдоль скана, мм";
        s.MoveTo(l.plotRight - s.TextWidth(caption), l.plotBottom + 120 + th);
        s.Print(caption);
    }
    // Across the scans, left of the plot.
    {
        const double from = std::max(0.0, y0_),
                     to = std::min(MapHeightMm(), y0_ + plotH_ * mmPerUnit_);
        double step = NiceInterval(std::max(to - from, spacing_), 5);
        const double minStep = 1.6 * th * mmPerUnit_;
        if (step < minStep)
            step = NiceInterval(minStep, 1);
        for (double v = std::ceil(from / step) * step; v <= to + 1e-9; v += step) {
            const double y = l.plotTop + (v - y0_) / mmPerUnit_;
            s.Line(l.plotLeft - 80, y, l.plotLeft, y, kBlack);
            const std::string t = Mm(v);
            s.MoveTo(l.plotLeft - 120 - s.TextWidth(t), y - th / 2);
            s.Print(t);
        }
        s.MoveTo(std::max(50.0, l.plotLeft - 1000), l.plotTop - 1.5 * th - 100);
        s.Print("Поперек, мм");
    }
}

void MapView::DrawLegend(Surface& s, const MapLayout& l) const {
    s.SetFontSize(8);
    s.SetForeColor(kBlack);
    const double th = s.TextHeight();
    const Thresholds lim = scale_.Limits();
    double a = scale_.Lo(), b = scale_.Hi();
    if (scale_.Bands()) {
        // The red part always shows, even on a map with nothing below the minimum.
        a = std::min<double>(a, lim.minAllowed - 0.15 * (lim.nominal - lim.minAllowed));
        b = std::max<double>(b, lim.nominal + 0.15 * (lim.nominal - lim.minAllowed));
    }
    if (!(b > a))
        b = a + 1.0;
    // Clear of the top number of the bar, which stands half a line above its edge.
    s.MoveTo(l.barLeft - 200, l.barTop - 1.5 * th - 100);
    s.Print("Толщина, мм");
    const int steps = 128;
    const double h = (l.barBottom - l.barTop) / steps;
    for (int i = 0; i < steps; ++i) {
        // Top of the bar is the thickest wall.
        const double v = b - (b - a) * (i + 0.5) / steps;
        s.FilledBox(l.barLeft, l.barTop + i * h, l.barRight, l.barTop + (i + 1) * h,
                    scale_.ColorOf(static_cast<float>(v)));
    }
    s.Line(l.barLeft, l.barTop, l.barRight, l.barTop, kBlack);
    s.Line(l.barRight, l.barTop, l.barRight, l.barBottom, kBlack);
    s.Line(l.barRight, l.barBottom, l.barLeft, l.barBottom, kBlack);
    s.Line(l.barLeft, l.barBottom, l.barLeft, l.barTop, kBlack);
    double lastY = 1e9;
    for (float v : scale_.LegendValues()) {
        const double y = l.barBottom - (v - a) / (b - a) * (l.barBottom - l.barTop);
        s.Line(l.barRight, y, l.barRight + 80, y, kBlack);
        // Labels closer than a line apart would overprint: the later one moves clear.
        const double ty = std::min(y - th / 2, lastY - th);
        s.MoveTo(l.barRight + 120, std::max(ty, l.barTop - th));
        s.Print(FormatMask(v, "##0.00", "."));
        lastY = std::max(ty, l.barTop - th);
    }
    const double gy = l.barBottom + 250;
    s.FilledBox(l.barLeft, gy, l.barRight, gy + 200, kMapNoContact);
    s.MoveTo(l.barLeft - 200, gy + 260);
    s.Print("нет контакта");
}

void MapView::DrawPage(Surface& s, const std::string& date) {
    const double sx0 = x0_, sy0 = y0_, smm = mmPerUnit_, spw = plotW_, sph = plotH_;
    const MapLayout l = MakeMapLayout(s.Width(), s.Height(), true);
    s.SetFont("MS Sans Serif", 10);
    s.SetForeColor(kBlack);
    s.MoveTo(l.plotLeft, 200);
    s.Print("Карта толщин: " + model_.folder + "  Дата: " + date);
    s.SetFontSize(8);
    std::string line = "Сканов: " + std::to_string(model_.Rows()) +
                       "  Шаг между сканами: " + FormatMask(spacing_, "###0.0", ".") + " мм";
    const Thresholds lim = scale_.Limits();
    if (lim.nominal > 0)
        line += "  Номинальная: " + FormatMask(lim.nominal, "##0.00", ".") + " мм";
    if (lim.minAllowed > 0)
        line += "  Мин. допустимая: " + FormatMask(lim.minAllowed, "##0.00", ".") + " мм";
    s.MoveTo(l.plotLeft, 200 + s.TextHeight() * 1.6);
    s.Print(line);
    Fit(l.PlotWidth(), l.PlotHeight());
    Draw(s, l, 3000);
    x0_ = sx0;
    y0_ = sy0;
    mmPerUnit_ = smm;
    plotW_ = spw;
    plotH_ = sph;
}

}  // namespace ws
