#include "ui/polygon_raster.h"

#include <algorithm>
#include <climits>
#include <cstddef>
#include <cstdlib>

namespace ws {
namespace {

// 16.16 fixed point: the fill's crossings and the outline's minor axis.
constexpr int64_t kHalf = 1 << 15;
// No pixel yet: the last pixel of an edge may lie one column left of the picture (-1).
constexpr int kNoPixel = INT_MIN;

// One edge of the fill as a run of rows: its crossing at row `top`, the change per row.
struct Edge {
    int64_t x, step;
    int top, bottom;
};

struct EdgeList {
    // Four edges, each cut into at most three pieces by the picture's left and right sides.
    Edge items[12];
    int count = 0;
    void Add(int64_t x, int64_t step, int top, int bottom) {
        items[count++] = Edge{x, step, top, bottom};
    }
};

// Cuts the part of an edge beyond one side of the picture off into a vertical edge on that
// side, as the raster engine does: the winding of every pixel inside stays as it was, and
// the rows where the edge crosses the side are split exactly where the engine splits them.
// True when nothing of the edge is left to add.
bool ClipToSide(EdgeList& out, int64_t& x, int& top, int& bottom, int64_t step, int64_t side,
                bool rightSide) {
    if (x == side) {
        if ((step > 0) != rightSide)
            return false;  // leaves the side inwards
        out.Add(side, 0, top, bottom);
        return true;
    }
    const int64_t last = x + step * (bottom - top);
    if (last == side) {
        if ((step < 0) != rightSide)
            return false;
        out.Add(side, 0, top, bottom);
        return true;
    }
    const bool startsLeft = x < side;
    if (startsLeft != (last < side)) {
        // Rows to the crossing, in 16.16, through a double quotient truncated as the engine's.
        const auto rows = static_cast<int64_t>(static_cast<double>(side - x) /
                                               (static_cast<double>(step) / 65536.0));
        if (startsLeft != rightSide) {
            // The upper part lies outside.
            const int height = static_cast<int>((rows + 1) >> 16);
            const int middle = top + height;
            out.Add(side, 0, top, middle);
            if (middle == bottom)
                return true;
            x += step * (height + 1);
            top = middle + 1;
        } else {
            const int middle = top + static_cast<int>(rows >> 16);
            if (middle != bottom) {
                out.Add(side, 0, middle + 1, bottom);
                bottom = middle;
            }
        }
        return false;
    }
    if (startsLeft != rightSide) {
        out.Add(side, 0, top, bottom);
        return true;
    }
    return false;
}

// Rows sample the edge at pixel centres; a crossing at x fills from pixel floor(x + 0.5).
void AddEdge(EdgeList& out, PixelPoint a, PixelPoint b, int top, int bottom, int64_t right) {
    if (a.y > b.y)
        std::swap(a, b);
    const int rowTop = std::max(top, a.y);
    const int rowBottom = std::min(bottom, b.y - 1);
    if (rowTop > rowBottom)
        return;  // horizontal, or outside the rows drawn
    const int64_t ax = static_cast<int64_t>(a.x) * 65536 + kHalf;
    if (a.x == b.x) {
        out.Add(std::clamp<int64_t>(ax, 0, right), 0, rowTop, rowBottom);
        return;
    }
    const double slope =
        static_cast<double>(int64_t{b.x} - a.x) / static_cast<double>(int64_t{b.y} - a.y);
    const auto step = static_cast<int64_t>(slope * 65536.0);
    int64_t x = ax + ((step * ((int64_t{rowTop} - a.y) * 65536 + kHalf)) >> 16);
    int t = rowTop, btm = rowBottom;
    if (ClipToSide(out, x, t, btm, step, 0, false))
        return;
    if (ClipToSide(out, x, t, btm, step, right, true))
        return;
    out.Add(x, step, t, btm);
}

void Fill(const PixelTarget& target, const PixelPoint* p, int count, uint32_t color) {
    int minY = p[0].y, maxY = p[0].y;
    for (int i = 1; i < count; ++i) {
        minY = std::min(minY, p[i].y);
        maxY = std::max(maxY, p[i].y);
    }
    const int top = std::max(0, minY);
    const int bottom = std::min(target.height - 1, maxY - 1);
    if (top > bottom)
        return;
    const int64_t right = static_cast<int64_t>(target.width) * 65536;
    EdgeList edges;
    for (int i = 0; i < count; ++i)
        AddEdge(edges, p[i], p[(i + 1) % count], top, bottom, right);
    const int from = std::max(top, target.rowBegin);
    const int to = std::min(bottom, target.rowEnd - 1);
    auto span = [&](int y, int64_t a, int64_t b) {
        uint32_t* row = target.pixels + static_cast<ptrdiff_t>(y) * target.stride;
        const int x0 = static_cast<int>(std::clamp<int64_t>(a >> 16, 0, target.width));
        const int x1 = static_cast<int>(std::clamp<int64_t>(b >> 16, 0, target.width));
        std::fill(row + x0, row + std::max(x0, x1), color);
    };
    // Between two rows where an edge begins or ends the same edges cross every row: such a
    // run is walked with those edges alone.
    for (int y = from; y <= to;) {
        const Edge* active[12];
        int n = 0;
        int runEnd = to;
        for (int e = 0; e < edges.count; ++e) {
            const Edge& edge = edges.items[e];
            if (edge.top <= y && y <= edge.bottom) {
                active[n++] = &edge;
                runEnd = std::min(runEnd, edge.bottom);
            } else if (edge.top > y) {
                runEnd = std::min(runEnd, edge.top - 1);
            }
        }
        if (n == 2) {
            // The usual case: two crossings, in either order (they may swap in a bow tie).
            int64_t a = active[0]->x + active[0]->step * (y - active[0]->top);
            int64_t b = active[1]->x + active[1]->step * (y - active[1]->top);
            for (; y <= runEnd; ++y) {
                span(y, std::min(a, b), std::max(a, b));
                a += active[0]->step;
                b += active[1]->step;
            }
            continue;
        }
        for (; y <= runEnd; ++y) {
            int64_t xs[12];
            for (int i = 0; i < n; ++i)
                xs[i] = active[i]->x + active[i]->step * (y - active[i]->top);
            for (int i = 1; i < n; ++i)
                for (int j = i; j > 0 && xs[j] < xs[j - 1]; --j)
                    std::swap(xs[j], xs[j - 1]);
            // Odd-even: every other gap between crossings is inside.
            for (int i = 0; i + 1 < n; i += 2)
                span(y, xs[i], xs[i + 1]);
        }
    }
}

// The one-pixel outline: each edge walked along its major axis in 26.6 units with the minor
// axis in 16.16, the pixels where two edges meet drawn once, and a pixel inserted where a turn
// would leave a gap (the engine's dropout control).
class Outline {
  public:
    Outline(const PixelTarget& target, uint32_t color) : t_(target), color_(color) {}

    void Polygon(const PixelPoint* p, int count) {
        lastX_ = lastY_ = kNoPixel;
        // The closing edge ends where the first begins: its last pixel and direction count.
        // A polygon given closed (last corner on the first) ends with the edge before that.
        const bool closedTwice = count > 2 && p[count - 1] == p[0];
        LastPixelOf(p[closedTwice ? count - 2 : count - 1], p[0]);
        // Corners are whole pixels and no edge is clipped: each edge starts where the
        // previous one ended.
        for (int i = 1; i < count; ++i)
            Line(p[i - 1], p[i], 0);
        Line(p[count - 1], p[0], 0);
    }

  private:
    enum Dir {
        kNone = 0,
        kDown = 1,
        kUp = 2,
        kRight = 4,
        kLeft = 8,
        kVertical = 3,
        kHorizontal = 12
    };
    enum Caps { kCapBegin = 1, kCapEnd = 2 };

    static int FixedDiv(int a, int b) {
        return static_cast<int>((static_cast<int64_t>(a) * 65536) / b);
    }
    static int SwapCaps(int caps) { return ((caps & kCapBegin) << 1) | ((caps & kCapEnd) >> 1); }

    void Pixel(int x, int y) {
        if (x < 0 || x >= t_.width || y < t_.rowBegin || y >= t_.rowEnd)
            return;
        t_.pixels[static_cast<ptrdiff_t>(y) * t_.stride + x] = color_;
    }

    void LastPixelOf(PixelPoint a, PixelPoint b) {
        lastX_ = lastY_ = kNoPixel;
        int x1 = a.x * 64, y1 = a.y * 64, x2 = b.x * 64, y2 = b.y * 64;
        const int dx = std::abs(x2 - x1), dy = std::abs(y2 - y1);
        if (dx < dy) {
            const bool swapped = y1 > y2;
            if (swapped) {
                std::swap(y1, y2);
                std::swap(x1, x2);
            }
            const int xinc = FixedDiv(x2 - x1, y2 - y1);
            int x = x1 * 1024;
            const int y = (y1 + 32) >> 6, ys = (y2 + 32) >> 6;
            if (y != ys) {
                x += ((y * 64 + (xinc > 0 ? 32 : 0) - y1) * xinc) >> 6;
                if (swapped) {
                    lastX_ = x >> 16;
                    lastY_ = y;
                    lastDir_ = kUp;
                } else {
                    lastX_ = (x + (ys - y - 1) * xinc) >> 16;
                    lastY_ = ys - 1;
                    lastDir_ = kDown;
                }
                lastAxisAligned_ = std::abs(xinc) < (1 << 14);
            }
        } else {
            if (!dx)
                return;
            const bool swapped = x1 > x2;
            if (swapped) {
                std::swap(x1, x2);
                std::swap(y1, y2);
            }
            const int yinc = FixedDiv(y2 - y1, x2 - x1);
            int y = y1 * 1024;
            const int x = (x1 + 32) >> 6, xs = (x2 + 32) >> 6;
            if (x != xs) {
                y += ((x * 64 + (yinc > 0 ? 32 : 0) - x1) * yinc) >> 6;
                if (swapped) {
                    lastX_ = x;
                    lastY_ = y >> 16;
                    lastDir_ = kLeft;
                } else {
                    lastX_ = xs - 1;
                    lastY_ = (y + (xs - x - 1) * yinc) >> 16;
                    lastDir_ = kRight;
                }
                lastAxisAligned_ = std::abs(yinc) < (1 << 14);
            }
        }
    }

    // Major axis `m` (rows for a steep edge, columns for a flat one), minor axis `n`.
    void Line(PixelPoint a, PixelPoint b, int caps) {
        int x1 = a.x * 64, y1 = a.y * 64, x2 = b.x * 64, y2 = b.y * 64;
        const int dx = std::abs(x2 - x1), dy = std::abs(y2 - y1);
        const bool steep = dx < dy;
        if (!steep && !dx)
            return;
        int m1 = steep ? y1 : x1, n1 = steep ? x1 : y1;
        int m2 = steep ? y2 : x2, n2 = steep ? x2 : y2;
        int dir = steep ? kDown : kRight;
        const int mask = steep ? kVertical : kHorizontal;
        const bool swapped = m1 > m2;
        if (swapped) {
            std::swap(m1, m2);
            std::swap(n1, n2);
            caps = SwapCaps(caps);
            dir = steep ? kUp : kLeft;
        }
        const int inc = FixedDiv(n2 - n1, m2 - m1);
        int n = n1 * 1024;
        if ((lastDir_ ^ mask) == dir)
            caps |= swapped ? kCapEnd : kCapBegin;
        if (caps & kCapBegin) {
            m1 -= 32;
            n -= inc >> 1;
        }
        if (caps & kCapEnd)
            m2 += 32;
        int m = (m1 + 32) >> 6;
        int ms = (m2 + 32) >> 6;
        // The minor axis starts half a step in only when it grows.
        const int round = inc > 0 ? 32 : 0;
        const int lastM = steep ? lastY_ : lastX_;
        // A start moved back by half a pixel must not move past the previous edge's end.
        if ((caps & kCapBegin) && lastM == m + 1)
            ++m;
        int newLastX = lastX_, newLastY = lastY_;
        if (m != ms) {
            n += ((m * 64 + round - m1) * inc) >> 6;
            int firstM = m, firstN = n >> 16;
            int endM = ms - 1, endN = (n + (ms - m - 1) * inc) >> 16;
            if (swapped) {
                std::swap(firstM, endM);
                std::swap(firstN, endN);
            }
            const int firstX = steep ? firstN : firstM, firstY = steep ? firstM : firstN;
            const bool axisAligned = std::abs(inc) < (1 << 14);
            const bool known = lastX_ != kNoPixel;
            if (known) {
                if (firstX == lastX_ && firstY == lastY_) {
                    // the pixel where the edges meet is drawn once
                    if (swapped) {
                        --ms;
                    } else {
                        ++m;
                        n += inc;
                    }
                } else if (lastDir_ != dir &&
                           ((axisAligned && lastAxisAligned_ && lastX_ != firstX &&
                             lastY_ != firstY) ||
                            std::abs(lastX_ - firstX) > 1 || std::abs(lastY_ - firstY) > 1)) {
                    // a turn would leave a gap: one more pixel at the start
                    if (swapped) {
                        ++ms;
                    } else {
                        --m;
                        n -= inc;
                    }
                }
            }
            newLastX = steep ? endN : endM;
            newLastY = steep ? endM : endN;
            lastDir_ = dir;
            lastAxisAligned_ = axisAligned;
            do {
                if (steep)
                    Pixel(n >> 16, m);
                else
                    Pixel(m, n >> 16);
                n += inc;
            } while (++m < ms);
        }
        lastX_ = newLastX;
        lastY_ = newLastY;
    }

    const PixelTarget& t_;
    uint32_t color_;
    int lastX_ = kNoPixel, lastY_ = kNoPixel;
    int lastDir_ = kNone;
    bool lastAxisAligned_ = false;
};

}  // namespace

bool RasterHandles(const PixelPoint* p, int count, int width, int height) {
    if (count != 4 || width <= 0 || height <= 0)
        return false;
    // The outline clips its edges to one pixel around the picture in floating point; corners
    // within that frame need no clipping, and keep every fixed-point product in range.
    for (int i = 0; i < count; ++i)
        if (p[i].x < -1 || p[i].x > width + 1 || p[i].y < -1 || p[i].y > height + 1)
            return false;
    return true;
}

void FillAndOutline(const PixelTarget& target, const PixelPoint* points, int count,
                    uint32_t penArgb, uint32_t brushArgb) {
    // The edge list holds four edges and their pieces; more corners are the painter's.
    if (count < 2 || count > 4 || !target.pixels)
        return;
    // A polygon wholly above or below the band writes nothing there. Its fill covers rows
    // minY..maxY-1, its outline at most one row more on either side; two rows spare.
    int minY = points[0].y, maxY = points[0].y;
    for (int i = 1; i < count; ++i) {
        minY = std::min(minY, points[i].y);
        maxY = std::max(maxY, points[i].y);
    }
    if (maxY + 2 < target.rowBegin || minY - 2 >= target.rowEnd)
        return;
    Fill(target, points, count, brushArgb);
    Outline(target, penArgb).Polygon(points, count);
}

}  // namespace ws
