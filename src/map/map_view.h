#pragma once
// The corrosion map drawn through a Surface: cells coloured by thickness at their true size
// (2 mm along, the scan spacing across), axes in mm, a colour bar with numbers; navigation,
// hit-testing and the page for PNG and PDF. No window: the thin window and the command line
// both drive this.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "data/statistics.h"
#include "map/color_scale.h"
#include "map/map_model.h"
#include "ui/surface.h"

namespace ws {

struct MapCell {
    int32_t row = 0, col = 0;
};

// Plot box and legend of one drawing, in surface units.
struct MapLayout {
    double plotLeft = 0, plotTop = 0, plotRight = 0, plotBottom = 0;
    double barLeft = 0, barTop = 0, barRight = 0, barBottom = 0;
    double PlotWidth() const { return plotRight - plotLeft; }
    double PlotHeight() const { return plotBottom - plotTop; }
};

// Layout of a picture of width x height units; `header` leaves room for a title line.
MapLayout MakeMapLayout(double width, double height, bool header);

class MapView {
  public:
    explicit MapView(const MapModel& model);

    // Millimetres across between neighbouring scans (> 0); keeps the centre of the view.
    void SetSpacing(double mm);
    double Spacing() const { return spacing_; }
    void SetThresholds(Thresholds thresholds);
    const ColorScale& Scale() const { return scale_; }
    Thresholds Limits() const { return scale_.Limits(); }

    // Size of the whole map in mm: along (2 mm a point) and across.
    double MapWidthMm() const;
    double MapHeightMm() const;

    // The view: the mm at the top left of the plot box and mm per surface unit (one value:
    // true proportions). Fit shows the whole map centred in a plot box of that size.
    void Fit(double plotWidth, double plotHeight);
    // Zoom by `factor` (> 1 in) keeping the map point under (x, y) where it is.
    void ZoomAt(double x, double y, double factor, const MapLayout& layout);
    // Moves the picture by dx, dy surface units (a drag to the right shows what lay left).
    void Pan(double dx, double dy);
    double X0() const { return x0_; }
    double Y0() const { return y0_; }
    double MmPerUnit() const { return mmPerUnit_; }

    // Map millimetres of a surface position inside the plot box.
    double AlongMm(double x, const MapLayout& l) const {
        return x0_ + (x - l.plotLeft) * mmPerUnit_;
    }
    double AcrossMm(double y, const MapLayout& l) const {
        return y0_ + (y - l.plotTop) * mmPerUnit_;
    }
    // The cell under a surface position, nothing outside the plot box or the map's cells.
    std::optional<MapCell> CellAt(double x, double y, const MapLayout& l) const;
    // Rows and columns that a rectangle (any two corners) covers, clipped to the map; false
    // when it covers none.
    bool CellsIn(double x1, double y1, double x2, double y2, const MapLayout& l, int32_t& row0,
                 int32_t& row1, int32_t& col0, int32_t& col1) const;

    // The plot's pixels (0xFFRRGGBB, widthPx x heightPx) for a box of plotWidth x plotHeight
    // units. A pixel that covers several cells shows the thinnest reading among them, so a pit
    // stays visible when the whole survey is on screen.
    void Render(std::vector<uint32_t>& pixels, int widthPx, int heightPx, double plotWidth,
                double plotHeight) const;

    // The window's picture: plot, axes, colour bar. `maxPixels` caps the rendered plot on
    // high-resolution surfaces (paper), where it is scaled up.
    void Draw(Surface& s, const MapLayout& l, int maxPixels = 4096);
    // The page: a header with the folder and the date, then the whole map fitted.
    void DrawPage(Surface& s, const std::string& date);

    // The plot pixels of the last Draw (kept to spare an allocation per repaint).
    std::vector<uint32_t> pixels;

  private:
    void Clamp();
    void DrawAxes(Surface& s, const MapLayout& l) const;
    void DrawLegend(Surface& s, const MapLayout& l) const;

    const MapModel& model_;
    ColorScale scale_;
    double spacing_ = 10.0;
    double x0_ = 0, y0_ = 0, mmPerUnit_ = 1.0;
    double plotW_ = 0, plotH_ = 0;  // the plot box the view was last fitted or drawn in
};

// Interval between axis labels: 1, 2 or 5 times a power of ten, about `span / target` long.
double NiceInterval(double span, int target);

}  // namespace ws
