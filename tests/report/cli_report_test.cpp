// wallscan-cli compare and report as scripts run them: the sample pipe and its previous
// inspection filed in an archive, the figures as JSON, and the report read back from the PDF.

#include <gtest/gtest.h>

#include <QProcess>
#include <QStringList>
#include <filesystem>

#include "support/temp_dir.h"

namespace ws {
namespace {

struct CliRun {
    int status = -1;
    std::string out, err;
};

CliRun Exec(const QString& program, const QStringList& args) {
    QProcess p;
    p.start(program, args);
    CliRun r;
    if (!p.waitForStarted(10000) || !p.waitForFinished(60000))
        return r;
    r.status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = p.readAllStandardOutput().toStdString();
    r.err = p.readAllStandardError().toStdString();
    return r;
}

CliRun Cli(const QStringList& args) {
    return Exec(QStringLiteral(WALLSCAN_CLI_PATH), args);
}

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

std::string Sample(const char* name) {
    return (test::SourceDir() / "share" / "samples" / name).string();
}

// The text of one page of a PDF, as pdftotext lays it out.
std::string PageText(const std::string& pdf, int page) {
    return Exec("pdftotext",
                {"-layout", "-f", QString::number(page), "-l", QString::number(page), Q(pdf), "-"})
        .out;
}

int PageCount(const std::string& pdf) {
    const std::string info = Exec("pdfinfo", {Q(pdf)}).out;
    const size_t at = info.find("Pages:");
    return at == std::string::npos ? -1 : std::stoi(info.substr(at + 6));
}

bool Has(const std::string& text, const std::string& what) {
    return text.find(what) != std::string::npos;
}

class CompareAndReport : public ::testing::Test {
  protected:
    void SetUp() override {
        archive = dir.File("archive");
        const QStringList common{"--archive", Q(archive)};
        ASSERT_EQ(Cli(QStringList{"archive", "import", Q(Sample("pipe_8mm_previous.mem"))} + common)
                      .status,
                  0);
        ASSERT_EQ(Cli(QStringList{"archive", "import", Q(Sample("pipe_8mm.mem"))} + common).status,
                  0);
        ASSERT_EQ(
            Cli(QStringList{"archive", "describe", "1", "--object", "Трубопровод Т-3", "--section",
                            "Участок 7", "--inspector", "Сидоров", "--date", "2021-05-12"} +
                common)
                .status,
            0);
        ASSERT_EQ(
            Cli(QStringList{"archive", "describe", "2", "--object", "Трубопровод Т-3", "--section",
                            "Участок 7", "--inspector", "Петров", "--date", "2026-05-12"} +
                common)
                .status,
            0);
        ASSERT_EQ(Cli(QStringList{"archive", "object", "Трубопровод Т-3", "--nominal", "8",
                                  "--min-allowed", "4.5"} +
                      common)
                      .status,
                  0);
    }
    test::TempDir dir;
    std::string archive;
};

TEST_F(CompareAndReport, TheSamplePairGivesItsShiftAndRate) {
    const CliRun files = Cli({"compare", Q(Sample("pipe_8mm_previous.mem")),
                              Q(Sample("pipe_8mm.mem")), "--years", "5", "--json"});
    ASSERT_EQ(files.status, 0) << files.err;
    // Started 37 points earlier; the pit at 2450 mm lost most of its 0.3-0.6 mm.
    EXPECT_TRUE(Has(files.out, "\"shift_points\": -37,")) << files.out;
    EXPECT_TRUE(Has(files.out, "\"max_loss_at_mm\": 2450,")) << files.out;
    EXPECT_TRUE(Has(files.out, "\"years\": 5.00,")) << files.out;
    EXPECT_TRUE(Has(files.out, "\"remaining_life_years\": null}")) << files.out;

    // From the archive the dates give the years and the object the minimum allowed.
    const CliRun entries = Cli({"compare", "#1", "#2", "--json", "--archive", Q(archive)});
    ASSERT_EQ(entries.status, 0) << entries.err;
    EXPECT_TRUE(Has(entries.out, "\"years\": 5.00,")) << entries.out;
    EXPECT_FALSE(Has(entries.out, "\"remaining_life_years\": null")) << entries.out;
    const CliRun byHand =
        Cli({"compare", "#1", "#2", "--shift", "-36", "--json", "--archive", Q(archive)});
    EXPECT_TRUE(Has(byHand.out, "\"shift_points\": -36,")) << byHand.out;
    const CliRun text = Cli({"compare", "#1", "#2", "--archive", Q(archive)});
    EXPECT_TRUE(Has(text.out, "Остаточный ресурс, лет")) << text.out;
}

TEST_F(CompareAndReport, ReportReadsBackPageByPage) {
    const std::string pdf = dir.File("report.pdf");
    const CliRun r = Cli({"report", "#2", "-o", Q(pdf), "--mark", "1600-1800", "--date",
                          "2026-12-07", "--archive", Q(archive)});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(Has(r.err, "предыдущий замер: запись № 1")) << r.err;
    const int pages = PageCount(pdf);
    // Title, profile, statistics, comparison and the 101 marked points at 36 rows a page.
    ASSERT_EQ(pages, 7);
    for (int p = 1; p <= pages; ++p) {
        const std::string t = PageText(pdf, p);
        EXPECT_TRUE(Has(t, "Лист " + std::to_string(p) + " из 7")) << p << t;
        EXPECT_TRUE(Has(t, "Объект: Трубопровод Т-3, участок Участок 7")) << p << t;
        EXPECT_TRUE(Has(t, "Замер от 12.05.2026")) << p << t;
    }
    const std::string title = PageText(pdf, 1);
    for (const char* want :
         {"Отчёт о контроле толщины стенки", "Петров", "12.05.2026", "07.12.2026", "8.00", "4.50",
          "1600–1800 мм", "замер № 1 от 12.05.2021", "Протокол измерений"})
        EXPECT_TRUE(Has(title, want)) << want << "\n" << title;
    EXPECT_TRUE(Has(PageText(pdf, 2), "Дата: 07.12.2026"));
    EXPECT_TRUE(Has(PageText(pdf, 2), "выдел.части, мм"));
    const std::string stats = PageText(pdf, 3);
    EXPECT_TRUE(Has(stats, "Статистика толщины стенки"));
    EXPECT_TRUE(Has(stats, "Выделенная часть"));
    EXPECT_TRUE(Has(stats, "Толщина, мм"));  // the histogram's axis
    const std::string compare = PageText(pdf, 4);
    EXPECT_TRUE(Has(compare, "Сравнение с предыдущим замером"));
    EXPECT_TRUE(Has(compare, "-37"));
    EXPECT_TRUE(Has(compare, "Остаточный ресурс, лет"));
    const std::string table = PageText(pdf, 5);
    EXPECT_TRUE(Has(table, "ПРОТОКОЛ"));
    EXPECT_TRUE(Has(table, "1602"));
    EXPECT_TRUE(Has(PageText(pdf, 7), "1802"));

    // Without the previous inspection the comparison sheet goes.
    const std::string alone = dir.File("alone.pdf");
    ASSERT_EQ(
        Cli({"report", Q(Sample("pipe_8mm.mem")), "-o", Q(alone), "--mark", "1600-1800"}).status,
        0);
    EXPECT_EQ(PageCount(alone), 6);
    EXPECT_TRUE(Has(PageText(alone, 1), "не сравнивался"));
}

TEST_F(CompareAndReport, BadInputIsRefusedWithAReason) {
    const std::string empty = dir.Write("empty.mem", "");
    const std::string cut = dir.Write("cut.mem",
                                      "Regime:\r\n255\r\nTotal quantity of points:\r\n"
                                      " 10 \r\nData:\r\n8.00\r\n");
    const std::string garbage = dir.Write("garbage.mem", std::string(5000, '\x01'));
    const std::string single =
        dir.Write("single.mem",
                  "Regime:\r\n0\r\nTotal quantity of points:\r\n 1 \r\nData:\r\n"
                  "8.00\r\n");
    // A count beyond any gauge's, and megabytes of lines no reader should choke on.
    const std::string tooMany = dir.Write(
        "many.mem", "Regime:\r\n255\r\nTotal quantity of points:\r\n 99999 \r\nData:\r\n8.00\r\n");
    std::string lines = "Regime:\r\n255\r\nTotal quantity of points:\r\n 4100 \r\nData:\r\n";
    for (int i = 0; i < 400000; ++i)
        lines += "123456789012.34\r\n";
    const std::string huge = dir.Write("huge.mem", lines);
    const std::string locked = dir.Write("locked.mem", "x");
    std::filesystem::permissions(locked, std::filesystem::perms::none);
    const std::string good = Sample("pipe_8mm.mem");
    const struct {
        QStringList args;
        int status;
    } rows[] = {
        {{"compare", Q(good)}, 2},
        {{"compare", Q(good), Q(good), "--shift", "3", "--max-shift", "5"}, 2},
        {{"compare", Q(good), Q(good), "--years", "abc"}, 2},
        {{"compare", Q(good), Q(good), "--tmin", "-1"}, 2},
        {{"compare", Q(good), Q(good), "--bogus"}, 2},
        {{"compare", Q(dir.File("missing.mem")), Q(good)}, 1},
        {{"compare", Q(empty), Q(good)}, 1},
        {{"compare", Q(cut), Q(good)}, 1},
        {{"compare", Q(garbage), Q(good)}, 1},
        {{"compare", Q(single), Q(good)}, 1},
        {{"compare", Q(locked), Q(good)}, 1},
        {{"compare", Q(tooMany), Q(good)}, 1},
        {{"report", Q(tooMany), "-o", Q(dir.File("r.pdf"))}, 1},
        {{"compare", "#99", Q(good), "--archive", Q(archive)}, 1},
        {{"compare", Q(good), Q(good), "--shift", "4000"}, 1},
        {{"report", Q(good)}, 2},
        {{"report", Q(good), "-o", Q(dir.File("r.png"))}, 2},
        {{"report", Q(good), "-o", Q(dir.File("r.pdf")), "--date", "2026-02-30"}, 2},
        {{"report", Q(good), "-o", Q(dir.File("no/such/folder/r.pdf"))}, 1},
        {{"report", Q(garbage), "-o", Q(dir.File("r.pdf"))}, 1},
        {{"report", Q(good), "-o", Q(dir.File("r.pdf")), "--previous", Q(empty)}, 1},
    };
    for (const auto& row : rows) {
        const CliRun r = Cli(row.args);
        EXPECT_EQ(r.status, row.status) << row.args.join(' ').toStdString() << "\n" << r.err;
        EXPECT_FALSE(r.err.empty()) << row.args.join(' ').toStdString();
        EXPECT_TRUE(r.out.empty()) << row.args.join(' ').toStdString();
    }
    std::filesystem::permissions(locked, std::filesystem::perms::owner_all);
    // Absurd thicknesses read as numbers: figures come out, the report is written.
    EXPECT_EQ(Cli({"compare", Q(huge), Q(good), "--json"}).status, 0);
    EXPECT_EQ(Cli({"report", Q(huge), "-o", Q(dir.File("huge.pdf")), "--previous", Q(good)}).status,
              0);
}

}  // namespace
}  // namespace ws
