#include "data/statistics.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "data/record.h"
#include "support/mem_text.h"

namespace ws {
namespace {

constexpr double kNone = std::numeric_limits<double>::quiet_NaN();

struct Case {
    const char* name;
    std::vector<float> values;
    Thresholds th;
    int64_t points, readings, noContact;
    double min, minAt, max, maxAt, mean, sd;  // NaN: undefined
    int64_t below, belowMm;
    double belowPercent;
    int64_t longestMm;
    double meanLoss, maxLoss;
};

void ExpectOpt(const std::optional<double>& got, double want, const char* what) {
    if (std::isnan(want)) {
        EXPECT_FALSE(got.has_value()) << what;
    } else {
        ASSERT_TRUE(got.has_value()) << what;
        EXPECT_NEAR(*got, want, 1e-5) << what;  // the values are floats
    }
}

// Every expected number below was worked out by hand from the values.
// clang-format off
//   name, values, thresholds {nominal, tmin},
//   points, readings, no contact,   min, at, max, at, mean, sd,
//   below tmin, below mm, below %, longest below mm, mean loss %, max loss %
const Case kCases[] = {
    // Ties: the first smallest (index 1) and the first largest (index 2) win.
    {"ties", {5.0f, 4.0f, 6.0f, 4.0f, 6.0f}, {},
     5, 5, 0,   4.0, 2, 6.0, 4, 5.0, 1.0,
     0, 0, kNone, 0, kNone, kNone},
    // 6.00 equals tmin and is not below it; 5.99 is.
    {"threshold at a reading", {6.0f, 5.99f, 6.0f, 5.0f, 5.0f, 6.01f}, {0.0f, 6.0f},
     6, 6, 0,   5.0, 6, 6.01, 10, 5.6666667, 0.5164365,
     3, 6, 50.0, 4, kNone, kNone},
    // A point without contact is no reading below tmin: it ends the run.
    {"no contact ends a run", {4.0f, 0.0f, 4.0f, 4.0f}, {0.0f, 5.0f},
     4, 3, 1,   4.0, 0, 4.0, 0, 4.0, 0.0,
     3, 6, 100.0, 4, kNone, kNone},
    // 0.01 mm is the smallest reading; just under it is no contact.
    {"contact limit", {0.01f, 0.009f}, {},
     2, 1, 1,   0.01, 0, 0.01, 0, 0.01, 0.0,
     0, 0, kNone, 0, kNone, kNone},
    // Mean above nominal: a negative loss, not a clamp.
    {"thicker than nominal", {8.2f, 8.4f}, {8.0f, 0.0f},
     2, 2, 0,   8.2, 0, 8.4, 2, 8.3, 0.1414214,
     0, 0, kNone, 0, -3.75, -2.5},
};
// clang-format on

TEST(Statistics, HandComputedCases) {
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        const Stats s = StatsOfTrace(c.values.data(), static_cast<int64_t>(c.values.size()), c.th);
        EXPECT_EQ(s.points, c.points);
        EXPECT_EQ(s.readings, c.readings);
        EXPECT_EQ(s.noContact, c.noContact);
        ExpectOpt(s.min, c.min, "min");
        ExpectOpt(s.minAtMm, c.minAt, "min_at_mm");
        ExpectOpt(s.max, c.max, "max");
        ExpectOpt(s.maxAtMm, c.maxAt, "max_at_mm");
        ExpectOpt(s.mean, c.mean, "mean");
        ExpectOpt(s.sd, c.sd, "sd");
        EXPECT_EQ(s.belowTmin, c.below);
        EXPECT_EQ(s.belowTminMm, c.belowMm);
        ExpectOpt(s.belowTminPercent, c.belowPercent, "below_tmin_percent");
        EXPECT_EQ(s.longestBelowMm, c.longestMm);
        ExpectOpt(s.meanLossPercent, c.meanLoss, "mean_loss_percent");
        ExpectOpt(s.maxLossPercent, c.maxLoss, "max_loss_percent");
    }
}

TEST(Statistics, HostileValuesGiveNumbersNotCrashes) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    const std::vector<float> v = {nan, -3.0f, 8.0f, 1e30f, inf};
    const Stats s = StatsOfTrace(v.data(), 5, {8.0f, 6.0f});
    // NaN and negative values are no contact; the huge ones are readings.
    EXPECT_EQ(s.readings, 3);
    EXPECT_EQ(s.noContact, 2);
    const std::string json = StatsJson(s);
    EXPECT_EQ(json.find("nan"), std::string::npos) << json;
    EXPECT_EQ(json.find("inf"), std::string::npos) << json;
}

TEST(Statistics, RecordMarkedPartFollowsPointMark) {
    auto ws = test::WorkspaceWith({8.0f, 7.0f, 6.0f, 5.0f, 9.0f});
    ws->PointMark[2] = -1;
    ws->PointMark[4] = -1;
    ws->PointMark[5] = -1;  // beyond the trace: never counted
    // The counts and positions shown for a mouse marking are the statistics window's test.
    EXPECT_EQ(StatsOfRecord(*ws, true, {}).points, 2);
}

// Undefined values are null in JSON (the object with values is checked through wallscan-cli)
// and empty in the listing; defined ones are listed with the operator's decimal separator.
TEST(Statistics, UndefinedValuesAreNullInJsonAndEmptyInTheListing) {
    const std::vector<float> none = {0.0f};
    const Stats s = StatsOfTrace(none.data(), 1, {0.0f, 6.0f});
    EXPECT_EQ(StatsJson(s),
              "{\"points\": 1, \"readings\": 0, \"no_contact\": 1, \"min\": null, "
              "\"min_at_mm\": null, \"max\": null, \"max_at_mm\": null, \"mean\": null, "
              "\"sd\": null, \"tmin\": 6.000, \"below_tmin\": 0, \"below_tmin_mm\": 0, "
              "\"below_tmin_percent\": null, \"longest_below_mm\": 0}");
    EXPECT_EQ(StatsLines(s, ".")[7].value, "");  // mean
    const std::vector<float> v = {7.25f, 6.5f};
    const auto lines = StatsLines(StatsOfTrace(v.data(), 2, {0.0f, 7.0f}), ",");
    ASSERT_EQ(lines.size(), 14u);
    EXPECT_STREQ(lines[3].key, "min");
    EXPECT_EQ(lines[3].value, "6,50");
}

TEST(Statistics, HistogramBinsOfATenthByTheStoredHundredths) {
    // 7.30 as a float lies a hair below 7.3 and still belongs to the bin from 7.3; no contact
    // (0.00) is in no bin.
    const std::vector<float> v = {7.30f, 7.35f, 7.29f, 0.0f, 7.40f};
    const Histogram h = MakeHistogram(v.data(), 5, nullptr);
    EXPECT_NEAR(h.origin, 7.2, 1e-9);
    EXPECT_EQ(h.counts, (std::vector<int64_t>{1, 2, 1}));
    // A reading of 1e30 must not make a histogram of 1e31 bins; only marked points count.
    const std::vector<float> huge = {8.0f, 1e30f, 0.02f};
    EXPECT_LE(MakeHistogram(huge.data(), 3, nullptr).counts.size(), 2001u);
    const std::vector<bool> only = {true, false, false};
    EXPECT_EQ(MakeHistogram(huge.data(), 3, &only).counts, (std::vector<int64_t>{1}));
}

}  // namespace
}  // namespace ws
