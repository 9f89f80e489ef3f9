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

}  // namespace ws
