// The page renderer against small templates written here, paging, and template files.

#include <gtest/gtest.h>

#include <filesystem>
#include <limits>
#include <map>
#include <memory>
#include <vector>

#include "data/text.h"
#include "support/recording_surface.h"
#include "support/temp_dir.h"
#include "table/results_table.h"

#ifndef _WIN32
#include <unistd.h>
#endif

namespace ws {
namespace {

// Templates by name, written in UTF-8 here and handed to the renderer in windows-1251.
struct Templates {
    std::map<std::string, std::string> files;
    int reads = 0;
    TemplateReader Reader() {
        return [this](const std::string& name, TemplateText& out, std::string& error) {
            ++reads;
            const auto it = files.find(name);
            if (it == files.end()) {
                error = "нет шаблона " + name;
                return false;
            }
            out.lines.clear();
            std::string line;
            for (char c : Utf8ToCp1251(it->second)) {
                if (c == '\n') {
                    out.lines.push_back(line);
                    line.clear();
                } else {
                    line += c;
                }
            }
            if (!line.empty())
                out.lines.push_back(line);
            return true;
        };
    }
};

struct Fixture {
    std::unique_ptr<Workspace> ws = std::make_unique<Workspace>();
    Templates templates;
    std::unique_ptr<ResultsTable> table;

    // A thickness scan of `points` points, 5.00 + i/100 mm, with the given points marked.
    Fixture& Scan(int points, const std::vector<int>& marked = {}) {
        ws->Regime = kRegimeScan;
        ws->PointCount = points;
        for (int i = 0; i < points; ++i)
            ws->Thickness[static_cast<size_t>(i)] = 5.0f + static_cast<float>(i) / 100.0f;
        for (int i : marked)
            ws->PointMark[static_cast<size_t>(i)] = -1;
        return *this;
    }
    // Single readings: 10 + i mm.
    Fixture& Readings(int points) {
        ws->Regime = 0;
        ws->PointCount = points;
        for (int i = 0; i < points; ++i)
            ws->Thickness[static_cast<size_t>(i)] = 10.0f + static_cast<float>(i);
        return *this;
    }
    Fixture& Template(const std::string& text, int rows = 36) {
        templates.files[ws->Regime == kRegimeScan ? kScanTemplate : kReadingsTemplate] = text;
        ws->TableRows = rows;
        return *this;
    }
    ResultsTable& Make() {
        table = std::make_unique<ResultsTable>(*ws, templates.Reader(), [] {
            return CalendarDate{7, 12, 2026};
        });
        return *table;
    }
    std::string Page() const { return table->PageText(); }
};

using Outcome = ResultsTable::Outcome;

TEST(TableFields, ThicknessFieldPadsToSixAndFlagsBelowThreshold) {
    EXPECT_EQ(FormatThicknessField(5.2f, 0.0f, "."), "  5.20  ");
    EXPECT_EQ(FormatThicknessField(123.4f, 0.0f, "."), "123.4   ");
    EXPECT_EQ(FormatThicknessField(100.0f, 0.0f, "."), "100.0   ");
    EXPECT_EQ(FormatThicknessField(99.99f, 0.0f, "."), " 99.99  ");
    EXPECT_EQ(FormatThicknessField(0.0f, 0.0f, "."), "  0.00  ");
    EXPECT_EQ(FormatThicknessField(5.2f, 5.2f, "."), "  5.20  ") << "equal is not below";
    EXPECT_EQ(FormatThicknessField(5.19f, 5.2f, "."), "  5.19 *");
    EXPECT_EQ(FormatThicknessField(5.2f, 6.0f, ","), "  5,20 *");
    // Wider than its six characters: shown in full, never cut or mis-padded.
    EXPECT_EQ(FormatThicknessField(1234.5f, 0.0f, "."), "1234.5   ");
}

// The rounding itself is FixedPoint's; here only what the threshold adds: no NaN or infinity
// reaches the box, and a binary 1.00499999... still reads back as typed.
TEST(TableFields, ThresholdTextReadsBack) {
    EXPECT_EQ(FormatThreshold(1.005f), "1.01");
    EXPECT_EQ(FormatThreshold(std::numeric_limits<float>::quiet_NaN()), "0.00");
    EXPECT_EQ(FormatThreshold(std::numeric_limits<float>::infinity()), "0.00");
}

TEST(TableFields, DateUsesTheLocaleSeparator) {
    EXPECT_EQ(FormatDate({7, 12, 2026}, "/"), "07/12/2026");
    EXPECT_EQ(FormatDate({31, 1, 2027}, "."), "31.01.2027");
}

// One rendered page: the record, the template and the rows per block, and the text expected.
TEST(TableRender, OnePage) {
    const struct {
        const char* why;
        bool scan;  // a scan of 5.00 + i/100 mm, else readings of 10 + i mm
        int points;
        std::vector<int> marked;
        float threshold;
        const char* templ;
        int rows;
        const char* page;
        bool exhausted;
        int next = -1;  // the point the next field takes; -1: not checked
    } cases[] = {
        // clang-format off
        {"fields replace their width; no trailing text once the points ran out", true, 3, {0, 1, 2},
         0.0f, "Дата $T1234567|Длина $L123|\n&\n$N123|$A123456|", 36,
         "Дата 07/12/2026|Длина 8|\r\n    2|  5.00  |\r\n    4|  5.01  |\r\n    6|  5.02  \r\n", true},
        {"unmarked points are skipped before every field and the trailing text", true, 10,
         {1, 3, 4, 8, 9}, 0.0f, "&\n$A      $A      |", 36,
         "  5.01    5.03  |\r\n  5.04    5.08  |\r\n  5.09  \r\n", true},
        {"only thinner points are flagged", true, 3, {0, 1, 2}, 5.01f, "&\n$A      ", 36,
         "  5.00 *\r\n  5.01  \r\n  5.02  \r\n", true},
        {"unknown codes and a trailing dollar are text", false, 1, {}, 0.0f,
         "Цена $5 и $x, $$T1234567 и $", 36, "Цена $5 и $x, $07/12/2026 и $\r\n", false},
        {"fields past the last point are blank and end the data", false, 1, {}, 0.0f,
         "$N   |$A      |$N   |$A      |", 36, "    1| 10.00  |     |        |\r\n", true,
         2},  // "$A" moves on even past the end
        // Only "$A" moves on to the next point; "$N" alone names the same point on every row.
        {"a row without thickness repeats its point", false, 6, {}, 0.0f, "&\n$N   ", 3,
         "    1\r\n    1\r\n    1\r\n", false},
        // clang-format on
    };
    for (const auto& c : cases) {
        Fixture f;
        c.scan ? f.Scan(c.points, c.marked) : f.Readings(c.points);
        f.ws->RangeOfMeasure = c.threshold;
        f.Template(c.templ, c.rows);
        ASSERT_EQ(f.Make().Load(), Outcome::Rendered) << c.why;
        EXPECT_EQ(f.Page(), c.page) << c.why;
        EXPECT_EQ(f.table->DataExhausted, c.exhausted) << c.why;
        if (c.next >= 0) {
            EXPECT_EQ(f.table->NextPoint, c.next) << c.why;
        }
    }
}

TEST(TableRender, ReadingsAreNumberedFromOneAndCountedByReadings) {
    Fixture f;
    f.Readings(5);
    f.ws->Thickness[2] = 0.0009f;  // no reading: never listed
    f.ws->Thickness[3] = 0.001f;   // the smallest reading that counts
    f.Template("Замеров: $L   \n&\n$N   $A      ");
    ASSERT_EQ(f.Make().Load(), Outcome::Rendered);
    EXPECT_EQ(f.Page(),
              "Замеров: 4\r\n"
              "    1 10.00  \r\n"
              "    2 11.00  \r\n"
              "    4  0.00  \r\n"
              "    5 14.00  \r\n");
    EXPECT_EQ(f.ws->PointMark[2], 0);
    EXPECT_EQ(f.ws->PointMark[3], -1);
}

TEST(TableRender, SeveralRowBlocksContinueFromEachOther) {
    Fixture f;
    f.Readings(5).Template("H\n&\n$A      \nM\n&\n$A      \nF", 2);
    ASSERT_EQ(f.Make().Load(), Outcome::Rendered);
    EXPECT_EQ(f.Page(), "H\r\n 10.00  \r\n 11.00  \r\nM\r\n 12.00  \r\n 13.00  \r\nF\r\n");
    EXPECT_EQ(f.table->NextPoint, 4);
    EXPECT_FALSE(f.table->DataExhausted);
    ASSERT_EQ(f.table->Forward(), Outcome::Rendered);
    // The second block starts with the points already run out: one empty row.
    EXPECT_EQ(f.Page(), "H\r\n 14.00  \r\nM\r\n\r\nF\r\n");
    EXPECT_TRUE(f.table->DataExhausted);
}

TEST(TablePaging, AnExactlyFilledLastPageEndsTheData) {
    Fixture f;
    f.Readings(6).Template("H\n&\n$N   $A      \nF", 3);
    ResultsTable& t = f.Make();
    ASSERT_EQ(t.Load(), Outcome::Rendered);
    EXPECT_EQ(f.Page(), "H\r\n    1 10.00  \r\n    2 11.00  \r\n    3 12.00  \r\nF\r\n");
    EXPECT_FALSE(t.DataExhausted);
    ASSERT_EQ(t.Forward(), Outcome::Rendered);
    EXPECT_EQ(f.Page(), "H\r\n    4 13.00  \r\n    5 14.00  \r\n    6 15.00  \r\nF\r\n");
    // The skip after the last field already finds no point left: no empty page follows.
    EXPECT_TRUE(t.DataExhausted);
    EXPECT_EQ(t.Forward(), Outcome::Unchanged);
    EXPECT_EQ(t.PageIndex, 1);

    ASSERT_EQ(t.Back(), Outcome::Rendered);
    EXPECT_EQ(f.Page(), "H\r\n    1 10.00  \r\n    2 11.00  \r\n    3 12.00  \r\nF\r\n");
    EXPECT_FALSE(t.DataExhausted) << "after Back, Forward works again";
    EXPECT_EQ(t.Back(), Outcome::Unchanged);
    EXPECT_EQ(t.PageIndex, 0);
    ASSERT_EQ(t.Forward(), Outcome::Rendered);
    EXPECT_EQ(t.PageIndex, 1);
}

TEST(TablePaging, WithoutRowsOrRowBlockTheSamePageRepeatsUpToTheLimit) {
    for (const char* text : {"Только шапка $L   ", "H\n&\n$A      \nF"}) {
        Fixture f;
        f.Readings(3).Template(text, 0);
        ResultsTable& t = f.Make();
        ASSERT_EQ(t.Load(), Outcome::Rendered);
        const std::string first = f.Page();
        ASSERT_EQ(t.Forward(), Outcome::Rendered);
        EXPECT_EQ(f.Page(), first);
        EXPECT_EQ(t.NextPoint, 0);
        EXPECT_FALSE(t.DataExhausted);
        // The page starts are never overrun: Forward stops at the last page it can remember.
        while (t.Forward() == Outcome::Rendered) {
        }
        EXPECT_EQ(t.PageIndex, kMaxTablePages - 1);
        EXPECT_EQ(t.Forward(), Outcome::Unchanged);
        EXPECT_LE(t.PageStart.size(), static_cast<size_t>(kMaxTablePages) + 1);
    }
}

TEST(TablePaging, OneRowPerPageReachesEveryPointOfTheLargestRecord) {
    Fixture f;
    f.Readings(kPointSlots).Template("&\n$N   $A      ", 1);
    ResultsTable& t = f.Make();
    ASSERT_EQ(t.Load(), Outcome::Rendered);
    int pages = 1;
    while (t.Forward() == Outcome::Rendered)
        ++pages;
    EXPECT_EQ(pages, kPointSlots);
    EXPECT_EQ(t.PageIndex, kPointSlots - 1);
    EXPECT_TRUE(t.DataExhausted);
}

TEST(TablePaging, AHugeRowCountIsBoundedByThePoints) {
    Fixture f;
    f.Readings(2).Template("&\nстрока без полей", 2000000000);
    ASSERT_EQ(f.Make().Load(), Outcome::Rendered);
    size_t lines = 0;
    for (char c : f.Page())
        lines += c == '\n';
    EXPECT_EQ(lines, static_cast<size_t>(kMaxRowsPerBlock));
}

TEST(TablePaging, NothingMarkedGivesNoInformation) {
    Fixture f;
    f.Scan(10).Template("&\n$A      ");
    ResultsTable& t = f.Make();
    EXPECT_EQ(t.Load(), Outcome::NoInformation);
    EXPECT_EQ(t.Forward(), Outcome::NoInformation);
    EXPECT_EQ(f.templates.reads, 0);
    // A restart (rows applied) lists every point, as the unmarked scan has no marks to follow.
    ASSERT_EQ(t.Restart(), Outcome::Rendered);
    EXPECT_NE(f.Page().find("5.09"), std::string::npos);

    Fixture empty;
    empty.Readings(3);
    empty.ws->Thickness.fill(0.0f);
    empty.Template("&\n$A      ");
    EXPECT_EQ(empty.Make().Load(), Outcome::NoInformation);
}

TEST(TablePaging, ThresholdChangeRerendersThePageShown) {
    Fixture f;
    f.Readings(6).Template("&\n$A      ", 3);
    ResultsTable& t = f.Make();
    ASSERT_EQ(t.Load(), Outcome::Rendered);
    ASSERT_EQ(t.Forward(), Outcome::Rendered);
    f.ws->RangeOfMeasure = 14.5f;
    ASSERT_EQ(t.ShowTablePage(), Outcome::Rendered);
    EXPECT_EQ(f.Page(), " 13.00 *\r\n 14.00 *\r\n 15.00  \r\n");
    EXPECT_EQ(t.PageIndex, 1);
}

TEST(TableTemplateErrors, AMissingTemplateIsReportedAndNothingMoves) {
    Fixture f;
    f.Readings(6).Template("&\n$A      ", 3);
    ResultsTable& t = f.Make();
    ASSERT_EQ(t.Load(), Outcome::Rendered);
    const std::string page = f.Page();
    f.templates.files.clear();
    EXPECT_EQ(t.Forward(), Outcome::Failed);
    EXPECT_NE(t.Error().find("docizm.prn"), std::string::npos);
    EXPECT_EQ(f.Page(), page);
    EXPECT_EQ(t.PageIndex, 0);
    EXPECT_EQ(t.NextPoint, 3);
    // Once the template is back, the next page follows as if nothing had happened.
    f.Template("&\n$A      ", 3);
    ASSERT_EQ(t.Forward(), Outcome::Rendered);
    EXPECT_EQ(f.Page(), " 13.00  \r\n 14.00  \r\n 15.00  \r\n");
}

TEST(TableTemplateErrors, ALoadWithoutTemplateRetriesTheFirstPageOnForward) {
    Fixture f;
    f.Readings(2);
    ResultsTable& t = f.Make();
    EXPECT_EQ(t.Load(), Outcome::Failed);
    EXPECT_EQ(f.Page(), "");
    f.Template("&\n$N   $A      ");
    ASSERT_EQ(t.Forward(), Outcome::Rendered);
    EXPECT_EQ(t.PageIndex, 0);
    EXPECT_EQ(f.Page(), "    1 10.00  \r\n    2 11.00  \r\n");
}

TEST(TableTemplateErrors, ARowMarkerOnTheLastLineIsRefused) {
    Fixture f;
    f.Readings(2).Template("Шапка\n&");
    EXPECT_EQ(f.Make().Load(), Outcome::Failed);
    EXPECT_NE(f.table->Error().find("&"), std::string::npos);
}

// Templates are searched in several folders: a broken one is named with the folder it came from.
TEST(TemplateFiles, ABrokenTemplateIsNamedWithItsFolder) {
    test::TempDir dir;
    const std::string path = dir.Write("docway.prn", "Шапка\r\n&\r\n");
    auto ws = std::make_unique<Workspace>();
    ws->HomeDir = dir.str();
    ws->Regime = kRegimeScan;
    ws->PointCount = 2;
    ws->PointMark[0] = -1;
    ResultsTable table(*ws, FolderTemplateReader(*ws));
    EXPECT_EQ(table.Load(), ResultsTable::Outcome::Failed);
    EXPECT_NE(table.Error().find(path), std::string::npos) << table.Error();
}

TEST(TemplateFiles, LineEndsAndEncodingsReadAlike) {
    test::TempDir dir;
    const std::string cp = Utf8ToCp1251("Протокол $T\r\n&\r\n$A\r\n");
    for (const std::string& bytes : {cp, Utf8ToCp1251("Протокол $T\n&\n$A"),
                                     std::string("\xEF\xBB\xBF") + "Протокол $T\n&\n$A\n",
                                     std::string("Протокол $T\r&\r$A\r")}) {
        const std::string path = dir.Write("t.prn", bytes);
        TemplateText t;
        std::string error;
        ASSERT_TRUE(ReadTemplateFile(path, t, error)) << error;
        ASSERT_EQ(t.lines.size(), 3u);
        EXPECT_EQ(t.lines[0], Utf8ToCp1251("Протокол $T"));
        EXPECT_EQ(t.lines[2], "$A");
    }
}

TEST(TemplateFiles, BadFilesGiveAMessage) {
    test::TempDir dir;
    TemplateText t;
    std::string error;
    EXPECT_FALSE(ReadTemplateFile(dir.Write("empty.prn", ""), t, error));
    EXPECT_NE(error.find("пуст"), std::string::npos);
    EXPECT_FALSE(
        ReadTemplateFile(dir.Write("huge.prn", std::string(kTemplateMaxBytes + 1, 'x')), t, error));
    EXPECT_NE(error.find("велик"), std::string::npos);
    EXPECT_FALSE(ReadTemplateFile(dir.Write("bin.prn", std::string("ab\0cd", 5)), t, error));
    EXPECT_NE(error.find("не текстовый"), std::string::npos);
    EXPECT_FALSE(ReadTemplateFile(dir.File("none.prn"), t, error));
    EXPECT_FALSE(ReadTemplateFile(dir.str(), t, error)) << "a folder is not a template";
#ifndef _WIN32
    if (geteuid() != 0) {
        const std::string locked = dir.Write("locked.prn", "text");
        std::filesystem::permissions(locked, std::filesystem::perms::none);
        EXPECT_FALSE(ReadTemplateFile(locked, t, error));
        EXPECT_NE(error.find("Не удалось прочитать"), std::string::npos);
    }
#endif
}

TEST(TemplateFiles, TheOperatorsCopyWinsOverTheShippedOne) {
    test::TempDir home, program;
    auto ws = std::make_unique<Workspace>();
    ws->HomeDir = home.str();
    ws->ProgramDir = program.str();
    program.Write("share/docway.prn", "shipped");
    TemplateReader reader = FolderTemplateReader(*ws);
    TemplateText t;
    std::string error;
    ASSERT_TRUE(reader("docway.prn", t, error));
    EXPECT_EQ(t.lines.at(0), "shipped");
    home.Write("docway.prn", "edited");
    ASSERT_TRUE(reader("docway.prn", t, error));
    EXPECT_EQ(t.lines.at(0), "edited");
    EXPECT_FALSE(reader("docizm.prn", t, error));
    EXPECT_NE(error.find(home.str()), std::string::npos) << error;
    EXPECT_NE(error.find(program.str()), std::string::npos) << error;
}

TEST(TemplateFiles, TheShippedTemplatesRenderAProtocol) {
    for (const bool scan : {true, false}) {
        auto ws = std::make_unique<Workspace>();
        ws->ProgramDir = test::SourceDir().string();
        ws->Regime = scan ? kRegimeScan : 0;
        ws->PointCount = 100;
        for (int i = 0; i < 100; ++i) {
            ws->Thickness[static_cast<size_t>(i)] = 8.0f - static_cast<float>(i % 7) * 0.5f;
            ws->PointMark[static_cast<size_t>(i)] = i >= 20 && i < 80 ? -1 : 0;
        }
        ws->RangeOfMeasure = 6.0f;
        ResultsTable table(*ws, FolderTemplateReader(*ws), [] {
            return CalendarDate{7, 12, 2026};
        });
        ASSERT_EQ(table.Load(), ResultsTable::Outcome::Rendered) << table.Error();
        const std::string page = table.PageText();
        EXPECT_NE(page.find("07/12/2026"), std::string::npos);
        EXPECT_NE(page.find(" *"), std::string::npos);
        EXPECT_EQ(page.find('$'), std::string::npos) << "every field is known";
        EXPECT_NE(page.find("Подпись"), std::string::npos);
        EXPECT_EQ(table.PageStart[1], scan ? 20 + 36 : 36);
    }
}

TEST(TablePrint, LinesStartAtTheMarginAndGoOnToNewSheets) {
    test::RecordingSurface page(12000, 16000, 1);
    PrintTableText(page, "первая\r\nвторая\r\n", "Courier New", 12);
    auto texts = page.Of(test::Primitive::Text);
    ASSERT_EQ(texts.size(), 3u) << "a text ending with a line end ends with an empty line";
    EXPECT_EQ(texts[0].text, "первая");
    EXPECT_EQ(texts[0].x1, 1000);
    EXPECT_EQ(texts[0].y1, 1000);
    EXPECT_EQ(texts[0].fontName, "Courier New");
    EXPECT_EQ(texts[1].x1, 1000);
    EXPECT_GT(texts[1].y1, 1000);
    EXPECT_EQ(texts[2].text, "");

    test::RecordingSurface small(12000, 16000, 1);
    std::string many;
    for (int i = 0; i < 100; ++i)
        many += "строка\r\n";
    PrintTableText(small, many + "\r\n\r\n\r\n\r\n\r\n\r\n", "Courier New", 12);
    EXPECT_GE(small.pages, 2);
    // 52 lines fill a sheet of this size; the empty line after the last line end and any
    // blank lines after it feed no extra sheet.
    std::string full;
    for (int i = 0; i < 52; ++i)
        full += "строка\r\n";
    test::RecordingSurface exact(12000, 16000, 1);
    PrintTableText(exact, full + "\r\n  \r\n", "Courier New", 12);
    EXPECT_EQ(exact.pages, 1);
    test::RecordingSurface more(12000, 16000, 1);
    PrintTableText(more, full + "итог", "Courier New", 12);
    EXPECT_EQ(more.pages, 2);
    for (const auto& t : small.Of(test::Primitive::Text)) {
        EXPECT_GE(t.y1, 1000);
        EXPECT_LE(t.y1 + small.TextHeight(), small.Height());
    }
}

TEST(UserText, Utf8StaysAndSingleByteIsConverted) {
    EXPECT_EQ(DecodeUserText("Толщина"), "Толщина");
    EXPECT_EQ(DecodeUserText(Utf8ToCp1251("Толщина")), "Толщина");
    EXPECT_EQ(DecodeUserText("\xEF\xBB\xBFok"), "ok");
    EXPECT_EQ(EncodeUserText("Толщина"), Utf8ToCp1251("Толщина"));
    EXPECT_EQ(EncodeUserText("мм ≥ 5"), "мм ≥ 5") << "not representable: kept as UTF-8";
}

}  // namespace
}  // namespace ws
