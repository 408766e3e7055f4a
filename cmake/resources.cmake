# The module's resources. The icon is drawn at build time by a small tool that
# runs on the build machine, so in the cross builds it is compiled with the
# host compiler, from the picture's own curve and colour sources.
#
# For the module that carries the resources: add ${TARVELIMUNDE_RC} to its
# sources and ${TARVELIMUNDE_DEF} to its link line. The .rc finds the generated .ico through
# its source properties below; add_dependencies(<target> tarvelimunde_icon)
# makes the order explicit as well.

set(TARVELIMUNDE_RC ${CMAKE_SOURCE_DIR}/resources/tarvelimunde.rc)
set(TARVELIMUNDE_DEF ${CMAKE_SOURCE_DIR}/resources/tarvelimunde.def)
set(TARVELIMUNDE_ICON_DIR ${CMAKE_BINARY_DIR}/resources)
set(TARVELIMUNDE_ICON ${TARVELIMUNDE_ICON_DIR}/tarvelimunde.ico)

find_program(TARVELIMUNDE_HOST_CXX NAMES c++ g++ clang++ REQUIRED)

set(icon_tool ${TARVELIMUNDE_ICON_DIR}/make_icons)
set(icon_tool_sources
  ${CMAKE_SOURCE_DIR}/tools/icons/make_icons.cpp
  ${CMAKE_SOURCE_DIR}/saver/random.cpp
  ${CMAKE_SOURCE_DIR}/saver/trig.cpp
  ${CMAKE_SOURCE_DIR}/saver/colour_walk.cpp
  ${CMAKE_SOURCE_DIR}/saver/animated_palette.cpp
  ${CMAKE_SOURCE_DIR}/saver/curve.cpp
  ${OFFSCREEN_SOURCES}
  ${CMAKE_SOURCE_DIR}/tools/output/output_file.cpp
)
file(GLOB icon_tool_headers ${CMAKE_SOURCE_DIR}/saver/*.h ${CMAKE_SOURCE_DIR}/offscreen/*.h
  ${CMAKE_SOURCE_DIR}/tools/output/*.h)

add_custom_command(
  OUTPUT ${icon_tool}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${TARVELIMUNDE_ICON_DIR}
  COMMAND ${TARVELIMUNDE_HOST_CXX} -std=c++17 -O2
          -I${CMAKE_SOURCE_DIR}/saver -I${CMAKE_SOURCE_DIR}/offscreen -I${CMAKE_SOURCE_DIR}/tools/output
          ${icon_tool_sources} -o ${icon_tool}
  DEPENDS ${icon_tool_sources} ${icon_tool_headers}
  COMMENT "Building the icon tool with the host compiler"
  VERBATIM
)
add_custom_command(
  OUTPUT ${TARVELIMUNDE_ICON}
  COMMAND ${icon_tool} ${TARVELIMUNDE_ICON}
  DEPENDS ${icon_tool}
  COMMENT "Drawing the icon"
  VERBATIM
)
add_custom_target(tarvelimunde_icon ALL DEPENDS ${TARVELIMUNDE_ICON})

set_source_files_properties(${TARVELIMUNDE_RC} PROPERTIES
  INCLUDE_DIRECTORIES ${TARVELIMUNDE_ICON_DIR}
  OBJECT_DEPENDS ${TARVELIMUNDE_ICON}
)

# A module with the resources and the export and nothing else, checked field
# by field. The saver itself gets the same check, with its description string,
# once it is a target here.
add_executable(tarvelimunde_resource_probe WIN32
  tests/static/resource_probe.cpp
  ${TARVELIMUNDE_RC}
)
add_dependencies(tarvelimunde_resource_probe tarvelimunde_icon)
# CMake applies .def sources to libraries only: an executable gets it on its
# link line.
# The undecorated name in the .def resolves to the 32-bit stdcall symbol.
target_link_options(tarvelimunde_resource_probe PRIVATE -static -Wl,--enable-stdcall-fixup ${TARVELIMUNDE_DEF})
set_property(TARGET tarvelimunde_resource_probe APPEND PROPERTY LINK_DEPENDS ${TARVELIMUNDE_DEF})

if(Python3_Interpreter_FOUND)
  add_test(NAME resources.probe
    COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tests/static/check_resources.py
            --no-description $<TARGET_FILE:tarvelimunde_resource_probe>)
  # Deferred to the end of the directory, so the saver's target exists by then
  # wherever it is defined.
  function(tarvelimunde_check_saver_resources)
    if(TARGET Tarvelimunde)
      add_test(NAME resources.saver
        COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tests/static/check_resources.py
                $<TARGET_FILE:Tarvelimunde>)
    endif()
  endfunction()
  cmake_language(DEFER CALL tarvelimunde_check_saver_resources)
endif()
