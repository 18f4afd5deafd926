// The standard messages of a file that cannot be opened or read, by cause,
// with the file's path in place of %1.
#pragma once

#include <QString>

class CFileException;

QString FileErrorMessage(const CFileException& e);
