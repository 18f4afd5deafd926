#include "UprightTable.h"
#include "ParallelInOrder.h"
#include "StepCount.h"

#include "geometry/CHydroProperties.h"
#include "geometry/CMatrix.h"
#include "geometry/Scalar.h"
#include "io/CDxfFile.h"
#include "model/CShipModel.h"
#include "platform/NumberText.h"

#include <cmath>
#include <vector>

namespace {

const char* const kHeaders[kUprightColumns] = {
    "Z[m]",  "Z rel[m]", "V[m^3]", "Rx[m]", "Ry[m]",  "XB[m]",  "YB[m]",
    "ZB[m]", "Af[m^2]",  "xf[m]",  "yf[m]", "Lwl[m]", "Bwl[m]", "S[m^2]",
};

std::string G(double x) {
    return FormatC("%g", x);
}

// A cell without a value. Assigned as a string, not a literal: GCC 12 warns
// falsely (-Wrestrict) on a literal assigned into an array of strings.
const std::string kNoValue = "-";

// One row of the table and the waterline segments it drew.
struct CRow {
    std::string cells[kUprightColumns];
    std::vector<CSegment> waterline;
};

void ComputeRow(const CShipModel& ship, const CUprightInputs& in, const CMatrixBase& r, int i,
                bool drawing, CRow& row) {
    const double z = i * in.dz + in.zmin;
    const double heel = DegToRad(WithoutWholeTurns(in.heel));
    const double trim = DegToRad(WithoutWholeTurns(in.trim));
    CHydroProperties p;
    p.SetCollect(true);
    ship.ImmersedProperties(p, z, r);
    if (drawing)
        row.waterline.assign(p.m_waterline.begin(), p.m_waterline.end());
    p.ComputeWaterplane();

    std::string* c = row.cells;
    c[0] = FormatC("%.4g", z);
    c[1] = FormatC("%.4g", i * in.dz);
    // The record's own fields are rounded: the centres and radii below are
    // taken from the rounded volume and area.
    RoundTo(&p.m_volume, 4);
    c[2] = G(p.m_volume);
    RoundTo(&p.m_wetted_area, 4);
    c[13] = G(p.m_wetted_area);
    if (p.m_volume == 0) {
        for (int k = 3; k <= 13; ++k)
            c[k] = kNoValue;
        return;
    }
    CVector3 b;
    p.BuoyancyCentre(b, z, heel, trim);
    c[5] = G(RoundTo(b.X(), 4));
    c[6] = G(RoundTo(b.Y(), 4));
    c[7] = G(RoundTo(b.Z(), 4));
    RoundTo(&p.m_waterplane_area, 4);
    if (p.m_waterplane_area > 0) {
        double rx = 0, ry = 0;
        p.MetacentricRadii(rx, ry, z, heel, trim);
        c[3] = G(RoundTo(rx, 4));
        c[4] = G(RoundTo(ry, 4));
        c[8] = G(p.m_waterplane_area);
        CVector3 f;
        p.FloatationCentre(f, z, heel, trim);
        c[9] = G(RoundTo(f.X(), 4));
        c[10] = G(RoundTo(f.Y(), 4));
        RoundTo(&p.m_waterline_length, 4);
        RoundTo(&p.m_waterline_breadth, 4);
        c[11] = G(p.m_waterline_length);
        c[12] = G(p.m_waterline_breadth);
    } else {
        for (int k : {3, 4, 8, 9, 10, 11, 12, 13})
            c[k] = kNoValue;
    }
}

} // namespace

CImmersedBody ImmersedBody(const CShipModel& ship) {
    double area, volume;
    CVector3 centre;
    ship.VolumeCentroid(area, volume, centre);
    CImmersedBody body;
    body.volume = RoundTo(volume, 3);
    body.xb = RoundTo(centre.X(), 3);
    body.yb = RoundTo(centre.Y(), 3);
    body.zb = RoundTo(centre.Z(), 3);
    return body;
}

void OpenUprightTable(const CShipModel& ship, CUprightInputs& in, CImmersedBody& body) {
    // Every opening starts from the dialog's construction values.
    in = CUprightInputs();
    body = ImmersedBody(ship);
    in.heel = 0;
    in.trim = 0;
    CRotationMatrix identity;
    identity.SetRotation(0, 0, 0);
    ship.ZRange(identity, in.zmin, in.zmax);
    in.dz = std::trunc((in.zmax - in.zmin) * 100 / 5) * 0.01;
}

const char* CheckUprightInputs(const CUprightInputs& in) {
    const char* const message =
        "Verificare il corretto inserimento dei dati relativi a zmin e zmax";
    if (!std::isfinite(in.zmin) || !std::isfinite(in.zmax) || !std::isfinite(in.dz) ||
        !std::isfinite(in.heel) || !std::isfinite(in.trim))
        return message;
    if (in.zmin > in.zmax || std::fabs(in.zmin - in.zmax) < in.dz || !(in.dz > 0))
        return message;
    // A step so fine that the table could not be held is refused the same way.
    if (StepCount(in.zmax - in.zmin, in.dz) >= kMaxUprightRows)
        return message;
    return nullptr;
}

int UprightRowCount(const CUprightInputs& in) {
    return static_cast<int>(StepCount(in.zmax - in.zmin, in.dz)) + 1;
}

void WriteUprightHeaders(CTextGrid& grid) {
    if (grid.GetCols() != kUprightColumns || grid.GetRows() < 1)
        grid.SetSize(grid.GetRows() < 1 ? 1 : grid.GetRows(), kUprightColumns);
    for (int k = 0; k < kUprightColumns; ++k)
        grid.SetText(0, k, kHeaders[k]);
}

void ComputeUprightTable(const CShipModel& ship, const CUprightInputs& in, CTextGrid& grid,
                         CDxfFile* drawing, CProgress* progress) {
    const int n = UprightRowCount(in) - 1;
    CRotationMatrix r;
    r.SetRotation(DegToRad(WithoutWholeTurns(in.heel)), DegToRad(WithoutWholeTurns(in.trim)), 0);
    grid.SetSize(n + 2, kUprightColumns);
    WriteUprightHeaders(grid);
    if (progress) {
        progress->SetRange(0, n + 1);
        progress->SetPos(1);
    }
    // Rows are independent: they are computed on all cores, each from its
    // own record, and handed over in order as soon as every row before them
    // is done, so the grid, the drawing and the progress see them one by
    // one exactly as a serial run would.
    std::vector<CRow> rows(static_cast<std::size_t>(n + 1));
    auto deliver = [&](int i) {
        CRow& row = rows[static_cast<std::size_t>(i)];
        if (drawing) {
            const double z = i * in.dz + in.zmin;
            for (const CSegment& s : row.waterline) {
                CVector3 a, b;
                s.PointAt(0, a);
                s.PointAt(1, b);
                a.Set(a.X(), a.Y(), z);
                b.Set(b.X(), b.Y(), z);
                drawing->WriteLine(a, b);
            }
        }
        for (int k = 0; k < kUprightColumns; ++k)
            grid.SetText(i + 1, k, std::move(row.cells[k]));
        row = CRow();
        if (progress)
            progress->SetPos(i + 1);
    };
    ParallelInOrder(
        n + 1,
        [&](int i) {
            ComputeRow(ship, in, r, i, drawing != nullptr, rows[static_cast<std::size_t>(i)]);
        },
        deliver);
}
