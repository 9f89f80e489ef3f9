// Speed of the corrosion map over a survey of 500 scans of 4100 points (2 million readings):
// opening the folder, and a repaint of the window's picture after a zoom step or a pan.
// The folder is generated, not shipped:
//   python3 scripts/make_samples.py --survey /tmp/wallscan-survey500
// and named by WALLSCAN_SURVEY (that path by default).

#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <cstdlib>
#include <memory>

#include "map/map_model.h"
#include "map/map_view.h"
#include "ui/qt_surface.h"

namespace {

std::string SurveyFolder() {
    const char* env = std::getenv("WALLSCAN_SURVEY");
    return env && *env ? env : "/tmp/wallscan-survey500";
}

QGuiApplication* App() {
    static int argc = 1;
    static char arg0[] = "map_bench";
    static char* argv[] = {arg0, nullptr};
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(argc, argv);
    return &app;
}

const ws::MapLoadResult* Survey() {
    static const ws::MapLoadResult load = ws::LoadMapFolder(SurveyFolder(), false);
    return load.model.Rows() > 0 ? &load : nullptr;
}

void BM_OpenFolder(benchmark::State& state) {
    int64_t cells = 0;
    for (auto _ : state) {
        const ws::MapLoadResult r = ws::LoadMapFolder(SurveyFolder(), false);
        if (r.model.Rows() == 0) {
            state.SkipWithError("no survey: python3 scripts/make_samples.py --survey DIR");
            return;
        }
        cells = r.model.Cells();
        // Opening the window also computes the statistics of the whole map.
        benchmark::DoNotOptimize(r.model.AllStats({10.0f, 7.0f}));
    }
    state.counters["readings"] = static_cast<double>(cells);
}
BENCHMARK(BM_OpenFolder)->Unit(benchmark::kMillisecond)->Iterations(3);

// The window's picture on a 1280 x 900 screen: about 1100 x 700 pixels.
struct Rig {
    std::unique_ptr<ws::ImageSurface> picture = std::make_unique<ws::ImageSurface>(1100, 700, 96.0);
    std::unique_ptr<ws::MapView> view;
    ws::MapLayout layout;
    explicit Rig(const ws::MapModel& m) {
        view = std::make_unique<ws::MapView>(m);
        view->SetThresholds({10.0f, 7.0f});
        layout = ws::MakeMapLayout(picture->Width(), picture->Height(), false);
        view->Fit(layout.PlotWidth(), layout.PlotHeight());
    }
    void Repaint() {
        picture->Clear(ws::kWhite);
        view->Draw(*picture, layout);
        benchmark::DoNotOptimize(picture->Image().constBits());
    }
};

// Wheel steps in and out about a point: at range(0) = 0 the whole survey is in view (each
// pixel the thinnest of several cells), at larger zooms every cell covers pixels.
void BM_ZoomRepaint(benchmark::State& state) {
    App();
    const auto* survey = Survey();
    if (!survey) {
        state.SkipWithError("no survey: python3 scripts/make_samples.py --survey DIR");
        return;
    }
    Rig rig(survey->model);
    const double x = rig.layout.plotLeft + rig.layout.PlotWidth() * 0.4;
    const double y = rig.layout.plotTop + rig.layout.PlotHeight() * 0.6;
    for (int i = 0; i < state.range(0); ++i)
        rig.view->ZoomAt(x, y, 2.0, rig.layout);
    bool in = true;
    for (auto _ : state) {
        rig.view->ZoomAt(x, y, in ? 1.25 : 0.8, rig.layout);
        in = !in;
        rig.Repaint();
    }
}
BENCHMARK(BM_ZoomRepaint)->Arg(0)->Arg(3)->Arg(7)->Unit(benchmark::kMillisecond);

void BM_PanRepaint(benchmark::State& state) {
    App();
    const auto* survey = Survey();
    if (!survey) {
        state.SkipWithError("no survey: python3 scripts/make_samples.py --survey DIR");
        return;
    }
    Rig rig(survey->model);
    for (int i = 0; i < state.range(0); ++i)
        rig.view->ZoomAt(rig.layout.plotLeft + 3000, rig.layout.plotTop + 3000, 2.0, rig.layout);
    double dx = 75;  // five pixels of a drag
    for (auto _ : state) {
        rig.view->Pan(dx, dx / 2);
        if (rig.view->X0() <= 0 || rig.view->X0() > 7000)
            dx = -dx;
        rig.Repaint();
    }
}
BENCHMARK(BM_PanRepaint)->Arg(0)->Arg(3)->Unit(benchmark::kMillisecond);

}  // namespace
