#include "SurfaceCheck.h"

#include "PolygonIntegrals.h"
#include "platform/Prefetch.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <tbb/parallel_invoke.h>

namespace {

// The points within the tolerance of each point are found through a hash of
// cells of side 8 tol.
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
        // The table is far larger than the caches: the slots of the cells
        // around each point are asked for some points ahead (a hint, nothing
        // more).
        constexpr std::size_t kAhead = 8;
        for (std::size_t i = 0; i < m_points.size(); ++i) {
            if (i + kAhead < m_points.size())
                Prefetch(m_points[i + kAhead]);
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
    std::size_t Home(std::uint64_t key) const {
        return static_cast<std::size_t>(key * 0xFF51AFD7ED558CCDull >> 20) & (m_table.size() - 1);
    }
    // The slots of the cells Find(p) will look at.
    void Prefetch(const CVector3& p) const {
        if (!std::isfinite(p.X()) || !std::isfinite(p.Y()) || !std::isfinite(p.Z()))
            return;
        const std::int64_t x0 = Cell(p.X() - m_tol), x1 = Cell(p.X() + m_tol);
        const std::int64_t y0 = Cell(p.Y() - m_tol), y1 = Cell(p.Y() + m_tol);
        const std::int64_t z0 = Cell(p.Z() - m_tol), z1 = Cell(p.Z() + m_tol);
        if (x1 - x0 > 1 || y1 - y0 > 1 || z1 - z0 > 1)
            return;
        for (std::int64_t x = x0; x <= x1; ++x)
            for (std::int64_t y = y0; y <= y1; ++y)
                for (std::int64_t z = z0; z <= z1; ++z)
                    PrefetchLine(&m_table[Home(Key(x, y, z))]);
    }
    CSlot& Slot(std::uint64_t key) {
        std::size_t i = Home(key);
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

// An edge of a face (welded indices), kept with its lower end: its higher
// end, and the face, as ~face when the face runs it from higher to lower.
struct CEdgeUse {
    int hi;
    int face;
    bool Forward() const { return face >= 0; }
    int Face() const { return face >= 0 ? face : ~face; }
};

} // namespace

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

CWeldedVertices WeldVertices(const std::vector<CVector3>& points, double tolerance) {
    CVertexMatcher matcher(points, tolerance);
    matcher.Run();
    CWeldedVertices out;
    out.canonical = std::move(matcher.canonical);
    out.distinct = matcher.distinct;
    out.non_finite = matcher.nonFinite;
    return out;
}

namespace {

// Which faces are large enough to orient (by Newell's area vector): the
// others are left out of the edges. Returns how many are left out.
long long KeepOrientableFaces(const CFaceList& list, double tol, std::vector<char>& kept) {
    const int faces = list.FaceCount();
    kept.assign(static_cast<std::size_t>(faces), 0);
    long long degenerate = 0;
    for (int f = 0; f < faces; ++f) {
        const std::span<const int> face = list.Face(f);
        const std::size_t n = face.size();
        double ax = 0, ay = 0, az = 0;
        for (std::size_t i = 0; i < n; ++i) {
            const CVector3& p = list.points[static_cast<std::size_t>(face[i])];
            const CVector3& q = list.points[static_cast<std::size_t>(face[(i + 1) % n])];
            ax += (p.Y() - q.Y()) * (p.Z() + q.Z());
            ay += (p.Z() - q.Z()) * (p.X() + q.X());
            az += (p.X() - q.X()) * (p.Y() + q.Y());
        }
        const double area = 0.5 * std::sqrt(ax * ax + ay * ay + az * az);
        if (area > tol * tol)
            kept[static_cast<std::size_t>(f)] = 1;
        else
            ++degenerate;
    }
    return degenerate;
}

// Calls use(u, v) for each edge u -> v of face f between welded vertices
// (id) that are not one.
template <class Use>
void EachEdge(const CFaceList& list, const std::vector<int>& id, int f, const Use& use) {
    const std::span<const int> face = list.Face(f);
    const std::size_t n = face.size();
    for (std::size_t i = 0; i < n; ++i) {
        const int u = id[static_cast<std::size_t>(face[i])];
        const int v = id[static_cast<std::size_t>(face[(i + 1) % n])];
        if (u != v)
            use(u, v);
    }
}

// The edges whose lower end lies in [first, last) of the faces kept, as
// FindKeptEdges finds them (degenerate left at 0); uses[v] counts the
// edges whose lower end is below v.
CSurfaceEdges FindKeptEdgesFrom(const CFaceList& list, const std::vector<int>& id,
                                const std::vector<char>& kept, const std::vector<int>& uses,
                                int first, int last) {
    CSurfaceEdges out;
    const int faces = list.FaceCount();
    const auto vertices = static_cast<std::size_t>(last - first);
    // The edges placed by their lower end (a counting sort), so that they
    // come out by (lower end, face) without a comparison sort of the
    // millions of a dense hull or a second copy of them.
    std::vector<int> start(vertices + 1);
    for (std::size_t v = 0; v <= vertices; ++v)
        start[v] =
            uses[static_cast<std::size_t>(first) + v] - uses[static_cast<std::size_t>(first)];
    std::vector<CEdgeUse> edges(static_cast<std::size_t>(start.back()));
    {
        std::vector<int> fill(start.begin(), start.end() - 1);
        for (int f = 0; f < faces; ++f)
            if (kept[static_cast<std::size_t>(f)])
                EachEdge(list, id, f, [&](int u, int v) {
                    const int lo = std::min(u, v);
                    if (lo >= first && lo < last)
                        edges[static_cast<std::size_t>(
                            fill[static_cast<std::size_t>(lo - first)]++)] = {std::max(u, v),
                                                                              u < v ? f : ~f};
                });
    }
    // Then each vertex's few uses in order of their higher end, stably:
    // the order (lo, hi, face).
    const auto byHigher = [](const CEdgeUse& x, const CEdgeUse& y) { return x.hi < y.hi; };
    for (std::size_t v = 0; v < vertices; ++v) {
        const auto b = edges.begin() + start[v], e = edges.begin() + start[v + 1];
        // The apex of a fan may have thousands.
        if (e - b > 16) {
            std::stable_sort(b, e, byHigher);
            continue;
        }
        for (auto i = b + (b == e ? 0 : 1); i < e; ++i)
            for (auto j = i; j > b && byHigher(*j, *(j - 1)); --j)
                std::iter_swap(j - 1, j);
    }
    for (std::size_t v = 0; v < vertices; ++v) {
        const int lo = first + static_cast<int>(v);
        const auto end = static_cast<std::size_t>(start[v + 1]);
        for (auto i = static_cast<std::size_t>(start[v]); i < end;) {
            std::size_t j = i;
            while (j < end && edges[j].hi == edges[i].hi)
                ++j;
            const std::size_t uses = j - i;
            const CEdgeUse& e = edges[i];
            if (uses == 1) {
                out.open.emplace_back(e.Forward() ? lo : e.hi, e.Forward() ? e.hi : lo);
            } else if (uses == 2) {
                out.links.push_back(
                    {e.Face(), edges[i + 1].Face(), e.Forward() == edges[i + 1].Forward()});
            } else {
                ++out.non_manifold;
                out.non_manifold_edges.emplace_back(lo, e.hi);
            }
            i = j;
        }
    }
    return out;
}

// FindEdges over the faces kept (KeepOrientableFaces), degenerate of them
// left out. The edges are found in two parts of the vertices, half the
// edges in each, side by side, and joined in order: the same lists as one
// pass over them all.
CSurfaceEdges FindKeptEdges(const CFaceList& list, const std::vector<int>& id,
                            const std::vector<char>& kept, long long degenerate) {
    // The uses of each welded vertex as an edge's lower end, counted, and
    // the vertices split where half the edges lie on either side.
    const int vertices = static_cast<int>(id.size());
    std::vector<int> uses(id.size() + 1, 0);
    for (int f = 0; f < list.FaceCount(); ++f)
        if (kept[static_cast<std::size_t>(f)])
            EachEdge(list, id, f,
                     [&](int u, int v) { ++uses[static_cast<std::size_t>(std::min(u, v)) + 1]; });
    for (std::size_t v = 0; v < id.size(); ++v)
        uses[v + 1] += uses[v];
    const int middle = static_cast<int>(
        std::lower_bound(uses.begin(), uses.end(), uses.back() / 2) - uses.begin());
    const int split = std::min(middle, vertices);
    CSurfaceEdges out, upper;
    tbb::parallel_invoke([&] { out = FindKeptEdgesFrom(list, id, kept, uses, 0, split); },
                         [&] { upper = FindKeptEdgesFrom(list, id, kept, uses, split, vertices); });
    out.degenerate = degenerate;
    out.non_manifold += upper.non_manifold;
    out.non_manifold_edges.insert(out.non_manifold_edges.end(), upper.non_manifold_edges.begin(),
                                  upper.non_manifold_edges.end());
    out.open.insert(out.open.end(), upper.open.begin(), upper.open.end());
    out.links.insert(out.links.end(), upper.links.begin(), upper.links.end());
    return out;
}

} // namespace

CSurfaceEdges FindEdges(const CFaceList& list, const std::vector<int>& id, double tol) {
    std::vector<char> kept;
    const long long degenerate = KeepOrientableFaces(list, tol, kept);
    return FindKeptEdges(list, id, kept, degenerate);
}

long long CountFlippedFaces(int faces, const std::vector<CFaceLink>& links,
                            std::vector<int>* flippedFaces) {
    // Faces that all run their shared edges against each other keep the
    // side of their patch's first face: none is flipped, without the walk.
    if (std::none_of(links.begin(), links.end(), [](const CFaceLink& l) { return l.flip; }))
        return 0;
    std::vector<int> adjacencyStart(static_cast<std::size_t>(faces) + 1, 0);
    for (const CFaceLink& l : links) {
        ++adjacencyStart[static_cast<std::size_t>(l.a) + 1];
        ++adjacencyStart[static_cast<std::size_t>(l.b) + 1];
    }
    for (std::size_t f = 0; f < static_cast<std::size_t>(faces); ++f)
        adjacencyStart[f + 1] += adjacencyStart[f];
    std::vector<std::pair<int, bool>> adjacency(2 * links.size());
    {
        std::vector<int> fill(adjacencyStart.begin(), adjacencyStart.end() - 1);
        for (const CFaceLink& l : links) {
            adjacency[static_cast<std::size_t>(fill[static_cast<std::size_t>(l.a)]++)] = {l.b,
                                                                                          l.flip};
            adjacency[static_cast<std::size_t>(fill[static_cast<std::size_t>(l.b)]++)] = {l.a,
                                                                                          l.flip};
        }
    }
    long long flipped = 0;
    std::vector<signed char> side(static_cast<std::size_t>(faces), -1);
    std::vector<int> stack, patch;
    for (int f = 0; f < faces; ++f) {
        if (side[static_cast<std::size_t>(f)] >= 0)
            continue;
        long long count[2] = {0, 0};
        side[static_cast<std::size_t>(f)] = 0;
        stack.assign(1, f);
        patch.clear();
        while (!stack.empty()) {
            const int g = stack.back();
            stack.pop_back();
            const signed char s = side[static_cast<std::size_t>(g)];
            ++count[s];
            if (flippedFaces)
                patch.push_back(g);
            for (int k = adjacencyStart[static_cast<std::size_t>(g)];
                 k < adjacencyStart[static_cast<std::size_t>(g) + 1]; ++k) {
                const auto [h, flip] = adjacency[static_cast<std::size_t>(k)];
                if (side[static_cast<std::size_t>(h)] < 0) {
                    side[static_cast<std::size_t>(h)] = static_cast<signed char>(flip ? 1 - s : s);
                    stack.push_back(h);
                }
            }
        }
        flipped += std::min(count[0], count[1]);
        if (flippedFaces && std::min(count[0], count[1]) > 0) {
            const signed char minority = count[1] <= count[0] ? 1 : 0;
            std::sort(patch.begin(), patch.end());
            for (int g : patch)
                if (side[static_cast<std::size_t>(g)] == minority)
                    flippedFaces->push_back(g);
        }
    }
    return flipped;
}

double EnclosedVolume(const CFaceList& list) {
    double volume = 0;
    std::vector<CVector3> p;
    for (int f = 0; f < list.FaceCount(); ++f) {
        list.FacePoints(f, p);
        volume += polygon::Volume(p.data(), static_cast<int>(p.size()));
    }
    return volume;
}

CSurfaceCheck CheckSurface(const CFaceList& list, double tolerance, CSurfaceFaults* faults) {
    CSurfaceCheck out;
    out.faces = list.FaceCount();
    // The welding on one core, the volume and the faces to orient on
    // another: each is the serial computation, only run side by side.
    CWeldedVertices welded;
    std::vector<char> kept;
    long long degenerate = 0;
    tbb::parallel_invoke([&] { welded = WeldVertices(list.points, tolerance); },
                         [&] {
                             out.volume = EnclosedVolume(list);
                             degenerate = KeepOrientableFaces(list, tolerance, kept);
                         });
    out.vertices = welded.distinct;
    out.non_finite = welded.non_finite;
    CSurfaceEdges edges = FindKeptEdges(list, welded.canonical, kept, degenerate);
    out.degenerate = edges.degenerate;
    out.non_manifold = edges.non_manifold;
    // Boundary edges joined along T-junctions are not open.
    out.t_junctions = JoinTJunctions(list.points, edges.open, tolerance);
    out.boundary_edges = static_cast<long long>(edges.open.size());
    for (const auto& [u, v] : edges.open) {
        CVector3 d = list.points[static_cast<std::size_t>(v)];
        d.Subtract(list.points[static_cast<std::size_t>(u)]);
        out.boundary_length += std::sqrt(d.X() * d.X() + d.Y() * d.Y() + d.Z() * d.Z());
    }
    std::vector<int> flipped;
    out.flipped_faces =
        CountFlippedFaces(static_cast<int>(out.faces), edges.links, faults ? &flipped : nullptr);
    if (faults) {
        const auto point = [&](int i) { return list.points[static_cast<std::size_t>(i)]; };
        for (const auto& [u, v] : edges.open)
            faults->open_edges.emplace_back(point(u), point(v));
        for (const auto& [u, v] : edges.non_manifold_edges)
            faults->non_manifold_edges.emplace_back(point(u), point(v));
        for (int f : flipped) {
            const std::span<const int> face = list.Face(f);
            for (std::size_t i = 0; i < face.size(); ++i)
                faults->flipped_outlines.emplace_back(point(face[i]),
                                                      point(face[(i + 1) % face.size()]));
        }
    }
    return out;
}
