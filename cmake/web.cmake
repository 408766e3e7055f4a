# Web build: the picture against the offscreen stand-in as a WebAssembly module
# with no imports, embedded in one self-contained page.
add_compile_options(-Wall -Wextra -Oz -flto -fno-exceptions -fno-rtti)

add_executable(tarvelimunde_web ${SAVER_SOURCES} ${OFFSCREEN_SOURCES} web/web_saver.cpp)
target_include_directories(tarvelimunde_web PRIVATE saver resources offscreen)
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
