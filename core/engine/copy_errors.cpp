#include "copy_errors.h"

#include "platform/file_ops.h"
#include "platform/file_system.h"

#include <cerrno>
#include <cstring>

namespace {

bool IsPermission(int err) {
    return err == EACCES || err == EPERM;
}

bool ExistsAsFile(platform::FileOps& ops, const std::string& path) {
    platform::FileInfo st;
    return ops.Lstat(path, st) == 0 && !st.isFolder();
}

std::string SideText(platform::CopySide side) {
    return side == platform::CopySide::Source ? "Quelldatei: " : "Zieldatei: ";
}

} // namespace

std::string ErrorDescription(int err) {
    switch (err) {
    case ENOENT:
        return "Die Datei oder der Ordner existiert nicht.";
    case EACCES:
    case EPERM:
        return "Zugriff verweigert.";
    case ENOSPC:
        return "Auf dem Datenträger ist nicht genügend Speicherplatz vorhanden.";
    case EDQUOT:
        return "Das Speicherkontingent ist erschöpft.";
    case EIO:
        return "Ein-/Ausgabefehler beim Zugriff auf den Datenträger.";
    case EROFS:
        return "Der Datenträger ist schreibgeschützt.";
    case EISDIR:
        return "Am Ziel befindet sich ein Ordner.";
    case ENOTDIR:
        return "Ein Teil des Pfades ist kein Ordner.";
    case ENAMETOOLONG:
        return "Der Dateiname ist zu lang.";
    case EFBIG:
        return "Die Datei ist für den Datenträger zu groß.";
    case EMFILE:
    case ENFILE:
        return "Es sind zu viele Dateien geöffnet.";
    case EBUSY:
    case ETXTBSY:
        return "Die Datei wird gerade verwendet.";
    case ELOOP:
        return "Zu viele symbolische Verknüpfungen im Pfad.";
    case EINVAL:
        return "Die Datei ist keine gewöhnliche Datei.";
    case EXDEV:
        return "Die Datei liegt auf einem anderen Datenträger.";
    case ENOMEM:
        return "Nicht genügend Arbeitsspeicher.";
    default:
        return "Fehler " + std::to_string(err) + " (" + std::strerror(err) + ").";
    }
}

std::string CopyErrorReason(platform::FileOps& ops, const std::string& source,
                            const std::string& destination, const platform::CopyResult& failure) {
    // What the run found out itself needs no probing, and a destination behind a link or
    // changed since the load is not to be probed through its path either.
    switch (failure.problem) {
    case platform::CopyProblem::LinkInPath:
        return failure.side == platform::CopySide::Source
                   ? "Ein Teil des Quellpfads ist eine symbolische Verknüpfung."
                   : "Ein Teil des Zielpfads ist eine symbolische Verknüpfung.";
    case platform::CopyProblem::DestinationChanged:
        return "Die Zieldatei wurde nach dem Laden geändert.";
    case platform::CopyProblem::SourceChanged:
        return "Die Quelldatei wurde nach dem Laden geändert.";
    case platform::CopyProblem::KindsDiffer:
        return "Auf einer Seite eine symbolische Verknüpfung, auf der anderen eine Datei oder ein "
               "Ordner gleichen Namens: nicht angetastet.";
    case platform::CopyProblem::None:
        break;
    }
    if (!ExistsAsFile(ops, source))
        return "Quelldatei existiert nicht";
    if (int err = platform::TryOpen(ops, source, false); err != 0)
        return IsPermission(err) ? "Lesezugriff auf Quelldatei verweigert"
                                 : "Quelldatei: " + ErrorDescription(err);
    if (ExistsAsFile(ops, destination)) {
        // A read-only destination refuses writing, whoever asks, as on Windows.
        platform::FileInfo st;
        int err = ops.Lstat(destination, st);
        if (err == 0 && !st.ownerMayWrite())
            err = EACCES;
        if (err == 0)
            err = platform::TryOpen(ops, destination, true);
        if (err != 0)
            return IsPermission(err) ? "Schreibzugriff auf Zieldatei verweigert"
                                     : "Zieldatei: " + ErrorDescription(err);
    }
    if (failure.error != 0 && failure.side != platform::CopySide::None)
        return SideText(failure.side) + ErrorDescription(failure.error);
    return "Unbekannter Fehler";
}
