// The Wayland client's command line: the picture's options as the module
// takes them, and where it shows the picture.
#ifndef TARVELIMUNDE_WAYLAND_OPTIONS_H
#define TARVELIMUNDE_WAYLAND_OPTIONS_H

#include <string>

#include "picture_options.h"

enum WaylandMode {
    kWaylandLayer,       // the overlay layer of every output, ended by input
    kWaylandBackground,  // the background layer, no input: for lockers
    kWaylandFullscreen,  // one full-screen toplevel, ended by input
    kWaylandWindow,      // a normal window, ended by closing it
};

struct WaylandOptions {
    PictureOptions picture;
    WaylandMode mode = kWaylandLayer;
    std::string output;  // the output that gets the picture; empty: the first announced
};

std::string WaylandUsage();

// False with a one-line message for an unknown option or a bad value.
bool ParseWaylandOptions(int argc, const char* const* argv, WaylandOptions* options, std::string* error);

#endif
