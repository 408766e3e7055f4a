# The XScreenSaver module: the picture on the stand-in, shown through Xlib
# and MIT-SHM, with its settings file, man page and Debian package.
include(GNUInstallDirs)

add_executable(tarvelimunde)
target_link_libraries(tarvelimunde PRIVATE x11_module x11_options tarvelimunde_saver X11::X11 X11::Xext X11::Xrandr)

# It ships in a Debian package, so everything it is made of is built as Debian
# builds its own: with dpkg-buildflags' flags for hardening=+all. (The
# sanitizer tree ships nothing.)
if(NOT TARVELIMUNDE_SANITIZE)
  find_program(DPKG_BUILDFLAGS dpkg-buildflags REQUIRED)
  foreach(kind CPPFLAGS CXXFLAGS LDFLAGS)
    # In the sources' folder, which its -ffile-prefix-map then names.
    execute_process(COMMAND ${CMAKE_COMMAND} -E env DEB_BUILD_MAINT_OPTIONS=hardening=+all
        ${DPKG_BUILDFLAGS} --get ${kind}
      WORKING_DIRECTORY ${CMAKE_SOURCE_DIR} OUTPUT_VARIABLE flags OUTPUT_STRIP_TRAILING_WHITESPACE
      COMMAND_ERROR_IS_FATAL ANY)
    separate_arguments(DEB_${kind} UNIX_COMMAND "${flags}")
  endforeach()
  # The module compiles its own and its options' sources; the picture comes from tarvelimunde_saver.
  foreach(part tarvelimunde tarvelimunde_saver)
    # The tree may lie outside the sources; the later map wins, so the debug
    # information, and the build id made from it, name no folder of this machine.
    target_compile_options(${part} PRIVATE ${DEB_CPPFLAGS} ${DEB_CXXFLAGS} -ffile-prefix-map=${CMAKE_BINARY_DIR}=.)
  endforeach()
  target_link_options(tarvelimunde PRIVATE ${DEB_LDFLAGS})
endif()
# The compiler's version string (.comment) is of no use in the program; dh_strip drops it too.
add_custom_command(TARGET tarvelimunde POST_BUILD
  COMMAND ${CMAKE_OBJCOPY} --remove-section=.comment $<TARGET_FILE:tarvelimunde>)

# The Wayland client goes in the same package, where its libraries are at hand.
find_package(PkgConfig)
if(PkgConfig_FOUND)
  pkg_check_modules(WAYLAND_CLIENT IMPORTED_TARGET wayland-client)
endif()
if(WAYLAND_CLIENT_FOUND)
  include(cmake/wayland.cmake)
endif()

# Man pages go compressed, with no name or time in the header. Built with the
# module, so that building the module readies its package.
set(X11_MAN_PAGE ${CMAKE_BINARY_DIR}/tarvelimunde.6x)
add_custom_command(OUTPUT ${X11_MAN_PAGE}.gz
  COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_SOURCE_DIR}/x11/tarvelimunde.6x ${X11_MAN_PAGE}
  COMMAND gzip -9nf ${X11_MAN_PAGE}
  DEPENDS x11/tarvelimunde.6x VERBATIM)
add_custom_target(tarvelimunde_man DEPENDS ${X11_MAN_PAGE}.gz)
add_dependencies(tarvelimunde tarvelimunde_man)

# Where Debian's daemon and settings program look.
install(TARGETS tarvelimunde RUNTIME DESTINATION ${CMAKE_INSTALL_LIBEXECDIR}/xscreensaver)
install(FILES x11/tarvelimunde.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/xscreensaver/config)
install(FILES ${X11_MAN_PAGE}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)

# Tests against the real daemon and Xvfb screens: every tests/x11/test_*.py.
# Under the sanitizers the pictures and the options; timing, the daemon and the
# package are the plain build's.
include(cmake/python.cmake)
if(TARVELIMUNDE_SANITIZE)
  set(X11_PLAIN_BUILD_ONLY EXCEPT life daemon package package_root)
endif()
tarvelimunde_pytest_suites(X11_SUITES x11 ${CMAKE_SOURCE_DIR}/tests/x11 ${X11_PLAIN_BUILD_ONLY})
foreach(suite IN LISTS X11_SUITES)
  set_property(TEST ${suite} APPEND PROPERTY ENVIRONMENT TARVELIMUNDE_TREE=${CMAKE_BINARY_DIR})
endforeach()

# The Debian package: tarvelimunde_VERSION_amd64.deb (bash tools/release.sh).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tarvelimunde)
set(CPACK_PACKAGE_VENDOR Tarvelimunde)
# The project has no mail domain of its own yet; .example is the name reserved for that.
set(CPACK_PACKAGE_CONTACT "Tarvelimunde developers <dev@tarvelimunde.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Random hypotrochoid figures in flowing colours, for XScreenSaver and Wayland")
set(CPACK_PACKAGE_DESCRIPTION "A classic Windows screen saver as an XScreenSaver module and a Wayland
client: an endless run of random hypotrochoid figures, drawn one segment per
tick in a 4-pixel pen whose colour is an index into an animated 256-entry
palette. Add 'tarvelimunde --root' to the programs: list in ~/.xscreensaver
to use it, or start tarvelimunde-wayland from swayidle or a shortcut.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION x11)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_ENHANCES xscreensaver)
set(CPACK_STRIP_FILES ON)
# Packing builds only the module (tools/release.sh builds it first), not every test.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)
# The package's copyright and changelog, for the version that cpack packs (-R).
set(CPACK_INSTALL_SCRIPTS ${CMAKE_BINARY_DIR}/debian-docs.cmake)
file(CONFIGURE OUTPUT ${CPACK_INSTALL_SCRIPTS} @ONLY CONTENT [[
execute_process(COMMAND "@Python3_EXECUTABLE@" "@CMAKE_SOURCE_DIR@/tools/release/debian_docs.py"
    "${CPACK_PACKAGE_VERSION}" "${CPACK_PACKAGE_CONTACT}" "@CMAKE_SOURCE_DIR@/CHANGELOG.md"
    "@CMAKE_SOURCE_DIR@/LICENSE" "$ENV{DESTDIR}${CPACK_PACKAGING_INSTALL_PREFIX}/share/doc/tarvelimunde"
  COMMAND_ERROR_IS_FATAL ANY)
]])
include(CPack)
