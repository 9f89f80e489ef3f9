#include "survey/survey_archive.h"

#include "data/statistics.h"

#include <algorithm>
#include <cctype>
#include <ctime>
#include <filesystem>
#include <functional>
#include <set>
#include <sstream>

#include "data/atomic_file.h"
#include "data/text.h"
#include "data/trace_file.h"
#include "survey/sqlite_db.h"
#include "survey/survey_text.h"

namespace fs = std::filesystem;

namespace ws {

void (*SurveyArchive::BeforeCommit)() = nullptr;

namespace {

// A second process (the window and wallscan-cli) may hold the write lock while it files an
// entry: a few milliseconds, or a second on a slow disk. Waiting this long is never noticed.
constexpr int kBusyMs = 10000;

// A .mem file holds at most 4100 lines of a few bytes; anything far larger is not a trace.
constexpr size_t kMaxTraceBytes = 1 << 20;

// One step per schema version: step k brings a catalog from version k-1 to k.
const char* const kMigrations[kArchiveSchemaVersion] = {
    // 1: objects and entries.
    "CREATE TABLE objects ("
    "  id INTEGER PRIMARY KEY,"
    "  name TEXT NOT NULL,"
    // SQLite's NOCASE folds Latin letters only; object names are mostly Cyrillic.
    "  name_key TEXT NOT NULL UNIQUE,"
    "  nominal_mm REAL,"
    "  min_allowed_mm REAL,"
    "  notes TEXT NOT NULL DEFAULT '');"
    "CREATE TABLE entries ("
    "  id INTEGER PRIMARY KEY,"
    "  filed_utc INTEGER NOT NULL,"
    "  source TEXT NOT NULL CHECK (source IN ('gauge', 'saved', 'imported')),"
    "  trace_file TEXT NOT NULL,"
    "  raw_file TEXT NOT NULL DEFAULT '',"
    "  content_key TEXT NOT NULL,"
    "  content_size INTEGER NOT NULL,"
    "  port TEXT NOT NULL DEFAULT '',"
    "  device TEXT NOT NULL DEFAULT '',"
    "  baud INTEGER NOT NULL DEFAULT 0,"
    "  expected_bytes INTEGER NOT NULL DEFAULT 0,"
    "  received_bytes INTEGER NOT NULL DEFAULT 0,"
    "  line_errors INTEGER NOT NULL DEFAULT 0,"
    "  regime INTEGER NOT NULL,"
    "  point_count INTEGER NOT NULL,"
    "  min_mm REAL, mean_mm REAL, max_mm REAL,"
    "  object_id INTEGER REFERENCES objects(id),"
    "  section TEXT NOT NULL DEFAULT '',"
    "  inspector TEXT NOT NULL DEFAULT '',"
    "  inspected_on TEXT NOT NULL,"
    "  notes TEXT NOT NULL DEFAULT '',"
    "  deleted INTEGER NOT NULL DEFAULT 0);"
    "CREATE INDEX entries_by_content ON entries(content_key);"
    "CREATE INDEX entries_by_time ON entries(filed_utc);",
    // 2: every place a trace was saved to or imported from; entries by object.
    "CREATE TABLE entry_paths ("
    "  entry_id INTEGER NOT NULL REFERENCES entries(id),"
    "  path TEXT NOT NULL,"
    "  added_utc INTEGER NOT NULL,"
    "  PRIMARY KEY (entry_id, path));"
    "CREATE INDEX entries_by_object ON entries(object_id);",
};

std::string Trimmed(const std::string& s) {
    const size_t b = s.find_first_not_of(" \t\r\n");
    if (b == std::string::npos)
        return {};
    const size_t e = s.find_last_not_of(" \t\r\n");
    return s.substr(b, e - b + 1);
}

EntrySource SourceOfWord(const std::string& word) {
    if (word == "saved")
        return EntrySource::Saved;
    if (word == "imported")
        return EntrySource::Imported;
    return EntrySource::Gauge;
}

int64_t FileTimeUtc(const fs::path& p) {
    std::error_code ec;
    const auto t = fs::last_write_time(p, ec);
    if (ec)
        return static_cast<int64_t>(std::time(nullptr));
    // clock_cast is missing from some standard libraries still in use (GCC 12): shift by the
    // two clocks' distance now instead; a second's error does not matter for a file's date.
    using namespace std::chrono;
    const auto sys = system_clock::now() +
                     duration_cast<system_clock::duration>(t - fs::file_time_type::clock::now());
    return duration_cast<seconds>(sys.time_since_epoch()).count();
}

// The archive keeps relative names with "/" on every platform, so a folder copied between
// Windows and Linux still finds its files.
std::string GenericUtf8(const fs::path& p) {
    const std::u8string u = p.generic_u8string();
    return std::string(u.begin(), u.end());
}

bool IsInside(const fs::path& inner, const fs::path& outer) {
    std::error_code ec;
    const fs::path a = fs::weakly_canonical(inner, ec);
    const fs::path b = fs::weakly_canonical(outer, ec);
    auto ia = a.begin();
    for (auto ib = b.begin(); ib != b.end(); ++ib, ++ia) {
        if (ib->empty())
            continue;
        if (ia == a.end() || *ia != *ib)
            return false;
    }
    return true;
}

const char* const kEntryColumns =
    "SELECT e.id, e.filed_utc, e.source, e.trace_file, e.raw_file, e.port, e.device, e.baud,"
    " e.expected_bytes, e.received_bytes, e.line_errors, e.regime, e.point_count, e.min_mm,"
    " e.mean_mm, e.max_mm, COALESCE(e.object_id, 0), COALESCE(o.name, ''), e.section,"
    " e.inspector, e.inspected_on, e.notes, e.deleted"
    " FROM entries e LEFT JOIN objects o ON o.id = e.object_id";

}  // namespace

const char* SourceWord(EntrySource source) {
    switch (source) {
        case EntrySource::Saved:
            return "saved";
        case EntrySource::Imported:
            return "imported";
        case EntrySource::Gauge:
            break;
    }
    return "gauge";
}

TraceStats ComputeStats(const Trace& trace) {
    // The catalog's numbers are the statistics every viewer shows: a reading stored as 0.01 mm
    // (the float just below 0.01) counts as a wall here exactly as it does there.
    const Stats all =
        StatsOfTrace(trace.Thickness.data(), std::clamp(trace.PointCount, 0, kPointSlots));
    TraceStats s;
    s.MinMm = all.min;
    s.MaxMm = all.max;
    s.MeanMm = all.mean;
    return s;
}

// Everything one new entry needs, whichever way it came.
struct SurveyArchive::Incoming {
    EntrySource source = EntrySource::Gauge;
    int64_t whenUtc = 0;
    std::string memBytes;
    const std::vector<uint8_t>* raw = nullptr;
    DownloadFacts facts;
    int regime = 0;
    int pointCount = 0;
    TraceStats stats;
    std::string path;        // saved or imported from; empty for a download
    std::string adoptTrace;  // a file already under traces/ to point at instead of copying
    std::string adoptRaw;
};

SurveyArchive::SurveyArchive() = default;

SurveyArchive::~SurveyArchive() = default;

bool SurveyArchive::IsOpen() const {
    return db_ && db_->IsOpen();
}

void SurveyArchive::Close() {
    db_.reset();
}

std::string SurveyArchive::CatalogPath() const {
    return PathToUtf8(PathFromUtf8(folder_) / kCatalogFileName);
}

bool SurveyArchive::Fail(const std::string& what) {
    error_ = what;
    return false;
}

std::string SurveyArchive::AbsolutePath(const std::string& relative) const {
    // Plain joining: this runs for every row of a 10,000-entry list, where building and
    // normalising a filesystem path each time costs more than the query.
    std::string out = folder_;
    if (!out.empty() && out.back() != '/' && out.back() != '\\')
        out += '/';
    out += relative;
#ifdef _WIN32
    for (char& c : out)
        if (c == '/')
            c = '\\';
#endif
    return out;
}

std::string SurveyArchive::RelativeToFolder(const std::string& absolute) const {
    std::error_code ec;
    const fs::path base = fs::weakly_canonical(PathFromUtf8(folder_), ec);
    const fs::path p = fs::weakly_canonical(PathFromUtf8(absolute), ec);
    return GenericUtf8(p.lexically_relative(base));
}

SurveyArchive::OpenResult SurveyArchive::Open(const std::string& folder) {
    Close();
    folder_ = folder;
    OpenResult r;
    std::error_code ec;
    fs::create_directories(PathFromUtf8(folder) / kTracesFolderName, ec);
    if (ec) {
        r.Message = "Архив замеров недоступен: нельзя создать папку " + folder + " (" +
                    ec.message() + "). Программа работает без архива.";
        error_ = r.Message;
        return r;
    }
    return OpenCatalog(true);
}

SurveyArchive::OpenResult SurveyArchive::OpenCatalog(bool allowSetAside) {
    OpenResult r;
    const std::string path = CatalogPath();
    auto off = [&](const std::string& why) {
        Close();
        r.Ok = false;
        r.Message = "Архив замеров недоступен: " + why + ". Программа работает без архива.";
        error_ = r.Message;
        return r;
    };
    db_ = std::make_unique<sql::Database>();
    if (!db_->Open(path, true, kBusyMs))
        return off("каталог " + path + " не открывается (" + db_->Error() + ")");
    if (db_->ReadOnly())
        return off("каталог " + path + " только для чтения");

    // A file that is not a database, or a damaged one, fails here. It is set aside under a
    // dated name, never deleted: what it holds may still be rescued by hand. Nothing is
    // written before these checks, so a file that is not ours stays byte for byte as it was.
    std::string damage;
    {
        sql::Statement check(*db_, "PRAGMA quick_check");
        if (!check.Step())
            damage = db_->Error();
        else if (check.Text(0) != "ok")
            damage = check.Text(0);
    }
    const auto version = damage.empty() ? db_->QueryInt("PRAGMA user_version") : std::nullopt;
    const auto tables =
        damage.empty() ? db_->QueryInt("SELECT count(*) FROM sqlite_master") : std::nullopt;
    if (damage.empty() && (!version || !tables))
        damage = db_->Error();
    // A database of some other program carries tables but no version of ours.
    if (damage.empty() && *version == 0 && *tables > 0)
        damage = "это не каталог архива";
    if (!damage.empty()) {
        const int code = db_->ErrorCode();
        if (code == 5 /* SQLITE_BUSY */ || code == 6 /* SQLITE_LOCKED */)
            return off("каталог занят другой программой");
        // Only a file proven damaged or foreign is set aside; a read that failed for another
        // reason (a disk error, no permission) may succeed next time on the same file.
        const bool proven =
            code == 0 || code == 11 /* SQLITE_CORRUPT */ || code == 26 /* SQLITE_NOTADB */;
        if (!proven)
            return off("каталог " + path + " не читается (" + damage + ")");
        if (!allowSetAside)
            return off("каталог " + path + " повреждён (" + damage + ")");
        Close();
        const std::string stamp = FormatUtcCompact(static_cast<int64_t>(std::time(nullptr)));
        fs::path aside = PathFromUtf8(path);
        aside += ".damaged-" + stamp;
        std::error_code ec;
        fs::rename(PathFromUtf8(path), aside, ec);
        if (ec)
            return off("каталог " + path + " повреждён и не отложен (" + ec.message() + ")");
        // The journal files belong to the damaged catalog: they go with it, or SQLite would
        // try to replay them into the fresh one.
        for (const char* suffix : {"-wal", "-shm"}) {
            fs::path side = PathFromUtf8(path);
            side += suffix;
            if (fs::exists(side, ec)) {
                fs::path sideAside = aside;
                sideAside += suffix;
                fs::rename(side, sideAside, ec);
            }
        }
        OpenResult fresh = OpenCatalog(false);
        if (!fresh.Ok)
            return fresh;
        fresh.SetAside = PathToUtf8(aside);
        fresh.Message = "Каталог архива замеров был повреждён (" + damage + "). Он сохранён как " +
                        fresh.SetAside +
                        ", начат новый каталог. Замеры из папки traces можно вернуть "
                        "командой «Импорт в архив».";
        return fresh;
    }
    if (*version > kArchiveSchemaVersion)
        return off("каталог создан более новой версией программы (схема " +
                   std::to_string(*version) + "); он оставлен без изменений");
    // Readers never wait for a writer and a crash mid-commit leaves the catalog whole.
    if (!db_->Exec("PRAGMA journal_mode=WAL"))
        return off("каталог " + path + " не переключается в режим WAL (" + db_->Error() + ")");
    db_->Exec("PRAGMA foreign_keys=ON");
    // Every commit reaches the disk before it returns: a power cut never loses a filed trace.
    db_->Exec("PRAGMA synchronous=FULL");
    if (*version < kArchiveSchemaVersion && !Migrate(static_cast<int>(*version)))
        return off("каталог не обновлён (" + error_ + ")");
    r.Ok = true;
    return r;
}

bool SurveyArchive::Migrate(int from) {
    if (from > 0) {
        // A copy of the catalog as it was, in case a step goes wrong in the field.
        fs::path copy = PathFromUtf8(CatalogPath());
        copy += ".before-v" + std::to_string(kArchiveSchemaVersion) + "-" +
                FormatUtcCompact(static_cast<int64_t>(std::time(nullptr)));
        sql::Statement vacuum(*db_, "VACUUM INTO ?1");
        vacuum.Bind(1, PathToUtf8(copy));
        if (!vacuum.Run())
            return Fail("копия перед обновлением не записана: " + db_->Error());
    }
    for (int v = from; v < kArchiveSchemaVersion; ++v) {
        sql::Transaction tx(*db_);
        if (!tx.Began())
            return Fail(db_->Error());
        // Another process may have migrated meanwhile: read the version under the lock.
        const auto now = db_->QueryInt("PRAGMA user_version");
        if (!now)
            return Fail(db_->Error());
        if (*now > v)
            continue;
        if (!db_->Exec(kMigrations[v]) ||
            !db_->Exec("PRAGMA user_version=" + std::to_string(v + 1)) || !tx.Commit())
            return Fail(db_->Error());
    }
    return true;
}

FileResult SurveyArchive::FileDownload(const Trace& trace, const std::vector<uint8_t>& raw,
                                       const DownloadFacts& facts, int64_t whenUtc) {
    Incoming in;
    in.source = EntrySource::Gauge;
    in.whenUtc = whenUtc;
    in.memBytes = FormatTraceFile(trace);
    in.raw = &raw;
    in.facts = facts;
    in.regime = trace.Regime;
    in.pointCount = trace.PointCount;
    in.stats = ComputeStats(trace);
    return FileNew(in);
}

FileResult SurveyArchive::FileSaved(const std::string& memBytes, const std::string& savedPath,
                                    int64_t whenUtc) {
    FileResult result;
    if (!IsOpen()) {
        result.Error = error_.empty() ? "архив не открыт" : error_;
        return result;
    }
    if (const auto same = FindSameBytes(memBytes)) {
        sql::Transaction tx(*db_);
        sql::Statement undelete(*db_, "UPDATE entries SET deleted = 0 WHERE id = ?1");
        undelete.Bind(1, *same);
        if (!tx.Began() || !AddPath(*same, savedPath, whenUtc) || !undelete.Run() || !tx.Commit()) {
            result.Error = "архив: " + db_->Error();
            return result;
        }
        result.Id = *same;
        return result;
    }
    std::istringstream stream(memBytes);
    auto base = std::make_unique<Trace>();
    const TraceReadResult parsed = ParseTraceStream(stream, *base, false);
    if (parsed.status != TraceReadStatus::Ok) {
        result.Error = "не файл замера: " + parsed.problem;
        return result;
    }
    Incoming in;
    in.source = EntrySource::Saved;
    in.whenUtc = whenUtc;
    in.memBytes = memBytes;
    in.regime = parsed.trace.Regime;
    in.pointCount = parsed.trace.PointCount;
    in.stats = ComputeStats(parsed.trace);
    in.path = savedPath;
    return FileNew(in);
}

FileResult SurveyArchive::FileNew(const Incoming& in) {
    FileResult result;
    if (!IsOpen()) {
        result.Error = error_.empty() ? "архив не открыт" : error_;
        return result;
    }
    auto dbFail = [&](const std::string& what) {
        result.Error = what + ": " + db_->Error();
        error_ = result.Error;
        return result;
    };
    sql::Transaction tx(*db_);
    if (!tx.Began())
        return dbFail("каталог не принимает записи");
    sql::Statement insert(
        *db_,
        "INSERT INTO entries (filed_utc, source, trace_file, content_key, content_size, port,"
        " device, baud, expected_bytes, received_bytes, line_errors, regime, point_count,"
        " min_mm, mean_mm, max_mm, inspected_on)"
        " VALUES (?1, ?2, '', ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13, ?14, ?15, ?16)");
    insert.Bind(1, in.whenUtc)
        .Bind(2, SourceWord(in.source))
        .Bind(3, ContentKey(in.memBytes))
        .Bind(4, static_cast<int64_t>(in.memBytes.size()))
        .Bind(5, in.facts.Port)
        .Bind(6, in.facts.Device)
        .Bind(7, in.facts.Baud)
        .Bind(8, in.facts.ExpectedBytes)
        .Bind(9, in.facts.ReceivedBytes)
        .Bind(10, in.facts.LineErrors)
        .Bind(11, in.regime)
        .Bind(12, in.pointCount)
        .Bind(13, in.stats.MinMm)
        .Bind(14, in.stats.MeanMm)
        .Bind(15, in.stats.MaxMm)
        .Bind(16, LocalDateOf(in.whenUtc));
    if (!insert.Run())
        return dbFail("запись в каталог не удалась");
    const int64_t id = db_->LastInsertId();

    std::string traceRel = in.adoptTrace, rawRel = in.adoptRaw;
    if (traceRel.empty()) {
        // traces/YYYY/YYYYMMDD-HHMMSS-ID: by date for a person browsing the folder, by id so
        // the name is unique. A rolled-back entry may have left files with the same id: they
        // are kept (a check finds them) and this entry takes the next free name.
        const std::string stamp = FormatUtcCompact(in.whenUtc);
        const fs::path dir = fs::path(kTracesFolderName) / stamp.substr(0, 4);
        std::error_code ec;
        fs::create_directories(PathFromUtf8(folder_) / dir, ec);
        if (ec) {
            result.Error = "папка архива недоступна: " + ec.message();
            error_ = result.Error;
            return result;
        }
        std::string stem = stamp + "-" + std::to_string(id);
        for (int k = 2;; ++k) {
            const fs::path base = PathFromUtf8(folder_) / dir / stem;
            if (!fs::exists(fs::path(base).replace_extension(".mem"), ec) &&
                !fs::exists(fs::path(base).replace_extension(".raw"), ec))
                break;
            stem = stamp + "-" + std::to_string(id) + "-" + std::to_string(k);
        }
        traceRel = GenericUtf8(dir / (stem + ".mem"));
        std::string why;
        if (!WriteFileAtomically(AbsolutePath(traceRel), in.memBytes, &why)) {
            result.Error = "файл замера не записан в архив: " + why;
            error_ = result.Error;
            return result;
        }
        if (in.raw) {
            rawRel = GenericUtf8(dir / (stem + ".raw"));
            const std::string_view bytes(reinterpret_cast<const char*>(in.raw->data()),
                                         in.raw->size());
            if (!WriteFileAtomically(AbsolutePath(rawRel), bytes, &why)) {
                result.Error = "принятые байты не записаны в архив: " + why;
                error_ = result.Error;
                return result;
            }
        }
    }
    sql::Statement files(*db_, "UPDATE entries SET trace_file = ?1, raw_file = ?2 WHERE id = ?3");
    files.Bind(1, traceRel).Bind(2, rawRel).Bind(3, id);
    if (!files.Run())
        return dbFail("запись в каталог не удалась");
    if (!in.path.empty() && !AddPath(id, in.path, in.whenUtc))
        return dbFail("запись в каталог не удалась");
    if (BeforeCommit)
        BeforeCommit();
    if (!tx.Commit())
        return dbFail("запись в каталог не завершена");
    result.Id = id;
    result.Added = true;
    return result;
}

bool SurveyArchive::AddPath(int64_t id, const std::string& path, int64_t whenUtc) {
    sql::Statement st(*db_,
                      "INSERT OR IGNORE INTO entry_paths (entry_id, path, added_utc)"
                      " VALUES (?1, ?2, ?3)");
    st.Bind(1, id).Bind(2, path).Bind(3, whenUtc);
    return st.Run();
}

std::optional<int64_t> SurveyArchive::FindSameBytes(const std::string& bytes) {
    sql::Statement st(*db_,
                      "SELECT id, trace_file FROM entries"
                      " WHERE content_key = ?1 AND content_size = ?2 ORDER BY id");
    st.Bind(1, ContentKey(bytes)).Bind(2, static_cast<int64_t>(bytes.size()));
    while (st.Step()) {
        std::string archived;
        // The key only narrows the search; equal bytes decide.
        if (ReadWholeFile(AbsolutePath(st.Text(1)), archived, kMaxTraceBytes) && archived == bytes)
            return st.Int(0);
    }
    return std::nullopt;
}

ImportReport SurveyArchive::Import(const std::vector<std::string>& paths) {
    ImportReport report;
    if (!IsOpen()) {
        report.Problems.push_back(error_.empty() ? "архив не открыт" : error_);
        return report;
    }
    const fs::path traces = PathFromUtf8(folder_) / kTracesFolderName;
    std::vector<fs::path> files;
    for (const auto& p : paths) {
        const fs::path path = PathFromUtf8(p);
        std::error_code ec;
        if (fs::is_directory(path, ec)) {
            std::vector<fs::path> found;
            auto take = [&](const fs::directory_entry& entry) {
                const fs::path& f = entry.path();
                std::string ext = f.extension().string();
                std::transform(ext.begin(), ext.end(), ext.begin(),
                               [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
                std::error_code fileEc;
                if (ext == ".mem" && entry.is_regular_file(fileEc))
                    found.push_back(f);
            };
            // The archive's own traces/ is sorted into year folders: refilling a fresh catalog
            // from it needs them all. A user's folder is taken as it stands, without its
            // subfolders, as the relief's folder scan does.
            if (IsInside(path, traces)) {
                for (fs::recursive_directory_iterator it(path, ec), end; !ec && it != end;
                     it.increment(ec))
                    take(*it);
            } else {
                for (fs::directory_iterator it(path, ec), end; !ec && it != end; it.increment(ec))
                    take(*it);
            }
            if (ec)
                report.Problems.push_back(p + ": папка не читается (" + ec.message() + ")");
            std::sort(found.begin(), found.end());
            files.insert(files.end(), found.begin(), found.end());
        } else if (fs::exists(path, ec)) {
            files.push_back(path);
        } else {
            report.Problems.push_back(p + ": нет такого файла или папки");
        }
    }
    for (const auto& f : files) {
        const std::string name = PathToUtf8(f);
        std::string bytes, why;
        if (!ReadWholeFile(name, bytes, kMaxTraceBytes, &why)) {
            report.Problems.push_back(name + ": " + why);
            continue;
        }
        std::istringstream stream(bytes);
        auto base = std::make_unique<Trace>();
        const TraceReadResult parsed = ParseTraceStream(stream, *base, false);
        if (parsed.status != TraceReadStatus::Ok) {
            report.Problems.push_back(name + ": не файл замера (" + parsed.problem + ")");
            continue;
        }
        const int64_t when = FileTimeUtc(f);
        if (const auto same = FindSameBytes(bytes)) {
            if (!IsInside(f, traces))
                AddPath(*same, name, when);
            ++report.Known;
            continue;
        }
        Incoming in;
        in.source = EntrySource::Imported;
        in.whenUtc = when;
        in.memBytes = bytes;
        in.regime = parsed.trace.Regime;
        in.pointCount = parsed.trace.PointCount;
        in.stats = ComputeStats(parsed.trace);
        if (IsInside(f, traces)) {
            in.adoptTrace = RelativeToFolder(name);
            fs::path raw = f;
            raw.replace_extension(".raw");
            std::error_code ec;
            if (fs::exists(raw, ec))
                in.adoptRaw = RelativeToFolder(PathToUtf8(raw));
        } else {
            in.path = name;
        }
        const FileResult r = FileNew(in);
        if (r.Ok())
            ++report.Added;
        else
            report.Problems.push_back(name + ": " + r.Error);
    }
    return report;
}

namespace {

ArchiveEntry EntryOfRow(const sql::Statement& st,
                        const std::function<std::string(const std::string&)>& abs) {
    ArchiveEntry e;
    e.Id = st.Int(0);
    e.FiledUtc = st.Int(1);
    e.Source = SourceOfWord(st.Text(2));
    e.TraceFile = abs(st.Text(3));
    const std::string raw = st.Text(4);
    e.RawFile = raw.empty() ? std::string() : abs(raw);
    e.Port = st.Text(5);
    e.Device = st.Text(6);
    e.Baud = static_cast<int32_t>(st.Int(7));
    e.ExpectedBytes = static_cast<int32_t>(st.Int(8));
    e.ReceivedBytes = static_cast<int32_t>(st.Int(9));
    e.LineErrors = static_cast<int32_t>(st.Int(10));
    e.Regime = static_cast<int>(st.Int(11));
    e.PointCount = static_cast<int>(st.Int(12));
    e.MinMm = st.OptReal(13);
    e.MeanMm = st.OptReal(14);
    e.MaxMm = st.OptReal(15);
    e.ObjectId = st.Int(16);
    e.Object = st.Text(17);
    e.Section = st.Text(18);
    e.Inspector = st.Text(19);
    e.InspectedOn = st.Text(20);
    e.Notes = st.Text(21);
    e.Deleted = st.Int(22) != 0;
    return e;
}

}  // namespace

std::vector<ArchiveEntry> SurveyArchive::List(const ListQuery& query) {
    std::vector<ArchiveEntry> out;
    if (!IsOpen())
        return out;
    std::string text = std::string(kEntryColumns) + " WHERE e.deleted = ?1";
    if (!query.Object.empty())
        text += " AND o.name_key = ?2";
    if (!query.SinceDate.empty())
        text += " AND e.inspected_on >= ?3";
    text += " ORDER BY e.filed_utc DESC, e.id DESC";
    sql::Statement st(*db_, text);
    st.Bind(1, query.Deleted ? 1 : 0);
    if (!query.Object.empty())
        st.Bind(2, FoldCase(Trimmed(query.Object)));
    if (!query.SinceDate.empty())
        st.Bind(3, query.SinceDate);
    const auto words = FilterWords(query.Text);
    const auto abs = [this](const std::string& rel) { return AbsolutePath(rel); };
    while (st.Step()) {
        ArchiveEntry e = EntryOfRow(st, abs);
        if (!words.empty() && !MatchesWords(words, {e.Object, e.Section, e.Inspector, e.Notes}))
            continue;
        out.push_back(std::move(e));
    }
    if (st.Failed())
        error_ = db_->Error();
    return out;
}

std::optional<ArchiveEntry> SurveyArchive::Get(int64_t id) {
    if (!IsOpen())
        return std::nullopt;
    sql::Statement st(*db_, std::string(kEntryColumns) + " WHERE e.id = ?1");
    st.Bind(1, id);
    if (!st.Step()) {
        Fail("в архиве нет записи " + std::to_string(id));
        return std::nullopt;
    }
    ArchiveEntry e = EntryOfRow(st, [this](const std::string& rel) { return AbsolutePath(rel); });
    sql::Statement paths(*db_,
                         "SELECT path FROM entry_paths WHERE entry_id = ?1 ORDER BY added_utc");
    paths.Bind(1, id);
    while (paths.Step())
        e.Paths.push_back(paths.Text(0));
    return e;
}

std::optional<std::string> SurveyArchive::TraceBytes(int64_t id) {
    const auto e = Get(id);
    if (!e)
        return std::nullopt;
    std::string bytes, why;
    if (!ReadWholeFile(e->TraceFile, bytes, kMaxTraceBytes, &why)) {
        Fail("файл замера " + e->TraceFile + " не читается: " + why);
        return std::nullopt;
    }
    return bytes;
}

bool SurveyArchive::Export(int64_t id, const std::string& target) {
    const auto bytes = TraceBytes(id);
    if (!bytes)
        return false;
    std::string why;
    if (!WriteFileAtomically(target, *bytes, &why))
        return Fail(target + ": " + why);
    return true;
}

int64_t SurveyArchive::EnsureObject(const std::string& rawName) {
    const std::string name = Trimmed(rawName);
    if (name.empty() || !IsOpen())
        return 0;
    if (const auto found = FindObject(name))
        return found->Id;
    sql::Statement st(*db_, "INSERT INTO objects (name, name_key) VALUES (?1, ?2)");
    st.Bind(1, name).Bind(2, FoldCase(name));
    if (!st.Run()) {
        Fail(db_->Error());
        return 0;
    }
    return db_->LastInsertId();
}

bool SurveyArchive::Describe(int64_t id, const EntryDescription& d) {
    if (!IsOpen())
        return Fail("архив не открыт");
    if (!ParseIsoDate(d.InspectedOn))
        return Fail("дата замера «" + d.InspectedOn + "» не в виде ГГГГ-ММ-ДД");
    sql::Transaction tx(*db_);
    if (!tx.Began())
        return Fail(db_->Error());
    const int64_t objectId = EnsureObject(d.Object);
    if (objectId == 0 && !Trimmed(d.Object).empty())
        return false;
    sql::Statement st(*db_,
                      "UPDATE entries SET object_id = ?1, section = ?2, inspector = ?3,"
                      " inspected_on = ?4, notes = ?5 WHERE id = ?6");
    if (objectId)
        st.Bind(1, objectId);
    else
        st.BindNull(1);
    st.Bind(2, Trimmed(d.Section))
        .Bind(3, Trimmed(d.Inspector))
        .Bind(4, d.InspectedOn)
        .Bind(5, d.Notes)
        .Bind(6, id);
    if (!st.Run())
        return Fail(db_->Error());
    if (db_->Changes() == 0)
        return Fail("в архиве нет записи " + std::to_string(id));
    return tx.Commit() || Fail(db_->Error());
}

bool SurveyArchive::SetDeleted(const std::vector<int64_t>& ids, bool deleted) {
    if (!IsOpen())
        return Fail("архив не открыт");
    sql::Transaction tx(*db_);
    if (!tx.Began())
        return Fail(db_->Error());
    sql::Statement st(*db_, "UPDATE entries SET deleted = ?1 WHERE id = ?2");
    for (const int64_t id : ids) {
        st.Reset();
        st.Bind(1, deleted ? 1 : 0).Bind(2, id);
        if (!st.Run())
            return Fail(db_->Error());
    }
    return tx.Commit() || Fail(db_->Error());
}

namespace {

ObjectInfo ObjectOfRow(const sql::Statement& st) {
    ObjectInfo o;
    o.Id = st.Int(0);
    o.Name = st.Text(1);
    o.NominalMm = st.OptReal(2);
    o.MinAllowedMm = st.OptReal(3);
    o.Notes = st.Text(4);
    return o;
}

}  // namespace

std::vector<ObjectInfo> SurveyArchive::Objects() {
    std::vector<ObjectInfo> out;
    if (!IsOpen())
        return out;
    sql::Statement st(*db_,
                      "SELECT id, name, nominal_mm, min_allowed_mm, notes FROM objects"
                      " ORDER BY name_key");
    while (st.Step())
        out.push_back(ObjectOfRow(st));
    return out;
}

std::optional<ObjectInfo> SurveyArchive::FindObject(const std::string& name) {
    if (!IsOpen())
        return std::nullopt;
    sql::Statement st(*db_,
                      "SELECT id, name, nominal_mm, min_allowed_mm, notes FROM objects"
                      " WHERE name_key = ?1");
    st.Bind(1, FoldCase(Trimmed(name)));
    if (st.Step())
        return ObjectOfRow(st);
    return std::nullopt;
}

std::optional<ObjectInfo> SurveyArchive::ObjectOfEntry(int64_t entryId) {
    if (!IsOpen())
        return std::nullopt;
    sql::Statement st(*db_,
                      "SELECT o.id, o.name, o.nominal_mm, o.min_allowed_mm, o.notes"
                      " FROM entries e JOIN objects o ON o.id = e.object_id WHERE e.id = ?1");
    st.Bind(1, entryId);
    if (st.Step())
        return ObjectOfRow(st);
    return std::nullopt;
}

bool SurveyArchive::SetObjectThresholds(int64_t objectId, std::optional<double> nominalMm,
                                        std::optional<double> minAllowedMm) {
    if (!IsOpen())
        return Fail("архив не открыт");
    for (const auto& v : {nominalMm, minAllowedMm})
        if (v && !(*v > 0 && *v < 10000))
            return Fail("толщина должна быть больше 0 и меньше 10000 мм");
    sql::Statement st(*db_,
                      "UPDATE objects SET nominal_mm = ?1, min_allowed_mm = ?2 WHERE id = ?3");
    st.Bind(1, nominalMm).Bind(2, minAllowedMm).Bind(3, objectId);
    if (!st.Run())
        return Fail(db_->Error());
    return db_->Changes() == 1 || Fail("нет объекта " + std::to_string(objectId));
}

bool SurveyArchive::SetObjectNotes(int64_t objectId, const std::string& notes) {
    if (!IsOpen())
        return Fail("архив не открыт");
    sql::Statement st(*db_, "UPDATE objects SET notes = ?1 WHERE id = ?2");
    st.Bind(1, notes).Bind(2, objectId);
    if (!st.Run())
        return Fail(db_->Error());
    return db_->Changes() == 1 || Fail("нет объекта " + std::to_string(objectId));
}

std::optional<ArchiveEntry> SurveyArchive::PreviousEntry(int64_t id) {
    if (!IsOpen())
        return std::nullopt;
    sql::Statement st(*db_, std::string(kEntryColumns) +
                                " WHERE (e.filed_utc, e.id) < (SELECT filed_utc, id FROM entries"
                                " WHERE id = ?1) ORDER BY e.filed_utc DESC, e.id DESC LIMIT 1");
    st.Bind(1, id);
    if (!st.Step())
        return std::nullopt;
    return EntryOfRow(st, [this](const std::string& rel) { return AbsolutePath(rel); });
}

bool SurveyArchive::ChangedElsewhere() {
    if (!IsOpen())
        return false;
    // SQLite counts commits of other connections in data_version; this connection's own
    // commits do not move it.
    const int64_t now = db_->QueryInt("PRAGMA data_version").value_or(dataVersion_);
    const bool changed = dataVersion_ >= 0 && now != dataVersion_;
    dataVersion_ = now;
    return changed;
}

CheckReport SurveyArchive::Check() {
    CheckReport report;
    if (!IsOpen())
        return report;
    std::set<std::string> named;
    sql::Statement st(*db_, "SELECT id, trace_file, raw_file FROM entries ORDER BY id");
    std::error_code ec;
    while (st.Step()) {
        const std::string mem = st.Text(1), raw = st.Text(2);
        named.insert(mem);
        if (!raw.empty())
            named.insert(raw);
        if (!fs::exists(PathFromUtf8(AbsolutePath(mem)), ec))
            report.Missing.push_back(st.Int(0));
    }
    const fs::path root = PathFromUtf8(folder_);
    for (fs::recursive_directory_iterator it(root / kTracesFolderName, ec), end; !ec && it != end;
         it.increment(ec)) {
        if (!it->is_regular_file(ec))
            continue;
        const std::string rel = GenericUtf8(it->path().lexically_relative(root));
        if (!named.count(rel))
            report.Orphans.push_back(PathToUtf8(it->path()));
    }
    std::sort(report.Orphans.begin(), report.Orphans.end());
    return report;
}

}  // namespace ws
