#include "relief/printf_window.h"

#include <QPushButton>
#include <algorithm>

namespace ws {

QImage ComposeReliefImage(const ReliefView& view, const QImage& canvas) {
    const QImage src = canvas.convertToFormat(QImage::Format_RGB32);
    const double dpi = ScreenDpi();
    PicturePixels pic{reinterpret_cast<const uint32_t*>(src.constBits()), src.width(), src.height(),
                      static_cast<int>(src.bytesPerLine() / 4), 1440.0 / dpi};
    const PrintLayout layout = LayoutReliefPrint(view, pic);
    ImageSurface page(TwipsToPx(layout.Width), TwipsToPx(layout.Height), dpi);
    page.Clear(kWhite);
    ComposeReliefPrint(page, view, pic, layout);
    return page.Image().copy();
}

void DrawImageFitted(Surface& page, const QImage& image) {
    if (image.isNull() || image.width() <= 0 || image.height() <= 0)
        return;
    const QImage img = image.convertToFormat(QImage::Format_RGB32);
    const double sx = page.Width() / img.width(), sy = page.Height() / img.height();
    const double s = std::min(sx, sy);
    page.DrawPixels(0, 0, img.width() * s, img.height() * s,
                    reinterpret_cast<const uint32_t*>(img.constBits()), img.width(), img.height(),
                    static_cast<int>(img.bytesPerLine() / 4));
}

PrintfWindow::PrintfWindow(PrintServices& services, QWidget* parent)
    : QWidget(parent, Qt::Window), services_(services) {
    setObjectName("Printf");
    setWindowTitle(QString::fromUtf8("Печатаем.."));
    picture_ = new QLabel(this);
    picture_->setObjectName("PrintfPicture");
    picture_->move(0, 0);
    auto* print = new QPushButton(PrinterIcon(), QString(), this);
    print->setObjectName("Command5");
    print->setToolTip(QString::fromUtf8("Печать"));
    print->setGeometry(0, 0, TwipsToPx(500), TwipsToPx(500));
    auto* close = new QPushButton(QString::fromUtf8("✕"), this);
    close->setObjectName("Command6");
    close->setToolTip(QString::fromUtf8("Закрыть"));
    close->setGeometry(TwipsToPx(480), 0, TwipsToPx(500), TwipsToPx(500));
    connect(print, &QPushButton::clicked, this, &PrintfWindow::Command5_Click);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
}

void PrintfWindow::Compose(const ReliefView& view, const QImage& canvas) {
    const QImage img = ComposeReliefImage(view, canvas);
    page_ = std::make_unique<ImageSurface>(img.width(), img.height(), ScreenDpi());
    const QImage src = img.convertToFormat(QImage::Format_RGB32);
    page_->DrawPixels(0, 0, page_->Width(), page_->Height(),
                      reinterpret_cast<const uint32_t*>(src.constBits()), src.width(), src.height(),
                      static_cast<int>(src.bytesPerLine() / 4));
    picture_->setPixmap(QPixmap::fromImage(page_->Image()));
    picture_->resize(img.size());
    resize(img.size());
    for (auto* b : findChildren<QPushButton*>())
        b->raise();
}

void PrintfWindow::DrawPage(Surface& page) {
    // The window's image with its buttons, as the window-printing service would send it.
    if (page_)
        DrawImageFitted(page, grab().toImage());
}

void PrintfWindow::Command5_Click() {
    PrintPage(services_, true, [this](Surface& page) { DrawPage(page); });
}

}  // namespace ws
