# Windows builds (32-bit target and 64-bit): the shipped saver, a
# self-contained Tarvelimunde.scr that needs no C runtime, and in the 64-bit
# tree the tests that run under Wine.
add_compile_options(-Wall -Wextra)
# Every library is named where it is needed, the saver's four above all.
set(CMAKE_C_STANDARD_LIBRARIES "")
set(CMAKE_CXX_STANDARD_LIBRARIES "")

include(cmake/python.cmake)

add_library(tarvelimunde_saver STATIC ${SAVER_SOURCES})
target_include_directories(tarvelimunde_saver PUBLIC saver)
include(cmake/resources.cmake)

# The host without its clock, which tests replace with a settable one.
set(HOST_SOURCES_BUT_CLOCK
  ${CMAKE_SOURCE_DIR}/host/close_protocol.cpp
  ${CMAKE_SOURCE_DIR}/host/saver_window.cpp
  ${CMAKE_SOURCE_DIR}/host/command_line.cpp
  ${CMAKE_SOURCE_DIR}/host/crash_guard.cpp
  ${CMAKE_SOURCE_DIR}/host/startup.cpp
  ${CMAKE_SOURCE_DIR}/host/system_library.cpp
)
set(HOST_SOURCES ${HOST_SOURCES_BUT_CLOCK} ${CMAKE_SOURCE_DIR}/host/tick_count.cpp)
# Only in the shipped module: our own entry point, memory routines and
# description string stand in for the C runtime.
set(SCR_ONLY_SOURCES
  ${CMAKE_SOURCE_DIR}/host/process_start.cpp
  ${CMAKE_SOURCE_DIR}/host/runtime.cpp
  ${CMAKE_SOURCE_DIR}/host/module_identity.cpp
)
set(SCR_DEF ${CMAKE_SOURCE_DIR}/resources/tarvelimunde.def)
set(SCR_RC ${CMAKE_SOURCE_DIR}/resources/tarvelimunde.rc)

add_executable(Tarvelimunde ${SAVER_SOURCES} ${HOST_SOURCES} ${SCR_ONLY_SOURCES})
if(EXISTS ${SCR_RC})
  enable_language(RC)
  target_sources(Tarvelimunde PRIVATE ${SCR_RC})
  if(TARGET tarvelimunde_icon)
    add_dependencies(Tarvelimunde tarvelimunde_icon)
  endif()
endif()
set_target_properties(Tarvelimunde PROPERTIES
  OUTPUT_NAME Tarvelimunde
  SUFFIX .scr
  RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}
  LINK_DEPENDS "${SCR_DEF}"
)
target_include_directories(Tarvelimunde PRIVATE saver host)

set(SCR_COMPILE_OPTIONS
  -Os
  -fno-exceptions -fno-rtti -fno-threadsafe-statics -fno-stack-protector
  -ffunction-sections -fno-ident
)
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "i686")
  # Runs on a Pentium (and a 486); float stores round to 32 bits as the
  # picture's arithmetic expects.
  # x86 exceptions unwind through fs:[0] records, not through tables.
  list(APPEND SCR_COMPILE_OPTIONS -march=i486 -mtune=pentium -ffloat-store
    -fno-asynchronous-unwind-tables -fno-unwind-tables)
  set(SCR_SYMBOL_PREFIX _)
  set(SCR_ENTRY _ProcessStart)
  # Windows 95 loads it at its preferred base, so relocations would be dead
  # weight; the script merges sections to keep within the 16 KiB budget.
  set(SCR_LINKER_SCRIPT ${CMAKE_SOURCE_DIR}/cmake/scr-i686.ld)
  set(SCR_ARCH_LINK_OPTIONS -Wl,--disable-dynamicbase -Wl,--disable-reloc-section
    -Wl,-T,${SCR_LINKER_SCRIPT})
  set_property(TARGET Tarvelimunde APPEND PROPERTY LINK_DEPENDS ${SCR_LINKER_SCRIPT})
else()
  # ld's defaults for today's Windows: relocations with DYNAMIC_BASE,
  # HIGH_ENTROPY_VA and NX_COMPAT.
  set(SCR_ENTRY ProcessStart)
endif()
target_compile_options(Tarvelimunde PRIVATE ${SCR_COMPILE_OPTIONS})
# The memory routines must not be recognised as themselves and turned into
# calls to memset and memcpy.
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "i686")
  # The sine and cosine work in doubles only, which the x87 already rounds to
  # 53 bits (the start-up sets that precision); storing every intermediate
  # would double their code.
  set_source_files_properties(${CMAKE_SOURCE_DIR}/saver/trig.cpp PROPERTIES COMPILE_OPTIONS -fno-float-store)
endif()
set_source_files_properties(${CMAKE_SOURCE_DIR}/host/runtime.cpp PROPERTIES
  COMPILE_OPTIONS "-fno-builtin;-fno-tree-loop-distribute-patterns")

target_link_options(Tarvelimunde PRIVATE
  -nostdlib -nostartfiles -static
  -e ${SCR_ENTRY}
  -s
  -Wl,--gc-sections
  # The same bytes from every build: no link time in the headers or the export directory.
  -Wl,--no-insert-timestamp
  # The description string is referenced by nothing.
  -Wl,--require-defined,${SCR_SYMBOL_PREFIX}kModuleDescription
  -Wl,--subsystem,windows:4.0
  -Wl,--major-os-version,4 -Wl,--minor-os-version,0
  -Wl,--major-subsystem-version,4 -Wl,--minor-subsystem-version,0
  -Wl,--kill-at -Wl,--enable-stdcall-fixup
  ${SCR_ARCH_LINK_OPTIONS}
  ${SCR_DEF}
)
target_link_libraries(Tarvelimunde PRIVATE kernel32 user32 gdi32 advapi32 gcc)

# Two builds in different folders at different times give the same bytes.
add_test(NAME scr_reproducible
  COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tests/static/reproducible.py
          ${CMAKE_SOURCE_DIR} ${CMAKE_BINARY_DIR}/reproducible ${CMAKE_TOOLCHAIN_FILE}
          ${CMAKE_BUILD_TYPE} $<TARGET_FILE:Tarvelimunde>)
set_tests_properties(scr_reproducible PROPERTIES TIMEOUT 600)

# At the top of the install prefix, which the preset names.
install(TARGETS Tarvelimunde RUNTIME DESTINATION .)

# The resource script reads the icon drawn at build time.
add_dependencies(Tarvelimunde tarvelimunde_icon)

# The replay tool as a console program: the picture's sources with the saver's
# own options, against the stand-in, so that its trace shows the arithmetic of
# this build (x87 or SSE2) next to the native one.
add_executable(tarvelimunde-replay
  ${SAVER_SOURCES}
  offscreen/offscreen.cpp
  offscreen/framebuffer.cpp
  tools/replay/replay_main.cpp
  tools/replay/replay_options.cpp
  tools/replay/replay_run.cpp
  tools/replay/replay_without_images.cpp
  tools/output/output_file.cpp
)
target_compile_definitions(tarvelimunde-replay PRIVATE TARVELIMUNDE_OFFSCREEN)
target_include_directories(tarvelimunde-replay PRIVATE saver offscreen tools/replay tools/output)
# All of it with the saver's options; trig.cpp keeps its own exception above.
target_compile_options(tarvelimunde-replay PRIVATE ${SCR_COMPILE_OPTIONS})
target_link_options(tarvelimunde-replay PRIVATE -static)
target_link_libraries(tarvelimunde-replay PRIVATE kernel32)
set(NATIVE_REPLAY ${CMAKE_BINARY_DIR}/../native/tarvelimunde-replay CACHE FILEPATH
  "The native replay tool whose traces the Windows one must equal")
add_test(NAME replay_traces COMMAND bash ${CMAKE_SOURCE_DIR}/tests/wine/replay_traces.sh
  ${NATIVE_REPLAY} $<TARGET_FILE:tarvelimunde-replay>)

# Both trees run the same Windows and end-to-end suites, each program under the
# Wine loader of its architecture, in copies of one prefix made per tree.
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "i686")
  set(WINE_LOADER /usr/lib/wine/wine)
else()
  set(WINE_LOADER /usr/lib/wine/wine64)
endif()
set(WINE_TEMPLATE ${CMAKE_BINARY_DIR}/wine-template)
set(WINE_TEST_ENVIRONMENT TARVELIMUNDE_WINE_TEMPLATE=${WINE_TEMPLATE} TARVELIMUNDE_WINE=${WINE_LOADER})
add_test(NAME wine_template COMMAND bash ${CMAKE_SOURCE_DIR}/tests/wine/prefix.sh template ${WINE_TEMPLATE})
set_tests_properties(wine_template PROPERTIES FIXTURES_SETUP wine_prefix TIMEOUT 240)
set_tests_properties(replay_traces PROPERTIES ENVIRONMENT "${WINE_TEST_ENVIRONMENT}"
  FIXTURES_REQUIRED wine_prefix TIMEOUT 300)
add_subdirectory(tests/doubles)
add_subdirectory(tests/win32)
include(cmake/e2e.cmake)
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
  include(cmake/bench.cmake)
endif()
