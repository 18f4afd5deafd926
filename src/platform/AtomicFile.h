// Writing a file so that it is either whole or not there: the bytes go to a
// temporary file in the target's folder, which replaces the target only
// once everything is written and flushed.
#pragma once

#include <functional>
#include <string>

class CFile;

// Calls write with the temporary file open for writing, then renames it over
// path. Any exception from write or from the file layer removes the
// temporary file and propagates; the target is then untouched.
void WriteFileAtomically(const std::string& path, const std::function<void(CFile&)>& write);
