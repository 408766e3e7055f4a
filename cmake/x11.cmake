# The XScreenSaver module: the picture on the stand-in, shown through Xlib
# and MIT-SHM, with its settings file, man page and Debian package.
include(GNUInstallDirs)

add_executable(tarvelimunde)
target_link_libraries(tarvelimunde PRIVATE x11_module x11_options tarvelimunde_saver X11::X11 X11::Xext)

# Where Debian's daemon and settings program look.
install(TARGETS tarvelimunde RUNTIME DESTINATION ${CMAKE_INSTALL_LIBEXECDIR}/xscreensaver)
install(FILES x11/tarvelimunde.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/xscreensaver/config)
install(FILES x11/tarvelimunde.6x DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)

# Tests against the real daemon and Xvfb screens: every tests/x11/test_*.py.
# Under the sanitizers the pictures and the options; timing, the daemon and the
# package are the plain build's.
include(cmake/python.cmake)
if(TARVELIMUNDE_SANITIZE)
  set(X11_PLAIN_BUILD_ONLY EXCEPT life daemon package package_root)
endif()
tarvelimunde_pytest_suites(X11_SUITES x11 ${CMAKE_SOURCE_DIR}/tests/x11 300 ${X11_PLAIN_BUILD_ONLY})
foreach(suite IN LISTS X11_SUITES)
  set_property(TEST ${suite} APPEND PROPERTY ENVIRONMENT TARVELIMUNDE_TREE=${CMAKE_BINARY_DIR})
endforeach()
if(NOT TARVELIMUNDE_SANITIZE)
  # A second build of the module from a copy of the sources; a fresh Debian root.
  set_tests_properties(x11_package x11_package_root PROPERTIES TIMEOUT 1800)
endif()

# The Debian package: tarvelimunde_VERSION_amd64.deb (bash tools/release.sh).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tarvelimunde)
set(CPACK_PACKAGE_VENDOR Tarvelimunde)
set(CPACK_PACKAGE_CONTACT "Tarvelimunde developers <dev@tarvelimunde>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Random hypotrochoid figures in flowing colours, for XScreenSaver")
set(CPACK_PACKAGE_DESCRIPTION "A classic Windows screen saver as an XScreenSaver module: an endless run of
random hypotrochoid figures, drawn one segment per tick in a 4-pixel pen whose
colour is an index into an animated 256-entry palette. Add 'tarvelimunde --root'
to the programs: list in ~/.xscreensaver to use it.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION x11)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_ENHANCES xscreensaver)
set(CPACK_STRIP_FILES ON)
# Packing builds only the module (tools/release.sh builds it first), not every test.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)
include(CPack)
