# cmake -DZIP=<zip> -DTOP=<folder in it> -DDIST=<folder> -DWORK=<scratch folder>
#       -P check_zip.cmake: the ZIP unpacks into one folder holding exactly the shippable
# folder's files, byte for byte.
cmake_minimum_required(VERSION 3.25)
if(NOT EXISTS "${ZIP}")
  message(FATAL_ERROR "${ZIP} was not made")
endif()
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")
execute_process(COMMAND "${CMAKE_COMMAND}" -E tar xf "${ZIP}" WORKING_DIRECTORY "${WORK}"
                RESULT_VARIABLE unpacked)
if(NOT unpacked EQUAL 0)
  message(FATAL_ERROR "${ZIP} cannot be unpacked: ${unpacked}")
endif()

file(GLOB_RECURSE packed RELATIVE "${WORK}" "${WORK}/*")
file(GLOB shipped RELATIVE "${DIST}" "${DIST}/*")
list(SORT packed)
list(SORT shipped)
list(TRANSFORM shipped PREPEND "${TOP}/" OUTPUT_VARIABLE expected)
if(NOT packed STREQUAL expected)
  message(FATAL_ERROR "The ZIP holds\n  ${packed}\nbut should hold\n  ${expected}")
endif()
if(NOT "Norvell.exe" IN_LIST shipped OR NOT "Brightwick.exe" IN_LIST shipped OR
   NOT "copyfle.com" IN_LIST shipped OR NOT "clrfle.com" IN_LIST shipped OR
   NOT "readme.1st" IN_LIST shipped OR NOT "license.txt" IN_LIST shipped)
  message(FATAL_ERROR "The shippable folder lacks one of the release's files: ${shipped}")
endif()
foreach(file IN LISTS shipped)
  execute_process(COMMAND "${CMAKE_COMMAND}" -E compare_files "${DIST}/${file}"
                          "${WORK}/${TOP}/${file}" RESULT_VARIABLE different)
  if(NOT different EQUAL 0)
    message(FATAL_ERROR "${file} in the ZIP differs from the shippable folder's")
  endif()
endforeach()
file(REMOVE_RECURSE "${WORK}")
