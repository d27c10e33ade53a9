# Helpers shared by the CMakeLists of the project's folders.

# norvell_ship(<target> [NAME <file name>]): put a Windows program into the shippable folder,
# optionally under another file name (the helpers ship as .com). The program ships without its
# symbols; they go into <build>/symbols/<file name>.debug, which the program names in a
# debug link, so a crash address from a user still resolves (addr2line, gdb).
function(norvell_ship target)
  cmake_parse_arguments(arg "" "NAME" "" ${ARGN})
  set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${NORVELL_DIST_DIR})
  if(arg_NAME)
    get_filename_component(stem ${arg_NAME} NAME_WE)
    get_filename_component(ext ${arg_NAME} LAST_EXT)
    set_target_properties(${target} PROPERTIES OUTPUT_NAME ${stem} SUFFIX ${ext})
  endif()
  if(NOT MSVC)
    set(program $<TARGET_FILE:${target}>)
    set(symbols ${NORVELL_SYMBOLS_DIR}/$<TARGET_FILE_NAME:${target}>.debug)
    add_custom_command(TARGET ${target} POST_BUILD
      COMMAND ${CMAKE_COMMAND} -E make_directory ${NORVELL_SYMBOLS_DIR}
      COMMAND ${CMAKE_OBJCOPY} --only-keep-debug ${program} ${symbols}
      COMMAND ${CMAKE_OBJCOPY} --strip-all ${program}
      COMMAND ${CMAKE_OBJCOPY} --add-gnu-debuglink=${symbols} ${program}
      VERBATIM)
  endif()
  add_dependencies(dist ${target})
endfunction()

# norvell_gui_program(<target> sources...): a Windows program with wWinMain and no console.
function(norvell_gui_program target)
  add_executable(${target} WIN32 ${ARGN})
  target_link_libraries(${target} PRIVATE norvell_options)
  if(NOT MSVC)
    target_link_options(${target} PRIVATE -municode)
  endif()
endfunction()

# norvell_tests([PREFIX <name prefix>] LIBS <libs...> [DEPENDS <targets...>]): one test program
# per *_test.cpp file of the calling folder, each named <prefix><file name>.
# Windows test programs run through Wine; their tests are listed when ctest runs, since
# listing them needs the Wine prefix that the test script prepares.
function(norvell_tests)
  cmake_parse_arguments(arg "" "PREFIX" "LIBS;DEPENDS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*_test.cpp)
  foreach(source ${sources})
    get_filename_component(name ${source} NAME_WE)
    set(target ${arg_PREFIX}${name})
    add_executable(${target} ${source})
    target_link_libraries(${target} PRIVATE norvell_options ${arg_LIBS} GTest::gtest_main)
    if(arg_DEPENDS)
      add_dependencies(${target} ${arg_DEPENDS})
    endif()
    if(WIN32)
      gtest_discover_tests(${target} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
                           PROPERTIES TIMEOUT 120)
    else()
      gtest_discover_tests(${target})
    endif()
  endforeach()
endfunction()

# The Windows form of a path in the build tree, as Wine maps the Unix root to drive Z.
function(norvell_wine_path out path)
  string(REPLACE "/" "\\" windows "${path}")
  set(${out} "Z:${windows}" PARENT_SCOPE)
endfunction()
