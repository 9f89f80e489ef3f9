#include "history/dated_scan.h"

#include <sstream>

#include "data/trace_file.h"
#include "history/corrosion_rate.h"
#include "survey/survey_archive.h"
#include "survey/survey_text.h"

namespace ws {

std::optional<int64_t> ArchiveIdArgument(const std::string& text) {
    // Only "#12" is an id: a file may well be called "12". At most 18 digits: no overflow.
    if (text.size() < 2 || text[0] != '#' || text.size() > 19 ||
        text.find_first_not_of("0123456789", 1) != std::string::npos)
        return std::nullopt;
    const int64_t id = std::stoll(text.substr(1));
    if (id < 1)
        return std::nullopt;
    return id;
}

std::optional<InspectionScan> ScanFromFile(const std::string& path, std::string& error) {
    const TraceReadResult r = ReadTraceFile(path, Trace{}, false);
    if (r.status == TraceReadStatus::Missing) {
        error = path + ": файл не найден";
        return std::nullopt;
    }
    if (r.status == TraceReadStatus::Error) {
        error = path + ": ошибка при вводе из файла: " + r.problem;
        return std::nullopt;
    }
    InspectionScan s;
    *s.Scan = r.trace;
    s.File = path;
    s.Origin = "файл " + path;
    return s;
}

std::optional<InspectionScan> ScanFromArchive(SurveyArchive& archive, int64_t id,
                                              std::string& error) {
    const auto e = archive.Get(id);
    if (!e) {
        error = "запись № " + std::to_string(id) + " не найдена в архиве";
        if (!archive.LastError().empty())
            error += ": " + archive.LastError();
        return std::nullopt;
    }
    const auto bytes = archive.TraceBytes(id);
    if (!bytes) {
        error = "запись № " + std::to_string(id) + ": " + archive.LastError();
        return std::nullopt;
    }
    std::istringstream in(*bytes);
    const TraceReadResult r = ParseTraceStream(in, Trace{}, false);
    if (r.status != TraceReadStatus::Ok) {
        error = "запись № " + std::to_string(id) + ": ошибка при вводе из файла: " + r.problem;
        return std::nullopt;
    }
    InspectionScan s;
    s.EntryId = id;
    *s.Scan = r.trace;
    s.File = e->TraceFile;
    s.Object = e->Object;
    s.Section = e->Section;
    s.Inspector = e->Inspector;
    s.InspectedOn = e->InspectedOn;
    s.FiledUtc = e->FiledUtc;
    s.Origin = e->Source == EntrySource::Gauge
                   ? "из прибора " + LocalDateTimeOf(e->FiledUtc)
                   : "файл " + (e->Paths.empty() ? e->TraceFile : e->Paths.front());
    if (const auto obj = archive.ObjectOfEntry(id)) {
        s.NominalMm = obj->NominalMm;
        s.MinAllowedMm = obj->MinAllowedMm;
    }
    return s;
}

void OrderByDate(InspectionScan& first, InspectionScan& second) {
    const bool dated = ParseIsoDate(first.InspectedOn) && ParseIsoDate(second.InspectedOn);
    bool swap = false;
    if (dated && first.InspectedOn != second.InspectedOn)
        swap = first.InspectedOn > second.InspectedOn;  // ISO dates sort as text
    else if (first.FiledUtc != 0 && second.FiledUtc != 0)
        swap = first.FiledUtc > second.FiledUtc;
    if (swap)
        std::swap(first, second);
}

std::optional<double> YearsBetween(const InspectionScan& earlier, const InspectionScan& later) {
    return YearsBetween(earlier.InspectedOn, later.InspectedOn);
}

std::optional<int64_t> FindPreviousInspection(SurveyArchive& archive, int64_t entryId) {
    const auto e = archive.Get(entryId);
    if (!e || e->Object.empty() || !ParseIsoDate(e->InspectedOn))
        return std::nullopt;
    ListQuery q;
    q.Object = e->Object;
    std::optional<ArchiveEntry> best;
    for (const ArchiveEntry& c : archive.List(q)) {
        if (c.Id == entryId || c.Section != e->Section || !ParseIsoDate(c.InspectedOn) ||
            c.InspectedOn >= e->InspectedOn || c.Regime != kRegimeScan)
            continue;
        // The latest of the earlier inspections; of one day's scans the one filed last.
        if (!best || c.InspectedOn > best->InspectedOn ||
            (c.InspectedOn == best->InspectedOn && c.FiledUtc > best->FiledUtc))
            best = c;
    }
    if (!best)
        return std::nullopt;
    return best->Id;
}

std::string RussianDate(const std::string& iso) {
    if (!ParseIsoDate(iso))
        return iso;
    return iso.substr(8, 2) + "." + iso.substr(5, 2) + "." + iso.substr(0, 4);
}

std::string ScanCaption(const InspectionScan& scan) {
    std::string caption;
    if (scan.EntryId != 0)
        caption = "замер № " + std::to_string(scan.EntryId);
    else
        caption = scan.File;
    if (!scan.InspectedOn.empty())
        caption += " от " + RussianDate(scan.InspectedOn);
    return caption;
}

}  // namespace ws
