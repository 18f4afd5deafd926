#include "InclinedText.h"

#include "geometry/Scalar.h"
#include "io/CDxfFile.h"
#include "platform/NumberText.h"

void WriteInclinedHeaders(CTextGrid& grid) {
    grid.SetSize(kInclinedGridRows, kInclinedGridCols);
    grid.SetText(0, 1, "Teta [°]");
    grid.SetText(1, 0, "V [m^3]");
    SetInclinedLeverHeader(grid, EvenKeelKZ);
}

void SetInclinedLeverHeader(CTextGrid& grid, CalculationKind kind) {
    grid.SetText(1, 1, kind == EvenKeelKZ ? "KZ [m]" : "GZ [m]");
}

std::string InclinedAngleText(double angle) {
    return FormatC("%.4g", RoundTo(angle, 2));
}

std::string InclinedVolumeText(double volume) {
    return FormatC("%.3g", volume);
}

void WriteInclinedTable(CTextGrid& grid, const CInclinedTable& table) {
    const int nV = static_cast<int>(table.volumes.size()) - 1;
    const int nA = static_cast<int>(table.angles.size()) - 1;
    grid.SetSize(nV + 3, nA + 3);
    for (int i = 0; i <= nA; ++i)
        grid.SetText(0, i + 2, InclinedAngleText(table.angles[static_cast<std::size_t>(i)]));
    for (int j = 0; j <= nV; ++j)
        grid.SetText(j + 2, 0, InclinedVolumeText(table.volumes[static_cast<std::size_t>(j)]));
    for (int i = 0; i <= nA; ++i)
        for (int j = 0; j <= nV; ++j) {
            const CInclinedCell& c =
                table.At(static_cast<std::size_t>(i), static_cast<std::size_t>(j));
            if (c.computed)
                grid.SetText(j + 2, i + 2, c.ok ? FormatC("%.4G", c.lever) : std::string("-"));
        }
}

void DrawTrajectories(CDxfFile& drawing, const CInclinedTable& table) {
    for (const std::vector<CVector3>& path : InclinedTrajectories(table)) {
        if (path.empty())
            continue;
        drawing.BeginPolyline(0, 0, 0);
        for (const CVector3& p : path)
            drawing.WriteVertex(p, 0, 0, 0, 0, 0);
        drawing.EndPolyline();
    }
}

std::string DescribeInclinedNote(const CInclinedCellNote& note) {
    const char* why = "";
    switch (note.fault) {
    case CInclinedFault::volumeOutOfRange:
        why = "the volume is not within the ship's total volume";
        break;
    case CInclinedFault::notConverged:
        why = "the search did not settle";
        break;
    case CInclinedFault::noValue:
        why = "the lever is not a number";
        break;
    }
    return FormatC("cell (%d, %d), V = %.10g m^3, Teta = %.10g deg, shows \"-\": %s", note.row,
                   note.col, note.volume, note.angle, why);
}
