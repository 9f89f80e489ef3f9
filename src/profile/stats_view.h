#pragma once
// The histogram of the statistics window: readings per 0.1 mm of the whole trace in grey, of
// the marked part in red over it, the thresholds as vertical lines in the profile's colours.

#include <string>

#include "data/statistics.h"
#include "ui/surface.h"

namespace ws {

// Draws over the whole surface (units: the surface's). `part` may be empty.
void DrawHistogram(Surface& s, const Histogram& whole, const Histogram& part,
                   const Thresholds& thresholds, const std::string& decimalSeparator);

}  // namespace ws
