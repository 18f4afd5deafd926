#include "MeshCheck.h"

#include "CShipElement.h"
#include "CShipModel.h"
#include "MeshFaces.h"
#include "geometry/PolygonIntegrals.h"
#include "platform/NumberText.h"

#include <cmath>

double CheckTolerance(const CShipElement& element) {
    CVector3 lo, hi;
    if (!element.Extents(lo, hi))
        return 0;
    const double dx = hi.X() - lo.X(), dy = hi.Y() - lo.Y(), dz = hi.Z() - lo.Z();
    const double diagonal = std::sqrt(dx * dx + dy * dy + dz * dz);
    return std::isfinite(diagonal) ? 1e-6 * diagonal : 0;
}

CElementCheck CheckElement(const CShipElement& element, bool eachMesh) {
    CElementCheck check;
    check.tolerance = CheckTolerance(element);
    CFaceList all;
    for (int m = 1; m <= element.GetCount(); ++m)
        element.GetAt(m)->AppendFaces(all);
    check.surface = CheckSurface(all, check.tolerance, &check.faults);
    if (!eachMesh)
        return check;
    if (element.GetCount() == 1) {
        check.meshes.push_back(check.surface);
        return check;
    }
    for (int m = 1; m <= element.GetCount(); ++m) {
        CFaceList one;
        element.GetAt(m)->AppendFaces(one);
        check.meshes.push_back(CheckSurface(one, check.tolerance));
    }
    return check;
}

std::vector<std::string> DescribeProblems(const CShipElement& element, int kind,
                                          const CElementCheck& check,
                                          const std::string& invertCommand) {
    static const char* const kinds[] = {"element", "hull element", "compartment", "tank"};
    const std::string label =
        std::string(kinds[kind >= 1 && kind <= 3 ? kind : 0]) + " '" + element.GetName() + "'";
    const CSurfaceCheck& s = check.surface;
    std::vector<std::string> lines;
    if (s.faces == 0)
        return lines;
    if (s.non_finite > 0)
        lines.push_back(FormatC("%s has %lld vertices whose coordinates are not numbers",
                                label.c_str(), s.non_finite));
    if (s.boundary_edges > 0)
        lines.push_back(FormatC("%s is open: %lld boundary edges, %.6g m of boundary (its "
                                "volume is not the one it encloses)",
                                label.c_str(), s.boundary_edges, s.boundary_length));
    if (s.non_manifold > 0)
        lines.push_back(FormatC("%s has %lld non-manifold edges (shared by three faces or more)",
                                label.c_str(), s.non_manifold));
    if (s.flipped_faces > 0)
        lines.push_back(FormatC("%s has %lld faces oriented against their neighbours",
                                label.c_str(), s.flipped_faces));
    if (s.volume < 0) {
        if (kind == kindCompartment)
            lines.push_back(FormatC(
                "%s has inward normals: a flooded room, whose volume times its permeability is "
                "lost buoyancy (%.6g m^3); if it should add buoyancy, turn them with %s",
                label.c_str(), s.volume, invertCommand.c_str()));
        else
            lines.push_back(FormatC("%s has inward normals: it counts a negative volume (%.6g "
                                    "m^3); turn them with %s",
                                    label.c_str(), s.volume, invertCommand.c_str()));
    }
    return lines;
}

std::vector<CSurfaceFault> FindSurfaceFaults(const CShipModel& ship, bool compartments,
                                             bool tanks) {
    std::vector<CSurfaceFault> faults;
    const auto search = [&](const auto& list, int kind) {
        for (int i = 1; i <= list.GetCount(); ++i) {
            const CShipElement& element = *list.GetAt(i);
            if (!element.IsEnabled() || element.GetFaceCount() == 0)
                continue;
            const CSurfaceCheck s = CheckElement(element, false).surface;
            const bool open = s.boundary_edges > 0;
            const bool inward = !open && s.volume < 0 && kind != kindCompartment;
            if (open || inward)
                faults.push_back({&element, kind, s});
        }
    };
    search(ship.HullElements(), kindHull);
    if (compartments)
        search(ship.Compartments(), kindCompartment);
    if (tanks)
        search(ship.Tanks(), kindTank);
    return faults;
}

CMessage MeshNumberProblem(const CMesh& mesh) {
    const CVector3* v = meshfaces::VertexArray(mesh);
    if (v == nullptr)
        return {};
    // With every coordinate within M = 1e60 m of the origin, no term of a
    // fan triangle passes 192 M^4 (the squared length of a cross product of
    // edges, the largest), nor their sums over fewer than 2^31 faces of four
    // corners: 2^32 * 192 * 1e240 < 1e300. Only coordinates beyond that are
    // summed in face order below to see whether the sums stay numbers.
    bool surely = true;
    for (int i = 0; i < mesh.GetVertexCount(); ++i)
        for (const double c : {v[i].X(), v[i].Y(), v[i].Z()}) {
            surely = surely && std::fabs(c) <= 1e60;
            if (!std::isfinite(c * c))
                return std::isfinite(c)
                           ? BRELUND_SAY("vertex %d: its coordinate %g is too large for the "
                                         "sums of areas and volumes (its square is beyond the "
                                         "range of numbers)",
                                         "vertice %d: la sua coordinata %g è troppo grande per "
                                         "le somme di aree e volumi (il suo quadrato è fuori "
                                         "dall'intervallo dei numeri)",
                                         i + 1, c)
                       : std::isnan(c)
                           ? BRELUND_SAY("vertex %d: a coordinate is not a number",
                                         "vertice %d: una coordinata non è un numero", i + 1)
                           : BRELUND_SAY("vertex %d: a coordinate is infinite",
                                         "vertice %d: una coordinata è infinita", i + 1);
        }
    if (surely)
        return {};
    double area = 0, volume = 0;
    CVector3 moments;
    meshfaces::ForEachFace(mesh, v, [&](const CVector3* const* corners, int n) {
        CVector3 p[meshfaces::kMaxCorners];
        for (int k = 0; k < n; ++k)
            p[k] = *corners[k];
        double a, vo;
        CVector3 mo;
        polygon::Properties(p, n, a, vo, mo);
        area += a;
        volume += vo;
        moments.Add(mo);
    });
    if (!std::isfinite(area))
        return {"its area is beyond the range of numbers",
                "la sua area è fuori dall'intervallo dei numeri"};
    if (!std::isfinite(volume))
        return {"its volume is beyond the range of numbers",
                "il suo volume è fuori dall'intervallo dei numeri"};
    if (!std::isfinite(moments.X()) || !std::isfinite(moments.Y()) || !std::isfinite(moments.Z()))
        return {"the moments of its volume are beyond the range of numbers",
                "i momenti del suo volume sono fuori dall'intervallo dei numeri"};
    return {};
}
