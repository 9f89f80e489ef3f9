#pragma once
// Measurement files written out by hand, so a test reads exactly the bytes a gauge user would
// have on disk, including the odd ones (a count that disagrees with the data, a lone line end).

#include <algorithm>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "data/numbers.h"
#include "data/record.h"

namespace ws::test {

// A .mem file: `count` empty means the number of values, written as the program writes it.
inline std::string MemText(int regime, std::initializer_list<const char*> values,
                           std::string count = {}, const char* eol = "\r\n") {
    if (count.empty())
        count = " " + std::to_string(values.size()) + " ";
    std::string s = std::string("Regime:") + eol + std::to_string(regime) + eol +
                    "Total quantity of points:" + eol + count + eol + "Data:" + eol;
    for (const char* v : values)
        s += std::string(v) + eol;
    return s;
}

// A .mem file of any length, its values written with two decimals as the program writes them.
inline std::string MemOf(int regime, const std::vector<float>& values) {
    std::string s = MemText(regime, {}, " " + std::to_string(values.size()) + " ");
    for (const float v : values)
        s += FixedPoint(v, 2) + "\r\n";
    return s;
}

// The scan most window tests open: a gap between 5.00 and 5.20 that loading fills with 5.10.
inline const std::string kGapScan = MemText(255, {"5.00", "0.00", "5.20"});

// A trace holding `values`, as a download or a loaded file leaves it.
inline Trace TraceOf(const std::vector<float>& values, int16_t regime = kRegimeScan) {
    Trace t;
    t.Regime = regime;
    t.PointCount = static_cast<int32_t>(values.size());
    std::copy(values.begin(), values.end(), t.Thickness.begin());
    return t;
}

// A record holding `values` (a Workspace is too large for the stack).
inline std::unique_ptr<Workspace> WorkspaceWith(std::initializer_list<float> values,
                                                int16_t regime = kRegimeScan) {
    auto ws = std::make_unique<Workspace>();
    ws->Regime = regime;
    ws->PointCount = 0;
    for (const float v : values)
        ws->Thickness[static_cast<size_t>(ws->PointCount++)] = v;
    return ws;
}

}  // namespace ws::test
