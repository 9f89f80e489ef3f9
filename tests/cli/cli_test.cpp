// wallscan-cli run as a real process, as scripts run it.

#include <gtest/gtest.h>

#include <QProcess>
#include <QStringList>
#include <memory>

#include "cli/cli.h"
#include "data/record.h"
#include "data/trace_file.h"
#include "support/temp_dir.h"

namespace ws {
namespace {

using test::ReadFile;
using test::TempDir;

struct CliRun {
    int status = -1;
    std::string out, err;
};

CliRun Cli(const QStringList& args,
           const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment()) {
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(WALLSCAN_CLI_PATH), args);
    p.waitForFinished(30000);
    CliRun r;
    r.status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = p.readAllStandardOutput().toStdString();
    r.err = p.readAllStandardError().toStdString();
    return r;
}

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

const std::string kClean =
    "Regime:\r\n255\r\nTotal quantity of points:\r\n 3 \r\nData:\r\n5.00\r\n5.10\r\n5.20\r\n";

TEST(CliDump, GivesBackTheFileLayoutByteForByte) {
    TempDir dir;
    const CliRun r = Cli({"dump", Q(dir.Write("a.mem", kClean))});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, kClean);
}

TEST(CliDump, ShippedSamplesComeBackAsTheProgramWouldSaveThem) {
    for (const char* name : {"pipe_8mm.mem", "single_readings.mem", "relief/line01.mem"}) {
        const std::string path = (test::SourceDir() / "share" / "samples" / name).string();
        const CliRun r = Cli({"dump", Q(path)});
        ASSERT_EQ(r.status, 0) << name << r.err;
        auto base = std::make_unique<Trace>();
        const TraceReadResult loaded = ReadTraceFile(path, *base, false);
        ASSERT_EQ(loaded.status, TraceReadStatus::Ok);
        EXPECT_EQ(r.out, FormatTraceFile(loaded.trace)) << name;
        EXPECT_EQ(r.out.substr(0, 7), "Regime:");
    }
}

TEST(CliDump, FillsGapsAlwaysAndFiltersOnlyOnRequest) {
    TempDir dir;
    const auto f =
        dir.Write("s.mem", "Regime:\r\n255\r\nx\r\n 5 \r\nData:\r\n10\r\n0\r\n10\r\n12\r\n10\r\n");
    const CliRun plain = Cli({"dump", Q(f)});
    EXPECT_NE(plain.out.find("\r\n10.00\r\n10.00\r\n10.00\r\n12.00\r\n"), std::string::npos);
    const CliRun filtered = Cli({"dump", "--filter", Q(f)});
    EXPECT_NE(filtered.out.find("\r\n10.00\r\n10.00\r\n10.00\r\n10.00\r\n"), std::string::npos);
}

TEST(CliDump, UnreadableFilesExitWithOneAndTheMessage) {
    TempDir dir;
    const CliRun missing = Cli({"dump", Q(dir.File("none.mem"))});
    EXPECT_EQ(missing.status, 1);
    EXPECT_TRUE(missing.out.empty());
    const CliRun truncated =
        Cli({"dump", Q(dir.Write("t.mem", "Regime:\r\n255\r\nx\r\n 9 \r\nData:\r\n1\r\n"))});
    EXPECT_EQ(truncated.status, 1);
    EXPECT_NE(truncated.err.find("Ошибка при вводе из файла"), std::string::npos);
    EXPECT_TRUE(truncated.out.empty());
    const CliRun empty = Cli({"dump", Q(dir.Write("e.mem", ""))});
    EXPECT_EQ(empty.status, 1);
    const CliRun folder = Cli({"dump", Q(dir.str())});
    EXPECT_EQ(folder.status, 1);
}

TEST(CliUsage, BadUsageExitsWithTwoAndHelpWithZero) {
    EXPECT_EQ(Cli({}).status, 2);
    EXPECT_EQ(Cli({"frobnicate"}).status, 2);
    EXPECT_EQ(Cli({"dump"}).status, 2);
    EXPECT_EQ(Cli({"dump", "--bogus", "x.mem"}).status, 2);
    EXPECT_EQ(Cli({"dump", "a.mem", "b.mem"}).status, 2);
    const CliRun help = Cli({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("dump"), std::string::npos);
    EXPECT_NE(help.out.find("csv"), std::string::npos);
    for (const auto& c : cli::Commands()) {
        const CliRun h = Cli({c.name, "--help"});
        EXPECT_EQ(h.status, 0) << c.name;
        EXPECT_NE(h.out.find("Usage: wallscan-cli"), std::string::npos) << c.name;
    }
}

TEST(CliCsv, PlainAndDecimalCommaFlavours) {
    TempDir dir;
    const auto f =
        dir.Write("c.mem", "Regime:\r\n255\r\nx\r\n 3 \r\nData:\r\n8.25\r\n0\r\n0.01\r\n");
    const CliRun plain = Cli({"csv", Q(f)});
    EXPECT_EQ(plain.status, 0);
    EXPECT_EQ(
        plain.out,
        "point,coordinate_mm,thickness_mm,contact\r\n0,0,8.25,1\r\n1,2,0.00,0\r\n2,4,0.01,1\r\n");
    const CliRun ru = Cli({"csv", "--locale-ru", Q(f)});
    EXPECT_EQ(ru.out,
              "\xEF\xBB\xBFpoint;coordinate_mm;thickness_mm;contact\r\n0;0;8,25;1\r\n"
              "1;2;0,00;0\r\n2;4;0,01;1\r\n");
    EXPECT_EQ(Cli({"csv", Q(dir.File("nope.mem"))}).status, 1);
}

}  // namespace
}  // namespace ws

namespace ws {
namespace {

TEST(CliProfile, RendersPngAsTheWindowAndPdfAsThePrintout) {
    TempDir dir;
    const std::string sample = (test::SourceDir() / "share" / "samples" / "pipe_8mm.mem").string();
    const CliRun png =
        Cli({"profile", Q(sample), "-o", Q(dir.File("p.png")), "--mark", "1600-1800"});
    ASSERT_EQ(png.status, 0) << png.err;
    EXPECT_EQ(ReadFile(dir.File("p.png")).substr(1, 3), "PNG");
    const CliRun pdf = Cli({"profile", Q(sample), "-o", Q(dir.File("p.pdf")), "--zoom", "4",
                            "--center", "1700", "--range", "min-max"});
    ASSERT_EQ(pdf.status, 0) << pdf.err;
    EXPECT_EQ(ReadFile(dir.File("p.pdf")).substr(0, 5), "%PDF-");
    // A script reads the tool's standard error: the toolkit's own warnings (here the missing
    // runtime folder) do not belong there.
    QProcessEnvironment bare = QProcessEnvironment::systemEnvironment();
    bare.remove(QStringLiteral("XDG_RUNTIME_DIR"));
    const CliRun quiet = Cli({"profile", Q(sample), "-o", Q(dir.File("q.png"))}, bare);
    ASSERT_EQ(quiet.status, 0);
    EXPECT_EQ(quiet.err, "");
}

TEST(CliProfile, RefusesBadArgumentsAndFilesThatAreNoScan) {
    TempDir dir;
    const std::string sample = (test::SourceDir() / "share" / "samples" / "pipe_8mm.mem").string();
    const std::string single =
        (test::SourceDir() / "share" / "samples" / "single_readings.mem").string();
    EXPECT_EQ(Cli({"profile", Q(sample)}).status, 2);                              // no -o
    EXPECT_EQ(Cli({"profile", Q(sample), "-o", Q(dir.File("x.jpg"))}).status, 2);  // format
    EXPECT_EQ(Cli({"profile", Q(sample), "-o", Q(dir.File("x.png")), "--mark", "9-3"}).status, 2);
    EXPECT_EQ(Cli({"profile", Q(sample), "-o", Q(dir.File("x.png")), "--zoom", "0"}).status, 2);
    EXPECT_EQ(Cli({"profile", Q(sample), "-o", Q(dir.File("x.png")), "--range", "a"}).status, 2);
    EXPECT_EQ(Cli({"profile", Q(single), "-o", Q(dir.File("x.png"))}).status, 1);
    EXPECT_EQ(Cli({"profile", Q(sample), "-o", Q(dir.File("no/such/dir/x.pdf"))}).status, 1);
    EXPECT_EQ(Cli({"profile", Q(dir.File("none.mem")), "-o", Q(dir.File("x.png"))}).status, 1);
}

}  // namespace
}  // namespace ws

namespace ws {
namespace {

const std::string kScan5 =
    "Regime:\r\n255\r\nTotal quantity of points:\r\n 5 \r\nData:\r\n"
    "8.00\r\n7.50\r\n6.20\r\n7.00\r\n8.10\r\n";

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
}

TEST(CliTable, TheShippedTemplatesAreFoundBesideTheProgram) {
    const std::string readings =
        (test::SourceDir() / "share" / "samples" / "single_readings.mem").string();
    const CliRun r = Cli({"table", Q(readings), "--date", "01/02/2027"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("01/02/2027"), std::string::npos);
    EXPECT_NE(r.out.find("точечные замеры"), std::string::npos);
    EXPECT_NE(r.out.find("Подпись"), std::string::npos);
    EXPECT_EQ(r.out.find('$'), std::string::npos);
    const std::string scan = (test::SourceDir() / "share" / "samples" / "pipe_8mm.mem").string();
    const CliRun s = Cli({"table", Q(scan), "--page", "99999"});
    ASSERT_EQ(s.status, 0) << s.err;
    EXPECT_NE(s.out.find("сканирование"), std::string::npos);
    EXPECT_NE(s.err.find("последняя"), std::string::npos);
}

TEST(CliTable, RefusesBadArgumentsTemplatesAndEmptySelections) {
    TempDir dir;
    const std::string file = dir.Write("scan.mem", kScan5);
    for (const QStringList& bad : {QStringList{"table"},
                                   {"table", Q(file), "--rows", "abc"},
                                   {"table", Q(file), "--page", "0"},
                                   {"table", Q(file), "--date", "31/02/2026"},
                                   {"table", Q(file), "--date", "2026-12-07"},
                                   {"table", Q(file), "--page", "2", "--all"},
                                   {"table", Q(file), "--threshold", "-"},
                                   {"table", Q(file), "--threshold", "abc"},
                                   {"table", Q(file), "--mark", "6-2"}}) {
        const CliRun r = Cli(bad);
        EXPECT_EQ(r.status, 2) << bad.join(' ').toStdString();
        EXPECT_TRUE(r.out.empty());
    }
    // A negative threshold is taken, as the window takes it: nothing lies below it.
    const CliRun negative = Cli({"table", Q(file), "--threshold", "-1"});
    EXPECT_EQ(negative.status, 0) << negative.err;
    EXPECT_EQ(negative.out.find(" *\r\n"), std::string::npos);
    const CliRun none = Cli({"table", Q(file), "--mark", "100-200"});
    EXPECT_EQ(none.status, 1);
    EXPECT_NE(none.err.find("Нет информации!"), std::string::npos);
    for (const std::string& templ : {dir.File("missing.prn"), dir.Write("empty.prn", ""),
                                     dir.Write("cut.prn", "head\r\n&\r\n")}) {
        const CliRun r = Cli({"table", Q(file), "--template", Q(templ)});
        EXPECT_EQ(r.status, 1) << templ;
        EXPECT_NE(r.err.find("аблон протокола"), std::string::npos) << r.err;
        EXPECT_TRUE(r.out.empty());
    }
    EXPECT_EQ(Cli({"table", Q(dir.Write("bad.mem", "garbage"))}).status, 1);
}

}  // namespace
}  // namespace ws
