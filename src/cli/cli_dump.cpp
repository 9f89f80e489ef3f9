#include <algorithm>
#include <cstdio>
#include <memory>

#include "cli/cli.h"
#include "data/numbers.h"
#include "data/record.h"
#include "data/trace_file.h"

namespace ws::cli {
namespace {

struct TraceArgs {
    bool filter = false;
    bool localeRu = false;
    std::string file;
};

// Parses [--filter] [--locale-ru] FILE; prints the problem and returns false on bad usage.
bool ParseTraceArgs(const Args& args, bool allowLocale, const char* command, TraceArgs& out) {
    for (const std::string& a : args) {
        if (a == "--filter") {
            out.filter = true;
        } else if (allowLocale && a == "--locale-ru") {
            out.localeRu = true;
        } else if (!a.empty() && a[0] == '-' && a != "-") {
            std::fprintf(stderr, "wallscan-cli %s: неизвестный параметр %s\n", command, a.c_str());
            return false;
        } else if (out.file.empty()) {
            out.file = a;
        } else {
            std::fprintf(stderr, "wallscan-cli %s: лишний аргумент %s\n", command, a.c_str());
            return false;
        }
    }
    if (out.file.empty()) {
        std::fprintf(stderr, "wallscan-cli %s: не указан файл (wallscan-cli %s --help)\n", command,
                     command);
        return false;
    }
    return true;
}

}  // namespace

int RunDump(const Args& args) {
    TraceArgs a;
    if (!ParseTraceArgs(args, false, "dump", a))
        return kUsage;
    auto ws = std::make_unique<Workspace>();
    if (!LoadForCli(*ws, a.file, a.filter))
        return kFailed;
    return WriteStdout(FormatTraceFile(ws->CurrentTrace())) ? kOk : kFailed;
}

std::string FormatCsv(const Trace& trace, bool localeRu) {
    const std::string sep = localeRu ? ";" : ",";
    std::string out;
    if (localeRu)
        out += "\xEF\xBB\xBF";
    out += "point" + sep + "coordinate_mm" + sep + "thickness_mm" + sep + "contact\r\n";
    const int n = std::min(trace.PointCount, kPointSlots);
    for (int i = 0; i < n; ++i) {
        const float t = trace.Thickness[static_cast<size_t>(i)];
        std::string value = FixedPoint(t, 2);
        if (localeRu)
            value.replace(value.find('.'), 1, ",");
        out += std::to_string(i) + sep + std::to_string(i * kPointSpacingMm) + sep + value + sep +
               (t >= 0.01f ? "1" : "0") + "\r\n";
    }
    return out;
}

int RunCsv(const Args& args) {
    TraceArgs a;
    if (!ParseTraceArgs(args, true, "csv", a))
        return kUsage;
    auto ws = std::make_unique<Workspace>();
    if (!LoadForCli(*ws, a.file, a.filter))
        return kFailed;
    return WriteStdout(FormatCsv(ws->CurrentTrace(), a.localeRu)) ? kOk : kFailed;
}

}  // namespace ws::cli
