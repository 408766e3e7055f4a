// The module's life: options, the window, then ticks on a monotonic clock and
// frames at most once a tick, until a signal, the window's end or its close.
#include <errno.h>
#include <poll.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/signalfd.h>
#include <time.h>
#include <unistd.h>

#include <string>

#include "argument_text.h"
#include "frame_pace.h"
#include "x11_display.h"
#include "x11_options.h"
#include "picture.h"

namespace {

const int64_t kNanoseconds = 1000000000;

struct X11Run {
    X11Options options;
    int64_t tickPeriod;
    int64_t nextTick;
    // Frames follow ticks, so that both share one wake-up; ticks faster than
    // the refresh skip what it cannot show.
    FramePace pace;
    int maxCatchUp;
    FrameArea pending;  // changed and exposed, not yet out
    bool frameWanted;
    bool ending;
    std::string failure;  // why it ended early, for standard error
    PictureColours colours;
};

X11Run run;

int64_t
Now()
{
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return (int64_t)now.tv_sec * kNanoseconds + now.tv_nsec;
}

void
TakeChanged()
{
    Framebuffer* frame = PictureFrame();
    if (frame == NULL)
        return;
    FrameArea changed = FramebufferTakeChanged(frame);
    NoteDrawn(frame, changed);
    WidenArea(&run.pending, changed, frame->width, frame->height);
}

// The picture afresh at the window's size; with --ticks, its still at once.
bool
Restart()
{
    X11Window& o = x11Window;
    uint32_t seed = run.options.hasSeed ? run.options.seed : (uint32_t)time(NULL);
    if (!StartPicture(seed, o.width, o.height, kPictureSizePalette, kPictureNumReserved)) {
        run.failure = "the picture cannot start at " + std::to_string(o.width) + "x" + std::to_string(o.height);
        return false;
    }
    StartOutputFrame(PictureFrame());
    if (run.options.hasTicks)
        for (uint32_t i = 0; i < run.options.ticks; i++)
            TickPicture();
    run.pending = FrameArea{0, 0, o.width, o.height};
    TakeChanged();
    run.frameWanted = true;
    run.nextTick = Now();
    return true;
}

void
Present()
{
    ReadPictureColours(&run.colours);
    PresentFrame(PictureFrame(), run.pending, run.colours);
    run.pending = FrameArea();
    run.frameWanted = false;
}

void
HandleEvent(const XEvent& event)
{
    X11Window& o = x11Window;
    if (HandleOutputEvent(event))
        return;
    switch (event.type) {
    case Expose:
        if (event.xexpose.window == o.window) {
            FrameArea exposed = {event.xexpose.x, event.xexpose.y, event.xexpose.x + event.xexpose.width,
                                 event.xexpose.y + event.xexpose.height};
            WidenArea(&run.pending, exposed, o.width, o.height);
            run.frameWanted = true;
        }
        break;
    case ConfigureNotify:
        if (event.xconfigure.window == o.window &&
            (event.xconfigure.width != o.width || event.xconfigure.height != o.height)) {
            if (!ResizeOutput(event.xconfigure.width, event.xconfigure.height, &run.failure) || !Restart())
                run.ending = true;
        }
        break;
    case DestroyNotify:
        if (event.xdestroywindow.window == o.window) {
            o.windowGone = true;
            run.ending = true;
        }
        break;
    case ClientMessage:
        if (o.ownWindow && event.xclient.message_type == o.protocols && event.xclient.format == 32 &&
            (Atom)event.xclient.data.l[0] == o.deleteWindow)
            run.ending = true;
        break;
    }
}

void
Tick(int64_t now)
{
    if (run.options.hasTicks || now < run.nextTick)
        return;
    // A late process catches up, but only so far.
    for (int n = 0; n < run.maxCatchUp && now >= run.nextTick; n++) {
        TickPicture();
        TakeChanged();
        run.nextTick += run.tickPeriod;
    }
    if (now >= run.nextTick)
        run.nextTick = now + run.tickPeriod;
    run.frameWanted = true;
}

void
Loop(int signals)
{
    Display* display = x11Window.display;
    pollfd waits[2] = {{ConnectionNumber(display), POLLIN, 0}, {signals, POLLIN, 0}};
    while (!run.ending && !x11Window.windowGone) {
        while (XPending(display) > 0 && !run.ending) {
            XEvent event;
            XNextEvent(display, &event);
            HandleEvent(event);
        }
        if (run.ending || x11Window.windowGone)
            break;
        int64_t now = Now();
        Tick(now);
        if (run.frameWanted && !OutputBusy() && FramePaceDue(&run.pace, now)) {
            Present();
            FramePaceShown(&run.pace, now);
        }
        XFlush(display);
        int64_t wake = run.options.hasTicks ? now + kNanoseconds : run.nextTick;
        if (run.frameWanted && !OutputBusy() && FramePaceWhen(&run.pace) < wake)
            wake = FramePaceWhen(&run.pace);
        int64_t wait = wake > now ? wake - now : 0;
        timespec timeout = {(time_t)(wait / kNanoseconds), (long)(wait % kNanoseconds)};
        waits[0].revents = waits[1].revents = 0;
        if (ppoll(waits, 2, &timeout, NULL) > 0 && (waits[1].revents & POLLIN))
            run.ending = true;
    }
}

int
Usage(const std::string& message)
{
    fprintf(stderr, "tarvelimunde: %s\n%s", message.c_str(), X11Usage().c_str());
    return 1;
}

}

int
main(int argc, char** argv)
{
    std::string error;
    switch (ParseX11Options(argc, argv, &run.options, &error)) {
    case kOptionsBad:
        return Usage(error);
    case kWindowIdBad:
        fprintf(stderr, "tarvelimunde: %s\n", error.c_str());
        return 1;
    case kOptionsParsed:
        break;
    }
    if (run.options.help) {
        fputs(X11Usage().c_str(), stdout);
        return 0;
    }
    // Signals arrive as reads, so that the loop ends them between requests.
    sigset_t ending;
    sigemptyset(&ending);
    sigaddset(&ending, SIGTERM);
    sigaddset(&ending, SIGINT);
    sigprocmask(SIG_BLOCK, &ending, NULL);
    int signals = signalfd(-1, &ending, SFD_CLOEXEC);
    // Blocked and unread, SIGTERM could no longer end the module.
    if (signals < 0) {
        fprintf(stderr, "tarvelimunde: cannot read SIGTERM and SIGINT: %s\n", strerror(errno));
        return 1;
    }

    Display* display = XOpenDisplay(NULL);
    if (display == NULL) {
        fprintf(stderr, "tarvelimunde: cannot open the display %s\n", Quoted(XDisplayName(NULL)).c_str());
        return 1;
    }
    uint32_t target = 0;
    if (run.options.hasWindowId) {
        target = run.options.windowId;
    } else if (run.options.root) {
        const char* named = getenv("XSCREENSAVER_WINDOW");
        if (named != NULL && *named != '\0') {
            if (!ParseWindowId(named, &target)) {
                fprintf(stderr, "tarvelimunde: XSCREENSAVER_WINDOW: %s is not a window id\n",
                        Quoted(named).c_str());
                XCloseDisplay(display);
                return 1;
            }
        } else {
            target = (uint32_t)RootWindow(display, DefaultScreen(display));
        }
    }
    bool ownWindow = !run.options.hasWindowId && !run.options.root;
    if (!OpenOutput(display, ownWindow, (Window)target, run.options.install, &error)) {
        fprintf(stderr, "tarvelimunde: %s\n", error.c_str());
        XCloseDisplay(display);
        return 1;
    }
    run.tickPeriod = kNanoseconds / run.options.rate;
    FramePaceStart(&run.pace, kNanoseconds, RefreshRate(), Now());
    run.maxCatchUp = (int)run.options.rate / 4 + 1;
    if (Restart())
        Loop(signals);
    if (!run.failure.empty())
        fprintf(stderr, "tarvelimunde: %s\n", run.failure.c_str());
    bool clean = x11Window.unexpectedErrors == 0 && run.failure.empty();
    StopPicture();
    CloseOutput();
    XCloseDisplay(display);
    return clean ? 0 : 1;
}
