// The readers take files, so each input goes to a file of this process's own.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <unistd.h>

inline const std::string& FuzzInputPath(const char* extension) {
    static const std::string path = "/tmp/brelund-fuzz-" + std::to_string(getpid()) + extension;
    return path;
}

inline void WriteFuzzInput(const std::string& path, const std::uint8_t* data, std::size_t size) {
    std::FILE* out = std::fopen(path.c_str(), "wb");
    if (out == nullptr)
        return;
    if (size > 0)
        std::fwrite(data, 1, size, out);
    std::fclose(out);
}
