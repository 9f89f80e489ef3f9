#include <QImage>
#include <QString>
#include <cstdio>
#include <memory>

#include "cli/cli.h"
#include "data/folder_scan.h"
#include "data/numbers.h"
#include "data/record.h"
#include "relief/printf_window.h"
#include "relief/relief_view.h"
#include "ui/qt_printer.h"
#include "ui/qt_surface.h"

namespace ws::cli {
namespace {

// The relief window of a common 1600 x 1000 screen at 96 dpi, in twips.
constexpr double kPicture1Width = 23700;
constexpr double kPicture1Height = 11800;

bool EndsWith(const std::string& s, const std::string& tail) {
    if (s.size() < tail.size())
        return false;
    for (size_t i = 0; i < tail.size(); ++i) {
        char c = s[s.size() - tail.size() + i];
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
        if (c != tail[i])
            return false;
    }
    return true;
}

bool NumberArg(const Args& args, size_t& i, const char* name, double& out) {
    if (i + 1 >= args.size()) {
        std::fprintf(stderr, "wallscan-cli relief: после %s нужно число\n", name);
        return false;
    }
    const std::string& v = args[++i];
    out = NumericPrefix(v);
    return true;
}

}  // namespace

int RunRelief(const Args& args) {
    std::string folder, out;
    double theta = -60, phi = -110, zoom = 1, spacing = 1;
    bool haveTheta = false, havePhi = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "-o") {
            if (i + 1 >= args.size()) {
                std::fprintf(stderr, "wallscan-cli relief: после -o нужно имя файла\n");
                return kUsage;
            }
            out = args[++i];
        } else if (a == "--theta") {
            if (!NumberArg(args, i, "--theta", theta))
                return kUsage;
            haveTheta = true;
        } else if (a == "--phi") {
            if (!NumberArg(args, i, "--phi", phi))
                return kUsage;
            havePhi = true;
        } else if (a == "--zoom") {
            if (!NumberArg(args, i, "--zoom", zoom))
                return kUsage;
        } else if (a == "--spacing") {
            if (!NumberArg(args, i, "--spacing", spacing))
                return kUsage;
        } else if (!a.empty() && a[0] == '-') {
            std::fprintf(stderr, "wallscan-cli relief: неизвестный параметр %s\n", a.c_str());
            return kUsage;
        } else if (folder.empty()) {
            folder = a;
        } else {
            std::fprintf(stderr, "wallscan-cli relief: лишний аргумент %s\n", a.c_str());
            return kUsage;
        }
    }
    const bool pdf = EndsWith(out, ".pdf");
    if (folder.empty() || out.empty() || (!pdf && !EndsWith(out, ".png"))) {
        std::fprintf(stderr,
                     "wallscan-cli relief: нужны папка и -o ФАЙЛ.png или ФАЙЛ.pdf "
                     "(wallscan-cli relief --help)\n");
        return kUsage;
    }
    const int zoomSteps[] = {1, 2, 4, 8, 16, 32, 64, 128};
    const int spacings[] = {1, 2, 4, 8, 16};
    bool zoomOk = false, spacingOk = false;
    for (int z : zoomSteps)
        zoomOk = zoomOk || z == zoom;
    for (int s : spacings)
        spacingOk = spacingOk || s == spacing;
    if (!zoomOk || !spacingOk) {
        std::fprintf(stderr,
                     "wallscan-cli relief: --zoom 1, 2, 4 .. 128; --spacing 1, 2, 4, 8 или 16\n");
        return kUsage;
    }

    auto ws = std::make_unique<Workspace>();
    StderrPrompter prompter;
    if (!ScanFolder(*ws, prompter, folder) || ws->ReliefFileCount <= 0) {
        if (prompter.count == 0)
            std::fprintf(stderr, "Нет нужных файлов\n");
        return kFailed;
    }
    ImageSurface canvas(100, 100, 96);
    auto view = std::make_unique<ReliefView>(*ws);
    view->SetCanvas(&canvas);
    view->OnCanvasResize = [&canvas](double w, double h) {
        canvas.Resize(std::max(1, static_cast<int>(std::lround(w / canvas.UnitsPerPixelX()))),
                      std::max(1, static_cast<int>(std::lround(h / canvas.UnitsPerPixelY()))));
    };
    view->Frame.Picture1Width = kPicture1Width;
    view->Frame.Picture1Height = kPicture1Height;
    view->TraceSpacing = static_cast<int16_t>(spacing);
    if (!view->BuildRelief()) {
        std::fprintf(stderr, "Нет нужных файлов\n");
        return kFailed;
    }
    // The same bounds as the window's rotation commands.
    if (haveTheta)
        view->ViewTheta = std::clamp(static_cast<float>(theta), -80.0f, -10.0f);
    if (havePhi)
        view->ViewPhi = std::clamp(static_cast<float>(phi), -170.0f, -95.0f);
    view->ZoomFactor = static_cast<int32_t>(zoom);
    view->ViewScale = view->BaseScale * static_cast<float>(view->ZoomFactor);
    view->main();

    // The page is composed the way the print window composes it.
    const QImage page = ComposeReliefImage(*view, canvas.Image());
    if (pdf) {
        std::unique_ptr<Printer> printer = MakePdfPrinter(out);
        Surface* s = printer ? printer->BeginDocument(true) : nullptr;
        if (!s) {
            std::fprintf(stderr, "Не удалось записать файл %s\n", out.c_str());
            return kFailed;
        }
        DrawImageFitted(*s, page);
        if (!printer->EndDocument()) {
            std::fprintf(stderr, "Не удалось записать файл %s\n", out.c_str());
            return kFailed;
        }
    } else if (!page.save(QString::fromStdString(out), "PNG")) {
        std::fprintf(stderr, "Не удалось записать файл %s\n", out.c_str());
        return kFailed;
    }
    return kOk;
}

}  // namespace ws::cli
