#include "MeshFileKind.h"

#include "MeshFileText.h"
#include "StlReader.h"
#include "platform/CFile.h"

#include <algorithm>

using namespace meshtext;

namespace {

// What DetectMeshFile reads of a file: enough for the long comment blocks
// some modellers put before the first OBJ vertex.
constexpr std::size_t kDetectHead = 64 * 1024;

// Group-code/value pairs: the first line a group code, and a line that is
// one of the keywords a drawing with meshes has.
bool LooksLikeDxf(std::string_view head) {
    CLines lines(head);
    std::string_view line, token, rest;
    bool first = true;
    while (lines.Next(line)) {
        rest = line;
        if (!NextToken(rest, token))
            continue;
        if (first) {
            long long code;
            if (!ParseInteger(token, code) || NextToken(rest, token))
                return false;
            first = false;
        } else if ((token == "SECTION" || token == "ENTITIES" || token == "POLYLINE" ||
                    token == "3DFACE") &&
                   !NextToken(rest, token)) {
            return true;
        }
    }
    return false;
}

bool LooksLikeObj(std::string_view head) {
    CLines lines(head);
    std::string_view line;
    while (lines.Next(line))
        if (line.size() >= 2 && (line[0] == 'v' || line[0] == 'f') &&
            (line[1] == ' ' || line[1] == '\t'))
            return true;
    return false;
}

std::string LowerExtension(const std::string& path) {
    const std::size_t dot = path.find_last_of("./");
    if (dot == std::string::npos || path[dot] != '.')
        return {};
    std::string ext = path.substr(dot);
    for (char& c : ext)
        c = Lower(c);
    return ext;
}

} // namespace

CMeshFileKind DetectMeshKind(std::string_view head, std::uint64_t size, const std::string& path) {
    if (IsBinaryStl(head, size))
        return CMeshFileKind::stlBinary;
    const bool text = head.find('\0') == std::string_view::npos;
    if (text) {
        if (LooksLikeAsciiStl(head) &&
            (ContainsNoCase(head, "facet") || ContainsNoCase(head, "endsolid")))
            return CMeshFileKind::stlAscii;
        if (LooksLikeDxf(head))
            return CMeshFileKind::dxf;
        if (LooksLikeObj(head))
            return CMeshFileKind::obj;
    }
    const std::string ext = LowerExtension(path);
    if (ext == ".stl")
        return LooksLikeAsciiStl(head) ? CMeshFileKind::stlAscii : CMeshFileKind::stlBinary;
    if (ext == ".obj")
        return CMeshFileKind::obj;
    if (ext == ".dxf")
        return CMeshFileKind::dxf;
    return CMeshFileKind::unknown;
}

CMeshFileKind DetectMeshFile(const std::string& path) {
    CFile file(path, CFile::modeRead);
    const std::uint64_t size = file.GetLength();
    std::string head(static_cast<std::size_t>(std::min<std::uint64_t>(size, kDetectHead)), '\0');
    head.resize(file.Read(head.data(), head.size()));
    return DetectMeshKind(head, size, path);
}
