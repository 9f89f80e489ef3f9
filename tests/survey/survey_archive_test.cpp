// The survey archive on temporary folders: schema and migration, filing, dedupe, import,
// description, the filter, and the archive under faults (damaged or locked catalog, two
// writers, a kill between the files and the commit).

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <set>

#include "data/trace_file.h"
#include "support/child_process.h"
#include "support/mem_text.h"
#include "support/temp_dir.h"
#include "survey/sqlite_db.h"
#include "survey/survey_archive.h"
#include "survey/survey_text.h"

#ifndef _WIN32
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#endif

namespace ws {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;
using test::TraceOf;
using test::TempDir;

constexpr int64_t kDec7 = 1765081980;  // 2025-12-07 04:33:00 UTC

std::vector<uint8_t> RawOf(const std::string& s) {
    return {s.begin(), s.end()};
}

DownloadFacts Facts() {
    return {"COM1", "/dev/pts/7", 57600, 8, 6, 1};
}

struct Opened {
    TempDir dir;
    SurveyArchive archive;
    Opened() { EXPECT_TRUE(archive.Open(dir.str()).Ok) << archive.LastError(); }
    int64_t Download(const std::vector<float>& values, int64_t when = kDec7,
                     const std::string& raw = "\x08\x00\xff") {
        const Trace t = TraceOf(values);
        const FileResult r = archive.FileDownload(t, RawOf(raw), Facts(), when);
        EXPECT_TRUE(r.Ok()) << r.Error;
        return r.Id;
    }
};

std::vector<int64_t> Ids(const std::vector<ArchiveEntry>& entries) {
    std::vector<int64_t> ids;
    for (const auto& e : entries)
        ids.push_back(e.Id);
    return ids;
}

// A closed archive in `dir` holding one download, as the program's last run left it.
void FileOneDownload(const TempDir& dir) {
    SurveyArchive first;
    ASSERT_TRUE(first.Open(dir.str()).Ok);
    ASSERT_NE(first.FileDownload(TraceOf({3.0f}), RawOf("raw"), Facts(), kDec7).Id, 0);
}

int64_t SchemaVersion(const std::string& catalog) {
    sql::Database db;
    EXPECT_TRUE(db.Open(catalog, false, 1000));
    return db.QueryInt("PRAGMA user_version").value_or(-1);
}

TEST(SurveyArchive, ADownloadIsFiledWithItsFilesAndNumbers) {
    Opened o;
    // A reading of 0.01 mm is stored as the float just below 0.01: it is a wall in the
    // catalog's numbers as it is in every viewer's statistics; points without contact count
    // in none of the three.
    const Trace t = TraceOf({0.01f, 0.0f, 0.0f, 7.0f});
    const std::vector<uint8_t> raw = {0x08, 0x00, 0xFF, 0xF4, 0x01, 0x00, 0x00, 0x00, 0x00};
    const FileResult r = o.archive.FileDownload(t, raw, Facts(), kDec7);
    ASSERT_TRUE(r.Ok()) << r.Error;
    const auto e = o.archive.Get(r.Id);
    ASSERT_TRUE(e);
    EXPECT_EQ(ReadFile(e->TraceFile), FormatTraceFile(t));
    EXPECT_EQ(RawOf(ReadFile(e->RawFile)), raw);
    EXPECT_EQ(fs::path(e->TraceFile).filename().string(),
              "20251207-043300-" + std::to_string(r.Id) + ".mem");
    EXPECT_EQ(std::tie(e->Port, e->Device, e->Baud, e->ExpectedBytes, e->ReceivedBytes,
                       e->LineErrors, e->Regime, e->PointCount),
              std::make_tuple("COM1", "/dev/pts/7", 57600, 8, 6, 1, 255, 4));
    EXPECT_NEAR(e->MinMm.value_or(0), 0.01, 1e-6);
    EXPECT_NEAR(e->MeanMm.value_or(0), 3.505, 1e-6);
    EXPECT_EQ(e->MaxMm, 7.0);
    EXPECT_FALSE(ComputeStats(TraceOf({0.0f, 0.0f})).MeanMm);  // no reading, no numbers
    // The same trace again in the same second: a second entry with files of its own.
    const auto e2 = o.archive.Get(o.archive.FileDownload(t, raw, Facts(), kDec7).Id);
    ASSERT_TRUE(e2);
    EXPECT_NE(e->TraceFile, e2->TraceFile);
    // An export or a trace that cannot be had is a clear failure, and the check sees the gap.
    EXPECT_FALSE(o.archive.Export(r.Id, o.dir.File("no/such/folder/x.mem")));
    fs::remove(e->TraceFile);
    EXPECT_FALSE(o.archive.TraceBytes(r.Id));
    EXPECT_NE(o.archive.LastError().find("не читается"), std::string::npos);
    EXPECT_EQ(o.archive.Check().Missing, std::vector<int64_t>{r.Id});
}

TEST(SurveyArchive, ASavedTraceIsKeptOnceAndGainsItsPath) {
    Opened o;
    const Trace t = TraceOf({6.0f, 6.1f});
    const int64_t downloaded = o.Download({6.0f, 6.1f});
    // Saving the downloaded trace as it is: the same bytes, no copy.
    const FileResult same =
        o.archive.FileSaved(FormatTraceFile(t), "/home/u/line1.mem", kDec7 + 60);
    EXPECT_EQ(same.Id, downloaded);
    EXPECT_FALSE(same.Added);
    EXPECT_EQ(o.archive.Get(downloaded)->Paths, std::vector<std::string>{"/home/u/line1.mem"});
    // Saving again what the user had deleted brings it back.
    ASSERT_TRUE(o.archive.SetDeleted({downloaded}, true));
    EXPECT_EQ(o.archive.FileSaved(FormatTraceFile(t), "/media/usb/l1.mem", kDec7 + 120).Id,
              downloaded);
    EXPECT_FALSE(o.archive.Get(downloaded)->Deleted);
    EXPECT_EQ(o.archive.Get(downloaded)->Paths.size(), 2u);
    EXPECT_EQ(o.archive.List().size(), 1u);
    // Saved bytes that are no trace are refused.
    const FileResult r = o.archive.FileSaved("Regime:\r\n255\r\n", "/x.mem", kDec7);
    EXPECT_NE(r.Error.find("не файл замера"), std::string::npos);
}

TEST(SurveyArchive, ImportTakesGoodFilesWithTheirDatesAndNamesEveryBadOne) {
    Opened o;
    TempDir src;
    const std::string good1 = src.Write("a.mem", FormatTraceFile(TraceOf({5.0f, 5.5f})));
    src.Write("B.MEM", FormatTraceFile(TraceOf({4.0f}, 0)));
    src.Write("empty.mem", "");
    src.Write("cut.mem", "Regime:\r\n255\r\nTotal quantity of points:\r\n 5 \r\nData:\r\n1.00\r\n");
    src.Write("garbage.mem", std::string("\x00\xff\x13garbage", 10));
    src.Write("huge.mem", std::string(3 << 20, '7'));
    // The file's own date, not the import's, dates the entry.
    const auto when = fs::file_time_type::clock::now() - std::chrono::hours(24 * 400);
    fs::last_write_time(good1, when);

    const ImportReport r = o.archive.Import({src.str(), src.File("missing.mem")});
    EXPECT_EQ(r.Added, 2);
    ASSERT_EQ(r.Problems.size(), 5u);  // empty, cut, garbage, huge, missing
    std::string problems;
    for (const auto& p : r.Problems)
        problems += p + "\n";
    for (const char* name : {"empty.mem", "cut.mem", "garbage.mem", "huge.mem", "missing.mem"})
        EXPECT_NE(problems.find(name), std::string::npos) << name;
    const auto entries = o.archive.List();
    ASSERT_EQ(entries.size(), 2u);
    const ArchiveEntry& older = entries.back();  // newest first
    EXPECT_NEAR(static_cast<double>(older.FiledUtc),
                static_cast<double>(std::time(nullptr) - 400 * 86400), 5.0);
    EXPECT_EQ(o.archive.Get(older.Id)->Paths, std::vector<std::string>{good1});
}

TEST(SurveyArchive, DescriptionsAndTheListsFilters) {
    Opened o;
    const int64_t a = o.Download({5.0f}, kDec7 - 3 * 86400);
    const int64_t b = o.Download({6.0f}, kDec7 - 2 * 86400);
    const int64_t c = o.Download({7.0f}, kDec7 - 86400);
    const int64_t d = o.Download({8.0f}, kDec7);
    ASSERT_TRUE(
        o.archive.Describe(a, {"Трубопровод Т-3", "Участок 1", "Петров", "2025-12-04", ""}));
    // The object is found in any case and with stray spaces.
    ASSERT_TRUE(o.archive.Describe(
        b, {"  трубопровод т-3 ", "Участок 2", "Иванов", "2025-12-05", "коррозия"}));
    ASSERT_TRUE(o.archive.Describe(c, {"Резервуар 5", "Стенка", "Петров", "2025-12-06", ""}));
    ASSERT_TRUE(o.archive.SetDeleted({d}, true));
    EXPECT_EQ(o.archive.ObjectOfEntry(b)->Name, "Трубопровод Т-3");
    EXPECT_EQ(o.archive.Objects().size(), 2u);

    const struct {
        ListQuery query;
        std::vector<int64_t> ids;
    } cases[] = {
        {{}, {c, b, a}},
        {{false, "трубопровод т-3"}, {b, a}},
        {{false, "", "2025-12-05"}, {c, b}},
        {{false, "", "", "петров"}, {c, a}},
        {{false, "", "", "КОРРОЗ т-3"}, {b}},
        {{false, "Трубопровод Т-3", "2025-12-05", "иванов"}, {b}},
        {{true}, {d}},
    };
    for (const auto& k : cases)
        EXPECT_EQ(Ids(o.archive.List(k.query)), k.ids)
            << k.query.Object << "|" << k.query.SinceDate << "|" << k.query.Text;

    EXPECT_EQ(o.archive.PreviousEntry(c)->Id, b);
    EXPECT_FALSE(o.archive.PreviousEntry(a));

    // An empty object detaches the trace; a bad date or a missing entry changes nothing.
    ASSERT_TRUE(o.archive.Describe(b, {"", "", "", "2025-12-07", ""}));
    EXPECT_FALSE(o.archive.ObjectOfEntry(b));
    EXPECT_FALSE(o.archive.Describe(a, {"X", "", "", "07.12.2025", ""}));
    EXPECT_NE(o.archive.LastError().find("ГГГГ-ММ-ДД"), std::string::npos);
    EXPECT_FALSE(o.archive.Describe(999, {"X", "", "", "2025-12-07", ""}));
    EXPECT_EQ(o.archive.Get(a)->Object, "Трубопровод Т-3");
}

// The catalog as the first version of the program wrote it.
const char* const kVersion1Schema =
    "CREATE TABLE objects (id INTEGER PRIMARY KEY, name TEXT NOT NULL, name_key TEXT NOT NULL"
    " UNIQUE, nominal_mm REAL, min_allowed_mm REAL, notes TEXT NOT NULL DEFAULT '');"
    "CREATE TABLE entries (id INTEGER PRIMARY KEY, filed_utc INTEGER NOT NULL, source TEXT NOT"
    " NULL CHECK (source IN ('gauge', 'saved', 'imported')), trace_file TEXT NOT NULL, raw_file"
    " TEXT NOT NULL DEFAULT '', content_key TEXT NOT NULL, content_size INTEGER NOT NULL, port"
    " TEXT NOT NULL DEFAULT '', device TEXT NOT NULL DEFAULT '', baud INTEGER NOT NULL DEFAULT"
    " 0, expected_bytes INTEGER NOT NULL DEFAULT 0, received_bytes INTEGER NOT NULL DEFAULT 0,"
    " line_errors INTEGER NOT NULL DEFAULT 0, regime INTEGER NOT NULL, point_count INTEGER NOT"
    " NULL, min_mm REAL, mean_mm REAL, max_mm REAL, object_id INTEGER REFERENCES objects(id),"
    " section TEXT NOT NULL DEFAULT '', inspector TEXT NOT NULL DEFAULT '', inspected_on TEXT"
    " NOT NULL, notes TEXT NOT NULL DEFAULT '', deleted INTEGER NOT NULL DEFAULT 0);"
    "CREATE INDEX entries_by_content ON entries(content_key);"
    "CREATE INDEX entries_by_time ON entries(filed_utc);"
    "PRAGMA user_version=1;";

TEST(SurveyArchive, AVersionOneCatalogIsMigratedWithACopySetAside) {
    TempDir dir;
    const std::string mem = FormatTraceFile(TraceOf({4.5f, 4.75f}));
    dir.Write("traces/2025/old.mem", mem);
    {
        sql::Database db;
        ASSERT_TRUE(db.Open(dir.File("catalog.db"), true, 1000));
        ASSERT_TRUE(db.Exec(kVersion1Schema)) << db.Error();
        sql::Statement st(db,
                          "INSERT INTO entries (filed_utc, source, trace_file, content_key,"
                          " content_size, regime, point_count, inspected_on)"
                          " VALUES (?1, 'gauge', 'traces/2025/old.mem', ?2, ?3, 255, 2,"
                          " '2025-01-02')");
        st.Bind(1, int64_t{1735800000}).Bind(2, ContentKey(mem)).Bind(3, int64_t(mem.size()));
        ASSERT_TRUE(st.Run()) << db.Error();
    }
    SurveyArchive archive;
    ASSERT_TRUE(archive.Open(dir.str()).Ok) << archive.LastError();
    EXPECT_EQ(SchemaVersion(archive.CatalogPath()), kArchiveSchemaVersion);
    const auto entries = archive.List();
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].InspectedOn, "2025-01-02");
    // What version 2 added works on the old row: a save of the same bytes records its path.
    EXPECT_EQ(archive.FileSaved(mem, "/u/a.mem", kDec7).Id, entries[0].Id);
    EXPECT_EQ(archive.Get(entries[0].Id)->Paths.size(), 1u);
    std::vector<std::string> copies;
    for (const auto& f : fs::directory_iterator(dir.path()))
        if (f.path().filename().string().rfind("catalog.db.before-v2-", 0) == 0)
            copies.push_back(f.path().string());
    ASSERT_EQ(copies.size(), 1u);
    EXPECT_EQ(SchemaVersion(copies[0]), 1);
}

TEST(SurveyArchive, ACatalogOfANewerVersionIsLeftAlone) {
    TempDir dir;
    {
        sql::Database db;
        ASSERT_TRUE(db.Open(dir.File("catalog.db"), true, 1000));
        ASSERT_TRUE(db.Exec("CREATE TABLE future (x); PRAGMA user_version=99;"));
    }
    const std::string before = ReadFile(dir.File("catalog.db"));
    SurveyArchive archive;
    const auto r = archive.Open(dir.str());
    EXPECT_FALSE(r.Ok);
    EXPECT_NE(r.Message.find("более новой версией"), std::string::npos);
    EXPECT_TRUE(ReadFile(dir.File("catalog.db")) == before);
}

TEST(SurveyArchive, ADamagedCatalogIsSetAsideAndTheTracesComeBackByImport) {
    const struct {
        const char* name;
        std::string bytes;  // empty: a real catalog cut short
    } cases[] = {
        {"garbage", std::string(5000, '\x5a')},
        {"truncated", ""},
        {"foreign", "foreign"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        ASSERT_NO_FATAL_FAILURE(FileOneDownload(dir));
        std::string damaged;
        if (c.bytes.empty()) {
            damaged = ReadFile(dir.File("catalog.db")).substr(0, 1500);
        } else if (c.bytes == "foreign") {
            fs::remove(dir.File("catalog.db"));
            sql::Database db;
            ASSERT_TRUE(db.Open(dir.File("catalog.db"), true, 1000));
            ASSERT_TRUE(db.Exec("CREATE TABLE photos (id INTEGER PRIMARY KEY, data BLOB)"));
            db.Close();
            damaged = ReadFile(dir.File("catalog.db"));
        } else {
            damaged = c.bytes;
        }
        fs::remove(dir.File("catalog.db-wal"));
        fs::remove(dir.File("catalog.db-shm"));
        dir.Write("catalog.db", damaged);

        SurveyArchive archive;
        const auto r = archive.Open(dir.str());
        ASSERT_TRUE(r.Ok) << r.Message;
        EXPECT_NE(r.Message.find("повреждён"), std::string::npos);
        ASSERT_FALSE(r.SetAside.empty());
        EXPECT_TRUE(ReadFile(r.SetAside) == damaged);  // set aside byte for byte
        EXPECT_TRUE(archive.List().empty());
        EXPECT_EQ(archive.Check().Orphans.size(), 2u);  // the .mem and the .raw

        EXPECT_EQ(archive.Import({dir.File("traces")}).Added, 1);
        ASSERT_EQ(archive.List().size(), 1u);
        EXPECT_EQ(ReadFile(archive.List()[0].RawFile), "raw");
    }
}

#ifndef _WIN32

using test::InChild;
using test::Unprivileged;

TEST(SurveyArchive, ALockedOrUnreadableCatalogTurnsTheArchiveOffAndKeepsTheFile) {
    using P = fs::perms;
    const struct {
        const char* name;
        P file, folder;
    } cases[] = {
        {"read-only catalog", P::owner_read | P::group_read | P::others_read, P::all},
        {"read-only catalog and folder", P::owner_read | P::others_read,
         P::owner_read | P::owner_exec | P::others_read | P::others_exec},
        // Unreadable is no proof of damage: the file must not be set aside.
        {"unreadable catalog", P::none, P::all},
    };
    for (const auto& c : cases) {
        TempDir dir;
        ASSERT_NO_FATAL_FAILURE(FileOneDownload(dir));
        const std::string before = ReadFile(dir.File("catalog.db"));
        fs::permissions(dir.File("catalog.db"), c.file);
        fs::permissions(dir.path(), c.folder);  // the unprivileged child may enter
        const int code = Unprivileged([&] {
            SurveyArchive archive;
            const auto r = archive.Open(dir.str());
            const bool told = !r.Ok && r.Message.find("Архив замеров недоступен") == 0 &&
                              r.Message.find("без архива") != std::string::npos;
            const bool refused = !archive.FileDownload(TraceOf({1.0f}), {}, {}, kDec7).Ok();
            _exit(told && refused ? 0 : 1);
        });
        EXPECT_EQ(code, 0) << c.name;
        fs::permissions(dir.path(), P::owner_all);
        fs::permissions(dir.File("catalog.db"), P::owner_read | P::owner_write);
        EXPECT_TRUE(ReadFile(dir.File("catalog.db")) == before) << c.name;
        for (const auto& f : fs::directory_iterator(dir.path()))
            EXPECT_EQ(f.path().filename().string().find("damaged"), std::string::npos) << c.name;
    }
}

// A filing broken off in another process: killed between the files and the commit, or out of
// disk. Either way no entry; the kill leaves its two files for the check to find, the full disk
// no half-written file.
TEST(SurveyArchive, AFilingBrokenOffLeavesNoEntry) {
    const struct {
        const char* name;
        void (*fault)();
        int code;
        size_t orphans;
    } cases[] = {
        {"kill before the commit", [] { SurveyArchive::BeforeCommit = [] { raise(SIGKILL); }; },
         128 + SIGKILL, 2},
        // A file-size limit plays a disk with 200 bytes left: the trace does not fit.
        {"full disk",
         [] {
             signal(SIGXFSZ, SIG_IGN);
             rlimit limit{200, 200};
             setrlimit(RLIMIT_FSIZE, &limit);
         },
         0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Opened o;
        const int64_t before = o.Download({2.0f, 2.5f});
        const int code = InChild([&] {
            c.fault();
            SurveyArchive child;
            if (!child.Open(o.dir.str()).Ok)
                _exit(1);
            auto big = std::make_unique<Trace>();
            big->Regime = 255;
            big->PointCount = 4100;
            const FileResult r = child.FileDownload(*big, RawOf("raw"), Facts(), kDec7 + 10);
            _exit(!r.Ok() && r.Error.find("не записан") != std::string::npos ? 0 : 2);
        });
        EXPECT_EQ(code, c.code);
        SurveyArchive after;
        ASSERT_TRUE(after.Open(o.dir.str()).Ok);
        EXPECT_EQ(Ids(after.List()), std::vector<int64_t>{before});
        const CheckReport check = after.Check();
        EXPECT_EQ(check.Orphans.size(), c.orphans);
        EXPECT_TRUE(check.Missing.empty());
        // The next entry takes the same id and second but never the orphans' names.
        const int64_t next =
            after.FileDownload(TraceOf({1.0f}), RawOf("next"), Facts(), kDec7 + 10).Id;
        ASSERT_NE(next, 0);
        for (const auto& orphan : check.Orphans)
            EXPECT_NE(orphan, after.Get(next)->TraceFile);
    }
}

TEST(SurveyArchive, TwoProcessesFilingAtOnceLoseNothing) {
    // The window and wallscan-cli are separate processes: their locks meet in the file
    // system, not inside one SQLite library as two connections of one process do.
    TempDir dir;
    ASSERT_TRUE(SurveyArchive().Open(dir.str()).Ok);  // the catalog made before either starts
    constexpr int kEach = 30;
    auto file = [&](float base) {
        SurveyArchive a;
        if (!a.Open(dir.str()).Ok)
            return 0;
        int filed = 0;
        for (int i = 0; i < kEach; ++i) {
            const Trace t = TraceOf({base, base + 0.01f * static_cast<float>(i)});
            filed += a.FileDownload(t, RawOf("r"), Facts(), kDec7 + i).Ok() ? 1 : 0;
            if (i % 8 == 0)
                a.List();  // readers in between do not block the other writer
        }
        return filed;
    };
    const pid_t pid = fork();
    if (pid == 0)
        _exit(file(7.0f) == kEach ? 0 : 1);
    const int mine = file(5.0f);
    int status = 0;
    waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(mine, kEach);
    SurveyArchive check;
    ASSERT_TRUE(check.Open(dir.str()).Ok);
    const auto entries = check.List();
    EXPECT_EQ(entries.size(), static_cast<size_t>(2 * kEach));
    std::set<std::string> files;
    for (const auto& e : entries)
        files.insert(e.TraceFile);
    EXPECT_EQ(files.size(), entries.size());  // no entry took another's file
    EXPECT_TRUE(check.Check().Orphans.empty());
}

#endif  // _WIN32

}  // namespace
}  // namespace ws
