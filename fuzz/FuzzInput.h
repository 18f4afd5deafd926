// The readers take files, so each input goes to a file of this process's
// own that lives in memory (memfd): nothing is left on disk, and writing an
// input costs no file system work. The readers open it by its /proc path.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <sys/mman.h>
#include <unistd.h>

namespace fuzzinput {
inline int Descriptor() {
    static const int fd = [] {
        const int d = memfd_create("brelund-fuzz-input", MFD_CLOEXEC);
        if (d < 0)
            std::abort();
        return d;
    }();
    return fd;
}
} // namespace fuzzinput

inline const std::string& FuzzInputPath(const char* /*extension*/) {
    static const std::string path = "/proc/self/fd/" + std::to_string(fuzzinput::Descriptor());
    return path;
}

inline void WriteFuzzInput(const std::string& /*path*/, const std::uint8_t* data,
                           std::size_t size) {
    const int fd = fuzzinput::Descriptor();
    if (ftruncate(fd, 0) != 0)
        std::abort();
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = pwrite(fd, data + done, size - done, static_cast<off_t>(done));
        if (n <= 0)
            std::abort();
        done += static_cast<std::size_t>(n);
    }
}
