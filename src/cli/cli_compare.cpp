#include <cstdio>
#include <memory>

#include "cli/cli.h"
#include "data/numbers.h"
#include "history/corrosion_rate.h"
#include "history/dated_scan.h"
#include "survey/archive_location.h"
#include "survey/survey_archive.h"

namespace ws::cli {
namespace {

int Usage(const char* command, const char* why, const std::string& what) {
    return UsageError(command, why, what);
}

// A plain positive number (mm or years) for the options; false for anything else.
bool PositiveNumber(const std::string& text, double limit, double& out) {
    if (text.empty() || text.find_first_not_of("0123456789.") != std::string::npos ||
        text.find_first_of("0123456789") == std::string::npos)
        return false;
    const double v = NumericPrefix(text);
    if (!(v > 0.0) || v > limit)
        return false;
    out = v;
    return true;
}

}  // namespace

std::optional<InspectionScan> LoadScanArgument(const char* command, const std::string& arg,
                                               const std::string& archiveDir,
                                               std::unique_ptr<SurveyArchive>& archive) {
    std::string error;
    std::optional<InspectionScan> scan;
    if (const auto id = ArchiveIdArgument(arg)) {
        if (!archive) {
            archive = std::make_unique<SurveyArchive>();
            const std::string folder = archiveDir.empty() ? DefaultArchiveFolder() : archiveDir;
            const auto opened = archive->Open(folder);
            if (!opened.Ok) {
                std::fprintf(stderr, "wallscan-cli %s: архив замеров %s: %s\n", command,
                             folder.c_str(), opened.Message.c_str());
                archive.reset();
                return std::nullopt;
            }
        }
        scan = ScanFromArchive(*archive, *id, error);
    } else {
        scan = ScanFromFile(arg, error);
    }
    if (!scan) {
        std::fprintf(stderr, "wallscan-cli %s: %s\n", command, error.c_str());
        return std::nullopt;
    }
    if (scan->Scan->Regime != kRegimeScan || scan->Scan->PointCount < 1) {
        std::fprintf(stderr, "wallscan-cli %s: %s: не трасса сканирования\n", command, arg.c_str());
        return std::nullopt;
    }
    return scan;
}

int RunCompare(const Args& args) {
    const char* cmd = "compare";
    std::vector<std::string> files;
    std::string archiveDir;
    std::optional<int> shift;
    int maxShift = kDefaultMaxShift;
    bool maxGiven = false, json = false;
    std::optional<double> years, tmin;
    for (ArgCursor words(args); words.Next();) {
        const std::string& a = words.Word();
        std::string v;
        auto value = [&] { return words.Value(v); };
        double number = 0;
        int points = 0;
        if (a == "--json") {
            json = true;
        } else if (a == "--shift") {
            if (!value() || !ParsePoints(v, true, points))
                return Usage(cmd, "--shift ждет целое число точек, получено ", v);
            shift = points;
        } else if (a == "--max-shift") {
            if (!value() || !ParsePoints(v, false, points))
                return Usage(cmd, "--max-shift ждет целое число точек 0..4201, получено ", v);
            maxShift = points;
            maxGiven = true;
        } else if (a == "--years") {
            if (!value() || !PositiveNumber(v, 1000.0, number))
                return Usage(cmd, "--years ждет число лет больше 0, получено ", v);
            years = number;
        } else if (a == "--tmin") {
            if (!value() || !PositiveNumber(v, 1000.0, number))
                return Usage(cmd, "--tmin ждет толщину в мм больше 0, получено ", v);
            tmin = number;
        } else if (a == "--archive") {
            if (!value() || v.empty())
                return Usage(cmd, "нет папки после ", a);
            archiveDir = v;
        } else if (!a.empty() && a[0] == '-' && !ArchiveIdArgument(a)) {
            return Usage(cmd, "неизвестный параметр ", a);
        } else {
            files.push_back(a);
        }
    }
    if (shift && maxGiven)
        return Usage(cmd, "--shift и --max-shift вместе не бывают", "");
    if (files.size() != 2)
        return Usage(cmd, "нужны два замера: РАННИЙ и ПОЗДНИЙ", "");

    std::unique_ptr<SurveyArchive> archive;
    const auto earlier = LoadScanArgument(cmd, files[0], archiveDir, archive);
    if (!earlier)
        return kFailed;
    const auto later = LoadScanArgument(cmd, files[1], archiveDir, archive);
    if (!later)
        return kFailed;

    CompareOptions o;
    o.shift = shift;
    o.maxShift = maxShift;
    o.years = years ? years : YearsBetween(*earlier, *later);
    if (!years && o.years && !(*o.years > 0))
        std::fprintf(stderr,
                     "wallscan-cli compare: ранний замер датирован не раньше позднего (%s, %s): "
                     "скорость не определена\n",
                     earlier->InspectedOn.c_str(), later->InspectedOn.c_str());
    o.tmin = tmin ? tmin : later->MinAllowedMm;
    const CompareResult r =
        CompareScans({earlier->Scan->Thickness.data(), earlier->Scan->PointCount},
                     {later->Scan->Thickness.data(), later->Scan->PointCount}, o);
    if (!r.ok) {
        std::fprintf(stderr, "wallscan-cli compare: %s\n", r.error.c_str());
        return kFailed;
    }
    if (json)
        return WriteStdout(ComparisonJson(r.comparison) + "\n") ? kOk : kFailed;
    std::string out =
        "Ранний: " + ScanCaption(*earlier) + "\nПоздний: " + ScanCaption(*later) + "\n";
    for (const ComparisonLine& line : ComparisonLines(r.comparison, ".")) {
        // Padded by characters, not bytes: the labels are Cyrillic.
        std::string label = line.label;
        size_t chars = 0;
        for (unsigned char c : label)
            chars += (c & 0xC0) != 0x80;
        label.append(chars < 36 ? 36 - chars : 1, ' ');
        out += label + (line.value.empty() ? "-" : line.value) + "\n";
    }
    return WriteStdout(out) ? kOk : kFailed;
}

}  // namespace ws::cli
