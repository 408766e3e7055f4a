// Trace format version 1, one record a line: init, palette (1 to 255), per tick
// an optional figure and always a segment, then entries (0 to 255).
#include "replay_run.h"

#include <stdio.h>
#include <unistd.h>

#include <vector>

#include "animated_palette.h"
#include "argument_text.h"
#include "colour_walk.h"
#include "curve.h"
#include "offscreen.h"
#include "output_file.h"
#include "picture.h"
#include "replay_images.h"

namespace {

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
    std::string pngPath;  // where the PNG is written before it is put in place
    std::vector<OutputFile> files;
};

bool
Prepare(Outputs* outputs, const std::string& path, std::string* message)
{
    outputs->files.push_back(OutputFile());
    std::string reason;
    if (PrepareOutput(path, &outputs->files.back(), &reason))
        return true;
    outputs->files.pop_back();
    *message = "cannot write " + Quoted(path) + reason;
    return false;
}

int
Fail(Outputs* outputs, const std::string& message, std::string* error)
{
    if (outputs->trace != NULL && !outputs->traceIsStdout)
        fclose(outputs->trace);
    if (outputs->gif != NULL) {
        std::string ignored;
        CloseGif(outputs->gif, &ignored);
    }
    for (const OutputFile& file : outputs->files)
        AbandonOutput(file);
    *error = message;
    return 2;
}

// Every output is checked before the ticks are spent.
bool
OpenOutputs(const ReplayOptions& o, FILE* standardOutput, Outputs* out, std::string* message)
{
    if (o.trace == "-") {
        out->trace = standardOutput;
        out->traceIsStdout = true;
    } else if (!o.trace.empty()) {
        if (!Prepare(out, o.trace, message))
            return false;
        out->trace = fopen(out->files.back().writePath.c_str(), "w");
        if (out->trace == NULL) {
            *message = "cannot write " + Quoted(o.trace);
            return false;
        }
    }
    if (!o.png.empty()) {
        if (!Prepare(out, o.png, message))
            return false;
        out->pngPath = out->files.back().writePath;
    }
    if (!o.gif.empty()) {
        if (!Prepare(out, o.gif, message))
            return false;
        out->gif = OpenGif(out->files.back().writePath, o.width, o.height, message);
        if (out->gif == NULL) {
            *message = "cannot write " + Quoted(o.gif);
            return false;
        }
    }
    return true;
}

void
TraceTick(FILE* trace, uint64_t n, bool startsFigure)
{
    const CurveState& c = curveState;
    unsigned long long tick = (unsigned long long)n;
    if (startsFigure)
        fprintf(trace, "figure %llu %d %d %d %.9g %d %d\n", tick, c.fixedRadius, c.rollingRadius, c.penDistance,
                (double)c.tLimit, paletteAnimator.rotateUp, colourWalk.scheme);
    OffscreenLine line = OffscreenLastLine();
    fprintf(trace, "segment %llu %d %d %d %d %u %u %u %u\n", tick, line.from.x, line.from.y, line.to.x, line.to.y,
            (unsigned)(line.colour & 0xFFFF), ChannelByte(colourWalk.red), ChannelByte(colourWalk.green),
            ChannelByte(colourWalk.blue));
}

// The ticks, traced and framed as asked.
bool
RunTicks(const ReplayOptions& o, Outputs* out, ReplayProgress* progress, std::string* message)
{
    const CurveState& c = curveState;
    if (out->trace) {
        fprintf(out->trace, "init %d %d %d\n", c.centreX, c.centreY, c.baseRadius);
        TraceColourEntries(out->trace, "palette", 1, 255);
    }
    StartProgress(progress, o.ticks);
    for (uint64_t n = 1; n <= o.ticks; n++) {
        bool startsFigure = c.t > c.tLimit;
        TickPicture();
        if (out->trace)
            TraceTick(out->trace, n, startsFigure);
        if (out->gif && n % o.every == 0) {
            std::string reason;
            if (!AddGifFrame(out->gif, PictureFrame()->pixels, OffscreenPaletteColours(paletteAnimator.palette),
                             GifDelay(o.every), &reason)) {
                EndProgress(progress);
                *message = "cannot write '" + o.gif + "': " + reason;
                return false;
            }
        }
        AdvanceProgress(progress, n);
    }
    EndProgress(progress);
    if (out->trace)
        TraceColourEntries(out->trace, "entries", 0, 255);
    return true;
}

// The outputs closed, and the files put in place only when all are whole.
bool
CloseOutputs(const ReplayOptions& o, Outputs* out, std::string* message)
{
    if (out->gif) {
        GifOutput* gif = out->gif;
        out->gif = NULL;
        if (!CloseGif(gif, message)) {
            *message = "cannot write " + Quoted(o.gif);
            return false;
        }
    }
    if (out->trace) {
        bool failed = ferror(out->trace) != 0 || fflush(out->trace) != 0;
        if (!out->traceIsStdout)
            failed = fclose(out->trace) != 0 || failed;
        out->trace = NULL;
        if (failed) {
            *message = "cannot write " + Quoted(o.trace);
            return false;
        }
    }
    while (!out->files.empty()) {
        OutputFile file = out->files.back();
        out->files.pop_back();
        if (!CommitOutput(file)) {
            *message = "cannot write " + Quoted(file.path);
            return false;
        }
    }
    return true;
}

}

int
RunReplay(const ReplayOptions& o, FILE* standardOutput, ReplayProgress* progress, std::string* error)
{
    Outputs out;
    std::string message;
    if (!OpenOutputs(o, standardOutput, &out, &message))
        return Fail(&out, message, error);
    // Each replay is a fresh process.
    if (CreatePicture(o.seed, o.width, o.height, o.paletteSize, o.reserved, !o.png.empty() || !o.gif.empty()) == -1)
        return Fail(&out, "window creation failed", error);
    ReplayProgress quiet = ReplayProgress();
    if (!RunTicks(o, &out, progress != NULL ? progress : &quiet, &message))
        return Fail(&out, message, error);
    if (!o.png.empty()) {
        const Framebuffer* frame = PictureFrame();
        if (!WriteIndexedPng(out.pngPath, frame->pixels, frame->width, frame->height,
                             OffscreenPaletteColours(paletteAnimator.palette), &message))
            return Fail(&out, "cannot write " + Quoted(o.png), error);
    }
    StopPicture();
    if (!CloseOutputs(o, &out, &message))
        return Fail(&out, message, error);
    return 0;
}
