// Speed of the survey archive with 10,000 entries: the catalog read, the filter, and the
// archive window's table filled from it (target: under 100 ms); and filing one download.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <filesystem>
#include <memory>
#include <random>

#include "data/record.h"
#include "survey/archive_window.h"
#include "survey/sqlite_db.h"
#include "survey/survey_archive.h"
#include "ui/file_picker.h"
#include "ui/prompter.h"

namespace {

namespace fs = std::filesystem;

class SilentPrompter : public ws::Prompter {
  public:
    void Message(const std::string&, ws::MsgIcon, const std::string&) override {}
    bool AskYesNo(const std::string&, const std::string&) override { return false; }
};

class NoPicker : public ws::FilePicker {
  public:
    std::string OpenFile(const std::string&, const ws::FileFilter&, const std::string&) override {
        return {};
    }
    std::string SaveFile(const std::string&, const ws::FileFilter&, const std::string&) override {
        return {};
    }
    std::string ChooseFolder(const std::string&, const std::string&) override { return {}; }
};

QApplication* App() {
    static int argc = 1;
    static char arg0[] = "survey_bench";
    static char* argv[] = {arg0, nullptr};
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication app(argc, argv);
    return &app;
}

// An archive of 10,000 described entries in a fresh folder, built once for every benchmark.
struct Archive {
    fs::path dir;
    ws::SurveyArchive archive;
    Archive() {
        std::random_device rd;
        dir = fs::temp_directory_path() / ("wallscan-bench-" + std::to_string(rd()));
        fs::create_directories(dir);
        archive.Open(dir.string());
        ws::sql::Database db;
        db.Open(archive.CatalogPath(), false, 10000);
        const char* objects[] = {"Трубопровод Т-3", "Резервуар 5", "Колонна К-1", "Теплотрасса"};
        for (int k = 0; k < 4; ++k) {
            ws::sql::Statement o(db, "INSERT INTO objects (name, name_key) VALUES (?1, ?2)");
            o.Bind(1, objects[k]).Bind(2, "k" + std::to_string(k)).Run();
        }
        ws::sql::Transaction tx(db);
        ws::sql::Statement st(db,
                              "INSERT INTO entries (filed_utc, source, trace_file, content_key,"
                              " content_size, regime, point_count, min_mm, mean_mm, max_mm,"
                              " object_id, section, inspector, inspected_on, notes)"
                              " VALUES (?1, 'gauge', 'traces/x.mem', 'k', 1, 255, 4100, ?2, ?3,"
                              " 9.1, ?4, ?5, ?6, '2025-12-07', ?7)");
        for (int i = 0; i < 10000; ++i) {
            st.Reset();
            st.Bind(1, int64_t{1700000000} + i * 600)
                .Bind(2, 6.0 + (i % 50) * 0.02)
                .Bind(3, 8.0 + (i % 7) * 0.01)
                .Bind(4, 1 + i % 4)
                .Bind(5, "Участок " + std::to_string(i % 120))
                .Bind(6, i % 3 ? "Петров" : "Иванов")
                .Bind(7, i % 10 ? "" : "коррозия у сварного шва");
            st.Run();
        }
        tx.Commit();
    }
    ~Archive() {
        archive.Close();
        std::error_code ec;
        fs::remove_all(dir, ec);
    }
};

Archive& Shared() {
    static Archive a;
    return a;
}

void BM_List10000(benchmark::State& state) {
    auto& a = Shared();
    for (auto _ : state)
        benchmark::DoNotOptimize(a.archive.List());
}
BENCHMARK(BM_List10000)->Unit(benchmark::kMillisecond);

void BM_ListFiltered10000(benchmark::State& state) {
    auto& a = Shared();
    ws::ListQuery q;
    q.Text = "трубопровод участок 11";
    for (auto _ : state)
        benchmark::DoNotOptimize(a.archive.List(q));
}
BENCHMARK(BM_ListFiltered10000)->Unit(benchmark::kMillisecond);

// What the user waits for when the window opens or a download arrives: the catalog read, the
// model reset, the sort by date, and the first paint of the visible rows.
void BM_WindowFill10000(benchmark::State& state) {
    App();
    auto& a = Shared();
    auto ws = std::make_unique<ws::Workspace>();
    SilentPrompter prompter;
    NoPicker picker;
    ws::ArchiveWindow window(a.archive, *ws, prompter, picker, {});
    window.show();
    QApplication::processEvents();
    for (auto _ : state) {
        window.Reload();
        window.repaint();
    }
    state.counters["rows"] = window.VisibleRows();
}
BENCHMARK(BM_WindowFill10000)->Unit(benchmark::kMillisecond);

void BM_FileOneDownload(benchmark::State& state) {
    auto& a = Shared();
    auto t = std::make_unique<ws::Trace>();
    t->Regime = 255;
    t->PointCount = 4100;
    for (int i = 0; i < 4100; ++i)
        t->Thickness[static_cast<size_t>(i)] = 8.0f;
    const std::vector<uint8_t> raw(8203, 0x20);
    ws::DownloadFacts facts;
    int64_t when = 1800000000;
    for (auto _ : state)
        benchmark::DoNotOptimize(a.archive.FileDownload(*t, raw, facts, ++when));
}
BENCHMARK(BM_FileOneDownload)->Unit(benchmark::kMillisecond)->Iterations(20);

}  // namespace
