# Helpers shared by every subsystem's CMakeLists.txt.

set(KORVEL_ROOT ${CMAKE_CURRENT_LIST_DIR}/..)
# The window kit's dialog templates, linked into each program that shows its dialogs (known
# here, before any folder is configured, so the programs configured first get them too).
set(KORVEL_WINDOW_KIT_RC ${KORVEL_ROOT}/framework/window/window_kit.rc)
# Where the build-time generators put their output, known to every folder whatever the order
# the folders are configured in: the sample skin pictures, the magic-action samples, the table
# skin and the tile art.
set(KORVEL_SKIN_DIR ${CMAKE_BINARY_DIR}/bin/skin)
# The magic-action samples lie in the folder above the program's, where the client looks for
# its catalogues (the folder above the one of the game library the lobby names).
set(KORVEL_MAGIC_DIR ${CMAKE_BINARY_DIR})
set(KORVEL_TABLE_SKIN_DIR ${CMAKE_BINARY_DIR}/table_skin)
set(KORVEL_TILE_ART_DIR ${CMAKE_BINARY_DIR}/tile_art)

# Warnings as errors (CI turns it on: .ci/run, or KORVEL_WERROR=1 for scripts/build and
# scripts/test): compiler warnings and the linker's (such as resources that collide).
option(KORVEL_WERROR "treat compiler and linker warnings as errors" OFF)
if(KORVEL_WERROR)
  add_compile_options(-Werror)
  add_link_options(-Wl,--fatal-warnings)
endif()

if(KORVEL_NATIVE)
  add_compile_options(-Wall -Wextra -g)
  if(KORVEL_SANITIZE AND NOT KORVEL_BENCH_ONLY)
    add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=undefined
                        -fno-omit-frame-pointer)
    # Coverage for the fuzz targets in every library they link.
    if(CMAKE_CXX_COMPILER_ID MATCHES "Clang")
      add_compile_options(-fsanitize=fuzzer-no-link)
    endif()
    add_link_options(-fsanitize=address,undefined)
  endif()
  find_package(GTest REQUIRED)
  find_package(benchmark QUIET)
  set(KORVEL_GTEST_MAIN GTest::gtest_main GTest::gmock)
else()
  add_compile_options(-Wall -Wextra -g)
  # mingw: no runtime DLL travels with the binaries.
  add_link_options(-static -static-libgcc -static-libstdc++)
  add_compile_definitions(_WIN32_WINNT=0x0601 WINVER=0x0601)
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    # The 32-bit check (cmake/mingw32.cmake): an address squeezed into, or made from, an
    # integer of another size fails the build, whatever KORVEL_WERROR says.
    add_compile_options(-Werror=int-to-pointer-cast
                        $<$<COMPILE_LANGUAGE:C>:-Werror=pointer-to-int-cast>
                        $<$<COMPILE_LANGUAGE:C>:-Werror=int-conversion>)
  endif()
  set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  set(KORVEL_GTEST_MAIN gtest_main gmock)
endif()

# Time limits. Every test has one, so that a hang fails within it: the default is set once in
# the top CMakeLists.txt (DART_TESTING_TIMEOUT: 60 s native, 120 s under Wine). The tests below
# take longer than a third of it on a busy machine and get the limit beside their name, which
# leaves room for a two-core machine; korvel_test, korvel_fuzzer and korvel_benchmark apply it.
# Tests made with add_test directly (the end-to-end runs, the table server's tests) set their
# TIMEOUT beside their add_test.
set(KORVEL_LONG_TESTS
  # native, under the sanitizers: about a minute each
  rules_test=600 rules_golden_test=600 rules_bench_smoke=300
  # Wine: 25 to 85 s each in a serial run
  parley_gchat_test=300 window_kit_test=300 table_notices_test=300 client_app_shell_test=300
  parley_dialogs_test=300 parley_gchat_pictures_test=300 magic_dialogs_test=300)

function(korvel_test_timeout test)
  foreach(entry IN LISTS KORVEL_LONG_TESTS)
    if(entry MATCHES "^${test}=([0-9]+)$")
      set_tests_properties(${test} PROPERTIES TIMEOUT ${CMAKE_MATCH_1})
    endif()
  endforeach()
endfunction()

# korvel_test(<name> SOURCES <files...> [LIBS <libs...>] [LABELS <labels...>] [FIXTURES <f...>])
# A GoogleTest program, registered with ctest. Under the windows configuration ctest runs it
# through Wine (CMAKE_CROSSCOMPILING_EMULATOR).
function(korvel_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS;LABELS;FIXTURES;WORKDIR" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} ${KORVEL_GTEST_MAIN})
  if(T_WORKDIR)
    add_test(NAME ${name} COMMAND ${name} WORKING_DIRECTORY ${T_WORKDIR})
  else()
    add_test(NAME ${name} COMMAND ${name})
  endif()
  if(T_LABELS)
    set_tests_properties(${name} PROPERTIES LABELS "${T_LABELS}")
  endif()
  if(T_FIXTURES)
    set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED "${T_FIXTURES}")
  endif()
  korvel_test_timeout(${name})
endfunction()

# korvel_fuzzer(<name> SOURCES <files...> [LIBS <libs...>] [CORPUS <dirs>] [DICT <file>])
# A libFuzzer target (native clang only). ctest runs it for a few seconds as a smoke test;
# run it longer by hand: build/native/<dir>/<name> -max_total_time=600 <corpus>.
function(korvel_fuzzer name)
  cmake_parse_arguments(F "" "DICT" "SOURCES;LIBS;CORPUS" ${ARGN})
  if(NOT KORVEL_NATIVE OR KORVEL_BENCH_ONLY OR NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    return()
  endif()
  add_executable(${name} ${F_SOURCES})
  target_compile_options(${name} PRIVATE -fsanitize=fuzzer)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  target_link_libraries(${name} PRIVATE ${F_LIBS})
  set(args -max_total_time=5 -rss_limit_mb=2048 -print_final_stats=0)
  if(F_DICT)
    list(APPEND args -dict=${F_DICT})
  endif()
  if(F_CORPUS)
    list(APPEND args ${F_CORPUS})
  endif()
  # The smoke run gets a temporary folder of its own and fails when the target leaves anything
  # in it.
  set(tmp ${CMAKE_CURRENT_BINARY_DIR}/${name}_tmp)
  add_test(NAME ${name}_smoke COMMAND sh -c [=[
    d=$1; shift
    rm -rf "$d" && mkdir -p "$d" || exit 1
    TMPDIR=$d "$@" || exit $?
    left=$(ls -A "$d")
    if [ -n "$left" ]; then echo "left behind in $d: $left"; exit 1; fi]=]
    sh ${tmp} $<TARGET_FILE:${name}> ${args})
  set_tests_properties(${name}_smoke PROPERTIES LABELS fuzz)
  korvel_test_timeout(${name}_smoke)
endfunction()

# korvel_benchmark(<name> SOURCES <files...> [LIBS <libs...>])
# A Google Benchmark program (native only). ctest runs it once, briefly, so it keeps working;
# real figures come from scripts/bench (an optimised build without sanitizers).
function(korvel_benchmark name)
  cmake_parse_arguments(B "" "" "SOURCES;LIBS" ${ARGN})
  if(NOT KORVEL_NATIVE OR NOT benchmark_FOUND)
    return()
  endif()
  add_executable(${name} ${B_SOURCES})
  target_link_libraries(${name} PRIVATE ${B_LIBS} benchmark::benchmark)
  if(NOT KORVEL_BENCH_ONLY)
    add_test(NAME ${name}_smoke COMMAND ${name} --benchmark_min_time=0.001)
    set_tests_properties(${name}_smoke PROPERTIES LABELS bench)
    korvel_test_timeout(${name}_smoke)
  endif()
endfunction()

# korvel_idl(<name> <file.idl>)
# windows only: runs widl on an IDL file and gives
#   ${CMAKE_CURRENT_BINARY_DIR}/<name>.tlb   the type library (embed it as TYPELIB 1)
#   <name>.h, <name>_i.c                     the C/C++ header and the GUID definitions
# and an INTERFACE library <name>_idl that carries the include directory and the GUID source.
function(korvel_idl name idl)
  if(NOT KORVEL_WINDOWS)
    return()
  endif()
  set(out ${CMAKE_CURRENT_BINARY_DIR})
  # The type library follows the target (-m32 marks it win32 and lays it out for 32 bits).
  # importlib("stdole2.tlb") is read from 64-bit Wine's copy either way: the import records
  # only the library's GUID, version and type indexes, the same in both.
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    set(widl_target -m32)
  else()
    set(widl_target -m64)
  endif()
  get_filename_component(idl_abs ${idl} ABSOLUTE)
  get_filename_component(idl_dir ${idl_abs} DIRECTORY)
  add_custom_command(
    OUTPUT ${out}/${name}.tlb ${out}/${name}.h ${out}/${name}_i.c
    COMMAND widl ${widl_target} -I/usr/include/wine/wine/windows -I${idl_dir}
            -I${KORVEL_ROOT}/interfaces -L/usr/lib/x86_64-linux-gnu/wine/x86_64-windows
            -t -T ${out}/${name}.tlb
            -h -H ${out}/${name}.h
            -u -U ${out}/${name}_i.c
            ${idl_abs}
    DEPENDS ${idl_abs}
    COMMENT "widl ${name}"
    VERBATIM)
  add_custom_target(${name}_idl_gen DEPENDS ${out}/${name}.tlb ${out}/${name}.h ${out}/${name}_i.c)
  add_library(${name}_idl STATIC ${out}/${name}_i.c)
  add_dependencies(${name}_idl ${name}_idl_gen)
  target_include_directories(${name}_idl PUBLIC ${out} ${KORVEL_ROOT}/interfaces)
  set_property(TARGET ${name}_idl PROPERTY KORVEL_TLB ${out}/${name}.tlb)
endfunction()

# korvel_typelib_rc(<target> <idl-name> [extra .rc files...])
# windows only: embeds <idl-name>.tlb (from korvel_idl) in <target> as resource TYPELIB 1.
function(korvel_typelib_rc target idlname)
  get_target_property(tlb ${idlname}_idl KORVEL_TLB)
  set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}_typelib.rc)
  file(WRITE ${rc}.in "1 TYPELIB \"@tlb@\"\n")
  configure_file(${rc}.in ${rc} @ONLY)
  target_sources(${target} PRIVATE ${rc} ${ARGN})
  set_source_files_properties(${rc} PROPERTIES OBJECT_DEPENDS ${tlb})
  add_dependencies(${target} ${idlname}_idl_gen)
endfunction()

# korvel_inproc_dll(<target> OUTPUT_NAME <name> IDL <idl-name> SOURCES <...> [LIBS <...>] [RC <...>])
# windows only: an in-process COM server with the four standard exports and its type library.
function(korvel_inproc_dll target)
  cmake_parse_arguments(D "" "OUTPUT_NAME;IDL" "SOURCES;LIBS;RC" ${ARGN})
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    set(def ${KORVEL_ROOT}/winkit/inproc_server_win32.def)
  else()
    set(def ${KORVEL_ROOT}/winkit/inproc_server.def)
  endif()
  add_library(${target} SHARED ${D_SOURCES} ${def})
  set_target_properties(${target} PROPERTIES OUTPUT_NAME ${D_OUTPUT_NAME} PREFIX ""
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
  target_link_libraries(${target} PRIVATE winkit ${D_IDL}_idl ${D_LIBS})
  korvel_typelib_rc(${target} ${D_IDL} ${D_RC})
endfunction()
