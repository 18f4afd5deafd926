// Checks of a surface given as faces over an array of points: whether it is
// closed, its faces consistently oriented and its normals outward, so that
// the volume it encloses is the one drawn. Separately drawn meshes (a deck
// meeting two sides) rarely share vertex indices, so vertices are matched by
// their coordinates within a tolerance, and an edge that runs along several
// edges of other faces (a T-junction) counts as joined to them. Each check is
// a function of its own; CheckSurface runs them all.
#pragma once

#include "MeshArrays.h"

#include <utility>
#include <vector>

struct CSurfaceCheck {
    long long faces = 0;
    long long vertices = 0;       // distinct within the tolerance
    long long degenerate = 0;     // faces of zero area, left out of the edges
    long long non_finite = 0;     // vertices with a coordinate that is not a number
    long long boundary_edges = 0; // edges of one face only: the surface is open there
    double boundary_length = 0;   // [m]
    long long non_manifold = 0;   // edges of three faces or more
    long long flipped_faces = 0;  // faces oriented against their neighbours
    long long t_junctions = 0;    // edges joined along several edges of others
    double volume = 0;            // signed, as the engine sums it [m^3]

    // No faces is no surface, and so none that is closed.
    bool IsClosed() const { return faces > 0 && boundary_edges == 0 && non_manifold == 0; }
    bool IsConsistent() const { return flipped_faces == 0; }
    // Normals outward: the enclosed volume counts positive.
    bool IsOutward() const { return volume > 0; }
};

// Welding: each point gets the index of the first point within the
// tolerance of it (a box of side 2 tolerance around it); a point that is not
// finite stays on its own.
struct CWeldedVertices {
    std::vector<int> canonical; // per point
    long long distinct = 0;
    long long non_finite = 0;
};
CWeldedVertices WeldVertices(const std::vector<CVector3>& points, double tolerance);

// Two faces meeting along an edge; flip when they run it the same way, so
// that one of them is turned against the other.
struct CFaceLink {
    int a, b;
    bool flip;
};

// The edges of the faces between welded vertices (canonical, from
// WeldVertices), a face of area tolerance^2 or less left out.
struct CSurfaceEdges {
    long long degenerate = 0;                            // faces left out
    long long non_manifold = 0;                          // edges of three faces or more
    std::vector<std::pair<int, int>> non_manifold_edges; // those edges, low index first
    std::vector<std::pair<int, int>> open;               // edges of one face, as it runs them
    std::vector<CFaceLink> links;                        // edges of two faces
};
CSurfaceEdges FindEdges(const CFaceList& faces, const std::vector<int>& canonical,
                        double tolerance);

// T-junctions: a boundary edge a -> b whose whole length is run the other
// way by a chain of other boundary edges b -> c -> ... -> a, every vertex
// within the tolerance of the segment ab, is joined to them; the edges so
// joined leave open. Returns the number of junctions.
long long JoinTJunctions(const std::vector<CVector3>& points,
                         std::vector<std::pair<int, int>>& open, double tolerance);

// Orientation: the faces linked across their edges are walked, each given a
// side; in each connected patch the smaller side counts as flipped (on a
// tie, the side of the patch's first face is kept). flipped, when given,
// receives those faces, increasing within each patch.
long long CountFlippedFaces(int faces, const std::vector<CFaceLink>& links,
                            std::vector<int>* flipped = nullptr);

// The signed volume the faces enclose, summed face by face in order over
// their fan triangles, as the engine sums it [m^3].
double EnclosedVolume(const CFaceList& faces);

// Where a surface fails its checks, to be shown: the open edges (those
// joined at T-junctions left out) and the non-manifold edges, each by its
// two end points, and the outline of every flipped face, edge by edge.
struct CSurfaceFaults {
    using CSegment = std::pair<CVector3, CVector3>;
    std::vector<CSegment> open_edges;
    std::vector<CSegment> non_manifold_edges;
    std::vector<CSegment> flipped_outlines;
    bool Empty() const {
        return open_edges.empty() && non_manifold_edges.empty() && flipped_outlines.empty();
    }
};

// Every check of the surface, with vertices matched within tolerance;
// faults, when given, receives where it fails them.
CSurfaceCheck CheckSurface(const CFaceList& faces, double tolerance,
                           CSurfaceFaults* faults = nullptr);
