# Native build: the picture against the offscreen stand-in, the replay tool,
# the unit tests and the benchmarks.
add_compile_options(-Wall -Wextra)

add_library(tarvelimunde_saver STATIC
  ${SAVER_SOURCES}
  offscreen/offscreen.cpp
)
target_include_directories(tarvelimunde_saver PUBLIC saver offscreen)

find_package(PNG REQUIRED)
find_package(GIF REQUIRED)

add_library(tarvelimunde_replay_core STATIC
  tools/replay/replay_options.cpp
  tools/replay/replay_run.cpp
  tools/replay/replay_images.cpp
)
target_include_directories(tarvelimunde_replay_core PUBLIC tools/replay)
target_link_libraries(tarvelimunde_replay_core PUBLIC tarvelimunde_saver PNG::PNG GIF::GIF)

add_executable(tarvelimunde-replay tools/replay/replay_main.cpp)
target_link_libraries(tarvelimunde-replay PRIVATE tarvelimunde_replay_core)

find_package(GTest REQUIRED)
include(GoogleTest)
add_executable(native_tests
  tests/native/random_test.cpp
  tests/native/trig_test.cpp
  tests/native/colour_walk_test.cpp
  tests/native/animated_palette_test.cpp
  tests/native/curve_test.cpp
  tests/native/animation_driver_test.cpp
  tests/native/replay_test.cpp
  tests/native/setup_dialog_test.cpp
)
target_link_libraries(native_tests PRIVATE tarvelimunde_replay_core GTest::gtest_main)
target_compile_definitions(native_tests PRIVATE REPLAY_TOOL="$<TARGET_FILE:tarvelimunde-replay>")
add_dependencies(native_tests tarvelimunde-replay)
gtest_discover_tests(native_tests DISCOVERY_MODE PRE_TEST)

find_package(benchmark REQUIRED)
add_executable(tick_benchmark bench/tick_benchmark.cpp)
target_link_libraries(tick_benchmark PRIVATE tarvelimunde_saver benchmark::benchmark)
