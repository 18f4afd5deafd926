#include "UprightText.h"

#include "io/CDxfFile.h"
#include "platform/NumberText.h"

#include <cmath>

namespace {

const char* const kHeaders[kUprightColumns] = {
    "Z[m]",  "Z rel[m]", "V[m^3]", "Rx[m]", "Ry[m]",  "XB[m]",  "YB[m]",
    "ZB[m]", "Af[m^2]",  "xf[m]",  "yf[m]", "Lwl[m]", "Bwl[m]", "S[m^2]",
};

} // namespace

void WriteUprightHeaders(CTextGrid& grid) {
    if (grid.GetCols() != kUprightColumns || grid.GetRows() < 1)
        grid.SetSize(grid.GetRows() < 1 ? 1 : grid.GetRows(), kUprightColumns);
    for (int k = 0; k < kUprightColumns; ++k)
        grid.SetText(0, k, kHeaders[k]);
}

CTextGrid UprightGrid(const CUprightTable& table) {
    CTextGrid grid(static_cast<int>(table.rows.size()) + 1, kUprightColumns);
    WriteUprightHeaders(grid);
    int r = 1;
    for (const CUprightRow& row : table.rows) {
        for (int k = 0; k < kUprightColumns; ++k) {
            const double x = row[static_cast<std::size_t>(k)];
            grid.SetText(r, k,
                         std::isnan(x) ? std::string("-") : FormatC(k < 2 ? "%.4g" : "%g", x));
        }
        ++r;
    }
    return grid;
}

void DrawWaterline(CDxfFile& drawing, double z, const std::vector<CSegment>& waterline) {
    for (const CSegment& s : waterline) {
        CVector3 a, b;
        s.PointAt(0, a);
        s.PointAt(1, b);
        a.Set(a.X(), a.Y(), z);
        b.Set(b.X(), b.Y(), z);
        drawing.WriteLine(a, b);
    }
}
