// The report's sheets on a recording paper: their order and orientation, the
// title block, the footers with the sheet count, the protocol pages, and what
// happens when a part cannot be made.

#include "report/report_sheets.h"

#include <gtest/gtest.h>

#include <memory>

#include "report/sheet_surfaces.h"
#include "support/recording_surface.h"

namespace ws {
namespace {

// A4 printable area in twips, as a printer with 5 mm margins gives it.
constexpr double kA4Short = 11338, kA4Long = 16271;

class RecordingPaper : public ReportPaper {
  public:
    Surface* NextSheet(bool landscape) override {
        if (failAt == static_cast<int>(sheets.size()) + 1)
            return nullptr;
        sheets.push_back(std::make_unique<test::RecordingSurface>(
            landscape ? kA4Long : kA4Short, landscape ? kA4Short : kA4Long, 8));
        return sheets.back().get();
    }
    bool Finish() override { return !failFinish; }
    std::string AllText(size_t sheet) const {
        std::string all;
        for (const auto& t : sheets[sheet]->Texts())
            all += t + "\n";
        return all;
    }
    std::vector<std::unique_ptr<test::RecordingSurface>> sheets;
    int failAt = 0;
    bool failFinish = false;
};

InspectionScan Scan(int points, float base, int16_t regime = kRegimeScan) {
    InspectionScan s;
    s.Scan->Regime = regime;
    s.Scan->PointCount = points;
    for (int i = 0; i < points; ++i)
        s.Scan->Thickness[static_cast<size_t>(i)] =
            base + static_cast<float>((i * 37) % 11) / 100.0f;
    s.File = "/data/line.mem";
    s.Origin = "файл /data/line.mem";
    return s;
}

ReportInput Input(int points = 100) {
    ReportInput in;
    in.current = Scan(points, 8.0f);
    in.current.Object = "Трубопровод Т-3";
    in.current.Section = "Участок 7";
    in.current.InspectedOn = "2026-05-12";
    in.thresholds = {8.0f, 6.5f};
    in.reportDate = {7, 12, 2026};
    // A template of a title line and a row block of one field: one row per listed point.
    in.templates = [](const std::string& name, TemplateText& out, std::string&) {
        out.lines = {"PROTOKOL " + name, "&", "$N   $A      "};
        return true;
    };
    in.tableRows = 36;
    return in;
}

bool Has(const std::string& all, const std::string& what) {
    return all.find(what) != std::string::npos;
}

TEST(InspectionReport, SheetsInOrderWithTheirOrientation) {
    const struct {
        const char* name;
        int points;
        bool previous;
        int16_t regime;
        std::string sheets;  // P upright, L across
    } rows[] = {
        // Title, profile, statistics, then the table: 100 points at 36 rows are 3
        // pages.
        {"scan", 100, false, kRegimeScan, "PLPPPP"},
        {"scan and previous", 100, true, kRegimeScan, "PLPLPPP"},
        // Single readings have no profile and are not compared.
        {"single readings", 10, true, 0, "PPP"},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        ReportInput in = Input(r.points);
        in.current.Scan->Regime = r.regime;
        if (r.previous) {
            in.previous = Scan(r.points, 8.1f);
            in.previous->InspectedOn = "2021-05-12";
        }
        RecordingPaper paper;
        const ReportOutcome out = ComposeReport(paper, in);
        ASSERT_TRUE(out.ok) << out.error;
        EXPECT_EQ(out.sheets, static_cast<int>(r.sheets.size()));
        std::string sheets;
        for (const auto& sheet : paper.sheets)
            sheets += sheet->Width() > sheet->Height() ? 'L' : 'P';
        EXPECT_EQ(sheets, r.sheets);
        // Every sheet says which it is, of how many, and whose.
        const std::string of = " из " + std::to_string(r.sheets.size());
        for (size_t k = 0; k < paper.sheets.size(); ++k) {
            const std::string all = paper.AllText(k);
            EXPECT_TRUE(Has(all, "Лист " + std::to_string(k + 1) + of)) << k;
            EXPECT_TRUE(Has(all, "Объект: Трубопровод Т-3, участок Участок 7")) << k;
        }
    }
}

TEST(InspectionReport, TitleBlockNamesEverything) {
    ReportInput in = Input();
    in.previous = Scan(100, 8.1f);
    in.previous->EntryId = 4;
    in.previous->InspectedOn = "2021-05-12";
    // Five marked runs: the title names four at most and counts the rest.
    in.marks.assign(100, 0);
    for (int i = 10; i <= 20; ++i)
        in.marks[static_cast<size_t>(i)] = -1;
    for (size_t i = 30; i <= 60; i += 10)
        in.marks[i] = -1;
    RecordingPaper paper;
    ASSERT_TRUE(ComposeReport(paper, in).ok);
    const std::string title = paper.AllText(0);
    // The header names object, section and date on every sheet; the title adds the rest.
    // The inspector, the thresholds and the report date are read back from the tool's PDF.
    const char* const wanted[] = {"файл /data/line.mem", "20–40, 60–60, 80–80, 100–100 и ещё 1 мм",
                                  "замер № 4 от 12.05.2021", "Сравнение с предыдущим замером",
                                  "Остаточный ресурс, лет"};
    for (const char* want : wanted)
        EXPECT_TRUE(Has(title, want)) << want << "\n" << title;
}

TEST(InspectionReport, TableListsTheMarkedPartOrEveryReading) {
    for (const bool marked : {false, true}) {
        SCOPED_TRACE(marked);
        ReportInput in = Input(30);
        in.current.Scan->Thickness[5] = 0.0f;  // no contact: never listed
        if (marked) {
            in.marks.assign(30, 0);
            in.marks[12] = in.marks[13] = -1;
        }
        RecordingPaper paper;
        ASSERT_TRUE(ComposeReport(paper, in).ok);
        const std::string table = paper.AllText(paper.sheets.size() - 1);
        // "$N" numbers a point i as 2 * (i + 1), right-aligned in five characters.
        EXPECT_EQ(Has(table, "\n    2  8.00"), !marked);
        EXPECT_FALSE(Has(table, "\n   12  "));  // point 5, no contact
        EXPECT_TRUE(Has(table, "\n   28  "));   // point 13
        EXPECT_EQ(Has(table, "\n   30  "), !marked);
    }
}

TEST(InspectionReport, WhatCannotBeMadeIsSaid) {
    // A template that cannot be read: no protocol sheets, the reason on the title sheet.
    ReportInput in = Input();
    in.templates = [](const std::string&, TemplateText&, std::string& error) {
        error = "Не найден шаблон протокола docway.prn.";
        return false;
    };
    RecordingPaper noTable;
    const ReportOutcome out = ComposeReport(noTable, in);
    ASSERT_TRUE(out.ok);
    EXPECT_EQ(out.sheets, 3);
    EXPECT_TRUE(Has(noTable.AllText(0), "Не найден шаблон протокола docway.prn."));

    // Scans that do not overlap anywhere: the comparison sheet says so.
    in = Input(40);
    in.previous = Scan(40, 8.0f);
    in.previous->Scan->Thickness.fill(0.0f);
    RecordingPaper apart;
    ASSERT_TRUE(ComposeReport(apart, in).ok);
    EXPECT_TRUE(Has(apart.AllText(3), "Замеры не совмещаются"));
}

// No report at all, with the reason: a trace without points, or paper that fails at a sheet or
// at the end.
TEST(InspectionReport, AReportThatCannotBeMadeFailsWhole) {
    const struct {
        int points, failAt;
        bool failFinish;
    } rows[] = {{0, 0, false}, {100, 3, false}, {100, 0, true}};
    for (const auto& r : rows) {
        RecordingPaper paper;
        paper.failAt = r.failAt;
        paper.failFinish = r.failFinish;
        const ReportOutcome out = ComposeReport(paper, Input(r.points));
        EXPECT_FALSE(out.ok) << r.points << " " << r.failAt;
        EXPECT_FALSE(out.error.empty()) << r.points << " " << r.failAt;
        EXPECT_TRUE(r.points > 0 || paper.sheets.empty());
    }
}

TEST(InspectionReport, ALongTemplatePageIsPrintedSmallerToKeepItsSheet) {
    // 60 lines a page: more than a sheet holds at 12 points, so the table goes
    // smaller.
    ReportInput in = Input(60);
    in.tableRows = 60;
    RecordingPaper paper;
    ASSERT_TRUE(ComposeReport(paper, in).ok);
    ASSERT_EQ(paper.sheets.size(), 4u);
    double size = 0;
    for (const auto& t : paper.sheets[3]->Of(test::Primitive::Text))
        if (t.fontName == "Courier New")
            size = t.fontSize;
    EXPECT_LT(size, 12);
    EXPECT_GE(size, 8);
}

TEST(MarksFromRanges, CoordinatesInclusive) {
    const struct {
        std::vector<std::pair<double, double>> ranges;
        std::vector<int16_t> marks;
    } rows[] = {
        {{}, {0, 0, 0, 0, 0}},
        {{{2, 6}}, {0, -1, -1, -1, 0}},
        {{{0, 0}, {7, 100}}, {-1, 0, 0, 0, -1}},
        {{{3, 3}}, {0, 0, 0, 0, 0}},
    };
    for (const auto& r : rows)
        EXPECT_EQ(MarksFromRanges(5, r.ranges), r.marks);
    EXPECT_TRUE(MarksFromRanges(-3, {{0, 10}}).empty());
    EXPECT_EQ(MarksFromRanges(1 << 30, {}).size(), static_cast<size_t>(kPointSlots));
}

TEST(RegionSurface, MovesAndScalesEverything) {
    test::RecordingSurface sheet(10000, 8000, 10);
    sheet.SetFont("X", 10);
    RegionSurface r(sheet, 1000, 500, 4000, 3000, 0.5);
    r.SetFontSize(8);
    EXPECT_EQ(sheet.FontSize(), 4);
    r.Line(0, 0, 2000, 1000, kBlack);
    r.MoveTo(100, 200);
    r.Print("a");
    EXPECT_DOUBLE_EQ(r.CurrentX(), 0);  // the next line starts at the region's left edge
    const PixelPoint pts[] = {{0, 0}, {10, 0}, {10, 10}};
    r.Polygon(pts, 3, kBlack, kWhite);
    const auto line = sheet.Of(test::Primitive::Line).at(0);
    EXPECT_EQ(std::make_tuple(line.x1, line.y1, line.x2, line.y2),
              std::make_tuple(1000.0, 500.0, 2000.0, 1000.0));
    const auto text = sheet.Of(test::Primitive::Text).at(0);
    EXPECT_EQ(std::make_pair(text.x1, text.y1), std::make_pair(1050.0, 600.0));
    EXPECT_EQ(sheet.Of(test::Primitive::Polygon).at(0).points[2], (PixelPoint{105, 55}));
}

}  // namespace
}  // namespace ws
