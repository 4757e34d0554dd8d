#include "SystemError.h"

#include <cerrno>
#include <system_error>

namespace vantor {

std::string SystemErrorText(int errnum) {
    switch (errnum) {
        case EACCES:
        case EPERM: return "keine Berechtigung";
        case EROFS: return "das Dateisystem ist schreibgeschützt";
        case ENOSPC:
        case EDQUOT: return "kein Speicherplatz mehr frei";
        case ENOENT: return "Datei oder Ordner nicht vorhanden";
        case EISDIR: return "das ist ein Ordner";
        case ENOTDIR: return "ein Teil des Pfads ist kein Ordner";
        case EFBIG: return "die Datei ist zu groß";
        case EMFILE:
        case ENFILE: return "zu viele offene Dateien";
        case EIO: return "Ein-/Ausgabefehler";
        default:
            // Unlike strerror, safe while another thread asks too.
            return std::generic_category().message(errnum);
    }
}

}  // namespace vantor
