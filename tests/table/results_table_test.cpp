// The page renderer against small templates written here, paging, and template files.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <limits>
#include <map>
#include <memory>
#include <vector>

#include "data/text.h"
#include "support/child_process.h"
#include "support/recording_surface.h"
#include "support/temp_dir.h"
#include "table/results_table.h"

namespace ws {
namespace {

using Outcome = ResultsTable::Outcome;

// A record, its templates (UTF-8, read as the program reads a file's bytes) and the table
// over them, dated 07/12/2026.
struct Fixture {
    std::unique_ptr<Workspace> ws = std::make_unique<Workspace>();
    std::map<std::string, std::string> templates;
    std::unique_ptr<ResultsTable> table;

    // A scan of 5.00 + i/100 mm with the given points marked, or single readings of 10 + i mm.
    Fixture(bool scan, int points, const std::vector<int>& marked = {}) {
        ws->Regime = scan ? kRegimeScan : 0;
        ws->PointCount = points;
        for (int i = 0; i < points; ++i)
            ws->Thickness[i] = scan ? 5.0f + static_cast<float>(i) / 100.0f : 10.0f + i;
        for (int i : marked)
            ws->PointMark[i] = -1;
    }
    // The template of the record's kind (none: nullptr) and the rows per block.
    ResultsTable& Make(const char* text, int rows = 36) {
        if (text)
            Template(text);
        ws->TableRows = rows;
        auto reader = [this](const std::string& name, TemplateText& out, std::string& error) {
            const auto it = templates.find(name);
            return it != templates.end() && ParseTemplateText(it->second, name, out, error);
        };
        table = std::make_unique<ResultsTable>(*ws, reader, [] {
            return CalendarDate{7, 12, 2026};
        });
        return *table;
    }
    void Template(const char* text) {
        templates[ws->Regime == kRegimeScan ? kScanTemplate : kReadingsTemplate] = text;
    }
    const std::string& Page() const { return table->PageText(); }
};

TEST(TableFields, ThicknessAndThreshold) {
    // The plain two-decimal field is on every rendered page below.
    EXPECT_EQ(FormatThicknessField(100.0f, 0.0f, "."), "100.0   ");
    EXPECT_EQ(FormatThicknessField(5.2f, 5.2f, "."), "  5.20  ") << "equal is not below";
    EXPECT_EQ(FormatThicknessField(5.19f, 5.2f, ","), "  5,19 *");
    // Wider than its six characters: shown in full, never cut or mis-padded.
    EXPECT_EQ(FormatThicknessField(1234.5f, 0.0f, "."), "1234.5   ");
    // The rounding itself is FixedPoint's; here only what the threshold adds: no NaN or
    // infinity reaches the box, and a binary 1.00499999... still reads back as typed.
    EXPECT_EQ(FormatThreshold(1.005f), "1.01");
    EXPECT_EQ(FormatThreshold(std::numeric_limits<float>::quiet_NaN()), "0.00");
}

// One rendered page: the record, the template and the rows per block, and the text expected.
TEST(TableRender, OnePage) {
    const struct {
        const char* why;
        bool scan;  // a scan of 5.00 + i/100 mm, else readings of 10 + i mm
        int points;
        std::vector<int> marked;
        const char* templ;
        int rows;
        const char* page;
        bool exhausted;
        int next = -1;                       // the point the next field takes; -1: not checked
        std::map<int, float> readings = {};  // in place of 10 + i mm
    } cases[] = {
        // clang-format off
        {"fields replace their width; no trailing text once the points ran out", true, 3, {0, 1, 2},
         "Дата $T1234567|Длина $L123|\n&\n$N123|$A123456|", 36,
         "Дата 07/12/2026|Длина 8|\r\n    2|  5.00  |\r\n    4|  5.01  |\r\n    6|  5.02  \r\n", true},
        {"unmarked points are skipped before every field and the trailing text", true, 10,
         {1, 3, 4, 8, 9}, "&\n$A      $A      |", 36,
         "  5.01    5.03  |\r\n  5.04    5.08  |\r\n  5.09  \r\n", true},
        {"unknown codes and a trailing dollar are text", false, 1, {},
         "Цена $5 и $x, $$T1234567 и $", 36, "Цена $5 и $x, $07/12/2026 и $\r\n", false},
        {"fields past the last point are blank and end the data", false, 1, {},
         "$N   |$A      |$N   |$A      |", 36, "    1| 10.00  |     |        |\r\n", true,
         2},  // "$A" moves on even past the end
        {"several row blocks continue from each other", false, 5, {},
         "H\n&\n$A      \nM\n&\n$A      \nF", 2,
         "H\r\n 10.00  \r\n 11.00  \r\nM\r\n 12.00  \r\n 13.00  \r\nF\r\n", false, 4},
        {"a block that starts with the points already run out has one empty row", false, 1, {},
         "H\n&\n$A      \nM\n&\n$A      \nF", 2, "H\r\n 10.00  \r\nM\r\n\r\nF\r\n", true},
        // Only "$A" moves on to the next point; "$N" alone names the same point on every row.
        {"a row without thickness repeats its point", false, 6, {}, "&\n$N   ", 3,
         "    1\r\n    1\r\n    1\r\n", false},
        // The third slot holds no reading (under 0.001 mm): not listed, not counted by "$L", and
        // the readings after it keep their numbers.
        {"readings are numbered from one and counted by readings", false, 5, {},
         "Замеров: $L   \n&\n$N   $A      ", 36,
         "Замеров: 4\r\n    1 10.00  \r\n    2 11.00  \r\n    4  0.00  \r\n    5 14.00  \r\n", true,
         -1, {{2, 0.0009f}, {3, 0.001f}}},  // 0.001 mm: the smallest reading that counts
        // clang-format on
    };
    for (const auto& c : cases) {
        Fixture f(c.scan, c.points, c.marked);
        for (const auto& [i, value] : c.readings)
            f.ws->Thickness[i] = value;
        ASSERT_EQ(f.Make(c.templ, c.rows).Load(), Outcome::Rendered) << c.why;
        EXPECT_EQ(f.Page(), c.page) << c.why;
        EXPECT_EQ(f.table->DataExhausted, c.exhausted) << c.why;
        if (c.next >= 0) {
            EXPECT_EQ(f.table->NextPoint, c.next) << c.why;
        }
    }
}

// Forward until it stops. A page that lists no row (rows 0, or no row block) moves on by no
// point: the same page repeats up to the last page whose start can be remembered. One row per
// page reaches every point of the largest record. An exactly filled last page ends the data:
// no empty page follows it.
TEST(TablePaging, ForwardStopsAtTheLastPageItCanRemember) {
    const struct {
        const char* templ;
        int rows, points, lastPage;
        bool exhausted;
    } cases[] = {
        {"Только шапка $L   ", 0, 3, kMaxTablePages - 1, false},
        {"H\n&\n$A      \nF", 0, 3, kMaxTablePages - 1, false},
        {"&\n$N   $A      ", 1, kPointSlots, kPointSlots - 1, true},
        {"H\n&\n$N   $A      \nF", 3, 6, 1, true},
    };
    for (const auto& c : cases) {
        Fixture f(false, c.points);
        ResultsTable& t = f.Make(c.templ, c.rows);
        ASSERT_EQ(t.Load(), Outcome::Rendered);
        const std::string first = f.Page();
        while (t.Forward() == Outcome::Rendered)
            ASSERT_EQ(f.Page() == first, c.rows == 0) << c.templ;
        EXPECT_EQ(t.PageIndex, c.lastPage) << c.templ;
        EXPECT_EQ(t.DataExhausted, c.exhausted) << c.templ;
    }
}

// A typo in the rows box must not hang the window: a block never repeats past the points.
TEST(TablePaging, AHugeRowCountIsBoundedByThePoints) {
    Fixture f(false, 2);
    ASSERT_EQ(f.Make("&\nстрока без полей", 2000000000).Load(), Outcome::Rendered);
    EXPECT_EQ(std::count(f.Page().begin(), f.Page().end(), '\n'), kMaxRowsPerBlock);
}

TEST(TablePaging, NothingMarkedGivesNoInformation) {
    Fixture f(true, 10);
    ResultsTable& t = f.Make("&\n$A      ");
    EXPECT_EQ(t.Load(), Outcome::NoInformation);
    // A restart (rows applied) lists every point, as the unmarked scan has no marks to follow.
    ASSERT_EQ(t.Restart(), Outcome::Rendered);
    EXPECT_NE(f.Page().find("5.09"), std::string::npos);

    Fixture empty(false, 3);
    empty.ws->Thickness.fill(0.0f);
    EXPECT_EQ(empty.Make("&\n$A      ").Load(), Outcome::NoInformation);
}

// A missing template is said and moves nothing: once it is back, a load that failed retries the
// first page on Forward.
TEST(TableTemplateErrors, AMissingTemplateIsReportedAndNothingMoves) {
    Fixture f(false, 6);
    ResultsTable& t = f.Make(nullptr, 3);
    EXPECT_EQ(t.Load(), Outcome::Failed);
    EXPECT_NE(t.Error().find("docizm.prn"), std::string::npos);
    f.Template("&\n$A      ");
    ASSERT_EQ(t.Forward(), Outcome::Rendered);
    EXPECT_EQ(f.Page(), " 10.00  \r\n 11.00  \r\n 12.00  \r\n");
}

// Templates are searched in several folders: the operator's edited copy wins over the shipped
// one, a broken one is named with the folder it came from, a missing one with every folder.
TEST(TemplateFiles, TheOperatorsCopyWinsAndIsNamedWhenBroken) {
    test::TempDir home, program;
    Fixture f(true, 2, {0});
    f.ws->HomeDir = home.str();
    f.ws->ProgramDir = program.str();
    program.Write("share/docway.prn", "shipped");
    TemplateReader reader = FolderTemplateReader(*f.ws);
    TemplateText t;
    std::string error;
    ASSERT_TRUE(reader("docway.prn", t, error));
    EXPECT_EQ(t.lines.at(0), "shipped");
    const std::string edited = home.Write("docway.prn", "Шапка\r\n&\r\n");
    ResultsTable table(*f.ws, reader);
    EXPECT_EQ(table.Load(), Outcome::Failed);
    EXPECT_NE(table.Error().find(edited), std::string::npos) << table.Error();
    EXPECT_FALSE(reader("docizm.prn", t, error));
    EXPECT_NE(error.find(home.str()), std::string::npos) << error;
    EXPECT_NE(error.find(program.str()), std::string::npos) << error;
}

TEST(TemplateFiles, LineEndsAndEncodingsReadAlike) {
    test::TempDir dir;
    const std::string cp = Utf8ToCp1251("Протокол $T\r\n&\r\n$A\r\n");
    for (const std::string& bytes : {cp, Utf8ToCp1251("Протокол $T\n&\n$A"),
                                     std::string("\xEF\xBB\xBF") + "Протокол $T\n&\n$A\n",
                                     std::string("Протокол $T\r&\r$A\r")}) {
        TemplateText t;
        std::string error;
        ASSERT_TRUE(ReadTemplateFile(dir.Write("t.prn", bytes), t, error)) << error;
        EXPECT_EQ(t.lines, (std::vector<std::string>{Utf8ToCp1251("Протокол $T"), "&", "$A"}));
    }
}

TEST(TemplateFiles, BadFilesGiveAMessage) {
    test::TempDir dir;
    const std::string locked = dir.Write("locked.prn", "text");
    std::filesystem::permissions(locked, std::filesystem::perms::none);
    const struct {
        std::string path;
        const char* message;
    } cases[] = {
        {dir.Write("empty.prn", ""), "пуст"},
        {dir.Write("huge.prn", std::string(kTemplateMaxBytes + 1, 'x')), "велик"},
        {dir.Write("bin.prn", std::string("ab\0cd", 5)), "не текстовый"},
        {dir.File("none.prn"), "Не найден"},
        {dir.str(), "Не удалось прочитать"},  // a folder is not a template
        {locked, "Не удалось прочитать"},
    };
    for (const auto& c : cases) {
        // Without the superuser's rights, so that the locked file is locked.
        const int code = test::Unprivileged([&] {
            TemplateText t;
            std::string error;
            const bool refused = !ReadTemplateFile(c.path, t, error);
            _exit(refused && error.find(c.message) != std::string::npos ? 0 : 1);
        });
        EXPECT_EQ(code, 0) << c.path;
    }
}

// Lines start at the margin, 1000 twips in, and go on to new sheets; 52 lines fill a sheet of
// this size.
TEST(TablePrint, LinesStartAtTheMarginAndGoOnToNewSheets) {
    std::string full;
    for (int i = 0; i < 52; ++i)
        full += "строка\r\n";
    const struct {
        std::string text;
        size_t lines;
        int pages;
    } cases[] = {
        {full + "\r\n  \r\n", 52, 1},    // blank lines after the last feed no extra sheet
        {full + "итог", 53, 2},
    };
    for (const auto& c : cases) {
        test::RecordingSurface page(12000, 16000, 1);
        PrintTableText(page, c.text, "Courier New", 12);
        const auto texts = page.Of(test::Primitive::Text);
        ASSERT_EQ(texts.size(), c.lines);
        EXPECT_EQ(page.pages, c.pages);
        EXPECT_EQ(texts[0].text, c.text.substr(0, c.text.find('\r')));
        for (const auto& t : texts) {
            EXPECT_EQ(t.x1, 1000);
            EXPECT_GE(t.y1, 1000);
            EXPECT_LE(t.y1 + page.TextHeight(), page.Height());
        }
    }
}

// Windows-1251 out goes through the editor's save; text it cannot represent stays UTF-8.
TEST(UserText, TheUnrepresentableStays) {
    EXPECT_EQ(EncodeUserText("мм ≥ 5"), "мм ≥ 5");
}

}  // namespace
}  // namespace ws
