// wallscan-cli run as a real process, as scripts run it.

#include <gtest/gtest.h>

#include <QImage>
#include <QStringList>

#include "support/mem_text.h"
#include "support/processes.h"
#include "support/temp_dir.h"

namespace ws {
namespace {

using test::Cli;
using test::MemText;
using test::Q;
using test::ReadFile;
using test::Sample;
using test::TempDir;
using CliRun = test::ProcessRun;

const std::string kClean = MemText(255, {"5.00", "5.10", "5.20"});

// Every way to call the tool wrongly: 2 for a command line it cannot take, 1 for a file or
// folder it cannot use; either way a message on standard error and nothing on standard output.
// Every command loads its trace through one reader: its bad files are played through dump.
TEST(Cli, BadCommandLinesAndBadFilesAreRefused) {
    TempDir dir;
    const QString scan = Q(Sample("pipe_8mm.mem")), single = Q(Sample("single_readings.mem"));
    const QString file =
        Q(dir.Write("scan.mem", MemText(255, {"8.00", "7.50", "6.20", "7.00", "8.10"})));
    const QString png = Q(dir.File("x.png")), missing = Q(dir.File("none.mem"));
    dir.Write("empty/x.txt", "");
    dir.Write("single/s.mem", MemText(0, {"4.00"}));
    const struct {
        QStringList args;
        int status;
    } cases[] = {
        {{}, 2},
        {{"frobnicate"}, 2},
        {{"dump"}, 2},
        {{"dump", "--bogus", "x.mem"}, 2},
        {{"dump", missing}, 1},
        {{"dump", Q(dir.Write("t.mem", MemText(255, {"1"}, " 9 ")))}, 1},
        {{"dump", Q(dir.Write("e.mem", ""))}, 1},
        {{"profile", scan}, 2},  // no -o
        {{"profile", scan, "-o", Q(dir.File("x.jpg"))}, 2},
        {{"profile", single, "-o", png}, 1},
        {{"profile", scan, "-o", Q(dir.File("no/such/dir/x.pdf"))}, 1},
        {{"table", file, "--page", "0"}, 2},
        {{"table", file, "--date", "31/02/2026"}, 2},
        {{"table", file, "--date", "29/02/1900"}, 2},  // 1900 was no leap year
        {{"table", file, "--date", "2026-12-07"}, 2},
        {{"table", file, "--threshold", "abc"}, 2},
        {{"table", file, "--mark", "100-200"}, 1},  // nothing there: "Нет информации!"
        {{"table", file, "--template", Q(dir.File("missing.prn"))}, 1},
        {{"table", file, "--template", Q(dir.Write("empty.prn", ""))}, 1},
        {{"table", file, "--template", Q(dir.Write("cut.prn", "head\r\n&\r\n"))}, 1},
        {{"stats", file, "--tmin"}, 2},
        {{"stats", file, "--tmin", "-1"}, 2},
        {{"stats", file, "--tnom", "1001"}, 2},  // no wall is a metre thick
        {{"stats", file, "--mark", "9-3"}, 2},
        {{"stats", Q(dir.Write("junk.mem", std::string(100000, '\x01')))}, 1},
        {{"map", Q(dir.str()), "-o", Q(dir.File("m.jpg"))}, 2},
        {{"map", Q(dir.File("empty")), "-o", png}, 1},
        {{"map", Q(dir.File("single")), "-o", png}, 1},
    };
    for (const auto& c : cases) {
        const CliRun r = Cli(c.args);
        const std::string line = c.args.join(' ').toStdString();
        EXPECT_EQ(r.status, c.status) << line << "\n" << r.err;
        if (c.args.isEmpty())
            continue;  // no command at all: the usage goes where help goes, to standard output
        EXPECT_FALSE(r.err.empty()) << line;
        EXPECT_TRUE(r.out.empty()) << line << "\n" << r.out;
    }
}

TEST(CliDump, KeepsTheLayoutFillsGapsAlwaysAndFiltersOnlyOnRequest) {
    TempDir dir;
    EXPECT_EQ(Cli({"dump", Q(dir.Write("a.mem", kClean))}).out, kClean);  // byte for byte
    const auto f =
        dir.Write("s.mem", "Regime:\r\n255\r\nx\r\n 5 \r\nData:\r\n10\r\n0\r\n10\r\n12\r\n10\r\n");
    const CliRun plain = Cli({"dump", Q(f)});
    EXPECT_NE(plain.out.find("\r\n10.00\r\n10.00\r\n10.00\r\n12.00\r\n"), std::string::npos);
    const CliRun filtered = Cli({"dump", "--filter", Q(f)});
    EXPECT_NE(filtered.out.find("\r\n10.00\r\n10.00\r\n10.00\r\n10.00\r\n"), std::string::npos);
}

TEST(CliCsv, PlainAndDecimalCommaFlavours) {
    TempDir dir;
    const auto f =
        dir.Write("c.mem", "Regime:\r\n255\r\nx\r\n 3 \r\nData:\r\n8.25\r\n0\r\n0.01\r\n");
    const CliRun plain = Cli({"csv", Q(f)});
    EXPECT_EQ(
        plain.out,
        "point,coordinate_mm,thickness_mm,contact\r\n0,0,8.25,1\r\n1,2,0.00,0\r\n2,4,0.01,1\r\n");
    const CliRun ru = Cli({"csv", "--locale-ru", Q(f)});
    EXPECT_EQ(ru.out,
              "\xEF\xBB\xBFpoint;coordinate_mm;thickness_mm;contact\r\n0;0;8,25;1\r\n"
              "1;2;0,00;0\r\n2;4;0,01;1\r\n");
}

TEST(CliProfile, RendersPngAsTheWindowAndPdfAsThePrintout) {
    TempDir dir;
    const std::string sample = Sample("pipe_8mm.mem");
    // A script reads the tool's standard error: the toolkit's own warnings (here the missing
    // runtime folder) do not belong there.
    QProcessEnvironment bare = QProcessEnvironment::systemEnvironment();
    bare.remove(QStringLiteral("XDG_RUNTIME_DIR"));
    const CliRun png =
        Cli({"profile", Q(sample), "-o", Q(dir.File("p.png")), "--mark", "1600-1800"}, bare);
    ASSERT_EQ(png.status, 0) << png.err;
    EXPECT_EQ(png.err, "");
    EXPECT_EQ(ReadFile(dir.File("p.png")).substr(1, 3), "PNG");
    const CliRun pdf = Cli({"profile", Q(sample), "-o", Q(dir.File("p.pdf")), "--zoom", "4",
                            "--center", "1700", "--range", "min-max"});
    ASSERT_EQ(pdf.status, 0) << pdf.err;
    EXPECT_EQ(ReadFile(dir.File("p.pdf")).substr(0, 5), "%PDF-");
}

const std::string kScan5 = MemText(255, {"8.00", "7.50", "6.20", "7.00", "8.10"});

TEST(CliTable, RendersTheMarkedPointsPageByPage) {
    TempDir dir;
    const std::string file = dir.Write("scan.mem", kScan5);
    const std::string templ =
        dir.Write("t.prn", "Дата $T1234567 длина $L123\r\n&\r\n$N123 $A123456|\r\n--\r\n");
    const CliRun r = Cli({"table", Q(file), "--template", Q(templ), "--rows", "2", "--threshold",
                          "7.5", "--mark", "2-6", "--all", "--date", "07/12/2026"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out,
              "Дата 07/12/2026 длина 12\r\n"
              "    4   7.50  |\r\n"
              "    6   6.20 *|\r\n"
              "--\r\n"
              "\f\r\n"
              "Дата 07/12/2026 длина 12\r\n"
              "    8   7.00 *\r\n"
              "--\r\n");
    const CliRun second = Cli({"table", Q(file), "--template", Q(templ), "--rows", "2", "--page",
                               "2", "--date", "07/12/2026"});
    ASSERT_EQ(second.status, 0) << second.err;
    EXPECT_EQ(second.out,
              "Дата 07/12/2026 длина 12\r\n    6   6.20  |\r\n    8   7.00  |\r\n--\r\n");
    // A negative threshold is taken, as the window takes it: nothing lies below it.
    const CliRun negative = Cli({"table", Q(file), "--threshold", "-1"});
    EXPECT_EQ(negative.status, 0) << negative.err;
    EXPECT_EQ(negative.out.find(" *\r\n"), std::string::npos);
}

// With the templates shipped beside the program, a page beyond the last shows the last.
TEST(CliTable, APageBeyondTheLastShowsTheLastAndSaysSo) {
    const CliRun s = Cli({"table", Q(Sample("pipe_8mm.mem")), "--page", "99999"});
    ASSERT_EQ(s.status, 0) << s.err;
    EXPECT_NE(s.out.find("сканирование"), std::string::npos);
    EXPECT_NE(s.err.find("последняя"), std::string::npos);
}

// 0 2 4 6 8 10 mm: 8.00 5.50 5.40 8.00 5.00 0.00 (a lone zero between readings is filled, so
// the last point stays no contact)
const std::string kScan = MemText(255, {"8.00", "5.50", "5.40", "8.00", "5.00", "0.00"});

TEST(CliStats, OfTheWholeTraceAndOfMarkedRangesAsJsonAndAsText) {
    TempDir dir;
    const std::string f = dir.Write("a.mem", kScan);
    CliRun r = Cli({"stats", Q(f), "--json", "--tmin", "6", "--tnom", "8"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out,
              "{\"points\": 6, \"readings\": 5, \"no_contact\": 1, \"min\": 5.000, "
              "\"min_at_mm\": 8, \"max\": 8.000, \"max_at_mm\": 0, \"mean\": 6.380, "
              "\"sd\": 1.491, \"tmin\": 6.000, \"below_tmin\": 3, \"below_tmin_mm\": 6, "
              "\"below_tmin_percent\": 60.00, \"longest_below_mm\": 4, \"tnom\": 8.000, "
              "\"mean_loss_percent\": 20.25, \"max_loss_percent\": 37.50}\n");
    // Two ranges: 2..4 and 8..10 mm; the run below tmin does not bridge the gap.
    r = Cli({"stats", Q(f), "--json", "--mark", "2-4", "--mark", "8-10", "--tmin", "6"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out,
              "{\"points\": 4, \"readings\": 3, \"no_contact\": 1, \"min\": 5.000, "
              "\"min_at_mm\": 8, \"max\": 5.500, \"max_at_mm\": 2, \"mean\": 5.300, "
              "\"sd\": 0.265, \"tmin\": 6.000, \"below_tmin\": 3, \"below_tmin_mm\": 6, "
              "\"below_tmin_percent\": 100.00, \"longest_below_mm\": 4}\n");
    // A range of one coordinate is one point.
    r = Cli({"stats", Q(f), "--json", "--mark", "4-4"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.rfind("{\"points\": 1, \"readings\": 1, \"no_contact\": 0, \"min\": 5.400,", 0),
              0u)
        << r.out;
    // The readable table in Russian, without tmin lines when no tmin is given.
    r = Cli({"stats", Q(f)});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("Минимум, мм                     5.00\n"), std::string::npos) << r.out;
    EXPECT_EQ(r.out.find("допустим"), std::string::npos);
    // Single readings are readings too; a tmin just under the one-metre limit is a thickness.
    r = Cli({"stats", "--json", "--tmin", "999.5",
             Q(dir.Write("s.mem", MemText(0, {"4.00", "6.00"})))});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("\"below_tmin\": 2"), std::string::npos) << r.out;
}

TEST(CliMap, WritesThePageAndListsFilesLeftOut) {
    TempDir dir;
    const CliRun r = Cli({"map", Q(Sample("")), "-o", Q(dir.File("m.png")), "--tmin", "8.5",
                          "--tnom", "10", "--spacing", "20"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(QImage(Q(dir.File("m.png"))).size(), QSize(1754, 1240));
    EXPECT_NE(r.err.find("single_readings.mem: не трасса сканирования"), std::string::npos)
        << r.err;
}

}  // namespace
}  // namespace ws
