# The XScreenSaver module: the picture on the stand-in, shown through Xlib
# and MIT-SHM, with its settings file, man page and Debian package.
include(GNUInstallDirs)

add_library(tarvelimunde_x11_options STATIC x11/x11_options.cpp)
target_include_directories(tarvelimunde_x11_options PUBLIC x11)

add_executable(tarvelimunde x11/x11_main.cpp x11/x11_display.cpp x11/x11_picture.cpp)
target_link_libraries(tarvelimunde PRIVATE tarvelimunde_saver tarvelimunde_x11_options X11::X11 X11::Xext)

# Where Debian's daemon and settings program look.
install(TARGETS tarvelimunde RUNTIME DESTINATION ${CMAKE_INSTALL_LIBEXECDIR}/xscreensaver)
install(FILES x11/tarvelimunde.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/xscreensaver/config)
install(FILES x11/tarvelimunde.6x DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)

# Tests against the real daemon and Xvfb screens.
include(cmake/python.cmake)
set(X11_TEST_ENVIRONMENT TARVELIMUNDE_TREE=${CMAKE_BINARY_DIR} PYTHONDONTWRITEBYTECODE=1)
foreach(suite stills flow options life daemon)
  add_test(NAME x11_${suite}
    COMMAND ${Python3_EXECUTABLE} -m pytest -q -p no:cacheprovider ${CMAKE_SOURCE_DIR}/tests/x11/test_${suite}.py
    WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}/tests/x11)
  set_tests_properties(x11_${suite} PROPERTIES ENVIRONMENT "${X11_TEST_ENVIRONMENT}" TIMEOUT 300)
endforeach()
