#include "BonjeanTable.h"
#include "ParallelInOrder.h"
#include "StepCount.h"

#include "geometry/CSectionContour.h"
#include "io/CDxfFile.h"
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

const char* CheckBonjeanInputs(const CShipModel* ship, const CBonjeanInputs& in,
                               const CBonjeanModelData& data) {
    const char* const dzMessage = "Verificare il valore di 'dz'! ";
    if (!ship)
        return "Elementi scafo non trovati !!";
    for (double v : {in.zstart, in.zend, in.dz, in.station0, in.station20})
        if (!std::isfinite(v))
            return "Immettere un numero.";
    if (std::string entry; FindStationThatIsNotANumber(in.extra, entry))
        return "Immettere un numero.";
    if (in.zstart > in.zend)
        return "Verificare l'input relativo alle 'z' !";
    if (data.xmin > in.station0)
        return "Verificare l'input relativo alle 'x' !";
    if (in.zend - in.zstart < in.dz)
        return dzMessage;
    if (in.dz == 0 && in.zend - in.zstart > 0)
        return "Verificare il valore di 'dz' \n o verificare m_z_end! ";
    // A negative step would count waterlines backwards; too fine a one would
    // ask for more rows than can be held.
    if (in.dz < 0 || (in.dz > 0 && StepCount(in.zend - in.zstart, in.dz) >= kMaxBonjeanWaterlines))
        return dzMessage;
    const double columns =
        kBonjeanRegularStations + static_cast<double>(ReadAdditionalStations(in.extra).size());
    if ((BonjeanWaterlineCount(in) + 1.0) * (columns + 1) > kMaxBonjeanCells)
        return "The tables would have more than two million cells: fewer waterlines or stations";
    return nullptr;
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

void ComputeBonjeanTables(const CShipModel& ship, const CBonjeanInputs& in,
                          const CBonjeanModelData& data, CTextGrid& areas, CTextGrid& moments,
                          CProgress* stations, CProgress* waterlines) {
    const std::vector<double> extra = ReadAdditionalStations(in.extra);
    const std::vector<double> xs = BonjeanStations(in, data, false);
    const int m = static_cast<int>(xs.size());
    const int nz = BonjeanWaterlineCount(in);
    if (stations) {
        stations->SetRange(0, m);
        stations->SetPos(1);
    }
    for (CTextGrid* grid : {&areas, &moments}) {
        grid->SetSize(nz + 1, m + 1);
        grid->SetText(0, 0, "");
        for (int k = 0; k < nz; ++k)
            grid->SetText(k + 1, 0, FormatC("%.4g", k * in.dz + in.zstart));
        for (int j = 1; j <= m; ++j)
            grid->SetText(
                0, j,
                j <= kBonjeanRegularStations
                    ? FormatC("%i", j - 1)
                    : FormatC("%.3g",
                              extra[static_cast<std::size_t>(j - kBonjeanRegularStations - 1)]));
    }
    // The waterlines, accumulated by adding dz.
    std::vector<double> zs(static_cast<std::size_t>(nz));
    double z = in.zstart;
    for (double& zk : zs) {
        zk = z;
        z = z + in.dz;
    }
    // Each station is cut and integrated at every waterline on its own.
    std::vector<double> area(static_cast<std::size_t>(nz) * static_cast<std::size_t>(m));
    std::vector<double> moment(area.size());
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
                contour.Properties(zs[static_cast<std::size_t>(k)], area[at(k, j)],
                                   moment[at(k, j)], lateral);
            }
        },
        [&](int j) {
            if (stations)
                stations->SetPos(j + 1);
        });
    if (waterlines) {
        waterlines->SetRange(0, nz);
        waterlines->SetPos(1);
    }
    for (int k = 0; k < nz; ++k) {
        for (int j = 0; j < m; ++j) {
            areas.SetText(k + 1, j + 1, FormatC("%.5g", area[at(k, j)]));
            moments.SetText(k + 1, j + 1, FormatC("%.5g", moment[at(k, j)]));
        }
        if (waterlines)
            waterlines->SetPos(k + 1);
    }
}

void ExtractBonjeanSections(const CShipModel& ship, const CBonjeanInputs& in,
                            const CBonjeanModelData& data, CDxfFile& drawing, CProgress* stations) {
    const std::vector<double> xs = BonjeanStations(in, data, true);
    const int m = static_cast<int>(xs.size());
    if (stations) {
        stations->SetRange(0, m);
        stations->SetPos(1);
    }
    std::vector<CSectionContour> contours(xs.size());
    ParallelInOrder(
        m,
        [&](int j) {
            ship.Section(xs[static_cast<std::size_t>(j)], contours[static_cast<std::size_t>(j)]);
        },
        [&](int j) {
            CSectionContour& contour = contours[static_cast<std::size_t>(j)];
            drawing.WriteSection(contour);
            contour.RemoveAll();
            if (stations)
                stations->SetPos(j + 1);
        });
}
