#include "BonjeanTable.h"
#include "ParallelInOrder.h"
#include "StepCount.h"

#include "geometry/CSectionContour.h"
#include "io/CTextTokenizer.h"
#include "model/CShipModel.h"
#include "platform/NumberText.h"

#include <cmath>

namespace {

// A station sits this far inside the hull's ends, so that its plane never
// runs through the end vertices alone.
constexpr double kNudge = 0.00001;

} // namespace

bool OpenBonjeanTables(const CShipModel& ship, CBonjeanModelData& data) {
    data = CBonjeanModelData();
    CVector3 min, max;
    if (!ship.HullExtents(min, max))
        return false;
    data.xmin = min.X();
    data.zmin = min.Z();
    data.xmax = max.X();
    data.zmax = max.Z();
    return true;
}

CCalcCheck CheckBonjeanInputs(const CShipModel* ship, const CBonjeanInputs& in,
                              const CBonjeanModelData& data) {
    if (!ship)
        return Problem(CalcRule::noHull);
    for (const auto& [name, value] :
         {std::pair{"zstart", in.zstart}, std::pair{"zend", in.zend}, std::pair{"dz", in.dz},
          std::pair{"station0", in.station0}, std::pair{"station20", in.station20}})
        if (!std::isfinite(value))
            return Problem(CalcRule::notANumber, name, value);
    if (std::string entry; FindStationThatIsNotANumber(in.extra, entry))
        return Problem(CalcRule::notANumber, "extra", 0, 0, entry);
    if (in.zstart > in.zend)
        return Problem(CalcRule::aboveOther, "zstart", in.zstart, in.zend, "zend");
    if (data.xmin > in.station0)
        return Problem(CalcRule::notAtLeast, "station0", in.station0, data.xmin);
    if (in.zend - in.zstart < in.dz)
        return Problem(CalcRule::narrowerThanStep, "dz", in.zend - in.zstart, in.dz, "zstart,zend");
    if (in.dz == 0 && in.zend - in.zstart > 0)
        return Problem(CalcRule::zeroStep, "dz", in.zend - in.zstart);
    // A negative step would count waterlines backwards; too fine a one would
    // ask for more rows than can be held.
    if (in.dz < 0)
        return Problem(CalcRule::notAtLeast, "dz", in.dz);
    if (in.dz > 0) {
        if (const double steps = StepCount(in.zend - in.zstart, in.dz);
            steps >= kMaxBonjeanWaterlines)
            return Problem(CalcRule::tooMany, "dz", steps + 1, kMaxBonjeanWaterlines);
    }
    const double columns =
        kBonjeanRegularStations + static_cast<double>(ReadAdditionalStations(in.extra).size());
    if (const double cells = (BonjeanWaterlineCount(in) + 1.0) * (columns + 1);
        cells > kMaxBonjeanCells)
        return Problem(CalcRule::tooMany, "extra", cells, kMaxBonjeanCells);
    return std::nullopt;
}

int BonjeanWaterlineCount(const CBonjeanInputs& in) {
    if (in.dz == 0)
        return 1;
    return static_cast<int>(StepCount(in.zend - in.zstart, in.dz)) + 1;
}

namespace {

// The stations up to the first entry that is not a number; false, with that
// entry, when there is one.
bool ReadStations(const std::string& text, std::vector<double>& stations, std::string& entry) {
    CTextTokenizer tokens(text);
    const int count = tokens.CountTokens();
    tokens.Reset();
    for (int i = 0; i < count; ++i) {
        const std::int32_t at = tokens.GetPosition();
        double v = 0;
        if (!tokens.ReadDouble(v)) {
            tokens.SetPosition(at);
            entry = tokens.NextToken();
            return false;
        }
        stations.push_back(v);
    }
    return true;
}

} // namespace

std::vector<double> ReadAdditionalStations(const std::string& text) {
    std::vector<double> stations;
    std::string entry;
    ReadStations(text, stations, entry);
    return stations;
}

bool FindStationThatIsNotANumber(const std::string& text, std::string& entry) {
    std::vector<double> stations;
    return !ReadStations(text, stations, entry);
}

std::vector<double> BonjeanStations(const CBonjeanInputs& in, const CBonjeanModelData& data,
                                    bool forDrawing) {
    std::vector<double> xs;
    const double s = (in.station20 - in.station0) / 20;
    double x = in.station0;
    // The nudge stays in x and moves every later station with it.
    for (int j = 1; j <= kBonjeanRegularStations; ++j) {
        if (forDrawing) {
            if (x == data.xmin)
                x = x + kNudge;
        } else {
            if (x <= data.xmin)
                x = x + kNudge;
            if (x >= data.xmax)
                x = x - kNudge;
        }
        xs.push_back(x);
        x = x + s;
    }
    for (double v : ReadAdditionalStations(in.extra)) {
        const double xv = v * s;
        xs.push_back(xv == data.xmin ? xv + kNudge : xv);
    }
    return xs;
}

CBonjeanTables ComputeBonjeanTables(const CShipModel& ship, const CBonjeanInputs& in,
                                    const CBonjeanModelData& data, const CCalcRun& run) {
    CBonjeanTables tables;
    tables.extra = ReadAdditionalStations(in.extra);
    const std::vector<double> xs = BonjeanStations(in, data, false);
    const int m = static_cast<int>(xs.size());
    const int nz = BonjeanWaterlineCount(in);
    if (run.progress) {
        run.progress->SetRange(0, m);
        run.progress->SetPos(1);
    }
    for (int k = 0; k < nz; ++k)
        tables.waterlines.push_back(k * in.dz + in.zstart);
    // The waterlines the sections are cut at, accumulated by adding dz.
    std::vector<double> zs(static_cast<std::size_t>(nz));
    double z = in.zstart;
    for (double& zk : zs) {
        zk = z;
        z = z + in.dz;
    }
    // Each station is cut and integrated at every waterline on its own.
    tables.areas.resize(static_cast<std::size_t>(nz) * static_cast<std::size_t>(m));
    tables.moments.resize(tables.areas.size());
    const auto at = [&](int k, int j) {
        return static_cast<std::size_t>(k) * static_cast<std::size_t>(m) +
               static_cast<std::size_t>(j);
    };
    ParallelInOrder(
        m,
        [&](int j) {
            CSectionContour contour;
            ship.Section(xs[static_cast<std::size_t>(j)], contour);
            for (int k = 0; k < nz; ++k) {
                double lateral;
                contour.Properties(zs[static_cast<std::size_t>(k)], tables.areas[at(k, j)],
                                   tables.moments[at(k, j)], lateral);
            }
        },
        [&](int j) {
            if (run.progress)
                run.progress->SetPos(j + 1);
        },
        run.stop);
    return tables;
}

void ExtractBonjeanSections(const CShipModel& ship, const CBonjeanInputs& in,
                            const CBonjeanModelData& data, const CSectionSink& sections,
                            const CCalcRun& run) {
    const std::vector<double> xs = BonjeanStations(in, data, true);
    const int m = static_cast<int>(xs.size());
    if (run.progress) {
        run.progress->SetRange(0, m);
        run.progress->SetPos(1);
    }
    std::vector<CSectionContour> contours(xs.size());
    ParallelInOrder(
        m,
        [&](int j) {
            ship.Section(xs[static_cast<std::size_t>(j)], contours[static_cast<std::size_t>(j)]);
        },
        [&](int j) {
            CSectionContour& contour = contours[static_cast<std::size_t>(j)];
            sections(contour);
            contour.RemoveAll();
            if (run.progress)
                run.progress->SetPos(j + 1);
        },
        run.stop);
}
