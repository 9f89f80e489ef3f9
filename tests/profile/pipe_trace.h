#pragma once
// The trace the threshold and statistics tests share: 300 points of 8 mm with a pit of 5 mm
// over points 100..109 and no contact at point 200.

#include <memory>

#include "data/record.h"

namespace ws::test {

inline std::unique_ptr<Workspace> PipeTrace() {
    auto ws = std::make_unique<Workspace>();
    ws->Regime = kRegimeScan;
    ws->PointCount = 300;
    ws->CurrentFileName = "pipe.mem";
    for (int i = 0; i < 300; ++i)
        ws->Thickness[static_cast<size_t>(i)] = i >= 100 && i < 110 ? 5.0f : 8.0f;
    ws->Thickness[200] = 0.0f;
    return ws;
}

}  // namespace ws::test
