# The release zip holds both savers, so the 64-bit tree builds the 32-bit one
# as well, in a tree of its own inside this one, and packs the zip (twice).
include(ExternalProject)
set(WIN32_SAVER_TREE ${CMAKE_BINARY_DIR}/win32)
ExternalProject_Add(win32_saver
  SOURCE_DIR ${CMAKE_SOURCE_DIR}
  BINARY_DIR ${WIN32_SAVER_TREE}
  CMAKE_ARGS -DCMAKE_TOOLCHAIN_FILE=${CMAKE_SOURCE_DIR}/cmake/toolchain-win32.cmake
             -DCMAKE_BUILD_TYPE=${CMAKE_BUILD_TYPE}
  BUILD_COMMAND ${CMAKE_COMMAND} --build ${WIN32_SAVER_TREE} --target Tarvelimunde
  BUILD_ALWAYS ON
  INSTALL_COMMAND "")
add_test(NAME release_zip COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tests/static/release_zip.py
  ${CMAKE_SOURCE_DIR}/tools/release/package.py ${CMAKE_SOURCE_DIR}/tools/release/README.txt ${CMAKE_SOURCE_DIR}/LICENSE
  ${WIN32_SAVER_TREE}/Tarvelimunde.scr $<TARGET_FILE:Tarvelimunde> $<TARGET_FILE:flow> ${CMAKE_BINARY_DIR}/release-zip)
