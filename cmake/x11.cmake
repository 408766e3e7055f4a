# The XScreenSaver module: the picture on the stand-in, shown through Xlib
# and MIT-SHM, with its settings file, man page and Debian package.
include(GNUInstallDirs)

add_library(tarvelimunde_x11_options STATIC x11/x11_options.cpp)
target_include_directories(tarvelimunde_x11_options PUBLIC x11)

add_executable(tarvelimunde x11/x11_main.cpp x11/x11_display.cpp x11/x11_picture.cpp)
target_link_libraries(tarvelimunde PRIVATE tarvelimunde_saver tarvelimunde_x11_options X11::X11 X11::Xext)
