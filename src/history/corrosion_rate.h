#pragma once
// Corrosion rate between two inspections of the same scan line: the later scan aligned to the
// earlier one, the wall lost at every point both saw, the loss per year and the years left
// before the thinnest point reaches the minimum allowed thickness.
//
// The two scans never start at the same spot on the wall, so the later one is moved by a whole
// number of points (2 mm each) against the earlier one before anything is subtracted.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ws {

// How far the alignment looks either way by default, in points (400 mm of wall).
inline constexpr int kDefaultMaxShift = 200;

// One scan as the comparison sees it: thickness in mm per point, no reading below 0.01 mm.
struct ScanView {
    const float* thickness = nullptr;
    int64_t count = 0;
};

struct Alignment {
    int shift = 0;           // later point i + shift lies on earlier point i
    int64_t overlap = 0;     // points where both scans have a reading at that shift
    double meanAbsDiff = 0;  // mm
};

// The shift in -maxShift..maxShift with the smallest mean absolute difference over the points
// both scans read. Shifts whose overlap is shorter than half the readings of the shorter scan
// are not considered (a few points matching by chance must not win). Ties go to the smaller
// |shift|, then to the positive one. Nothing when no shift qualifies.
std::optional<Alignment> BestShift(ScanView earlier, ScanView later, int maxShift);

// The overlap and mean absolute difference at one given shift (overlap 0: nothing in common).
Alignment AtShift(ScanView earlier, ScanView later, int shift);

struct Comparison {
    int shift = 0;
    int64_t overlap = 0;
    std::optional<double> meanLoss, maxLoss;  // mm; earlier minus later, positive = thinner now
    std::optional<double> maxLossAtMm;        // coordinate in the later scan
    std::optional<double> years;              // between the two inspections
    std::optional<double> rateMean, rateMax;  // mm per year
    std::optional<double> minNow;             // later scan's thinnest reading over the overlap
    std::optional<double> tmin;               // the minimum allowed thickness it was judged by
    std::optional<double> remainingLifeYears;
    // Loss per point of the later scan (index = later point), empty where either had no reading.
    std::vector<std::optional<float>> lossAtLater;
};

struct CompareOptions {
    std::optional<int> shift;  // given by hand; otherwise the best one is searched for
    int maxShift = kDefaultMaxShift;
    std::optional<double> years;
    std::optional<double> tmin;  // mm, > 0
};

struct CompareResult {
    bool ok = false;
    std::string error;  // for the user, in Russian, when !ok
    Comparison comparison;
};

CompareResult CompareScans(ScanView earlier, ScanView later, const CompareOptions& options);

// Years between two "YYYY-MM-DD" dates (days / 365.25); nothing when either is not a date.
std::optional<double> YearsBetween(std::string_view earlierIso, std::string_view laterIso);

// One JSON object with exactly the keys shift_points, overlap_points, mean_loss, max_loss,
// max_loss_at_mm, years, rate_mean, rate_max, min_now, remaining_life_years; thickness and
// rates to 0.001, years to 0.01, null where undefined.
std::string ComparisonJson(const Comparison& c);

// The figures for display: Russian label and value text ("" where undefined).
struct ComparisonLine {
    const char* key;
    const char* label;
    std::string value;
};
std::vector<ComparisonLine> ComparisonLines(const Comparison& c,
                                            const std::string& decimalSeparator);

}  // namespace ws
