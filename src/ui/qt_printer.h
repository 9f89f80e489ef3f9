#pragma once
#include <QPrinter>
#include <memory>

#include "ui/printer.h"
#include "ui/qt_surface.h"

namespace ws {

// The system's default printer, or, with a file name, a PDF writer.
class QtPrinter : public Printer {
  public:
    QtPrinter();                                     // default printer
    explicit QtPrinter(const std::string& pdfPath);  // PDF file
    bool Available() const override;
    std::string Name() const override;
    std::vector<std::string> FontNames() const override;
    Surface* BeginDocument(bool landscape) override;
    bool EndDocument() override;

  private:
    std::string pdfPath_;
    std::unique_ptr<QPrinter> printer_;
    std::unique_ptr<PageSurface> page_;
};

// A printer that writes the page to a PDF file.
std::unique_ptr<Printer> MakePdfPrinter(const std::string& path);

// The document's start and end, shared by every printout: a PDF writer for `pdfPath`, or the
// default printer for an empty path (null when there is none); positions are measured from the
// paper's printable corner, so a drawing placed at the page's origin never falls into the
// margin the printer cannot reach. The page surface is null when the printer cannot start.
std::unique_ptr<QPrinter> OpenPrinter(const std::string& pdfPath, bool landscape);
std::unique_ptr<PageSurface> StartPage(QPrinter& printer);
// Ends the page and the document and lets both go: true when the printer reported no error and
// a PDF that was asked for is not empty.
bool FinishDocument(std::unique_ptr<PageSurface>& page, std::unique_ptr<QPrinter>& printer,
                    const std::string& pdfPath);

}  // namespace ws
