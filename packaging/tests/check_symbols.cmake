# cmake -DDIST=<folder> -DSYMBOLS=<folder> -DNM=<nm> -DADDR2LINE=<addr2line>
#       -P check_symbols.cmake: every shipped program has a debug file in SYMBOLS that resolves
# an address of the program to its function: the way a crash address from a user is read.
cmake_minimum_required(VERSION 3.25)
set(failures "")
foreach(program Norvell.exe Brightwick.exe copyfle.com clrfle.com)
  set(debug "${SYMBOLS}/${program}.debug")
  if(NOT EXISTS "${debug}")
    string(APPEND failures "\n${program}: no debug file ${debug}")
    continue()
  endif()
  # The entry point every program of ours has.
  execute_process(COMMAND "${NM}" "${debug}" OUTPUT_VARIABLE symbols RESULT_VARIABLE listed)
  string(REGEX MATCH "([0-9a-f]+) T wWinMain\n" entry "${symbols}")
  if(NOT listed EQUAL 0 OR NOT entry)
    string(APPEND failures "\n${program}: the debug file does not list wWinMain")
    continue()
  endif()
  # An address inside the function, not only its first byte.
  math(EXPR inside "0x${CMAKE_MATCH_1} + 4" OUTPUT_FORMAT HEXADECIMAL)
  execute_process(COMMAND "${ADDR2LINE}" -f -e "${debug}" ${inside} OUTPUT_VARIABLE resolved)
  if(NOT resolved MATCHES "^wWinMain\n[^?]")
    string(APPEND failures "\n${program}: ${inside} resolves to '${resolved}', not wWinMain")
  endif()
endforeach()
if(failures)
  message(FATAL_ERROR "The debug files do not resolve the shipped programs:${failures}")
endif()
