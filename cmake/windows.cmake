# Windows builds (32-bit target and 64-bit): the shipped saver, a
# self-contained Tarvelimunde.scr that needs no C runtime, and the tests that
# run it and its parts under Wine.
enable_language(RC)
add_compile_options(-Wall -Wextra)
# Every library is named where it is needed, the saver's four above all.
set(CMAKE_C_STANDARD_LIBRARIES "")
set(CMAKE_CXX_STANDARD_LIBRARIES "")

include(cmake/python.cmake)
include(cmake/host_tool.cmake)
include(cmake/resources.cmake)

# The saver's own compiler options, for the shipped module and the replay tool
# built as it is.
add_library(scr_options INTERFACE)
target_compile_options(scr_options INTERFACE
  -Os
  -fno-exceptions -fno-rtti -fno-threadsafe-statics -fno-stack-protector
  -ffunction-sections -fno-ident
)

add_executable(Tarvelimunde)
target_link_libraries(Tarvelimunde PRIVATE scr_options saver host scr_runtime resources exports)
set_target_properties(Tarvelimunde PROPERTIES
  SUFFIX .scr
  RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}
  LINK_DEPENDS ${CMAKE_SOURCE_DIR}/CHANGELOG.md
)

if(CMAKE_SYSTEM_PROCESSOR STREQUAL "i686")
  # Runs on a Pentium (and a 486); float stores round to 32 bits as the
  # picture's arithmetic expects; x86 exceptions unwind through fs:[0]
  # records, not through tables.
  target_compile_options(scr_options INTERFACE -march=i486 -mtune=pentium -ffloat-store
    -fno-asynchronous-unwind-tables -fno-unwind-tables)
  # The sine and cosine work in doubles only, which the x87 already rounds to
  # 53 bits (the start-up sets that precision); storing every intermediate
  # would double their code.
  set_source_files_properties(${CMAKE_SOURCE_DIR}/saver/trig.cpp PROPERTIES COMPILE_OPTIONS -fno-float-store)
  set(SCR_SYMBOL_PREFIX _)
  set(SCR_ENTRY _ProcessStart)
  # Windows 95 loads it at its preferred base, so relocations would be dead
  # weight; the script merges sections so that the headers take one file block.
  set(SCR_LINKER_SCRIPT ${CMAKE_SOURCE_DIR}/cmake/scr-i686.ld)
  set(SCR_ARCH_LINK_OPTIONS -Wl,--disable-dynamicbase -Wl,--disable-reloc-section
    -Wl,-T,${SCR_LINKER_SCRIPT})
  set_property(TARGET Tarvelimunde APPEND PROPERTY LINK_DEPENDS ${SCR_LINKER_SCRIPT})
else()
  # ld's defaults for today's Windows: relocations with DYNAMIC_BASE,
  # HIGH_ENTROPY_VA and NX_COMPAT.
  set(SCR_ENTRY ProcessStart)
endif()
# The memory routines must not be recognised as themselves and turned into
# calls to memset and memcpy.
set_source_files_properties(${CMAKE_SOURCE_DIR}/host/runtime.cpp PROPERTIES
  COMPILE_OPTIONS "-fno-builtin;-fno-tree-loop-distribute-patterns")

# The link time in the headers and the export directory is the date of the
# newest CHANGELOG.md entry (midnight UTC), which every copy of the sources
# has, with or without .git; ld takes it from SOURCE_DATE_EPOCH.
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/CHANGELOG.md)
file(STRINGS ${CMAKE_SOURCE_DIR}/CHANGELOG.md SCR_RELEASE_DATES REGEX "^## .* - [0-9]+-[0-9]+-[0-9]+$")
if(NOT SCR_RELEASE_DATES)
  message(FATAL_ERROR "CHANGELOG.md has no entry of the form '## VERSION - YYYY-MM-DD'")
endif()
list(GET SCR_RELEASE_DATES 0 SCR_RELEASE_DATE)
string(REGEX REPLACE ".* - " "" SCR_RELEASE_DATE "${SCR_RELEASE_DATE}")
execute_process(COMMAND ${Python3_EXECUTABLE} -c
  "import calendar, sys, time; print(calendar.timegm(time.strptime(sys.argv[1], '%Y-%m-%d')))" ${SCR_RELEASE_DATE}
  OUTPUT_VARIABLE SCR_SOURCE_DATE_EPOCH OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
set_property(TARGET Tarvelimunde PROPERTY CXX_LINKER_LAUNCHER
  ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=${SCR_SOURCE_DATE_EPOCH})

target_link_options(Tarvelimunde PRIVATE
  -nostdlib -nostartfiles -static
  -e ${SCR_ENTRY}
  -s
  -Wl,--gc-sections
  -Wl,--insert-timestamp
  # The description string is referenced by nothing.
  -Wl,--require-defined,${SCR_SYMBOL_PREFIX}kModuleDescription
  -Wl,--subsystem,windows:4.0
  -Wl,--major-os-version,4 -Wl,--minor-os-version,0
  -Wl,--major-subsystem-version,4 -Wl,--minor-subsystem-version,0
  -Wl,--kill-at -Wl,--enable-stdcall-fixup
  ${SCR_ARCH_LINK_OPTIONS}
)
target_link_libraries(Tarvelimunde PRIVATE kernel32 user32 gdi32 advapi32 gcc)
# At the top of the install prefix, which the preset names.
install(TARGETS Tarvelimunde RUNTIME DESTINATION .)

# The shipped module checked without running it: the PE rules of its kind
# (any other .scr names its own kind), each also seen to fail on a copy broken
# for it, pescan's view of it, its resources, and the same bytes from two
# builds in different folders at different times.
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "i686")
  set(SCR_KIND x86)
else()
  set(SCR_KIND x64)
endif()
set(CHECK_PE ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tests/static/check_pe.py --timestamp ${SCR_SOURCE_DATE_EPOCH})
add_test(NAME scr_static_check COMMAND ${CHECK_PE} ${SCR_KIND} $<TARGET_FILE:Tarvelimunde>)
add_test(NAME scr_static_rules_fail COMMAND ${CHECK_PE} --break-each ${SCR_KIND} $<TARGET_FILE:Tarvelimunde>)
add_test(NAME scr_static_pescan
  COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tests/static/pescan.py $<TARGET_FILE:Tarvelimunde>)
add_test(NAME resources.saver
  COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tests/static/check_resources.py $<TARGET_FILE:Tarvelimunde>)
add_test(NAME scr_reproducible
  COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tests/static/reproducible.py
          ${CMAKE_SOURCE_DIR} ${CMAKE_BINARY_DIR}/reproducible ${CMAKE_TOOLCHAIN_FILE}
          ${CMAKE_BUILD_TYPE} $<TARGET_FILE:Tarvelimunde>)
# COST: the longest suites start first when ctest runs several at once.
set_tests_properties(scr_reproducible PROPERTIES TIMEOUT ${TARVELIMUNDE_SUITE_TIMEOUT} COST 60)

# The replay tool as a console program: the picture's sources with the saver's
# own options, against the stand-in, so that its trace shows the arithmetic of
# this build (x87 or SSE2) next to the native one, which is built here too,
# with its images for the flow build's tests.
add_executable(tarvelimunde-replay)
target_link_libraries(tarvelimunde-replay PRIVATE scr_options saver offscreen replay replay_main
  replay_without_images output)
target_compile_definitions(tarvelimunde-replay PRIVATE TARVELIMUNDE_OFFSCREEN)
# All of it with the saver's options; trig.cpp keeps its own exception above.
target_link_options(tarvelimunde-replay PRIVATE -static)
target_link_libraries(tarvelimunde-replay PRIVATE kernel32)
tarvelimunde_host_tool(NATIVE_REPLAY tarvelimunde-replay
  COMPONENTS saver offscreen replay replay_main replay_images output LIBS png gif)
add_custom_target(native_replay ALL DEPENDS ${NATIVE_REPLAY})

# Both trees run the same Windows and end-to-end suites, each program under the
# Wine loader of its architecture (the toolchain's emulator), in copies of one
# template prefix (the preset's TARVELIMUNDE_WINE_TEMPLATE, shared by both trees).
set(TARVELIMUNDE_WINE_TEMPLATE ${CMAKE_BINARY_DIR}/wine-template CACHE PATH
  "The Wine prefix that every test copies")
add_test(NAME wine_template
  COMMAND ${TARVELIMUNDE_SLOT} bash ${CMAKE_SOURCE_DIR}/tests/wine/prefix.sh template ${TARVELIMUNDE_WINE_TEMPLATE})
set_tests_properties(wine_template PROPERTIES FIXTURES_SETUP wine_prefix TIMEOUT ${TARVELIMUNDE_SUITE_TIMEOUT})

# Gives tests that run Windows programs the loader, the template and the
# doubles for the system folder (a list of files).
#   wine_test_properties(TEST [DOUBLES file...] [ENVIRONMENT name=value...])
function(wine_test_properties name)
  cmake_parse_arguments(ARG "" "" "DOUBLES;ENVIRONMENT" ${ARGN})
  string(REPLACE ";" "\\;" doubles "${ARG_DOUBLES}")
  set_property(TEST ${name} APPEND PROPERTY ENVIRONMENT
    TARVELIMUNDE_WINE_TEMPLATE=${TARVELIMUNDE_WINE_TEMPLATE} TARVELIMUNDE_WINE=${CMAKE_CROSSCOMPILING_EMULATOR}
    "TARVELIMUNDE_SYSTEM_DOUBLES=${doubles}" ${ARG_ENVIRONMENT})
  set_property(TEST ${name} APPEND PROPERTY FIXTURES_REQUIRED wine_prefix)
endfunction()

add_test(NAME replay_traces COMMAND ${TARVELIMUNDE_SLOT} bash ${CMAKE_SOURCE_DIR}/tests/wine/replay_traces.sh
  ${NATIVE_REPLAY} $<TARGET_FILE:tarvelimunde-replay>)
set_tests_properties(replay_traces PROPERTIES TIMEOUT ${TARVELIMUNDE_SUITE_TIMEOUT})
wine_test_properties(replay_traces)
# The test programs and the benchmark share one compilation of the parts they
# link, with the tree's options; the shipped modules and the replay tool compile
# their own with the saver's.
tarvelimunde_static_library(windows_picture picture)
tarvelimunde_static_library(windows_setup_dialog setup_dialog display_verdict)
tarvelimunde_static_library(windows_host host)
add_subdirectory(tests/doubles)
add_subdirectory(tests/win32)
include(cmake/e2e.cmake)
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
  include(cmake/flow.cmake)
  include(cmake/release.cmake)
  include(cmake/bench.cmake)
  add_subdirectory(tests/flow)
endif()
