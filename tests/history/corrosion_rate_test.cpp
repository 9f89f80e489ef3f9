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

// `n` points of the wall starting at wall point `start`.
std::vector<float> Scan(int start, int n) {
    std::vector<float> v(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i)
        v[static_cast<size_t>(i)] = WallAt(start + i);
    return v;
}

ScanView View(const std::vector<float>& v) {
    return {v.data(), static_cast<int64_t>(v.size())};
}

struct Case {
    const char* name;
    std::vector<float> earlier, later;
    CompareOptions options;
    bool ok;
    int shift;
    int64_t overlap;
    std::optional<double> meanLoss, maxLoss, maxLossAtMm, rateMax, minNow, remaining;
};

std::vector<Case> Cases() {
    std::vector<Case> cases;
    {
        // The later scan started 37 points further along: its point j is the earlier's j + 37.
        Case c{"later started 37 points on", Scan(0, 300), Scan(37, 300)};
        c.options.years = 2.0;
        c.ok = true;
        c.shift = -37;
        c.overlap = 263;
        c.meanLoss = 0.0;
        c.maxLoss = 0.0;
        c.maxLossAtMm = 0.0;  // the first of the equal losses
        c.rateMax = 0.0;
        cases.push_back(c);
    }
    {
        // The later scan started 25 points before the earlier one.
        Case c{"later started 25 points before", Scan(25, 200), Scan(0, 260)};
        c.ok = true;
        c.shift = 25;
        c.overlap = 200;
        c.meanLoss = 0.0;
        cases.push_back(c);
    }
    {
        // A pit 0.5 mm deeper over five points (later points 100..104), 4 years apart, aligned.
        Case c{"pit deepened", Scan(0, 300), Scan(0, 300)};
        for (int j = 100; j < 105; ++j)
            c.later[static_cast<size_t>(j)] -= 0.5f;
        // The bottom of the pit, deeper than the wall's whole spread: the thinnest point now.
        c.later[102] -= 1.25f;
        c.options.years = 4.0;
        c.options.tmin = 6.0;
        c.ok = true;
        c.shift = 0;
        c.overlap = 300;
        c.meanLoss = (5 * 0.5 + 1.25) / 300.0;
        c.maxLoss = 1.75;
        c.maxLossAtMm = 204.0;
        c.rateMax = 0.4375;
        c.minNow = std::round((WallAt(102) - 1.75) * 100) / 100;
        c.remaining = (*c.minNow - 6.0) / 0.4375;
        cases.push_back(c);
    }
    {
        // Thicker everywhere (a coating, another probe): no thinning measured, no remaining life.
        Case c{"no thinning", Scan(0, 120), Scan(0, 120)};
        for (float& t : c.later)
            t += 0.1f;
        c.options.shift = 0;
        c.options.years = 3.0;
        c.options.tmin = 5.0;
        c.ok = true;
        c.shift = 0;
        c.overlap = 120;
        c.meanLoss = -0.1;
        c.maxLoss = -0.1;
        c.rateMax = -0.1 / 3.0;
        c.remaining = std::nullopt;
        cases.push_back(c);
    }
    {
        // Already below the minimum allowed: no years left, whatever the rate.
        Case c{"below tmin already", Scan(0, 50), Scan(0, 50)};
        c.later[10] = 4.0f;
        c.options.shift = 0;
        c.options.years = 1.0;
        c.options.tmin = 5.0;
        c.ok = true;
        c.overlap = 50;
        c.maxLoss = std::round((WallAt(10) - 4.0) * 100) / 100;
        c.maxLossAtMm = 20.0;
        c.minNow = 4.0;
        c.remaining = 0.0;
        cases.push_back(c);
    }
    {
        // A run of lost contact in the later scan and one in the earlier: those points are
        // left out, the shift is still found.
        Case c{"gap of no contact", Scan(0, 300), Scan(10, 280)};
        for (int j = 50; j < 90; ++j)
            c.later[static_cast<size_t>(j)] = 0.0f;
        for (int i = 200; i < 205; ++i)
            c.earlier[static_cast<size_t>(i)] = 0.0f;
        c.ok = true;
        c.shift = -10;
        c.overlap = 280 - 40 - 5;
        c.meanLoss = 0.0;
        cases.push_back(c);
    }
    {
        // The true shift (-70) overlaps only 30 readings, less than half of the shorter scan's
        // 100: it is not considered, however well it matches.
        Case c{"overlap too short", Scan(0, 100), Scan(70, 100)};
        for (int j = 30; j < 100; ++j)
            c.later[static_cast<size_t>(j)] = WallAt(5000 + 3 * j);
        c.options.maxShift = 50;
        c.ok = true;
        c.shift = 99999;  // anything but -70: checked below
        cases.push_back(c);
    }
    {
        // Readings only at opposite ends: no shift within reach overlaps at all.
        Case c{"nothing in reach", Scan(0, 100), Scan(0, 100)};
        for (int i = 0; i < 90; ++i)
            c.earlier[static_cast<size_t>(i)] = 0.0f;
        for (int j = 10; j < 100; ++j)
            c.later[static_cast<size_t>(j)] = 0.0f;
        c.options.maxShift = 50;
        c.ok = false;
        cases.push_back(c);
    }
    {
        // A shift given by hand where nothing overlaps.
        Case c{"hand shift beyond", Scan(0, 20), Scan(0, 20)};
        c.options.shift = 25;
        c.ok = false;
        cases.push_back(c);
    }
    {
        Case c{"empty scan", {}, Scan(0, 20)};
        c.ok = false;
        cases.push_back(c);
    }
    return cases;
}

TEST(CompareScans, HandMadePairs) {
    for (const Case& c : Cases()) {
        SCOPED_TRACE(c.name);
        const CompareResult r = CompareScans(View(c.earlier), View(c.later), c.options);
        ASSERT_EQ(r.ok, c.ok) << r.error;
        if (!r.ok) {
            EXPECT_FALSE(r.error.empty());
            continue;
        }
        const Comparison& k = r.comparison;
        if (c.shift == 99999) {
            EXPECT_NE(k.shift, -70);
            EXPECT_EQ(AtShift(View(c.earlier), View(c.later), -70).meanAbsDiff, 0.0);
            continue;
        }
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
        near(k.minNow, c.minNow, "min_now");
        if (c.options.tmin) {
            EXPECT_EQ(k.remainingLifeYears.has_value(), c.remaining.has_value());
            near(k.remainingLifeYears, c.remaining, "remaining_life_years");
        }
    }
}

TEST(BestShift, TiesGoToTheSmallerShiftThenThePositiveOne) {
    const std::vector<float> flat(60, 8.0f);
    ASSERT_TRUE(BestShift(View(flat), View(flat), 10));
    EXPECT_EQ(BestShift(View(flat), View(flat), 10)->shift, 0);
    // Alternating walls out of step: shifts -1 and +1 both match exactly.
    std::vector<float> a(60), b(60);
    for (size_t i = 0; i < a.size(); ++i) {
        a[i] = i % 2 ? 9.0f : 8.0f;
        b[i] = i % 2 ? 8.0f : 9.0f;
    }
    const auto best = BestShift(View(a), View(b), 10);
    ASSERT_TRUE(best);
    EXPECT_EQ(best->shift, 1);
    EXPECT_EQ(best->meanAbsDiff, 0.0);
}

TEST(CompareScans, RatesNeedTimeBetweenTheInspections) {
    const auto e = Scan(0, 40);
    auto l = e;
    l[5] -= 0.4f;
    for (const std::optional<double> years :
         {std::optional<double>(), std::optional<double>(0.0), std::optional<double>(-1.0)}) {
        CompareOptions o;
        o.years = years;
        o.tmin = 1.0;
        const CompareResult r = CompareScans(View(e), View(l), o);
        ASSERT_TRUE(r.ok);
        EXPECT_FALSE(r.comparison.rateMax);
        EXPECT_FALSE(r.comparison.rateMean);
        EXPECT_FALSE(r.comparison.remainingLifeYears);
        EXPECT_NEAR(*r.comparison.maxLoss, 0.4, 1e-9);
    }
}

TEST(YearsBetween, DatesOrNothing) {
    const struct {
        const char* a;
        const char* b;
        std::optional<double> years;
    } rows[] = {
        {"2021-05-12", "2026-05-12", 1826 / 365.25},  {"2024-01-01", "2024-12-31", 365 / 365.25},
        {"2026-05-12", "2021-05-12", -1826 / 365.25}, {"", "2026-05-12", std::nullopt},
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

TEST(ComparisonJson, ExactlyTheKeysRoundedWithNulls) {
    Comparison c;
    c.shift = -37;
    c.overlap = 1400;
    c.meanLoss = 0.01234;
    c.maxLoss = 0.5996;
    c.maxLossAtMm = 1710;
    c.years = 4.99658;
    c.rateMean = 0.0024;
    c.rateMax = 0.12;
    c.minNow = 4.6;
    EXPECT_EQ(ComparisonJson(c),
              "{\"shift_points\": -37, \"overlap_points\": 1400, \"mean_loss\": 0.012, "
              "\"max_loss\": 0.600, \"max_loss_at_mm\": 1710, \"years\": 5.00, "
              "\"rate_mean\": 0.002, \"rate_max\": 0.120, \"min_now\": 4.600, "
              "\"remaining_life_years\": null}");
    Comparison bare;
    EXPECT_EQ(ComparisonJson(bare),
              "{\"shift_points\": 0, \"overlap_points\": 0, \"mean_loss\": null, "
              "\"max_loss\": null, \"max_loss_at_mm\": null, \"years\": null, "
              "\"rate_mean\": null, \"rate_max\": null, \"min_now\": null, "
              "\"remaining_life_years\": null}");
}

}  // namespace
}  // namespace ws
