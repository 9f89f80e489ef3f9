// The .mem reader on arbitrary bytes: it must never crash, never accept a count beyond the file
// limit, and whatever it accepts must survive a save and a second load unchanged.
#include <cmath>
#include <memory>
#include <sstream>

#include "data/trace_file.h"
#include "fuzz_support.h"

using namespace ws;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    // The first byte chooses the filter switch, the rest is the file.
    const bool filterOn = (data[0] & 1) != 0;
    std::istringstream in(std::string(reinterpret_cast<const char*>(data) + 1, size - 1));
    auto base = std::make_unique<Trace>();
    const TraceReadResult r = ParseTraceStream(in, *base, filterOn);
    fuzz::Check(r.status != TraceReadStatus::Missing, "a stream is never missing");
    if (r.status != TraceReadStatus::Ok)
        return 0;
    const Trace& t = r.trace;
    fuzz::Check(t.Regime == 0 || t.Regime == kRegimeScan, "regime is 0 or 255");
    fuzz::Check(t.PointCount >= 0 && t.PointCount <= kMaxFilePoints, "count within 0..4100");
    const std::string saved = FormatTraceFile(t);
    std::istringstream again(saved);
    const TraceReadResult r2 = ParseTraceStream(again, *base, false);
    fuzz::Check(r2.status == TraceReadStatus::Ok, "a saved trace reads back");
    fuzz::Check(r2.trace.PointCount == t.PointCount && r2.trace.Regime == t.Regime,
                "count and regime survive a save");
    for (int i = 0; i < t.PointCount; ++i) {
        const double a = t.Thickness[static_cast<size_t>(i)];
        // Gap filling may legitimately change an isolated zero written back as 0.00.
        const double b = r2.trace.Thickness[static_cast<size_t>(i)];
        if (std::isfinite(a) && std::fabs(a) < 1e7 && a > 0.01)
            fuzz::Check(std::fabs(a - b) <= 0.0051 + std::fabs(a) * 1e-6, "values survive a save");
    }
    return 0;
}
