#pragma once
#include <memory>
#include <string>

#include "data/record.h"

namespace ws::test {

// A relief set as the folder scan leaves it: `traces` files of `points` points each.
inline std::unique_ptr<Workspace> MakeReliefSet(int traces, int points, float mm = 10.0f) {
    auto ws = std::make_unique<Workspace>();
    ws->ReliefFileCount = static_cast<int16_t>(traces);
    ws->ReliefMinPoints = static_cast<int16_t>(points);
    for (int k = 1; k <= traces; ++k) {
        ws->ReliefFileNames[k] = "trace" + std::to_string(k) + ".mem";
        for (int j = 0; j < points; ++j) {
            const float v = mm + 0.01f * static_cast<float>((j * 7 + k) % 50);
            ws->ReliefGrid[k][j] = v;
            ws->ReliefSource[k - 1][j] = v;
        }
    }
    return ws;
}

inline void SetPoint(Workspace& ws, int k, int j, float v) {
    ws.ReliefGrid[k][j] = v;
    ws.ReliefSource[k - 1][j] = v;
}

}  // namespace ws::test
