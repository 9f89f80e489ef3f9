#pragma once
#include <QLabel>
#include <QWidget>
#include <memory>

#include "relief/relief_print.h"
#include "ui/printer.h"
#include "ui/qt_surface.h"

namespace ws {

// Printf: the relief picture as drawn on screen with the legend and readout below it; its
// image is what goes to the printer.
class PrintfWindow : public QWidget {
    Q_OBJECT

  public:
    PrintfWindow(PrintServices& services, QWidget* parent = nullptr);
    // Composes the window again from the relief window's current picture and texts.
    void Compose(const ReliefView& view, const QImage& canvas);
    // The window's image, as printed.
    const QImage& Page() { return page_->Image(); }
    // Draws the window's image onto a page, scaled to fit it.
    void DrawPage(Surface& page);

  private:
    void Command5_Click();

    PrintServices& services_;
    std::unique_ptr<ImageSurface> page_;
    QLabel* picture_ = nullptr;
};

// Composes the printout without a window (the command line and the save commands).
QImage ComposeReliefImage(const ReliefView& view, const QImage& canvas);
// Draws a composed image onto a page, scaled to fit it and keeping its proportions.
void DrawImageFitted(Surface& page, const QImage& image);

}  // namespace ws
