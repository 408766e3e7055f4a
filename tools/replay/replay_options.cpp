// Strict parsing: every value whole, in range and of the right form, so a typo
// never quietly replays something else.
#include "replay_options.h"

#include "argument_text.h"

#include <stdio.h>
#include <string.h>

const char kReplayUsage[] =
    "usage: tarvelimunde-replay [options]\n"
    "Replays the saver offscreen: WM_CREATE, then N WM_TIMER ticks through ScreenSaverProc.\n"
    "  --seed S           generator seed instead of the time, 0 to 4294967295 (default 1)\n"
    "  --size WxH         client area, 0 to 65535 each (default 640x480)\n"
    "  --ticks N          number of timer ticks (default 1000)\n"
    "  --palette-size P   what GetDeviceCaps(SIZEPALETTE) answers, 0 to 65536 (default 256)\n"
    "  --reserved R       what GetDeviceCaps(NUMRESERVED) answers, 0 to 256 (default 20)\n"
    "  --trace FILE       write the trace (format version 1); - for stdout\n"
    "  --png FILE         the last frame as an indexed PNG\n"
    "  --gif FILE         an animated GIF, one frame every K ticks\n"
    "  --every K          ticks between GIF frames, 1 or more (default 1)\n"
    "  --help             this text\n";

namespace {

bool
ParseSize(const char* text, int* width, int* height)
{
    const char* cross = strchr(text, 'x');
    if (cross == NULL)
        return false;
    std::string w(text, (size_t)(cross - text));
    uint64_t wv, hv;
    if (!ParseNumber(w.c_str(), 65535, 10, &wv) || !ParseNumber(cross + 1, 65535, 10, &hv))
        return false;
    *width = (int)wv;
    *height = (int)hv;
    return true;
}

}

bool
ParseReplayOptions(int argc, const char* const* argv, ReplayOptions* options, std::string* error)
{
    ReplayOptions o;
    bool everyGiven = false;
    for (int i = 1; i < argc; i++) {
        std::string name = argv[i];
        if (name == "--help") {
            o.help = true;
            continue;
        }
        static const char* const kValued[] = {"--seed", "--size", "--ticks", "--palette-size", "--reserved",
                                              "--trace", "--png", "--gif", "--every"};
        bool known = false;
        for (const char* valued : kValued)
            known = known || name == valued;
        if (!known) {
            *error = "unknown option " + Quoted(name);
            return false;
        }
        if (i + 1 >= argc) {
            *error = "option " + name + " needs a value";
            return false;
        }
        const char* value = argv[++i];
        uint64_t v = 0;
        bool ok = true;
        std::string expected;
        if (name == "--seed") {
            ok = ParseNumber(value, 4294967295ull, 10, &v);
            o.seed = (uint32_t)v;
            expected = "a whole number from 0 to 4294967295";
        } else if (name == "--size") {
            ok = ParseSize(value, &o.width, &o.height);
            expected = "WxH with each from 0 to 65535";
        } else if (name == "--ticks") {
            ok = ParseNumber(value, 1000000000000ull, 10, &v);
            o.ticks = v;
            expected = "a whole number from 0 to 1000000000000";
        } else if (name == "--palette-size") {
            ok = ParseNumber(value, 65536, 10, &v);
            o.paletteSize = (int)v;
            expected = "a whole number from 0 to 65536";
        } else if (name == "--reserved") {
            ok = ParseNumber(value, 256, 10, &v);
            o.reserved = (int)v;
            expected = "a whole number from 0 to 256";
        } else if (name == "--every") {
            ok = ParseNumber(value, 1000000000000ull, 10, &v) && v >= 1;
            o.every = v;
            everyGiven = true;
            expected = "a whole number from 1 to 1000000000000";
        } else {
            ok = *value != '\0';
            expected = "a file name";
            std::string& target = name == "--trace" ? o.trace : name == "--png" ? o.png : o.gif;
            target = value;
        }
        if (!ok) {
            *error = "option " + name + ": " + Quoted(value) + " is not " + expected;
            return false;
        }
    }
    if (everyGiven && o.gif.empty()) {
        *error = "option --every goes with --gif";
        return false;
    }
    if ((!o.png.empty() || !o.gif.empty()) &&
        ((uint64_t)o.width * (uint64_t)o.height > kMaxImagePixels || o.width == 0 || o.height == 0)) {
        *error = "option --size: images need a size from 1x1 to " + std::to_string(kMaxImagePixels) + " pixels in all";
        return false;
    }
    *options = o;
    return true;
}
