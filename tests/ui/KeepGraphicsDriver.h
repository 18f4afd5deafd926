// The OpenGL driver Mesa loaded for the view (a "/dri/" library) is unloaded
// when Qt closes the display at exit. What it holds in its own globals then
// looks leaked to the leak checker, which runs after that and cannot even
// name the library. Keeping the driver loaded to the end of the process
// leaves its memory reachable, as it is while the program runs.
#pragma once

#include <dlfcn.h>
#include <fstream>
#include <string>

// Call once a view has been drawn, before the QApplication goes.
inline void KeepGraphicsDriverLoaded() {
    std::ifstream maps("/proc/self/maps");
    std::string line;
    while (std::getline(maps, line)) {
        const std::size_t slash = line.find('/');
        if (slash == std::string::npos)
            continue;
        const std::string path = line.substr(slash);
        // RTLD_NOLOAD: only a library already loaded; RTLD_NODELETE: never
        // unloaded from now on.
        if (path.find("/dri/") != std::string::npos && path.ends_with(".so"))
            dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
    }
}
