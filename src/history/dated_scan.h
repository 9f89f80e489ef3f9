#pragma once
// A scan as one inspection of a line: its trace and what the archive knows of it (object,
// section, inspector, inspection date, where it came from). The comparison and the report take
// their scans from .mem files or archive entries through here.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "data/record.h"

namespace ws {

class SurveyArchive;

struct InspectionScan {
    int64_t EntryId = 0;  // 0: a file outside the archive
    std::shared_ptr<Trace> Scan = std::make_shared<Trace>();
    std::string File;  // the .mem it was read from (the archived copy for an entry)
    std::string Object, Section, Inspector;
    std::string InspectedOn;  // "YYYY-MM-DD", empty when not known
    // How the trace came in, for the title block: "из прибора 07.12.2026 10:15" or the file.
    std::string Origin;
    std::optional<double> NominalMm, MinAllowedMm;  // the object's thresholds, if described
    int64_t FiledUtc = 0;
};

// "#12" given where a file or an archive id is allowed: the id, or nothing for a path.
std::optional<int64_t> ArchiveIdArgument(const std::string& text);

// Reads a .mem file as "Открыть файл" does (gap filling, no filter). Nothing, with the reason
// in `error`, when it cannot be read.
std::optional<InspectionScan> ScanFromFile(const std::string& path, std::string& error);
// Reads an archive entry's trace and description.
std::optional<InspectionScan> ScanFromArchive(SurveyArchive& archive, int64_t id,
                                              std::string& error);

// Puts the earlier inspection first: by inspection date when both have one, else by the time
// they were filed; a pair that cannot be told apart keeps its order.
void OrderByDate(InspectionScan& first, InspectionScan& second);

// Years between the two inspection dates, nothing when either is unknown.
std::optional<double> YearsBetween(const InspectionScan& earlier, const InspectionScan& later);

// The live entry of the same object and section inspected last before `entryId`'s inspection
// date; nothing when the entry has no object, no date, or no earlier inspection.
std::optional<int64_t> FindPreviousInspection(SurveyArchive& archive, int64_t entryId);

// "12.05.2021" for "2021-05-12"; the text unchanged when it is not such a date.
std::string RussianDate(const std::string& iso);

// How the legend and headings call a scan: "замер № 12 от 12.05.2021", "file.mem".
std::string ScanCaption(const InspectionScan& scan);

}  // namespace ws
