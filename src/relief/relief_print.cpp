#include "relief/relief_print.h"

#include <algorithm>
#include <cmath>

namespace ws {
namespace {
// The print window's title bar takes about this much of its outer height, so the copied
// picture ends where the legend strip begins.
constexpr double kTitleBar = 350;
}  // namespace

PrintLayout LayoutReliefPrint(const ReliefView& view, const PicturePixels& picture) {
    PrintLayout l;
    l.Width = view.Frame.Picture1Width;
    const double outer = view.Frame.Picture1Height + 500;
    l.LegendTop = std::round(outer - 800);
    l.Height = l.LegendTop + 2000;
    const double upp = picture.unitsPerPixel > 0 ? picture.unitsPerPixel : 15;
    l.PictureWidth = std::min(picture.widthPx * upp, l.Width);
    l.PictureHeight = std::min(picture.heightPx * upp, outer - kTitleBar);
    return l;
}

void ComposeReliefPrint(Surface& page, const ReliefView& view, const PicturePixels& picture,
                        const PrintLayout& l) {
    const double upp = picture.unitsPerPixel > 0 ? picture.unitsPerPixel : 15;
    const int wPx = std::min(picture.widthPx, static_cast<int>(std::floor(l.PictureWidth / upp)));
    const int hPx = std::min(picture.heightPx, static_cast<int>(std::floor(l.PictureHeight / upp)));
    if (picture.pixels && wPx > 0 && hPx > 0)
        page.DrawPixels(0, 0, wPx * upp, hPx * upp, picture.pixels, wPx, hPx, picture.stridePixels);

    page.SetFont("Times New Roman", 6.75);
    page.SetForeColor(kBlack);
    auto text = [&page](double x, double y, const std::string& s) {
        page.MoveTo(x, y);
        page.Print(s);
    };
    const int n = view.Ws.ReliefFileCount;
    const double top = l.LegendTop;
    for (int k = 1; k <= 10 && k <= n; ++k) {
        const int r = k <= 5 ? k : k - 5;
        const double c = k <= 5 ? 0 : 3000;
        const double y = 140.0 * r + top + 500;
        const LegendRow& row = view.Legend[k];
        text(c + 1700, y, row.Name);
        text(c + 750, y, row.Min);
        text(c + 1200, y, row.Max);
    }
    text(6300, top + 500, "Толщина, мм");
    text(6300, top + 750, "Координата, мм");
    text(6300, top + 1000, "Файл");
    text(7500, top + 500, view.Text1);
    text(7500, top + 750, view.Text2);
    text(7500, top + 1000, view.Text3);
    text(750, top + 450, "мин.");
    text(1200, top + 450, "макс.");
    text(1700, top + 450, "файл");
    if (n > 5) {
        text(3750, top + 450, "мин.");
        text(4200, top + 450, "макс.");
        text(4700, top + 450, "файл");
    }
}

}  // namespace ws
