# The Wine benchmark: the saver's own sources with a counter around its
# message loop (tests/bench/wine_bench.sh runs it; not part of ctest).
add_executable(saver_bench tests/bench/saver_bench.cpp)
target_link_libraries(saver_bench PRIVATE windows_host windows_picture windows_setup_dialog)
set_target_properties(saver_bench PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests/bench)
target_include_directories(saver_bench PRIVATE tests/win32)
target_link_options(saver_bench PRIVATE -static)
target_link_libraries(saver_bench PRIVATE kernel32 user32 gdi32 advapi32)
