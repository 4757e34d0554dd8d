#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "SystemError.h"

using namespace vantor;

TEST(SystemError, CommonReasonsReadInGerman) {
    const std::pair<int, const char*> table[] = {
        {EACCES, "keine Berechtigung"},
        {EPERM, "keine Berechtigung"},
        {EROFS, "das Dateisystem ist schreibgeschützt"},
        {ENOSPC, "kein Speicherplatz mehr frei"},
        {EDQUOT, "kein Speicherplatz mehr frei"},
        {ENOENT, "Datei oder Ordner nicht vorhanden"},
        {EISDIR, "das ist ein Ordner"},
        {ENOTDIR, "ein Teil des Pfads ist kein Ordner"},
        {EFBIG, "die Datei ist zu groß"},
        {EMFILE, "zu viele offene Dateien"},
        {ENFILE, "zu viele offene Dateien"},
        {EIO, "Ein-/Ausgabefehler"},
    };
    for (const auto& [errnum, text] : table) EXPECT_EQ(SystemErrorText(errnum), text) << errnum;
}

TEST(SystemError, RareReasonsKeepTheSystemText) {
    for (int errnum : {ELOOP, ENAMETOOLONG, EXDEV, 99999}) {
        EXPECT_EQ(SystemErrorText(errnum), std::strerror(errnum)) << errnum;
    }
}
