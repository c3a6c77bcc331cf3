# The two Debian packages of Gleichwart, built by `cpack -G DEB` in the build folder (or by
# scripts/package.sh), one for each install component:
#   sync    gleichwart-sync: the terminal program, its manual pages and bash completion;
#           it links only the core, so neither Qt nor any other GUI library is among its
#           dependencies, and it installs on a machine without a desktop
#   window  gleichwart: the window program, Icons/, the handbook, the icon theme, the
#           desktop entry, the metainfo and its manual pages; it depends on gleichwart-sync
#           of the same version, which its menu entry's rules are shared with
# Each has its copyright and changelog in /usr/share/doc/PACKAGE (data/CMakeLists.txt). The
# libraries each needs are read from its program by dpkg-shlibdeps (dpkg-dev). No test
# program and no benchmark is installed.

set(CPACK_GENERATOR "DEB")
set(CPACK_VERBATIM_VARIABLES ON)
set(CPACK_PACKAGE_NAME "gleichwart")
set(CPACK_PACKAGE_VENDOR "Halvorn Soft")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
# The project has no mail address. Debian wants a maintainer with one: the .invalid domain
# is reserved never to exist (RFC 2606), so the field says plainly that no mail arrives.
set(CPACK_PACKAGE_CONTACT "Gleichwart-Entwickler <gleichwart@halvorn.invalid>")
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
set(CPACK_STRIP_FILES ON)

set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL sync window)
set(CPACK_COMPONENT_WINDOW_DEPENDS sync)
set(CPACK_DEBIAN_ENABLE_COMPONENT_DEPENDS ON) # gleichwart: Depends: gleichwart-sync (= 0.1.0-1)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE "${GLEICHWART_DEBIAN_REVISION}")
set(CPACK_DEBIAN_PACKAGE_SOURCE "gleichwart")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
set(CPACK_DEBIAN_PACKAGE_SECTION "utils")
set(CPACK_DEBIAN_PACKAGE_PRIORITY "optional")
if(GLEICHWART_HOMEPAGE)
  set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${GLEICHWART_HOMEPAGE}")
endif()
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

set(CPACK_DEBIAN_SYNC_PACKAGE_NAME "gleichwart-sync")
set(CPACK_DEBIAN_SYNC_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_WINDOW_PACKAGE_NAME "gleichwart")
set(CPACK_DEBIAN_WINDOW_PACKAGE_SHLIBDEPS ON)
# The German texts of Qt's own dialogs, and the opener of web and mail links.
set(CPACK_DEBIAN_WINDOW_PACKAGE_RECOMMENDS "qt6-translations-l10n, xdg-utils")

# The descriptions: the first line is the synopsis; cpack indents every further line and
# writes an empty one as " .". Lines stay below 80 characters.
set(CPACK_COMPONENT_SYNC_DESCRIPTION
"bring a target folder in line with a start folder, from a terminal
gleichwart-sync brings a target folder in line with a start folder by a rule:
it compares both trees by path and modification time, then copies what is
missing or older, and by the rule copies newer files back, or moves what the
start no longer has to the trash or deletes it. It runs without a window, for
example from a systemd timer, with the rules stored by the window program
gleichwart; -n shows what a run would do.

Copies appear whole or not at all, files changed after the comparison are left
alone, symbolic links never lead out of a tree, and deleted files go to the
trash of their own disk. The messages are German.")
set(CPACK_COMPONENT_WINDOW_DESCRIPTION
"bring a target folder in line with a start folder, in a window
Gleichwart brings a target folder in line with a start folder by a rule.
\"Ordner laden\" (load folders) compares both trees by path and modification
time and lists what a run would copy and delete; untick what is to be left
alone, and \"Synchronisieren\" (synchronise) carries it out. A rule editor says
when files are copied, whether newer ones are copied back, and whether the
target's extra files are moved to the trash or deleted.

Copies appear whole or not at all, files changed after loading are left alone,
and deleted files go to the trash of their own disk. The window and its
handbook are German; the terminal program comes with gleichwart-sync.")

# Stripped as Debian strips (dh_strip): without the compiler's version note in .comment.
foreach(program gleichwart gleichwart-sync)
  install(CODE "
    if(CMAKE_INSTALL_DO_STRIP)
      execute_process(COMMAND \"${CMAKE_OBJCOPY}\" --remove-section=.comment
        \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/${program}\"
        COMMAND_ERROR_IS_FATAL ANY)
    endif()" COMPONENT ${GLEICHWART_COMPONENT_${program}})
endforeach()

include(CPack)
