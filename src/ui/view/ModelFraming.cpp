#include "ModelFraming.h"

#include "CViewCamera.h"

#include "geometry/Scalar.h"
#include "model/CShipModel.h"
#include "model/MeshFaces.h"

namespace {

template <class Fn> void ForEachVertex(const CShipElement& element, Fn&& fn) {
    CPointList face;
    for (int m = 1; m <= element.GetCount(); ++m) {
        const CMesh& mesh = *element.GetAt(m);
        if (const CVector3* v = meshfaces::VertexArray(mesh)) {
            for (int k = 0; k < mesh.GetVertexCount(); ++k)
                fn(v[k]);
            continue;
        }
        // A kind of mesh without a vertex array: its faces' corners.
        for (int i = 1; i <= mesh.GetFaceCount(); ++i) {
            mesh.GetFace(i, face);
            for (int k = 1; k <= face.GetCount(); ++k)
                fn(*face.GetAt(k));
        }
    }
}

template <class List, class Fn> void ForEachVertexOf(const List& list, Fn&& fn) {
    for (int i = 1; i <= list.GetCount(); ++i)
        ForEachVertex(*list.GetAt(i), fn);
}

template <class Fn> void ForEachVertex(const CShipModel& model, Fn&& fn) {
    ForEachVertexOf(model.HullElements(), fn);
    ForEachVertexOf(model.Compartments(), fn);
    ForEachVertexOf(model.Tanks(), fn);
}

// The smallest and largest x, y and z of the points fn is given.
class CBox {
public:
    void Add(const CVector3& p) {
        if (m_empty) {
            m_min = m_max = p;
            m_empty = false;
            return;
        }
        m_min.Set(Min(m_min.X(), p.X()), Min(m_min.Y(), p.Y()), Min(m_min.Z(), p.Z()));
        m_max.Set(Max(m_max.X(), p.X()), Max(m_max.Y(), p.Y()), Max(m_max.Z(), p.Z()));
    }
    bool IsEmpty() const { return m_empty; }
    const CVector3& Minimum() const { return m_min; }
    const CVector3& Maximum() const { return m_max; }

private:
    bool m_empty = true;
    CVector3 m_min;
    CVector3 m_max;
};

} // namespace

bool FrameModel(CViewCamera& camera, const CShipModel& model) {
    CBox box;
    ForEachVertex(model, [&box](const CVector3& p) { box.Add(p); });
    if (box.IsEmpty())
        return false;
    const CVector3& lo = box.Minimum();
    const CVector3& hi = box.Maximum();
    // A point or a line along z: no width and no height to show.
    if (lo.X() == hi.X() && lo.Y() == hi.Y())
        return false;

    const double ax = camera.AngleX(), ay = camera.AngleY(), az = camera.AngleZ();
    camera.SetAngles(0, 0, 0);
    // T = -(minimum + maximum) / 2
    CVector3 t(lo.X() + hi.X(), lo.Y() + hi.Y(), lo.Z() + hi.Z());
    t.Scale(-0.5);
    camera.SetTranslation(t);

    CBox eye;
    ForEachVertex(model, [&](const CVector3& p) { eye.Add(camera.ToEye(p)); });
    const CVector3& mn = eye.Minimum();
    const CVector3& mx = eye.Maximum();
    CViewVolume& v = camera.Volume();
    v.m_left = mn.X();
    v.m_right = mx.X();
    v.m_bottom = mn.Y();
    v.m_top = mx.Y();
    const double m = Min(mn.X(), Min(mn.Y(), mn.Z()));
    const double big = Max(mx.X(), Max(mx.Y(), mx.Z()));
    v.m_near = m - 2 * Abs(m);
    v.m_far = big + 2 * Abs(big);
    camera.ZoomOut(0.3);
    camera.SetAngles(ax, ay, az);
    return true;
}
