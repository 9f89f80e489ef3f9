#pragma once
// The corrosion map of a survey: every thickness scan of a folder as one row of cells, one
// cell per point (2 mm along), rows as long as their scans.

#include <cstdint>
#include <string>
#include <vector>

#include "data/statistics.h"

namespace ws {

class MapModel {
  public:
    // One row more; `values` in mm, one per point.
    void AddRow(std::string name, const float* values, int32_t count);

    int32_t Rows() const { return static_cast<int32_t>(names_.size()); }
    int32_t RowLength(int32_t row) const { return lengths_[static_cast<size_t>(row)]; }
    int32_t MaxLength() const { return maxLength_; }
    const std::string& Name(int32_t row) const { return names_[static_cast<size_t>(row)]; }
    const float* Row(int32_t row) const {
        return values_.data() + offsets_[static_cast<size_t>(row)];
    }
    bool HasCell(int32_t row, int32_t col) const {
        return row >= 0 && row < Rows() && col >= 0 && col < RowLength(row);
    }
    int64_t Cells() const { return static_cast<int64_t>(values_.size()); }

    // Smallest and largest reading of the whole map (no contact left out); false when none.
    bool ReadingRange(float& lo, float& hi) const;

    // Over every cell of rows row0..row1 and columns col0..col1 (inclusive, clipped to the
    // map). Each row starts a new run; the minimum's row is in minTag.
    Stats RegionStats(int32_t row0, int32_t row1, int32_t col0, int32_t col1,
                      Thresholds thresholds) const;
    Stats AllStats(Thresholds thresholds) const {
        return RegionStats(0, Rows() - 1, 0, MaxLength() - 1, thresholds);
    }

    std::string folder;  // where the scans came from (UTF-8)

  private:
    std::vector<std::string> names_;
    std::vector<int64_t> offsets_;
    std::vector<int32_t> lengths_;
    std::vector<float> values_;
    int32_t maxLength_ = 0;
    float lo_ = 0, hi_ = 0;
    bool any_ = false;
};

struct MapLoadResult {
    MapModel model;
    bool noFiles = false;              // the folder has no .mem file at all
    std::vector<std::string> skipped;  // "name: why", files left out
};

// Every .mem file of the folder in the folder scan's name order, through the measurement file
// reader (gap filling, the filter when on). No limit on the number of files.
MapLoadResult LoadMapFolder(const std::string& folder, bool filterOn);

// The one message that lists the files left out; empty when none were.
std::string SkippedMessage(const std::vector<std::string>& skipped);

}  // namespace ws
