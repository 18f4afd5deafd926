#include "BonjeanText.h"

#include "platform/NumberText.h"

void WriteBonjeanGrids(const CBonjeanTables& t, CTextGrid& areas, CTextGrid& moments,
                       const CCalcRun& run) {
    const int m = t.Stations();
    const int nz = static_cast<int>(t.waterlines.size());
    for (CTextGrid* grid : {&areas, &moments}) {
        grid->SetSize(nz + 1, m + 1);
        grid->SetText(0, 0, "");
        for (int k = 0; k < nz; ++k)
            grid->SetText(k + 1, 0, FormatC("%.4g", t.waterlines[static_cast<std::size_t>(k)]));
        for (int j = 1; j <= m; ++j)
            grid->SetText(
                0, j,
                j <= kBonjeanRegularStations
                    ? FormatC("%i", j - 1)
                    : FormatC("%.3g",
                              t.extra[static_cast<std::size_t>(j - kBonjeanRegularStations - 1)]));
    }
    if (run.progress) {
        run.progress->SetRange(0, nz);
        run.progress->SetPos(1);
    }
    for (int k = 0; k < nz; ++k) {
        ThrowIfStopped(run.stop);
        for (int j = 0; j < m; ++j) {
            const std::size_t at = static_cast<std::size_t>(k) * static_cast<std::size_t>(m) +
                                   static_cast<std::size_t>(j);
            areas.SetText(k + 1, j + 1, FormatC("%.5g", t.areas[at]));
            moments.SetText(k + 1, j + 1, FormatC("%.5g", t.moments[at]));
        }
        if (run.progress)
            run.progress->SetPos(k + 1);
    }
}
