#include "FileErrorText.h"

#include "platform/CFileException.h"
#include "ui/app/UiLayer.h"

#include <new>

namespace {

// What the reader or the writer found, as a sentence of its own: the
// Italian words the core gave, else nothing (the headline says it all).
QString Detail(const CFileException& e) {
    QString detail = QString::fromUtf8(e.m_detail_italian.c_str());
    if (!detail.isEmpty())
        detail[0] = detail[0].toUpper();
    return detail;
}

QString Headline(const CFileException& e, const QString& file) {
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
        return QString("%1 non è un file valido.").arg(file);
    case CFileException::generic:
        break;
    }
    return QString("Errore imprevisto durante l'accesso a %1.").arg(file);
}

} // namespace

QString FileErrorMessage(const CFileException& e) {
    const QString headline = Headline(e, FromFilePath(e.m_file_name));
    const QString detail = Detail(e);
    return detail.isEmpty() ? headline : headline + "\n" + detail;
}

QString FailureMessage(const std::exception& e) {
    if (const auto* file = dynamic_cast<const CFileException*>(&e))
        return FileErrorMessage(*file);
    if (dynamic_cast<const std::bad_alloc*>(&e))
        return "Memoria insufficiente.";
    return QString("Errore imprevisto (%1).").arg(QString::fromUtf8(e.what()));
}
