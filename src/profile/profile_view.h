#pragma once
// The profile viewer's state and procedures, over any Surface: the wall section of the current
// thickness scan with sheets, zoom, cursor readout, marking and the printout.

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "data/record.h"
#include "ui/surface.h"

namespace ws {

class Prompter;

// Where the sheet is drawn: the window or the landscape page.
struct SheetGeometry {
    float width;   // the 245 mm of the virtual page, in units
    float height;  // its 190 mm
    float shift;   // added to every position (the printout's margin)
    bool paper;
};
inline constexpr SheetGeometry kWindowSheet{10000.0f, 6500.0f, 0.0f, false};
inline constexpr SheetGeometry kPaperSheet{16000.0f, 10000.0f, 1000.0f, true};

// The axis ranges of one sheet, after rounding to nice ticks.
struct SheetRange {
    float xmin = 0, xmax = 0, ymin = 0, ymax = 0;
};

// One axis through the tick chooser: replaces min and max by rounded values, returns the
// number of intervals. `carryStart`/`carryEnd` are the last accepted values, carried from the X
// axis into the Y axis: the Y axis's ticks depend on them, so the pictures do too.
int16_t ChooseTicks(float& min, float& max, float& carryStart, float& carryEnd);

// Whole-number conversions of the viewer: nearest, halves to even, clamped far outside any
// drawing so hostile values cannot overflow.
int16_t CIntS(double v);
int32_t CLngS(double v);

class ProfileView {
  public:
    explicit ProfileView(Workspace& ws);

    // The window's load: marks cleared, zoom 1, minimum of the whole trace found. Draws.
    void Load(Surface& window);
    // Clears the window and draws the current sheet (printing first when asked).
    void Redraw(Surface& window);
    void RedrawProfile(Surface& window);
    void DrawProfile(Surface& surface, SheetRange range, const SheetGeometry& geometry);
    void PrintProfile(Surface& page, SheetRange range) { DrawProfile(page, range, kPaperSheet); }
    // The sheet's ranges as the next redraw will draw them.
    SheetRange ComputeRange();
    // Marks every point whose coordinate (2 mm a point) lies in fromMm..toMm, as dragging the
    // pointer over them would, and updates the marked part's minimum.
    void MarkRange(double fromMm, double toMm);
    // What the window's labels show, drawn onto a surface (for a PNG of the whole window).
    void DrawLabels(Surface& surface) const;

    // Sheets and zoom.
    void Forward(Surface& window);
    void Back(Surface& window);
    void ZoomIn(Surface& window, Prompter& prompter);
    void ZoomOut(Surface& window);
    void Original(Surface& window);
    void ClearMarks(Surface& window);
    void ToggleRange(Surface& window);
    void ToggleFilter();
    void ToggleSpan(Surface& window);
    // "&Печать": the page is drawn through `print`, then the window again.
    void Print(Surface& window, const std::function<void(SheetRange)>& print);

    // Mouse: positions in window units. Right press returns true: pop the view menu up.
    bool MousePress(int button, float x, float y);
    void MouseMove(Surface& window, float x, float y);
    void MouseRelease(Surface& window);

    // Captions of view menu items 5, 6 and 7 for the current switches.
    std::string RangeCaption() const;
    std::string FilterCaption() const;
    std::string SpanCaption() const;

    // The date printed in the header; today in the local calendar unless a caller fixes it.
    std::function<std::string()> Today;

    // Form1's members.
    int16_t XTicks = 8, YTicks = 8;
    int16_t FirstIndex = 0, LastIndex = 0;
    float UnitsPerMmX = 0, UnitsPerMmY = 0;
    float YStep = 0;
    float PlotLeft = 0, PlotTop = 0, PlotRight = 0, PlotBottom = 0;
    std::array<int32_t, kPointSlots> BarLevel{};
    std::array<int32_t, kPointSlots> BarLeft{};
    std::array<int32_t, kPointSlots> BarRight{};
    bool MouseHeld = false;
    float SelMinThickness = 10000.0f;
    int16_t MinCoordinate = 0;
    double MinThickness = 10000.0;
    int16_t Zoom = 1;
    int16_t CenterIndex = 0;
    bool ManualSpan = false;
    float SpanTop = 0.0f;
    float CursorThickness = 0.0f;
    // Shared with the commands.
    bool PrintRequested = false;
    float ViewXMin = 0, ViewXMax = 0;
    bool MarkDirty = false;
    float PressX = 0, PressY = 0;
    // The pointer's last position while marking, when it lay in the marking band: a quick drag
    // reports positions far apart, and every column between them was passed over too.
    bool DragValid = false;
    float DragX = 0;
    // Label captions.
    std::string Valx, Valy, XSel, YSel;

    // Where the labels stand (left, top, in window units), set by the drawing.
    struct LabelPlace {
        float left, top;
    };
    static constexpr LabelPlace kValx{50, 1200}, kValy{50, 1600}, kYSel{50, 4350}, kXSel{50, 5000};

  private:
    // "Файл: ... Дата: ..." fitted into `room` units of the surface.
    std::string HeaderText(const Surface& s, double room) const;
    void ResetMarks();
    void NoteMarked(int i);

    Workspace& ws_;
    std::function<void(SheetRange)> print_;
};

// Today as dd/mm/yyyy with the given separator, in the local calendar.
std::string TodayText(const std::string& separator);

}  // namespace ws
