#include <algorithm>
#include <cstdio>
#include <memory>

#include "cli/cli.h"
#include "data/numbers.h"
#include "data/record.h"
#include "data/statistics.h"

namespace ws::cli {
namespace {

int Usage(const char* why, const std::string& what) {
    return UsageError("stats", why, what);
}

}  // namespace

int RunStats(const Args& args) {
    std::string file;
    bool filter = false, json = false;
    Thresholds th;
    std::vector<std::pair<double, double>> marks;
    for (ArgCursor words(args); words.Next();) {
        const std::string& a = words.Word();
        std::string v;
        if (a == "--filter") {
            filter = true;
        } else if (a == "--json") {
            json = true;
        } else if (a == "--mark") {
            double from = 0, to = 0;
            if (!words.Value(v) || !ParseRange(v, from, to))
                return Usage("--mark ждет FROM-TO в мм, получено ", v);
            marks.emplace_back(from, to);
        } else if (a == "--tmin") {
            if (!words.Value(v) || !ParseThickness(v, th.minAllowed))
                return Usage("--tmin ждет толщину в мм больше 0, получено ", v);
        } else if (a == "--tnom") {
            if (!words.Value(v) || !ParseThickness(v, th.nominal))
                return Usage("--tnom ждет толщину в мм больше 0, получено ", v);
        } else if (const int taken = TakeFile("stats", a, file); taken != kOk) {
            return taken;
        }
    }
    if (file.empty())
        return Usage("не указан файл", "");

    auto ws = std::make_unique<Workspace>();
    if (!LoadForCli(*ws, file, filter))
        return kFailed;
    const int64_t n = std::clamp<int64_t>(ws->PointCount, 0, kPointSlots);
    Stats s;
    if (marks.empty()) {
        s = StatsOfTrace(ws->Thickness.data(), n, th);
    } else {
        std::vector<bool> include(static_cast<size_t>(n));
        for (int64_t i = 0; i < n; ++i) {
            const double mm = static_cast<double>(i * kPointSpacingMm);
            for (const auto& [from, to] : marks)
                if (mm >= from && mm <= to)
                    include[static_cast<size_t>(i)] = true;
        }
        s = StatsOfPart(ws->Thickness.data(), n, include, th);
    }
    if (json)
        return WriteStdout(StatsJson(s) + "\n") ? kOk : kFailed;
    std::string out =
        marks.empty() ? "Вся трасса: " + file + "\n" : "Выделенная часть: " + file + "\n";
    for (const StatsLine& line : StatsLines(s, ".")) {
        // Padded by characters, not bytes: the labels are Cyrillic.
        std::string label = line.label;
        size_t chars = 0;
        for (unsigned char c : label)
            chars += (c & 0xC0) != 0x80;
        label.append(chars < 32 ? 32 - chars : 1, ' ');
        out += label + (line.value.empty() ? "-" : line.value) + "\n";
    }
    return WriteStdout(out) ? kOk : kFailed;
}

}  // namespace ws::cli
