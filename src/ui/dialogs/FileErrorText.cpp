#include "FileErrorText.h"

#include "platform/CFileException.h"
#include "ui/app/UiLayer.h"

#include <new>

QString FileErrorMessage(const CFileException& e) {
    const QString file = FromFilePath(e.m_file_name);
    switch (e.m_cause) {
    case CFileException::fileNotFound:
        return QString("Impossibile trovare %1.").arg(file);
    case CFileException::accessDenied:
        return QString("Accesso a %1 negato.").arg(file);
    case CFileException::sharingViolation:
        return QString("Violazione di condivisione durante l'accesso a %1.").arg(file);
    case CFileException::diskFull:
        return QString("Disco pieno durante l'accesso a %1.").arg(file);
    case CFileException::endOfFile:
        return QString("Tentativo di accesso a %1 oltre la fine del file.").arg(file);
    case CFileException::notRegularFile:
        return QString("%1 non è un file.").arg(file);
    case CFileException::damaged:
        // Where the file breaks its format, as the reader found it.
        return QString("%1 non è un file valido.\n%2")
            .arg(file, QString::fromUtf8(e.m_detail.c_str()));
    case CFileException::generic:
        break;
    }
    return QString("Errore imprevisto durante l'accesso a %1.").arg(file);
}

QString FailureMessage(const std::exception& e) {
    if (const auto* file = dynamic_cast<const CFileException*>(&e))
        return FileErrorMessage(*file);
    if (dynamic_cast<const std::bad_alloc*>(&e))
        return "Memoria insufficiente.";
    return QString("Errore imprevisto (%1).").arg(QString::fromUtf8(e.what()));
}
