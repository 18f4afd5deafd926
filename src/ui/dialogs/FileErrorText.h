// The standard messages of a file that cannot be opened, read or written,
// by cause, with the file's path in place of %1; and the Italian words for
// any other failure that ends a command.
#pragma once

#include <QString>

#include <exception>

class CFileException;

QString FileErrorMessage(const CFileException& e);

// A file's failure by FileErrorMessage, memory running out, or else an
// unexpected error with the program's own note for whoever mends it.
QString FailureMessage(const std::exception& e);
