// The checks of an element's surface (geometry/SurfaceCheck.h) over its
// meshes together and each alone, with a tolerance relative to the
// element's size, and what they say about the element in words.
#pragma once

#include "geometry/SurfaceCheck.h"

#include "platform/Message.h"

#include <string>
#include <vector>

class CMesh;
class CShipElement;
class CShipModel;

struct CElementCheck {
    double tolerance = 0;              // [m]
    CSurfaceCheck surface;             // all meshes together
    CSurfaceFaults faults;             // where they fail, to be shown
    std::vector<CSurfaceCheck> meshes; // each mesh alone, in order
};

// The vertex-matching tolerance of an element: 1e-6 of the diagonal of its
// box (0 for an element without vertices).
double CheckTolerance(const CShipElement& element);

// eachMesh false leaves meshes empty: the meshes together only, in half the
// time for an element of several meshes.
CElementCheck CheckElement(const CShipElement& element, bool eachMesh = true);

// One line per problem of an element of kind kind (kindHull, ...): an open
// surface with its boundary length, non-manifold edges, mixed orientation,
// non-finite vertices, and inward normals with what they mean for the kind
// and the command that turns them (invertCommand, e.g. "brelund-calc invert
// ship.nav 'name'"). Empty when the element is sound.
std::vector<std::string> DescribeProblems(const CShipElement& element, int kind,
                                          const CElementCheck& check,
                                          const std::string& invertCommand);

// An enabled element a calculation reads whose volume is not the one it
// draws: its surface is open, or closed with its normals inward (a
// compartment so turned is a flooded room on purpose, and is left out).
struct CSurfaceFault {
    const CShipElement* element = nullptr;
    int kind = 0;
    CSurfaceCheck surface;
    bool IsOpen() const { return surface.boundary_edges > 0; }
};
// Those faults among the enabled hull elements, and the compartments and
// tanks when asked, in list order. The checks are the ones `check` runs.
std::vector<CSurfaceFault> FindSurfaceFaults(const CShipModel& ship, bool compartments, bool tanks);

// What keeps a mesh's sums from being numbers: a vertex coordinate whose
// square is not a finite number, or an area, a volume or volume moments
// beyond the range of numbers. Every table would come out as infinities
// or "nan", so such a mesh is refused where it enters a ship (added from
// a file, or loaded). Empty when there is none; vertices are counted from
// 1 in GetVertex order.
CMessage MeshNumberProblem(const CMesh& mesh);
