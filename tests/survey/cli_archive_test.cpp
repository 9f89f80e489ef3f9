// wallscan-cli archive run as a real process, as scripts run it.

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <filesystem>

#include "data/trace_file.h"
#include "support/mem_text.h"
#include "support/processes.h"
#include "support/temp_dir.h"

namespace ws {
namespace {

using test::ReadFile;
using test::TempDir;

using test::Cli;
using test::Q;
using CliRun = test::ProcessRun;

QJsonDocument Json(const CliRun& r) {
    return QJsonDocument::fromJson(QByteArray::fromStdString(r.out));
}

// Some fields of a JSON object as "key=value " text, to compare them at once.
std::string Fields(const QJsonValue& v, const QStringList& keys) {
    std::string out;
    for (const QString& k : keys)
        out += (k + "=" + v.toObject()[k].toVariant().toString() + " ").toStdString();
    return out;
}

TEST(CliArchive, BadCommandLinesAreUsageErrorsAndTouchNothing) {
    TempDir dir;
    const QString archive = Q(dir.File("a"));
    const QStringList cases[] = {
        {"archive"},
        {"archive", "nope"},
        {"archive", "show", "abc"},
        {"archive", "list", "--since", "2025-13-01"},
        {"archive", "list", "--bogus"},
        {"archive", "export", "1"},
        {"archive", "object", "X", "--nominal", "-1"},
    };
    for (QStringList args : cases) {
        args << "--archive" << archive;
        const CliRun r = Cli(args);
        EXPECT_EQ(r.status, 2) << args.join(' ').toStdString();
        EXPECT_NE(r.err.find("wallscan-cli archive"), std::string::npos) << r.err;
    }
    EXPECT_FALSE(std::filesystem::exists(dir.File("a/catalog.db")));
}

// Filing, listing and describing are checked in-process; here what the command line adds: its
// exit codes, --since, and describe changing only the fields it is given.
TEST(CliArchive, ImportDescribeListShowAndExport) {
    TempDir dir;
    const QString archive = Q(dir.File("a"));
    // Import takes a folder's files in name order: one.mem is entry 1.
    const std::string one = dir.Write("in/one.mem", test::MemText(255, {"5.00", "5.50"}));
    dir.Write("in/two.mem", test::MemText(255, {"7.00", "0.00", "0.00", "9.00"}));
    dir.Write("in/bad.mem", "garbage");

    CliRun r = Cli({"archive", "import", Q(dir.File("in")), "--archive", archive});
    EXPECT_EQ(r.status, 1);  // one file was not taken
    EXPECT_NE(r.out.find("Добавлено: 2"), std::string::npos) << r.out;
    EXPECT_NE(r.err.find("bad.mem"), std::string::npos) << r.err;

    r = Cli({"archive", "describe", "1", "--object", "Трубопровод Т-3", "--section", "Участок 1",
             "--date", "2024-01-15", "--archive", archive});
    ASSERT_EQ(r.status, 0) << r.err;
    // Only the notes: the rest stays.
    r = Cli({"archive", "describe", "1", "--notes", "у опоры \"А\"", "--archive", archive});
    ASSERT_EQ(r.status, 0) << r.err;
    r = Cli({"archive", "show", "1", "--json", "--archive", archive});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(Fields(Json(r).object(), {"object", "section", "inspected_on", "notes"}),
              "object=Трубопровод Т-3 section=Участок 1 inspected_on=2024-01-15 "
              "notes=у опоры \"А\" ");

    r = Cli({"archive", "list", "--json", "--since", "2024-06-01", "--archive", archive});
    ASSERT_EQ(r.status, 0) << r.err;
    const QJsonArray newer = Json(r).array();
    ASSERT_EQ(newer.size(), 1);
    EXPECT_EQ(Fields(newer[0], {"id", "points", "min_mm", "mean_mm", "source"}),
              "id=2 points=4 min_mm=7 mean_mm=8 source=imported ");

    const std::string out = dir.File("copy.mem");
    ASSERT_EQ(Cli({"archive", "export", "1", "-o", Q(out), "--archive", archive}).status, 0);
    EXPECT_EQ(ReadFile(out), ReadFile(one));
    r = Cli({"archive", "export", "999", "-o", Q(out), "--archive", archive});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("999"), std::string::npos);
}

TEST(CliArchive, AnArchiveThatCannotBeOpenedIsAClearFailure) {
    TempDir dir;
    const std::string notAFolder = dir.Write("file", "x");
    const CliRun r = Cli({"archive", "list", "--archive", Q(notAFolder)});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("Архив замеров недоступен"), std::string::npos) << r.err;
    EXPECT_EQ(ReadFile(notAFolder), "x");
}

TEST(CliArchive, TheDefaultArchiveIsInTheUsersDataFolder) {
    TempDir home;
    const CliRun r = Cli({"archive", "list", "--json"}, test::DataHome(Q(home.str())));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "[]\n");
    EXPECT_TRUE(std::filesystem::exists(home.path() / "WallScan" / "catalog.db"));
}

}  // namespace
}  // namespace ws
