// An ASCII DXF drawing: the reader of the meshes of the model and the writer
// of the drawings the calculations leave behind.
//
// The reader does not parse group-code/value pairs as a stream. It looks for
// fixed keywords ("ENTITIES", "POLYLINE", "VERTEX", "SEQEND") in small windows
// of the raw text and takes a value from the line after a group-code line
// found as LF, code, CR (" 70" for code 70). Window sizes and patterns decide
// which drawings are accepted; they fit the CR LF text the common CAD
// programs write. Drawings with bare LF line ends are read as if their lines
// ended with CR LF.
//
// The writer builds each entity in memory and writes it in one call, so the
// file always ends on a whole entity.
#pragma once

#include "geometry/CVector3.h"
#include "platform/CFile.h"

#include <cstdint>
#include <string>

// One VERTEX record as read: its point and its integer groups, 0 when absent.
class CDxfVertex : public CVector3 {
public:
    std::int32_t m_index71 = 0;
    std::int32_t m_index72 = 0;
    std::int32_t m_index73 = 0;
    std::int32_t m_index74 = 0;
    std::int32_t m_flags70 = 0;
};

class CDxfFile : public CFile {
public:
    // Section and entity searches read this much at a time.
    static constexpr std::size_t kChunkSize = 500;
    // A POLYLINE header and each VERTEX record must fit in this window.
    static constexpr std::size_t kRecordWindow = 1000;
    // Chunks of the POLYLINE search overlap by this much, so that a keyword of
    // eight letters split between two chunks is still found.
    static constexpr std::size_t kChunkOverlap = 7;

    // POLYLINE flags (group 70) of the two meshes the model reads.
    static constexpr int kPolygonMesh = 16;
    static constexpr int kPolyfaceMesh = 64;
    // VERTEX flags (group 70) the writer uses.
    static constexpr int kPolygonMeshVertex = 64;
    static constexpr int kPolyfaceFace = 128;
    static constexpr int kPolyfaceVertex = 192;

    using CFile::CFile;

    // --- Reading ---

    // Positions the file 7 bytes before the first "ENTITIES" found inside one
    // 500-byte chunk (chunks do not overlap, so a keyword split between two
    // is missed). False, with the file at its end, when there is none.
    bool FindEntities();
    // Positions the file at the next "POLYLINE" from the current position.
    bool FindNextPolyline();
    // Groups 70 (flags), 71 (m) and 72 (n) of the POLYLINE at the current
    // position, 0 when absent; the file is left at its first VERTEX record.
    // False when the header holds no VERTEX within its window; the file is then
    // at the end of the window, or at the "SEQEND" or "POLYLINE" that shows the
    // entity has no vertices, so that the next search starts there.
    bool ReadPolylineHeader(int& flags, int& m, int& n);
    // The next VERTEX record; the file is left at the LF before the keyword
    // that follows. False at the end of the sequence (file at the LF before
    // "SEQEND"), or when the record does not fit its window or nothing follows
    // it: *damaged is then true and the record is left untouched.
    bool ReadVertex(CDxfVertex& vertex, bool* damaged = nullptr);
    // Counts the vertex records (flags 192, 64, 32 or 0) and the triangles of
    // the face records (flags 128; two for a quadrilateral) of the current
    // sequence, and returns to where it started. False when a record of the
    // sequence is damaged or the counts do not fit an int.
    bool CountPolyfaceRecords(int& nv, int& nf);
    // Bytes from the current position to the end of the file.
    std::uint64_t GetRemainingLength() const;
    // Whether the rest of the file is long enough for count VERTEX records
    // that carry their points; a header asking for more is not a drawing's
    // mesh, and sizing a grid by it could exhaust memory.
    bool CanHoldVertexRecords(std::int64_t count) const;

    // Fewest bytes of a VERTEX record that sets its point: the keyword and
    // three groups of one-digit values with bare LF line ends,
    // "VERTEX" + 3 x ("\n 10\n" + "0").
    static constexpr std::uint64_t kMinVertexRecordBytes = 24;

    // --- Writing ---

    // Empties the file and writes the head of the ENTITIES section.
    void WriteHead();
    // Closes the section, ends the file (no line end after "EOF") and flushes it.
    void WriteTail();
    void WriteLine(const CVector3& start, const CVector3& end);
    void WriteLine(const CVector3& start, const CVector3& end, int colour);
    // kind 16: polygon mesh of m x n vertices; kind 64: polyface mesh of m
    // vertices and n faces; any other kind: a 3D polyline without counts.
    void BeginPolyline(int kind, int m, int n);
    // kind 64: polygon mesh vertex; 128: polyface face with indices i1..i4
    // (i4 only when positive); 192: polyface vertex; any other kind: 3D
    // polyline vertex.
    void WriteVertex(const CVector3& p, int kind, int i1, int i2, int i3, int i4);
    void EndPolyline();

    void WritePolyfaceHeader(int vertexCount, int faceCount) {
        BeginPolyline(kPolyfaceMesh, vertexCount, faceCount);
    }
    void WriteGridHeader(int rows, int cols) { BeginPolyline(kPolygonMesh, rows, cols); }
    void WritePolyfaceVertex(const CVector3& p) { WriteVertex(p, kPolyfaceVertex, 0, 0, 0, 0); }
    void WriteGridVertex(const CVector3& p) { WriteVertex(p, kPolygonMeshVertex, 0, 0, 0, 0); }
    // Nothing when i1, i2 or i3 is 0 or below: such a face cannot be drawn.
    void WritePolyfaceFace(int i1, int i2, int i3, int i4);

private:
    // Reads up to count bytes from the current position into window.
    std::size_t ReadWindow(std::string& window, std::size_t count);
    // Appends text at the end of the file in one write.
    void WriteEntity(const std::string& text);
};
