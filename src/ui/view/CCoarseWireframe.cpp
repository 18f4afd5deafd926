// Thinning an element's wireframe by vertex clustering: the corners in one
// cell of a grid of cubes become their mean point and the edges inside a
// cell vanish, so that the outline and the sections of the shape stay
// readable at a fraction of the segments.
#include "CCoarseWireframe.h"

#include "model/CShipElement.h"
#include "model/MeshFaces.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// The vertices of the element's meshes laid end to end: vertex k of a mesh
// is number base + k, base the vertex counts of the meshes before it.
struct CElementVertices {
    std::vector<const CVector3*> points;
    std::uint32_t total = 0;
};

CElementVertices Vertices(const CShipElement& element) {
    CElementVertices v;
    for (int m = 1; m <= element.GetCount(); ++m) {
        const CMesh& mesh = *element.GetAt(m);
        const CVector3* points = meshfaces::VertexArray(mesh);
        if (points == nullptr || mesh.GetVertexCount() <= 0)
            continue;
        for (int k = 0; k < mesh.GetVertexCount(); ++k)
            v.points.push_back(points + k);
    }
    v.total = static_cast<std::uint32_t>(v.points.size());
    return v;
}

// Calls fn(a, b) for the three edges of every fan triangle of every face,
// a and b numbered as Vertices numbers them.
template <class Fn> void ForEachFanEdge(const CShipElement& element, Fn&& fn) {
    std::uint32_t base = 0;
    for (int m = 1; m <= element.GetCount(); ++m) {
        const CMesh& mesh = *element.GetAt(m);
        const CVector3* points = meshfaces::VertexArray(mesh);
        if (points == nullptr || mesh.GetVertexCount() <= 0)
            continue;
        meshfaces::ForEachFace(mesh, points, [&](const CVector3* const* p, int n) {
            const auto index = [&](int k) {
                return base + static_cast<std::uint32_t>(p[k] - points);
            };
            for (int k = 1; k + 1 < n; ++k) {
                const std::uint32_t a = index(0), b = index(k), c = index(k + 1);
                fn(a, b);
                fn(b, c);
                fn(c, a);
            }
        });
        base += static_cast<std::uint32_t>(mesh.GetVertexCount());
    }
}

// The distinct pairs of different cells joined by an edge, as
// (smaller << 32 | larger), sorted.
std::vector<std::uint64_t> CellEdges(const CShipElement& element,
                                     const std::vector<std::uint32_t>& cellOf) {
    std::vector<std::uint64_t> edges;
    ForEachFanEdge(element, [&](std::uint32_t a, std::uint32_t b) {
        const std::uint64_t ca = cellOf[a], cb = cellOf[b];
        if (ca != cb)
            edges.push_back(std::min(ca, cb) << 32 | std::max(ca, cb));
    });
    std::sort(edges.begin(), edges.end());
    edges.erase(std::unique(edges.begin(), edges.end()), edges.end());
    return edges;
}

struct CBox {
    CVector3 low, high;
};

CBox BoundingBox(const CElementVertices& v) {
    const double inf = std::numeric_limits<double>::infinity();
    CBox box{CVector3(inf, inf, inf), CVector3(-inf, -inf, -inf)};
    for (const CVector3* p : v.points) {
        box.low.Set(std::min(box.low.X(), p->X()), std::min(box.low.Y(), p->Y()),
                    std::min(box.low.Z(), p->Z()));
        box.high.Set(std::max(box.high.X(), p->X()), std::max(box.high.Y(), p->Y()),
                     std::max(box.high.Z(), p->Z()));
    }
    return box;
}

// The panels' area: half the length of each fan triangle's cross product.
double PanelArea(const CShipElement& element) {
    double area = 0;
    for (int m = 1; m <= element.GetCount(); ++m) {
        const CMesh& mesh = *element.GetAt(m);
        const CVector3* points = meshfaces::VertexArray(mesh);
        if (points == nullptr || mesh.GetVertexCount() <= 0)
            continue;
        meshfaces::ForEachFace(mesh, points, [&](const CVector3* const* p, int n) {
            for (int k = 1; k + 1 < n; ++k) {
                const double ux = p[k]->X() - p[0]->X(), uy = p[k]->Y() - p[0]->Y(),
                             uz = p[k]->Z() - p[0]->Z();
                const double vx = p[k + 1]->X() - p[0]->X(), vy = p[k + 1]->Y() - p[0]->Y(),
                             vz = p[k + 1]->Z() - p[0]->Z();
                area += 0.5 *
                        std::sqrt(std::pow(uy * vz - uz * vy, 2) + std::pow(uz * vx - ux * vz, 2) +
                                  std::pow(ux * vy - uy * vx, 2));
            }
        });
    }
    return area;
}

// The clustering on cubes of side h: the cell of every vertex (cells
// numbered from 0 as first met) and the mean point of every cell.
struct CClusters {
    std::vector<std::uint32_t> cellOf;
    std::vector<CVector3> means;
};

CClusters Cluster(const CElementVertices& v, const CBox& box, double h) {
    CClusters c;
    c.cellOf.resize(v.total);
    std::unordered_map<std::uint64_t, std::uint32_t> cells;
    cells.reserve(v.total / 4 + 16);
    std::vector<std::uint32_t> counts;
    const auto cell = [h](double x, double low) {
        return static_cast<std::uint64_t>(std::floor((x - low) / h)) & 0x1FFFFF;
    };
    for (std::uint32_t k = 0; k < v.total; ++k) {
        const CVector3& p = *v.points[k];
        const std::uint64_t key = cell(p.X(), box.low.X()) << 42 | cell(p.Y(), box.low.Y()) << 21 |
                                  cell(p.Z(), box.low.Z());
        const auto [it, added] = cells.try_emplace(key, static_cast<std::uint32_t>(c.means.size()));
        if (added) {
            c.means.emplace_back(0, 0, 0);
            counts.push_back(0);
        }
        c.cellOf[k] = it->second;
        c.means[it->second].Add(p);
        ++counts[it->second];
    }
    for (std::size_t i = 0; i < c.means.size(); ++i)
        c.means[i].Scale(1.0 / counts[i]);
    return c;
}

void PushPoint(std::vector<float>& to, const CVector3& p) {
    to.push_back(static_cast<float>(p.X()));
    to.push_back(static_cast<float>(p.Y()));
    to.push_back(static_cast<float>(p.Z()));
}

CCoarseEdges Segments(const std::vector<std::uint64_t>& edges,
                      const std::vector<const CVector3*>& at) {
    CCoarseEdges out;
    out.points.reserve(edges.size() * 6);
    for (const std::uint64_t e : edges) {
        PushPoint(out.points, *at[e >> 32]);
        PushPoint(out.points, *at[e & 0xFFFFFFFF]);
    }
    return out;
}

} // namespace

long long CoarseEdgeShare(long long faces, long long shipFaces) {
    if (shipFaces <= 0)
        return kCoarseEdgeFloor;
    const double share =
        static_cast<double>(kCoarseEdgeBudget) * static_cast<double>(faces) / shipFaces;
    return std::max(kCoarseEdgeFloor, static_cast<long long>(share));
}

CCoarseEdges BuildCoarseEdges(const CShipElement& element, long long maxEdges) {
    const CElementVertices v = Vertices(element);
    if (v.total == 0)
        return {};
    long long fanEdges = 0;
    ForEachFanEdge(element, [&fanEdges](std::uint32_t, std::uint32_t) { ++fanEdges; });
    // A closed surface has each edge in two triangles: with half its fan
    // edges within the share, the whole wireframe may do.
    if (fanEdges / 2 <= maxEdges) {
        std::vector<std::uint32_t> self(v.total);
        for (std::uint32_t k = 0; k < v.total; ++k)
            self[k] = k;
        const std::vector<std::uint64_t> edges = CellEdges(element, self);
        if (static_cast<long long>(edges.size()) <= maxEdges)
            return Segments(edges, v.points);
    }

    const CBox box = BoundingBox(v);
    CVector3 diagonal = box.high;
    diagonal.Subtract(box.low);
    const double extent = std::max({diagonal.X(), diagonal.Y(), diagonal.Z()});
    // 21 bits of cell number a side.
    const double smallest = std::max(extent / 1.5e6, std::numeric_limits<double>::min());
    // About 6 A / h^2 edges join the cells of side h that a surface of area
    // A crosses; the count sets the next size, as it goes with 1 / h^2.
    double area = PanelArea(element);
    if (!(area > 0))
        area = extent * extent;
    const double target = static_cast<double>(std::max(1LL, maxEdges));
    double h = std::max(smallest, std::sqrt(6 * area / target));
    std::vector<std::uint64_t> best;
    CClusters bestClusters;
    bool found = false;
    for (int pass = 0; pass < 40; ++pass) {
        CClusters clusters = Cluster(v, box, h);
        std::vector<std::uint64_t> edges = CellEdges(element, clusters.cellOf);
        const double count = static_cast<double>(edges.size());
        if (count > target) {
            // Finer overshoots and coarser is kept: nothing between is worth
            // another pass.
            if (found)
                break;
            h *= std::max(1.05, std::sqrt(count / target) * 1.02);
            continue;
        }
        if (!found || edges.size() > best.size()) {
            best = std::move(edges);
            bestClusters = std::move(clusters);
            found = true;
        }
        // Close enough to the share, or as fine as the cells go.
        if (count >= 0.7 * target || h <= smallest)
            break;
        h = std::max(smallest, h * std::sqrt(std::max(count, 1.0) / target) * 1.02);
    }
    if (!found) {
        // Two cells a side: a handful of edges.
        bestClusters = Cluster(v, box, std::max(smallest, extent / 2));
        best = CellEdges(element, bestClusters.cellOf);
    }
    std::vector<const CVector3*> at(bestClusters.means.size());
    for (std::size_t i = 0; i < at.size(); ++i)
        at[i] = &bestClusters.means[i];
    return Segments(best, at);
}

std::vector<CCoarseWireframes::CMeshKey> CCoarseWireframes::MeshKeys(const CShipElement& element) {
    std::vector<CMeshKey> keys;
    for (int m = 1; m <= element.GetCount(); ++m) {
        const CMesh* mesh = element.GetAt(m);
        keys.push_back({mesh, mesh->GetFaceCount(), mesh->GetVertexCount()});
    }
    return keys;
}

const CCoarseEdges& CCoarseWireframes::Get(const CShipElement& element, long long maxEdges) {
    std::vector<CMeshKey> keys = MeshKeys(element);
    CPicture& picture = m_pictures[&element];
    if (!picture.built || picture.max_edges != maxEdges || picture.meshes != keys) {
        picture.edges = BuildCoarseEdges(element, maxEdges);
        picture.meshes = std::move(keys);
        picture.max_edges = maxEdges;
        picture.built = true;
        ++m_builds;
    }
    return picture.edges;
}
