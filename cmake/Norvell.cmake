# Helpers shared by the CMakeLists of the project's folders.

# norvell_ship(<target> [NAME <file name>]): put a Windows program into the shippable folder,
# optionally under another file name (the helpers ship as .com). The program ships without its
# symbols; they go into <build>/symbols/<file name>.debug, which the program names in a
# debug link, so a crash address from a user still resolves (addr2line, gdb). Each step
# rewrites the PE header, and binutils stamps it with SOURCE_DATE_EPOCH, or with the time of
# the step without it: the release's date is given to each, so that the same commit gives the
# same program and debug file.
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
    set(objcopy ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=${NORVELL_SOURCE_DATE_EPOCH}
                ${CMAKE_OBJCOPY})
    add_custom_command(TARGET ${target} POST_BUILD
      COMMAND ${CMAKE_COMMAND} -E make_directory ${NORVELL_SYMBOLS_DIR}
      COMMAND ${objcopy} --only-keep-debug ${program} ${symbols}
      COMMAND ${objcopy} --strip-all ${program}
      COMMAND ${objcopy} --add-gnu-debuglink=${symbols} ${program}
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

# norvell_tests(PREFIX <name prefix> LIBS <libs...> [DEPENDS <targets...>]
#               [WITHOUT_HEAP_CHECK <file names...>] [HEAP_CHECK_CALLS] [SHARDS <count>]): the
# *_test.cpp files of the calling folder as one test program, <prefix>tests, but for those
# named in WITHOUT_HEAP_CHECK: each of these is a program of its own, <prefix><file name>, that
# runs without Wine's heap check in the check build. With HEAP_CHECK_CALLS the programs run with
# its check of the heap calls alone (scripts/wine-run.sh). With SHARDS, <prefix>tests runs as
# that many tests of CTest, each a share of its tests (GoogleTest's shards): Wine's whole heap
# check looks at the whole heap at every heap call, so a process that runs long with a growing
# heap is slower than its parts (the Windows-side tests took 69 s in one process, 34 s in four).
# The program is compiled a few files to a unit (a unity build): each file's own unit read the
# same headers and made the same code of GoogleTest and the standard library again, most of the
# tests' build time. Two files of a folder therefore may not define the same name at namespace
# scope, even in an anonymous namespace: the same definition twice stops the build, but an
# overload of another file's function may be called instead of one's own without a word
# (scripts/check-test-names.py, a host test, looks for such functions).
# Each program is one test of CTest, all its tests in one process: a start of the sanitized
# program took longer than most of its tests, and under Wine a start with the heap check more
# still. Its output names each test, and a failing one fails the program; one test is run as
# <program> --gtest_filter=<Suite>.<Name>.
function(norvell_tests)
  cmake_parse_arguments(arg "HEAP_CHECK_CALLS" "PREFIX;SHARDS" "LIBS;DEPENDS;WITHOUT_HEAP_CHECK"
                        ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*_test.cpp)
  set(together)
  set(programs)
  foreach(source ${sources})
    get_filename_component(name ${source} NAME_WE)
    if(name IN_LIST arg_WITHOUT_HEAP_CHECK)
      add_executable(${arg_PREFIX}${name} ${source})
      list(APPEND programs ${arg_PREFIX}${name})
    else()
      list(APPEND together ${source})
    endif()
  endforeach()
  add_executable(${arg_PREFIX}tests ${together})
  list(APPEND programs ${arg_PREFIX}tests)
  # Six files to a unit: the build's two jobs each get units of about the same size.
  set_target_properties(${arg_PREFIX}tests PROPERTIES UNITY_BUILD ON UNITY_BUILD_BATCH_SIZE 6)
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    # Read through the unit's #include, a test's fixture in an anonymous namespace would be
    # taken for a header's type that every file including it sees apart.
    target_compile_options(${arg_PREFIX}tests PRIVATE -Wno-subobject-linkage)
  elseif(MSVC)
    target_compile_options(${arg_PREFIX}tests PRIVATE /bigobj)
  endif()
  foreach(target ${programs})
    target_link_libraries(${target} PRIVATE norvell_options ${arg_LIBS} GTest::gtest_main)
    if(arg_DEPENDS)
      add_dependencies(${target} ${arg_DEPENDS})
    endif()
    set(environment)
    if(NOT target STREQUAL ${arg_PREFIX}tests)
      set(environment NORVELL_HEAP_CHECK=off)
    elseif(arg_HEAP_CHECK_CALLS)
      set(environment NORVELL_HEAP_CHECK=calls)
    endif()
    if(target STREQUAL ${arg_PREFIX}tests AND arg_SHARDS GREATER 1)
      set(shards)
      math(EXPR last "${arg_SHARDS} - 1")
      foreach(index RANGE ${last})
        math(EXPR number "${index} + 1")
        set(name ${target}_${number}_of_${arg_SHARDS})
        add_test(NAME ${name} COMMAND ${target})
        set(shard_environment ${environment} GTEST_TOTAL_SHARDS=${arg_SHARDS}
                              GTEST_SHARD_INDEX=${index})
        set_tests_properties(${name} PROPERTIES ENVIRONMENT "${shard_environment}")
        list(APPEND shards ${name})
      endforeach()
    else()
      add_test(NAME ${target} COMMAND ${target})
      set(shards ${target})
      if(environment)
        set_tests_properties(${target} PROPERTIES ENVIRONMENT ${environment})
      endif()
    endif()
    # A program or shard that runs no test must not pass.
    set_tests_properties(${shards} PROPERTIES FAIL_REGULAR_EXPRESSION "Running 0 tests from")
  endforeach()
endfunction()

# norvell_delay_loaded: links the shell and OLE automation so that each is loaded at the first
# call of one of its functions instead of at the start. The editor needs them only for some
# actions (shortcuts, documents, folders, screen readers), and under Wine loading them, with
# the libraries they bring in, cost its start more than all its own work but the window.
# With MinGW the import libraries come from the .def files in cmake/delay_loaded, which list
# the functions we call: one missing there is imported as usual, and the package tests
# fail on a program whose start loads either library.
if(WIN32)
  add_library(norvell_delay_loaded INTERFACE)
  set(delayed shell32 oleaut32)
  if(MSVC)
    foreach(library ${delayed})
      target_link_options(norvell_delay_loaded INTERFACE /DELAYLOAD:${library}.dll)
    endforeach()
    target_link_libraries(norvell_delay_loaded INTERFACE ${delayed} delayimp)
  else()
    # dlltool names the archive's members and symbols after the archive's path and the link
    # orders the import tables by those names: given a bare name, it makes the same archive
    # and the same program in every build folder.
    file(MAKE_DIRECTORY ${PROJECT_BINARY_DIR}/delay_loaded)
    foreach(library ${delayed})
      set(definitions ${PROJECT_SOURCE_DIR}/cmake/delay_loaded/${library}.def)
      set(archive ${PROJECT_BINARY_DIR}/delay_loaded/lib${library}_delayed.a)
      execute_process(COMMAND ${CMAKE_DLLTOOL} --input-def ${definitions}
                              --dllname ${library}.dll --output-delaylib lib${library}_delayed.a
                              --temp-prefix ${library}_delayed
                      WORKING_DIRECTORY ${PROJECT_BINARY_DIR}/delay_loaded
                      COMMAND_ERROR_IS_FATAL ANY)
      set_property(DIRECTORY ${PROJECT_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
                   ${definitions})
      target_link_libraries(norvell_delay_loaded INTERFACE ${archive})
    endforeach()
  endif()
endif()

# The Windows form of a path in the build tree, as Wine maps the Unix root to drive Z.
function(norvell_wine_path out path)
  string(REPLACE "/" "\\" windows "${path}")
  set(${out} "Z:${windows}" PARENT_SCOPE)
endfunction()

# The small programs (Brightwick, copyfle.com, clrfle.com) are built without exceptions and
# RTTI, for size, against copies of the libraries they use compiled the same way: the shared
# code stays one source, and the editor and the tests keep the libraries as they are. Nothing
# in these programs catches an exception; win32/no_exceptions.cpp ends the process where the
# runtime would have thrown, as an uncaught exception did. MSVC builds them as everything else.
set(NORVELL_LEAN_LIBRARIES schedule win32 launcher_core launcher_win)
# A check build makes them as the editor is made: they behave the same (neither catches an
# exception), and their size counts only in the release.
if(WIN32 AND NOT MSVC AND NOT NORVELL_CHECK)
  set(NORVELL_LEAN ON)
  add_library(norvell_lean_options INTERFACE)
  # Small and quick to load beats fast loops: Brightwick runs at every logon. The whole program
  # is optimised at the link: the linker itself keeps every function that has unwind data,
  # used or not, so only the compiler can leave out what nothing calls.
  set(lean_flags -Os -fno-exceptions -fno-rtti -ffunction-sections -fdata-sections)
  target_compile_options(norvell_lean_options INTERFACE ${lean_flags})
  # The code is made at the link, so the link also asks for the lines of the debug files.
  target_link_options(norvell_lean_options INTERFACE ${lean_flags} -g1 -Wl,--gc-sections)
  add_library(norvell_lean_runtime OBJECT ${PROJECT_SOURCE_DIR}/win32/no_exceptions.cpp)
  target_link_libraries(norvell_lean_runtime PRIVATE norvell_options norvell_lean_options)
else()
  set(NORVELL_LEAN OFF)
endif()

# The lean copies of `libraries` where the build makes them, the others as they are.
function(norvell_lean_names out)
  set(names)
  foreach(library ${ARGN})
    if(NORVELL_LEAN AND library IN_LIST NORVELL_LEAN_LIBRARIES)
      list(APPEND names ${library}_lean)
    else()
      list(APPEND names ${library})
    endif()
  endforeach()
  set(${out} ${names} PARENT_SCOPE)
endfunction()

# norvell_small_program(<target> <libraries...>): builds a small program lean and links it
# with the lean copies of the libraries.
function(norvell_small_program target)
  norvell_lean_names(libraries ${ARGN})
  target_link_libraries(${target} PRIVATE ${libraries})
  if(NORVELL_LEAN)
    target_link_libraries(${target} PRIVATE norvell_lean_options norvell_lean_runtime)
    set_target_properties(${target} PROPERTIES INTERPROCEDURAL_OPTIMIZATION ON)
  endif()
endfunction()

# norvell_lean_copies(): <library>_lean for every library of NORVELL_LEAN_LIBRARIES, from the
# same sources (or those of its NORVELL_LEAN_SOURCES property, where the small programs use only
# those), include folders and libraries (each lean where it has a copy). Called once all the
# originals exist.
function(norvell_lean_copies)
  if(NOT NORVELL_LEAN)
    return()
  endif()
  foreach(original ${NORVELL_LEAN_LIBRARIES})
    get_target_property(folder ${original} SOURCE_DIR)
    get_target_property(sources ${original} NORVELL_LEAN_SOURCES)
    if(NOT sources)
      get_target_property(sources ${original} SOURCES)
    endif()
    set(paths)
    foreach(source ${sources})
      cmake_path(ABSOLUTE_PATH source BASE_DIRECTORY ${folder} OUTPUT_VARIABLE path)
      list(APPEND paths ${path})
    endforeach()
    add_library(${original}_lean STATIC ${paths})
    set_target_properties(${original}_lean PROPERTIES INTERPROCEDURAL_OPTIMIZATION ON)
    foreach(property INCLUDE_DIRECTORIES INTERFACE_INCLUDE_DIRECTORIES)
      get_target_property(value ${original} ${property})
      if(value)
        set_property(TARGET ${original}_lean PROPERTY ${property} ${value})
      endif()
    endforeach()
    get_target_property(links ${original} LINK_LIBRARIES)
    norvell_lean_names(libraries ${links})
    target_link_libraries(${original}_lean PUBLIC ${libraries} norvell_lean_options)
  endforeach()
endfunction()

# norvell_precompiled_headers(<name> HEADERS <headers...> FOLDERS <folders...>
#                             [EXCEPT <targets...>]):
# the headers compiled once, by the target <name>, for every target of the folders (and the
# folders within them) but those of EXCEPT: reading the headers that nearly every unit includes
# took about a second of each unit's few. A target whose options differ from <name>'s where
# GCC requires them to match (exceptions, the definitions the headers read, optimising or not)
# fails to compile (CMake asks GCC for -Winvalid-pch, and warnings are errors) instead of
# slowly reading the headers again.
function(norvell_precompiled_headers name)
  cmake_parse_arguments(arg "" "" "HEADERS;FOLDERS;EXCEPT" ${ARGN})
  # MSVC reads the headers each time: reusing its precompiled headers asks for one program
  # database across targets, and the time that matters is the MinGW builds' in CI.
  if(MSVC)
    return()
  endif()
  set(source ${PROJECT_BINARY_DIR}/${name}.cpp)
  file(CONFIGURE OUTPUT ${source} CONTENT "// Compiles nothing but the precompiled headers.\n")
  add_library(${name} OBJECT ${source})
  target_link_libraries(${name} PRIVATE norvell_options)
  target_precompile_headers(${name} PRIVATE ${arg_HEADERS})

  # The targets of every folder the build has added under one of FOLDERS.
  set(prefixes)
  foreach(folder ${arg_FOLDERS})
    list(APPEND prefixes ${PROJECT_SOURCE_DIR}/${folder})
  endforeach()
  set(targets)
  set(folders ${PROJECT_SOURCE_DIR})
  while(folders)
    list(POP_FRONT folders folder)
    get_property(more DIRECTORY ${folder} PROPERTY SUBDIRECTORIES)
    list(APPEND folders ${more})
    foreach(prefix ${prefixes})
      cmake_path(IS_PREFIX prefix ${folder} NORMALIZE chosen)
      if(chosen)
        get_property(found DIRECTORY ${folder} PROPERTY BUILDSYSTEM_TARGETS)
        list(APPEND targets ${found})
        break()
      endif()
    endforeach()
  endwhile()
  set(compiled EXECUTABLE STATIC_LIBRARY SHARED_LIBRARY MODULE_LIBRARY OBJECT_LIBRARY)
  foreach(target ${targets})
    get_target_property(type ${target} TYPE)
    if(NOT target IN_LIST arg_EXCEPT AND type IN_LIST compiled)
      target_precompile_headers(${target} REUSE_FROM ${name})
    endif()
  endforeach()
endfunction()
