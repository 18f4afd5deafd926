// brelund-calc check: whether each element's meshes form a closed,
// consistently oriented surface with outward normals.
#include "CliCommon.h"

#include "model/CShipModel.h"
#include "model/MeshCheck.h"
#include "platform/NumberText.h"

#include <cstdio>
#include <memory>
#include <vector>

namespace {

std::string DescribeSurface(const CSurfaceCheck& s) {
    std::string text;
    if (s.faces == 0) {
        text = "empty, not closed";
    } else {
        text = s.IsClosed() ? "closed" : "open";
        text += s.IsConsistent() ? ", consistent" : ", mixed orientation";
        // Only a closed surface encloses a volume whose sign tells its normals.
        if (s.IsClosed())
            text += s.volume > 0 ? ", outward" : s.volume < 0 ? ", inward" : ", no volume";
    }
    text += FormatC("; volume %.10g m^3; %lld faces, %lld vertices, %lld degenerate, %lld "
                    "non-finite, %lld boundary edges (%.6g m), %lld non-manifold edges, %lld "
                    "flipped faces, %lld T-junctions",
                    s.volume, s.faces, s.vertices, s.degenerate, s.non_finite, s.boundary_edges,
                    s.boundary_length, s.non_manifold, s.flipped_faces, s.t_junctions);
    return text;
}

struct CNamed {
    const CShipElement* element;
    int kind;
};

} // namespace

void AddCheckCommand(CLI::App& app, int& status) {
    struct Args {
        std::string ship;
        std::vector<std::string> names;
        bool strict = false;
    };
    auto a = std::make_shared<Args>();
    CLI::App* cmd = app.add_subcommand(
        "check", "Check that each element's meshes form a closed, consistently oriented surface "
                 "with outward normals; warns of a tank whose density was most likely never set");
    cmd->add_option("SHIP", a->ship, "Ship file (.nav)")->required();
    cmd->add_option("NAME", a->names, "Elements to check (default: all)");
    cmd->add_flag("--strict", a->strict,
                  "Exit 1 when an enabled element is open, non-manifold or mixed in orientation");
    cmd->callback([a, &status] {
        CShipModel ship;
        LoadShip(ship, a->ship, false);
        std::vector<CNamed> elements;
        if (a->names.empty()) {
            for (int i = 1; i <= ship.HullElements().GetCount(); ++i)
                elements.push_back({ship.HullElements().GetAt(i), kindHull});
            for (int i = 1; i <= ship.Compartments().GetCount(); ++i)
                elements.push_back({ship.Compartments().GetAt(i), kindCompartment});
            for (int i = 1; i <= ship.Tanks().GetCount(); ++i)
                elements.push_back({ship.Tanks().GetAt(i), kindTank});
        }
        for (const std::string& name : a->names) {
            int kind = 0;
            const CShipElement* e = ship.FindElement(name, &kind);
            if (!e)
                throw CRefusedError(a->ship + ": no element named '" + EscapeField(name) + "'");
            elements.push_back({e, kind});
        }
        static const char* const kinds[] = {"", "hull", "compartment", "tank"};
        std::string out;
        bool faulty = false;
        for (const CNamed& n : elements) {
            const CElementCheck check = CheckElement(*n.element);
            out += FormatC("%s\t%s\t%s: %d meshes, tolerance %.3g m\n", kinds[n.kind],
                           EscapeField(n.element->GetName()).c_str(),
                           n.element->IsEnabled() ? "enabled" : "disabled", n.element->GetCount(),
                           check.tolerance);
            out += "  surface: " + DescribeSurface(check.surface) + "\n";
            for (std::size_t m = 0; m < check.meshes.size(); ++m)
                out += FormatC("  mesh %zu: ", m + 1) + DescribeSurface(check.meshes[m]) + "\n";
            const CSurfaceCheck& s = check.surface;
            if (n.element->IsEnabled() && (!s.IsClosed() || !s.IsConsistent()))
                faulty = true;
        }
        std::fwrite(out.data(), 1, out.size(), stdout);
        // A forgotten density is no fault of the surfaces that --strict
        // judges: a warning alone, as a ship file's load notes are.
        for (const CNamed& n : elements)
            if (n.kind == kindTank)
                WarnIfDensityUnset(static_cast<const CTank&>(*n.element));
        status = a->strict && faulty ? exitRefused : exitOk;
    });
}
