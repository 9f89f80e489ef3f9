#pragma once
#include <QPrinter>
#include <memory>
#include <string>

#include "report/report_sheets.h"
#include "ui/qt_surface.h"

namespace ws {

// A4 sheets on a PDF file, or, with no file name, on the system's default printer. Each
// sheet takes its own orientation.
class QtReportPaper : public ReportPaper {
  public:
    explicit QtReportPaper(const std::string& pdfPath);
    ~QtReportPaper() override;
    Surface* NextSheet(bool landscape) override;
    bool Finish() override;

  private:
    std::string pdfPath_;
    std::unique_ptr<QPrinter> printer_;
    std::unique_ptr<PageSurface> page_;
};

// The report's title for the PDF's properties and the print queue.
inline constexpr const char* kReportDocumentName = "Отчёт о контроле толщины стенки";

}  // namespace ws
