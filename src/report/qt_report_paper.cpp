#include "report/qt_report_paper.h"

#include <QPageLayout>
#include <QPageSize>

#include "ui/qt_printer.h"

namespace ws {

QtReportPaper::QtReportPaper(const std::string& pdfPath) : pdfPath_(pdfPath) {}

QtReportPaper::~QtReportPaper() {
    page_.reset();
}

Surface* QtReportPaper::NextSheet(bool landscape) {
    const auto orientation = landscape ? QPageLayout::Landscape : QPageLayout::Portrait;
    if (!printer_) {
        printer_ = OpenPrinter(pdfPath_, landscape);
        if (!printer_)
            return nullptr;
        printer_->setDocName(QString::fromUtf8(kReportDocumentName));
        printer_->setPageSize(QPageSize(QPageSize::A4));
        printer_->setPageOrientation(orientation);
        page_ = StartPage(*printer_);
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
    return FinishDocument(page_, printer_, pdfPath_);
}

}  // namespace ws
