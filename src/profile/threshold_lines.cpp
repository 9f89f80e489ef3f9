#include "profile/threshold_lines.h"

#include <algorithm>
#include <cmath>

#include "data/numbers.h"

namespace ws {
namespace {

// The nominal line is dashed: 120 units drawn, 80 left out.
constexpr double kDash = 120, kGap = 80;

void OneLine(Surface& s, float value, Rgb color, bool dashed, const ThresholdPlot& p,
             const std::string& sep) {
    if (!(value > 0.0f) || !(p.ymax > p.ymin) || value < p.ymin || value > p.ymax)
        return;
    const double y =
        (static_cast<double>(value) - p.ymin) / (p.ymax - p.ymin) * (p.bottom - p.top) + p.top;
    s.SetLineWidth(2);
    if (dashed) {
        for (double x = p.left; x < p.right; x += kDash + kGap)
            s.Line(x, y, std::min(x + kDash, p.right), y, color);
    } else {
        s.Line(p.left, y, p.right, y, color);
    }
    s.SetLineWidth(1);
    // The value by the right axis, inside the box: the window has no room right of the axis's
    // own labels. It sits just above its line (below it near the top edge) on a white patch,
    // so it reads over the columns.
    const std::string text = FormatMask(value, "0.00", sep);
    const double w = s.TextWidth(text), h = s.TextHeight();
    const double x = p.right - w - 60;
    double ty = y - h - 30;
    if (ty < p.top + 10)
        ty = y + 30;
    s.FilledBox(x - 30, ty - 10, p.right - 30, ty + h + 5, kWhite);
    const Rgb fore = s.ForeColor();
    s.SetForeColor(color);
    s.MoveTo(x, ty);
    s.Print(text);
    s.SetForeColor(fore);
}

}  // namespace

void DrawThresholdLines(Surface& s, const Thresholds& th, const ThresholdPlot& plot,
                        const std::string& sep) {
    OneLine(s, th.nominal, kNominalLine, true, plot, sep);
    OneLine(s, th.minAllowed, kMinAllowedLine, false, plot, sep);
}

}  // namespace ws
