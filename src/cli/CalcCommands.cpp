// brelund-calc's calculation commands: the same tables as the dialogs, from
// the same code, printed as TAB-separated text.
#include "CliCommon.h"

#include "calc/UprightTable.h"
#include "model/CDxfFile.h"
#include "model/CShipModel.h"
#include "platform/AtomicFile.h"

#include <cstdio>
#include <memory>
#include <unistd.h>

namespace {

// A progress line on stderr, redrawn in place, when stderr is a terminal.
class CStderrProgress : public CProgress {
public:
    explicit CStderrProgress(const char* what) : m_what(what) {}
    ~CStderrProgress() override {
        if (m_shown)
            std::fprintf(stderr, "\r%*s\r", 60, "");
    }
    void SetRange(int lower, int upper) override {
        m_lower = lower;
        m_upper = upper;
    }
    void SetPos(int pos) override {
        const int span = m_upper - m_lower;
        const int percent = span > 0 ? (pos - m_lower) * 100 / span : 100;
        if (percent == m_percent)
            return;
        m_percent = percent;
        m_shown = true;
        const int bar = percent * 30 / 100;
        std::fprintf(stderr, "\r%s [%.*s%*s] %3d%%", m_what, bar, "##############################",
                     30 - bar, "", percent);
        std::fflush(stderr);
    }

private:
    const char* m_what;
    int m_lower = 0, m_upper = 100, m_percent = -1;
    bool m_shown = false;
};

std::unique_ptr<CProgress> MakeProgress(const char* what) {
    if (isatty(STDERR_FILENO))
        return std::make_unique<CStderrProgress>(what);
    return nullptr;
}

// The grid as the clipboard text, but with LF line ends and a final LF.
void PrintGrid(const CTextGrid& grid) {
    const std::string text = GridToText(grid, 0, 0, "\n") + "\n";
    std::fwrite(text.data(), 1, text.size(), stdout);
}

void AddUpright(CLI::App& app, int& status) {
    struct Args {
        std::string ship, dxf;
        CUprightInputs in;
    };
    auto a = std::make_shared<Args>();
    CLI::App* cmd = app.add_subcommand(
        "upright", "Upright hydrostatic table (\"Carene dritte\"); inputs not given take the "
                   "dialog's opening values");
    cmd->add_option("SHIP", a->ship, "Ship file (.nav)")->required();
    auto* zmin = cmd->add_option("--zmin", a->in.zmin, "Lowest waterplane [m] (default: keel)");
    auto* zmax = cmd->add_option("--zmax", a->in.zmax, "Highest waterplane [m] (default: deck)");
    auto* dz = cmd->add_option("--dz", a->in.dz,
                               "Step [m] (default: a fifth of the hull's height, in whole cm)");
    auto* heel = cmd->add_option("--heel", a->in.heel, "Heel, Teta x [deg] (default 0)");
    auto* trim = cmd->add_option("--trim", a->in.trim, "Trim, Teta y [deg] (default 0)");
    cmd->add_option("--dxf", a->dxf, "Also draw the waterlines in this DXF drawing");
    cmd->callback([=, &status] {
        CShipModel ship;
        LoadShip(ship, a->ship, false);
        CUprightInputs in;
        CImmersedBody body;
        OpenUprightTable(ship, in, body);
        if (zmin->count())
            in.zmin = a->in.zmin;
        if (zmax->count())
            in.zmax = a->in.zmax;
        if (dz->count())
            in.dz = a->in.dz;
        if (heel->count())
            in.heel = a->in.heel;
        if (trim->count())
            in.trim = a->in.trim;
        if (const char* refusal = CheckUprightInputs(in))
            throw CRefusedError(refusal);
        CTextGrid grid;
        const std::unique_ptr<CProgress> progress = MakeProgress("Carene dritte");
        if (a->dxf.empty()) {
            ComputeUprightTable(ship, in, grid, nullptr, progress.get());
        } else {
            WriteFileAtomically<CDxfFile>(a->dxf, [&](CDxfFile& drawing) {
                drawing.WriteHead();
                ComputeUprightTable(ship, in, grid, &drawing, progress.get());
                drawing.WriteTail();
            });
        }
        PrintGrid(grid);
        status = exitOk;
    });
}

} // namespace

void AddCalcCommands(CLI::App& app, int& status) {
    AddUpright(app, status);
}
