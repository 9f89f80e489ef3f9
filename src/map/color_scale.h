#pragma once
// Colours of thickness on the corrosion map: a graded band scale when the object's thresholds
// are known, a perceptual scale over the folder's readings otherwise.

#include <cstdint>
#include <string>
#include <vector>

#include "data/statistics.h"
#include "ui/surface.h"

namespace ws {

// No contact reads the same in every scale: a grey no thickness colour comes near.
inline constexpr Rgb kMapNoContact{150, 150, 150};
// Below the minimum allowed: the one colour that must stand out.
inline constexpr Rgb kMapBelowMin{215, 0, 0};

class ColorScale {
  public:
    // Bands when 0 < tmin < tnom, else continuous over lo..hi (the folder's readings).
    ColorScale(Thresholds thresholds, float lo, float hi);
    bool Bands() const { return bands_; }
    float Lo() const { return lo_; }
    float Hi() const { return hi_; }
    const Thresholds& Limits() const { return th_; }

    Rgb ColorOf(float thickness) const;
    // The same packed as 0xFFRRGGBB, for pictures.
    uint32_t Argb(float thickness) const;

    // Where the legend puts numbers, bottom to top.
    std::vector<float> LegendValues() const;

  private:
    Thresholds th_;
    float lo_, hi_;
    bool bands_;
    uint32_t lut_[256];   // continuous scale, or the band between tmin and tnom
    uint32_t high_[256];  // bands: at or above nominal, up to hi
};

// Viridis at t in 0..1 (clamped): dark blue-violet through green to yellow.
Rgb Viridis(double t);

}  // namespace ws
