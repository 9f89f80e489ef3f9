#pragma once
// The inspection report: one A4 document for the client, composed from the drawings the
// viewers already make. In order: the title block, the profile sheet as the printout draws it,
// the statistics of the whole trace and of the marked part with the histogram, the comparison
// with a previous inspection when there is one, and the results table pages. Every sheet
// carries a footer with the object, the inspection date and "Лист N из M".

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "data/statistics.h"
#include "history/dated_scan.h"
#include "table/results_table.h"
#include "ui/surface.h"

namespace ws {

// Where the sheets go: a PDF file, the printer, or a recording in tests.
class ReportPaper {
  public:
    virtual ~ReportPaper() = default;
    // Starts the next A4 sheet (the first one too), landscape or portrait. The surface is in
    // twips from the sheet's printable corner and stays valid until the next call or Finish.
    // Null when the paper failed.
    virtual Surface* NextSheet(bool landscape) = 0;
    // Ends the document; false when it could not be written.
    virtual bool Finish() = 0;
};

struct ReportInput {
    InspectionScan current;
    // Per point of the current trace, nonzero = marked; empty or all zero: nothing marked.
    std::vector<int16_t> marks;
    Thresholds thresholds;  // 0 = not set
    std::optional<InspectionScan> previous;
    std::optional<int> previousShift;  // by hand; otherwise the best one is searched for
    CalendarDate reportDate;
    // The results table as the table window renders it.
    TemplateReader templates;
    int32_t tableRows = 36;
    int16_t printFontSize = 12;
    std::string decimalSeparator = ".";
};

struct ReportOutcome {
    bool ok = false;
    std::string error;  // for the user, when !ok
    int sheets = 0;
    // Things the report says on its sheets instead of a part it could not draw (a template
    // that cannot be read, scans that do not align).
    std::vector<std::string> notes;
};

// Composes the whole report on `paper` and finishes it.
ReportOutcome ComposeReport(ReportPaper& paper, const ReportInput& input);

// Marks for the points whose coordinate (2 mm a point) lies in one of the ranges (mm,
// inclusive), as "--mark FROM-TO" and dragging over the profile give them.
std::vector<int16_t> MarksFromRanges(int32_t pointCount,
                                     const std::vector<std::pair<double, double>>& rangesMm);

// "Лист N из M".
std::string SheetCaption(int sheet, int sheets);

}  // namespace ws
