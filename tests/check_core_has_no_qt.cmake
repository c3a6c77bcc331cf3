# Fails when a file under core/ includes a Qt header or a header of the windows (ui/).
# Every .h and .cpp under core/ is read, listed in core/CMakeLists.txt or not, so a file
# that only a test or benchmark includes is held to the same rule.
if(NOT IS_DIRECTORY "${SOURCE_DIR}/core" OR NOT IS_DIRECTORY "${SOURCE_DIR}/ui")
  message(FATAL_ERROR "core/ or ui/ not found below ${SOURCE_DIR}")
endif()

# The folders of ui/ are the include roots the core must not reach: kit/, mainwindow/, ...
file(GLOB ui_entries RELATIVE "${SOURCE_DIR}/ui" "${SOURCE_DIR}/ui/*")
set(ui_folders "")
foreach(entry IN LISTS ui_entries)
  if(IS_DIRECTORY "${SOURCE_DIR}/ui/${entry}")
    list(APPEND ui_folders "${entry}")
  endif()
endforeach()
if(NOT ui_folders)
  message(FATAL_ERROR "no folders found in ui/")
endif()
list(JOIN ui_folders "|" ui_alternatives)

set(include_start "^[ \t]*#[ \t]*include[ \t]*[\"<]")
set(qt_include "${include_start}Q")
# A ui/ folder as the include root, or any path that goes through a folder named ui.
set(ui_include "${include_start}((\\.\\./)*(${ui_alternatives})/|([^\">]*/)?ui/)")

file(GLOB_RECURSE core_files "${SOURCE_DIR}/core/*.h" "${SOURCE_DIR}/core/*.cpp")
set(offenders "")
foreach(file IN LISTS core_files)
  file(RELATIVE_PATH name "${SOURCE_DIR}" "${file}")
  file(STRINGS "${file}" lines REGEX "${include_start}")
  foreach(line IN LISTS lines)
    if(line MATCHES "${qt_include}" OR line MATCHES "${ui_include}")
      string(STRIP "${line}" line)
      list(APPEND offenders "${name}: ${line}")
    endif()
  endforeach()
endforeach()

list(LENGTH core_files count)
if(count EQUAL 0)
  message(FATAL_ERROR "no files found under core/")
endif()
if(offenders)
  list(JOIN offenders "\n  " report)
  message(FATAL_ERROR "The core includes Qt or the windows:\n  ${report}")
endif()
message(STATUS "${count} files under core/, none includes Qt or ui/")
