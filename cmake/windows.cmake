# Windows builds (32-bit target and 64-bit): the picture compiled as it goes
# into the shipped saver.
add_compile_options(-Wall -Wextra)

add_library(tarvelimunde_saver STATIC ${SAVER_SOURCES})
target_include_directories(tarvelimunde_saver PUBLIC saver)
include(cmake/resources.cmake)
include(cmake/e2e.cmake)
