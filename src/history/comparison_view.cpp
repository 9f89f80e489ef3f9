#include "history/comparison_view.h"

#include <algorithm>
#include <cmath>

#include "data/numbers.h"
#include "data/record.h"
#include "data/statistics.h"
#include "profile/profile_view.h"
#include "profile/threshold_lines.h"

namespace ws {
namespace {

constexpr Rgb kGrid{210, 210, 210};

struct Axis {
    float lo = 0, hi = 1;
    int ticks = 4;
};

// Nice rounded ends and a tick count, as the profile sheet chooses them.
Axis NiceAxis(float lo, float hi) {
    if (!(hi > lo)) {
        lo -= 1;
        hi += 1;
    }
    float carryStart = 0, carryEnd = 0;
    Axis a;
    a.ticks = ChooseTicks(lo, hi, carryStart, carryEnd);
    a.lo = lo;
    a.hi = hi;
    if (a.ticks < 1 || !(a.hi > a.lo))
        a.ticks = 4;
    return a;
}

// 1, 2 or 5 times a power of ten, the nearest at or above `raw`.
double NiceStep(double raw) {
    if (!(raw > 0) || !std::isfinite(raw))
        return 1;
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (const double m : {1.0, 2.0, 5.0, 10.0})
        if (m * power >= raw)
            return m * power;
    return 10 * power;
}

}  // namespace

void DrawComparison(Surface& s, const ComparisonPicture& p) {
    s.SetFontSize(8);
    s.SetForeColor(kBlack);
    const double lineH = s.TextHeight();
    const double left = s.TextWidth("00000") + 200, right = s.Width() - 250;
    const double top = 2 * lineH + 100, bottom = s.Height() - 2 * lineH - 150;
    if (!p.comparison || right <= left || bottom <= top)
        return;
    const Comparison& c = *p.comparison;
    const int64_t ne = std::clamp<int64_t>(p.earlier.count, 0, kPointSlots);
    const int64_t nl = std::clamp<int64_t>(p.later.count, 0, kPointSlots);
    if (!p.earlier.thickness || !p.later.thickness || ne < 1 || nl < 1)
        return;

    // Profiles take the upper three fifths, the loss the rest, a line's gap between them.
    const double split = top + (bottom - top) * 0.6;
    const double profBottom = split - lineH / 2, lossTop = split + lineH;

    // X: the later scan's coordinate; the earlier scan moved by the shift.
    const double eFrom = 2.0 * c.shift, eTo = 2.0 * (ne - 1 + c.shift);
    // The coordinate axis spans exactly the two scans: rounding it out to whole ticks would
    // waste up to a fifth of the width on wall that neither scan saw.
    Axis ax;
    ax.lo = static_cast<float>(std::min(0.0, eFrom));
    ax.hi = static_cast<float>(std::max(2.0 * (nl - 1), eTo));
    if (!(ax.hi > ax.lo))
        ax.hi = ax.lo + 2;
    const double xStep = NiceStep((ax.hi - ax.lo) / 8.0);
    float tlo = 1e9f, thi = -1e9f;
    for (const ScanView v : {p.earlier, p.later}) {
        const int64_t n = std::clamp<int64_t>(v.count, 0, kPointSlots);
        for (int64_t i = 0; i < n; ++i) {
            if (v.thickness[i] >= kReadingLimit) {
                tlo = std::min(tlo, v.thickness[i]);
                thi = std::max(thi, v.thickness[i]);
            }
        }
    }
    if (c.tmin) {
        tlo = std::min(tlo, static_cast<float>(*c.tmin));
        thi = std::max(thi, static_cast<float>(*c.tmin));
    }
    if (tlo > thi)
        tlo = thi = 1.0f;
    Axis ay = NiceAxis(tlo, thi);
    float lossAbs = 0.05f;
    for (const auto& l : c.lossAtLater)
        if (l)
            lossAbs = std::max(lossAbs, std::fabs(*l));
    Axis al = NiceAxis(-lossAbs, lossAbs);

    const double sx = (right - left) / (ax.hi - ax.lo);
    auto X = [&](double mm) { return left + (mm - ax.lo) * sx; };
    auto Y = [&](double t) {
        return profBottom - (t - ay.lo) * (profBottom - top) / (ay.hi - ay.lo);
    };
    auto L = [&](double loss) {
        return bottom - (loss - al.lo) * (bottom - lossTop) / (al.hi - al.lo);
    };
    const std::string& sep = p.decimalSeparator;
    auto text = [&](double x, double y, const std::string& t, Rgb color = kBlack) {
        s.SetForeColor(color);
        s.MoveTo(x, y);
        s.Print(t);
        s.SetForeColor(kBlack);
    };

    // Grids and labels: thickness and loss on the left, coordinate under the loss panel.
    for (int k = 0; k <= ay.ticks; ++k) {
        const double v = ay.lo + (ay.hi - ay.lo) * k / ay.ticks;
        s.Line(left, Y(v), right, Y(v), kGrid);
        const std::string t = FormatMask(v, "0.00", sep);
        text(left - s.TextWidth(t) - 80, Y(v) - lineH / 2, t);
    }
    for (int k = 0; k <= al.ticks; ++k) {
        const double v = al.lo + (al.hi - al.lo) * k / al.ticks;
        s.Line(left, L(v), right, L(v), kGrid);
        const std::string t = FormatMask(v, "0.00", sep);
        text(left - s.TextWidth(t) - 80, L(v) - lineH / 2, t);
    }
    for (double v = std::ceil(ax.lo / xStep) * xStep; v <= ax.hi + xStep * 1e-9; v += xStep) {
        s.Line(X(v), top, X(v), profBottom, kGrid);
        s.Line(X(v), lossTop, X(v), bottom, kGrid);
        const std::string t = SingleText(static_cast<float>(v), sep);
        text(std::clamp(X(v) - s.TextWidth(t) / 2, 0.0, s.Width() - s.TextWidth(t)), bottom + 40,
             t);
    }
    s.Line(left, top, left, profBottom, kBlack);
    s.Line(left, profBottom, right, profBottom, kBlack);
    s.Line(left, lossTop, left, bottom, kBlack);
    s.Line(left, L(0), right, L(0), kBlack);
    text(right - s.TextWidth("Координата, мм"), bottom + 60 + lineH, "Координата, мм");
    text(left + 60, top - lineH - 20, "Толщина, мм");
    text(left + 60, lossTop - lineH / 2 + 10, "Потеря, мм");

    if (c.tmin)
        DrawThresholdLines(s, Thresholds{0.0f, static_cast<float>(*c.tmin)},
                           ThresholdPlot{left, profBottom, right, top, ay.lo, ay.hi}, sep);

    // Each profile as a line through its readings, broken where the gauge had no contact.
    auto profile = [&](ScanView v, int offset, Rgb color) {
        const int64_t n = std::clamp<int64_t>(v.count, 0, kPointSlots);
        s.SetLineWidth(2);
        bool open = false;
        double px = 0, py = 0;
        for (int64_t i = 0; i < n; ++i) {
            const float t = v.thickness[i];
            if (t < kReadingLimit) {
                open = false;
                continue;
            }
            const double x = X(2.0 * (i + offset)), y = Y(t);
            if (open)
                s.Line(px, py, x, y, color);
            px = x;
            py = y;
            open = true;
        }
        s.SetLineWidth(1);
    };
    profile(p.earlier, c.shift, kEarlierColor);
    profile(p.later, 0, kLaterColor);

    // The loss per point as bars from zero: thinning upwards in red, thicker now in green.
    const double half = std::max(2.0 * sx / 2 - 1, 0.0);
    for (size_t j = 0; j < c.lossAtLater.size(); ++j) {
        if (!c.lossAtLater[j])
            continue;
        const double v = *c.lossAtLater[j];
        const double x = X(2.0 * static_cast<double>(j));
        s.FilledBox(x - half, L(0), x + half, L(v), v >= 0 ? kLossColor : kGainColor);
    }

    // Legend on the top line.
    double x = left;
    auto key = [&](const std::string& label, Rgb color) {
        s.SetLineWidth(2);
        s.Line(x, lineH / 2 + 20, x + 400, lineH / 2 + 20, color);
        s.SetLineWidth(1);
        text(x + 480, 20, label);
        x += 480 + s.TextWidth(label) + 400;
    };
    key(p.earlierLabel, kEarlierColor);
    key(p.laterLabel, kLaterColor);
}

}  // namespace ws
