#include "MeshCheck.h"

#include "CShipElement.h"
#include "MeshFaces.h"
#include "geometry/PolygonIntegrals.h"
#include "platform/NumberText.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

// The signed volume the faces enclose, as the engine sums it: face by face,
// in order.
double Volume(const CFaceList& list) {
    double volume = 0;
    CVector3 p[meshfaces::kMaxCorners];
    for (int f = 0; f < list.FaceCount(); ++f) {
        const int b = list.first[static_cast<std::size_t>(f)];
        const int n = list.first[static_cast<std::size_t>(f) + 1] - b;
        for (int i = 0; i < n; ++i)
            p[i] = list.points[static_cast<std::size_t>(list.corners[static_cast<std::size_t>(b + i)])];
        volume += polygon::Volume(p, n);
    }
    return volume;
}

// Vertices matched by coordinates: each gets the index of the first vertex
// within the tolerance (a box of side 2 tol around it), found through a hash
// of cells of side 8 tol. Vertices that are not finite stay on their own.
class CVertexMatcher {
public:
    CVertexMatcher(const std::vector<CVector3>& points, double tolerance)
        : m_points(points), m_tol(tolerance), m_cell(8 * tolerance) {
        std::size_t size = 16;
        while (size < 2 * points.size())
            size *= 2;
        m_table.assign(size, {0, -1});
        m_next.assign(points.size(), -1);
        canonical.resize(points.size());
    }

    std::vector<int> canonical;
    long long distinct = 0;
    long long nonFinite = 0;

    void Run() {
        for (std::size_t i = 0; i < m_points.size(); ++i) {
            const CVector3& p = m_points[i];
            if (!std::isfinite(p.X()) || !std::isfinite(p.Y()) || !std::isfinite(p.Z())) {
                canonical[i] = static_cast<int>(i);
                ++nonFinite;
                ++distinct;
                continue;
            }
            const int found = Find(p);
            if (found >= 0) {
                canonical[i] = found;
                continue;
            }
            canonical[i] = static_cast<int>(i);
            ++distinct;
            Insert(static_cast<int>(i));
        }
    }

private:
    struct CSlot {
        std::uint64_t key;
        int head; // first representative of the cell, -1 when the slot is free
    };

    std::int64_t Cell(double x) const {
        const double c = std::floor(x / m_cell);
        return c > 4e18
                   ? static_cast<std::int64_t>(4e18)
                   : (c < -4e18 ? static_cast<std::int64_t>(-4e18) : static_cast<std::int64_t>(c));
    }
    static std::uint64_t Key(std::int64_t a, std::int64_t b, std::int64_t c) {
        std::uint64_t h = static_cast<std::uint64_t>(a) * 0x9E3779B97F4A7C15ull;
        h ^= static_cast<std::uint64_t>(b) + 0x632BE59BD9B4E019ull + (h << 6) + (h >> 2);
        h ^= static_cast<std::uint64_t>(c) + 0x85EBCA77C2B2AE63ull + (h << 6) + (h >> 2);
        return h;
    }
    CSlot& Slot(std::uint64_t key) {
        std::size_t i =
            static_cast<std::size_t>(key * 0xFF51AFD7ED558CCDull >> 20) & (m_table.size() - 1);
        while (m_table[i].head >= 0 && m_table[i].key != key)
            i = (i + 1) & (m_table.size() - 1);
        return m_table[i];
    }
    bool Near(const CVector3& a, const CVector3& b) const {
        return std::fabs(a.X() - b.X()) <= m_tol && std::fabs(a.Y() - b.Y()) <= m_tol &&
               std::fabs(a.Z() - b.Z()) <= m_tol;
    }
    int Find(const CVector3& p) {
        const std::int64_t x0 = Cell(p.X() - m_tol), x1 = Cell(p.X() + m_tol);
        const std::int64_t y0 = Cell(p.Y() - m_tol), y1 = Cell(p.Y() + m_tol);
        const std::int64_t z0 = Cell(p.Z() - m_tol), z1 = Cell(p.Z() + m_tol);
        for (std::int64_t x = x0; x <= x1; ++x)
            for (std::int64_t y = y0; y <= y1; ++y)
                for (std::int64_t z = z0; z <= z1; ++z)
                    for (int r = Slot(Key(x, y, z)).head; r >= 0;
                         r = m_next[static_cast<std::size_t>(r)])
                        if (Near(p, m_points[static_cast<std::size_t>(r)]))
                            return r;
        return -1;
    }
    void Insert(int i) {
        const CVector3& p = m_points[static_cast<std::size_t>(i)];
        const std::uint64_t key = Key(Cell(p.X()), Cell(p.Y()), Cell(p.Z()));
        CSlot& slot = Slot(key);
        if (slot.head < 0)
            slot.key = key;
        m_next[static_cast<std::size_t>(i)] = slot.head;
        slot.head = i;
        // The table never fills beyond half: it holds at most one slot per
        // vertex and has twice as many.
    }

    const std::vector<CVector3>& m_points;
    double m_tol, m_cell;
    std::vector<CSlot> m_table;
    std::vector<int> m_next;
};

// An edge of a face, from vertex a to vertex b (matched indices), stored as
// its lower and higher end and whether it runs from lower to higher.
struct CEdgeUse {
    int lo, hi;
    int face;
    bool forward;
};

// Joins boundary edges along T-junctions: a boundary edge a -> b whose
// whole length is run the other way by a chain of other boundary edges
// b -> c -> ... -> a with every vertex on the segment ab. The edges so
// joined leave open; returns the number of junctions.
long long JoinTJunctions(const std::vector<CVector3>& points,
                         std::vector<std::pair<int, int>>& open, double tol) {
    std::sort(open.begin(), open.end());
    std::vector<char> used(open.size(), 0);
    const auto onSegment = [&](const CVector3& a, const CVector3& b, const CVector3& p, double& t) {
        CVector3 d = b, q = p;
        d.Subtract(a);
        q.Subtract(a);
        const double len2 = d.X() * d.X() + d.Y() * d.Y() + d.Z() * d.Z();
        if (!(len2 > 0))
            return false;
        t = (q.X() * d.X() + q.Y() * d.Y() + q.Z() * d.Z()) / len2;
        const double cx = q.X() - t * d.X(), cy = q.Y() - t * d.Y(), cz = q.Z() - t * d.Z();
        return t > -1e-12 && t < 1 + 1e-12 && cx * cx + cy * cy + cz * cz <= tol * tol;
    };
    long long junctions = 0;
    std::vector<std::size_t> chain;
    for (std::size_t e = 0; e < open.size(); ++e) {
        if (used[e])
            continue;
        const int a = open[e].first, b = open[e].second;
        const CVector3& pa = points[static_cast<std::size_t>(a)];
        const CVector3& pb = points[static_cast<std::size_t>(b)];
        // Walk from b back towards a, each step along a boundary edge whose
        // end lies further along the segment towards a.
        chain.clear();
        int at = b;
        double t = 1;
        bool ok = false;
        while (chain.size() < open.size()) {
            auto it = std::lower_bound(open.begin(), open.end(), std::make_pair(at, -1));
            bool stepped = false;
            for (; it != open.end() && it->first == at; ++it) {
                const std::size_t k = static_cast<std::size_t>(it - open.begin());
                if (used[k] || k == e)
                    continue;
                double tk;
                const int next = it->second;
                if (next == a) {
                    chain.push_back(k);
                    ok = true;
                    stepped = true;
                    break;
                }
                if (onSegment(pa, pb, points[static_cast<std::size_t>(next)], tk) && tk < t) {
                    chain.push_back(k);
                    at = next;
                    t = tk;
                    stepped = true;
                    break;
                }
            }
            if (ok || !stepped)
                break;
        }
        if (!ok || chain.size() < 2)
            continue;
        used[e] = 1;
        for (std::size_t k : chain)
            used[k] = 1;
        ++junctions;
    }
    std::size_t kept = 0;
    for (std::size_t e = 0; e < open.size(); ++e)
        if (!used[e])
            open[kept++] = open[e];
    open.resize(kept);
    return junctions;
}

CSurfaceCheck Check(const CFaceList& list, double tol) {
    CSurfaceCheck out;
    const int faces = list.FaceCount();
    out.faces = faces;
    out.volume = Volume(list);
    CVertexMatcher matcher(list.points, tol);
    matcher.Run();
    out.vertices = matcher.distinct;
    out.non_finite = matcher.nonFinite;
    const std::vector<int>& id = matcher.canonical;

    std::vector<CEdgeUse> edges;
    edges.reserve(list.corners.size());
    for (int f = 0; f < faces; ++f) {
        const int b = list.first[static_cast<std::size_t>(f)];
        const int n = list.first[static_cast<std::size_t>(f) + 1] - b;
        // Newell's area vector of the face.
        double ax = 0, ay = 0, az = 0;
        for (int i = 0; i < n; ++i) {
            const CVector3& p = list.points[static_cast<std::size_t>(
                list.corners[static_cast<std::size_t>(b + i)])];
            const CVector3& q = list.points[static_cast<std::size_t>(
                list.corners[static_cast<std::size_t>(b + (i + 1) % n)])];
            ax += (p.Y() - q.Y()) * (p.Z() + q.Z());
            ay += (p.Z() - q.Z()) * (p.X() + q.X());
            az += (p.X() - q.X()) * (p.Y() + q.Y());
        }
        const double area = 0.5 * std::sqrt(ax * ax + ay * ay + az * az);
        if (!(area > tol * tol)) {
            ++out.degenerate;
            continue;
        }
        for (int i = 0; i < n; ++i) {
            const int u =
                id[static_cast<std::size_t>(list.corners[static_cast<std::size_t>(b + i)])];
            const int v = id[static_cast<std::size_t>(
                list.corners[static_cast<std::size_t>(b + (i + 1) % n)])];
            if (u != v)
                edges.push_back({std::min(u, v), std::max(u, v), f, u < v});
        }
    }
    std::sort(edges.begin(), edges.end(), [](const CEdgeUse& x, const CEdgeUse& y) {
        return x.lo != y.lo ? x.lo < y.lo : (x.hi != y.hi ? x.hi < y.hi : x.face < y.face);
    });

    // Faces meeting along an edge of two: whether they run it the same way
    // (one of them is flipped against the other).
    std::vector<int> adjacencyStart(static_cast<std::size_t>(faces) + 1, 0);
    struct CLink {
        int a, b;
        bool flip;
    };
    std::vector<CLink> links;
    std::vector<std::pair<int, int>> open; // boundary edges, as their face runs them
    for (std::size_t i = 0; i < edges.size();) {
        std::size_t j = i;
        while (j < edges.size() && edges[j].lo == edges[i].lo && edges[j].hi == edges[i].hi)
            ++j;
        const std::size_t uses = j - i;
        if (uses == 1) {
            const CEdgeUse& e = edges[i];
            open.emplace_back(e.forward ? e.lo : e.hi, e.forward ? e.hi : e.lo);
        } else if (uses == 2) {
            links.push_back(
                {edges[i].face, edges[i + 1].face, edges[i].forward == edges[i + 1].forward});
        } else {
            ++out.non_manifold;
        }
        i = j;
    }

    // Boundary edges joined along T-junctions are not open.
    out.t_junctions = JoinTJunctions(list.points, open, tol);
    out.boundary_edges = static_cast<long long>(open.size());
    for (const auto& [u, v] : open) {
        CVector3 d = list.points[static_cast<std::size_t>(v)];
        d.Subtract(list.points[static_cast<std::size_t>(u)]);
        out.boundary_length += std::sqrt(d.X() * d.X() + d.Y() * d.Y() + d.Z() * d.Z());
    }

    // Orientation: walk the faces linked across their edges, giving each a
    // side; in each connected patch the smaller side counts as flipped.
    for (const CLink& l : links) {
        ++adjacencyStart[static_cast<std::size_t>(l.a) + 1];
        ++adjacencyStart[static_cast<std::size_t>(l.b) + 1];
    }
    for (std::size_t f = 0; f < static_cast<std::size_t>(faces); ++f)
        adjacencyStart[f + 1] += adjacencyStart[f];
    std::vector<std::pair<int, bool>> adjacency(2 * links.size());
    {
        std::vector<int> fill(adjacencyStart.begin(), adjacencyStart.end() - 1);
        for (const CLink& l : links) {
            adjacency[static_cast<std::size_t>(fill[static_cast<std::size_t>(l.a)]++)] = {l.b,
                                                                                          l.flip};
            adjacency[static_cast<std::size_t>(fill[static_cast<std::size_t>(l.b)]++)] = {l.a,
                                                                                          l.flip};
        }
    }
    std::vector<signed char> side(static_cast<std::size_t>(faces), -1);
    std::vector<int> stack;
    for (int f = 0; f < faces; ++f) {
        if (side[static_cast<std::size_t>(f)] >= 0)
            continue;
        long long count[2] = {0, 0};
        side[static_cast<std::size_t>(f)] = 0;
        stack.assign(1, f);
        while (!stack.empty()) {
            const int g = stack.back();
            stack.pop_back();
            const signed char s = side[static_cast<std::size_t>(g)];
            ++count[s];
            for (int k = adjacencyStart[static_cast<std::size_t>(g)];
                 k < adjacencyStart[static_cast<std::size_t>(g) + 1]; ++k) {
                const auto [h, flip] = adjacency[static_cast<std::size_t>(k)];
                if (side[static_cast<std::size_t>(h)] < 0) {
                    side[static_cast<std::size_t>(h)] = static_cast<signed char>(flip ? 1 - s : s);
                    stack.push_back(h);
                }
            }
        }
        out.flipped_faces += std::min(count[0], count[1]);
    }
    return out;
}

} // namespace

double CheckTolerance(const CShipElement& element) {
    CVector3 lo, hi;
    if (!element.Extents(lo, hi))
        return 0;
    const double dx = hi.X() - lo.X(), dy = hi.Y() - lo.Y(), dz = hi.Z() - lo.Z();
    const double diagonal = std::sqrt(dx * dx + dy * dy + dz * dz);
    return std::isfinite(diagonal) ? 1e-6 * diagonal : 0;
}

CElementCheck CheckElement(const CShipElement& element) {
    CElementCheck check;
    check.tolerance = CheckTolerance(element);
    CFaceList all;
    for (int m = 1; m <= element.GetCount(); ++m)
        element.GetAt(m)->AppendFaces(all);
    check.surface = Check(all, check.tolerance);
    if (element.GetCount() == 1) {
        check.meshes.push_back(check.surface);
        return check;
    }
    for (int m = 1; m <= element.GetCount(); ++m) {
        CFaceList one;
        element.GetAt(m)->AppendFaces(one);
        check.meshes.push_back(Check(one, check.tolerance));
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

std::string MeshNumberProblem(const CMesh& mesh) {
    const CVector3* v = meshfaces::VertexArray(mesh);
    if (v == nullptr)
        return {};
    for (int i = 0; i < mesh.GetVertexCount(); ++i)
        for (const double c : {v[i].X(), v[i].Y(), v[i].Z()})
            if (!std::isfinite(c * c))
                return std::isfinite(c)
                           ? FormatC("vertex %d: its coordinate %g is too large for the sums of "
                                     "areas and volumes (its square is beyond the range of "
                                     "numbers)",
                                     i + 1, c)
                           : FormatC("vertex %d: a coordinate is %s", i + 1,
                                     std::isnan(c) ? "not a number" : "infinite");
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
        return "its area is beyond the range of numbers";
    if (!std::isfinite(volume))
        return "its volume is beyond the range of numbers";
    if (!std::isfinite(moments.X()) || !std::isfinite(moments.Y()) || !std::isfinite(moments.Z()))
        return "the moments of its volume are beyond the range of numbers";
    return {};
}
