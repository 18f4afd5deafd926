// An ASCII DXF drawing: the reader of the meshes of the model and the writer
// of the drawings the calculations leave behind.
//
// The reader does not parse the whole drawing as a stream of group-code/value
// pairs. It looks for fixed keywords ("ENTITIES", "POLYLINE", "VERTEX",
// "SEQEND") in the raw text and takes a value from the line after a
// group-code line. A record runs from its keyword to the next keyword, however
// long it is; a sequence without its SEQEND also ends at the next POLYLINE
// entity or at the end of the section (the keyword as the value of a group
// 0, not inside a layer name). Lines end with CR LF or with a bare LF, each
// line by itself. A group-code line is found in either of two forms: as the
// common CAD programs write it (" 70": a blank and two digits), anywhere in
// the record, which wins; otherwise as the code with any blanks around it
// ("70", "  70 ") where a code line belongs, every second line after the
// keyword line for as long as those lines hold codes.
//
// The bytes are read in large blocks and kept; every operation still starts
// from the file position and leaves the file where the next one expects it.
// The drawing must not change while it is read; the writing operations drop
// what was kept.
//
// A value is read as the format has it for its group: a real (coordinates)
// is a number and nothing else, an integer (flags, counts, face indices) an
// optional sign and digits, blanks around either allowed.
//
// A mesh entity that cannot be read whole (a value that is not a number of
// its kind or not finite, a face index outside the vertices, a grid short of
// records, a drawing that ends inside the entity) is damage: the operation
// that meets it notes the fault (where and what), and the caller refuses the
// drawing with RefuseEntity. So is a drawing cut short before the end of its
// ENTITIES section (RequireWholeEntities).
//
// The writer builds each entity in memory and writes it in one call, so the
// file always ends on a whole entity.
#pragma once

#include "geometry/CSegmentList.h"
#include "geometry/CVector3.h"
#include "geometry/MeshArrays.h"
#include "platform/CFile.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

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
    // POLYLINE flag bits (group 70) of the two meshes the model reads, and
    // of a polygon mesh closed in M (its last row joined to the first) and
    // in N (its last column joined to the first).
    static constexpr int kPolygonMesh = 16;
    static constexpr int kPolyfaceMesh = 64;
    static constexpr int kClosedInM = 1;
    static constexpr int kClosedInN = 32;
    // VERTEX flags (group 70) the writer uses.
    static constexpr int kPolyfaceFace = 128;
    static constexpr int kPolygonMeshVertex = 64;
    static constexpr int kPolyfaceVertex = 192;

    using CFile::CFile;

    // Opens a file; what was kept of the one open before is dropped.
    void Open(const std::string& path, unsigned flags);

    // --- Reading ---

    // Positions the file 7 bytes before the first "ENTITIES" of the drawing
    // (at its start when that is nearer). False, with the file at its end,
    // when there is none.
    bool FindEntities();
    // Positions the file at the next "POLYLINE" from the current position;
    // false, with the file at its end, when there is none.
    bool FindNextPolyline();
    // Groups 70 (flags), 71 (m) and 72 (n) of the POLYLINE at the current
    // position, 0 when absent; the file is left at its first VERTEX record.
    // False when a "SEQEND", another "POLYLINE" or an "ENDSEC" line comes
    // before any VERTEX, the file then being there so that the next search
    // starts there, or when nothing follows the header (the file is then at
    // its end). False too, with *damaged true and the fault noted, when one
    // of the three groups is not an integer.
    bool ReadPolylineHeader(int& flags, int& m, int& n, bool* damaged = nullptr);
    // The next VERTEX record; the file is left at the LF before the keyword
    // that follows. False at the end of the sequence: "SEQEND", or a
    // "POLYLINE" or "ENDSEC" line, right after the position (the file is
    // left at the LF before it). False too, with *damaged true, the record
    // untouched and the fault noted, when the drawing ends inside the
    // sequence, a coordinate of the record is not a finite number or one of
    // its groups 70 to 74 is not an integer.
    bool ReadVertex(CDxfVertex& vertex, bool* damaged = nullptr);
    // As ReadVertex, from offset `at` instead of the file position, which is
    // left alone: at moves as the position would. For the record loops of
    // the meshes, which then set the position once.
    bool ReadVertexAt(std::uint64_t& at, CDxfVertex& vertex, bool* damaged = nullptr);
    // Counts the vertex records (flags 192, 64, 32 or 0) and the triangles of
    // the face records (flags 128; two for a quadrilateral) of the current
    // sequence, and returns to where it started. False, with the fault noted,
    // when the drawing ends inside the sequence or the counts do not fit an
    // int.
    bool CountPolyfaceRecords(int& nv, int& nf);
    // Bytes from the current position to the end of the file.
    std::uint64_t GetRemainingLength() const;
    // Whether the rest of the file is long enough for count VERTEX records
    // that carry their points; a header asking for more is not a drawing's
    // mesh, and sizing a grid by it could exhaust memory.
    bool CanHoldVertexRecords(std::int64_t count) const;

    // Fewest bytes of a VERTEX record that sets its point: the keyword and
    // three groups of one-digit values with bare LF line ends and codes
    // without blanks, "VERTEX" + 3 x ("\n10\n" + "0").
    static constexpr std::uint64_t kMinVertexRecordBytes = 21;

    // Positions the file at the next 3DFACE entity: a line "3DFACE" after a
    // group-code line 0. False, with the file at its end, when there is none.
    bool FindNext3dFace();
    // The four corners of the 3DFACE at the current position (groups 10/20/30
    // to 13/23/33); a face without the fourth corner repeats the third. The
    // file is left at the group-code line 0 of the entity that follows.
    // False, with the fault noted, when a corner is missing, is not a number
    // or is not finite, or the drawing ends inside the entity.
    bool Read3dFace(std::array<CVector3, 4>& corners);

    // --- Damage ---

    // Refuses the drawing (CFileException, damaged) unless it holds an
    // ENTITIES section (the name as the value of a group 2) closed by its
    // ENDSEC: a drawing without it was cut short, or is no drawing, and
    // the entities after the cut are missing from what was read. What
    // follows the section (the "EOF" end included) is not asked for.
    void RequireWholeEntities();

    // Notes why the entity being read is damaged: what, at a byte offset.
    void NoteFault(std::uint64_t offset, CMessage what);
    // The same, at the value line of group `code` of the last record or
    // header read (at the record itself when the group was absent).
    void NoteGroupFault(int code, CMessage what);
    // Refuses the drawing: CFileException (damaged) naming the entity whose
    // keyword is at entityOffset and the fault last noted, with their lines.
    // entity: its keyword ("POLYLINE"), or what stands for it.
    [[noreturn]] void RefuseEntity(const CMessage& entity, std::uint64_t entityOffset);
    // 1-based line of the file that holds the byte at offset.
    std::uint64_t LineOf(std::uint64_t offset);

    // --- Writing ---

    // Empties the file and writes the head of the ENTITIES section.
    void WriteHead();
    // Closes the section, ends the file (no line end after "EOF") and flushes it.
    void WriteTail();
    void WriteLine(const CVector3& start, const CVector3& end);
    void WriteLine(const CVector3& start, const CVector3& end, int colour);
    // One LINE of colour 1 per segment, start to end: the outline of a
    // transverse section.
    void WriteSection(const CSegmentList& segments);
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
    // Raises CFileException (generic) when a coordinate of p is not finite:
    // written, it would make a drawing that no reader takes back. For the
    // writers of meshes, before they write anything of one.
    void RequireFinite(const CVector3& p) const;

    // A polyface mesh as one POLYLINE: the vertices flagged 192, then each
    // triangle as a face record (one with an index at 0 or below is left
    // out). CFileException, with nothing written, when a vertex is not
    // finite.
    void WritePolyfaceMesh(const std::vector<CVector3>& vertices,
                           const std::vector<CFaceIndices>& faces);
    // A polygon mesh of rows x cols points, row by row, as one POLYLINE; as
    // WritePolyfaceMesh for a point that is not finite.
    void WriteGridMesh(int rows, int cols, const std::vector<CVector3>& points);

private:
    // Bytes read from the file at a time, and so the least that is kept.
    static constexpr std::size_t kBlockSize = std::size_t{4} << 20;
    // The group codes a VERTEX record or a POLYLINE header is read for.
    static constexpr std::array<int, 8> kRecordCodes = {10, 20, 30, 70, 71, 72, 73, 74};
    static constexpr std::uint64_t kNone = ~std::uint64_t{0};

    // The bytes from `from` up to `to` (fewer at the end of the file), in
    // one piece; reads a block from `from` when they are not all kept. The
    // view lasts until the next call.
    std::string_view Bytes(std::uint64_t from, std::uint64_t to);
    void DropBytes();
    // First "word" at or after `from`; kNone when there is none.
    std::uint64_t FindText(std::uint64_t from, std::string_view word);
    // First of a set of keywords at or after `from` (see the .cpp).
    std::uint64_t FindKeyword(std::uint64_t from, unsigned set, unsigned& found);
    // Reads the groups of kRecordCodes from the record text [from, to); a
    // group found sets values[i] and the offset of its value line.
    void ReadGroups(std::uint64_t from, std::uint64_t to,
                    std::array<std::string_view, kRecordCodes.size()>& values);
    // Line at `at` without its line end; at moves to the next line. False at
    // the end of the file.
    bool NextLine(std::uint64_t& at, std::string& line);

    // File bytes from m_bytesStart; m_bytesAtEnd when they reach the end.
    std::string m_bytes;
    std::uint64_t m_bytesStart = 0;
    bool m_bytesAtEnd = false;
    // Offsets of the value lines of the groups of the last record or
    // header read, kNone when absent, and of its keyword.
    std::array<std::uint64_t, kRecordCodes.size()> m_groupLines{};
    std::uint64_t m_recordStart = 0;
    // The fault last noted.
    std::uint64_t m_faultOffset = 0;
    CMessage m_fault;

    // Appends text at the end of the file in one write.
    void WriteEntity(const std::string& text);
};
