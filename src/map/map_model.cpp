#include "map/map_model.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <memory>

#include "data/folder_scan.h"
#include "data/record.h"
#include "data/text.h"
#include "data/trace_file.h"

namespace ws {

void MapModel::AddRow(std::string name, const float* values, int32_t count) {
    count = std::max(count, 0);
    names_.push_back(std::move(name));
    offsets_.push_back(static_cast<int64_t>(values_.size()));
    lengths_.push_back(count);
    values_.insert(values_.end(), values, values + count);
    maxLength_ = std::max(maxLength_, count);
    for (int32_t i = 0; i < count; ++i) {
        const float t = values[i];
        if (!(t >= kReadingLimit) || !std::isfinite(t))
            continue;
        lo_ = any_ ? std::min(lo_, t) : t;
        hi_ = any_ ? std::max(hi_, t) : t;
        any_ = true;
    }
}

bool MapModel::ReadingRange(float& lo, float& hi) const {
    lo = lo_;
    hi = hi_;
    return any_;
}

Stats MapModel::RegionStats(int32_t row0, int32_t row1, int32_t col0, int32_t col1,
                            Thresholds thresholds) const {
    StatsAccumulator acc(thresholds);
    row0 = std::max(row0, 0);
    row1 = std::min(row1, Rows() - 1);
    col0 = std::max(col0, 0);
    for (int32_t r = row0; r <= row1; ++r) {
        acc.BreakRun();
        const float* v = Row(r);
        const int32_t last = std::min(col1, RowLength(r) - 1);
        for (int32_t c = col0; c <= last; ++c)
            acc.Add(v[c], c, r);
    }
    return acc.Finish();
}

MapLoadResult LoadMapFolder(const std::string& folder, bool filterOn) {
    MapLoadResult result;
    result.model.folder = folder;
    const std::vector<std::string> names = ListMemFiles(folder);
    if (names.empty()) {
        result.noFiles = true;
        return result;
    }
    const std::filesystem::path dir = PathFromUtf8(folder);
    // Slots past a file's count keep the previous file's values; only 0..count-1 are used.
    auto scratch = std::make_unique<Trace>();
    for (const std::string& name : names) {
        const TraceReadResult r =
            ReadTraceFile(PathToUtf8(dir / PathFromUtf8(name)), *scratch, filterOn);
        if (r.status != TraceReadStatus::Ok) {
            result.skipped.push_back(name + ": " + (r.problem.empty() ? "не читается" : r.problem));
            continue;
        }
        if (r.trace.Regime != kRegimeScan || r.trace.PointCount < 1) {
            result.skipped.push_back(name + ": не трасса сканирования");
            continue;
        }
        result.model.AddRow(name, r.trace.Thickness.data(), r.trace.PointCount);
    }
    return result;
}

std::string SkippedMessage(const std::vector<std::string>& skipped) {
    if (skipped.empty())
        return {};
    // A folder of hundreds of broken files must not give a box taller than the screen.
    constexpr size_t kShown = 20;
    std::string text = "Не вошли в карту:";
    for (size_t i = 0; i < skipped.size() && i < kShown; ++i)
        text += "\n" + skipped[i];
    if (skipped.size() > kShown)
        text += "\n... и еще " + std::to_string(skipped.size() - kShown);
    return text;
}

}  // namespace ws
