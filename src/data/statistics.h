#pragma once
// The numbers an inspector decides from: thinnest point, spread, and how much of the wall lies
// below the minimum allowed thickness. One accumulator serves a whole trace, a marked part of
// it, and a rectangle of the corrosion map.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace ws {

struct Workspace;

// Thickness at or above this (mm, compared as the record's float) is a reading; below it the
// gauge had no contact.
inline constexpr float kReadingLimit = 0.01f;

// The object's two thresholds in millimetres; 0 means not set.
struct Thresholds {
    float nominal = 0.0f;     // tnom: the wall as built
    float minAllowed = 0.0f;  // tmin: below this the wall must be repaired
    friend bool operator==(const Thresholds&, const Thresholds&) = default;
};

struct Stats {
    int64_t points = 0;
    int64_t readings = 0;
    int64_t noContact = 0;
    std::optional<double> min, max, mean, sd;
    int64_t minIndex = -1, maxIndex = -1;  // point index of the first smallest / largest
    int64_t minTag = -1, maxTag = -1;      // caller's tag (the map's row) of those points
    std::optional<double> minAtMm, maxAtMm;
    // With a minimum allowed thickness:
    std::optional<double> tmin;
    int64_t belowTmin = 0;
    int64_t belowTminMm = 0;
    std::optional<double> belowTminPercent;
    int64_t longestBelowMm = 0;
    // With a nominal thickness:
    std::optional<double> tnom;
    std::optional<double> meanLossPercent, maxLossPercent;
};

// Feeds values one by one. Points added after BreakRun() do not continue the run of points
// below tmin that was open (the next point is not the neighbour of the last one).
class StatsAccumulator {
  public:
    explicit StatsAccumulator(Thresholds thresholds = {});
    // One point: its thickness, its index along the scan (coordinate 2*index mm) and a tag.
    void Add(float thickness, int64_t index, int64_t tag = 0);
    void BreakRun();
    Stats Finish() const;

  private:
    Thresholds th_;
    Stats s_;
    double sum_ = 0, sumSq_ = 0;  // shifted by the first reading, for a stable variance
    double shift_ = 0;
    int64_t run_ = 0;
};

// A whole trace (every point 0..count-1).
Stats StatsOfTrace(const float* thickness, int64_t count, Thresholds thresholds = {});
// The points whose `include` is true; a gap between included points ends a run.
Stats StatsOfPart(const float* thickness, int64_t count, const std::vector<bool>& include,
                  Thresholds thresholds = {});
// The record's whole trace, and its marked points (PointMark != 0).
Stats StatsOfRecord(const Workspace& ws, bool markedOnly, Thresholds thresholds);

// Readings per bin of `binWidth` mm starting at `origin`; no-contact points are left out.
struct Histogram {
    double origin = 0;
    double binWidth = 0.1;
    std::vector<int64_t> counts;
    int64_t Peak() const;
};
Histogram MakeHistogram(const float* thickness, int64_t count, const std::vector<bool>* include,
                        double binWidth = 0.1);

// One line of a statistics listing: the JSON key, the Russian label, and the text of its value.
struct StatsLine {
    const char* key;
    const char* label;
    std::string value;  // "" where undefined
};
// The listing in display form (the locale's decimal separator), only the threshold lines that
// apply.
std::vector<StatsLine> StatsLines(const Stats& s, const std::string& decimalSeparator);
// One JSON object with the keys of the listing, numbers rounded for reading (thickness and
// means 0.001 mm, percentages 0.01), null where undefined.
std::string StatsJson(const Stats& s);

}  // namespace ws
