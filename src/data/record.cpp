#include "data/record.h"

namespace ws {

Trace Workspace::CurrentTrace() const {
    Trace t;
    t.Regime = Regime;
    t.PointCount = PointCount;
    t.Thickness = Thickness;
    return t;
}

void Workspace::StoreTrace(const Trace& trace) {
    Regime = trace.Regime;
    PointCount = trace.PointCount;
    Thickness = trace.Thickness;
    ArchiveEntryId = 0;
}

}  // namespace ws
