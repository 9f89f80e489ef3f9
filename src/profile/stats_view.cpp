#include "profile/stats_view.h"

#include <algorithm>
#include <cmath>

#include "data/numbers.h"
#include "profile/threshold_lines.h"

namespace ws {
namespace {

constexpr Rgb kWholeBar{160, 160, 160};
constexpr Rgb kPartBar{255, 0, 0};

}  // namespace

void DrawHistogram(Surface& s, const Histogram& whole, const Histogram& part, const Thresholds& th,
                   const std::string& sep) {
    s.SetFontSize(8);
    s.SetForeColor(kBlack);
    const double th1 = s.TextHeight();
    const double left = 150, right = s.Width() - 150, top = th1 + 100;
    const double bottom = s.Height() - 2 * th1 - 100;
    if (right <= left || bottom <= top)
        return;
    if (whole.counts.empty()) {
        s.MoveTo(left, top);
        s.Print("Нет измерений");
        return;
    }
    // The axis spans the readings and both thresholds, with half a bin to spare each side.
    double lo = whole.origin, hi = whole.origin + whole.binWidth * whole.counts.size();
    for (float t : {th.minAllowed, th.nominal}) {
        if (t > 0.0f) {
            lo = std::min<double>(lo, t - whole.binWidth / 2);
            hi = std::max<double>(hi, t + whole.binWidth / 2);
        }
    }
    const double sx = (right - left) / (hi - lo);
    const double peak = static_cast<double>(std::max<int64_t>(whole.Peak(), 1));
    auto bars = [&](const Histogram& h, Rgb color) {
        for (size_t i = 0; i < h.counts.size(); ++i) {
            if (h.counts[i] == 0)
                continue;
            const double x1 = left + (h.origin + h.binWidth * i - lo) * sx;
            const double x2 = x1 + std::max(h.binWidth * sx - 15, 15.0);
            const double y = bottom - (bottom - top) * static_cast<double>(h.counts[i]) / peak;
            s.FilledBox(x1, y, x2, bottom, color);
        }
    };
    bars(whole, kWholeBar);
    bars(part, kPartBar);
    s.Line(left, bottom, right, bottom, kBlack);
    s.Line(left, bottom, left, top, kBlack);
    s.MoveTo(left + 60, top - th1 - 40);
    s.Print("Измерений: " + std::to_string(static_cast<int64_t>(peak)) + " в столбце 0" + sep +
            "1 мм");
    // Thickness labels at both ends and at the thresholds.
    auto label = [&](double v, Rgb color) {
        const std::string t = FormatMask(v, "0.00", sep);
        const double x = left + (v - lo) * sx - s.TextWidth(t) / 2;
        s.SetForeColor(color);
        s.MoveTo(std::clamp(x, 0.0, s.Width() - s.TextWidth(t)), bottom + 40);
        s.Print(t);
        s.SetForeColor(kBlack);
    };
    const Rgb lineColor[] = {kMinAllowedLine, kNominalLine};
    const float values[] = {th.minAllowed, th.nominal};
    // The ends of the axis are labelled unless a threshold's label stands there already.
    const double room = s.TextWidth("00.00") + 40;
    for (double end : {lo, hi}) {
        bool clear = true;
        for (float v : values)
            clear = clear && !(v > 0.0f && std::fabs((v - end) * sx) < room);
        if (clear)
            label(end, kBlack);
    }
    for (int k = 0; k < 2; ++k) {
        if (!(values[k] > 0.0f))
            continue;
        const double x = left + (values[k] - lo) * sx;
        s.SetLineWidth(2);
        if (k == 0) {
            s.Line(x, top, x, bottom, lineColor[k]);
        } else {
            for (double y = top; y < bottom; y += 200)
                s.Line(x, y, x, std::min(y + 120, bottom), lineColor[k]);
        }
        s.SetLineWidth(1);
        label(values[k], lineColor[k]);
    }
    s.MoveTo(right - s.TextWidth("Толщина, мм"), bottom + 60 + th1);
    s.Print("Толщина, мм");
}

}  // namespace ws
