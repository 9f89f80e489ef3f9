#include "data/conditioning.h"

#include <cmath>

#include "data/numbers.h"

namespace ws {
namespace {
// A gap is a value below 0.01 mm as the record stores it: the float nearest 0.01, widened to
// double like the neighbours' mean it is compared with. The filter's 0.02 mm and 5 % limits are
// double constants.
const double kNoReading = static_cast<double>(0.01f);
}  // namespace

void FillGaps(Trace& trace) {
    auto& t = trace.Thickness;
    const int n = trace.PointCount;
    for (int i = 1; i <= n - 2 && i + 1 < kPointSlots; ++i) {
        const double left = t[i - 1], here = t[i], right = t[i + 1];
        // The mean of the neighbours as read (hundredths), so that 0.02 and 0.03 give the float
        // of 0.025 and the file says 0.03, not the float just below it and 0.02.
        if (here < kNoReading && left > kNoReading && right > kNoReading)
            t[i] = static_cast<float>((DecimalValue(t[i - 1]) + DecimalValue(t[i + 1])) / 2.0);
    }
}

void FilterTrace(Trace& trace) {
    auto& t = trace.Thickness;
    const int n = trace.PointCount;
    for (int i = 1; i <= n - 2 && i + 1 < kPointSlots; ++i) {
        const double l = t[i - 1], r = t[i + 1], here = t[i];
        const double a = (l + r) / 2.0;
        const double d = std::fabs(l - r);
        if (a <= 0.02)
            continue;
        if (d / a < 0.05) {
            if (std::fabs(here - a) / a > 0.05)
                t[i] = static_cast<float>(a);
            continue;
        }
        if (i < 2 || i > n - 3)
            continue;
        const double l2 = t[i - 2], r2 = t[i + 2];
        const double aL = (l + l2) / 2.0, dL = std::fabs(l2 - l);
        const double aR = (r + r2) / 2.0, dR = std::fabs(r2 - r);
        if (aL <= 0.02 || aR <= 0.02)
            continue;
        if (dL / aL >= 0.05 || dR / aR >= 0.05)
            continue;
        const double eL = std::fabs(aL - here), eR = std::fabs(aR - here);
        t[i] = static_cast<float>(eR <= eL ? aR : aL);
    }
}

void ConditionTrace(Trace& trace, bool filterOn) {
    FillGaps(trace);
    if (filterOn && trace.Regime == kRegimeScan)
        FilterTrace(trace);
}

}  // namespace ws
