#include "relief/relief_view.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "data/numbers.h"

namespace ws {
namespace {

constexpr int16_t kTopColors[10][3] = {{255, 0, 102}, {255, 0, 0},  {255, 51, 0},  {255, 153, 0},
                                       {255, 255, 0}, {0, 255, 0},  {0, 255, 204}, {51, 153, 255},
                                       {0, 0, 255},   {255, 0, 255}};
constexpr Rgb kScaleFill{200, 200, 250};
constexpr Rgb kScaleEdge{250, 180, 180};
constexpr Rgb kMarker{250, 250, 250};
// The canvas never grows beyond this many twips in either direction.
constexpr double kCanvasLimit = 32000;

int16_t Int16(double v) {
    if (!std::isfinite(v))
        return 0;
    if (auto r = RoundToInt16(v))
        return *r;
    return v > 0 ? std::numeric_limits<int16_t>::max() : std::numeric_limits<int16_t>::min();
}

int32_t Int32(double v) {
    if (!std::isfinite(v))
        return 0;
    if (auto r = RoundToInt32(v))
        return *r;
    return v > 0 ? std::numeric_limits<int32_t>::max() : std::numeric_limits<int32_t>::min();
}

// Device pixels stay well inside int range, whatever a projection behind the eye gives.
int32_t DeviceCoord(float v) {
    if (!std::isfinite(v))
        return 0;
    const float r = std::nearbyint(v);  // the default rounding mode: halves to even
    return static_cast<int32_t>(std::clamp(r, -1.0e8f, 1.0e8f));
}

Rgb RgbOf(int32_t packed) {
    return Rgb{static_cast<uint8_t>((packed >> 16) & 255),
               static_cast<uint8_t>((packed >> 8) & 255), static_cast<uint8_t>(packed & 255)};
}

int32_t Pack(Rgb c) {
    return (int32_t{c.r} << 16) | (int32_t{c.g} << 8) | c.b;
}

}  // namespace

Rgb ShadeColor(const std::array<double, 3>& c) {
    auto comp = [](double v) {
        return static_cast<uint8_t>(std::clamp(RoundHalfEven(v), 0.0, 255.0));
    };
    return Rgb{comp(c[0]), comp(c[1]), comp(c[2])};
}

ReliefView::ReliefView(const Workspace& ws)
    : Ws(ws),
      ReliefX((kReliefMaxFiles + 1) * (kReliefNodes + 1), 0.0f),
      ReliefY((kReliefMaxFiles + 1) * (kReliefNodes + 1), 0.0f),
      ReliefZ((kReliefMaxFiles + 1) * (kReliefNodes + 1), 0.0f) {
    // Until the marker has been drawn once there is nothing to restore under it.
    MarkerSaveH.fill(-1);
    MarkerSaveV.fill(-1);
}

std::string ReliefView::StripExtension(const std::string& name) {
    return name.size() >= 4 ? name.substr(0, name.size() - 4) : std::string();
}

bool ReliefView::BuildRelief() {
    const int n = std::clamp<int>(Ws.ReliefFileCount, 0, kReliefMaxFiles);
    const int pts = std::clamp<int>(Ws.ReliefMinPoints, 0, std::min(kPointSlots, kReliefNodes));
    if (n <= 0 || pts <= 0)
        return false;
    CurrentTrace = n == 1 ? 1 : Int32(n / 2.0);
    CurrentPoint = std::max(1, Int32(pts * 0.5));

    MarginX = MarginY = 500;
    ViewPhi = -110;
    ViewTheta = -60;
    const float d =
        (static_cast<float>(pts) * 10000.0f + static_cast<float>(n) * kTraceWidth) * 5.0f;
    ViewScale = d;
    ViewDistance = 10.0f * d;

    // The canvas starts at the window's size.
    Frame.Left = Frame.Top = 0;
    Frame.VValue = Frame.HValue = 0;
    Frame.Width = Frame.Picture1Width;
    Frame.Height = Frame.Picture1Height;
    if (OnCanvasResize)
        OnCanvasResize(Frame.Width, Frame.Height);
    MinCanvasWidth = Int32(Frame.Picture1Width);
    MinCanvasHeight = Int32(Frame.Picture1Height);
    if (Canvas) {
        const double upx = Canvas->UnitsPerPixelX(), upy = Canvas->UnitsPerPixelY();
        const double wPx = std::round(Frame.Width / upx), hPx = std::round(Frame.Height / upy);
        CanvasUnitsPerPixelX = wPx > 0 ? static_cast<float>(std::round(Frame.Width) / wPx) : 15.0f;
        CanvasUnitsPerPixelY = hPx > 0 ? static_cast<float>(std::round(Frame.Height) / hPx) : 15.0f;
    }

    std::fill(ReliefX.begin(), ReliefX.end(), 0.0f);
    std::fill(ReliefY.begin(), ReliefY.end(), 0.0f);
    std::fill(ReliefZ.begin(), ReliefZ.end(), 0.0f);
    for (int k = 1; k <= n; ++k) {
        float mn = 1000000.0f, mx = -1000000.0f;
        const int16_t lane = static_cast<int16_t>((k - 1) * TraceSpacing);
        for (int i = 1; i <= pts; ++i) {
            ReliefX[Index(k, i)] = static_cast<float>(i - 1) * 10000.0f;
            ReliefY[Index(k, i)] = static_cast<float>(lane) * kTraceWidth;
            ReliefZ[Index(k, i)] = Ws.ReliefSource[k - 1][i - 1] * 10000.0f;
            const float v = Ws.ReliefGrid[k][i - 1];
            if (v > 0.01f && v < mn)
                mn = v;
            if (v > 0.01f && v > mx)
                mx = v;
        }
        TraceMaxThickness[k] = mx;
        TraceMinThickness[k] = mn;
    }

    // Fit: the relief fills about 1/1.3 of the window along its tighter direction.
    coef(ViewDistance, ViewTheta, ViewPhi);
    MeasureExtent();
    const double ex = double(ExtentMaxX) - ExtentMinX, ey = double(ExtentMaxY) - ExtentMinY;
    if (ex > 0 && ey > 0 && MinCanvasWidth > 0 && MinCanvasHeight > 0) {
        const double rx = ex / MinCanvasWidth, ry = ey / MinCanvasHeight;
        double s = ry < rx ? ViewScale / ex * MinCanvasWidth : ViewScale / ey * MinCanvasHeight;
        s = s / 1.3;
        ViewScale = BaseScale = static_cast<float>(s);
    } else {
        BaseScale = ViewScale;
    }
    ZoomFactor = 1;

    for (int k = 1; k <= 10; ++k)
        for (int c = 0; c < 3; ++c) {
            TraceTopColor[k][c] = kTopColors[k - 1][c];
            TraceSideColor[k][c] = 0.9 * TraceTopColor[k][c];
            TraceEdgeColor[k][c] = 0.7 * TraceTopColor[k][c];
        }
    for (int k = 1; k <= 10; ++k)
        TraceVisible[k] = k <= n ? -1 : 0;

    FillLegend();
    FillReadout();
    MeasureExtent();
    main();
    return true;
}

void ReliefView::FillLegend() {
    const int n = Ws.ReliefFileCount;
    for (int k = 1; k <= 10; ++k) {
        LegendRow& row = Legend[k];
        const int r = k <= 5 ? k : k - 5;
        const double c = k <= 5 ? 0 : 3000;
        row.Visible = k <= n;
        row.Left = c;
        row.Top = r * 140.0;
        row.Swatch = Rgb{static_cast<uint8_t>(TraceTopColor[k][0]),
                         static_cast<uint8_t>(TraceTopColor[k][1]),
                         static_cast<uint8_t>(TraceTopColor[k][2])};
        row.Name = k <= n ? StripExtension(Ws.ReliefFileNames[k]) : std::string();
        // A trace without one reading has no minimum or maximum: its search bounds would read
        // like real thicknesses (and do not fit the column).
        const bool readings = TraceMinThickness[k] <= TraceMaxThickness[k];
        row.Min = readings ? SingleText(TraceMinThickness[k], Ws.DecimalSeparator) : "—";
        row.Max = readings ? SingleText(TraceMaxThickness[k], Ws.DecimalSeparator) : "—";
    }
}

void ReliefView::FillReadout() {
    const int t = std::clamp<int>(CurrentTrace, 1, kReliefMaxFiles);
    const int p = std::clamp<int>(CurrentPoint, 1, kPointSlots);
    const float v = Ws.ReliefGrid[t][p - 1];
    Text1 = v > 0.001f ? FormatMask(v, "###0.00", Ws.DecimalSeparator) : "нет контакта";
    Text2 = FormatMask((p - 1) * 2.0, "###0", Ws.DecimalSeparator);
    Text3 = StripExtension(Ws.ReliefFileNames[t]);
}

void ReliefView::coef(float distance, float theta, float phi) {
    const float k = 3.14f / 180.0f;
    const float t = k * theta;
    const float p = k * phi;
    const float st = static_cast<float>(std::sin(double(t)));
    const float ct = static_cast<float>(std::cos(double(t)));
    const float sp = static_cast<float>(std::sin(double(p)));
    const float cp = static_cast<float>(std::cos(double(p)));
    ViewMatrix = {-st, -cp * ct, -sp * ct, ct, -cp * st, -sp * st, sp, -cp, distance};
}

void ReliefView::perspective(float x, float y, float z) {
    const auto& m = ViewMatrix;
    const float xe = m[0] * x + m[3] * y;
    const float ye = m[1] * x + m[4] * y + m[6] * z;
    const float ze = m[2] * x + m[5] * y + m[7] * z + m[8];
    if (ze == 0.0f) {
        ScreenX = ScreenY = 0;
        return;
    }
    ScreenX = xe * ViewScale / ze + static_cast<float>(OffsetX);
    ScreenY = ye * ViewScale / ze + static_cast<float>(OffsetY);
}

void ReliefView::MeasureExtent() {
    ExtentMaxX = ExtentMaxY = -100000;
    ExtentMinX = ExtentMinY = 100000;
    const int n = Ws.ReliefFileCount, N = Ws.ReliefMinPoints;
    auto widen = [this] {
        if (ScreenX > ExtentMaxX)
            ExtentMaxX = ScreenX;
        if (ScreenX <= ExtentMinX)
            ExtentMinX = ScreenX;
        if (ScreenY > ExtentMaxY)
            ExtentMaxY = ScreenY;
        if (ScreenY <= ExtentMinY)
            ExtentMinY = ScreenY;
    };
    for (int k = 1; k <= n; ++k) {
        perspective(X(k, 1), Y(k, 1), Z(k, 1));
        widen();
        if (k == n) {
            perspective(X(k, 1), Y(k, 1) + kTraceWidth, Z(k, 1));
            widen();
        }
        perspective(X(k, N), Y(k, N), Z(k, N));
        widen();
        perspective(X(k, 1), Y(k, 1), 0);
        widen();
        perspective(X(k, N), Y(k, N), 0);
        widen();
    }
    ExtentMaxY = ExtentMaxY + 200;
}

void ReliefView::FitCanvas() {
    coef(ViewDistance, ViewTheta, ViewPhi);
    OffsetX = OffsetY = 0;
    const int N = Ws.ReliefMinPoints;
    perspective(X(1, 1), Y(1, 1), Z(1, 1));
    const float x0 = ScreenX, y0 = ScreenY;
    perspective(X(1, N), Y(1, N), Z(1, N));
    const float x1 = ScreenX, y1 = ScreenY;
    // A trace that runs vertically on screen would give a quotient by almost nothing.
    ScrollSlope = std::fabs(x0 - x1) > 1 ? double(y0 - y1) / double(x0 - x1) : 100.0;
    ScrollIntercept = Frame.Top - Frame.Left * ScrollSlope;
    MeasureExtent();

    auto fit = [](double extent, double margin, double minSize) {
        const double s = extent + 2 * margin;
        if (s > minSize)
            return s < kCanvasLimit ? s : kCanvasLimit;
        return minSize;
    };
    const double h = fit(double(ExtentMaxY) - ExtentMinY, MarginY, MinCanvasHeight);
    const double w = fit(double(ExtentMaxX) - ExtentMinX, MarginX, MinCanvasWidth);
    if (h != Frame.Height || w != Frame.Width) {
        Frame.Height = h;
        Frame.Width = w;
    }
    if (OnCanvasResize)
        OnCanvasResize(Frame.Width, Frame.Height);
    if (Canvas) {
        canvasPxW_ = static_cast<int>(std::lround(Canvas->Width() / CanvasUnitsPerPixelX));
        canvasPxH_ = static_cast<int>(std::lround(Canvas->Height() / CanvasUnitsPerPixelY));
    }
    Frame.VMax = std::max<int16_t>(0, Int16(Frame.Height - Frame.Picture1Height));
    Frame.VVisible = Frame.Picture1Height < Frame.Height;
    Frame.HMax = std::max<int16_t>(0, Int16(Frame.Width - Frame.Picture1Width));
    Frame.HVisible = Frame.Picture1Width < Frame.Width;
    // A bar whose range shrank below its value moves the canvas with it.
    if (Frame.HValue > Frame.HMax) {
        Frame.HValue = Frame.HMax;
        Frame.Left = -Frame.HValue;
    }
    if (Frame.VValue > Frame.VMax)
        VScrollChanged(Frame.VMax);

    OffsetX = Int32((Frame.Width + ExtentMinX - ExtentMaxX) / 2 - ExtentMinX);
    OffsetY = Int32((Frame.Height + ExtentMinY - ExtentMaxY) / 2 - ExtentMinY);
    if (ZoomFactor != 1) {
        ProjectMarker(CurrentTrace, CurrentPoint);
        OffsetX = Int32(Frame.Picture1Width / 2 + OffsetX - ScreenX - Frame.Left);
        OffsetY = Int32(Frame.Picture1Height / 2 + OffsetY - ScreenY - Frame.Top);
    }
}

PixelPoint ReliefView::ToDevice() const {
    return PixelPoint{DeviceCoord(ScreenX / CanvasUnitsPerPixelX),
                      DeviceCoord(ScreenY / CanvasUnitsPerPixelY)};
}

void ReliefView::Quad(const float (&pts)[4][3], Rgb pen, Rgb brush) {
    PixelPoint dev[4];
    for (int v = 0; v < 4; ++v) {
        perspective(pts[v][0], pts[v][1], pts[v][2]);
        dev[v] = ToDevice();
    }
    QuadAt(dev, pen, brush);
}

void ReliefView::QuadAt(const PixelPoint (&dev)[4], Rgb pen, Rgb brush) {
    // A polygon wholly outside the canvas paints nothing there; most of a zoomed relief is.
    if (canvasPxW_ > 0 && canvasPxH_ > 0) {
        const auto [minX, maxX] = std::minmax({dev[0].x, dev[1].x, dev[2].x, dev[3].x});
        const auto [minY, maxY] = std::minmax({dev[0].y, dev[1].y, dev[2].y, dev[3].y});
        if (maxX < 0 || maxY < 0 || minX >= canvasPxW_ || minY >= canvasPxH_)
            return;
    }
    // Painting the very polygon just painted, in the same colours, changes no pixel: at zoom 1
    // neighbouring points of a long trace often fall on the same device pixels.
    if (lastValid_ && pen == lastPen_ && brush == lastBrush_ && std::equal(dev, dev + 4, lastQuad_))
        return;
    std::copy(dev, dev + 4, lastQuad_);
    lastPen_ = pen;
    lastBrush_ = brush;
    lastValid_ = true;
    ++PolygonsDrawn;
    if (batching_) {
        PixelQuad q;
        std::copy(dev, dev + 4, q.corners);
        q.pen = pen;
        q.brush = brush;
        quads_.push_back(q);
        return;
    }
    Canvas->Polygon(dev, 4, pen, brush);
}

void ReliefView::main() {
    if (!Canvas || Ws.ReliefFileCount <= 0 || Ws.ReliefMinPoints <= 0)
        return;
    FitCanvas();
    Canvas->Clear(kWhite);
    Canvas->SetForeColor(kBlack);
    PolygonsDrawn = 0;
    lastValid_ = false;
    DrawThicknessScale();
    DrawCoordinateScale();
    DrawSquare();
    Canvas->SetLineWidth(1);
    ProjectMarker(CurrentTrace, CurrentPoint);
    SaveMarker(true);
    PaintMarker();
}

void ReliefView::DrawSquare() {
    const int n = Ws.ReliefFileCount, N = Ws.ReliefMinPoints;
    const float W = kTraceWidth;
    // Nothing else is drawn between the surface's polygons: the canvas gets them in one run.
    quads_.clear();
    batching_ = true;
    for (int k = n; k >= 1; --k) {
        if (!TraceVisible[k])
            continue;
        const Rgb top = ShadeColor({double(TraceTopColor[k][0]), double(TraceTopColor[k][1]),
                                    double(TraceTopColor[k][2])});
        const Rgb side = ShadeColor(TraceSideColor[k]);
        const Rgb edge = ShadeColor(TraceEdgeColor[k]);
        // Each node is projected once: its far top corner, its near top corner and its foot
        // are shared by the faces on either side of it.
        nearTop_.resize(static_cast<size_t>(N) + 1);
        farTop_.resize(static_cast<size_t>(N) + 1);
        foot_.resize(static_cast<size_t>(N) + 1);
        for (int i = 1; i <= N; ++i) {
            const float x = X(k, i), y = Y(k, i), z = Z(k, i);
            perspective(x, y + W, z);
            farTop_[i] = ToDevice();
            perspective(x, y, z);
            nearTop_[i] = ToDevice();
            perspective(x, y, 0);
            foot_[i] = ToDevice();
        }
        for (int i = 2; i <= N; ++i) {
            const bool dead = Z(k, i) <= 0.01f || Z(k, i - 1) <= 0.01f;
            const PixelPoint q[4] = {farTop_[i - 1], farTop_[i], nearTop_[i], nearTop_[i - 1]};
            QuadAt(q, edge, dead ? kBlack : top);
        }
        for (int i = 2; i <= N; ++i) {
            const bool dead = Z(k, i) <= 0.01f || Z(k, i - 1) <= 0.01f;
            const PixelPoint q[4] = {nearTop_[i - 1], nearTop_[i], foot_[i], foot_[i - 1]};
            QuadAt(q, edge, dead ? kBlack : side);
        }
    }
    for (int k = n; k >= 1; --k) {
        if (!TraceVisible[k])
            continue;
        const Rgb top = ShadeColor({double(TraceTopColor[k][0]), double(TraceTopColor[k][1]),
                                    double(TraceTopColor[k][2])});
        const Rgb edge = ShadeColor(TraceEdgeColor[k]);
        const float x = X(k, N), y = Y(k, N), z = Z(k, N);
        const float q[4][3] = {{x, y, 0}, {x, y + W, 0}, {x, y + W, z}, {x, y, z}};
        Quad(q, edge, top);
    }
    batching_ = false;
    Canvas->Quads(quads_.data(), quads_.size());
}

void ReliefView::DrawThicknessScale() {
    const int n = Ws.ReliefFileCount, N = Ws.ReliefMinPoints;
    Canvas->SetFontSize(7);
    float zmax = -1000000;
    for (int k = 1; k <= n; ++k)
        for (int i = 1; i <= N; ++i)
            zmax = std::max(zmax, Z(k, i));
    static constexpr float kSteps[] = {0.1f, 0.2f, 0.5f, 1, 2, 5, 10, 20, 50, 100, 200};
    perspective(X(1, 1), 0, 0);
    const float base = ScreenY;
    float fine = 0, label = 0;
    for (float s : kSteps) {
        perspective(X(1, 1), 0, s * 10000.0f);
        const float height = base - ScreenY;
        if (fine == 0 && height >= 50)
            fine = s;
        if (label == 0 && height >= 250)
            label = s;
    }
    // A view too small for every step has no scale to draw (and no step to divide by).
    if (fine == 0)
        return;
    const int16_t fineCount = Int16(zmax / 10000.0f / fine);
    const int16_t labelCount = label > 0 ? Int16(zmax / 10000.0f / label) : 0;
    const int last = TraceSpacing == 1 ? 1 : n;
    for (int k = 1; k <= last; ++k) {
        const float y = static_cast<float>((k - 1) * TraceSpacing) * kTraceWidth;
        for (int j = 1; j <= fineCount; ++j) {
            perspective(0, y, static_cast<float>(j - 1) * fine * 10000.0f);
            Canvas->Line(ScreenX - 70, ScreenY, ScreenX, ScreenY, kBlack);
        }
        for (int j = 1; j <= labelCount; ++j) {
            perspective(0, y, static_cast<float>(j - 1) * label * 10000.0f);
            Canvas->Line(ScreenX - 100, ScreenY, ScreenX, ScreenY, kBlack);
            Canvas->MoveTo(ScreenX - 350, ScreenY - 100);
            Canvas->Print(FormatMask((j - 1) * double(label), "###0.0", Ws.DecimalSeparator));
        }
    }
    const float ztop = static_cast<float>(std::max(0, fineCount - 1)) * fine * 10000.0f;
    for (int k = n; k >= 1; --k) {
        const float x = X(k, 1), y = Y(k, 1);
        const float q[4][3] = {
            {x, y, 0}, {x, y + kTraceWidth, 0}, {x, y + kTraceWidth, ztop}, {x, y, ztop}};
        Quad(q, kScaleFill, kScaleFill);
    }
    perspective(X(n, 1), Y(n, 1), 0);
    const float ax = ScreenX, ay = ScreenY;
    perspective(X(n, 1), Y(n, 1), ztop);
    Canvas->Line(ax, ay, ScreenX, ScreenY, kScaleEdge);
}

void ReliefView::DrawCoordinateScale() {
    const int n = Ws.ReliefFileCount, N = Ws.ReliefMinPoints;
    Canvas->SetFontSize(7);
    static constexpr int kSteps[] = {1, 2, 5, 10, 20, 50, 100, 200, 500, 1000, 2000};
    // Nodes past the array have no position: such a step never reaches its threshold.
    auto nodeX = [this](long i) { return i >= 1 && i <= kReliefNodes ? X(1, int(i)) : 0.0f; };
    perspective(X(1, 1), 0, 0);
    const float x0 = ScreenX;
    int fine = 0;
    for (int s : kSteps) {
        perspective(nodeX(s + 1L), 0, 0);
        if (std::fabs(ScreenX - x0) >= 10) {
            fine = s;
            break;
        }
    }
    if (fine == 0)
        return;
    int label = 0;
    for (int s : kSteps) {
        perspective(nodeX(long(s) * fine + 1), 0, 0);
        if (std::fabs(ScreenX - x0) >= 200) {
            label = s * fine;
            break;
        }
    }
    const float step = static_cast<float>(label > 0 ? label : fine);
    const float E = (static_cast<float>(N) / step + 0.5f) * step;
    const int32_t end = Int32(E);
    const int last = TraceSpacing == 1 ? 1 : n;
    for (int k = 1; k <= last; ++k) {
        const float y = static_cast<float>((k - 1) * TraceSpacing) * kTraceWidth;
        for (int32_t j = 1; j <= end; j += fine) {
            perspective(static_cast<float>(j - 1) * 10000.0f, y, 0);
            Canvas->Line(ScreenX, ScreenY, ScreenX, ScreenY + 70, kBlack);
        }
        if (label > 0)
            for (int32_t j = 1; j <= end; j += label) {
                perspective(static_cast<float>(j - 1) * 10000.0f, y, 0);
                Canvas->MoveTo(ScreenX - 100, ScreenY + 110);
                Canvas->Print(FormatMask((j - 1) * 2.0, "###0", Ws.DecimalSeparator));
            }
    }
    const float xe = (E - 1) * 10000.0f;
    for (int k = n; k >= 1; --k) {
        const float y = static_cast<float>((k - 1) * TraceSpacing) * kTraceWidth;
        const float q[4][3] = {
            {0, y, 0}, {xe, y, 0}, {xe, y + kTraceWidth, 0}, {0, y + kTraceWidth, 0}};
        Quad(q, kScaleFill, kScaleFill);
        perspective(xe, y, 0);
        Canvas->MoveTo(ScreenX + 100, ScreenY - 100);
        Canvas->Print(StripExtension(Ws.ReliefFileNames[k]));
        lastValid_ = false;  // the text may lie where the next polygon would repeat
    }
    for (int k = n; k >= 1; --k) {
        const float y = static_cast<float>((k - 1) * TraceSpacing) * kTraceWidth;
        perspective(0, y, 0);
        const float ax = ScreenX, ay = ScreenY;
        perspective(xe, y, 0);
        Canvas->Line(ax, ay, ScreenX, ScreenY, kScaleEdge);
    }
}

void ReliefView::ProjectMarker(int t, int p) {
    t = std::clamp(t, 1, kReliefMaxFiles);
    p = std::clamp(p, 1, kReliefNodes);
    perspective(X(t, p), Y(t, p) + kTraceWidth / 2, Z(t, p));
}

bool ReliefView::InsideCanvas(float x, float y) const {
    return x > 50 && Frame.Width - x > 50 && y > 50 && Frame.Height - y > 50;
}

void ReliefView::SaveMarker(bool onlyInside) {
    const float x = ScreenX, y = ScreenY;
    if (onlyInside && !InsideCanvas(x, y))
        return;
    for (int k = 1; k <= 100; ++k) {
        const auto h = Canvas->GetPixel(x + k - 50, y);
        const auto v = Canvas->GetPixel(x, y + k - 50);
        MarkerSaveH[k] = h ? Pack(*h) : -1;
        MarkerSaveV[k] = v ? Pack(*v) : -1;
    }
}

void ReliefView::PaintMarker() {
    const float x = ScreenX, y = ScreenY;
    Canvas->SetForeColor(kMarker);
    for (int k = 1; k <= 100; ++k) {
        Canvas->SetPixel(x + k - 50, y);
        Canvas->SetPixel(x, y + k - 50);
    }
}

void ReliefView::EraseMarker() {
    ProjectMarker(CurrentTrace, CurrentPoint);
    const float x = ScreenX, y = ScreenY;
    for (int k = 1; k <= 100; ++k) {
        if (MarkerSaveH[k] >= 0) {
            Canvas->SetForeColor(RgbOf(MarkerSaveH[k]));
            Canvas->SetPixel(x + k - 50, y);
        }
        if (MarkerSaveV[k] >= 0) {
            Canvas->SetForeColor(RgbOf(MarkerSaveV[k]));
            Canvas->SetPixel(x, y + k - 50);
        }
    }
}

void ReliefView::Navigate(NavCommand cmd) {
    if (!Canvas || Ws.ReliefFileCount <= 0)
        return;
    EraseMarker();
    const int N = Ws.ReliefMinPoints, n = Ws.ReliefFileCount;
    int t = CurrentTrace, p = CurrentPoint;
    switch (cmd) {
        case NavCommand::FastBack:
            p = p > 20 ? p - 20 : 1;
            break;
        case NavCommand::Back:
            p = p > 1 ? p - 1 : p;
            break;
        case NavCommand::Forward:
            p = p < N ? p + 1 : p;
            break;
        case NavCommand::FastForward:
            p = p < N - 20 ? p + 20 : N;
            break;
        case NavCommand::NextFile:
            t = t < n ? t + 1 : t;
            break;
        case NavCommand::PrevFile:
            t = t > 1 ? t - 1 : t;
            break;
    }
    ProjectMarker(t, p);
    if (InsideCanvas(ScreenX, ScreenY)) {
        CurrentTrace = t;
        CurrentPoint = p;
    }
    FillReadout();
    ProjectMarker(CurrentTrace, CurrentPoint);
    SaveMarker(false);
    PaintMarker();
}

void ReliefView::RotateTheta(float step) {
    ViewTheta = std::clamp(ViewTheta + step, -80.0f, -10.0f);
    main();
}

void ReliefView::RotatePhi(float step) {
    ViewPhi = std::clamp(ViewPhi + step, -170.0f, -95.0f);
    main();
}

bool ReliefView::ZoomIn() {
    if (ZoomFactor >= 65)
        return false;
    ZoomFactor *= 2;
    ViewScale = BaseScale * static_cast<float>(ZoomFactor);
    main();
    return true;
}

bool ReliefView::ZoomOut() {
    if (ZoomFactor < 2)
        return false;
    ZoomFactor /= 2;
    ViewScale = BaseScale * static_cast<float>(ZoomFactor);
    main();
    return true;
}

bool ReliefView::WiderSpacing() {
    if (TraceSpacing >= 16)
        return false;
    TraceSpacing = static_cast<int16_t>(TraceSpacing * 2);
    if (Canvas)
        Canvas->Clear(kWhite);
    BuildRelief();
    return true;
}

bool ReliefView::NarrowerSpacing() {
    if (TraceSpacing <= 1)
        return false;
    TraceSpacing = Int16(TraceSpacing / 2.0);
    if (Canvas)
        Canvas->Clear(kWhite);
    BuildRelief();
    return true;
}

void ReliefView::VScrollChanged(int value) {
    Frame.VValue = Int16(value);
    Frame.Top = -Frame.VValue;
    ScrollIntercept = Frame.Top - Frame.Left * ScrollSlope;
}

void ReliefView::HScrollChanged(int value) {
    Frame.HValue = Int16(value);
    Frame.Left = -Frame.HValue;
    int16_t top = Int16(Frame.Left * ScrollSlope + ScrollIntercept);
    if (-int32_t{top} > Frame.VMax)
        top = static_cast<int16_t>(-Frame.VMax);
    VScrollChanged(top < 1 ? -top : 0);
}

}  // namespace ws
