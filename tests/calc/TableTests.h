// Pieces shared by the table tests: the box barge, a row of a grid, and a
// progress that records what it is told.
#pragma once

#include "model/TestShips.h"

#include "calc/CProgress.h"
#include "calc/SubmergedTrim.h"
#include "geometry/CSectionContour.h"
#include "io/CDxfFile.h"
#include "model/CShipModel.h"
#include "report/BonjeanText.h"
#include "report/CTextGrid.h"
#include "report/InclinedText.h"
#include "report/UprightText.h"

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

// The upright table as the dialog shows it, with its waterlines drawn when a
// drawing is given.
inline CTextGrid UprightText(const CShipModel& ship, const CUprightInputs& in,
                             CProgress* progress = nullptr, CDxfFile* drawing = nullptr) {
    CWaterlineSink sink;
    if (drawing)
        sink = [drawing](double z, const std::vector<CSegment>& w) {
            DrawWaterline(*drawing, z, w);
        };
    return UprightGrid(ComputeUprightTable(ship, in, {progress}, sink));
}

// The inclined table written into grid as the dialog writes it, the
// trajectories drawn and the notes taken when asked; false, grid untouched,
// when the check refuses the inputs for want of a body.
inline bool InclinedText(const CShipModel& ship, const CInclinedInputs& in, CTextGrid& grid,
                         CDxfFile* drawing = nullptr, CProgress* volumes = nullptr,
                         CProgress* angles = nullptr,
                         std::vector<CInclinedCellNote>* notes = nullptr) {
    if (const CCalcCheck problem = CheckInclinedInputs(in);
        problem && problem->rule == CalcRule::noVolume)
        return false;
    const CInclinedTable table = ComputeInclinedTable(ship, in, {volumes, nullptr, angles});
    WriteInclinedTable(grid, table);
    if (drawing)
        DrawTrajectories(*drawing, table);
    if (notes)
        *notes = InclinedNotes(table);
    return true;
}

// Both Bonjean grids as the dialog shows them.
inline void BonjeanText(const CShipModel& ship, const CBonjeanInputs& in,
                        const CBonjeanModelData& data, CTextGrid& areas, CTextGrid& moments,
                        CProgress* stations = nullptr, CProgress* waterlines = nullptr) {
    WriteBonjeanGrids(ComputeBonjeanTables(ship, in, data, {stations}), areas, moments,
                      {waterlines});
}

// The sections of every station drawn.
inline void SectionsDrawing(const CShipModel& ship, const CBonjeanInputs& in,
                            const CBonjeanModelData& data, CDxfFile& drawing,
                            CProgress* stations = nullptr) {
    ExtractBonjeanSections(ship, in, data, [&](const CSectionContour& c) { drawing.WriteSection(c); },
                           {stations});
}

// The rule a check or a compute's failure names, noHull standing for none.
template <class Check> CalcRule RuleOf(Check&& check) {
    try {
        const CCalcCheck problem = check();
        return problem ? problem->rule : CalcRule::noHull;
    } catch (const CCalcFailure& e) {
        return e.Problem().rule;
    }
}

// The submerged trim as the dialog runs it: the check, then the search; the
// angles written back in degrees when it settles. The rule that stops it,
// or noHull for none.
inline CalcRule TrimRun(const CShipModel& ship, CSubmergedTrimInputs& in) {
    return RuleOf([&]() -> CCalcCheck {
        if (CCalcCheck problem = CheckSubmergedTrim(ship, in))
            return problem;
        const CSubmergedTrim rest = ComputeSubmergedTrim(ship, in);
        in.heel = rest.heel;
        in.trim = rest.trim;
        return std::nullopt;
    });
}

struct RecordingProgress : CProgress {
    void SetRange(int lower, int upper) override { range = {lower, upper}; }
    void SetPos(int pos) override { positions.push_back(pos); }
    std::pair<int, int> range;
    std::vector<int> positions;
};
