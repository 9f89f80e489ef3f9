// wallscan-cli compare and report as scripts run them: the sample pipe and its
// previous inspection filed in an archive, the figures as JSON, and the report
// read back from the PDF.

#include <gtest/gtest.h>

#include <filesystem>

#include "support/mem_text.h"
#include "support/processes.h"
#include "support/temp_dir.h"
#include "survey/survey_archive.h"

namespace ws {
namespace {

using test::Cli;
using test::MemText;
using test::Q;
using test::Sample;

// The text of one page of a PDF, as pdftotext lays it out.
std::string PageText(const std::string& pdf, int page) {
    const QString p = QString::number(page);
    return test::RunProcess("pdftotext", {"-layout", "-f", p, "-l", p, Q(pdf), "-"}).out;
}

bool Has(const std::string& text, const std::string& what) {
    return text.find(what) != std::string::npos;
}

// Entry 1: the pipe five years before; entry 2: the sample pipe; their object's
// thresholds.
class CompareAndReport : public ::testing::Test {
  protected:
    void SetUp() override {
        SurveyArchive a;
        ASSERT_TRUE(a.Open(archive).Ok);
        ASSERT_EQ(a.Import({Sample("pipe_8mm_previous.mem")}).Added, 1);
        ASSERT_EQ(a.Import({Sample("pipe_8mm.mem")}).Added, 1);
        ASSERT_TRUE(a.Describe(1, {"Трубопровод Т-3", "Участок 7", "Сидоров", "2021-05-12", ""}));
        ASSERT_TRUE(a.Describe(2, {"Трубопровод Т-3", "Участок 7", "Петров", "2026-05-12", ""}));
        ASSERT_TRUE(a.SetObjectThresholds(a.EnsureObject("Трубопровод Т-3"), 8.0, 4.5));
    }
    test::TempDir dir;
    const std::string archive = dir.File("archive");
};

// The figures and the sheets are checked in-process; here what only the tool adds: the
// archive's entries and object, --mark and --date, and the PDF's pages.
TEST_F(CompareAndReport, FromTheArchiveEntries) {
    const std::string pdf = dir.File("report.pdf");
    const test::ProcessRun r = Cli({"report", "#2", "-o", Q(pdf), "--mark", "1600-1800", "--date",
                                    "2026-12-07", "--archive", Q(archive)});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(Has(r.err, "предыдущий замер: запись № 1")) << r.err;
    // Title, profile, statistics, comparison and the 101 marked points at 36 rows
    // a page.
    const std::string last = PageText(pdf, 7);
    EXPECT_TRUE(Has(last, "Лист 7 из 7")) << last;
    EXPECT_TRUE(Has(last, "1802")) << last;
    const std::string title = PageText(pdf, 1);
    for (const char* text :
         {"Петров", "07.12.2026", "4.50", "1600–1800 мм", "замер № 1 от 12.05.2021"})
        EXPECT_TRUE(Has(title, text)) << text << "\n" << title;
}

TEST_F(CompareAndReport, BadInputIsRefusedWithAReason) {
    const std::string empty = dir.Write("empty.mem", "");
    const std::string garbage = dir.Write("garbage.mem", std::string(5000, '\x01'));
    const std::string single = dir.Write("single.mem", MemText(0, {"8.00"}));
    // A count beyond any gauge's, and megabytes of lines no reader should choke
    // on.
    const std::string tooMany = dir.Write("many.mem", MemText(255, {"8.00"}, " 99999 "));
    std::string lines = MemText(255, {}, " 4100 ");
    for (int i = 0; i < 400000; ++i)
        lines += "123456789012.34\r\n";
    const std::string huge = dir.Write("huge.mem", lines);
    const std::string locked = dir.Write("locked.mem", "x");
    std::filesystem::permissions(locked, std::filesystem::perms::none);
    const QString good = Q(Sample("pipe_8mm.mem")), pdf = Q(dir.File("r.pdf"));
    const struct {
        QStringList args;
        int status;
    } rows[] = {
        {{"compare", good}, 2},
        {{"compare", good, good, "--shift", "3", "--max-shift", "5"}, 2},
        {{"compare", Q(single), good}, 1},
        {{"compare", Q(locked), good}, 1},
        {{"report", Q(tooMany), "-o", pdf}, 1},
        {{"compare", "#99", good, "--archive", Q(archive)}, 1},
        {{"compare", good, good, "--shift", "4000"}, 1},
        {{"report", good, "-o", pdf, "--date", "2026-02-30"}, 2},
        {{"report", good, "-o", Q(dir.File("no/such/folder/r.pdf"))}, 1},
        {{"report", Q(garbage), "-o", pdf}, 1},
        {{"report", good, "-o", pdf, "--previous", Q(empty)}, 1},
    };
    for (const auto& row : rows) {
        const test::ProcessRun r = Cli(row.args);
        const std::string line = row.args.join(' ').toStdString();
        EXPECT_EQ(r.status, row.status) << line << "\n" << r.err;
        EXPECT_FALSE(r.err.empty()) << line;
        EXPECT_TRUE(r.out.empty()) << line;
    }
    std::filesystem::permissions(locked, std::filesystem::perms::owner_all);
    // Absurd thicknesses read as numbers: figures come out, the report is
    // written.
    EXPECT_EQ(Cli({"compare", Q(huge), good, "--json"}).status, 0);
    EXPECT_EQ(Cli({"report", Q(huge), "-o", Q(dir.File("huge.pdf")), "--previous", good}).status,
              0);
}

}  // namespace
}  // namespace ws
