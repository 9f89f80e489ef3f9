#include "map/color_scale.h"

#include <algorithm>
#include <cmath>

namespace ws {
namespace {

uint32_t Pack(Rgb c) {
    return 0xFF000000u | (uint32_t{c.r} << 16) | (uint32_t{c.g} << 8) | uint32_t{c.b};
}
Rgb Unpack(uint32_t v) {
    return {static_cast<uint8_t>(v >> 16), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v)};
}

Rgb Mix(Rgb a, Rgb b, double t) {
    auto m = [t](uint8_t x, uint8_t y) {
        return static_cast<uint8_t>(std::lround(x + (static_cast<double>(y) - x) * t));
    };
    return {m(a.r, b.r), m(a.g, b.g), m(a.b, b.b)};
}

// Between the thresholds: orange next to the red, pale yellow next to the nominal wall.
constexpr Rgb kWarnLow{245, 120, 30};
constexpr Rgb kWarnHigh{250, 230, 120};
// At or above nominal: greens, pale at the nominal value, deep at the thickest reading.
constexpr Rgb kSoundLow{170, 220, 160};
constexpr Rgb kSoundHigh{30, 120, 60};

// Index into a 256-entry table for t in lo..hi.
int Slot(float t, float lo, float hi) {
    if (!(hi > lo))
        return 0;
    const double f = (static_cast<double>(t) - lo) / (static_cast<double>(hi) - lo);
    return static_cast<int>(std::clamp(f * 255.0 + 0.5, 0.0, 255.0));
}

}  // namespace

Rgb Viridis(double t) {
    // Nine samples of the viridis map, evenly spaced; between them a straight blend departs from
    // the full map by less than the eye can tell.
    static constexpr Rgb kStops[] = {{68, 1, 84},    {71, 45, 123},  {59, 82, 139},
                                     {44, 114, 142}, {33, 145, 140}, {40, 174, 128},
                                     {94, 201, 98},  {173, 220, 48}, {253, 231, 37}};
    if (!(t > 0))
        return kStops[0];
    if (t >= 1)
        return kStops[8];
    const double x = t * 8.0;
    const int i = std::min(static_cast<int>(x), 7);
    return Mix(kStops[i], kStops[i + 1], x - i);
}

ColorScale::ColorScale(Thresholds thresholds, float lo, float hi)
    : th_(thresholds), lo_(lo), hi_(hi) {
    bands_ = th_.minAllowed > 0.0f && th_.nominal > th_.minAllowed;
    if (!std::isfinite(lo_) || !std::isfinite(hi_) || hi_ < lo_)
        lo_ = hi_ = 0.0f;
    for (int i = 0; i < 256; ++i) {
        const double f = i / 255.0;
        lut_[i] = Pack(bands_ ? Mix(kWarnLow, kWarnHigh, f) : Viridis(f));
        high_[i] = Pack(Mix(kSoundLow, kSoundHigh, f));
    }
}

uint32_t ColorScale::Argb(float t) const {
    if (!(t >= kReadingLimit))
        return Pack(kMapNoContact);
    if (!bands_)
        return lut_[Slot(t, lo_, hi_)];
    if (t < th_.minAllowed)
        return Pack(kMapBelowMin);
    if (t < th_.nominal)
        return lut_[Slot(t, th_.minAllowed, th_.nominal)];
    return high_[Slot(t, th_.nominal, std::max(hi_, th_.nominal))];
}

Rgb ColorScale::ColorOf(float t) const {
    return Unpack(Argb(t));
}

std::vector<float> ColorScale::LegendValues() const {
    if (bands_) {
        std::vector<float> v = {th_.minAllowed, th_.nominal};
        if (hi_ > th_.nominal)
            v.push_back(hi_);
        if (lo_ > 0.0f && lo_ < th_.minAllowed)
            v.insert(v.begin(), lo_);
        return v;
    }
    std::vector<float> v;
    for (int i = 0; i <= 4; ++i)
        v.push_back(lo_ + (hi_ - lo_) * static_cast<float>(i) / 4.0f);
    if (hi_ == lo_)
        v.resize(1);
    return v;
}

}  // namespace ws
