#include "ModelDrawing.h"

#include "CCoarseWireframe.h"
#include "CViewVolume.h"

#include "geometry/CMatrix.h"
#include "geometry/CTriangle.h"
#include "geometry/Scalar.h"
#include "geometry/SurfaceCheck.h"
#include "model/CShipModel.h"
#include "model/MeshFaces.h"

#include <GL/gl.h>

#include <vector>

namespace {

// A colour component k of 0..255 is drawn as k / 255.
struct CRgb {
    double r, g, b;
};

CRgb ElementRgb(const CShipElement& element) {
    const Colour c = element.GetColour();
    return {(c & 0xFF) / 255.0, ((c >> 8) & 0xFF) / 255.0, ((c >> 16) & 0xFF) / 255.0};
}

// Calls fn(corners, n) for every face of every mesh of the element, in
// order, with pointers to the face's corners.
template <class Fn> void ForEachElementFace(const CShipElement& element, Fn&& fn) {
    CPointList face;
    std::vector<const CVector3*> corners;
    for (int m = 1; m <= element.GetCount(); ++m) {
        const CMesh& mesh = *element.GetAt(m);
        if (const CVector3* points = meshfaces::VertexArray(mesh)) {
            meshfaces::ForEachFace(mesh, points, fn);
            continue;
        }
        // A kind of mesh without a vertex array: its faces one by one.
        for (int i = 1; i <= mesh.GetFaceCount(); ++i) {
            face.RemoveAll();
            mesh.GetFace(i, face);
            corners.clear();
            for (int k = 1; k <= face.GetCount(); ++k)
                corners.push_back(face.GetAt(k));
            fn(corners.data(), face.GetCount());
        }
    }
}

// Vertices (and normals) gathered in client arrays and handed to
// glDrawArrays a block at a time: the same primitives in the same order as
// one glBegin/glEnd each, without a call per vertex. Coordinates go to
// single precision as OpenGL takes glVertex3d.
class CVertexBatch {
public:
    static constexpr std::size_t kBlockVertices = 6 * 16384;

    // The arrays are the drawing thread's own and keep their room from one
    // batch to the next: a frame allocates nothing once the first is drawn.
    CVertexBatch(GLenum mode, bool normals)
        : m_mode(mode), m_normals(normals), m_vertices(Storage().vertices),
          m_normal_data(Storage().normals) {
        m_vertices.clear();
        m_normal_data.clear();
    }
    ~CVertexBatch() { Flush(); }
    CVertexBatch(const CVertexBatch&) = delete;
    CVertexBatch& operator=(const CVertexBatch&) = delete;

    // Room for n more vertices in the block: primitives never straddle two.
    void Reserve(std::size_t n) {
        if (m_vertices.size() / 3 + n > kBlockVertices)
            Flush();
    }
    void Vertex(const CVector3& p) { Push(m_vertices, p); }
    void Vertex(const CVector3& p, const CVector3& n) {
        Push(m_vertices, p);
        Push(m_normal_data, n);
    }

    void Flush() {
        if (m_vertices.empty())
            return;
        glEnableClientState(GL_VERTEX_ARRAY);
        glVertexPointer(3, GL_FLOAT, 0, m_vertices.data());
        if (m_normals) {
            glEnableClientState(GL_NORMAL_ARRAY);
            glNormalPointer(GL_FLOAT, 0, m_normal_data.data());
        }
        glDrawArrays(m_mode, 0, static_cast<GLsizei>(m_vertices.size() / 3));
        if (m_normals)
            glDisableClientState(GL_NORMAL_ARRAY);
        glDisableClientState(GL_VERTEX_ARRAY);
        m_vertices.clear();
        m_normal_data.clear();
    }

private:
    static void Push(std::vector<GLfloat>& to, const CVector3& p) {
        to.push_back(static_cast<GLfloat>(p.X()));
        to.push_back(static_cast<GLfloat>(p.Y()));
        to.push_back(static_cast<GLfloat>(p.Z()));
    }

    struct CArrays {
        std::vector<GLfloat> vertices;
        std::vector<GLfloat> normals;
    };
    static CArrays& Storage() {
        thread_local CArrays arrays;
        return arrays;
    }

    GLenum m_mode;
    bool m_normals;
    std::vector<GLfloat>& m_vertices;
    std::vector<GLfloat>& m_normal_data;
};

void Vertex(const CVector3& p) {
    glVertex3d(p.X(), p.Y(), p.Z());
}

// Calls fn(element) for every enabled element: hull elements, compartments,
// then tanks, each in list order.
template <class Fn> void ForEachElement(const CShipModel& model, Fn&& fn) {
    const auto each = [&fn](const auto& list) {
        for (int i = 1; i <= list.GetCount(); ++i)
            fn(static_cast<const CShipElement&>(*list.GetAt(i)));
    };
    each(model.HullElements());
    each(model.Compartments());
    each(model.Tanks());
}

template <class Fn> void ForEachEnabledElement(const CShipModel& model, Fn&& fn) {
    ForEachElement(model, [&fn](const CShipElement& element) {
        if (element.IsEnabled())
            fn(element);
    });
}

} // namespace

void DrawAxes(const CViewVolume& volume) {
    glDisable(GL_LIGHTING);
    glBegin(GL_LINES);
    glColor3d(1, 0, 0);
    glVertex3d(volume.m_left, 0, 0);
    glVertex3d(volume.m_right, 0, 0);
    glColor3d(0, 1, 0);
    glVertex3d(0, volume.m_bottom, 0);
    glVertex3d(0, volume.m_top, 0);
    glColor3d(0, 0, 1);
    glVertex3d(0, 0, volume.m_near);
    glVertex3d(0, 0, volume.m_far);
    glEnd();
    glEnable(GL_LIGHTING);
}

long long DrawModel(const CShipModel& model) {
    long long segments = 0;
    ForEachEnabledElement(model,
                          [&segments](const CShipElement& e) { segments += DrawWireframe(e); });
    return segments;
}

long long DrawCoarseModel(const CShipModel& model, CCoarseWireframes& pictures) {
    // The shares are of every element, enabled or not, so that a picture
    // stays good when another element is switched on or off.
    long long shipFaces = 0;
    ForEachElement(model, [&shipFaces](const CShipElement& e) { shipFaces += e.GetFaceCount(); });
    long long segments = 0;
    glDisable(GL_LIGHTING);
    glEnableClientState(GL_VERTEX_ARRAY);
    ForEachEnabledElement(model, [&](const CShipElement& element) {
        const CCoarseEdges& edges =
            pictures.Get(element, CoarseEdgeShare(element.GetFaceCount(), shipFaces));
        if (edges.Count() == 0)
            return;
        const CRgb c = ElementRgb(element);
        glColor3d(c.r, c.g, c.b);
        glVertexPointer(3, GL_FLOAT, 0, edges.points.data());
        glDrawArrays(GL_LINES, 0, static_cast<GLsizei>(2 * edges.Count()));
        segments += edges.Count();
    });
    glDisableClientState(GL_VERTEX_ARRAY);
    glEnable(GL_LIGHTING);
    return segments;
}

long long DrawWireframe(const CShipElement& element) {
    glDisable(GL_LIGHTING);
    const CRgb c = ElementRgb(element);
    glColor3d(c.r, c.g, c.b);
    long long segments = 0;
    {
        // A line loop through (a, b, c) is the segments a-b, b-c, c-a.
        CVertexBatch lines(GL_LINES, false);
        ForEachElementFace(element, [&lines, &segments](const CVector3* const* p, int n) {
            for (int k = 1; k + 1 < n; ++k) {
                segments += 3;
                lines.Reserve(6);
                lines.Vertex(*p[0]);
                lines.Vertex(*p[k]);
                lines.Vertex(*p[k]);
                lines.Vertex(*p[k + 1]);
                lines.Vertex(*p[k + 1]);
                lines.Vertex(*p[0]);
            }
        });
    }
    glEnable(GL_LIGHTING);
    return segments;
}

void DrawShaded(const CShipElement& element) {
    const CRgb c = ElementRgb(element);
    const GLfloat diffuse[4] = {static_cast<GLfloat>(c.r), static_cast<GLfloat>(c.g),
                                static_cast<GLfloat>(c.b), 1};
    const GLfloat black[4] = {0, 0, 0, 1};
    glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, diffuse);
    glMaterialfv(GL_BACK, GL_AMBIENT, black);
    glMaterialfv(GL_BACK, GL_DIFFUSE, black);

    CVertexBatch triangles(GL_TRIANGLES, true);
    CTriangle t;
    CVector3 normal;
    ForEachElementFace(element, [&](const CVector3* const* p, int n) {
        for (int k = 1; k + 1 < n; ++k) {
            t.V(1) = *p[0];
            t.V(2) = *p[k];
            t.V(3) = *p[k + 1];
            t.Normal(normal);
            triangles.Reserve(3);
            for (int v = 1; v <= 3; ++v)
                triangles.Vertex(t.V(v), normal);
        }
    });
}

void DrawNormals(const CShipElement& element, double length) {
    // The barb: the shaft turned by 10 degrees about each axis, 0.7 as long.
    CRotationMatrix r10;
    r10.SetRotation(DegToRad(10), DegToRad(10), DegToRad(10));
    CPointList face;
    CTriangle t;
    CVector3 normal, centroid;
    for (int m = 1; m <= element.GetCount(); ++m) {
        const CMesh& mesh = *element.GetAt(m);
        const int n = mesh.GetFaceCount() / 5;
        for (int i = 1; i <= 4; ++i) {
            // A face number the mesh does not have (0 when it has fewer than
            // five faces) leaves the list empty.
            face.RemoveAll();
            mesh.GetFace(i * n, face);
            if (face.GetCount() < 3)
                continue;
            for (int v = 1; v <= 3; ++v)
                t.V(v) = *face.GetAt(v);
            t.Normal(normal);
            t.Centroid(centroid);
            CVector3 tip = normal;
            tip.Scale(length);
            tip.Add(centroid);

            glDisable(GL_LIGHTING);
            glColor3d(0.95, 0.95, 0);
            glBegin(GL_TRIANGLES);
            for (int v = 1; v <= 3; ++v)
                Vertex(t.V(v));
            glEnd();
            glEnable(GL_LIGHTING);

            // Q = M + 0.7 R10 (Tip - M)
            CVector3 shaft = tip;
            shaft.Subtract(centroid);
            CVector3 barb;
            barb.Transform(r10, shaft);
            barb.Scale(0.7);
            barb.Add(centroid);
            glDisable(GL_LIGHTING);
            glColor3d(0.8, 0, 0);
            glBegin(GL_LINE_STRIP);
            Vertex(centroid);
            Vertex(tip);
            Vertex(barb);
            glEnd();
            glEnable(GL_LIGHTING);
        }
    }
}

void DrawFaults(const CSurfaceFaults& faults) {
    if (faults.Empty())
        return;
    const GLboolean depth = glIsEnabled(GL_DEPTH_TEST);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    glLineWidth(3);
    const auto lines = [](const std::vector<CSurfaceFaults::CSegment>& segments, GLubyte r,
                          GLubyte g, GLubyte b) {
        if (segments.empty())
            return;
        glColor3ub(r, g, b);
        CVertexBatch batch(GL_LINES, false);
        for (const CSurfaceFaults::CSegment& s : segments) {
            batch.Reserve(2);
            batch.Vertex(s.first);
            batch.Vertex(s.second);
        }
    };
    lines(faults.flipped_outlines, 255, 140, 0);
    lines(faults.open_edges, 255, 0, 255);
    lines(faults.non_manifold_edges, 255, 0, 255);
    glLineWidth(1);
    glEnable(GL_LIGHTING);
    if (depth)
        glEnable(GL_DEPTH_TEST);
}
