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
    printer_ = OpenPrinter(pdfPath_, landscape);
    if (!printer_)
        return nullptr;
    page_ = StartPage(*printer_);
    return page_.get();
}

bool QtPrinter::EndDocument() {
    return FinishDocument(page_, printer_, pdfPath_);
}

std::unique_ptr<QPrinter> OpenPrinter(const std::string& pdfPath, bool landscape) {
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    if (!pdfPath.empty()) {
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(QString::fromStdString(pdfPath));
    } else if (QPrinterInfo::defaultPrinter().isNull()) {
        return nullptr;
    }
    printer->setPageOrientation(landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
    printer->setFullPage(false);
    return printer;
}

std::unique_ptr<PageSurface> StartPage(QPrinter& printer) {
    if (!printer.isValid())
        return nullptr;
    auto page = std::make_unique<PageSurface>(printer);
    if (!page->Active())
        return nullptr;
    return page;
}

bool FinishDocument(std::unique_ptr<PageSurface>& page, std::unique_ptr<QPrinter>& printer,
                    const std::string& pdfPath) {
    if (!page)
        return false;
    page->Finish();
    page.reset();
    bool ok = printer->printerState() != QPrinter::Error;
    if (ok && !pdfPath.empty())
        ok = QFileInfo(QString::fromStdString(pdfPath)).size() > 0;
    printer.reset();
    return ok;
}

std::unique_ptr<Printer> MakePdfPrinter(const std::string& path) {
    return std::make_unique<QtPrinter>(path);
}

}  // namespace ws
