#pragma once
// The survey archive: every trace that came from the gauge or that the user saved, kept for
// good with its description. A catalog database (SQLite) beside a traces/ folder of .mem files
// and the raw bytes of each download; the database only points at the files.
//
// A folder holds:
//   catalog.db (+ -wal, -shm)      the catalog
//   traces/YYYY/YYYYMMDD-HHMMSS-ID.mem / .raw
//   catalog.db.damaged-YYYYMMDD-HHMMSS   a catalog that could not be read, set aside untouched

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "data/record.h"

namespace ws {

namespace sql {
class Database;
}

inline constexpr int kArchiveSchemaVersion = 2;
inline constexpr const char* kCatalogFileName = "catalog.db";
inline constexpr const char* kTracesFolderName = "traces";

enum class EntrySource { Gauge, Saved, Imported };
// "gauge", "saved", "imported": the words kept in the catalog and printed by the command line.
const char* SourceWord(EntrySource source);

struct ObjectInfo {
    int64_t Id = 0;
    std::string Name;
    std::optional<double> NominalMm;     // nominal wall thickness
    std::optional<double> MinAllowedMm;  // below this the wall is rejected
    std::string Notes;
};

// What the user writes about a trace. An empty object name detaches the trace from its object.
struct EntryDescription {
    std::string Object;
    std::string Section;
    std::string Inspector;
    std::string InspectedOn;  // "YYYY-MM-DD"
    std::string Notes;
};

struct ArchiveEntry {
    int64_t Id = 0;
    int64_t FiledUtc = 0;  // seconds since 1970 UTC: the download, the save, or the file's date
    EntrySource Source = EntrySource::Gauge;
    std::string TraceFile;  // absolute UTF-8 path of the archived .mem
    std::string RawFile;    // absolute path of the raw bytes; empty when not from the gauge
    // The line of a download (empty and 0 for other sources).
    std::string Port, Device;
    int32_t Baud = 0, ExpectedBytes = 0, ReceivedBytes = 0, LineErrors = 0;
    int Regime = 0;
    int PointCount = 0;
    // Over the points with a reading (0.01 mm or more); empty when there is none.
    std::optional<double> MinMm, MeanMm, MaxMm;
    int64_t ObjectId = 0;  // 0: no object
    std::string Object;
    std::string Section, Inspector, InspectedOn, Notes;
    bool Deleted = false;
    std::vector<std::string> Paths;  // where the user saved or found it (filled by Get only)
};

struct DownloadFacts {
    std::string Port;    // "COM1" / "COM2" as chosen
    std::string Device;  // the system device it stood for
    int32_t Baud = 0;
    int32_t ExpectedBytes = 0;  // data bytes announced by the header
    int32_t ReceivedBytes = 0;  // data bytes that came (header not counted)
    int32_t LineErrors = 0;
};

struct FileResult {
    int64_t Id = 0;      // the entry that holds the trace; 0 on failure
    bool Added = false;  // false when an entry with the same bytes was there already
    std::string Error;   // why nothing was filed
    bool Ok() const { return Id != 0; }
};

struct ImportReport {
    int Added = 0;
    int Known = 0;                      // the same bytes were archived already
    std::vector<std::string> Problems;  // "file: reason", one per file not taken
};

struct ListQuery {
    bool Deleted = false;   // the "Удалённые" view instead of the live entries
    std::string Object;     // exact object name (any case); empty: every object
    std::string SinceDate;  // "YYYY-MM-DD": only entries inspected on or after it
    std::string Text;       // words to find in object, section, inspector and notes
};

struct CheckReport {
    std::vector<std::string> Orphans;  // files under traces/ that no entry names
    std::vector<int64_t> Missing;      // entries whose .mem file is gone
};

struct TraceStats {
    std::optional<double> MinMm, MeanMm, MaxMm;
};
// Minimum, mean and maximum of the points with a reading.
TraceStats ComputeStats(const Trace& trace);

class SurveyArchive {
  public:
    SurveyArchive();
    ~SurveyArchive();
    SurveyArchive(const SurveyArchive&) = delete;
    SurveyArchive& operator=(const SurveyArchive&) = delete;

    struct OpenResult {
        bool Ok = false;
        // For the user, once: why the archive is off, or that a damaged catalog was set aside
        // and a fresh one started. Empty when there is nothing to say.
        std::string Message;
        std::string SetAside;  // path of the set-aside catalog, if any
    };
    // Opens or creates the archive in `folder` (UTF-8). Never deletes or overwrites a catalog
    // it cannot read: such a file is renamed with the date and a fresh catalog is started.
    OpenResult Open(const std::string& folder);
    void Close();
    bool IsOpen() const;
    const std::string& Folder() const { return folder_; }
    std::string CatalogPath() const;
    // Why the last operation failed, in words for the user.
    const std::string& LastError() const { return error_; }

    // Files a download: the .mem layout of the conditioned trace and the raw bytes, then the
    // row. Every download is a new entry.
    FileResult FileDownload(const Trace& trace, const std::vector<uint8_t>& raw,
                            const DownloadFacts& facts, int64_t whenUtc);
    // Files a trace the user saved as `savedPath`; `memBytes` are the file's bytes. The same
    // bytes already archived are not copied again: that entry gains the path (and comes back
    // from the deleted view).
    FileResult FileSaved(const std::string& memBytes, const std::string& savedPath,
                         int64_t whenUtc);
    // Takes .mem files and the .mem files of folders (not their subfolders) into the archive,
    // dated by the files' modification times. Files under the archive's own traces/ folder are
    // adopted where they lie (the way back after a catalog was set aside).
    ImportReport Import(const std::vector<std::string>& paths);

    std::vector<ArchiveEntry> List(const ListQuery& query = {});
    std::optional<ArchiveEntry> Get(int64_t id);
    // The archived .mem bytes of an entry; empty with LastError on failure.
    std::optional<std::string> TraceBytes(int64_t id);
    // Writes the archived .mem of an entry to `target` (replaced atomically).
    bool Export(int64_t id, const std::string& target);

    // Rewrites the description; the object is found by name (any case) or created.
    bool Describe(int64_t id, const EntryDescription& description);
    // Moves entries to the deleted view and back. Nothing is erased.
    bool SetDeleted(const std::vector<int64_t>& ids, bool deleted);

    std::vector<ObjectInfo> Objects();
    std::optional<ObjectInfo> FindObject(const std::string& name);
    // The object an entry is described by, if any: its name and thresholds.
    std::optional<ObjectInfo> ObjectOfEntry(int64_t entryId);
    // Finds the object by name or creates it; 0 on failure or for an empty name.
    int64_t EnsureObject(const std::string& name);
    // Sets (or clears, with an empty value) an object's nominal and minimum allowed thickness.
    bool SetObjectThresholds(int64_t objectId, std::optional<double> nominalMm,
                             std::optional<double> minAllowedMm);
    bool SetObjectNotes(int64_t objectId, const std::string& notes);

    // The entry filed most recently before `id` (by filing time), live or deleted: the source
    // of "same object, next section".
    std::optional<ArchiveEntry> PreviousEntry(int64_t id);

    // Files under traces/ that no entry names, and entries whose trace file is gone.
    CheckReport Check();

    // True when another connection (wallscan-cli, a second window) has committed a change
    // since the last call.
    bool ChangedElsewhere();

    // Called after an entry's files are written and before its row is committed. Null in the
    // program; fault-injection tests use it to kill the process at exactly that moment.
    static void (*BeforeCommit)();

  private:
    struct Incoming;
    FileResult FileNew(const Incoming& in);
    std::optional<int64_t> FindSameBytes(const std::string& bytes);
    bool AddPath(int64_t id, const std::string& path, int64_t whenUtc);
    bool Fail(const std::string& what);
    std::string AbsolutePath(const std::string& relative) const;
    std::string RelativeToFolder(const std::string& absolute) const;
    OpenResult OpenCatalog(bool allowSetAside);
    bool Migrate(int from);

    std::unique_ptr<sql::Database> db_;
    std::string folder_;
    std::string error_;
    int64_t dataVersion_ = -1;
};

}  // namespace ws
