# "Tarvelimunde Flow.scr", the saver for today's 64-bit Windows: the host as
# it is, and the picture on the offscreen stand-in, sent to the screen
# through a colour table so that its colours flow on truecolour displays.
set(FLOW_DIR ${CMAKE_BINARY_DIR}/flow)
set(FLOW_NAME "Tarvelimunde Flow")

# The picture's side, built against the stand-in: the saver's sources but the
# setup dialog (a real dialog, built with the host), the stand-in and the frame
# feed but the stand-in's plain dialog calls (the real ones are the host's) and
# its memory.
add_library(flow_picture OBJECT flow/flow_picture.cpp)
target_link_libraries(flow_picture PRIVATE scr_options picture offscreen_stand_in)
target_compile_definitions(flow_picture PRIVATE TARVELIMUNDE_OFFSCREEN
  # Both sides define a C-named ScreenSaverProc; the exported one is this build's, so the picture's is renamed.
  ScreenSaverProc=PictureScreenSaverProc)
target_include_directories(flow_picture PRIVATE saver resources offscreen flow)

# The real side: the host, the setup dialog, this build's window procedure,
# screen and memory, and the exact builds' resources with a manifest.
set(FLOW_RC ${CMAKE_SOURCE_DIR}/flow/flow.rc)
add_executable(flow
  flow/flow_display_verdict.cpp
  flow/flow_window.cpp
  flow/flow_screen.cpp
  flow/flow_memory.cpp
  flow/flow_identity.cpp
  ${FLOW_RC}
  $<TARGET_OBJECTS:flow_picture>)
target_link_libraries(flow PRIVATE scr_options host process_start setup_dialog exports)
add_dependencies(flow tarvelimunde_icon)
target_include_directories(flow PRIVATE saver host resources offscreen flow)
set_source_files_properties(${FLOW_RC} PROPERTIES
  INCLUDE_DIRECTORIES "${TARVELIMUNDE_ICON_DIR};${CMAKE_SOURCE_DIR}/resources;${CMAKE_SOURCE_DIR}/flow"
  OBJECT_DEPENDS "${TARVELIMUNDE_ICON};${CMAKE_SOURCE_DIR}/flow/flow.manifest;${CMAKE_SOURCE_DIR}/resources/tarvelimunde.rc")
# Compiled and linked as the exact 64-bit build is: no C runtime, the same
# export, the same headers and layout.
get_target_property(FLOW_LINK_OPTIONS Tarvelimunde LINK_OPTIONS)
get_target_property(FLOW_LINK_LIBRARIES Tarvelimunde LINK_LIBRARIES)
# The system's libraries only: the components are this build's own (above).
list(FILTER FLOW_LINK_LIBRARIES EXCLUDE REGEX "^(scr_options|saver|host|scr_runtime|resources|exports)$")
get_target_property(FLOW_LINK_DEPENDS Tarvelimunde LINK_DEPENDS)
get_target_property(FLOW_LINKER_LAUNCHER Tarvelimunde CXX_LINKER_LAUNCHER)
target_link_options(flow PRIVATE ${FLOW_LINK_OPTIONS})
target_link_libraries(flow PRIVATE ${FLOW_LINK_LIBRARIES})
set_target_properties(flow PROPERTIES
  OUTPUT_NAME ${FLOW_NAME}
  SUFFIX .scr
  RUNTIME_OUTPUT_DIRECTORY ${FLOW_DIR}
  LINK_DEPENDS "${FLOW_LINK_DEPENDS}"
  CXX_LINKER_LAUNCHER "${FLOW_LINKER_LAUNCHER}")
install(TARGETS flow RUNTIME DESTINATION .)

# The suites of the exact builds, run against this file.
add_test(NAME flow_static_check COMMAND ${CHECK_PE} flow $<TARGET_FILE:flow>)
add_test(NAME flow_static_rules_fail COMMAND ${CHECK_PE} --break-each flow $<TARGET_FILE:flow>)
add_test(NAME flow_static_pescan
  COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tests/static/pescan.py $<TARGET_FILE:flow>)
add_test(NAME resources.flow
  COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tests/static/check_resources.py
          --description "SCRNSAVE :${FLOW_NAME}" --manifest $<TARGET_FILE:flow>)
add_test(NAME flow_reproducible
  COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tests/static/reproducible.py
          ${CMAKE_SOURCE_DIR} ${CMAKE_BINARY_DIR}/reproducible-flow ${CMAKE_TOOLCHAIN_FILE}
          ${CMAKE_BUILD_TYPE} $<TARGET_FILE:flow> flow "flow/${FLOW_NAME}.scr")
set_tests_properties(flow_reproducible PROPERTIES TIMEOUT ${TARVELIMUNDE_SUITE_TIMEOUT})
tarvelimunde_pytest_suites(FLOW_E2E_SUITES e2e_flow ${CMAKE_SOURCE_DIR}/tests/e2e)
foreach(suite IN LISTS FLOW_E2E_SUITES)
  e2e_suite_properties(${suite} TARVELIMUNDE_SAVER=$<TARGET_FILE:flow> TARVELIMUNDE_SHOWS_FLOW=1)
endforeach()
set_tests_properties(e2e_flow_fullscreen e2e_flow_password PROPERTIES COST 30)
