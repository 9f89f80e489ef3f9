// Speed of the profile viewer: a full redraw onto the window's picture, and one pointer move.

#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <memory>

#include "profile/profile_view.h"
#include "ui/qt_surface.h"

namespace {

struct Rig {
    std::unique_ptr<ws::Workspace> workspace = std::make_unique<ws::Workspace>();
    std::unique_ptr<ws::ProfileView> view;
    std::unique_ptr<ws::ImageSurface> picture;
    Rig() {
        workspace->Regime = 255;
        workspace->PointCount = 4100;
        for (int i = 0; i < 4100; ++i)
            workspace->Thickness[static_cast<size_t>(i)] =
                8.0f + 0.5f * static_cast<float>((i * 37) % 11) / 11.0f;
        view = std::make_unique<ws::ProfileView>(*workspace);
        picture = std::make_unique<ws::ImageSurface>(587, 433, 96.0);
        view->Load(*picture);
        view->MarkRange(2000, 3000);
    }
};

QGuiApplication* App() {
    static int argc = 1;
    static char arg0[] = "profile_bench";
    static char* argv[] = {arg0, nullptr};
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(argc, argv);
    return &app;
}

void BM_Redraw(benchmark::State& state) {
    App();
    Rig rig;
    rig.view->Zoom = static_cast<int16_t>(state.range(0));
    rig.view->CenterIndex = 2000;
    for (auto _ : state) {
        rig.view->Redraw(*rig.picture);
        benchmark::DoNotOptimize(rig.picture->Image().constBits());
    }
}
BENCHMARK(BM_Redraw)->Arg(1)->Arg(16)->Unit(benchmark::kMillisecond);

void BM_PointerMove(benchmark::State& state) {
    App();
    Rig rig;
    float x = 2000;
    for (auto _ : state) {
        rig.view->MouseMove(*rig.picture, x, 3000);
        x = x > 8000 ? 2000 : x + 37;
    }
}
BENCHMARK(BM_PointerMove)->Unit(benchmark::kMicrosecond);

}  // namespace
