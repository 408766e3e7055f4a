// Trace format version 1, one record a line: init, palette (1 to 255), per tick
// an optional figure and always a segment, then entries (0 to 255).
#include "replay_run.h"

#include <stdio.h>
#include <unistd.h>

#include <vector>

#include "animated_palette.h"
#include "animation_driver.h"
#include "colour_walk.h"
#include "curve.h"
#include "offscreen.h"
#include "random.h"
#include "replay_images.h"

namespace {

struct PendingFile {
    std::string path;
    std::string temporary;
};

PendingFile
Pending(const std::string& path)
{
    return PendingFile{path, path + ".partial"};
}

bool
Commit(const PendingFile& file, std::string* error)
{
    if (rename(file.temporary.c_str(), file.path.c_str()) != 0) {
        *error = "cannot write " + Quoted(file.path);
        return false;
    }
    return true;
}

// Ticks at the 64 a second that Windows delivers, in GIF hundredths.
int
GifDelay(uint64_t every)
{
    uint64_t hundredths = (every * 100 + 32) / 64;
    return hundredths < 2 ? 2 : hundredths > 65535 ? 65535 : (int)hundredths;
}

void
TraceColourEntries(FILE* trace, const char* record, int first, int last)
{
    for (int i = first; i <= last; i++) {
        const PALETTEENTRY& e = paletteAnimator.entries[i];
        fprintf(trace, "%s %d %u %u %u\n", record, i, e.peRed, e.peGreen, e.peBlue);
    }
}

struct Outputs {
    FILE* trace = NULL;
    bool traceIsStdout = false;
    GifOutput* gif = NULL;
    std::vector<PendingFile> pending;
    std::string pngTemporary;
};

int
Fail(Outputs* outputs, const std::string& message, std::string* error)
{
    if (outputs->trace != NULL && !outputs->traceIsStdout)
        fclose(outputs->trace);
    if (outputs->gif != NULL) {
        std::string ignored;
        CloseGif(outputs->gif, &ignored);
    }
    for (const PendingFile& file : outputs->pending)
        unlink(file.temporary.c_str());
    *error = message;
    return 2;
}

}

int
RunReplay(const ReplayOptions& o, FILE* standardOutput, std::string* error)
{
    Outputs out;
    std::string message;
    if (!o.trace.empty()) {
        if (o.trace == "-") {
            out.trace = standardOutput;
            out.traceIsStdout = true;
        } else {
            out.pending.push_back(Pending(o.trace));
            out.trace = fopen(out.pending.back().temporary.c_str(), "w");
            if (out.trace == NULL)
                return Fail(&out, "cannot write " + Quoted(o.trace), error);
        }
    }
    if (!o.png.empty()) {
        // Make sure the PNG can be written before spending the ticks.
        out.pending.push_back(Pending(o.png));
        out.pngTemporary = out.pending.back().temporary;
        FILE* probe = fopen(out.pending.back().temporary.c_str(), "wb");
        if (probe == NULL)
            return Fail(&out, "cannot write " + Quoted(o.png), error);
        fclose(probe);
    }
    if (!o.gif.empty()) {
        out.pending.push_back(Pending(o.gif));
        out.gif = OpenGif(out.pending.back().temporary, o.width, o.height, &message);
        if (out.gif == NULL)
            return Fail(&out, "cannot write " + Quoted(o.gif), error);
    }

    // Each replay is a fresh process: every record as at load.
    curveState = CurveState();
    colourWalk = ColourWalk();
    paletteAnimator = PaletteAnimator();
    animationDriver = AnimationDriver();
    randomGenerator = RandomGenerator();
    OffscreenReset();
    OffscreenSetDeviceCaps(o.paletteSize, o.reserved);
    OffscreenSetClock(o.seed);
    HWND window = OffscreenCreateWindow(o.width, o.height, !o.png.empty() || !o.gif.empty());
    if (ScreenSaverProc(window, WM_CREATE, 0, 0) == -1)
        return Fail(&out, "window creation failed", error);

    const CurveState& c = curveState;
    if (out.trace) {
        fprintf(out.trace, "init %d %d %d\n", c.centreX, c.centreY, c.baseRadius);
        TraceColourEntries(out.trace, "palette", 1, 255);
    }
    for (uint64_t n = 1; n <= o.ticks; n++) {
        bool startsFigure = c.t > c.tLimit;
        ScreenSaverProc(window, WM_TIMER, kAnimationTimer, 0);
        if (out.trace) {
            unsigned long long tick = (unsigned long long)n;
            if (startsFigure)
                fprintf(out.trace, "figure %llu %d %d %d %.9g %d %d\n", tick, c.fixedRadius, c.rollingRadius,
                        c.penDistance, (double)c.tLimit, paletteAnimator.rotateUp, colourWalk.scheme);
            OffscreenLine line = OffscreenLastLine();
            fprintf(out.trace, "segment %llu %d %d %d %d %u %u %u %u\n", tick, line.from.x, line.from.y, line.to.x,
                    line.to.y, (unsigned)(line.colour & 0xFFFF), ChannelByte(colourWalk.red),
                    ChannelByte(colourWalk.green), ChannelByte(colourWalk.blue));
        }
        if (out.gif && n % o.every == 0) {
            int width, height;
            const uint8_t* pixels = OffscreenPixels(&width, &height);
            if (!AddGifFrame(out.gif, pixels, OffscreenPaletteColours(paletteAnimator.palette),
                             GifDelay(o.every), &message))
                return Fail(&out, "cannot write '" + o.gif + "': " + message, error);
        }
    }
    if (out.trace)
        TraceColourEntries(out.trace, "entries", 0, 255);

    if (!o.png.empty()) {
        int width, height;
        const uint8_t* pixels = OffscreenPixels(&width, &height);
        if (!WriteIndexedPng(out.pngTemporary, pixels, width,
                             height, OffscreenPaletteColours(paletteAnimator.palette), &message))
            return Fail(&out, "cannot write " + Quoted(o.png), error);
    }
    ScreenSaverProc(window, WM_DESTROY, 0, 0);

    if (out.gif) {
        GifOutput* gif = out.gif;
        out.gif = NULL;
        if (!CloseGif(gif, &message))
            return Fail(&out, "cannot write " + Quoted(o.gif), error);
    }
    if (out.trace) {
        bool failed = ferror(out.trace) != 0 || fflush(out.trace) != 0;
        if (!out.traceIsStdout)
            failed = fclose(out.trace) != 0 || failed;
        out.trace = NULL;
        if (failed)
            return Fail(&out, "cannot write " + Quoted(o.trace), error);
    }
    for (const PendingFile& file : out.pending)
        if (!Commit(file, error))
            return Fail(&out, *error, error);
    return 0;
}
