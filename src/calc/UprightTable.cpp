#include "UprightTable.h"
#include "ParallelInOrder.h"
#include "StepCount.h"

#include "geometry/CHydroProperties.h"
#include "geometry/CMatrix.h"
#include "geometry/Scalar.h"
#include "model/CShipModel.h"

#include <cmath>
#include <vector>

namespace {

const double kNoValue = std::nan("");

// One row and the waterline segments it drew.
struct CRow {
    CUprightRow values;
    std::vector<CSegment> waterline;
};

void ComputeRow(const CShipModel& ship, const CUprightInputs& in, const CMatrixBase& r, int i,
                bool drawing, CRow& row) {
    const double z = i * in.dz + in.zmin;
    const double heel = DegToRad(WithoutWholeTurns(in.heel));
    const double trim = DegToRad(WithoutWholeTurns(in.trim));
    CHydroProperties p;
    p.SetCollect(true);
    ship.ImmersedProperties(p, z, r, CHydroMethod::For(in.rule));
    if (drawing)
        row.waterline.assign(p.m_waterline.begin(), p.m_waterline.end());
    p.ComputeWaterplane();

    double* c = row.values.data();
    row.values.fill(kNoValue);
    c[0] = z;
    c[1] = i * in.dz;
    // The record's own fields are rounded: the centres and radii below are
    // taken from the rounded volume and area.
    RoundTo(&p.m_volume, 4);
    c[2] = p.m_volume;
    if (p.m_volume == 0)
        return;
    CVector3 b;
    p.BuoyancyCentre(b, z, heel, trim);
    c[5] = RoundTo(b.X(), 4);
    c[6] = RoundTo(b.Y(), 4);
    c[7] = RoundTo(b.Z(), 4);
    RoundTo(&p.m_waterplane_area, 4);
    if (!(p.m_waterplane_area > 0))
        return;
    RoundTo(&p.m_wetted_area, 4);
    c[13] = p.m_wetted_area;
    double rx = 0, ry = 0;
    p.MetacentricRadii(rx, ry, z, heel, trim);
    c[3] = RoundTo(rx, 4);
    c[4] = RoundTo(ry, 4);
    c[8] = p.m_waterplane_area;
    CVector3 f;
    p.FloatationCentre(f, z, heel, trim);
    c[9] = RoundTo(f.X(), 4);
    c[10] = RoundTo(f.Y(), 4);
    RoundTo(&p.m_waterline_length, 4);
    RoundTo(&p.m_waterline_breadth, 4);
    c[11] = p.m_waterline_length;
    c[12] = p.m_waterline_breadth;
}

} // namespace

CImmersedBody ImmersedBody(const CShipModel& ship, const CHydroMethod& method) {
    double area, volume;
    CVector3 centre;
    ship.VolumeCentroid(area, volume, centre, method);
    CImmersedBody body;
    body.volume = RoundTo(volume, 3);
    body.xb = RoundTo(centre.X(), 3);
    body.yb = RoundTo(centre.Y(), 3);
    body.zb = RoundTo(centre.Z(), 3);
    return body;
}

void OpenUprightTable(const CShipModel& ship, CUprightInputs& in, CImmersedBody& body) {
    // Every opening starts from the dialog's construction values.
    const IntegrationRule rule = in.rule;
    in = CUprightInputs();
    in.rule = rule;
    body = ImmersedBody(ship, CHydroMethod::For(rule));
    in.heel = 0;
    in.trim = 0;
    CRotationMatrix identity;
    identity.SetRotation(0, 0, 0);
    ship.ZRange(identity, in.zmin, in.zmax);
    in.dz = std::trunc((in.zmax - in.zmin) * 100 / 5) * 0.01;
}

CCalcCheck CheckUprightInputs(const CUprightInputs& in) {
    for (const auto& [name, value] :
         {std::pair{"zmin", in.zmin}, std::pair{"zmax", in.zmax}, std::pair{"dz", in.dz},
          std::pair{"heel", in.heel}, std::pair{"trim", in.trim}})
        if (!std::isfinite(value))
            return Problem(CalcRule::notANumber, name, value);
    if (in.zmin > in.zmax)
        return Problem(CalcRule::aboveOther, "zmin", in.zmin, in.zmax, "zmax");
    if (!(in.dz > 0))
        return Problem(CalcRule::notAbove, "dz", in.dz);
    if (std::fabs(in.zmin - in.zmax) < in.dz)
        return Problem(CalcRule::narrowerThanStep, "zmin", in.zmax - in.zmin, in.dz, "zmax");
    // A step so fine that the table could not be held.
    if (const double rows = StepCount(in.zmax - in.zmin, in.dz); rows >= kMaxUprightRows)
        return Problem(CalcRule::tooMany, "dz", rows + 1, kMaxUprightRows);
    return std::nullopt;
}

int UprightRowCount(const CUprightInputs& in) {
    return static_cast<int>(StepCount(in.zmax - in.zmin, in.dz)) + 1;
}

CUprightTable ComputeUprightTable(const CShipModel& ship, const CUprightInputs& in,
                                  const CCalcRun& run, const CWaterlineSink& waterlines) {
    const int n = UprightRowCount(in) - 1;
    CRotationMatrix r;
    r.SetRotation(DegToRad(WithoutWholeTurns(in.heel)), DegToRad(WithoutWholeTurns(in.trim)), 0);
    if (run.progress) {
        run.progress->SetRange(0, n + 1);
        run.progress->SetPos(1);
    }
    // Rows are independent: they are computed on all cores, each from its
    // own record, and handed over in order as soon as every row before them
    // is done, so that the waterlines and the progress see them one by one
    // exactly as a serial run would.
    std::vector<CRow> rows(static_cast<std::size_t>(n + 1));
    CUprightTable table;
    table.rows.reserve(rows.size());
    const auto deliver = [&](int i) {
        CRow& row = rows[static_cast<std::size_t>(i)];
        if (waterlines)
            waterlines(row.values[0], row.waterline);
        table.rows.push_back(row.values);
        row = CRow();
        if (run.progress)
            run.progress->SetPos(i + 1);
    };
    ParallelInOrder(
        n + 1,
        [&](int i) {
            ComputeRow(ship, in, r, i, waterlines != nullptr, rows[static_cast<std::size_t>(i)]);
        },
        deliver, run.stop);
    return table;
}
