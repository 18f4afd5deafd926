#include "ObjWriter.h"

#include "platform/CFile.h"
#include "platform/CFileException.h"
#include "platform/NumberText.h"

#include <charconv>
#include <cmath>

namespace {

// The file is handed blocks of about this size.
constexpr std::size_t kWriteBlock = 64 * 1024;

// The name as one OBJ token.
std::string ObjName(const std::string& name) {
    std::string out = name.empty() ? "element" : name;
    for (char& c : out)
        if (static_cast<unsigned char>(c) <= ' ' || c == 0x7F)
            c = '_';
    return out;
}

void AppendNumber(std::string& out, double v) {
    // As "%.17g" formats it in the C locale: enough digits for any double
    // to read back to the same bits.
    char text[32];
    const auto r = std::to_chars(text, text + sizeof text, v, std::chars_format::general, 17);
    out.append(text, r.ptr);
}

void AppendIndex(std::string& out, long long k) {
    char text[24];
    const auto r = std::to_chars(text, text + sizeof text, k);
    out.append(text, r.ptr);
}

} // namespace

void WriteObj(const std::string& title, const std::string& name,
              const std::vector<CFaceList>& meshes, CFile& file) {
    const std::string token = ObjName(name);
    std::string out = "# " + title + " " + token + "\n";
    out.reserve(kWriteBlock + 128);
    auto flush = [&] {
        if (out.size() >= kWriteBlock) {
            file.Write(out.data(), out.size());
            out.clear();
        }
    };
    long long base = 0; // points written before this list's
    for (std::size_t m = 0; m < meshes.size(); ++m) {
        const CFaceList& mesh = meshes[m];
        if (mesh.points.empty() || mesh.FaceCount() == 0)
            continue;
        out += "o " + token + "_" + FormatC("%zu", m + 1) + "\n";
        for (const CVector3& p : mesh.points) {
            for (double c : {p.X(), p.Y(), p.Z()})
                if (!std::isfinite(c))
                    file.Fail(CFileException::generic,
                              BRELUND_SAY("the coordinate %g is not a finite number, which an "
                                          "OBJ file cannot hold",
                                          "la coordinata %g non è un numero finito, che un file "
                                          "OBJ non può contenere",
                                          c));
            out += "v ";
            AppendNumber(out, p.X());
            out += ' ';
            AppendNumber(out, p.Y());
            out += ' ';
            AppendNumber(out, p.Z());
            out += '\n';
            flush();
        }
        for (int f = 0; f < mesh.FaceCount(); ++f) {
            const std::span<const int> face = mesh.Face(f);
            for (std::size_t k = 1; k + 1 < face.size(); ++k) {
                out += "f";
                for (const int c : {face[0], face[k], face[k + 1]}) {
                    out += ' ';
                    AppendIndex(out, base + c + 1);
                }
                out += '\n';
                flush();
            }
        }
        base += static_cast<long long>(mesh.points.size());
    }
    file.Write(out.data(), out.size());
}
