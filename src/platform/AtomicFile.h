// Writing a file so that it is either whole or not there: the bytes go to a
// temporary file in the target's folder, which replaces the target only
// once everything is written and flushed.
#pragma once

#include "CFile.h"

#include <functional>
#include <string>

// Creates a temporary file beside path, calls fill with its name, then
// renames it over path. Any exception from fill or from the file layer
// removes the temporary file and propagates, naming path; the target is then
// untouched.
void ReplaceFileAtomically(const std::string& path,
                           const std::function<void(const std::string& tempPath)>& fill);

// Calls write with a File (CFile or a class derived from it) open for
// writing on the temporary file, then flushes it and puts it in place.
template <class File = CFile, class Write>
void WriteFileAtomically(const std::string& path, Write&& write) {
    ReplaceFileAtomically(path, [&](const std::string& tempPath) {
        File file;
        file.Open(tempPath, CFile::modeWrite);
        write(file);
        file.Flush();
        file.Close();
    });
}
