# Web build: the picture against the offscreen stand-in as a WebAssembly module
# with no imports, embedded in one self-contained page.
add_compile_options(-Wall -Wextra -Oz -flto -fno-exceptions -fno-rtti)

add_executable(tarvelimunde_web web/web_saver.cpp)
target_link_libraries(tarvelimunde_web PRIVATE saver offscreen)
set_target_properties(tarvelimunde_web PROPERTIES OUTPUT_NAME tarvelimunde SUFFIX .wasm)
# A reactor: the page calls _initialize and then the exports, no main.
target_link_options(tarvelimunde_web PRIVATE -flto -mexec-model=reactor -Wl,--gc-sections,--strip-all)

find_package(Python3 REQUIRED COMPONENTS Interpreter)
set(WEB_PAGE ${CMAKE_BINARY_DIR}/tarvelimunde.html)
add_custom_command(OUTPUT ${WEB_PAGE}
  COMMAND Python3::Interpreter ${CMAKE_SOURCE_DIR}/web/embed_module.py
          ${CMAKE_SOURCE_DIR}/web/tarvelimunde.html $<TARGET_FILE:tarvelimunde_web> ${WEB_PAGE}
  DEPENDS tarvelimunde_web ${CMAKE_SOURCE_DIR}/web/tarvelimunde.html ${CMAKE_SOURCE_DIR}/web/embed_module.py
  VERBATIM)
add_custom_target(tarvelimunde_page ALL DEPENDS ${WEB_PAGE})

# The browser tests: every tests/web/*.test.mjs, in Debian's chromium, against
# the native tree's replay tool (build/native). The locked packages are
# installed once, before them.
find_program(NODE_EXECUTABLE node REQUIRED)
add_test(NAME web_packages COMMAND bash ${CMAKE_SOURCE_DIR}/tests/web/run.sh install)
set_tests_properties(web_packages PROPERTIES FIXTURES_SETUP web_packages TIMEOUT ${TARVELIMUNDE_SUITE_TIMEOUT})
file(GLOB WEB_TESTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/web/*.test.mjs)
foreach(file IN LISTS WEB_TESTS)
  get_filename_component(suite ${file} NAME_WE)
  add_test(NAME web_${suite} COMMAND ${TARVELIMUNDE_SLOT} ${NODE_EXECUTABLE} --test ${file}
    WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}/tests/web)
  set_tests_properties(web_${suite} PROPERTIES FIXTURES_REQUIRED web_packages TIMEOUT ${TARVELIMUNDE_SUITE_TIMEOUT})
endforeach()
