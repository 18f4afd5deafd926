// Drawing the ship with OpenGL 1.1 into the current context: the axes, the
// wireframe of the enabled elements, and the previews of one element (lit
// triangles, or sample faces with their normals as arrows), walking the
// model again at every call; while the camera moves, the thinned wireframes
// kept between frames instead. Over them, the faults the model check found.
#pragma once

struct CSurfaceFaults;

class CCoarseWireframes;
class CShipElement;
class CShipModel;
class CViewVolume;

// Three lines spanning the volume, lighting off: x red from left to right, y
// green from bottom to top, z blue from near to far.
void DrawAxes(const CViewVolume& volume);

// The wireframe of every enabled element: hull elements, compartments, then
// tanks, each in list order. Returns the line segments drawn.
long long DrawModel(const CShipModel& model);

// The same elements in the same order and colours, each as its coarse
// picture (CCoarseWireframe.h) for its share of the ship's budget, taken
// from pictures or built there. Returns the line segments drawn.
long long DrawCoarseModel(const CShipModel& model, CCoarseWireframes& pictures);

// Every fan triangle (P1, Pk, Pk+1) of every face as a closed line loop in the
// element's colour, lighting off; a face of more than three corners thus
// shows its fan diagonals. Faces of fewer than three corners draw nothing.
// Returns the line segments drawn.
long long DrawWireframe(const CShipElement& element);

// The element's fan triangles lit, each with its unit normal: front and back
// diffuse the element's colour, back faces' ambient and diffuse black (with
// two-sided lighting a face seen from behind is dark).
void DrawShaded(const CShipElement& element);

// For each mesh of n faces, faces (n / 5) i for i = 1..4: the first triangle
// filled in yellow, and an arrow of length metres from its centroid along its
// normal, with one barb back from the tip.
void DrawNormals(const CShipElement& element, double length);

// Where a surface fails its checks, over everything else (the depth test
// off) in lines 3 pixels wide, lighting off: the outlines of flipped faces
// in orange (255, 140, 0), then the open and non-manifold edges in magenta
// (255, 0, 255), so that an open edge of a flipped face shows as open.
void DrawFaults(const CSurfaceFaults& faults);
