# The module's resources: the icon that the script reads is drawn at build
# time by a tool that runs on the build machine.
set(TARVELIMUNDE_ICON_DIR ${CMAKE_BINARY_DIR}/resources)
set(TARVELIMUNDE_ICON ${TARVELIMUNDE_ICON_DIR}/tarvelimunde.ico)
tarvelimunde_host_tool(ICON_TOOL make_icons COMPONENTS icon_tool output saver offscreen)
add_custom_command(OUTPUT ${TARVELIMUNDE_ICON}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${TARVELIMUNDE_ICON_DIR}
  COMMAND ${ICON_TOOL} ${TARVELIMUNDE_ICON}
  DEPENDS ${ICON_TOOL}
  COMMENT "Drawing the icon"
  VERBATIM)
# Every module that links the resources waits for the icon; the source
# property below, which recompiles the script when the icon changes, reaches
# only the targets of this folder.
add_custom_target(tarvelimunde_icon ALL DEPENDS ${TARVELIMUNDE_ICON})
add_dependencies(resources tarvelimunde_icon)
set_source_files_properties(${CMAKE_SOURCE_DIR}/resources/tarvelimunde.rc PROPERTIES
  OBJECT_DEPENDS ${TARVELIMUNDE_ICON})

# A module with the resources and the export and nothing else, checked field
# by field; the saver gets the same check with its description string.
add_executable(tarvelimunde_resource_probe WIN32 tests/static/resource_probe.cpp)
# CMake applies a .def source to libraries only, so an executable names it on
# its link line (exports); the undecorated name in it resolves to the 32-bit
# stdcall symbol.
target_link_libraries(tarvelimunde_resource_probe PRIVATE resources exports)
target_link_options(tarvelimunde_resource_probe PRIVATE -static -Wl,--enable-stdcall-fixup)
add_test(NAME resources.probe
  COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tests/static/check_resources.py
          --no-description $<TARGET_FILE:tarvelimunde_resource_probe>)
