// wallscan-cli stats and map run as real processes.

#include <gtest/gtest.h>

#include <QImage>
#include <QProcess>
#include <QStringList>

#include "support/temp_dir.h"

namespace ws {
namespace {

using test::TempDir;

struct CliResult {
    int status = -1;
    std::string out, err;
};

CliResult Cli(const QStringList& args) {
    QProcess p;
    p.start(QStringLiteral(WALLSCAN_CLI_PATH), args);
    p.waitForFinished(60000);
    CliResult r;
    r.status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = p.readAllStandardOutput().toStdString();
    r.err = p.readAllStandardError().toStdString();
    return r;
}

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

std::string Mem(const std::string& regime, const std::string& count,
                const std::vector<std::string>& lines) {
    std::string s =
        "Regime:\r\n" + regime + "\r\nTotal quantity of points:\r\n " + count + " \r\nData:\r\n";
    for (const auto& l : lines)
        s += l + "\r\n";
    return s;
}

// 0 2 4 6 8 10 mm: 8.00 5.50 5.40 8.00 5.00 0.00 (a lone zero between readings is filled, so
// the last point stays no contact)
const std::string kScan = Mem("255", "6", {"8.00", "5.50", "5.40", "8.00", "5.00", "0.00"});

TEST(CliStats, JsonOfTheWholeTraceAndOfMarkedRanges) {
    TempDir dir;
    const std::string f = dir.Write("a.mem", kScan);
    CliResult r = Cli({"stats", Q(f), "--json", "--tmin", "6", "--tnom", "8"});
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
}

TEST(CliStats, ReadableTableInRussian) {
    TempDir dir;
    const CliResult r = Cli({"stats", Q(dir.Write("a.mem", kScan))});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("Минимум, мм                     5.00\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("Нет контакта                    1\n"), std::string::npos) << r.out;
    EXPECT_EQ(r.out.find("допустим"), std::string::npos);  // no tmin given, no tmin lines
}

TEST(CliStats, BadInputAndBadUsage) {
    TempDir dir;
    struct Case {
        QStringList args;
        int status;
    } cases[] = {
        {{"stats"}, 2},
        {{"stats", Q(dir.Write("a.mem", kScan)), "--tmin"}, 2},
        {{"stats", Q(dir.File("a.mem")), "--tmin", "-1"}, 2},
        {{"stats", Q(dir.File("a.mem")), "--tnom", "abc"}, 2},
        {{"stats", Q(dir.File("a.mem")), "--mark", "9-3"}, 2},
        {{"stats", Q(dir.File("a.mem")), "--bogus"}, 2},
        {{"stats", Q(dir.File("missing.mem"))}, 1},
        {{"stats", Q(dir.Write("empty.mem", ""))}, 1},
        {{"stats", Q(dir.Write("short.mem", Mem("255", "9", {"1.00"})))}, 1},
        {{"stats", Q(dir.Write("junk.mem", std::string(100000, '\x01')))}, 1},
        {{"stats", Q(dir.str())}, 1},
    };
    for (const auto& c : cases) {
        const CliResult r = Cli(c.args);
        EXPECT_EQ(r.status, c.status) << c.args.join(' ').toStdString() << "\n" << r.err;
        EXPECT_FALSE(r.err.empty()) << c.args.join(' ').toStdString();
        EXPECT_TRUE(r.out.empty()) << r.out;
    }
    // Single readings are readings too: their statistics come out.
    const CliResult single =
        Cli({"stats", "--json", Q(dir.Write("s.mem", Mem("0", "2", {"4.00", "6.00"})))});
    EXPECT_EQ(single.status, 0);
    EXPECT_NE(single.out.find("\"mean\": 5.000"), std::string::npos) << single.out;
}

TEST(CliMap, WritesPngAndPdfPagesAndListsFilesLeftOut) {
    TempDir dir;
    const std::string folder = (test::SourceDir() / "share" / "samples").string();
    CliResult r = Cli({"map", Q(folder + "/relief"), "-o", Q(dir.File("m.png")), "--tmin", "8.5",
                       "--tnom", "10", "--spacing", "20"});
    ASSERT_EQ(r.status, 0) << r.err;
    const QImage png(Q(dir.File("m.png")));
    EXPECT_EQ(png.width(), 1754);
    EXPECT_EQ(png.height(), 1240);
    r = Cli({"map", Q(folder), "-o", Q(dir.File("m.pdf"))});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(test::ReadFile(dir.File("m.pdf")).rfind("%PDF", 0), 0u);
    EXPECT_NE(r.err.find("single_readings.mem: не трасса сканирования"), std::string::npos)
        << r.err;
}

TEST(CliMap, RefusesBadUsageAndFoldersWithoutScans) {
    TempDir dir;
    dir.Write("empty/x.txt", "");
    dir.Write("single/s.mem", Mem("0", "1", {"4.00"}));
    struct Case {
        QStringList args;
        int status;
    } cases[] = {
        {{"map"}, 2},
        {{"map", Q(dir.str())}, 2},
        {{"map", Q(dir.str()), "-o", Q(dir.File("m.jpg"))}, 2},
        {{"map", Q(dir.str()), "-o", Q(dir.File("m.png")), "--spacing", "0"}, 2},
        {{"map", Q(dir.File("empty")), "-o", Q(dir.File("m.png"))}, 1},
        {{"map", Q(dir.File("single")), "-o", Q(dir.File("m.png"))}, 1},
        {{"map", Q((test::SourceDir() / "share" / "samples" / "relief").string()), "-o",
          Q(dir.File("no/such/dir/m.png"))},
         1},
    };
    for (const auto& c : cases) {
        const CliResult r = Cli(c.args);
        EXPECT_EQ(r.status, c.status) << c.args.join(' ').toStdString() << "\n" << r.err;
        EXPECT_FALSE(r.err.empty()) << c.args.join(' ').toStdString();
    }
}

}  // namespace
}  // namespace ws
