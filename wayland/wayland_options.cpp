#include "wayland_options.h"

#include "argument_text.h"

std::string
WaylandUsage()
{
    return "usage: tarvelimunde-wayland [options]\n"
           "Random hypotrochoid figures in flowing colours, on a Wayland desktop.\n"
           "  --layer          over every output, until a key, a button or a pointer move (the default)\n"
           "  --background     on every output's background layer, taking no input, until a signal\n"
           "  --fullscreen     one full-screen window, until a key, a button or a pointer move\n"
           "  --window         a normal window, until it is closed\n"
           "  --output NAME    the output that shows the picture (default: the first one)\n" +
           PictureOptionsUsage();
}

bool
ParseWaylandOptions(int argc, const char* const* argv, WaylandOptions* options, std::string* error)
{
    WaylandOptions o;
    for (int i = 1; i < argc; i++) {
        const char* a = argv[i];
        PictureOptionRead read = ReadPictureOption(argc, argv, &i, &o.picture, error);
        if (read == kPictureOptionBad)
            return false;
        if (read == kPictureOptionRead)
            continue;
        if (IsOption(a, "layer")) {
            o.mode = kWaylandLayer;
        } else if (IsOption(a, "background")) {
            o.mode = kWaylandBackground;
        } else if (IsOption(a, "fullscreen")) {
            o.mode = kWaylandFullscreen;
        } else if (IsOption(a, "window")) {
            o.mode = kWaylandWindow;
        } else if (IsOption(a, "output")) {
            if (i + 1 >= argc || argv[i + 1][0] == '\0') {
                *error = "--output needs an output's name";
                return false;
            }
            o.output = argv[++i];
        } else {
            *error = "unknown option " + Quoted(a);
            return false;
        }
    }
    *options = o;
    return true;
}
