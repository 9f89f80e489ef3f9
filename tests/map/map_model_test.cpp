#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <string>
#include <vector>

#include "map/color_scale.h"
#include "map/map_model.h"
#include "support/mem_text.h"
#include "support/temp_dir.h"

namespace ws {
namespace {

using test::MemText;

TEST(MapModel, RaggedRowsInNameOrderWithBadFilesListedAndLeftOut) {
    test::TempDir dir;
    dir.Write("b.mem", MemText(255, {"7.00", "7.10", "7.20", "7.30"}));
    dir.Write("a.mem", MemText(255, {"8.00", "6.50"}));
    dir.Write("c.mem", MemText(0, {"5.00", "5.00"}));   // single readings
    dir.Write("d.mem", MemText(255, {"5.00"}, " 3 "));  // truncated
    dir.Write("g.mem", MemText(255, {"9.00", "0.00", "0.00", "9.00", "9.50"}));
    dir.Write("h.mem", MemText(255, {"7.00"}));  // a scan stopped after one point is a row
    dir.Write("notes.txt", "not a scan");
    const MapLoadResult r = LoadMapFolder(dir.str(), false);
    ASSERT_EQ(r.model.Rows(), 4);
    for (const auto& [row, name, length] :
         {std::tuple{0, "a.mem", 2}, {1, "b.mem", 4}, {2, "g.mem", 5}, {3, "h.mem", 1}}) {
        EXPECT_EQ(r.model.Name(row), name);
        EXPECT_EQ(r.model.RowLength(row), length);
    }
    EXPECT_EQ(r.skipped.size(), 2u);
    float lo = 0, hi = 0;
    ASSERT_TRUE(r.model.ReadingRange(lo, hi));
    EXPECT_EQ((std::array{lo, hi}), (std::array{6.5f, 9.5f}));
}

TEST(MapModel, EmptyAndMissingFolders) {
    test::TempDir dir;
    EXPECT_TRUE(LoadMapFolder(dir.str(), false).noFiles);
    EXPECT_TRUE(LoadMapFolder(dir.File("absent"), false).noFiles);
    dir.Write("only.mem", MemText(0, {"1.00"}));
    EXPECT_EQ(LoadMapFolder(dir.str(), false).skipped.size(), 1u);
}

TEST(MapModel, UnreadableFileIsListedNotFatal) {
    test::TempDir dir;
    dir.Write("a.mem", MemText(255, {"8.00", "8.00"}));
    const std::string locked = dir.Write("b.mem", MemText(255, {"8.00", "8.00"}));
    std::filesystem::permissions(locked, std::filesystem::perms::none);
    const MapLoadResult r = LoadMapFolder(dir.str(), false);
    std::filesystem::permissions(locked, std::filesystem::perms::owner_all);
    if (r.model.Rows() == 2)
        GTEST_SKIP() << "running with privileges that read any file";
    EXPECT_EQ(r.model.Rows(), 1);
    ASSERT_EQ(r.skipped.size(), 1u);
    EXPECT_EQ(r.skipped[0].rfind("b.mem: ", 0), 0u);
}

TEST(MapModel, ManySkippedFilesGiveOneBoundedMessage) {
    const std::vector<std::string> skipped(300, "f.mem: не трасса сканирования");
    const std::string m = SkippedMessage(skipped);
    EXPECT_LT(std::count(m.begin(), m.end(), '\n'), 25);
    EXPECT_NE(m.find("и еще 280"), std::string::npos);
}

TEST(MapModel, RegionStatsBreakRunsAtEveryRow) {
    MapModel m;
    const float a[] = {9.0f, 5.0f, 5.0f};
    const float b[] = {5.0f, 5.0f};
    const float c[] = {9.0f, 4.0f, 9.0f};
    m.AddRow("a", a, 3);
    m.AddRow("b", b, 2);
    m.AddRow("c", c, 3);
    // Rows a and b: four cells below 6 mm, side by side in the file order, but no run longer
    // than two points: the end of a row is not the start of the next.
    Stats s = m.RegionStats(0, 1, 0, 2, {0.0f, 6.0f});
    EXPECT_EQ((std::array{s.points, s.belowTmin, s.longestBelowMm}),
              (std::array<int64_t, 3>{5, 4, 4}));
    // The whole map: the thinnest cell is in row c.
    EXPECT_EQ(m.AllStats({}).minTag, 2);
    // A rectangle past the ends is clipped, never read out of bounds.
    s = m.RegionStats(-5, 99, 2, 1000, {});
    EXPECT_EQ(s.points, 2);
}

struct ColorCase {
    const char* name;
    float value;
    Rgb expected;
};

TEST(ColorScale, BandEdges) {
    // tmin 6, tnom 8, the folder's readings 5..10.
    const ColorScale scale({8.0f, 6.0f}, 5.0f, 10.0f);
    ASSERT_TRUE(scale.Bands());
    const ColorCase cases[] = {
        {"no contact", 0.0f, kMapNoContact},
        {"below tmin", 5.99f, kMapBelowMin},
        {"at tmin: first graded colour (orange)", 6.0f, {245, 120, 30}},
        {"just under tnom: last graded colour (pale yellow)", 7.999f, {250, 230, 120}},
        {"at tnom: the palest green", 8.0f, {170, 220, 160}},
        {"thickest reading: the deepest green", 10.0f, {30, 120, 60}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(scale.ColorOf(c.value), c.expected);
    }
}

TEST(ColorScale, ContinuousWithoutBothThresholds) {
    const Thresholds variants[] = {{0.0f, 0.0f}, {8.0f, 0.0f}, {0.0f, 6.0f}, {6.0f, 8.0f}};
    for (const auto& th : variants) {
        const ColorScale scale(th, 4.0f, 8.0f);
        EXPECT_FALSE(scale.Bands());
        // Viridis: its start, end and middle.
        EXPECT_EQ((std::array{scale.ColorOf(4.0f), scale.ColorOf(8.0f), scale.ColorOf(6.0f)}),
                  (std::array<Rgb, 3>{{{68, 1, 84}, {253, 231, 37}, {33, 145, 140}}}));
    }
    // One reading value in the whole folder: no division by a zero span.
    const ColorScale flat({}, 7.0f, 7.0f);
    EXPECT_EQ(flat.ColorOf(7.0f), (Rgb{68, 1, 84}));
}

}  // namespace
}  // namespace ws
