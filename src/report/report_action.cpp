#include "report/report_action.h"

#include <QPrinterInfo>
#include <filesystem>

#include "data/record.h"
#include "data/text.h"
#include "report/qt_report_paper.h"
#include "survey/survey_archive.h"
#include "ui/file_picker.h"
#include "ui/prompter.h"

namespace ws {
namespace {

void FillCommon(const Workspace& ws, ReportInput& in) {
    in.reportDate = Today();
    in.templates = FolderTemplateReader(ws);
    in.tableRows = ws.TableRows;
    in.printFontSize = ws.PrintFontSize;
    in.decimalSeparator = ws.DecimalSeparator;
}

void FindPrevious(SurveyArchive& archive, ReportInput& in) {
    if (in.current.EntryId == 0)
        return;
    if (const auto id = FindPreviousInspection(archive, in.current.EntryId)) {
        std::string ignored;
        in.previous = ScanFromArchive(archive, *id, ignored);
    }
}

}  // namespace

ReportInput ReportOfRecord(const Workspace& ws, SurveyArchive* archive) {
    ReportInput in;
    FillCommon(ws, in);
    InspectionScan& s = in.current;
    if (archive && archive->IsOpen() && ws.ArchiveEntryId != 0) {
        std::string ignored;
        if (auto entry = ScanFromArchive(*archive, ws.ArchiveEntryId, ignored))
            s = std::move(*entry);
    }
    // What the viewer shows: the record's trace (filtered, if the filter was on), its name.
    s.Scan = std::make_shared<Trace>(ws.CurrentTrace());
    s.File = ws.CurrentFileName;
    if (s.Origin.empty())
        s.Origin = "файл " + ws.CurrentFileName;
    const int32_t n = std::clamp<int32_t>(ws.PointCount, 0, kPointSlots);
    in.marks.assign(ws.PointMark.begin(), ws.PointMark.begin() + n);
    // A trace of an archived object is judged by the object's thresholds, as the statistics
    // window shows them; the session's values stand for the object only when it has none.
    in.thresholds = {ws.NominalThickness, ws.MinAllowedThickness};
    if (s.EntryId != 0 && (s.NominalMm || s.MinAllowedMm))
        in.thresholds = {static_cast<float>(s.NominalMm.value_or(0.0)),
                         static_cast<float>(s.MinAllowedMm.value_or(0.0))};
    if (archive && archive->IsOpen())
        FindPrevious(*archive, in);
    return in;
}

bool ReportOfEntry(const Workspace& ws, SurveyArchive& archive, int64_t id, ReportInput& out,
                   std::string& error) {
    auto scan = ScanFromArchive(archive, id, error);
    if (!scan)
        return false;
    out = ReportInput{};
    FillCommon(ws, out);
    out.current = std::move(*scan);
    out.thresholds = {static_cast<float>(out.current.NominalMm.value_or(0.0)),
                      static_cast<float>(out.current.MinAllowedMm.value_or(0.0))};
    FindPrevious(archive, out);
    return true;
}

bool SaveReport(const ReportInput& input, Prompter& prompter, FilePicker& picker,
                const std::function<void(const std::string& path)>& open) {
    if (!input.current.Scan || input.current.Scan->PointCount < 1) {
        prompter.Message("Нет информации!");
        return false;
    }
    const std::string path =
        picker.SaveFile("Сохранить отчёт", FileFilter{"PDF (*.pdf)", "*.pdf", "pdf"});
    if (path.empty())
        return false;
    std::error_code ec;
    if (std::filesystem::exists(PathFromUtf8(path), ec) &&
        !prompter.AskYesNo("Файл уже существует. Перезаписать?"))
        return false;
    QtReportPaper paper(path);
    const ReportOutcome r = ComposeReport(paper, input);
    if (!r.ok) {
        prompter.Message("Отчёт не записан: " + r.error + "\n" + path, MsgIcon::Exclamation);
        return false;
    }
    if (open)
        open(path);
    return true;
}

bool PrintReport(const ReportInput& input, Prompter& prompter, FilePicker& picker,
                 const std::function<void(const std::string& path)>& open) {
    if (!input.current.Scan || input.current.Scan->PointCount < 1) {
        prompter.Message("Нет информации!");
        return false;
    }
    if (QPrinterInfo::defaultPrinter().isNull()) {
        if (!prompter.AskYesNo("Принтер не установлен. Сохранить отчёт в файл PDF?"))
            return false;
        return SaveReport(input, prompter, picker, open);
    }
    QtReportPaper paper("");
    const ReportOutcome r = ComposeReport(paper, input);
    if (!r.ok) {
        prompter.Message("Отчёт не напечатан: " + r.error, MsgIcon::Exclamation);
        return false;
    }
    return true;
}

}  // namespace ws
