#include "ui/qt_printer.h"

#include <QFileInfo>
#include <QFont>
#include <QFontDatabase>
#include <QPageLayout>
#include <QPrinterInfo>

namespace ws {

QtPrinter::QtPrinter() = default;

QtPrinter::QtPrinter(const std::string& pdfPath) : pdfPath_(pdfPath) {}

bool QtPrinter::Available() const {
    return !pdfPath_.empty() || !QPrinterInfo::defaultPrinter().isNull();
}

std::string QtPrinter::Name() const {
    if (!pdfPath_.empty())
        return pdfPath_;
    return QPrinterInfo::defaultPrinter().printerName().toStdString();
}

std::vector<std::string> QtPrinter::FontNames() const {
    // Printing goes through the same font system as the screen: what is installed prints.
    std::vector<std::string> names;
    const QStringList families = QFontDatabase::families();
    for (const QString& family : families)
        names.push_back(family.toStdString());
    // The classic names that templates and settings use print through their installed
    // stand-ins (see InstallFontSubstitutes): offer them, or a machine without the Windows
    // fonts would have no Courier to choose and print a protocol in a proportional font.
    for (const char* classic : {"Courier New", "Times New Roman"}) {
        const QString name = QString::fromLatin1(classic);
        if (families.contains(name))
            continue;
        for (const QString& stand : QFont::substitutes(name)) {
            if (families.contains(stand, Qt::CaseInsensitive)) {
                names.push_back(classic);
                break;
            }
        }
    }
    return names;
}

Surface* QtPrinter::BeginDocument(bool landscape) {
    page_.reset();
    printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    if (!pdfPath_.empty()) {
        printer_->setOutputFormat(QPrinter::PdfFormat);
        printer_->setOutputFileName(QString::fromStdString(pdfPath_));
    } else if (QPrinterInfo::defaultPrinter().isNull()) {
        return nullptr;
    }
    printer_->setPageOrientation(landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
    // Positions are measured from the paper's printable corner, so a drawing placed at the page's
    // origin never falls into the margin the printer cannot reach.
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

bool QtPrinter::EndDocument() {
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

std::unique_ptr<Printer> MakePdfPrinter(const std::string& path) {
    return std::make_unique<QtPrinter>(path);
}

}  // namespace ws
