// Builds binary files byte by byte, the way another program following the
// ship file layout would write them, independently of our own writer.
#pragma once

#include <cstdint>
#include <cstring>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

class ByteBuilder {
public:
    ByteBuilder& I32(std::int32_t v) { return Raw(&v, 4); }
    ByteBuilder& U32(std::uint32_t v) { return Raw(&v, 4); }
    ByteBuilder& F64(double v) { return Raw(&v, 8); }
    ByteBuilder& U8(std::uint8_t v) { return Raw(&v, 1); }
    ByteBuilder& Vertex(double x, double y, double z) { return F64(x).F64(y).F64(z); }
    ByteBuilder& Str(const std::string& s) {
        I32(static_cast<std::int32_t>(s.size()));
        return Raw(s.data(), s.size());
    }
    // Element body: enabled, colour, name, mesh count.
    ByteBuilder& Body(bool enabled, std::uint32_t colour, const std::string& name, int meshes) {
        return U8(enabled ? 1 : 0).U32(colour).Str(name).I32(meshes);
    }
    ByteBuilder& Raw(const void* p, std::size_t n) {
        const auto* c = static_cast<const unsigned char*>(p);
        bytes.insert(bytes.end(), c, c + n);
        return *this;
    }
    std::size_t Size() const { return bytes.size(); }

    std::vector<unsigned char> bytes;
};

inline void WriteBytes(const std::string& path, const std::vector<unsigned char>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

inline std::vector<unsigned char> ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), {});
}

// A path under the build's test output folder, private to this process so
// that tests running in parallel never share a file.
inline std::string TestPath(const std::string& name) {
    return std::string(BRELUND_TEST_OUTPUT_DIR) + "/" + std::to_string(getpid()) + "-" + name;
}
