# The Wayland client: the picture on the stand-in, shown through wl_shm buffers
# on layer-shell surfaces or an xdg_toplevel, with its man page.
# Included by x11.cmake, whose Debian package carries it, with its flags.
find_program(WAYLAND_SCANNER wayland-scanner REQUIRED)
pkg_check_modules(WAYLAND_PROTOCOLS REQUIRED wayland-protocols)
pkg_get_variable(WAYLAND_PROTOCOLS_DIR wayland-protocols pkgdatadir)

# Client code of protocols, generated into the tree and compiled into target.
#   tarvelimunde_wayland_protocols(TARGET xml...)
function(tarvelimunde_wayland_protocols target)
  set(folder ${CMAKE_BINARY_DIR}/wayland-protocols)
  foreach(xml IN LISTS ARGN)
    get_filename_component(stem ${xml} NAME_WE)
    add_custom_command(OUTPUT ${folder}/${stem}-client.h ${folder}/${stem}-protocol.c
      COMMAND ${CMAKE_COMMAND} -E make_directory ${folder}
      COMMAND ${WAYLAND_SCANNER} client-header ${xml} ${folder}/${stem}-client.h
      COMMAND ${WAYLAND_SCANNER} private-code ${xml} ${folder}/${stem}-protocol.c
      DEPENDS ${xml} VERBATIM)
    target_sources(${target} PRIVATE ${folder}/${stem}-client.h ${folder}/${stem}-protocol.c)
  endforeach()
  target_include_directories(${target} PRIVATE ${folder})
endfunction()

add_executable(tarvelimunde-wayland)
target_link_libraries(tarvelimunde-wayland PRIVATE wayland_client wayland_options tarvelimunde_saver
  PkgConfig::WAYLAND_CLIENT)
tarvelimunde_wayland_protocols(tarvelimunde-wayland
  ${WAYLAND_PROTOCOLS_DIR}/stable/xdg-shell/xdg-shell.xml
  ${WAYLAND_PROTOCOLS_DIR}/stable/viewporter/viewporter.xml
  ${WAYLAND_PROTOCOLS_DIR}/staging/fractional-scale/fractional-scale-v1.xml
  ${CMAKE_SOURCE_DIR}/wayland/wlr-layer-shell-unstable-v1.xml)
if(NOT TARVELIMUNDE_SANITIZE)
  target_compile_options(tarvelimunde-wayland PRIVATE ${DEB_CPPFLAGS} ${DEB_CXXFLAGS}
    -ffile-prefix-map=${CMAKE_BINARY_DIR}=.)
  target_link_options(tarvelimunde-wayland PRIVATE ${DEB_LDFLAGS})
endif()
add_custom_command(TARGET tarvelimunde-wayland POST_BUILD
  COMMAND ${CMAKE_OBJCOPY} --remove-section=.comment $<TARGET_FILE:tarvelimunde-wayland>)

set(WAYLAND_MAN_PAGE ${CMAKE_BINARY_DIR}/tarvelimunde-wayland.6)
add_custom_command(OUTPUT ${WAYLAND_MAN_PAGE}.gz
  COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_SOURCE_DIR}/wayland/tarvelimunde-wayland.6 ${WAYLAND_MAN_PAGE}
  COMMAND gzip -9nf ${WAYLAND_MAN_PAGE}
  DEPENDS wayland/tarvelimunde-wayland.6 VERBATIM)
add_custom_target(tarvelimunde_wayland_man DEPENDS ${WAYLAND_MAN_PAGE}.gz)
add_dependencies(tarvelimunde-wayland tarvelimunde_wayland_man)
install(TARGETS tarvelimunde-wayland RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${WAYLAND_MAN_PAGE}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)

# Tests against headless sway and weston: every tests/wayland/test_*.py, with
# the pointer the tests move (a virtual one, since headless sway has no devices).
if(EXISTS ${CMAKE_SOURCE_DIR}/tests/wayland/CMakeLists.txt)
  add_subdirectory(tests/wayland)
endif()
include(cmake/python.cmake)
tarvelimunde_pytest_suites(WAYLAND_SUITES wayland ${CMAKE_SOURCE_DIR}/tests/wayland)
foreach(suite IN LISTS WAYLAND_SUITES)
  set_property(TEST ${suite} APPEND PROPERTY ENVIRONMENT TARVELIMUNDE_TREE=${CMAKE_BINARY_DIR})
endforeach()
