# The Debian package of Gleichwart, built by `cpack -G DEB` in the build folder (or by
# scripts/package.sh). It holds what `cmake --install` installs: the two programs, Icons/,
# the handbook, the icon theme, the desktop entry, the metainfo and the manual pages; no test
# program and no benchmark is installed. The libraries it needs are read from the programs by
# dpkg-shlibdeps (dpkg-dev), so the package depends on what they are linked against.

set(CPACK_GENERATOR "DEB")
set(CPACK_VERBATIM_VARIABLES ON) # the description holds quotes
set(CPACK_PACKAGE_NAME "gleichwart")
set(CPACK_PACKAGE_VENDOR "Halvorn Soft")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_CONTACT "Gleichwart-Entwickler <gleichwart@halvorn.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Ordner abgleichen / bring a target folder in line with a start folder")
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
set(CPACK_DEBIAN_PACKAGE_SECTION "utils")
set(CPACK_DEBIAN_PACKAGE_PRIORITY "optional")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${GLEICHWART_HOMEPAGE}")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The German texts of Qt's own dialogs, and the opener of web and mail links.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n, xdg-utils")
# The long description; cpack puts the summary above it, indents every line and writes an
# empty line as " .".
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
"Gleichwart bringt einen Zielordner nach einer Regel mit einem Startordner in
Einklang. \"Ordner laden\" vergleicht beide Bäume nach Pfad und Änderungszeit
und zeigt, was kopiert und was gelöscht würde; \"Synchronisieren\" führt den
Abgleich aus. Kopien entstehen vollständig oder gar nicht, gelöschte Dateien
kommen in den Papierkorb ihres Datenträgers. gleichwart-sync gleicht mit
denselben Regeln im Terminal ab, etwa aus einem systemd-Timer.

Gleichwart brings a target folder in line with a start folder by a rule:
\"Ordner laden\" compares both trees by path and modification time and lists
what would be copied and deleted; \"Synchronisieren\" carries it out. Copies
appear whole or not at all, deleted files go to the trash of their own disk.
gleichwart-sync does the same from a terminal, for example from a systemd
timer. The user interface is German.")

include(CPack)
