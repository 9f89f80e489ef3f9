#include <QImage>
#include <cstdio>
#include <memory>

#include "cli/cli.h"
#include "data/numbers.h"
#include "data/record.h"
#include "profile/profile_view.h"
#include "ui/qt_printer.h"
#include "ui/qt_surface.h"

namespace ws::cli {
namespace {

bool EndsWith(const std::string& s, const char* tail) {
    const std::string t = tail;
    if (s.size() < t.size())
        return false;
    std::string end = s.substr(s.size() - t.size());
    for (char& c : end)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return end == t;
}

int Usage(const char* why, const std::string& what) {
    return UsageError("profile", why, what);
}

}  // namespace

int RunProfile(const Args& args) {
    std::string file, out, range;
    std::vector<std::pair<double, double>> marks;
    int zoom = 1;
    double centerMm = -1;
    for (ArgCursor words(args); words.Next();) {
        const std::string& a = words.Word();
        std::string v;
        if (a == "-o" || a == "--output") {
            if (!words.Value(out))
                return Usage("нет имени файла после ", a);
        } else if (a == "--mark") {
            double from = 0, to = 0;
            if (!words.Value(v) || !ParseRange(v, from, to))
                return Usage("--mark ждет FROM-TO в мм, получено ", v);
            marks.emplace_back(from, to);
        } else if (a == "--zoom") {
            if (!words.Value(v) || v.find_first_not_of("0123456789") != std::string::npos ||
                v.empty() || v.size() > 5 || std::stoi(v) < 1 || std::stoi(v) > 16384)
                return Usage("--zoom ждет целое 1..16384, получено ", v);
            zoom = std::stoi(v);
        } else if (a == "--center") {
            if (!words.Value(v) || v.empty() ||
                v.find_first_not_of("0123456789.") != std::string::npos)
                return Usage("--center ждет координату в мм, получено ", v);
            centerMm = NumericPrefix(v);
        } else if (a == "--range") {
            if (!words.Value(range) || (range != "min-max" && range != "0-max"))
                return Usage("--range ждет min-max или 0-max, получено ", range);
        } else if (const int taken = TakeFile("profile", a, file); taken != kOk) {
            return taken;
        }
    }
    if (file.empty())
        return Usage("не указан файл", "");
    const bool pdf = EndsWith(out, ".pdf"), png = EndsWith(out, ".png");
    if (!pdf && !png)
        return Usage("-o ждет имя файла .pdf или .png, получено ", out);

    auto ws = std::make_unique<Workspace>();
    if (!LoadForCli(*ws, file, false))
        return kFailed;
    if (ws->Regime != kRegimeScan || ws->PointCount < 1) {
        std::fprintf(stderr, "wallscan-cli profile: %s: не трасса сканирования\n", file.c_str());
        return kFailed;
    }
    ws->RangeFromZero = range != "min-max";
    // Assigned as a character: GCC 12 warns falsely (-Wrestrict) on the literal here.
    ws->DecimalSeparator.assign(1, '.');

    ProfileView view(*ws);
    // The window's picture: 8800 x 6500 twips at the screen's 96 dpi.
    ImageSurface window(TwipsToPx(8800), TwipsToPx(6500), 96.0);
    view.Load(window);
    for (const auto& [from, to] : marks)
        view.MarkRange(from, to);
    view.Zoom = static_cast<int16_t>(zoom);
    if (centerMm >= 0)
        view.CenterIndex = CIntS(std::min(centerMm / kPointSpacingMm, ws->PointCount - 1.0));
    view.Redraw(window);

    if (png) {
        view.DrawLabels(window);
        if (!window.Image().save(QString::fromStdString(out), "PNG")) {
            std::fprintf(stderr, "wallscan-cli profile: %s: не удалось записать файл\n",
                         out.c_str());
            return kFailed;
        }
        return kOk;
    }
    QtPrinter printer(out);
    Surface* page = printer.BeginDocument(true);
    if (!page) {
        std::fprintf(stderr, "wallscan-cli profile: %s: не удалось записать файл\n", out.c_str());
        return kFailed;
    }
    view.PrintProfile(*page, view.ComputeRange());
    if (!printer.EndDocument()) {
        std::fprintf(stderr, "wallscan-cli profile: %s: не удалось записать файл\n", out.c_str());
        return kFailed;
    }
    return kOk;
}

}  // namespace ws::cli
