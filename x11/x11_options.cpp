// Strict parsing: a value must be whole and in range, so a typo in a
// programs: line never runs something else quietly.
#include "x11_options.h"

#include "argument_text.h"

#include <string.h>

std::string
X11Usage()
{
    return "usage: tarvelimunde [options]\n"
           "Random hypotrochoid figures in flowing colours, for XScreenSaver.\n"
           "  --root           draw on the window XSCREENSAVER_WINDOW names, or on the root window\n"
           "  --window         draw in a window of its own (the default)\n"
           "  --window-id ID   draw into the window ID (decimal or 0x hex); wins over --root\n"
           "  --install        a colormap of its own on 8-bit (PseudoColor) displays\n" +
           PictureOptionsUsage();
}

namespace {

X11ParseResult
Bad(std::string* error, const std::string& message)
{
    *error = message;
    return kOptionsBad;
}

}

bool
ParseWindowId(const char* text, uint32_t* id)
{
    uint64_t value;
    bool hex = text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    if (!ParseNumber(hex ? text + 2 : text, 0xFFFFFFFFu, hex ? 16 : 10, &value))
        return false;
    *id = (uint32_t)value;
    return true;
}

X11ParseResult
ParseX11Options(int argc, const char* const* argv, X11Options* options, std::string* error)
{
    X11Options o;
    for (int i = 1; i < argc; i++) {
        const char* a = argv[i];
        PictureOptionRead read = ReadPictureOption(argc, argv, &i, &o.picture, error);
        if (read == kPictureOptionBad)
            return kOptionsBad;
        if (read == kPictureOptionRead)
            continue;
        if (IsOption(a, "root")) {
            o.root = true;
        } else if (IsOption(a, "window")) {
            // The default: a window of its own unless --root or --window-id.
        } else if (IsOption(a, "install")) {
            o.install = true;
        } else if (IsOption(a, "window-id")) {
            if (i + 1 >= argc)
                return Bad(error, "--window-id needs a window id");
            if (!ParseWindowId(argv[++i], &o.windowId)) {
                *error = "--window-id: " + Quoted(argv[i]) + " is not a window id";
                return kWindowIdBad;
            }
            o.hasWindowId = true;
        } else {
            return Bad(error, "unknown option " + Quoted(a));
        }
    }
    *options = o;
    return kOptionsParsed;
}
