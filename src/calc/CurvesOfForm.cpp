#include "CurvesOfForm.h"
#include "NumberSeries.h"
#include "ParallelInOrder.h"

#include "geometry/CHydroProperties.h"
#include "geometry/CMatrix.h"
#include "geometry/CSectionContour.h"
#include "geometry/ExactIntegrals.h"
#include "geometry/Scalar.h"
#include "model/CShipModel.h"
#include "platform/NumberText.h"

#include <algorithm>
#include <cmath>

namespace {

enum Column {
    colT,
    colTa,
    colTf,
    colTrim,
    colVolume,
    colDisplacement,
    colLcb,
    colTcb,
    colKb,
    colAwp,
    colLcf,
    colTcf,
    colBmt,
    colBml,
    colKmt,
    colKml,
    colTpc,
    colMct,
    colLwl,
    colBwl,
    colWetted,
    colAm,
    colCb,
    colCp,
    colCm,
    colCwp,
    columnCount
};

const CRecordColumn kColumns[columnCount] = {
    {"T[m]", "T_m"},
    {"TA[m]", "TA_m"},
    {"TF[m]", "TF_m"},
    {"trim[m]", "trim_m"},
    {"V[m^3]", "volume_m3"},
    {"Disp[t]", "displacement_t"},
    {"LCB[m]", "LCB_m"},
    {"TCB[m]", "TCB_m"},
    {"KB[m]", "KB_m"},
    {"Awp[m^2]", "Awp_m2"},
    {"LCF[m]", "LCF_m"},
    {"TCF[m]", "TCF_m"},
    {"BMt[m]", "BMt_m"},
    {"BMl[m]", "BMl_m"},
    {"KMt[m]", "KMt_m"},
    {"KMl[m]", "KMl_m"},
    {"TPC[t/cm]", "TPC_t_per_cm"},
    {"MCT1cm[t*m/cm]", "MCT1cm_t_m_per_cm"},
    {"Lwl[m]", "Lwl_m"},
    {"Bwl[m]", "Bwl_m"},
    {"S[m^2]", "S_m2"},
    {"Am[m^2]", "Am_m2"},
    {"Cb", "Cb"},
    {"Cp", "Cp"},
    {"Cm", "Cm"},
    {"Cwp", "Cwp"},
};

// A waterplane area below this fraction of the wetted surface is taken as
// none (areas in m^2: 1e-9 of a 100 m^2 surface is 0.1 mm^2).
inline constexpr double kNoWaterplane = 1e-9;

// The attitude of the table: its rotation and the keel and top in its frame.
struct CAttitude {
    CAttitude(const CShipModel& ship, double heelDeg, double trimDeg)
        : heel(DegToRad(WithoutWholeTurns(heelDeg))), trim(DegToRad(WithoutWholeTurns(trimDeg))) {
        r.SetRotation(heel, trim, 0);
        any = ship.ZRange(r, keel, top);
    }
    double heel, trim;
    CRotationMatrix r;
    double keel = 0, top = 0;
    bool any = false;
};

// The midship section turned so that the waterplane is level in it: (y, z)
// of the plane x = const go to (y'', z'') with z'' along the waterplane's
// normal as it meets the plane. Its area below z'' = c is the area below the
// inclined waterplane; a turn keeps areas.
class CMidshipSection {
public:
    CMidshipSection(const CShipModel& ship, const CAttitude& a, double x) : m_x(x) {
        // z' = r31 x + r32 y + r33 z in the waterplane frame.
        m_r31 = *a.r.Element(3, 1);
        const double r32 = *a.r.Element(3, 2), r33 = *a.r.Element(3, 3);
        m_scale = std::sqrt(r32 * r32 + r33 * r33);
        const double ny = r32 / m_scale, nz = r33 / m_scale;
        CSectionContour cut;
        ship.Section(x, cut);
        for (const CSegment& s : cut) {
            CVector3 p, q;
            s.PointAt(0, p);
            s.PointAt(1, q);
            m_turned.Append(
                CSegment(CVector3(x, nz * p.Y() - ny * p.Z(), ny * p.Y() + nz * p.Z()),
                         CVector3(x, nz * q.Y() - ny * q.Z(), ny * q.Y() + nz * q.Z())));
        }
    }
    // The area below the waterplane z' = d.
    double Area(double d) const {
        double area = 0, moment = 0, lateral = 0;
        m_turned.Properties((d - m_r31 * m_x) / m_scale, area, moment, lateral);
        return area;
    }

private:
    double m_x, m_r31 = 0, m_scale = 1;
    CSectionContour m_turned;
};

// a / b, or no value when b is 0 or either is not a number.
double Ratio(double a, double b) {
    return b != 0 ? a / b : std::nan("");
}

void ComputeRow(const CShipModel& ship, const CAttitude& a, const CCurvesOfFormInputs& in,
                const CShipDatums& datums, double t, double d, const CMidshipSection& midship,
                std::vector<CRecordCell>& row) {
    CHydroProperties p;
    p.SetCollect(false);
    ship.ImmersedProperties(p, d, a.r, CHydroMethod::Exact());
    const double none = std::nan("");
    double c[columnCount];
    for (double& v : c)
        v = none;
    const double v = p.Volume();
    // A waterplane that only touches the hull (a submerged body, a deck just
    // awash) leaves rounding noise of the size of the terms summed: it is no
    // waterplane, and no centre of flotation or metacentre comes from it.
    double awp = p.WaterplaneArea();
    if (!p.HasWaterline() || std::abs(awp) <= kNoWaterplane * p.WettedArea())
        awp = 0;
    const double lwl = p.m_waterline_length, bwl = p.m_waterline_breadth;
    c[colT] = t;
    c[colTa] = DraughtAt(a.r, d, datums.ap, datums.baseline);
    c[colTf] = DraughtAt(a.r, d, datums.fp, datums.baseline);
    c[colTrim] = c[colTa] - c[colTf];
    c[colVolume] = v;
    c[colDisplacement] = in.density * v;
    c[colAwp] = awp;
    c[colLwl] = lwl;
    c[colBwl] = bwl;
    c[colWetted] = p.WettedArea();
    c[colTpc] = in.density * awp / 100;
    const double am = midship.Area(d);
    c[colAm] = am;
    if (v > 0) {
        CVector3 b;
        p.BuoyancyCentre(b, d, a.heel, a.trim);
        c[colLcb] = b.X();
        c[colTcb] = b.Y();
        // Both heights square to the waterplane, B's and K's, where K is
        // the baseline's point at the midship station on the centreline.
        const double k = WaterplaneAt(a.r, 0, datums.Midship(), datums.baseline) - d;
        c[colKb] = p.BuoyancyCentreInFrame().Z() - k;
        c[colCp] = Ratio(v, am * lwl);
        if (t > 0)
            c[colCb] = Ratio(v, lwl * bwl * t);
    }
    if (v > 0 && awp > 0) {
        CVector3 f;
        p.FloatationCentre(f, d, a.heel, a.trim);
        c[colLcf] = f.X();
        c[colTcf] = f.Y();
        double bmt = 0, bml = 0;
        p.MetacentricRadii(bmt, bml, d, a.heel, a.trim);
        c[colBmt] = bmt;
        c[colBml] = bml;
        c[colKmt] = c[colKb] + bmt;
        c[colKml] = c[colKb] + bml;
        // MCT 1 cm = Disp GMl / (100 Lpp), GMl taken as BMl.
        c[colMct] = Ratio(c[colDisplacement] * bml, 100 * datums.Lpp());
    }
    if (t > 0)
        c[colCm] = Ratio(am, bwl * t);
    c[colCwp] = Ratio(awp, lwl * bwl);
    row.assign(columnCount, CRecordCell());
    for (int k = 0; k < columnCount; ++k)
        if (std::isfinite(c[k]))
            row[static_cast<std::size_t>(k)] = CRecordCell(c[k]);
}

} // namespace

bool HullDepth(const CShipModel& ship, double heel, double trim, double& depth) {
    const CAttitude a(ship, heel, trim);
    if (a.any)
        depth = a.top - a.keel;
    return a.any;
}

CCalcCheck CheckCurvesOfFormInputs(const CCurvesOfFormInputs& in) {
    for (const auto& [name, value] : {std::pair{"heel", in.heel}, std::pair{"trim", in.trim}}) {
        if (!std::isfinite(value))
            return Problem(CalcRule::notANumber, name, value);
        if (!(std::fabs(WithoutWholeTurns(value)) < 90))
            return Problem(CalcRule::notBelow, name, value, 90);
    }
    if (!std::isfinite(in.density) || !(in.density > 0))
        return Problem(CalcRule::notAbove, "density", in.density);
    for (const auto& [name, value] :
         {std::pair{"baseline", in.baseline}, std::pair{"ap", in.ap}, std::pair{"fp", in.fp}})
        if (!std::isfinite(value))
            return Problem(CalcRule::notANumber, name, value);
    if (!std::isfinite(in.lpp) || in.lpp < 0)
        return Problem(CalcRule::notAtLeast, "lpp", in.lpp);
    if (in.perpendiculars && in.ap == in.fp)
        return Problem(CalcRule::notAbove, "lpp", 0);
    if (in.draughts.size() > kMaxDraughts)
        return Problem(CalcRule::tooMany, "draughts", static_cast<double>(in.draughts.size()),
                       kMaxDraughts);
    for (double t : in.draughts)
        if (!std::isfinite(t))
            return Problem(CalcRule::notANumber, "draughts", t);
    return std::nullopt;
}

CShipDatums CurvesOfFormDatums(const CShipModel& ship, const CCurvesOfFormInputs& in) {
    CShipDatums datums;
    datums.baseline = in.baseline;
    if (in.perpendiculars) {
        datums.ap = in.ap;
        datums.fp = in.fp;
        datums.source = CShipDatums::Source::given;
        return datums;
    }
    bool found = false;
    if (!in.draughts.empty()) {
        // The level waterline at the deepest draught: upright and on even
        // keel, whatever the table's attitude, so that the perpendiculars
        // are the ship's and not the attitude's.
        const double deepest = *std::max_element(in.draughts.begin(), in.draughts.end());
        CRotationMatrix level;
        level.SetRotation(0, 0, 0);
        CHydroProperties p;
        p.SetCollect(false);
        ship.ImmersedProperties(p, in.baseline + deepest, level, CHydroMethod::Exact());
        found = PerpendicularsAtWaterline(p, in.baseline + deepest, 0, 0, datums);
        datums.source_draught = deepest;
    }
    if (!found)
        PerpendicularsAtHullEnds(ship, datums);
    if (in.lpp > 0)
        CentreLpp(in.lpp, datums);
    return datums;
}

CCalcCheck CheckCurvesOfFormShip(const CShipModel& ship, const CCurvesOfFormInputs& in) {
    const CAttitude a(ship, in.heel, in.trim);
    if (!a.any)
        return Problem(CalcRule::noHull);
    const CShipDatums datums = CurvesOfFormDatums(ship, in);
    const double depth = a.top - a.keel;
    for (double t : in.draughts) {
        const double d = WaterplaneAt(a.r, t, datums.Midship(), datums.baseline);
        if (d < a.keel)
            return Problem(CalcRule::belowHull, "draughts", t,
                           DraughtAt(a.r, a.keel, datums.Midship(), datums.baseline));
        if (d - a.keel > kFarDraughts * depth) {
            CCalcProblem p = Problem(CalcRule::farOffHull, "draughts", t, kFarDraughts);
            p.size = depth;
            return p;
        }
    }
    return std::nullopt;
}

std::vector<CRecordColumn> CurvesOfFormColumns() {
    return {kColumns, kColumns + columnCount};
}

CRecordTable ComputeCurvesOfForm(const CShipModel& ship, const CCurvesOfFormInputs& in,
                                 CShipDatums* datumsOut, const CStopRequest* stop,
                                 CProgress* progress) {
    CRecordTable table;
    table.columns = CurvesOfFormColumns();
    const CAttitude a(ship, in.heel, in.trim);
    const CShipDatums datums = CurvesOfFormDatums(ship, in);
    if (datumsOut)
        *datumsOut = datums;
    const double station = datums.Midship();
    // Draughts and the heights of their waterplanes in the frame; the
    // default's deepest lies exactly at the top of the hull.
    std::vector<double> draughts = in.draughts, heights;
    if (draughts.empty()) {
        const double depth = a.top - a.keel;
        for (int k = 1; k <= 10; ++k)
            heights.push_back(k == 10 ? a.top : a.keel + depth * k / 10);
        for (double d : heights)
            draughts.push_back(DraughtAt(a.r, d, station, datums.baseline));
    } else {
        for (double t : draughts)
            heights.push_back(WaterplaneAt(a.r, t, station, datums.baseline));
    }
    const CMidshipSection midship(ship, a, station);

    table.rows.resize(draughts.size());
    const int count = static_cast<int>(draughts.size());
    if (progress) {
        progress->SetRange(0, count);
        progress->SetPos(0);
    }
    ParallelInOrder(
        count,
        [&](int k) {
            const auto i = static_cast<std::size_t>(k);
            ComputeRow(ship, a, in, datums, draughts[i], heights[i], midship, table.rows[i]);
        },
        [&](int k) {
            if (progress)
                progress->SetPos(k + 1);
        },
        stop);
    return table;
}
