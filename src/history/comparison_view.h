#pragma once
// The picture of a comparison: both profiles over each other along the later scan's
// coordinate, thickness upwards, and under them the wall lost at every point. The same drawing
// serves the comparison window and the report page.

#include <string>

#include "history/corrosion_rate.h"
#include "ui/surface.h"

namespace ws {

inline constexpr Rgb kEarlierColor{40, 90, 220};
inline constexpr Rgb kLaterColor{210, 0, 0};
inline constexpr Rgb kLossColor{210, 0, 0};  // wall lost
inline constexpr Rgb kGainColor{0, 150, 0};  // thicker now: scatter of the gauge, or deposits

struct ComparisonPicture {
    ScanView earlier, later;
    const Comparison* comparison = nullptr;
    std::string earlierLabel, laterLabel;  // what the legend calls them (dates)
    std::string decimalSeparator = ".";
};

// Draws over the whole surface, in its own units.
void DrawComparison(Surface& s, const ComparisonPicture& picture);

}  // namespace ws
