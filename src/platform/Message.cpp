#include "Message.h"

#include <cerrno>
#include <cstring>

CMessage ErrnoText(int err) {
    const std::string english = std::strerror(err);
    const char* italian = nullptr;
    switch (err) {
    case ENOENT:
        italian = "file o cartella inesistente";
        break;
    case ENOTDIR:
        italian = "un elemento del percorso non è una cartella";
        break;
    case EISDIR:
        italian = "è una cartella";
        break;
    case EACCES:
        italian = "permesso negato";
        break;
    case EPERM:
        italian = "operazione non permessa";
        break;
    case EROFS:
        italian = "file system di sola lettura";
        break;
    case ENOSPC:
        italian = "spazio esaurito sul dispositivo";
        break;
    case EDQUOT:
        italian = "quota del disco superata";
        break;
    case EIO:
        italian = "errore di ingresso/uscita";
        break;
    case ENAMETOOLONG:
        italian = "nome di file troppo lungo";
        break;
    case ELOOP:
        italian = "troppi livelli di collegamenti simbolici";
        break;
    case EMFILE:
    case ENFILE:
        italian = "troppi file aperti";
        break;
    case ENOMEM:
        italian = "memoria insufficiente";
        break;
    case EBUSY:
        italian = "dispositivo o risorsa occupata";
        break;
    case ETXTBSY:
        italian = "file di testo occupato";
        break;
    case EXDEV:
        italian = "collegamento tra dispositivi diversi";
        break;
    case EFBIG:
        italian = "file troppo grande";
        break;
    case EINVAL:
        italian = "argomento non valido";
        break;
    case EAGAIN:
        italian = "risorsa temporaneamente non disponibile";
        break;
    case ESTALE:
        italian = "riferimento al file non più valido";
        break;
    default:
        break;
    }
    return {english, italian != nullptr ? std::string(italian) : english};
}
