// One closed faceted surface of an element. The engine and the renderer see
// it only through its faces (1..GetFaceCount) and vertices; the order of a
// face's vertices gives its outward normal by the right-hand rule.
#pragma once

#include "geometry/CPointList.h"
#include "geometry/MeshArrays.h"

class CDxfFile;
class CFile;
class CMatrixBase;
class CSectionContour;

class CMesh {
public:
    enum Type { typeNone = 0, typePolyface = 1, typeGrid = 2 };

    CMesh() = default;
    virtual ~CMesh() = default;
    CMesh(const CMesh&) = delete;
    CMesh& operator=(const CMesh&) = delete;

    // Reverses the orientation of every face.
    virtual void InvertNormals() = 0;
    // Vertex i (index base per kind of mesh) or null.
    virtual CVector3* GetVertex(int i) = 0;
    virtual int GetVertexCount() const = 0;
    // The tag the ship file writes before the mesh.
    virtual int GetType() const { return typeNone; }
    // Writes the mesh as one DXF POLYLINE entity; CFileException, with
    // nothing written, when a vertex is not finite.
    virtual void ExportDxf(CDxfFile& file) const = 0;
    virtual void Load(CFile& file) = 0;
    virtual void Store(CFile& file) const = 0;
    // Face i, 1 <= i <= GetFaceCount(), as copies of its vertices in order.
    virtual void GetFace(int i, CPointList& list) const = 0;
    virtual int GetFaceCount() const = 0;

    // Appends the vertices, in GetVertex order, and the faces (their corner
    // indices offset by the points already there) to list; nothing when the
    // mesh has no vertex.
    void AppendFaces(CFaceList& list) const;

    // Smallest and largest x, y and z over every vertex; false, with the
    // outputs untouched, when the mesh has no vertex.
    bool Extents(CVector3& min, CVector3& max) const;
    // Appends the cut of every face by the plane x = const that has a vertex
    // short of it (x strictly below), in face order.
    void AddSections(double x, CSectionContour& contour) const;

    bool GetOrientation() const { return m_orientation; }
    void SetOrientation(bool orientation) { m_orientation = orientation; }

protected:
    // Selects the winding of a grid mesh's quads.
    bool m_orientation = true;
};

// Widens the box (min, max) to hold the box (lo, hi).
inline void WidenBox(CVector3& min, CVector3& max, const CVector3& lo, const CVector3& hi) {
    min.Set(lo.X() < min.X() ? lo.X() : min.X(), lo.Y() < min.Y() ? lo.Y() : min.Y(),
            lo.Z() < min.Z() ? lo.Z() : min.Z());
    max.Set(hi.X() > max.X() ? hi.X() : max.X(), hi.Y() > max.Y() ? hi.Y() : max.Y(),
            hi.Z() > max.Z() ? hi.Z() : max.Z());
}

// The box of the items of a list (meshes, elements) that have one; false,
// with the outputs untouched, when none has.
template <class List> bool ExtentsOf(const List& list, CVector3& min, CVector3& max) {
    bool any = false;
    for (int i = 1; i <= list.GetCount(); ++i) {
        CVector3 lo, hi;
        if (!list.GetAt(i)->Extents(lo, hi))
            continue;
        if (any) {
            WidenBox(min, max, lo, hi);
        } else {
            min = lo;
            max = hi;
        }
        any = true;
    }
    return any;
}
