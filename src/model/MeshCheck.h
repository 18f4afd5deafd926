// Checks of the surface an element's meshes form: whether it is closed, its
// faces consistently oriented and its normals outward, so that the volumes
// the engine sums are the ones the user drew. Separately drawn meshes (a
// deck meeting two sides) rarely share vertex indices, so vertices are
// matched by their coordinates within a tolerance relative to the element's
// size, and an edge of one mesh that runs along several edges of another (a
// T-junction) counts as joined to them.
#pragma once

#include <string>
#include <vector>

class CMesh;
class CShipElement;

// The checks of one set of faces: a single mesh, or an element's meshes
// together.
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

struct CElementCheck {
    double tolerance = 0;              // [m]
    CSurfaceCheck surface;             // all meshes together
    std::vector<CSurfaceCheck> meshes; // each mesh alone, in order
};

// The vertex-matching tolerance of an element: 1e-6 of the diagonal of its
// box (0 for an element without vertices).
double CheckTolerance(const CShipElement& element);

CElementCheck CheckElement(const CShipElement& element);

// One line per problem of an element of kind kind (kindHull, ...): an open
// surface with its boundary length, non-manifold edges, mixed orientation,
// non-finite vertices, and inward normals with what they mean for the kind
// and the command that turns them (invertCommand, e.g. "brelund-calc invert
// ship.nav 'name'"). Empty when the element is sound.
std::vector<std::string> DescribeProblems(const CShipElement& element, int kind,
                                          const CElementCheck& check,
                                          const std::string& invertCommand);

// What keeps a mesh's sums from being numbers: a vertex coordinate whose
// square is not a finite number, or an area, a volume or volume moments
// beyond the range of numbers. Every table would come out as infinities
// or "nan", so such a mesh is refused where it enters a ship (added from
// a file, or loaded). Empty when there is none; vertices are counted from
// 1 in GetVertex order.
std::string MeshNumberProblem(const CMesh& mesh);
