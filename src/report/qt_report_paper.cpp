#include "report/qt_report_paper.h"

#include <QFileInfo>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinterInfo>

namespace ws {

QtReportPaper::QtReportPaper(const std::string& pdfPath) : pdfPath_(pdfPath) {}

QtReportPaper::~QtReportPaper() {
    page_.reset();
}

Surface* QtReportPaper::NextSheet(bool landscape) {
    const auto orientation = landscape ? QPageLayout::Landscape : QPageLayout::Portrait;
    if (!printer_) {
        printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
        if (!pdfPath_.empty()) {
            printer_->setOutputFormat(QPrinter::PdfFormat);
            printer_->setOutputFileName(QString::fromStdString(pdfPath_));
        } else if (QPrinterInfo::defaultPrinter().isNull()) {
            return nullptr;
        }
        printer_->setDocName(QString::fromUtf8(kReportDocumentName));
        printer_->setPageSize(QPageSize(QPageSize::A4));
        printer_->setPageOrientation(orientation);
        // As the printouts: positions from the printable corner, never in the unreachable margin.
        printer_->setFullPage(false);
        if (!printer_->isValid())
            return nullptr;
        page_ = std::make_unique<PageSurface>(*printer_);
        if (!page_->Active()) {
            page_.reset();
            return nullptr;
        }
        return page_.get();
    }
    if (!page_)
        return nullptr;
    // The next sheet's orientation is set before it starts; the PDF writer gives every sheet
    // its own page size.
    printer_->setPageOrientation(orientation);
    if (!page_->NewPage())
        return nullptr;
    return page_.get();
}

bool QtReportPaper::Finish() {
    if (!page_)
        return false;
    page_->Finish();
    page_.reset();
    bool ok = printer_->printerState() != QPrinter::Error;
    if (ok && !pdfPath_.empty())
        ok = QFileInfo(QString::fromStdString(pdfPath_)).size() > 0;
    printer_.reset();
    return ok;
}

}  // namespace ws
