# The folder stack, checked: every #include "folder/file.h" of a source or test file must name its
# own folder or one the table below lets it use. Run by ctest (test "layers.includes"):
#   cmake -DROOT=<checkout> -P cmake/CheckLayers.cmake
# Each line of the table: a folder, then the folders beneath it that it may include. The
# libraries link the same way (PRIVATE, downwards only), so an upward call fails the link and an
# upward include fails here.
#
# A folder is named from the checkout root; an include is resolved against the include roots
# "src" and "ocisim", so "structure/ddl_text.h" is src/structure and "engine/exec/catalog.h" is
# ocisim/engine/exec.

cmake_minimum_required(VERSION 3.20)

if(NOT ROOT)
  message(FATAL_ERROR "usage: cmake -DROOT=<checkout> [-DLAYERS=<table>] -P CheckLayers.cmake")
endif()
if(NOT LAYERS)
  set(LAYERS "${CMAKE_CURRENT_LIST_DIR}/layers.txt")
endif()

file(STRINGS "${LAYERS}" table_lines)
set(folders)
foreach(line IN LISTS table_lines)
  string(STRIP "${line}" line)
  if(line STREQUAL "" OR line MATCHES "^#")
    continue()
  endif()
  if(NOT line MATCHES "^([^:]+):(.*)$")
    message(FATAL_ERROR "${LAYERS}: not \"folder: folders below\": ${line}")
  endif()
  string(STRIP "${CMAKE_MATCH_1}" folder)
  string(STRIP "${CMAKE_MATCH_2}" below)
  separate_arguments(below UNIX_COMMAND "${below}")
  foreach(dep IN LISTS below)
    if(NOT dep IN_LIST folders)
      message(FATAL_ERROR "${LAYERS}: ${folder} may use ${dep}, which is not listed above it")
    endif()
  endforeach()
  list(APPEND folders "${folder}")
  set("allowed_${folder}" ${below})
endforeach()

set(include_roots src ocisim)
set(violations 0)
foreach(folder IN LISTS folders)
  file(GLOB files "${ROOT}/${folder}/*.h" "${ROOT}/${folder}/*.cpp" "${ROOT}/${folder}/*.c")
  foreach(file IN LISTS files)
    file(STRINGS "${file}" includes REGEX "^[ \t]*#[ \t]*include[ \t]+\"[^\"]+\"")
    foreach(line IN LISTS includes)
      string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]+\"([^\"]+)\".*$" "\\1" header "${line}")
      get_filename_component(dir "${header}" DIRECTORY)
      if(dir STREQUAL "")
        continue()  # a header of the same folder or the system, included bare
      endif()
      set(target "")
      foreach(root IN LISTS include_roots)
        if("${root}/${dir}" IN_LIST folders)
          set(target "${root}/${dir}")
          break()
        endif()
      endforeach()
      if(target STREQUAL "")
        continue()  # outside the checked folders (gtest, a third-party header)
      endif()
      if(target STREQUAL folder OR target IN_LIST "allowed_${folder}")
        continue()
      endif()
      file(RELATIVE_PATH shown "${ROOT}" "${file}")
      message("${shown}: includes \"${header}\": ${folder} may not use ${target}")
      math(EXPR violations "${violations} + 1")
    endforeach()
  endforeach()
endforeach()

if(violations GREATER 0)
  message(FATAL_ERROR "${violations} include(s) against the folder stack in ${LAYERS}")
endif()
list(LENGTH folders n)
message(STATUS "folder stack holds: ${n} folders checked")
