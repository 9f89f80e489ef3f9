#include "history/corrosion_rate.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace ws {
namespace {

// A wall whose thickness at wall point w (hundredths, 7.50..8.46 mm) never repeats nearby, so
// only the true shift lines two scans of it up.
float WallAt(int w) {
    const int h = ((w * 7919 + 13) % 97 + 97) % 97;
    return 7.5f + static_cast<float>(h) / 100.0f;
}

// `n` points of the wall starting at wall point `start`, with `change` added to points
// [from, to) and no reading (0 mm) at points [gapFrom, gapTo).
std::vector<float> Scan(int start, int n, int from = 0, int to = 0, float change = 0,
                        int gapFrom = 0, int gapTo = 0) {
    std::vector<float> v(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i)
        v[static_cast<size_t>(i)] = i >= gapFrom && i < gapTo ? 0.0f
                                    : i >= from && i < to     ? WallAt(start + i) + change
                                                              : WallAt(start + i);
    return v;
}

ScanView View(const std::vector<float>& v) {
    return {v.data(), static_cast<int64_t>(v.size())};
}

struct Case {
    const char* name;
    std::vector<float> earlier, later;
    CompareOptions options;
    bool ok = true;
    int shift = 0;
    int64_t overlap = 0;
    std::optional<double> meanLoss, maxLoss, maxLossAtMm, rateMax, minNow, remaining;
};

// 60 points alternating between 9 and 8 mm.
std::vector<float> Alternating(bool startsOnNine) {
    std::vector<float> v(60);
    for (size_t i = 0; i < v.size(); ++i)
        v[i] = (i % 2 == 0) == startsOnNine ? 9.0f : 8.0f;
    return v;
}

// The bottom of a pit deeper than the wall's whole spread: the thinnest point now.
std::vector<float> Pitted() {
    std::vector<float> v = Scan(0, 300, 100, 105, -0.5f);
    v[102] -= 1.25f;
    return v;
}

TEST(CompareScans, HandMadePairs) {
    const double pitBottom = std::round((WallAt(102) - 1.75) * 100) / 100;
    const std::nullopt_t no = std::nullopt;
    const double belowLoss = std::round((WallAt(10) - 4.0) * 100) / 100;
    const Case cases[] = {
        // clang-format off
        // name, earlier, later, options, ok, shift, overlap,
        //     mean loss, max loss, at mm, max rate, min now, remaining years
        // The later scan started 37 points further along: its point j is the earlier's j + 37;
        // of the equal losses the first one is the largest.
        {"later started 37 points on", Scan(0, 300), Scan(37, 300), {.years = 2.0}, true, -37, 263,
         0.0, 0.0, 0.0, 0.0, no, no},
        {"later started 25 points before", Scan(25, 200), Scan(0, 260), {}, true, 25, 200,
         0.0, no, no, no, no, no},
        // A pit 0.5 mm deeper over five points, 1.75 mm at its bottom, 4 years apart.
        {"pit deepened", Scan(0, 300), Pitted(), {.years = 4.0, .tmin = 6.0}, true, 0, 300,
         (5 * 0.5 + 1.25) / 300.0, 1.75, 204.0, 0.4375, pitBottom, (pitBottom - 6.0) / 0.4375},
        // Thicker everywhere (a coating, another probe): no thinning measured, no remaining life.
        {"no thinning", Scan(0, 120), Scan(0, 120, 0, 120, 0.1f),
         {.shift = 0, .years = 3.0, .tmin = 5.0}, true, 0, 120, -0.1, -0.1, no, -0.1 / 3.0, no, no},
        // Already below the minimum allowed: no years left, whatever the rate.
        {"below tmin already", Scan(0, 50), Scan(0, 50, 10, 11, 4.0f - WallAt(10)),
         {.shift = 0, .years = 1.0, .tmin = 5.0}, true, 0, 50,
         no, belowLoss, 20.0, belowLoss, 4.0, 0.0},
        // A rate needs time between the inspections.
        {"no years between", Scan(0, 40), Scan(0, 40, 5, 6, -0.4f), {.years = 0.0, .tmin = 1.0},
         true, 0, 40, no, 0.4, no, no, no, no},
        // Runs of lost contact in either scan are left out; the shift is still found.
        {"gaps of no contact", Scan(0, 300, 0, 0, 0, 200, 205), Scan(10, 280, 0, 0, 0, 50, 90), {},
         true, -10, 280 - 40 - 5, 0.0, no, no, no, no, no},
        // Readings only at opposite ends: no shift within reach overlaps at all.
        {"nothing in reach", Scan(0, 100, 0, 0, 0, 0, 90), Scan(0, 100, 0, 0, 0, 10, 100),
         {.maxShift = 50}, false},
        // Out of step by one: shifts -1 and +1 both match exactly; the positive one is taken.
        {"tie between -1 and +1", Alternating(false), Alternating(true), {.maxShift = 10}, true,
         1, 59, 0.0, no, no, no, no, no},
        {"empty scan", {}, Scan(0, 20), {}, false},
        // clang-format on
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const CompareResult r = CompareScans(View(c.earlier), View(c.later), c.options);
        ASSERT_EQ(r.ok, c.ok) << r.error;
        EXPECT_EQ(r.error.empty(), c.ok);
        if (!r.ok)
            continue;
        const Comparison& k = r.comparison;
        EXPECT_EQ(k.shift, c.shift);
        EXPECT_EQ(k.overlap, c.overlap);
        auto near = [](const std::optional<double>& got, const std::optional<double>& want,
                       const char* what) {
            if (!want)
                return;
            ASSERT_TRUE(got.has_value()) << what;
            EXPECT_NEAR(*got, *want, 1e-5) << what;
        };
        near(k.meanLoss, c.meanLoss, "mean_loss");
        near(k.maxLoss, c.maxLoss, "max_loss");
        near(k.maxLossAtMm, c.maxLossAtMm, "max_loss_at_mm");
        near(k.rateMax, c.rateMax, "rate_max");
        EXPECT_EQ(k.rateMax.has_value(), c.rateMax.has_value());
        EXPECT_EQ(k.rateMean.has_value(), c.rateMax.has_value());
        near(k.minNow, c.minNow, "min_now");
        if (c.options.tmin) {
            EXPECT_EQ(k.remainingLifeYears.has_value(), c.remaining.has_value());
            near(k.remainingLifeYears, c.remaining, "remaining_life_years");
        }
    }
}

// Shifts whose overlap is short match by chance: the true shift (-70) overlaps only 30 of the
// 100 readings, and must not be taken however well it matches.
TEST(BestShift, AShortOverlapIsNotConsidered) {
    std::vector<float> later = Scan(70, 100);
    for (int j = 30; j < 100; ++j)
        later[static_cast<size_t>(j)] = WallAt(5000 + 3 * j);
    const auto best = BestShift(View(Scan(0, 100)), View(later), 50);
    EXPECT_EQ(AtShift(View(Scan(0, 100)), View(later), -70).meanAbsDiff, 0.0);
    ASSERT_TRUE(best);
    EXPECT_NE(best->shift, -70);
}

TEST(YearsBetween, DatesOrNothing) {
    const struct {
        const char* a;
        const char* b;
        std::optional<double> years;
    } rows[] = {
        {"2021-05-12", "2026-05-12", 1826 / 365.25},  {"2026-05-12", "2021-05-12", -1826 / 365.25},
        {"", "2026-05-12", std::nullopt},
        {"2021-02-30", "2026-05-12", std::nullopt},   {"12.05.2021", "2026-05-12", std::nullopt},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(std::string(r.a) + " " + r.b);
        const auto y = YearsBetween(r.a, r.b);
        ASSERT_EQ(y.has_value(), r.years.has_value());
        if (y) {
            EXPECT_NEAR(*y, *r.years, 1e-12);
        }
    }
}

TEST(ComparisonJson, ExactlyTheKeysRounded) {
    Comparison c{.shift = -37,
                 .overlap = 1400,
                 .meanLoss = 0.01234,
                 .maxLoss = 0.5996,
                 .maxLossAtMm = 1710,
                 .years = 4.99658,
                 .rateMean = 0.0024,
                 .rateMax = 0.12,
                 .minNow = 4.6};
    EXPECT_EQ(ComparisonJson(c),
              "{\"shift_points\": -37, \"overlap_points\": 1400, \"mean_loss\": 0.012, "
              "\"max_loss\": 0.600, \"max_loss_at_mm\": 1710, \"years\": 5.00, "
              "\"rate_mean\": 0.002, \"rate_max\": 0.120, \"min_now\": 4.600, "
              "\"remaining_life_years\": null}");
}

}  // namespace
}  // namespace ws
