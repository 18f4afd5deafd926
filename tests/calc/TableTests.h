// Pieces shared by the table tests: the box barge, a row of a grid, and a
// progress that records what it is told.
#pragma once

#include "model/TestShips.h"

#include "calc/CProgress.h"
#include "calc/CTextGrid.h"
#include "model/CShipModel.h"

#include <string>
#include <utility>
#include <vector>

// Box barge 20 x 8 x 4 m (x 0..20, y -4..4, z 0..4), nx x ny x nz panels.
inline void AddBarge(CShipModel& ship, int nx = 8, int ny = 4, int nz = 4) {
    AddGridBox(*ship.AddElement(kindHull), {0, -4, 0}, {20, 4, 4}, nx, ny, nz);
}

inline std::vector<std::string> Row(const CTextGrid& grid, int r) {
    std::vector<std::string> cells;
    for (int c = 0; c < grid.GetCols(); ++c)
        cells.push_back(grid.GetText(r, c));
    return cells;
}

struct RecordingProgress : CProgress {
    void SetRange(int lower, int upper) override { range = {lower, upper}; }
    void SetPos(int pos) override { positions.push_back(pos); }
    std::pair<int, int> range;
    std::vector<int> positions;
};
