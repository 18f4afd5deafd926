// What every compute is handed besides its ship and inputs: where to report
// progress and whether to stop. Every calculation has one shape:
//   XxxInputs                    a plain struct, in m, m^3, t, t/m^3, deg
//   CheckXxx(ship, inputs)       CCalcCheck: the problem, or none
//   ComputeXxx(ship, inputs, run) numbers (rows, cells, records), no text
// and the front ends word the problems and format the numbers (src/report).
#pragma once

#include "CProgress.h"
#include "StopRequest.h"

struct CCalcRun {
    CProgress* progress = nullptr;      // rows, cells or stations done
    const CStopRequest* stop = nullptr; // checked between them
    CProgress* outer = nullptr;         // the outer loop's, for tables of two
};
