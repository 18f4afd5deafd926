#include "MeshCheck.h"

#include "CPolyfaceMesh.h"
#include "CShipElement.h"
#include "CShipModel.h"
#include "MeshFaces.h"
#include "geometry/PolygonIntegrals.h"
#include "platform/NumberText.h"

#include <array>
#include <cmath>
#include <tbb/parallel_for.h>

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

namespace {

// Whether the face sums of a triangle mesh surely stay numbers: every
// face's area, volume and moments a number, and the sums of their
// magnitudes so far below the largest number that no partial sum, in any
// order, can leave the range. Worked out in slices of the faces on all
// cores, each slice in order, so the answer is the same for any number of
// threads; false sends the caller to the exact sums in face order.
bool SumsSurelyNumbers(const CPolyfaceMesh& mesh) {
    const std::vector<CFaceIndices>& faces = mesh.Faces();
    const CVector3* v = mesh.Vertices().data();
    const int nv = mesh.GetVertexCount();
    constexpr std::size_t kSlices = 16;
    struct CSlice {
        bool numbers = true;
        std::array<double, 5> magnitude{};
    };
    std::array<CSlice, kSlices> slices;
    tbb::parallel_for(std::size_t{0}, kSlices, [&](std::size_t s) {
        CSlice& slice = slices[s];
        const std::size_t first = faces.size() * s / kSlices;
        const std::size_t last = faces.size() * (s + 1) / kSlices;
        for (std::size_t f = first; f < last; ++f) {
            // Corners as ForEachFace hands them out.
            CVector3 p[3];
            for (int k = 0; k < 3; ++k) {
                const int i = faces[f].v[k];
                p[k] = v[(i >= 1 && i <= nv) ? i - 1 : 0];
            }
            double a, vo;
            CVector3 mo;
            polygon::Properties(p, 3, a, vo, mo);
            const std::array<double, 5> terms = {a, vo, mo.X(), mo.Y(), mo.Z()};
            for (std::size_t t = 0; t < terms.size(); ++t) {
                slice.numbers = slice.numbers && std::isfinite(terms[t]);
                slice.magnitude[t] += std::fabs(terms[t]);
            }
        }
    });
    // 1e300 leaves room for the rounding of any sum of a few billion terms.
    for (const CSlice& slice : slices) {
        if (!slice.numbers)
            return false;
        for (double m : slice.magnitude)
            if (!(m < 1e300 / kSlices))
                return false;
    }
    return true;
}

} // namespace

CMessage MeshNumberProblem(const CMesh& mesh) {
    const CVector3* v = meshfaces::VertexArray(mesh);
    if (v == nullptr)
        return {};
    for (int i = 0; i < mesh.GetVertexCount(); ++i)
        for (const double c : {v[i].X(), v[i].Y(), v[i].Z()})
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
    if (const auto* poly = dynamic_cast<const CPolyfaceMesh*>(&mesh);
        poly != nullptr && SumsSurelyNumbers(*poly))
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
