// The light picture of an element that the view draws while the camera
// moves: its wireframe thinned by merging the corners that fall in one cell
// of a grid, built once and kept per element until the element changes.
#pragma once

#include <cstdint>
#include <unordered_map>
#include <vector>

class CMesh;
class CShipElement;

// Line segments as x, y, z floats, two points a segment, as glDrawArrays
// takes them for GL_LINES.
struct CCoarseEdges {
    std::vector<float> points;

    long long Count() const { return static_cast<long long>(points.size() / 6); }
};

// Segments the coarse pictures of a whole ship hold, shared out among its
// elements by their face counts, so that a moving frame costs about the same
// whatever the ship...
inline constexpr long long kCoarseEdgeBudget = 50000;
// ...but never fewer than these for one element, so that a small tank next
// to a dense hull keeps its shape.
inline constexpr long long kCoarseEdgeFloor = 500;

// The share of an element of faces faces in a ship of shipFaces faces.
long long CoarseEdgeShare(long long faces, long long shipFaces);

// The edges of the element's fan triangles (as its wireframe draws them),
// each pair of corners once. When there are more than maxEdges, corners are
// merged cell by cell on a grid of cubes, each cell's corners into their
// mean point, and the edges joining two cells kept, each once; the cells
// grow until at most maxEdges remain. Meshes without a vertex array draw
// nothing.
CCoarseEdges BuildCoarseEdges(const CShipElement& element, long long maxEdges);

// The coarse pictures of a ship's elements, each built on first use.
class CCoarseWireframes {
public:
    // The element's picture for a share of maxEdges: the one kept, unless
    // the element's meshes or the share are not those it was built from.
    const CCoarseEdges& Get(const CShipElement& element, long long maxEdges);
    // Every picture dropped: the ship changed (an edit may change a mesh in
    // place, which the kept picture cannot see).
    void Clear() { m_pictures.clear(); }
    // Pictures built so far.
    long long Builds() const { return m_builds; }

private:
    struct CMeshKey {
        const CMesh* mesh;
        int faces;
        int vertices;
        bool operator==(const CMeshKey&) const = default;
    };
    struct CPicture {
        std::vector<CMeshKey> meshes;
        long long max_edges = 0;
        bool built = false;
        CCoarseEdges edges;
    };
    static std::vector<CMeshKey> MeshKeys(const CShipElement& element);

    std::unordered_map<const CShipElement*, CPicture> m_pictures;
    long long m_builds = 0;
};
