# Native build: the picture against the offscreen stand-in, the replay tool,
# the unit tests and the benchmarks.
add_compile_options(-Wall -Wextra)

# The build/sanitize tree runs everything under AddressSanitizer and
# UndefinedBehaviorSanitizer, float-to-integer overflow included.
option(TARVELIMUNDE_SANITIZE "Build with ASan and UBSan" OFF)
if(TARVELIMUNDE_SANITIZE)
  set(SANITIZE_FLAGS -fsanitize=address,undefined,float-cast-overflow -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_compile_options(${SANITIZE_FLAGS})
  add_link_options(${SANITIZE_FLAGS})
endif()

# Components compiled once for every native program.
tarvelimunde_static_library(tarvelimunde_saver saver offscreen)

find_package(PNG REQUIRED)
find_package(GIF REQUIRED)

tarvelimunde_static_library(tarvelimunde_replay_core replay replay_images output)
target_link_libraries(tarvelimunde_replay_core PUBLIC tarvelimunde_saver PNG::PNG GIF::GIF)

add_executable(tarvelimunde-replay)
target_link_libraries(tarvelimunde-replay PRIVATE replay_main tarvelimunde_replay_core)

find_package(GTest REQUIRED)
include(GoogleTest)

# The tests' spies on the stand-in, linked into the tests alone (see
# tests/native/offscreen_spy.cpp): each call named here reaches the spy first.
add_library(offscreen_spy OBJECT tests/native/offscreen_spy.cpp)
target_include_directories(offscreen_spy PUBLIC tests/native)
target_link_libraries(offscreen_spy PUBLIC tarvelimunde_saver)
set(SPIED_CALLS OffscreenReset GetClientRect GetDC ReleaseDC GetDeviceCaps FillRect CreatePen SelectObject
  DeleteObject MoveToEx LineTo CreatePalette SelectPalette RealizePalette GetPaletteEntries AnimatePalette
  SetTimer KillTimer LocalAlloc LocalLock LocalUnlock LocalFree FrameMemoryAllocate)
list(TRANSFORM SPIED_CALLS PREPEND "LINKER:--wrap=")
target_link_options(offscreen_spy INTERFACE ${SPIED_CALLS})

add_executable(native_tests
  tests/native/random_test.cpp
  tests/native/trig_test.cpp
  tests/native/colour_walk_test.cpp
  tests/native/animated_palette_test.cpp
  tests/native/curve_test.cpp
  tests/native/animation_driver_test.cpp
  tests/native/framebuffer_test.cpp
  tests/native/drawn_tiles_test.cpp
  tests/native/frame_pace_test.cpp
  tests/native/frame_feed_test.cpp
  tests/native/replay_test.cpp
  tests/native/setup_dialog_test.cpp
)
target_link_libraries(native_tests PRIVATE offscreen_spy tarvelimunde_replay_core GTest::gtest_main)
target_compile_definitions(native_tests PRIVATE REPLAY_TOOL="$<TARGET_FILE:tarvelimunde-replay>")
add_dependencies(native_tests tarvelimunde-replay)
# The host's command-line reading, which needs no window calls.
target_sources(native_tests PRIVATE tests/native/command_line_test.cpp)
target_link_libraries(native_tests PRIVATE command_line)
tarvelimunde_test_code(native_tests)
gtest_discover_tests(native_tests DISCOVERY_MODE PRE_TEST)

add_executable(endurance_tests tests/native/endurance_test.cpp)
target_link_libraries(endurance_tests PRIVATE offscreen_spy GTest::gtest_main)
target_include_directories(endurance_tests PRIVATE tests/native)
target_link_options(endurance_tests PRIVATE -Wl,--wrap=malloc)
tarvelimunde_test_code(endurance_tests)
gtest_discover_tests(endurance_tests DISCOVERY_MODE PRE_TEST)

# The README and docs/ name only files and pages that are there.
include(cmake/python.cmake)
add_test(NAME docs_links COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tests/static/check_docs.py ${CMAKE_SOURCE_DIR})

# The module's area sent a frame, tiles against the bounding box (tests/bench/x11_from_outside.py).
add_executable(tarvelimunde-drawn-area tests/bench/drawn_area_bench.cpp)
target_link_libraries(tarvelimunde-drawn-area PRIVATE tarvelimunde_saver)

find_package(benchmark REQUIRED)
add_executable(tick_benchmark bench/tick_benchmark.cpp)
target_link_libraries(tick_benchmark PRIVATE tarvelimunde_saver benchmark::benchmark)

# With clang (the build/sanitize tree): fuzzers of the text the program and the
# replay tool take from outside.
if(CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
  set(FUZZ_RUNS 200000 CACHE STRING "Executions of each fuzzer run by ctest")
  add_executable(replay_options_fuzz tests/fuzz/replay_options_fuzz.cpp)
  target_link_libraries(replay_options_fuzz PRIVATE replay_options)
  target_compile_options(replay_options_fuzz PRIVATE -fsanitize=fuzzer)
  target_link_options(replay_options_fuzz PRIVATE -fsanitize=fuzzer)
  add_executable(command_line_fuzz tests/fuzz/command_line_fuzz.cpp)
  target_link_libraries(command_line_fuzz PRIVATE command_line)
  target_compile_options(command_line_fuzz PRIVATE -fsanitize=fuzzer)
  target_link_options(command_line_fuzz PRIVATE -fsanitize=fuzzer)

  # New inputs go to a scratch folder; the committed corpus is only read.
  add_test(NAME fuzz_replay_options
    COMMAND sh -c "mkdir -p fuzz-work/replay_options && exec $<TARGET_FILE:replay_options_fuzz> -runs=${FUZZ_RUNS} -max_len=256 -artifact_prefix=fuzz-work/ fuzz-work/replay_options ${CMAKE_SOURCE_DIR}/tests/fuzz/corpus/replay_options")
  add_executable(x11_options_fuzz tests/fuzz/x11_options_fuzz.cpp)
  target_link_libraries(x11_options_fuzz PRIVATE x11_options wayland_options)
  target_compile_options(x11_options_fuzz PRIVATE -fsanitize=fuzzer)
  target_link_options(x11_options_fuzz PRIVATE -fsanitize=fuzzer)
  add_test(NAME fuzz_x11_options
    COMMAND sh -c "mkdir -p fuzz-work/x11_options && exec $<TARGET_FILE:x11_options_fuzz> -runs=${FUZZ_RUNS} -max_len=128 -artifact_prefix=fuzz-work/ fuzz-work/x11_options ${CMAKE_SOURCE_DIR}/tests/fuzz/corpus/x11_options")
  add_test(NAME fuzz_command_line
    COMMAND sh -c "mkdir -p fuzz-work/command_line && exec $<TARGET_FILE:command_line_fuzz> -runs=${FUZZ_RUNS} -max_len=64 -artifact_prefix=fuzz-work/ fuzz-work/command_line ${CMAKE_SOURCE_DIR}/tests/fuzz/corpus/command_line")
endif()

# The XScreenSaver module, where Xlib and its extension libraries are at hand.
find_package(X11)
if(X11_FOUND AND X11_Xext_FOUND AND X11_Xrandr_FOUND)
  include(cmake/x11.cmake)
endif()
