#include <QDate>
#include <QImage>
#include <QString>
#include <cstdio>
#include <memory>

#include "cli/cli.h"
#include "data/numbers.h"
#include "map/map_model.h"
#include "map/map_view.h"
#include "ui/qt_printer.h"
#include "ui/qt_surface.h"

namespace ws::cli {
namespace {

int Usage(const char* why, const std::string& what) {
    return UsageError("map", why, what);
}

bool EndsWithNoCase(const std::string& s, const std::string& tail) {
    if (s.size() < tail.size())
        return false;
    for (size_t i = 0; i < tail.size(); ++i) {
        const char c = static_cast<char>(
            std::tolower(static_cast<unsigned char>(s[s.size() - tail.size() + i])));
        if (c != tail[i])
            return false;
    }
    return true;
}

bool ParseMm(const std::string& text, double& out) {
    if (text.empty() || text.find_first_not_of("0123456789.") != std::string::npos ||
        text.find_first_of("0123456789") == std::string::npos)
        return false;
    out = NumericPrefix(text);
    return out > 0 && out <= 1000;
}

}  // namespace

int RunMap(const Args& args) {
    std::string folder, out;
    double tmin = 0, tnom = 0, spacing = 10;
    for (ArgCursor words(args); words.Next();) {
        const std::string& a = words.Word();
        std::string v;
        if (a == "-o" || a == "--output") {
            if (!words.Value(out))
                return Usage("нет имени файла после ", a);
        } else if (a == "--tmin") {
            if (!words.Value(v) || !ParseMm(v, tmin))
                return Usage("--tmin ждет толщину в мм больше 0, получено ", v);
        } else if (a == "--tnom") {
            if (!words.Value(v) || !ParseMm(v, tnom))
                return Usage("--tnom ждет толщину в мм больше 0, получено ", v);
        } else if (a == "--spacing") {
            if (!words.Value(v) || !ParseMm(v, spacing))
                return Usage("--spacing ждет расстояние в мм больше 0, получено ", v);
        } else if (const int taken = TakeFile("map", a, folder); taken != kOk) {
            return taken;
        }
    }
    if (folder.empty())
        return Usage("не указана папка", "");
    const bool pdf = EndsWithNoCase(out, ".pdf"), png = EndsWithNoCase(out, ".png");
    if (!pdf && !png)
        return Usage("-o ждет имя файла .pdf или .png, получено ", out);

    const MapLoadResult load = LoadMapFolder(folder, false);
    if (load.noFiles) {
        std::fprintf(stderr, "нет файлов\n");
        return kFailed;
    }
    if (!load.skipped.empty())
        std::fprintf(stderr, "%s\n", SkippedMessage(load.skipped).c_str());
    if (load.model.Rows() == 0)
        return kFailed;
    MapView view(load.model);
    view.SetThresholds({static_cast<float>(tnom), static_cast<float>(tmin)});
    view.SetSpacing(spacing);
    const std::string date =
        QDate::currentDate().toString(QStringLiteral("dd/MM/yyyy")).toStdString();
    if (png) {
        // A landscape A4 page at 150 dpi, as the window saves it.
        ImageSurface page(1754, 1240, 150);
        page.Clear(kWhite);
        view.DrawPage(page, date);
        if (!page.Image().save(QString::fromStdString(out), "PNG")) {
            std::fprintf(stderr, "wallscan-cli map: %s: не удалось записать файл\n", out.c_str());
            return kFailed;
        }
        return kOk;
    }
    QtPrinter printer(out);
    Surface* page = printer.BeginDocument(true);
    if (!page) {
        std::fprintf(stderr, "wallscan-cli map: %s: не удалось записать файл\n", out.c_str());
        return kFailed;
    }
    view.DrawPage(*page, date);
    if (!printer.EndDocument()) {
        std::fprintf(stderr, "wallscan-cli map: %s: не удалось записать файл\n", out.c_str());
        return kFailed;
    }
    return kOk;
}

}  // namespace ws::cli
