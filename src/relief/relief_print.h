#pragma once
// The relief printout: the picture as drawn on screen, with the legend and the marker readout
// below it, composed on any surface (the print window, the printer page, PDF and PNG files).

#include <cstdint>

#include "relief/relief_view.h"

namespace ws {

// The canvas pixels to copy: the retained picture of the relief.
struct PicturePixels {
    const uint32_t* pixels = nullptr;
    int widthPx = 0, heightPx = 0, stridePixels = 0;
    double unitsPerPixel = 15;  // twips per pixel of the picture
};

struct PrintLayout {
    double Width = 0;  // the page of the print window, twips
    double Height = 0;
    double LegendTop = 0;
    double PictureWidth = 0, PictureHeight = 0;  // the part of the canvas copied
};

// Sizes the print window from the relief window's frame.
PrintLayout LayoutReliefPrint(const ReliefView& view, const PicturePixels& picture);

// Draws the composition at the page's origin.
void ComposeReliefPrint(Surface& page, const ReliefView& view, const PicturePixels& picture,
                        const PrintLayout& layout);

}  // namespace ws
