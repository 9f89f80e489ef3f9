#pragma once
// Aliased polygons with a one-pixel outline, written straight into a 32-bit pixel buffer.
//
// The relief sends tens of thousands of small quadrilaterals per redraw; the general painter
// spends most of its time per polygon (outline conversion, span buffers, a stroker object),
// not per pixel. These routines draw the same pixels as the toolkit's raster engine does for
// an aliased polygon with integer corners, the odd-even rule, a solid brush and a cosmetic
// solid pen: the fill samples pixel centres against the edges stepped in 16.16 fixed point,
// the outline walks each edge in 26.6 / 16.16 fixed point with the engine's dropout control.
// Pixel identity with the painter is proven by tests over random and real polygons.

#include <cstdint>

#include "ui/surface.h"

namespace ws {

// A 0xAARRGGBB picture and the rows a caller may write (a band of it for another thread).
struct PixelTarget {
    uint32_t* pixels = nullptr;
    int stride = 0;  // pixels from one row to the next
    int width = 0, height = 0;
    int rowBegin = 0, rowEnd = 0;  // rows rowBegin..rowEnd-1 may be written
};

// True when FillAndOutline draws this polygon exactly as the painter would. Left to the
// painter: other than four corners, and corners so far off the picture that the outline
// would be clipped in floating point.
bool RasterHandles(const PixelPoint* points, int count, int width, int height);

// The painter's drawPolygon with a solid brush and a zero-width solid pen: fill, then outline.
// Only rows of the target's band are written; the picture is the same whatever the bands.
void FillAndOutline(const PixelTarget& target, const PixelPoint* points, int count,
                    uint32_t penArgb, uint32_t brushArgb);

}  // namespace ws
