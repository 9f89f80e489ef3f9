#include <QCoreApplication>
#include <QDir>
#include <cstdio>
#include <filesystem>
#include <memory>

#include "cli/cli.h"
#include "data/numbers.h"
#include "data/text.h"
#include "report/qt_report_paper.h"
#include "report/report_sheets.h"
#include "survey/survey_archive.h"
#include "survey/survey_text.h"

namespace ws::cli {
namespace {

int Usage(const char* why, const std::string& what) {
    return UsageError("report", why, what);
}

bool EndsWithPdf(const std::string& s) {
    if (s.size() < 4)
        return false;
    std::string end = s.substr(s.size() - 4);
    for (char& c : end)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return end == ".pdf";
}

}  // namespace

int RunReport(const Args& args) {
    std::string file, out, previous, archiveDir;
    std::vector<std::pair<double, double>> marks;
    float tmin = 0, tnom = 0;
    std::optional<int> shift;
    bool noPrevious = false;
    CalendarDate date = Today();
    for (ArgCursor words(args); words.Next();) {
        const std::string& a = words.Word();
        std::string v;
        auto value = [&] { return words.Value(v); };
        if (a == "-o" || a == "--output") {
            if (!value() || !EndsWithPdf(v))
                return Usage("-o ждет имя файла .pdf, получено ", v);
            out = v;
        } else if (a == "--mark") {
            double from = 0, to = 0;
            if (!value() || !ParseRange(v, from, to))
                return Usage("--mark ждет FROM-TO в мм, получено ", v);
            marks.emplace_back(from, to);
        } else if (a == "--tmin") {
            if (!value() || !ParseThickness(v, tmin))
                return Usage("--tmin ждет толщину в мм больше 0, получено ", v);
        } else if (a == "--tnom") {
            if (!value() || !ParseThickness(v, tnom))
                return Usage("--tnom ждет толщину в мм больше 0, получено ", v);
        } else if (a == "--previous") {
            if (!value() || v.empty())
                return Usage("--previous ждет файл .mem или #ID, получено ", v);
            previous = v;
        } else if (a == "--no-previous") {
            noPrevious = true;
        } else if (a == "--shift") {
            if (!value() || !ParsePoints(v, true, shift))
                return Usage("--shift ждет целое число точек, получено ", v);
        } else if (a == "--date") {
            const auto iso = value() ? ParseIsoDate(v) : std::nullopt;
            if (!iso)
                return Usage("--date ждет дату YYYY-MM-DD, получено ", v);
            date = {std::stoi(iso->substr(8, 2)), std::stoi(iso->substr(5, 2)),
                    std::stoi(iso->substr(0, 4))};
        } else if (a == "--archive") {
            if (!value() || v.empty())
                return Usage("нет папки после ", a);
            archiveDir = v;
        } else if (!a.empty() && a[0] == '-' && !ArchiveIdArgument(a)) {
            return Usage("неизвестный параметр ", a);
        } else if (!file.empty()) {
            return Usage("лишний аргумент ", a);
        } else {
            file = a;
        }
    }
    if (file.empty())
        return Usage("не указан замер (файл .mem или #ID)", "");
    if (out.empty())
        return Usage("не указан файл отчёта (-o OUT.pdf)", "");
    if (noPrevious && !previous.empty())
        return Usage("--previous и --no-previous вместе не бывают", "");
    if (shift && previous.empty() && !ArchiveIdArgument(file))
        return Usage("--shift относится к --previous", "");

    std::unique_ptr<SurveyArchive> archive;
    const auto current = LoadScanArgument("report", file, archiveDir, archive);
    if (!current)
        return kFailed;
    ReportInput in;
    in.current = *current;
    if (!previous.empty()) {
        in.previous = LoadScanArgument("report", previous, archiveDir, archive);
        if (!in.previous)
            return kFailed;
    } else if (!noPrevious && current->EntryId != 0 && archive) {
        // The same object and section inspected before, as the windows find it.
        if (const auto id = FindPreviousInspection(*archive, current->EntryId)) {
            std::string error;
            in.previous = ScanFromArchive(*archive, *id, error);
            if (in.previous)
                std::fprintf(stderr, "wallscan-cli report: предыдущий замер: запись № %lld\n",
                             static_cast<long long>(*id));
        }
    }
    in.previousShift = shift;
    in.marks = MarksFromRanges(current->Scan->PointCount, marks);
    in.thresholds.minAllowed =
        tmin > 0 ? tmin : static_cast<float>(current->MinAllowedMm.value_or(0.0));
    in.thresholds.nominal = tnom > 0 ? tnom : static_cast<float>(current->NominalMm.value_or(0.0));
    in.reportDate = date;
    auto ws = std::make_unique<Workspace>();
    std::error_code ec;
    ws->HomeDir = PathToUtf8(std::filesystem::current_path(ec));
    ws->ProgramDir = QDir::toNativeSeparators(QCoreApplication::applicationDirPath()).toStdString();
    in.templates = FolderTemplateReader(*ws);

    QtReportPaper paper(out);
    const ReportOutcome r = ComposeReport(paper, in);
    for (const std::string& note : r.notes)
        std::fprintf(stderr, "wallscan-cli report: %s\n", note.c_str());
    if (!r.ok) {
        std::fprintf(stderr, "wallscan-cli report: %s: %s\n", out.c_str(), r.error.c_str());
        return kFailed;
    }
    std::fprintf(stderr, "wallscan-cli report: %s: листов %d\n", out.c_str(), r.sheets);
    return kOk;
}

}  // namespace ws::cli
