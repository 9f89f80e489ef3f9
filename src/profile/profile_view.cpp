#include "profile/profile_view.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>

#include "data/numbers.h"
#include "profile/threshold_lines.h"
#include "ui/prompter.h"

namespace ws {
namespace {

constexpr Rgb kRed{255, 0, 0};
constexpr Rgb kGrey192{192, 192, 192};
constexpr Rgb kGrey216{216, 216, 216};
constexpr Rgb kNoContact{100, 100, 100};
constexpr Rgb kGreen{0, 255, 0};
// Thickness at or below this is a point without an echo; float, as the record holds it.
constexpr float kContactLimit = 0.01f;
// A grid pass never needs more lines than this; the cap only matters for broken geometry.
constexpr int kMaxGridLines = 64;

// The nice step for a raw interval, as e multiplications or divisions by ten of 2, 5 or 10.
// Nothing when the interval cannot be normalised (zero, infinite or not a number).
bool NiceStep(float raw, float& step) {
    if (!std::isfinite(raw) || raw <= 0.0f)
        return false;
    int e = 0;
    for (int guard = 0; !(raw > 1.0f && raw <= 10.0f); ++guard) {
        if (guard > 90)
            return false;
        if (raw > 10.0f) {
            raw /= 10.0f;
            ++e;
        } else {
            raw *= 10.0f;
            --e;
        }
    }
    step = raw <= 2.0f ? 2.0f : (raw <= 5.0f ? 5.0f : 10.0f);
    for (int k = 0; k < e; ++k)
        step *= 10.0f;
    for (int k = 0; k > e; --k)
        step /= 10.0f;
    return std::isfinite(step) && step > 0.0f;
}

}  // namespace

int16_t CIntS(double v) {
    if (!(v == v))
        return 0;
    return static_cast<int16_t>(std::clamp(RoundHalfEven(v), -32768.0, 32767.0));
}

int32_t CLngS(double v) {
    if (!(v == v))
        return 0;
    // Far beyond any sheet or page: a hostile thickness must not overflow the conversion.
    return static_cast<int32_t>(std::clamp(RoundHalfEven(v), -1.0e9, 1.0e9));
}

int16_t ChooseTicks(float& min, float& max, float& carryStart, float& carryEnd) {
    float best = 10000.0f;
    int16_t ticks = 8;
    bool accepted = false;
    for (int16_t n = 4; n <= 8; ++n) {
        float step = 0;
        if (!NiceStep((max - min) / static_cast<float>(n), step))
            continue;
        const float start = std::floor(std::fabs(min / step)) * step;
        const float end = static_cast<float>(n) * step + start;
        if ((end - start) * 0.995f < best && start * 0.995f <= min && max * 0.995f <= end) {
            carryStart = start;
            carryEnd = end;
            ticks = n;
            best = end - start;
            accepted = true;
        }
    }
    if (!accepted) {
        // The rule above cannot place an axis below zero (its start comes from |min|) and can
        // miss a narrow range; borrowing the other axis's range then would plot thicknesses
        // against millimetres of coordinate. Round outwards from the range instead.
        best = std::numeric_limits<float>::infinity();
        for (int16_t n = 4; n <= 8; ++n) {
            float step = 0;
            if (!NiceStep((max - min) / static_cast<float>(n), step))
                continue;
            const float start = std::floor(min / step) * step;
            const float end = static_cast<float>(n) * step + start;
            if (start <= min && max <= end && end - start < best) {
                carryStart = start;
                carryEnd = end;
                ticks = n;
                best = end - start;
                accepted = true;
            }
        }
        if (!accepted) {
            carryStart = min;
            carryEnd = max;
            ticks = 4;
        }
    }
    min = carryStart;
    max = carryEnd;
    return ticks;
}

std::string TodayText(const std::string& separator) {
    const std::time_t now = std::time(nullptr);
    const std::tm* local = std::localtime(&now);
    if (!local)
        return {};
    char buf[32];
    std::snprintf(buf, sizeof buf, "%02d%s%02d%s%04d", local->tm_mday, separator.c_str(),
                  local->tm_mon + 1, separator.c_str(), local->tm_year + 1900);
    return buf;
}

ProfileView::ProfileView(Workspace& ws) : ws_(ws) {
    Today = [this] { return TodayText(ws_.DateSeparator); };
    BarLeft.fill(-1);
}

void ProfileView::ResetMarks() {
    const int n = std::clamp(ws_.PointCount, 0, kPointSlots);
    for (int i = 0; i < n; ++i)
        ws_.PointMark[static_cast<size_t>(i)] = 0;
    SelMinThickness = 10000.0f;
    XSel.clear();
    YSel.clear();
}

void ProfileView::Load(Surface& window) {
    ResetMarks();
    Zoom = 1;
    CenterIndex = 0;
    PrintRequested = false;
    MarkDirty = false;
    ManualSpan = false;
    MouseHeld = false;
    BarLeft.fill(-1);
    window.SetFont("MS Sans Serif", 8);
    window.Clear(kWhite);
    MinThickness = 10000.0;
    const int n = std::clamp(ws_.PointCount, 0, kPointSlots);
    for (int i = 0; i < n; ++i) {
        const float t = ws_.Thickness[static_cast<size_t>(i)];
        if (t > 0.0f && MinThickness > t) {
            MinThickness = t;
            MinCoordinate = static_cast<int16_t>(2 * i);
        }
    }
    RedrawProfile(window);
}

void ProfileView::Redraw(Surface& window) {
    window.Clear(kWhite);
    PrintRequested = false;
    RedrawProfile(window);
}

std::string ProfileView::HeaderText(const Surface& s, double room) const {
    const std::string date = "  Дата: " + (Today ? Today() : std::string());
    std::string name = ws_.CurrentFileName;
    // A long path would push the date past the edge: the middle of the path gives way (the
    // drive and the file's own name stay), a character at a time, UTF-8 sequences kept whole.
    if (s.TextWidth("Файл: " + name + date) > room) {
        size_t keepHead = std::min<size_t>(name.size(), 12);
        while (keepHead > 0 && keepHead < name.size() &&
               (static_cast<unsigned char>(name[keepHead]) & 0xC0) == 0x80)
            --keepHead;
        std::string head = name.substr(0, keepHead), tail = name.substr(keepHead);
        while (!tail.empty() && s.TextWidth("Файл: " + head + "…" + tail + date) > room) {
            size_t cut = 1;
            while (cut < tail.size() && (static_cast<unsigned char>(tail[cut]) & 0xC0) == 0x80)
                ++cut;
            tail.erase(0, cut);
        }
        name = head + "…" + tail;
    }
    return "Файл: " + name + date;
}

SheetRange ProfileView::ComputeRange() {
    const int n = std::clamp(ws_.PointCount, 0, kPointSlots);
    // The record may have been replaced by a shorter trace while the window stayed open: a
    // centre past its end would give a sheet that starts after it ends (empty, labels running
    // backwards).
    CenterIndex = static_cast<int16_t>(std::clamp<int>(CenterIndex, 0, std::max(n - 1, 0)));
    if (Zoom < 2) {
        FirstIndex = 0;
        LastIndex = static_cast<int16_t>(n - 1);
    } else {
        int first = CIntS(CenterIndex - (n / 2.0) / Zoom);
        if (first < 0)
            first = 0;
        int last = CIntS(static_cast<double>(n) / Zoom + first);
        if (last > n - 1)
            last = n - 1;
        FirstIndex = static_cast<int16_t>(first);
        LastIndex = static_cast<int16_t>(last);
    }
    SheetRange r;
    r.xmin = 2.0f * FirstIndex;
    r.xmax = 2.0f * LastIndex;
    if (r.xmin == r.xmax) {
        r.xmin -= 10.0f;
        r.xmax += 10.0f;
    }
    r.ymin = 10000.0f;
    r.ymax = -10000.0f;
    for (int i = FirstIndex; i <= LastIndex && i < kPointSlots; ++i) {
        const float t = ws_.Thickness[static_cast<size_t>(i)];
        r.ymin = std::min(r.ymin, t);
        r.ymax = std::max(r.ymax, t);
    }
    if (r.ymin == r.ymax) {
        r.ymin -= 1.0f;
        r.ymax += 1.0f;
    }
    if (ws_.RangeFromZero)
        r.ymin = 0.0f;
    // A manual top needs a wall under the pointer: 0 (nothing read yet, or a point without
    // contact) would leave an axis with nothing on it, so the automatic top stays then.
    if (ManualSpan && SpanTop > 0.0f) {
        r.ymax = SpanTop;
        if (r.ymin >= SpanTop)
            r.ymin = SpanTop - 1.0f;
    }
    XTicks = YTicks = 8;
    float carryStart = 0.0f, carryEnd = 0.0f;
    XTicks = ChooseTicks(r.xmin, r.xmax, carryStart, carryEnd);
    YTicks = ChooseTicks(r.ymin, r.ymax, carryStart, carryEnd);
    ViewXMin = r.xmin;
    ViewXMax = r.xmax;
    return r;
}

void ProfileView::RedrawProfile(Surface& window) {
    if (ws_.PointCount < 1)
        return;
    const SheetRange r = ComputeRange();
    if (PrintRequested) {
        if (print_)
            print_(r);
        PrintRequested = false;
    }
    DrawProfile(window, r, kWindowSheet);
}

void ProfileView::DrawProfile(Surface& s, SheetRange r, const SheetGeometry& g) {
    const float sh = g.shift;
    const int n = std::clamp(ws_.PointCount, 0, kPointSlots);
    UnitsPerMmX = g.width / 245.0f;
    UnitsPerMmY = g.height / 190.0f;
    PlotLeft = 47.5f * UnitsPerMmX;
    PlotTop = 20.0f * UnitsPerMmY;
    PlotRight = 197.5f * UnitsPerMmX;
    PlotBottom = 170.0f * UnitsPerMmY;
    const float sx = (PlotRight - PlotLeft) / (r.xmax - r.xmin);
    const float sy = (PlotBottom - PlotTop) / (r.ymax - r.ymin);
    const Rgb marked = g.paper ? kGrey192 : kRed;
    const Rgb unmarked = g.paper ? kGrey216 : kGrey192;

    auto onSheet = [&](int i, int32_t& x1, int32_t& x2) {
        x1 = CLngS((2.0f * static_cast<float>(i) - r.xmin) * sx + PlotLeft);
        x2 = CLngS((2.0f * static_cast<float>(i) - r.xmin + 2.0f) * sx + PlotLeft);
        return static_cast<float>(x1)<PlotRight&& static_cast<float>(x2)> PlotLeft;
    };
    auto box = [&](double x1, double y1, double x2, double y2, Rgb c) {
        s.FilledBox(x1 + sh, y1 + sh, x2 + sh, y2 + sh, c);
    };
    auto line = [&](double x1, double y1, double x2, double y2) {
        s.Line(x1 + sh, y1 + sh, x2 + sh, y2 + sh, kBlack);
    };
    auto text = [&](double x, double y, const std::string& t) {
        s.MoveTo(x + sh, y + sh);
        s.Print(t);
    };

    // Column pass: runs of equal marks, each one filled box over the full height.
    int32_t rightEnd = 0;
    bool open = false;
    int runStart = 0, lastOnSheet = -1;
    int16_t runMark = 0;
    bool runDrawn = true;
    auto drawRun = [&](int from, int to, int16_t mark) {
        box(BarLeft[static_cast<size_t>(from)], PlotTop, BarRight[static_cast<size_t>(to)],
            PlotBottom, mark != 0 ? marked : unmarked);
        rightEnd = BarRight[static_cast<size_t>(to)];
    };
    for (int i = 0; i < n; ++i) {
        const size_t k = static_cast<size_t>(i);
        BarLeft[k] = -1;
        int32_t x1 = 0, x2 = 0;
        if (!onSheet(i, x1, x2))
            continue;
        bool edge = false;
        BarLeft[k] = x1;
        BarRight[k] = x2;
        if (static_cast<float>(x1) < PlotLeft)
            BarLeft[k] = CLngS(PlotLeft);
        if (static_cast<float>(x2) > PlotRight) {
            BarRight[k] = CLngS(PlotRight);
            edge = true;
        }
        lastOnSheet = i;
        const int16_t mark = ws_.PointMark[k];
        if (!open) {
            open = true;
            runStart = i;
            runMark = mark;
            runDrawn = false;
        } else if (mark == runMark && i != n - 1 && !edge) {
            // the run goes on
        } else {
            const bool endsHere = i == n - 1 || edge;
            drawRun(runStart, endsHere ? i : i - 1, runMark);
            runStart = i;
            runMark = mark;
            runDrawn = endsHere;
        }
    }
    // A sheet whose only column is its first (a one-point trace) still gets its run.
    if (open && !runDrawn && lastOnSheet >= runStart)
        drawRun(runStart, lastOnSheet, runMark);

    // Level pass: the wall hangs from the top edge down to each point's level.
    for (int i = 0; i < n; ++i) {
        const size_t k = static_cast<size_t>(i);
        int32_t x1 = 0, x2 = 0;
        if (!onSheet(i, x1, x2))
            continue;
        const float t = ws_.Thickness[k];
        BarLevel[k] = CLngS((t - r.ymin) * sy + PlotTop);
        if (t <= kContactLimit)
            box(BarLeft[k], PlotTop, BarRight[k], PlotBottom, kNoContact);
        else if (static_cast<float>(BarLevel[k]) < PlotBottom)
            box(BarLeft[k], BarLevel[k] + 1, BarRight[k], PlotBottom, kWhite);
    }

    // Frame and the X origin.
    line(PlotLeft, PlotTop, rightEnd, PlotTop);
    line(PlotLeft, PlotBottom, PlotLeft, PlotTop);
    s.SetForeColor(kBlack);
    text(PlotLeft - 200, PlotBottom + 10, SingleText(r.xmin, ws_.DecimalSeparator));

    // Legend panel.
    s.SetFontSize(8);
    const std::string minText =
        MinThickness < 10000.0
            ? FormatMask(static_cast<float>(MinThickness), "###0.00", ws_.DecimalSeparator)
            : "";
    const std::string minCoord = MinThickness < 10000.0 ? " " + std::to_string(MinCoordinate) : "";
    if (!g.paper) {
        text(50, 1000, "Координата, мм");
        text(50, 1400, "Толщина, мм");
    }
    text(50, 2400, "Минимум");
    text(50, 2550, "толщины, мм");
    text(50, 3000, "Координата");
    text(50, 3150, "минимума, мм");
    text(50, 4000, "Минимум толщины");
    text(50, 4150, "выдел.части, мм");
    text(50, 4600, "Координата");
    text(50, 4750, "минимума, мм");
    text(50, 3350, minCoord);
    text(50, 2750, minText);
    if (g.paper) {
        text(50, 4950, XSel);
        text(50, 4350, YSel);
        box(50, 2250, 1000, 2400, kGrey216);
        box(50, 3850, 1000, 4000, kGrey192);
    } else {
        box(50, 900, 1000, 950, kGrey192);
        box(50, 2300, 1000, 2350, kGreen);
        box(50, 3900, 1000, 3950, kRed);
    }

    // Header.
    s.SetFontSize(10);
    if (ws_.CurrentFileName.empty())
        ws_.CurrentFileName = "отсутствует";
    text(PlotLeft, 200, HeaderText(s, s.Width() - PlotLeft - 50));
    s.SetFontSize(8);

    // Grid and tick labels. Each step is one unit short of the exact interval, so the last
    // line of each axis falls just inside the box and still gets its label.
    YStep = (r.ymax - r.ymin) / static_cast<float>(YTicks);
    const int32_t xStart = CLngS(r.xmin);
    const float xStep =
        static_cast<float>(CLngS(r.xmax) - CLngS(r.xmin)) / static_cast<float>(XTicks);
    {
        const float interval = (PlotRight - PlotLeft) / static_cast<float>(XTicks);
        const int16_t gap = CIntS(interval);
        int32_t pos = CIntS(PlotLeft);
        float label = static_cast<float>(xStart);
        for (int guard = 0; guard < kMaxGridLines; ++guard) {
            pos = CIntS(gap > 0 ? interval + static_cast<float>(pos) - 1.0f
                                : interval + static_cast<float>(pos));
            if (pos >= rightEnd)
                break;
            line(pos, PlotTop, pos, PlotBottom);
            label += xStep;
            // A label by the right edge would run into the bottom thickness label of the
            // axis there: it moves left just enough to stay clear of that column.
            const std::string tick = SingleText(label, ws_.DecimalSeparator);
            const double clear = rightEnd + 50 - s.TextWidth(tick) - 20;
            text(std::min<double>(pos - 200, clear), PlotBottom + 10, tick);
        }
    }
    line(rightEnd, PlotTop, rightEnd, PlotBottom);
    text(rightEnd + 50, PlotTop - 100, FormatMask(r.ymin, "0.00", ws_.DecimalSeparator));
    {
        const float interval = (PlotBottom - PlotTop) / static_cast<float>(YTicks);
        const int16_t gap = CIntS(interval);
        int32_t pos = CIntS(PlotTop);
        float label = r.ymin + YStep;
        for (int guard = 0; guard < kMaxGridLines; ++guard) {
            pos = CIntS(gap > 0 ? interval + static_cast<float>(pos) - 1.0f
                                : interval + static_cast<float>(pos));
            if (static_cast<float>(pos) >= PlotBottom)
                break;
            line(PlotLeft, pos, rightEnd, pos);
            text(rightEnd + 50, pos - 100, FormatMask(label, "0.00", ws_.DecimalSeparator));
            label += YStep;
        }
    }
    if (ws_.MinAllowedThickness > 0.0f || ws_.NominalThickness > 0.0f)
        DrawThresholdLines(s, {ws_.NominalThickness, ws_.MinAllowedThickness},
                           {PlotLeft + sh, PlotTop + sh, static_cast<double>(rightEnd) + sh,
                            PlotBottom + sh, r.ymin, r.ymax},
                           ws_.DecimalSeparator);
}

void ProfileView::DrawLabels(Surface& s) const {
    s.SetFontSize(8);
    s.SetForeColor(kBlack);
    const std::pair<LabelPlace, const std::string*> labels[] = {
        {kValx, &Valx}, {kValy, &Valy}, {kYSel, &YSel}, {kXSel, &XSel}};
    for (const auto& [place, caption] : labels) {
        s.MoveTo(place.left, place.top);
        s.Print(*caption);
    }
}

void ProfileView::Forward(Surface& window) {
    if (Zoom <= 1)
        return;
    PrintRequested = false;
    int c = CIntS((LastIndex - FirstIndex) / 4.0 + CenterIndex);
    CenterIndex = static_cast<int16_t>(std::min(c, ws_.PointCount - 1));
    Redraw(window);
}

void ProfileView::Back(Surface& window) {
    if (Zoom < 2)
        return;
    int c = CIntS(CenterIndex - (LastIndex - FirstIndex) / 4.0);
    CenterIndex = static_cast<int16_t>(std::max(c, 0));
    Redraw(window);
}

void ProfileView::ZoomIn(Surface& window, Prompter& prompter) {
    const int n = std::clamp(ws_.PointCount, 0, kPointSlots);
    for (int i = 0; i < n; ++i) {
        const size_t k = static_cast<size_t>(i);
        if (BarLeft[k] >= 1 && static_cast<float>(BarLeft[k] - 50) <= PressX &&
            PressX <= static_cast<float>(BarRight[k] + 50) && PlotTop - 10.0f <= PressY &&
            PressY <= PlotBottom + 10.0f && ViewXMax - ViewXMin > 19.0f) {
            // Beyond 2^14 the sheet is a single point anyway; the doubling must not overflow.
            if (Zoom < 16384)
                Zoom = static_cast<int16_t>(Zoom * 2);
            CenterIndex = static_cast<int16_t>(i);
            Redraw(window);
            return;
        }
    }
    if (ViewXMax - ViewXMin > 8.0f)
        prompter.Message("Укажите место на графике курсором мыши");
}

void ProfileView::ZoomOut(Surface& window) {
    if (Zoom <= 1)
        return;
    Zoom = static_cast<int16_t>(Zoom / 2);
    Redraw(window);
}

void ProfileView::Original(Surface& window) {
    Zoom = 1;
    Redraw(window);
}

void ProfileView::ClearMarks(Surface& window) {
    ResetMarks();
    Redraw(window);
}

void ProfileView::ToggleRange(Surface& window) {
    ws_.RangeFromZero = !ws_.RangeFromZero;
    Redraw(window);
}

void ProfileView::ToggleFilter() {
    ws_.FilterOn = !ws_.FilterOn;
}

void ProfileView::ToggleSpan(Surface& window) {
    if (ManualSpan) {
        ManualSpan = false;
    } else {
        ManualSpan = true;
        SpanTop = CursorThickness;
    }
    Redraw(window);
    Redraw(window);
}

void ProfileView::Print(Surface& window, const std::function<void(SheetRange)>& print) {
    PrintRequested = true;
    print_ = print;
    // The window is drawn again after the page: on a cleared picture, or every antialiased
    // glyph would be drawn over itself and the text grow heavier with each print.
    window.Clear(kWhite);
    RedrawProfile(window);
    print_ = nullptr;
    PrintRequested = false;
}

std::string ProfileView::RangeCaption() const {
    return ws_.RangeFromZero ? "Диапазон: Min-Max" : "Диапазон: 0-Max";
}

std::string ProfileView::FilterCaption() const {
    return ws_.FilterOn ? "Выключить  фильтр" : "Включить  фильтр";
}

std::string ProfileView::SpanCaption() const {
    return ManualSpan ? "Размах автоматически" : "Размах вручную";
}

bool ProfileView::MousePress(int button, float x, float y) {
    PressX = x;
    PressY = y;
    if (button == 1) {
        MouseHeld = true;
        // The sweep starts where the button went down: the first move may already be far away,
        // and the columns between are part of the drag.
        DragValid = PlotTop - 200.0f <= y && y <= PlotBottom + 200.0f;
        DragX = x;
    }
    return button == 2;
}

void ProfileView::MouseMove(Surface& window, float x, float y) {
    Valy = " ";
    Valx = " ";
    const int n = std::clamp(ws_.PointCount, 0, kPointSlots);
    const bool inBand = MouseHeld && PlotTop - 200.0f <= y && y <= PlotBottom + 200.0f;
    const float sweepFrom = inBand && DragValid ? std::min(DragX, x) : x;
    const float sweepTo = inBand && DragValid ? std::max(DragX, x) : x;
    DragValid = inBand;
    DragX = x;
    for (int i = 0; i < n; ++i) {
        const size_t k = static_cast<size_t>(i);
        if (BarLeft[k] < 1)
            continue;
        const float left = static_cast<float>(BarLeft[k]);
        const float right = static_cast<float>(BarRight[k]);
        const float t = ws_.Thickness[k];
        if (inBand && left - 100.0f <= sweepTo && sweepFrom <= right + 10.0f) {
            window.FilledBox(BarLeft[k], PlotTop, BarRight[k], BarLevel[k], kRed);
            MarkDirty = true;
            NoteMarked(i);
        }
        if (left - 10.0f <= x && x <= right + 10.0f && PlotTop - 200.0f <= y &&
            y <= static_cast<float>(BarLevel[k]) + 200.0f) {
            Valy = SingleText(t, ws_.DecimalSeparator);
            CursorThickness = t;
            Valx = std::to_string(2 * i);
        }
        if (t < kContactLimit && left - 10.0f <= x && x <= right + 10.0f && PlotTop - 200.0f <= y &&
            y <= PlotBottom + 200.0f) {
            Valy = "нет контакта";
            CursorThickness = t;
            Valx = std::to_string(2 * i);
        }
    }
}

void ProfileView::NoteMarked(int i) {
    const size_t k = static_cast<size_t>(i);
    ws_.PointMark[k] = -1;
    const float t = ws_.Thickness[k];
    if (t > 0.0f && t < SelMinThickness) {
        SelMinThickness = t;
        XSel = std::to_string(2 * i);
        YSel = FormatMask(SelMinThickness, "##0.00", ws_.DecimalSeparator);
    }
}

void ProfileView::MarkRange(double fromMm, double toMm) {
    const int n = std::clamp(ws_.PointCount, 0, kPointSlots);
    for (int i = 0; i < n; ++i) {
        const double mm = 2.0 * i;
        if (mm >= fromMm && mm <= toMm)
            NoteMarked(i);
    }
}

void ProfileView::MouseRelease(Surface& window) {
    MouseHeld = false;
    DragValid = false;
    if (MarkDirty) {
        PrintRequested = false;
        window.Clear(kWhite);
        RedrawProfile(window);
        MarkDirty = false;
    }
}

}  // namespace ws
