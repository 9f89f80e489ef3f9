#pragma once
// The object's minimum allowed and nominal thickness as horizontal lines across the profile,
// each with its value at the right axis. Nothing is drawn for a threshold that is not set, so
// a sheet without thresholds shows the plain wall section and nothing else.

#include "data/statistics.h"
#include "ui/surface.h"

namespace ws {

// Colours the profile uses nowhere else (its runs are red and greys, its legend green).
inline constexpr Rgb kMinAllowedLine{255, 0, 255};
inline constexpr Rgb kNominalLine{0, 0, 255};

// Where the plot lies on the surface (shift already added) and its thickness range: ymin at
// the top edge, ymax at the bottom edge.
struct ThresholdPlot {
    double left, top, right, bottom;
    float ymin, ymax;
};

void DrawThresholdLines(Surface& s, const Thresholds& thresholds, const ThresholdPlot& plot,
                        const std::string& decimalSeparator);

}  // namespace ws
