#pragma once
// The two steps every new trace passes through before a window sees it.

#include "data/record.h"

namespace ws {

// An isolated point without a reading takes the mean of its neighbours.
void FillGaps(Trace& trace);
// Removes single-point spikes and snaps a point on a step to the nearer flat plateau.
void FilterTrace(Trace& trace);
// FillGaps always, then FilterTrace when the filter is on and the trace is a thickness scan.
void ConditionTrace(Trace& trace, bool filterOn);

}  // namespace ws
