# cmake -DDIST=<folder> -DSYMBOLS=<folder> -DLINKED=<folder> -DEPOCH=<seconds> -DSOURCES=<folder>
#       -DBUILD=<folder> -P check_release_marks.cmake: what would keep two builds of one commit
# from being the same bytes, seen in the shipped programs and their debug files: each
# program's and debug file's PE time stamp is EPOCH, the release's date (not the time it was
# built), and no file names the folder of the sources or of the build. Nor do the import
# libraries the build makes for the link (LINKED), not even as a symbol's name, in which
# dlltool writes every character but letters and digits as "_": the link orders the import
# tables by those names.
cmake_minimum_required(VERSION 3.25)

# The little-endian 32-bit number at OFFSET of FILE.
function(read_dword out file offset)
  file(READ "${file}" hex OFFSET ${offset} LIMIT 4 HEX)
  string(REGEX REPLACE "^(..)(..)(..)(..)$" "\\4\\3\\2\\1" hex "${hex}")
  math(EXPR value "0x${hex}")
  set(${out} ${value} PARENT_SCOPE)
endfunction()

file(GLOB programs "${DIST}/*.exe" "${DIST}/*.com")
file(GLOB debug_files "${SYMBOLS}/*.debug")
file(GLOB documents "${DIST}/*.1st" "${DIST}/*.txt")
file(GLOB libraries "${LINKED}/*.a")
list(LENGTH programs shipped)
if(shipped LESS 4)
  message(FATAL_ERROR "The shippable folder holds ${shipped} programs: ${programs}")
endif()

set(failures "")
foreach(file IN LISTS programs debug_files)
  # The PE header is where the DOS header's last field points; its time stamp is 8 bytes in.
  read_dword(header "${file}" 60)
  file(READ "${file}" signature OFFSET ${header} LIMIT 4 HEX)
  if(NOT signature STREQUAL "50450000")
    string(APPEND failures "\n${file}: no PE header")
    continue()
  endif()
  math(EXPR at "${header} + 8")
  read_dword(stamp "${file}" ${at})
  if(NOT stamp EQUAL EPOCH)
    string(APPEND failures "\n${file}: PE time stamp ${stamp}, not the release's ${EPOCH}")
  endif()
endforeach()

foreach(folder "${SOURCES}" "${BUILD}")
  string(REGEX REPLACE "([][+.*()^$?|\\\\])" "\\\\\\1" plain "${folder}")
  string(REGEX REPLACE "[^A-Za-z0-9]" "_" as_symbol "${folder}")
  set(pattern "${plain}|${as_symbol}")
  foreach(file IN LISTS programs debug_files documents libraries)
    file(STRINGS "${file}" named REGEX "${pattern}")
    if(named)
      list(GET named 0 first)
      string(APPEND failures "\n${file} names ${folder}: ${first}")
    endif()
  endforeach()
endforeach()

if(failures)
  message(FATAL_ERROR "A rebuild of this commit elsewhere or later would differ:${failures}")
endif()
