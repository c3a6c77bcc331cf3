# Checks what `cmake --install` lays out, as a ctest script (cmake -P). CHECK says what:
#   tree      installs BUILD_DIR under PREFIX into DESTDIR (removed first) and checks that it
#             holds both programs (they start and tell their version), Icons/, the handbook,
#             the application icon at every size, the desktop entry, the metainfo, the
#             manual pages and changelogs gzipped as Debian wants them (-9n: no name, no
#             time), each package's copyright, the bash completion, and nothing else in bin/
#             (no test program, no benchmark)
#   desktop   desktop-file-validate on the installed desktop entry
#   metainfo  appstreamcli validate on the installed metainfo, and validate-tree on the tree
#   man       man renders the English and German page of each program without a warning,
#             and each page names every option its program's --help names
# A check whose tool is missing prints "SKIPPED:" (ctest counts it as skipped).
foreach(var CHECK DESTDIR PREFIX)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "${var} is not set")
  endif()
endforeach()
set(root "${DESTDIR}${PREFIX}")
set(share "${root}/${DATADIR}")
set(desktop_file "${share}/applications/${APP_ID}.desktop")
set(metainfo_file "${share}/metainfo/${APP_ID}.metainfo.xml")
set(programs gleichwart gleichwart-sync)
set(man_pages "")
set(gzipped "")
foreach(program IN LISTS programs)
  list(APPEND man_pages "${root}/${MANDIR}/man1/${program}.1.gz"
       "${root}/${MANDIR}/de/man1/${program}.1.gz")
  list(APPEND gzipped "${share}/doc/${program}/changelog.Debian.gz")
endforeach()
list(APPEND gzipped ${man_pages})
set(source_dir "${CMAKE_CURRENT_LIST_DIR}/../..")
set(problems "")

# Ends the script (a macro, so that return() leaves the script) when `tool` is missing.
macro(skip_without tool variable)
  find_program(${variable} ${tool})
  if(NOT ${variable})
    message(STATUS "SKIPPED: ${tool} is not installed (scripts/install-deps.sh installs it)")
    return()
  endif()
endmacro()

macro(problem text)
  list(APPEND problems "${text}")
endmacro()

# Width and height of a PNG, from its IHDR header.
function(png_size file out)
  file(READ "${file}" header HEX OFFSET 16 LIMIT 8)
  string(SUBSTRING "${header}" 0 8 w)
  string(SUBSTRING "${header}" 8 8 h)
  math(EXPR w "0x${w}")
  math(EXPR h "0x${h}")
  set(${out} "${w}x${h}" PARENT_SCOPE)
endfunction()

# The value of `key` in the [Desktop Entry] file, empty when missing.
function(desktop_value file key out)
  file(STRINGS "${file}" lines REGEX "^${key}=")
  list(GET lines 0 line)
  string(REGEX REPLACE "^${key}=" "" line "${line}")
  set(${out} "${line}" PARENT_SCOPE)
endfunction()

function(run_checked)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  set(run_rc "${rc}" PARENT_SCOPE)
  set(run_out "${out}" PARENT_SCOPE)
  set(run_err "${err}" PARENT_SCOPE)
endfunction()

if(CHECK STREQUAL "tree")
  file(REMOVE_RECURSE "${DESTDIR}")
  run_checked(${CMAKE_COMMAND} -E env "DESTDIR=${DESTDIR}"
              ${CMAKE_COMMAND} --install "${BUILD_DIR}" --prefix "${PREFIX}")
  if(NOT run_rc EQUAL 0)
    message(FATAL_ERROR "cmake --install failed (build the targets gleichwart, "
                        "gleichwart-sync, gleichwart_icons and gleichwart_compressed_docs "
                        "first):\n${run_out}${run_err}")
  endif()

  # The programs, and nothing else, in bin/.
  file(GLOB installed_bin RELATIVE "${root}/${BINDIR}" "${root}/${BINDIR}/*")
  list(SORT installed_bin)
  if(NOT installed_bin STREQUAL "gleichwart;gleichwart-sync")
    problem("bin/ holds '${installed_bin}' instead of exactly both programs")
  endif()
  foreach(program IN LISTS programs)
    run_checked("${root}/${BINDIR}/${program}" --version)
    if(NOT run_rc EQUAL 0 OR NOT run_out MATCHES "^${program} ${VERSION}\nLizenz: GNU GPL, Version 3 oder später")
      problem("${program} --version: exit ${run_rc}, '${run_out}${run_err}'")
    endif()
  endforeach()
  file(GLOB_RECURSE strays "${root}/*_test*" "${root}/*bench*" "${root}/*gtest*")
  if(strays)
    problem("test or benchmark files installed: ${strays}")
  endif()

  # Icons/ whole, where the program looks for it beside its bin folder.
  foreach(file gleichwart.svg gleichwart-16.png gleichwart-32.png gleichwart-48.png
          gleichwart-256.png)
    if(NOT EXISTS "${share}/gleichwart/Icons/${file}")
      problem("missing: ${DATADIR}/gleichwart/Icons/${file}")
    endif()
  endforeach()

  # The handbook beside Icons/, where "Hilfethemen" looks for it (ui_help_menu_test follows
  # each of its links).
  if(NOT EXISTS "${share}/gleichwart/handbook/handbuch.html")
    problem("missing: ${DATADIR}/gleichwart/handbook/handbuch.html")
  endif()

  # The application icon in the theme, each picture of the size its folder names.
  set(theme "${share}/icons/hicolor")
  foreach(size 16 32 48 64 128 256)
    set(png "${theme}/${size}x${size}/apps/gleichwart.png")
    if(NOT EXISTS "${png}")
      problem("missing: the ${size} px icon ${png}")
    else()
      png_size("${png}" actual)
      if(NOT actual STREQUAL "${size}x${size}")
        problem("${png} is ${actual} px")
      endif()
    endif()
  endforeach()
  if(NOT EXISTS "${theme}/scalable/apps/gleichwart.svg")
    problem("missing: the scalable icon")
  endif()

  # The pages and changelogs as gzip -9n writes them: deflate, no name, time 0.
  foreach(file IN LISTS gzipped)
    if(EXISTS "${file}")
      file(READ "${file}" header HEX LIMIT 8)
      if(NOT header STREQUAL "1f8b080000000000")
        problem("${file} is not gzipped without name and time (header ${header})")
      endif()
    endif()
  endforeach()
  # The bash completion where bash-completion looks, once data/ has one.
  set(completion "${share}/bash-completion/completions/gleichwart-sync")
  if(EXISTS "${source_dir}/data/bash-completion/gleichwart-sync" AND NOT EXISTS "${completion}")
    problem("missing: ${completion}")
  endif()

  # The desktop entry starts an installed program and names an installed icon; the
  # metainfo launches that entry and names both programs.
  foreach(file IN LISTS gzipped ITEMS "${desktop_file}" "${metainfo_file}"
          "${share}/doc/gleichwart/copyright" "${share}/doc/gleichwart-sync/copyright")
    if(NOT EXISTS "${file}")
      problem("missing: ${file}")
    endif()
  endforeach()
  if(EXISTS "${desktop_file}")
    desktop_value("${desktop_file}" Exec exec)
    desktop_value("${desktop_file}" Icon icon)
    if(NOT exec STREQUAL "gleichwart")
      problem("the desktop entry starts '${exec}', not gleichwart")
    endif()
    if(NOT EXISTS "${theme}/scalable/apps/${icon}.svg")
      problem("the desktop entry's icon '${icon}' is not in the theme")
    endif()
  endif()
  if(EXISTS "${metainfo_file}")
    file(READ "${metainfo_file}" metainfo)
    foreach(expected "<launchable type=\"desktop-id\">${APP_ID}.desktop</launchable>"
            "<id>${APP_ID}</id>" "<binary>gleichwart</binary>"
            "<binary>gleichwart-sync</binary>" "<release version=\"${VERSION}\""
            "<project_license>GPL-3.0-or-later</project_license>")
      string(FIND "${metainfo}" "${expected}" at)
      if(at EQUAL -1)
        problem("the metainfo lacks ${expected}")
      endif()
    endforeach()
  endif()

elseif(CHECK STREQUAL "desktop")
  skip_without(desktop-file-validate validator)
  run_checked("${validator}" "${desktop_file}")
  if(NOT run_rc EQUAL 0 OR NOT "${run_out}${run_err}" STREQUAL "")
    problem("desktop-file-validate ${desktop_file}:\n${run_out}${run_err}")
  endif()

elseif(CHECK STREQUAL "metainfo")
  skip_without(appstreamcli validator)
  run_checked("${validator}" validate --no-net "${metainfo_file}")
  if(NOT run_rc EQUAL 0)
    problem("appstreamcli validate --no-net ${metainfo_file}:\n${run_out}${run_err}")
  endif()
  # The tree as a whole: the metainfo's launchable is an installed desktop entry.
  run_checked("${validator}" validate-tree --no-net "${root}")
  if(NOT run_rc EQUAL 0)
    problem("appstreamcli validate-tree --no-net ${root}:\n${run_out}${run_err}")
  endif()

elseif(CHECK STREQUAL "man")
  skip_without(man man_program)
  foreach(page IN LISTS man_pages)
    set(heading "NAME")
    if(page MATCHES "/de/man1/")
      set(heading "BEZEICHNUNG")
    endif()
    run_checked(${CMAKE_COMMAND} -E env LC_ALL=C.UTF-8 MANWIDTH=80
                "${man_program}" --warnings -l "${page}")
    if(NOT run_rc EQUAL 0 OR NOT run_err STREQUAL "" OR NOT run_out MATCHES "\n${heading}\n")
      problem("man --warnings -l ${page}: exit ${run_rc}\n${run_err}")
    endif()
  endforeach()
  # Every option of --help, long or short, in both pages of the program (read from their
  # sources, where an option is written with \-).
  foreach(program IN LISTS programs)
    run_checked("${root}/${BINDIR}/${program}" --help)
    string(REGEX MATCHALL "[ ,]-(-[a-z][a-z-]*|[a-z0-9])[ ,\n]" options "${run_out}")
    list(REMOVE_DUPLICATES options)
    foreach(language en de)
      file(READ "${source_dir}/data/man/${language}/${program}.1.in" source)
      string(REPLACE "\\-" "-" source "${source}")
      foreach(option IN LISTS options)
        string(REGEX REPLACE "^[ ,]|[ ,\n]$" "" option "${option}")
        if(NOT source MATCHES "[^a-z-]${option}[^a-z-]")
          problem("data/man/${language}/${program}.1.in lacks ${option} of ${program} --help")
        endif()
      endforeach()
    endforeach()
  endforeach()

else()
  message(FATAL_ERROR "unknown CHECK '${CHECK}'")
endif()

if(problems)
  list(JOIN problems "\n  " report)
  message(FATAL_ERROR "The installed tree under ${root} is not right:\n  ${report}")
endif()
message(STATUS "${CHECK}: all right under ${root}")
