// Speed of the relief redraw: one full `main` onto the retained image the window shows, and
// one marker step.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <cmath>
#include <memory>

#include "relief/relief_view.h"
#include "ui/qt_surface.h"

namespace {

QGuiApplication& App() {
    static int argc = 1;
    static char name[] = "relief_bench";
    static char* argv[] = {name, nullptr};
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(argc, argv);
    return app;
}

struct Rig {
    Rig(int traces, int points) : ws(std::make_unique<ws::Workspace>()), image(1580, 790, 96) {
        App();
        ws->ReliefFileCount = static_cast<int16_t>(traces);
        ws->ReliefMinPoints = static_cast<int16_t>(points);
        for (int k = 1; k <= traces; ++k) {
            ws->ReliefFileNames[k] = "t" + std::to_string(k) + ".mem";
            for (int j = 0; j < points; ++j) {
                float v = 10.0f + 1.5f * std::sin(j / 40.0f + k);
                if ((j + 7 * k) % 97 == 0)
                    v = 0;
                ws->ReliefGrid[k][j] = v;
                ws->ReliefSource[k - 1][j] = v;
            }
        }
        view = std::make_unique<ws::ReliefView>(*ws);
        view->Frame.Picture1Width = 23700;
        view->Frame.Picture1Height = 11850;
        view->SetCanvas(&image);
        view->OnCanvasResize = [this](double w, double h) {
            const int wPx = static_cast<int>(std::lround(w / image.UnitsPerPixelX()));
            const int hPx = static_cast<int>(std::lround(h / image.UnitsPerPixelY()));
            if (image.Image().width() != wPx || image.Image().height() != hPx)
                image.Resize(wPx, hPx);
        };
        view->BuildRelief();
    }
    std::unique_ptr<ws::Workspace> ws;
    ws::ImageSurface image;
    std::unique_ptr<ws::ReliefView> view;
};

void Redraw(benchmark::State& state) {
    Rig rig(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    for (auto _ : state) {
        rig.view->main();
        benchmark::DoNotOptimize(rig.image.Image().constBits());
    }
    state.counters["polygons"] = rig.view->PolygonsDrawn;
}
// The redraw may use a second thread: the time is the wall clock, the CPU time that of the
// whole process.
BENCHMARK(Redraw)
    ->Args({10, 4200})
    ->Args({3, 500})
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

void RedrawZoomed(benchmark::State& state) {
    Rig rig(10, 4200);
    for (int i = 0; i < 4; ++i)
        rig.view->ZoomIn();
    for (auto _ : state) {
        rig.view->main();
        benchmark::DoNotOptimize(rig.image.Image().constBits());
    }
    state.counters["polygons"] = rig.view->PolygonsDrawn;
}
BENCHMARK(RedrawZoomed)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

void MarkerStep(benchmark::State& state) {
    Rig rig(10, 4200);
    bool forward = true;
    for (auto _ : state) {
        rig.view->Navigate(forward ? ws::NavCommand::Forward : ws::NavCommand::Back);
        forward = !forward;
    }
}
BENCHMARK(MarkerStep)->Unit(benchmark::kMicrosecond);

}  // namespace
