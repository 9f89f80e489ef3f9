#pragma once
// "Отчёт..." of the windows: what goes into the report, the file name asked for, the PDF
// written and handed to the system's viewer.

#include <cstdint>
#include <functional>
#include <string>

#include "report/report_sheets.h"

namespace ws {

class FilePicker;
class Prompter;
class SurveyArchive;
struct Workspace;

// The report of the record as the profile viewer shows it: its trace, its marks, the session's
// thresholds; the archive entry's description when the trace has one, and the last earlier
// inspection of the same object and section as the previous one.
ReportInput ReportOfRecord(const Workspace& ws, SurveyArchive* archive);

// The report of an archive entry: its trace with nothing marked, its object's thresholds, and
// the previous inspection found the same way. False, with the reason, when it cannot be read.
bool ReportOfEntry(const Workspace& ws, SurveyArchive& archive, int64_t id, ReportInput& out,
                   std::string& error);

// Asks where to save, writes the PDF and opens it with `open` (the system's viewer in the
// program). Every failure is said through the prompter. True when written.
bool SaveReport(const ReportInput& input, Prompter& prompter, FilePicker& picker,
                const std::function<void(const std::string& path)>& open);

// Prints the report on the default printer. Where there is none, says so and offers to save
// it as a PDF instead (then as SaveReport). True when printed or saved.
bool PrintReport(const ReportInput& input, Prompter& prompter, FilePicker& picker,
                 const std::function<void(const std::string& path)>& open);

}  // namespace ws
