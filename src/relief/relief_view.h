#pragma once
// The relief of a folder's scans: model, projection, drawing, marker and navigation, all
// without a window. `Block` (relief_window.cpp) shows what this draws and forwards its
// controls here.

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "data/record.h"
#include "ui/surface.h"

namespace ws {

inline constexpr float kPointStep = 10000.0f;    // model units between neighbouring points
inline constexpr float kTraceWidth = 40000.0f;   // width of one strip across the traces
inline constexpr float kHeightScale = 10000.0f;  // model units per millimetre
inline constexpr int kReliefNodes = 10000;

// Geometry of the window that frames the canvas and of the canvas itself, in twips.
struct CanvasFrame {
    double Picture1Width = 15000, Picture1Height = 9000;
    double Left = 0, Top = 0, Width = 15000, Height = 9000;  // Picture2
    int16_t VMax = 0, HMax = 0;
    bool VVisible = false, HVisible = false;
    int16_t VValue = 0, HValue = 0;
};

// One line of the legend.
struct LegendRow {
    bool Visible = false;
    Rgb Swatch{};
    double Left = 0, Top = 0;  // row origin (column offset included), twips in the legend band
    std::string Name, Min, Max;
};

enum class NavCommand { FastBack, Back, NextFile, PrevFile, Forward, FastForward };

class ReliefView {
  public:
    explicit ReliefView(const Workspace& ws);

    // Where the picture goes; the window resizes the real surface to the canvas size.
    void SetCanvas(Surface* canvas) { Canvas = canvas; }
    std::function<void(double widthTwips, double heightTwips)> OnCanvasResize;

    // False (and nothing built) when the relief set is empty.
    bool BuildRelief();

    void coef(float distance, float theta, float phi);
    void perspective(float x, float y, float z);
    void MeasureExtent();
    void FitCanvas();  // the first steps of every redraw
    void main();
    void DrawSquare();
    void DrawThicknessScale();
    void DrawCoordinateScale();

    // Rotation and zoom; false when a zoom step was refused (nothing to redraw).
    void RotateTheta(float step);
    void RotatePhi(float step);
    bool ZoomIn();
    bool ZoomOut();
    bool WiderSpacing();
    bool NarrowerSpacing();
    void Navigate(NavCommand cmd);

    // Scroll coupling: the bars' values are in twips of canvas offset.
    void VScrollChanged(int value);
    void HScrollChanged(int value);

    // Node arrays, 1-based trace and node.
    float X(int k, int i) const { return ReliefX[Index(k, i)]; }
    float Y(int k, int i) const { return ReliefY[Index(k, i)]; }
    float Z(int k, int i) const { return ReliefZ[Index(k, i)]; }

    const Workspace& Ws;
    Surface* Canvas = nullptr;
    CanvasFrame Frame;

    int16_t TraceSpacing = 1;
    std::array<int16_t, 11> TraceVisible{};  // -1 shown, 0 hidden; 1..10
    std::array<float, 11> TraceMinThickness{}, TraceMaxThickness{};
    std::array<std::array<int16_t, 3>, 11> TraceTopColor{};
    std::array<std::array<double, 3>, 11> TraceSideColor{}, TraceEdgeColor{};
    int32_t CurrentTrace = 1, CurrentPoint = 1;

    float ViewDistance = 0, ViewTheta = -60, ViewPhi = -110;
    std::array<float, 9> ViewMatrix{};
    float ViewScale = 1, BaseScale = 1;
    int32_t ZoomFactor = 1;
    int32_t OffsetX = 0, OffsetY = 0;
    float ScreenX = 0, ScreenY = 0;
    float MarginX = 500, MarginY = 500;
    int32_t MinCanvasWidth = 0, MinCanvasHeight = 0;
    float ExtentMinX = 0, ExtentMaxX = 0, ExtentMinY = 0, ExtentMaxY = 0;
    double ScrollSlope = 0, ScrollIntercept = 0;
    float CanvasUnitsPerPixelX = 15, CanvasUnitsPerPixelY = 15;

    // Colours under the marker's bars, packed 0xRRGGBB; -1 where nothing may be restored.
    std::array<int32_t, 101> MarkerSaveH{}, MarkerSaveV{};

    // Readout and legend texts.
    std::string Text1, Text2, Text3;
    std::array<LegendRow, 11> Legend{};
    void FillReadout();

    // How many polygons the last redraw sent to the canvas (the rest lay wholly outside).
    int PolygonsDrawn = 0;

    static std::string StripExtension(const std::string& name);

  private:
    static size_t Index(int k, int i) { return static_cast<size_t>(k) * (kReliefNodes + 1) + i; }
    void FillLegend();
    void Quad(const float (&pts)[4][3], Rgb pen, Rgb brush);
    void QuadAt(const PixelPoint (&dev)[4], Rgb pen, Rgb brush);
    PixelPoint ToDevice() const;
    void ProjectMarker(int t, int p);
    void SaveMarker(bool onlyInside);
    void EraseMarker();
    void PaintMarker();
    bool InsideCanvas(float x, float y) const;

    std::vector<float> ReliefX, ReliefY, ReliefZ;
    int canvasPxW_ = 0, canvasPxH_ = 0;
    PixelPoint lastQuad_[4]{};
    // The surface's quadrilaterals of one redraw, handed to the canvas in one run.
    std::vector<PixelQuad> quads_;
    // One trace's nodes on the device: top corners on the far and near edge, foot.
    std::vector<PixelPoint> farTop_, nearTop_, foot_;
    bool batching_ = false;
    Rgb lastPen_{}, lastBrush_{};
    bool lastValid_ = false;
};

// Colour of a trace's face from the 0.9 / 0.7 shade tables.
Rgb ShadeColor(const std::array<double, 3>& c);

}  // namespace ws
