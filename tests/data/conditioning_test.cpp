#include "data/conditioning.h"
#include "data/trace_file.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "support/mem_text.h"

namespace ws {
namespace {

// A gap between two neighbouring hundredths is filled with the half hundredth between them; the
// file must carry it rounded up, as a person reading "1.005" would, for every pair of readings
// from 0.02 mm (a neighbour must lie above the 0.01 mm no-contact limit) to 20 mm.
TEST(FillGaps, HalfHundredthMeansAreWrittenRoundedUp) {
    for (int h = 2; h < 2000; ++h) {
        Trace t = test::TraceOf({h / 100.0f, 0.0f, (h + 1) / 100.0f});
        FillGaps(t);
        const std::string text = FormatTraceFile(t);
        char expected[32];
        std::snprintf(expected, sizeof expected, "\r\n%d.%02d\r\n", (h + 1) / 100, (h + 1) % 100);
        const size_t data = text.find("Data:\r\n");
        const size_t second = text.find("\r\n", data + 7);
        ASSERT_EQ(text.substr(second, std::strlen(expected)), expected) << "between " << h;
    }
}

// A conditioned trace: FillGaps (filter false) or FilterTrace (filter true).
TEST(Conditioning, WholeTraces) {
    const struct {
        const char* why;
        bool filter;
        std::vector<float> values, expected;
    } cases[] = {
        {"an isolated gap takes the mean of its neighbours", false, {5, 0, 5.2f}, {5, 5.1f, 5.2f}},
        {"longer gaps and the ends stay", false, {0, 5, 0, 0, 5, 0}, {0, 5, 0, 0, 5, 0}},
        // Left to right in place: point 1 is filled first, point 2 then sees a gap on its right.
        {"gaps two apart are both filled", false, {4, 0, 6, 0, 8}, {4, 5, 6, 7, 8}},
        {"a neighbour at the limit is no reading", false, {0.01f, 0, 5}, {0.01f, 0, 5}},
        {"a spike between equal neighbours goes", true, {10, 10, 12, 10, 10}, {10, 10, 10, 10, 10}},
        {"a small deviation stays", true, {10, 10, 10.4f, 10, 10}, {10, 10, 10.4f, 10, 10}},
        {"a point on a step snaps to the nearer plateau",
         true,
         {10, 10, 10.5f, 12, 12},
         {10, 10, 10, 12, 12}},
        {"a tie goes to the right plateau", true, {10, 10, 11, 12, 12}, {10, 10, 12, 12, 12}},
        {"next to no contact nothing moves",
         true,
         {0, 0.01f, 3, 0.02f, 0},
         {0, 0.01f, 3, 0.02f, 0}},
        {"sloped plateaus are left alone", true, {8, 10, 10.5f, 12, 12}, {8, 10, 10.5f, 12, 12}},
    };
    for (const auto& c : cases) {
        Trace t = test::TraceOf(c.values);
        t.Thickness[c.values.size()] = 9.0f;  // past the count: never touched
        c.filter ? FilterTrace(t) : FillGaps(t);
        const std::vector<float> got(t.Thickness.begin(),
                                     t.Thickness.begin() + c.values.size() + 1);
        std::vector<float> want = c.expected;
        want.push_back(9.0f);
        EXPECT_EQ(got, want) << c.why;
    }
}

}  // namespace
}  // namespace ws
