// Drawings written by hand as other CAD programs write them (group codes
// right-justified in three characters, counts right-justified in six, CR LF
// line ends), independently of our own writer, and helpers to read them.
#pragma once

#include "support/ByteBuilder.h"

#include "io/CDxfFile.h"
#include "model/CShipElement.h"
#include "platform/CFileException.h"
#include "platform/NumberText.h"

#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <string>
#include <vector>

namespace dxftext {

// The lines, each ended by CR LF.
inline std::string Lines(const std::vector<std::string>& lines) {
    std::string out;
    for (const std::string& line : lines)
        out += line + "\r\n";
    return out;
}

inline std::string Group(const std::string& code, const std::string& value) {
    return Lines({code, value});
}

// A count as such programs write it: right-justified in six characters.
inline std::string Count(int n) {
    return FormatC("%6d", n);
}
inline std::string Number(double v) {
    return FormatC("%.6f", v);
}

inline std::string PolylineHeader(int flags, int m, int n) {
    return Group("  0", "POLYLINE") + Group("  8", "0") + Group(" 66", Count(1)) +
           Group(" 10", "0.0") + Group(" 20", "0.0") + Group(" 30", "0.0") +
           Group(" 70", Count(flags)) + Group(" 71", Count(m)) + Group(" 72", Count(n));
}

inline std::string VertexRecord(const CVector3& p, int flags) {
    return Group("  0", "VERTEX") + Group("  8", "0") + Group(" 10", Number(p.X())) +
           Group(" 20", Number(p.Y())) + Group(" 30", Number(p.Z())) + Group(" 70", Count(flags));
}

// A face record; corner 4 is written only when it is not 0.
inline std::string FaceRecord(const std::array<int, 4>& f) {
    std::string out = Group("  0", "VERTEX") + Group("  8", "0") + Group(" 10", "0.0") +
                      Group(" 20", "0.0") + Group(" 30", "0.0") + Group(" 70", Count(128)) +
                      Group(" 71", Count(f[0])) + Group(" 72", Count(f[1])) +
                      Group(" 73", Count(f[2]));
    if (f[3] != 0)
        out += Group(" 74", Count(f[3]));
    return out;
}

inline std::string Seqend() {
    return Group("  0", "SEQEND") + Group("  8", "0");
}

inline std::string Polyface(const std::vector<CVector3>& vertices,
                            const std::vector<std::array<int, 4>>& faces, int flags = 64) {
    std::string out =
        PolylineHeader(flags, static_cast<int>(vertices.size()), static_cast<int>(faces.size()));
    for (const CVector3& v : vertices)
        out += VertexRecord(v, 192);
    for (const auto& f : faces)
        out += FaceRecord(f);
    return out + Seqend();
}

// An m x n polygon mesh; point (r, j) is points[r * n + j].
inline std::string Grid(int m, int n, const std::vector<CVector3>& points, int flags = 16) {
    std::string out = PolylineHeader(flags, m, n);
    for (const CVector3& p : points)
        out += VertexRecord(p, 64);
    return out + Seqend();
}

// A whole drawing: a header section, an optional BLOCKS section, the entities.
inline std::string Drawing(const std::string& entities, const std::string& blocks = "") {
    std::string out = Group("  0", "SECTION") + Group("  2", "HEADER") + Group("  9", "$ACADVER") +
                      Group("  1", "AC1009") + Group("  0", "ENDSEC");
    if (!blocks.empty())
        out += Group("  0", "SECTION") + Group("  2", "BLOCKS") + Group("  0", "BLOCK") +
               Group("  8", "0") + Group("  2", "PART") + Group(" 70", Count(0)) + blocks +
               Group("  0", "ENDBLK") + Group("  0", "ENDSEC");
    out += Group("  0", "SECTION") + Group("  2", "ENTITIES") + entities + Group("  0", "ENDSEC");
    return out + "  0\r\nEOF\r\n";
}

// The same text with bare LF line ends.
inline std::string ToLf(const std::string& text) {
    std::string out;
    for (char c : text)
        if (c != '\r')
            out += c;
    return out;
}

// The lines of a drawing of these helpers, without their CR LF.
inline std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t end = text.find("\r\n", at);
        lines.push_back(text.substr(at, end - at));
        at = end + 2;
    }
    return lines;
}

// The drawing with every group-code line (the even lines: these drawings
// are pairs from their first line) written as before + code + after, and
// line k ended by eol(k).
template <class LineEnd>
std::string Rewritten(const std::string& text, const std::string& before, const std::string& after,
                      LineEnd eol) {
    const std::vector<std::string> lines = SplitLines(text);
    std::string out;
    for (std::size_t k = 0; k < lines.size(); ++k) {
        if (k % 2 == 0) {
            const std::size_t digits = lines[k].find_first_not_of(' ');
            out += before + lines[k].substr(digits) + after;
        } else {
            out += lines[k];
        }
        out += eol(k);
    }
    return out;
}

// The box lo..hi as 8 vertices and 6 quadrilateral faces, each corner
// sequence counter-clockwise seen from outside. Vertex k + 1 takes x from
// bit 0, y from bit 1 and z from bit 2 of k.
inline std::string BoxPolyface(double x0, double y0, double z0, double x1, double y1, double z1) {
    std::vector<CVector3> v;
    for (int k = 0; k < 8; ++k)
        v.emplace_back(k & 1 ? x1 : x0, k & 2 ? y1 : y0, k & 4 ? z1 : z0);
    return Polyface(
        v, {{1, 3, 4, 2}, {5, 6, 8, 7}, {1, 2, 6, 5}, {3, 7, 8, 4}, {1, 5, 7, 3}, {2, 4, 8, 6}});
}

// A 2 x 3 grid of the square 0..1 x 0..1 at height z.
inline std::vector<CVector3> SquareGridPoints(double z) {
    std::vector<CVector3> p;
    for (int r = 0; r < 2; ++r)
        for (int j = 0; j < 3; ++j)
            p.emplace_back(j * 0.5, r, z);
    return p;
}

inline void WriteText(const std::string& path, const std::string& text) {
    WriteBytes(path, std::vector<unsigned char>(text.begin(), text.end()));
}

inline std::string ReadText(const std::string& path) {
    const std::vector<unsigned char> bytes = ReadBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

// Imports the drawing into a new element as the element tree does: from the
// ENTITIES section for a hull element, from the start for any other kind.
inline std::unique_ptr<CShipElement> Import(const std::string& text, int kind,
                                            const std::string& name = "import.dxf") {
    const std::string path = TestPath(name);
    WriteText(path, text);
    CDxfFile file(path, CFile::modeRead);
    file.SeekToBegin();
    if (kind == kindHull)
        file.FindEntities();
    auto element = std::make_unique<CShipElement>();
    element->ImportDxf(file);
    return element;
}

// The detail of the refusal of a drawing, empty when it is read.
inline std::string Refusal(const std::string& text, int kind,
                           const std::string& name = "refused.dxf") {
    try {
        Import(text, kind, name);
    } catch (const CFileException& e) {
        EXPECT_EQ(e.m_cause, CFileException::damaged);
        EXPECT_EQ(e.m_file_name, TestPath(name));
        return e.m_detail;
    }
    return std::string();
}

// Same kind, same points in the same order, same faces corner by corner.
inline void ExpectSameMesh(const CMesh& a, const CMesh& b) {
    ASSERT_EQ(a.GetType(), b.GetType());
    EXPECT_EQ(a.GetOrientation(), b.GetOrientation());
    ASSERT_EQ(a.GetVertexCount(), b.GetVertexCount());
    ASSERT_EQ(a.GetFaceCount(), b.GetFaceCount());
    // Polyface vertices are numbered from 1, grid points from 0.
    const int first = a.GetType() == CMesh::typeGrid ? 0 : 1;
    CMesh& va = const_cast<CMesh&>(a);
    CMesh& vb = const_cast<CMesh&>(b);
    for (int i = first; i < first + a.GetVertexCount(); ++i) {
        EXPECT_EQ(va.GetVertex(i)->X(), vb.GetVertex(i)->X()) << "vertex " << i;
        EXPECT_EQ(va.GetVertex(i)->Y(), vb.GetVertex(i)->Y()) << "vertex " << i;
        EXPECT_EQ(va.GetVertex(i)->Z(), vb.GetVertex(i)->Z()) << "vertex " << i;
    }
    CPointList fa, fb;
    for (int i = 1; i <= a.GetFaceCount(); ++i) {
        a.GetFace(i, fa);
        b.GetFace(i, fb);
        ASSERT_EQ(fa.GetCount(), fb.GetCount()) << "face " << i;
        for (int k = 1; k <= fa.GetCount(); ++k) {
            EXPECT_EQ(fa.GetAt(k)->X(), fb.GetAt(k)->X()) << "face " << i << " corner " << k;
            EXPECT_EQ(fa.GetAt(k)->Y(), fb.GetAt(k)->Y()) << "face " << i << " corner " << k;
            EXPECT_EQ(fa.GetAt(k)->Z(), fb.GetAt(k)->Z()) << "face " << i << " corner " << k;
        }
    }
}

inline void ExpectSameMeshes(const CShipElement& a, const CShipElement& b) {
    ASSERT_EQ(a.GetCount(), b.GetCount());
    for (int m = 1; m <= a.GetCount(); ++m) {
        SCOPED_TRACE("mesh " + std::to_string(m));
        ExpectSameMesh(*a.GetAt(m), *b.GetAt(m));
    }
}

} // namespace dxftext
